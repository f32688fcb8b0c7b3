#include "screens/comp_mz_vel.h"

#include "model/conversions.h"
#include "model/module1.h"
#include "model/typed_value.h"
#include "platform/messages.h"
#include "screens/application.h"
#include "screens/comp_mz_vel_record.h"
#include "screens/result_extras.h"
#include "screens/screens.h"
#include "solvers/muzzle_velocity.h"
#include "toolkit/controls.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

using namespace toolkit;

namespace {

const QString noteTitle = QStringLiteral("Note!");

const QString limitNote = QStringLiteral("You are only permitted to come within\r"
                                         "0.001 radians of minimum and 90 degree\r"
                                         " angles (to avoid singularities)!");

const QString noDistance = QStringLiteral("The horizontal distance to the target (Sx) must be greater than 0.");

const QString noAngleRange =
    QStringLiteral("No launch angle can reach this target: it lies almost straight above the firing position.");

QFont largeFont(bool bold = false)
{
    return controlFont(QStringLiteral("MS Sans Serif"), 9.75, bold);
}

const LabelStyle autoSize{.sizing = LabelSizing::AutoSize};
const LabelStyle unitStyle{.align = Qt::AlignHCenter, .sizing = LabelSizing::AutoSize};
const LabelStyle headingStyle{.align = Qt::AlignHCenter, .sizing = LabelSizing::Wrap};
const LabelStyle columnStyle{.font = controlFont(QStringLiteral("MS Sans Serif"), 8.25, true),
                             .sizing = LabelSizing::AutoSize};
const LabelStyle metricStyle{.align = Qt::AlignHCenter, .foreground = QColor(255, 0, 0)};

} // namespace

CompMzVel::CompMzVel()
    : ResultScreen("CompMzVel", QStringLiteral("Compute Muzzle Velocity Given Angle"), 7605, 7770, true)
{
    createControls();
    connectHandlers();
}

void CompMzVel::createControls()
{
    createInputFrames();
    createOutputFrame();

    Label24 = label(this, "Label24", QStringLiteral("Metrics"), {6480, 360, 975, 255},
                    {.font = controlFont(QStringLiteral("MS Sans Serif"), 8.25, true), .align = Qt::AlignHCenter});
    Label22 = label(this, "Label22", QString(), {6480, 720, 855, 255}, metricStyle);
    Label23 = label(this, "Label23", QString(), {6480, 1080, 855, 255}, metricStyle);
    Command1 = button(this, "Command1", QStringLiteral("<< Back"), {240, 7080, 1335, 495});
    Command3 = button(this, "Command3", QStringLiteral("Print Results"), {3000, 7080, 1335, 495});
    Command2 = button(this, "Command2", QStringLiteral("Exit"), {5760, 7080, 1215, 495});
    setFocusOrder({HScroll1, Command4, Command1, Command3, Command2});
}

void CompMzVel::createInputFrames()
{
    Frame1 =
        frame(this, "Frame1", QStringLiteral("Input Super Elevation Angle"), {240, 240, 6135, 1215}, largeFont(true));
    Text1 = textBox(Frame1, "Text1", QString(), {240, 360, 1575, 375}, {.font = largeFont()});
    HScroll1 = hScrollBar(Frame1, "HScroll1", {240, 720, 1575, 255},
                          {.minimum = 1, .maximum = 10000, .smallChange = 1, .largeChange = 100, .value = 1});
    Label9 = label(Frame1, "Label9", QStringLiteral("Degrees or radians"), {1920, 480, 0, 0}, autoSize);
    Label11 = label(Frame1, "Label11", QStringLiteral("minimum angle"), {1920, 720, 0, 0}, autoSize);
    Command4 = button(Frame1, "Command4", QStringLiteral("Compute Muzzle Velocity"), {4440, 360, 1455, 615});

    Frame2 = frame(this, "Frame2", QStringLiteral("Input Paramters"), {240, 1560, 6855, 1335}, largeFont(true));
    Label10 = label(Frame2, "Label10", QStringLiteral("Horizontal distance to target(Sx)"), {360, 360, 1425, 435},
                    headingStyle);
    Text2 = textBox(Frame2, "Text2", QString(), {360, 840, 1335, 285});
    Label12 = label(Frame2, "Label12", QStringLiteral("Acceleration due to gravity (g)"), {2160, 360, 1305, 495},
                    headingStyle);
    Text4 = textBox(Frame2, "Text4", QString(), {2280, 840, 1095, 285});
    Label13 =
        label(Frame2, "Label13", QStringLiteral("Firing point elevation (Soy)"), {3720, 360, 1410, 390}, headingStyle);
    Text5 = textBox(Frame2, "Text5", QString(), {3840, 840, 1095, 285});
    Label14 = label(Frame2, "Label14", QStringLiteral("Target elevation (Sy)"), {5280, 360, 1155, 390}, headingStyle);
    Text6 = textBox(Frame2, "Text6", QString(), {5280, 840, 1215, 285});
}

void CompMzVel::createOutputFrame()
{
    Frame3 = frame(this, "Frame3", QStringLiteral("Computed Output"), {240, 3000, 6855, 3855}, largeFont(true));
    QWidget *f = Frame3;
    Label8 = label(f, "Label8", QStringLiteral("Solution # 1"), {2880, 360, 0, 0}, columnStyle);
    Label15 = label(f, "Label15", QStringLiteral("unit"), {4560, 360, 0, 0}, columnStyle);

    Label1 = label(f, "Label1", QStringLiteral("Muzzle Velocity"), {360, 720, 0, 0},
                   {.font = largeFont(true), .sizing = LabelSizing::AutoSize});
    Column &column = m_columns.emplace_back(Column{Label8});
    column.boxes[0] = textBox(f, "Text7", QString(), {2880, 720, 1095, 285}, {.background = yellow});
    m_units[0] = label(f, "Label16", QString(), {4440, 720, 0, 0}, unitStyle);

    Label2 = label(f, "Label2", QStringLiteral("Muzzle Velocity Components"), {360, 1200, 0, 0}, autoSize);
    Label3 = label(f, "Label3", QStringLiteral("x - direction"), {1560, 1560, 0, 0}, autoSize);
    column.boxes[1] = textBox(f, "Text9", QString(), {2880, 1560, 1095, 285});
    m_units[1] = label(f, "Label17", QString(), {4440, 1560, 0, 0}, unitStyle);
    Label4 = label(f, "Label4", QStringLiteral("y - direction"), {1560, 1920, 0, 0}, autoSize);
    column.boxes[2] = textBox(f, "Text10", QString(), {2880, 1920, 1095, 285});
    m_units[2] = label(f, "Label18", QString(), {4440, 1920, 0, 0}, unitStyle);

    Label5 = label(f, "Label5", QStringLiteral("Time to apogee"), {360, 2400, 0, 0}, autoSize);
    column.boxes[3] = textBox(f, "Text13", QString(), {2880, 2400, 1095, 285});
    m_units[3] = label(f, "Label19", QString(), {4440, 2400, 0, 0}, unitStyle);
    Label6 = label(f, "Label6", QStringLiteral("Apogee altitude"), {360, 2760, 0, 0}, autoSize);
    column.boxes[4] = textBox(f, "Text14", QString(), {2880, 2760, 1095, 285});
    m_units[4] = label(f, "Label20", QString(), {4440, 2760, 0, 0}, unitStyle);
    // Wraps within its column, left of the first column line.
    Label7 = label(f, "Label7", QStringLiteral("Projectile time of flight"), {360, 3240, 2280, 0},
                   {.sizing = LabelSizing::AutoSizeWrap});
    column.boxes[5] = textBox(f, "Text17", QString(), {2880, 3240, 1095, 285});
    m_units[5] = label(f, "Label21", QString(), {4440, 3240, 0, 0}, unitStyle);

    Line1 = line(f, "Line1", {360, 600}, {5400, 600});
    Line2 = line(f, "Line2", {360, 1080}, {5400, 1080});
    Line3 = line(f, "Line3", {360, 2280}, {5400, 2280});
    Line4 = line(f, "Line4", {360, 3120}, {5280, 3120});
    Line5 = line(f, "Line5", {2760, 360}, {2760, 3720});
    Line6 = line(f, "Line6", {4080, 360}, {4080, 3720});
}

void CompMzVel::connectHandlers()
{
    connect(HScroll1, &QScrollBar::valueChanged, this, &CompMzVel::HScroll1_Change);
    connect(HScroll1, &QScrollBar::sliderMoved, this, &CompMzVel::emptyFigures);
    connect(Command4, &QPushButton::clicked, this, &CompMzVel::Command4_Click);
    connectCommon(
        QStringLiteral("Type the super elevation angle"),
        [this] { return angleScale(Module1, HScroll1->minimum(), HScroll1->maximum()); },
        [] {
            return typed::Wording{.unit = Module1.AngleUnitCode == "r" ? " radians" : "\u00b0",
                                  .noun = "angle",
                                  .kind = "An angle",
                                  .steps = ", with \".\" as the decimal point",
                                  .below = "Outside the usable angles",
                                  .above = "Outside the usable angles"};
        },
        [](int p) { return qs(positionAngleText(Module1, p, AngleTextMoment::Change)); });
}

void CompMzVel::Form_Load()
{
    Text1->clear();
    emptyFigures();

    const QString distance = qs(Module1.DistanceUnitName);
    const QString angle = qs(Module1.AngleUnitName);
    const QString velocity = distance + QStringLiteral(" / sec");
    const std::array<QString, 6> units{
        velocity, velocity, velocity, QStringLiteral("Seconds"), distance, QStringLiteral("Seconds")};
    for (std::size_t i = 0; i < units.size(); ++i)
        m_units[i]->setText(units[i]);
    Label9->setText(angle);
    Label22->setText(distance);
    Label23->setText(angle);
    showProblem(qs(gravityText(Module1.Gravity)), distance);

    const AngleRange range = comp_mz_vel_record::setUpMinimumAngle(Module1);
    switch (range.outcome) {
    case AngleRangeOutcome::Available:
        break;
    case AngleRangeOutcome::NoHorizontalDistance:
        Label11->setText(QString());
        refuseAngleInput(noDistance);
        return;
    case AngleRangeOutcome::NoAngleRange:
        Label11->setText(qs(minimumAngleText(Module1)));
        refuseAngleInput(noAngleRange);
        return;
    }

    m_angleRange = true;
    HScroll1->setMaximum(range.scrollMaximum);
    HScroll1->setValue(1);
    comp_mz_vel_record::selectAnglePosition(Module1, 1);
    Text1->setText(qs(positionAngleText(Module1, 1, AngleTextMoment::Load)));
    Label11->setText(qs(minimumAngleText(Module1)));
}

// Every position would lie at or below the line of sight, or past a right
// angle, where no finite velocity reaches the target: offer none.
void CompMzVel::refuseAngleInput(const QString &why)
{
    HScroll1->setMaximum(HScroll1->minimum());
    HScroll1->setEnabled(false);
    Command4->setEnabled(false);
    Screens::show<CompMzVel>();
    platform::messageBox(why, noteTitle);
}

void CompMzVel::HScroll1_Change()
{
    show();
    const int position = HScroll1->value();
    if (position == HScroll1->minimum())
        platform::messageBox(limitNote, noteTitle);
    setBackColour(Command4, BackColour::Yellow);
    emptyFigures();
    comp_mz_vel_record::selectAnglePosition(Module1, position);
    Text1->setText(qs(positionAngleText(Module1, position, AngleTextMoment::Change)));
}

void CompMzVel::CompMuzVel()
{
    if (!m_angleRange)
        return;
    const MuzzleVelocityReport report = comp_mz_vel_record::computeMuzzleVelocity(Module1);
    showFigures(m_columns[0], report.texts);
    if (report.outcome != MuzzleVelocityOutcome::Computed)
        return;
    const MuzzleVelocity &f = report.figures;
    extras()->setSolutions({{1, Module1.ElevationAngle, f.velocity, f.flightTime, f.apogee, report.texts}});
}

void CompMzVel::Command4_Click()
{
    CompMuzVel();
    setBackColour(Command4, BackColour::ButtonFace);
}

QStringList CompMzVel::inputRow() const
{
    return {QStringLiteral("Super elevation angle"), Text1->text(), Label9->text()};
}

QString CompMzVel::gravityUnit() const
{
    return QStringLiteral(" / sec\u00b2");
}
