#include "screens/root_find_parameters.h"

#include "model/conversions.h"
#include "model/module1.h"
#include "model/typed_value.h"
#include "resources/figures.h"
#include "screens/comp_angle.h"
#include "screens/comp_mz_vel.h"
#include "screens/intro.h"
#include "screens/screens.h"
#include "screens/setup.h"
#include "screens/typed_entry.h"
#include "toolkit/controls.h"
#include "toolkit/figure_box.h"
#include "toolkit/up_down.h"
#include "toolkit/value_editor.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

using namespace toolkit;

namespace {

// Scroll positions count the settings in these units.
constexpr double toleranceScale = 1e9;
constexpr double incrementScale = 1e7;

constexpr int iterationsMinimum = 1;
constexpr int iterationsMaximum = 1000;

// Nearest whole number, a half to the even neighbour, kept inside the 16-bit
// range a scroll position can hold.
int scrollPosition(double setting, double scale)
{
    constexpr double lowest = std::numeric_limits<std::int16_t>::min();
    constexpr double highest = std::numeric_limits<std::int16_t>::max();
    const double scaled = setting * scale;
    if (std::isnan(scaled))
        return 0;
    return static_cast<int>(std::clamp(std::nearbyint(scaled), lowest, highest));
}

QString settingText(int position, double scale)
{
    return qs(conv::generalText(position / scale));
}

ValueTyping typing(const QString &name, const typed::Scale &scale, const typed::Wording &wording)
{
    return typedEntry(
        name, [scale] { return scale; }, [wording] { return wording; });
}

} // namespace

RootFindParameters::RootFindParameters()
    : Screen("RootFindParameters", QStringLiteral("Root finding parameters"), 9135, 7425)
{
    createControls();
    connectHandlers();
}

void RootFindParameters::createControls()
{
    Frame1 = frame(this, "Frame1", QStringLiteral("Newton's Method for Finding the Super Elevation Angles"),
                   {240, 120, 8775, 4935}, controlFont(QStringLiteral("MS Sans Serif"), 8.25, true));
    Image1 = imageBox(Frame1, "Image1", {360, 720, 8145, 3975});
    showFigure(Image1, Figure::NewtonsMethod);
    Label3 = label(Frame1, "Label3",
                   QStringLiteral("Using an initial guess value to the left and right of the appogee angle."),
                   {360, 360, 4890, 195}, {.sizing = LabelSizing::AutoSize});

    Label8 = label(this, "Label8", QStringLiteral("Maximum iterations for Newton's Method = "), {4800, 5400, 3030, 195},
                   {.sizing = LabelSizing::AutoSize});
    Text4 = textBox(this, "Text4", QStringLiteral("Text4"), {8040, 5400, 780, 285});
    UpDown1 = upDown(this, "UpDown1", {8820, 5400, 195, 285}, Text4, iterationsMinimum, iterationsMaximum);
    Line2 = line(this, "Line2", {4560, 5400}, {4560, 5760});
    Line1 = line(this, "Line1", {360, 5760}, {9000, 5760});

    Label1 = label(this, "Label1", QStringLiteral("Tolerance (TOL) - used in Newton's Method for angle calc."),
                   {360, 6000, 4425, 195}, {.sizing = LabelSizing::Wrap});
    Text1 = textBox(this, "Text1", QStringLiteral("0.0001"), {5040, 6000, 1215, 255});
    HScroll1 = hScrollBar(this, "HScroll1", {6240, 6000, 1455, 255},
                          {.minimum = 1, .maximum = 1000, .smallChange = 1, .largeChange = 10, .value = 1});
    Label6 = label(this, "Label6", QStringLiteral("radians"), {7920, 6000, 525, 195},
                   {.align = Qt::AlignHCenter, .sizing = LabelSizing::AutoSize});

    Label2 = label(this, "Label2", QStringLiteral("Increment (Inc) - used to find the initial minimum velocity."),
                   {360, 6360, 4455, 195}, {.sizing = LabelSizing::AutoSizeWrap});
    Text2 = textBox(this, "Text2", QStringLiteral(".01"), {5040, 6360, 1215, 270});
    HScroll2 = hScrollBar(this, "HScroll2", {6240, 6360, 1455, 255},
                          {.minimum = 1, .maximum = 1000, .smallChange = 1, .largeChange = 1, .value = 1});
    Label7 = label(this, "Label7", QStringLiteral("radians"), {7920, 6360, 525, 195},
                   {.align = Qt::AlignHCenter, .sizing = LabelSizing::AutoSize});

    Command2 = button(this, "Command2", QStringLiteral("Back without changes"), {360, 6840, 1935, 375});
    Command1 = button(this, "Command1", QStringLiteral("Back with changes"), {7080, 6840, 1815, 375});

    setFocusOrder({Command1, Command2, HScroll1, HScroll2, UpDown1});
}

void RootFindParameters::connectHandlers()
{
    connect(HScroll1, &QScrollBar::valueChanged, this, &RootFindParameters::HScroll1_Change);
    connect(HScroll2, &QScrollBar::valueChanged, this, &RootFindParameters::HScroll2_Change);
    connect(Text4, &QLineEdit::textChanged, this, &RootFindParameters::Text4_Change);
    connect(Command1, &QPushButton::clicked, this, &RootFindParameters::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &RootFindParameters::Command2_Click);

    const typed::Wording radians{.unit = " radians"};
    typed::Wording tolerance = radians;
    tolerance.noun = "tolerance";
    tolerance.kind = "A tolerance";
    tolerance.steps = ", in steps of 1E-09, such as 5E-08";
    typeInto(HScroll1, Text1,
             typing(QStringLiteral("Type the tolerance"),
                    typed::fractions(HScroll1->minimum(), HScroll1->maximum(), toleranceScale), tolerance),
             [](int p) { return settingText(p, toleranceScale); });
    typed::Wording increment = radians;
    increment.noun = "increment";
    increment.kind = "An increment";
    increment.steps = ", in steps of 1E-07, such as 2.5E-06";
    typeInto(HScroll2, Text2,
             typing(QStringLiteral("Type the increment"),
                    typed::fractions(HScroll2->minimum(), HScroll2->maximum(), incrementScale), increment),
             [](int p) { return settingText(p, incrementScale); });
    // What a step of the arrows writes.
    ValueTyping iterations =
        typing(QStringLiteral("Type the maximum iterations"), typed::wholeNumbers(iterationsMinimum, iterationsMaximum),
               {.noun = "whole number", .kind = "A whole number"});
    iterations.apply = [this](int n) { Text4->setText(QString::number(n)); };
    typeInto(UpDown1, Text4, std::move(iterations));
}

void RootFindParameters::Form_Load()
{
    HScroll1->setValue(scrollPosition(Module1.Tolerance, toleranceScale));
    HScroll2->setValue(scrollPosition(Module1.Increment, incrementScale));
    // A setting at the start position raises no change; without these the boxes
    // would keep their design texts, which "Back with changes" would then store.
    HScroll1_Change();
    HScroll2_Change();
    Text4->setText(QStringLiteral("100"));
    Module1.rootFindLoaded();
}

void RootFindParameters::closeBoxPressed()
{
    Command2_Click();
}

void RootFindParameters::HScroll1_Change()
{
    Text1->setText(settingText(HScroll1->value(), toleranceScale));
}

void RootFindParameters::HScroll2_Change()
{
    Text2->setText(settingText(HScroll2->value(), incrementScale));
}

void RootFindParameters::Text4_Change()
{
    Module1.iterationLimitChanged(Text4->text().toStdString());
}

void RootFindParameters::Command1_Click()
{
    Module1.storeRootFindSettings(Text1->text().toStdString(), Text2->text().toStdString(),
                                  Text4->text().toStdString());
    // If the angle screen was left meanwhile, this brings it back through its
    // load step, which resets the settings just stored. It comes back as
    // "Next >>" would bring it: with the set-up as it stands committed.
    const bool angleScreenLeft = !Screens::exists<CompAngle>();
    if (angleScreenLeft && Screens::exists<Setup>())
        Module1.setupCommit();
    if (CompAngle *angle = Screens::get<CompAngle>())
        angle->showStoredSettings();
    if (angleScreenLeft)
        giveWayToAngleScreen();
    Screens::discard<RootFindParameters>();
}

// The solvers read Sx and the angle metric from the live set-up entries, and
// both result screens share the working angle: with the set-up screen or the
// other result screen still at hand, the angle screen would soon compute for a
// problem it does not show.
void RootFindParameters::giveWayToAngleScreen()
{
    if (Screens::exists<Setup>())
        Screens::hide<Setup>();
    if (Screens::exists<Intro>())
        Screens::hide<Intro>();
    Screens::discard<CompMzVel>();
}

void RootFindParameters::Command2_Click()
{
    Screens::discard<RootFindParameters>();
}
