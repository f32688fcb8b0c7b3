#include "screens/comp_angle.h"

#include "model/conversions.h"
#include "model/figure_text.h"
#include "model/module1.h"
#include "model/typed_value.h"
#include "platform/messages.h"
#include "screens/application.h"
#include "screens/comp_angle_record.h"
#include "screens/result_extras.h"
#include "screens/root_find_parameters.h"
#include "screens/screens.h"
#include "solvers/angle_solver.h"
#include "solvers/min_velocity.h"
#include "toolkit/controls.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include <cmath>
#include <type_traits>
#include <utility>
#include <variant>

using namespace toolkit;

namespace {

QFont heading()
{
    return controlFont(QStringLiteral("MS Sans Serif"), 9.75, true);
}

QFont bold()
{
    return controlFont(QStringLiteral("MS Sans Serif"), 8.25, true);
}

LabelStyle autoSize()
{
    return {.sizing = LabelSizing::AutoSize};
}

LabelStyle centred(LabelSizing sizing)
{
    return {.align = Qt::AlignHCenter, .sizing = sizing};
}

LabelStyle boldAutoSize()
{
    return {.font = bold(), .sizing = LabelSizing::AutoSize};
}

} // namespace

CompAngle::CompAngle()
    : ResultScreen("CompAngle", QStringLiteral("Compute Angle Given Muzzle Velocity"), 7635, 7620, false)
{
    createControls();
    connectHandlers();
}

void CompAngle::createControls()
{
    Frame1 = frame(this, "Frame1", QStringLiteral("Input Muzzle Velocity"), {360, 120, 5535, 1215}, heading());
    Frame1->setToolTip(QStringLiteral("Move the scroll bar to change the muzzle velocity"));
    Text1 = textBox(Frame1, "Text1", QStringLiteral("0"), {240, 360, 1575, 375}, {.font = heading()});
    HScroll1 = hScrollBar(Frame1, "HScroll1", {240, 720, 1575, 255},
                          {.minimum = 0, .maximum = 20000, .smallChange = 1, .largeChange = 100, .value = 0});
    Command4 = button(Frame1, "Command4", QStringLiteral("Compute Super Elevation Angles"), {3840, 360, 1455, 615});
    Command4->setToolTip(QStringLiteral("Press to compute angles"));
    Label26 = label(Frame1, "Label26", QStringLiteral("Distsnce Metric"), {1920, 480, 1095, 195}, autoSize());
    Label11 =
        label(Frame1, "Label11", QStringLiteral("Min Vel = "), {1920, 720, 1695, 255}, {.sizing = LabelSizing::Wrap});

    Frame2 = frame(this, "Frame2", QStringLiteral("Input Paramters"), {360, 1440, 6855, 1335}, heading());
    Label10 = label(Frame2, "Label10", QStringLiteral("Horizontal distance to target (Sx) "), {75, 360, 1470, 465},
                    centred(LabelSizing::AutoSizeWrap));
    Text2 = textBox(Frame2, "Text2", QString(), {120, 840, 1455, 285});
    Label12 = label(Frame2, "Label12", QStringLiteral("Accelration due to gravity "), {1680, 360, 1065, 390},
                    centred(LabelSizing::AutoSizeWrap));
    Text4 = textBox(Frame2, "Text4", QString(), {1680, 840, 975, 285});
    Label13 = label(Frame2, "Label13", QStringLiteral("Firing point elevation"), {2760, 360, 1050, 390},
                    centred(LabelSizing::AutoSizeWrap));
    Text5 = textBox(Frame2, "Text5", QString(), {2760, 840, 1095, 285});
    Label14 = label(Frame2, "Label14", QStringLiteral("Target elevation"), {3960, 360, 1050, 390},
                    centred(LabelSizing::AutoSizeWrap));
    Text6 = textBox(Frame2, "Text6", QString(), {3960, 840, 975, 285});
    Label25 = label(Frame2, "Label25", QStringLiteral("Parameters"), {5520, 240, 975, 195},
                    {.font = bold(), .align = Qt::AlignHCenter, .sizing = LabelSizing::AutoSize});
    Label23 = label(Frame2, "Label23", QStringLiteral("TOL"), {5880, 600, 345, 195}, centred(LabelSizing::AutoSize));
    Label24 = label(Frame2, "Label24", QStringLiteral("Inc"), {5880, 960, 255, 195}, centred(LabelSizing::AutoSize));

    createResultTable();

    Command5 = button(this, "Command5", QStringLiteral("Advanced"), {6120, 360, 1215, 375});
    Command5->setEnabled(false);
    Command5->setToolTip(QStringLiteral(" changes the root finding parameters "));
    Label22 = label(this, "Label22", QStringLiteral("Metrics"), {6120, 960, 1215, 195},
                    {.align = Qt::AlignHCenter, .sizing = LabelSizing::AutoSizeWrap, .foreground = QColor(255, 0, 0)});
    Command1 = button(this, "Command1", QStringLiteral("<< Back"), {360, 7080, 1215, 375});
    Command3 = button(this, "Command3", QStringLiteral("Print Results"), {3000, 7080, 1695, 375});
    Command2 = button(this, "Command2", QStringLiteral("Exit"), {6000, 7080, 1215, 375});

    setFocusOrder({HScroll1, Command4, Command2, Command3, Command1, Command5});
}

void CompAngle::createResultTable()
{
    Frame3 = frame(this, "Frame3", QStringLiteral("Computed Output"), {360, 2880, 6855, 3855}, heading());

    const std::array<std::pair<TwipsPoint, TwipsPoint>, 7> rules{{
        {{2760, 360}, {2760, 3720}},
        {{4080, 360}, {4080, 3720}},
        {{5400, 360}, {5400, 3720}},
        {{360, 600}, {6480, 600}},
        {{360, 1080}, {6480, 1080}},
        {{360, 2280}, {6480, 2280}},
        {{360, 3120}, {6480, 3120}},
    }};
    for (std::size_t i = 0; i < rules.size(); ++i) {
        const QByteArray name = "Line" + QByteArray::number(static_cast<int>(i) + 1);
        resultRules[i] = line(Frame3, name.constData(), rules[i].first, rules[i].second);
    }

    Label8 = label(Frame3, "Label8", QStringLiteral("Solution # 1"), {2880, 360, 1050, 195}, boldAutoSize());
    Label9 = label(Frame3, "Label9", QStringLiteral("Solution # 2"), {4200, 360, 1050, 195}, boldAutoSize());
    Label15 = label(Frame3, "Label15", QStringLiteral("unit"), {5760, 360, 330, 195}, boldAutoSize());

    const TextBoxStyle highlighted{.background = yellow};
    Label1 = label(Frame3, "Label1", QStringLiteral("Angle"), {360, 720, 615, 240},
                   {.font = heading(), .sizing = LabelSizing::AutoSize});
    m_columns = {{Label8}, {Label9}};
    m_columns[0].boxes[0] = textBox(Frame3, "Text7", QString(), {2880, 720, 1095, 285}, highlighted);
    m_columns[1].boxes[0] = textBox(Frame3, "Text8", QString(), {4200, 720, 1095, 285}, highlighted);
    m_units[0] = label(Frame3, "Label16", QString(), {5640, 720, 570, 195}, autoSize());

    Label2 = label(Frame3, "Label2", QStringLiteral("Muzzle Velocity Components"), {360, 1200, 2025, 195}, autoSize());
    Label3 = label(Frame3, "Label3", QStringLiteral("x - direction"), {1560, 1560, 810, 195}, autoSize());
    m_columns[0].boxes[1] = textBox(Frame3, "Text9", QString(), {2880, 1560, 1095, 285});
    m_columns[1].boxes[1] = textBox(Frame3, "Text11", QString(), {4200, 1560, 1095, 285});
    m_units[1] = label(Frame3, "Label17", QString(), {5640, 1560, 570, 195}, autoSize());

    Label4 = label(Frame3, "Label4", QStringLiteral("y - direction"), {1560, 1920, 810, 195}, autoSize());
    m_columns[0].boxes[2] = textBox(Frame3, "Text10", QString(), {2880, 1920, 1095, 285});
    m_columns[1].boxes[2] = textBox(Frame3, "Text12", QString(), {4200, 1920, 1095, 285});
    m_units[2] = label(Frame3, "Label18", QString(), {5640, 1920, 570, 195}, autoSize());

    Label5 = label(Frame3, "Label5", QStringLiteral("Time to apogee"), {360, 2400, 1110, 195}, autoSize());
    m_columns[0].boxes[3] = textBox(Frame3, "Text13", QString(), {2880, 2400, 1095, 285});
    m_columns[1].boxes[3] = textBox(Frame3, "Text15", QString(), {4200, 2400, 1095, 285});
    m_units[3] = label(Frame3, "Label19", QString(), {5640, 2400, 570, 195}, autoSize());

    Label6 = label(Frame3, "Label6", QStringLiteral("Apogee altitude"), {360, 2760, 1110, 195}, autoSize());
    m_columns[0].boxes[4] = textBox(Frame3, "Text14", QString(), {2880, 2760, 1095, 285});
    m_columns[1].boxes[4] = textBox(Frame3, "Text16", QString(), {4200, 2760, 1095, 285});
    m_units[4] = label(Frame3, "Label20", QString(), {5640, 2760, 570, 195}, autoSize());

    Label7 = label(Frame3, "Label7", QStringLiteral("Projectile time of flight"), {360, 3240, 1785, 195},
                   {.sizing = LabelSizing::AutoSizeWrap});
    m_columns[0].boxes[5] = textBox(Frame3, "Text17", QString(), {2880, 3240, 1095, 285});
    m_columns[1].boxes[5] = textBox(Frame3, "Text18", QString(), {4200, 3240, 1095, 285});
    m_units[5] = label(Frame3, "Label21", QString(), {5640, 3240, 570, 195}, autoSize());
}

void CompAngle::connectHandlers()
{
    connect(HScroll1, &QScrollBar::valueChanged, this, &CompAngle::HScroll1_Change);
    connect(Text1, &QLineEdit::textChanged, this, &CompAngle::Text1_Change);
    connect(Command4, &QPushButton::clicked, this, &CompAngle::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &CompAngle::Command5_Click);
    connectCommon(
        QStringLiteral("Type the muzzle velocity"),
        [this] { return velocityScale(Module1.MinVelocity.toNumber(), HScroll1->minimum(), HScroll1->maximum()); },
        [this] {
            return typed::Wording{.unit = " " + Label26->text().toStdString(),
                                  .noun = "velocity",
                                  .kind = "A velocity",
                                  .steps = ", to a tenth, with \".\" as the decimal point",
                                  .below = "Below the minimum velocity"};
        },
        [](int p) { return qs(positionVelocityText(Module1.MinVelocity.toNumber(), p)); });
}

QString CompAngle::minVelocityText() const
{
    return qs(figure_text::leastVelocity(Module1.MinVelocity.toNumber()));
}

void CompAngle::Form_Load()
{
    Module1.resetSolverSettings();
    Label23->setText(QStringLiteral("TOL = ") + qs(conv::generalText(Module1.Tolerance)));
    Label24->setText(QStringLiteral("Inc = ") + qs(conv::generalText(Module1.Increment)));
    showUnits();
    showProblem(qs(conv::generalText(Module1.Gravity)), m_units[4]->text());

    const MinVelocityReport report = comp_angle_record::computeMinVelocity(Module1);
    Label11->setText(qs(report.caption));
    if (report.search.outcome == MinVelocityOutcome::NoHorizontalDistance) {
        refuseWithoutDistance();
        return;
    }

    setVelocityText(minVelocityText());
    {
        // Raising the floor is not a choice of velocity: the button stays as loaded.
        const QSignalBlocker quiet(HScroll1);
        HScroll1->setMinimum(static_cast<int>(10 * std::floor(Module1.MinVelocity.toNumber())));
    }
    Screens::show<CompAngle>();
    platform::messageBox(QStringLiteral("Minimum velocity = ") + minVelocityText(), QStringLiteral("Note!"));
}

void CompAngle::showStoredSettings()
{
    Label23->setText(QStringLiteral("TOL = ") + qs(conv::generalText(Module1.Tolerance)) + QStringLiteral(" radians"));
    Label24->setText(QStringLiteral("Inc = ") + qs(conv::generalText(Module1.Increment)) + QStringLiteral(" radians"));
}

void CompAngle::showUnits()
{
    const QString angleUnit = qs(Module1.AngleUnitName);
    const bool feet = Module1.DistanceUnitName == "Feet";
    const QString distance = feet ? QStringLiteral("Feet") : QStringLiteral("Meters");
    const QString speed = distance + QStringLiteral("/Sec");

    Label26->setText(qs(Module1.DistanceUnitName) + QStringLiteral("/Sec"));
    HScroll1->setMaximum(feet ? 30000 : 20000);
    const std::array<QString, 6> units{
        angleUnit, speed, speed, QStringLiteral("Seconds"), distance, QStringLiteral("Seconds")};
    for (std::size_t i = 0; i < units.size(); ++i)
        m_units[i]->setText(units[i]);
    Label22->setText(distance + QStringLiteral(" - ") + angleUnit);
}

void CompAngle::refuseWithoutDistance()
{
    // Without a distance there is no least velocity to offer: show the problem,
    // but nothing that would compute with it.
    Text1_Change();
    HScroll1->setEnabled(false);
    Command4->setEnabled(false);
    Command5->setEnabled(false);
    Screens::show<CompAngle>();
    platform::messageBox(QStringLiteral("The horizontal distance to the target (Sx) must be greater than 0."),
                         QStringLiteral("Note!"));
}

void CompAngle::setVelocityText(const QString &text)
{
    if (Text1->text() == text)
        Text1_Change();
    else
        Text1->setText(text);
}

void CompAngle::HScroll1_Change()
{
    setVelocityText(qs(positionVelocityText(Module1.MinVelocity.toNumber(), HScroll1->value())));
    setBackColour(Command4, BackColour::Yellow);
}

void CompAngle::Text1_Change()
{
    Module1.MuzzleVelocity = conv::leadingNumber(Text1->text().toStdString());
    Command5->setEnabled(Module1.MuzzleVelocity.toNumber() > 0);
    emptyFigures();
}

void CompAngle::Command4_Click()
{
    setBackColour(Command4, BackColour::ButtonFace);
    showSolutions(comp_angle_record::computeSuperElevation(Module1));
}

void CompAngle::showSolutions(const AngleRun &run)
{
    std::vector<PlotSolution> drawn;
    for (std::size_t i = 0; i < run.solutions.size(); ++i) {
        const SolutionReport &solution = run.solutions[i];
        if (solution.figures) {
            showFigures(m_columns[i], solution.figures->texts);
            drawn.push_back(PlotSolution{static_cast<int>(i) + 1, solution.result.angle,
                                         Module1.MuzzleVelocity.toNumber(), solution.figures->flightTime,
                                         solution.figures->apogee, solution.figures->texts});
        }
        for (const Notice &notice : solution.notices) {
            if (const auto *message = std::get_if<notice::Message>(&notice))
                platform::messageBox(qs(message->text), qs(message->title));
            else
                platform::beep();
        }
    }
    extras()->setSolutions(drawn);
}

QStringList CompAngle::inputRow() const
{
    return {QStringLiteral("Muzzle velocity"), Text1->text(), Label26->text()};
}

QString CompAngle::gravityUnit() const
{
    return QStringLiteral("/Sec\u00b2");
}

void CompAngle::Command5_Click()
{
    Screens::show<RootFindParameters>();
}
