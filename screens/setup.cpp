#include "screens/setup.h"

#include "model/conversions.h"
#include "model/module1.h"
#include "model/typed_value.h"
#include "platform/messages.h"
#include "resources/figures.h"
#include "screens/application.h"
#include "screens/comp_angle.h"
#include "screens/comp_mz_vel.h"
#include "screens/intro.h"
#include "screens/screens.h"
#include "screens/typed_entry.h"
#include "toolkit/controls.h"
#include "toolkit/figure_box.h"
#include "toolkit/value_editor.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include <string>

using namespace toolkit;

namespace {

QString wholeNumberText(int value)
{
    return qs(conv::wholeNumberText(value));
}

double leadingNumber(const QLineEdit *box)
{
    return conv::leadingNumber(box->text().toStdString());
}

} // namespace

Setup::Setup() : Screen("Setup", QStringLiteral("Problem Set-up"), 8715, 7815)
{
    createControls();
    connectHandlers();
}

void Setup::createControls()
{
    const QFont text = controlFont(QStringLiteral("MS Sans Serif"), 9.75);
    const QFont heading = controlFont(QStringLiteral("MS Sans Serif"), 9.75, true);
    const LabelStyle caption{.font = text, .sizing = LabelSizing::AutoSize};
    const LabelStyle unit{.sizing = LabelSizing::AutoSize};
    const TextBoxStyle value{.font = text};
    const ScrollRange elevation{.minimum = -10000, .maximum = 20000, .smallChange = 1, .largeChange = 100};
    const ScrollRange distance{.minimum = 0, .maximum = 32000, .smallChange = 1, .largeChange = 100};

    Label1 = label(this, "Label1", QStringLiteral("Input general information "), {360, 240, 3120, 300},
                   {.font = controlFont(QStringLiteral("MS Sans Serif"), 12, true), .sizing = LabelSizing::AutoSize});
    Picture1 = pictureBox(this, "Picture1", {3600, 120, 4695, 2655});
    showFigure(Picture1, Figure::Terrain);

    Frame1 = frame(this, "Frame1", QStringLiteral("Distance Metric"), {360, 720, 2895, 855}, heading);
    Frame1->setToolTip(QStringLiteral("Are you using meters of feet?"));
    Option3 = optionButton(Frame1, "Option3", QStringLiteral("Meters"), {240, 360, 1095, 255}, text);
    Option4 = optionButton(Frame1, "Option4", QStringLiteral("Feet"), {1560, 360, 855, 255}, text);

    Frame2 = frame(this, "Frame2", QStringLiteral("Angle Metric"), {360, 1800, 2895, 855}, heading);
    Frame2->setToolTip(QStringLiteral("Are you using degrees or radians?"));
    Frame2->setEnabled(false);
    Option5 = optionButton(Frame2, "Option5", QStringLiteral("Degrees"), {240, 360, 1215, 255}, text);
    Option6 = optionButton(Frame2, "Option6", QStringLiteral("Radians"), {1560, 360, 1095, 255}, text);

    Frame3 = frame(this, "Frame3", QStringLiteral("Location Parameters"), {360, 2880, 7935, 2415}, heading);
    Frame3->setEnabled(false);
    Label3 = label(Frame3, "Label3", QStringLiteral("Firing position elevation (So)"), {240, 480, 2535, 240}, caption);
    HScroll2 = hScrollBar(Frame3, "HScroll2", {3720, 480, 1695, 255}, elevation);
    Text2 = textBox(Frame3, "Text2", QStringLiteral("Text2"), {5400, 480, 1095, 315}, value);
    Label6 = label(Frame3, "Label6", QString(), {6840, 600, 45, 195}, unit);
    Label2 = label(Frame3, "Label2", QStringLiteral("Target elevation (Sy)"), {240, 1200, 1875, 240}, caption);
    HScroll1 = hScrollBar(Frame3, "HScroll1", {3720, 1200, 1695, 255}, elevation);
    Text1 = textBox(Frame3, "Text1", QStringLiteral("Text1"), {5400, 1200, 1095, 300}, value);
    Label7 = label(Frame3, "Label7", QString(), {6840, 1320, 45, 195}, unit);
    Label4 =
        label(Frame3, "Label4", QStringLiteral("Horizontal distance to target (Sx)"), {240, 1920, 2865, 240}, caption);
    HScroll3 = hScrollBar(Frame3, "HScroll3", {3720, 1920, 1695, 255}, distance);
    Text3 = textBox(Frame3, "Text3", QStringLiteral("Text3"), {5400, 1875, 1140, 300}, value);
    Label8 = label(Frame3, "Label8", QString(), {6840, 1920, 45, 195}, unit);

    Frame4 = frame(this, "Frame4", QStringLiteral("Optimization Parameter"), {360, 5520, 5655, 1455}, heading);
    Frame4->setEnabled(false);
    Option1 = optionButton(Frame4, "Option1", QStringLiteral("Input muzzle velocity - compute super elevation angle"),
                           {360, 360, 5175, 255}, text);
    Option2 = optionButton(Frame4, "Option2", QStringLiteral("Input super elevation angle - compute  muzzle velocity"),
                           {360, 840, 5175, 375}, text);

    Label5 = label(this, "Label5", QStringLiteral("All time units are in seconds"), {6600, 6000, 1365, 600},
                   {.font = text,
                    .align = Qt::AlignHCenter,
                    .sizing = LabelSizing::AutoSizeWrap,
                    .background = QColor(0, 255, 0)});
    Command3 = button(this, "Command3", QStringLiteral("<< Back"), {360, 7200, 1575, 495});
    Command1 = button(this, "Command1", QStringLiteral("Exit"), {3720, 7200, 1575, 495});
    Command2 = button(this, "Command2", QStringLiteral("Next >>"), {6840, 7200, 1455, 495});
    Command2->setEnabled(false);

    setFocusOrder({Command1, Command2, Option1, Option2, Option3, Option4, Option5, Option6, Command3, HScroll1,
                   HScroll2, HScroll3, Picture1});
}

void Setup::connectHandlers()
{
    connect(HScroll1, &QScrollBar::valueChanged, this, &Setup::HScroll1_Change);
    connect(HScroll2, &QScrollBar::valueChanged, this, &Setup::HScroll2_Change);
    connect(HScroll3, &QScrollBar::valueChanged, this, &Setup::HScroll3_Change);
    connect(Text1, &QLineEdit::textChanged, this, &Setup::Text1_Change);
    connect(Text2, &QLineEdit::textChanged, this, &Setup::Text2_Change);
    connect(Text3, &QLineEdit::textChanged, this, &Setup::Text3_Change);
    whenChosen(Option1, &Setup::Option1_Click);
    whenChosen(Option2, &Setup::Option2_Click);
    whenChosen(Option3, &Setup::Option3_Click);
    whenChosen(Option4, &Setup::Option4_Click);
    whenChosen(Option5, &Setup::Option5_Click);
    whenChosen(Option6, &Setup::Option6_Click);
    connect(Command1, &QPushButton::clicked, this, &Setup::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Setup::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Setup::Command3_Click);
    connectTyping(HScroll1, Text1, QStringLiteral("Type the target elevation"));
    connectTyping(HScroll2, Text2, QStringLiteral("Type the firing position elevation"));
    connectTyping(HScroll3, Text3, QStringLiteral("Type the horizontal distance to the target"));
}

void Setup::connectTyping(QScrollBar *bar, QLineEdit *box, const QString &name)
{
    const auto scale = [bar] { return typed::wholeNumbers(bar->minimum(), bar->maximum()); };
    // The bars open only once a unit is chosen.
    const auto wording = [this] {
        return typed::Wording{
            .unit = " " + Label6->text().toStdString(), .noun = "whole number", .kind = "A whole number"};
    };
    typeInto(bar, box, typedEntry(name, scale, wording), wholeNumberText);
}

// Choosing by mouse, keyboard or code runs the handler; clicking the option
// already chosen does not.
void Setup::whenChosen(QRadioButton *option, void (Setup::*handler)())
{
    connect(option, &QRadioButton::toggled, this, [this, handler](bool checked) {
        if (checked)
            (this->*handler)();
    });
}

void Setup::Form_Load()
{
    Text1->setText(wholeNumberText(HScroll1->value()));
    Text2->setText(wholeNumberText(HScroll2->value()));
    Text3->setText(wholeNumberText(HScroll3->value()));
}

void Setup::HScroll1_Change()
{
    Text1->setText(wholeNumberText(HScroll1->value()));
}

void Setup::HScroll2_Change()
{
    Text2->setText(wholeNumberText(HScroll2->value()));
}

void Setup::HScroll3_Change()
{
    Text3->setText(wholeNumberText(HScroll3->value()));
}

void Setup::Text1_Change()
{
    Module1.TargetElevationEntry = leadingNumber(Text1);
}

void Setup::Text2_Change()
{
    Module1.FiringElevationEntry = leadingNumber(Text2);
}

void Setup::Text3_Change()
{
    Module1.TargetDistance = leadingNumber(Text3);
    Frame4->setEnabled(Module1.TargetDistance > 0);
}

void Setup::showDistanceUnit(const QString &name)
{
    Frame2->setEnabled(true);
    Label6->setText(name);
    Label7->setText(name);
    Label8->setText(name);
}

void Setup::Option3_Click()
{
    Module1.DistanceUnitCode = std::string("m");
    showDistanceUnit(QStringLiteral("Meters"));
}

void Setup::Option4_Click()
{
    Module1.DistanceUnitCode = std::string("f");
    showDistanceUnit(QStringLiteral("Feet"));
}

void Setup::Option5_Click()
{
    Module1.AngleUnitCode = std::string("d");
    Frame3->setEnabled(true);
}

void Setup::Option6_Click()
{
    Module1.AngleUnitCode = std::string("r");
    Frame3->setEnabled(true);
}

void Setup::Option1_Click()
{
    Command2->setEnabled(true);
    setBackColour(Command2, BackColour::Yellow);
}

void Setup::Option2_Click()
{
    Option1_Click();
}

void Setup::Command1_Click()
{
    exitConfirmation();
}

void Setup::Command2_Click()
{
    // A computation chosen earlier keeps "Next >>" usable after Sx went back
    // to 0, but neither result screen can work with a zero distance.
    if (!(Module1.TargetDistance > 0)) {
        platform::messageBox(QStringLiteral("The horizontal distance to the target (Sx) must be greater than 0."),
                             QStringLiteral("Note!"));
        return;
    }
    Module1.setupCommit();
    if (Option1->isChecked())
        Screens::show<CompAngle>();
    else
        Screens::show<CompMzVel>();
    setBackColour(Command2, BackColour::ButtonFace);
    Screens::hide<Setup>();
}

void Setup::Command3_Click()
{
    Screens::hide<Setup>();
    Screens::show<Intro>();
}
