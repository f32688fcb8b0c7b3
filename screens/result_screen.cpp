#include "screens/result_screen.h"

#include "model/figure_text.h"
#include "model/module1.h"
#include "model/typed_value.h"
#include "screens/application.h"
#include "screens/result_extras.h"
#include "screens/screens.h"
#include "screens/setup.h"
#include "screens/typed_entry.h"
#include "toolkit/controls.h"
#include "toolkit/value_editor.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

using namespace toolkit;

ResultScreen::ResultScreen(const char *name, const QString &caption, int clientWidthTwips, int clientHeightTwips,
                           bool angleGiven)
    : Screen(name, caption, clientWidthTwips, clientHeightTwips)
{
    m_extras = new ResultExtras(this, angleGiven, [this] { return resultRows(); });
}

void ResultScreen::connectCommon(const QString &typingName, const std::function<typed::Scale()> &scale,
                                 const std::function<typed::Wording()> &wording,
                                 const std::function<QString(int)> &boxText)
{
    connect(Command1, &QPushButton::clicked, this, &ResultScreen::goBack);
    connect(Command2, &QPushButton::clicked, this, &exitConfirmation);
    connect(Command3, &QPushButton::clicked, m_extras, &ResultExtras::print);
    typeInto(HScroll1, Text1, typedEntry(typingName, scale, wording), boxText);
}

void ResultScreen::showProblem(const QString &gravity, const QString &distanceUnit)
{
    Text2->setText(qs(conv::generalText(Module1.TargetDistance)));
    Text4->setText(gravity);
    Text5->setText(qs(conv::generalText(Module1.FiringElevation)));
    Text6->setText(qs(conv::generalText(Module1.TargetElevation)));
    m_extras->setProblem(
        {Module1.TargetDistance, Module1.FiringElevation, Module1.TargetElevation, Module1.Gravity, distanceUnit});
}

void ResultScreen::showFigures(const Column &column, const figure_text::Texts &texts)
{
    const auto rows = texts.rows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        column.boxes[i]->setText(qs(*rows[i]));
}

void ResultScreen::emptyFigures()
{
    for (const Column &column : m_columns)
        for (QLineEdit *box : column.boxes)
            box->clear();
    m_extras->setSolutions({});
}

QList<QStringList> ResultScreen::resultRows() const
{
    const QString distance = m_units[4]->text();
    QList<QStringList> rows{
        {windowTitle()},
        {QStringLiteral("Horizontal distance to target (Sx)"), Text2->text(), distance},
        {QStringLiteral("Firing point elevation (So)"), Text5->text(), distance},
        {QStringLiteral("Target elevation (Sy)"), Text6->text(), distance},
        {QStringLiteral("Acceleration due to gravity (g)"), Text4->text(), distance + gravityUnit()},
        inputRow(),
        {},
    };
    QStringList names{QString()};
    for (const Column &column : m_columns)
        names << column.name->text();
    rows << (names << Label15->text());

    const std::array<QString, 6> captions{Label1->text(),
                                          QStringLiteral("Velocity x - direction"),
                                          QStringLiteral("Velocity y - direction"),
                                          QStringLiteral("Time to apogee"),
                                          QStringLiteral("Apogee altitude"),
                                          QStringLiteral("Projectile time of flight")};
    for (std::size_t i = 0; i < captions.size(); ++i) {
        QStringList row{captions[i]};
        for (const Column &column : m_columns)
            row << column.boxes[i]->text();
        rows << (row << m_units[i]->text());
    }
    return rows;
}

void ResultScreen::goBack()
{
    Screens::show<Setup>();
    Screens::discard(this);
}
