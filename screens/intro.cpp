#include "screens/intro.h"

#include "resources/figures.h"
#include "screens/application.h"
#include "screens/example.h"
#include "screens/screens.h"
#include "screens/setup.h"
#include "toolkit/controls.h"
#include "toolkit/figure_box.h"

#include <QPushButton>

using namespace toolkit;

namespace {

const QString overviewText = QStringLiteral(
    "This program calculates various firing parameteres for a classical trajectrix problem ignoring the effects of "
    "friction.  Specifically, the user inputs the elevations of the firing position and target, and the horizontal "
    "distance to the target.  The user then  provides either (Option 1) the muzzle velocity (Vo) and the program "
    "computes the super elevation angle or (Option 2) provides the super elevation angle and the program computes "
    "the required muzzle velocity.  Time of flight, apogee elevation, and horizontal/vertical velocity vector "
    "components are also computed for the user.");

const QString exampleText = QStringLiteral(
    "Consider the example shown to the left where a projectile is launched from a firing position (on top of a "
    "building) to strike a target located on hill.  The user must input the elevations of the firing position (Soy) "
    "and target (Sy), and also the horizontal distance (Sx) between the firing position and the target.  The user "
    "will then select Option 1 or Option 2.");

} // namespace

Intro::Intro() : Screen("Intro", QStringLiteral("Introduction"), 8925, 8025, Frame::FixedToolWindow)
{
    setFont(controlFont(QStringLiteral("Arial"), 9.75));
    createControls();
    connectHandlers();
}

void Intro::createControls()
{
    const QFont text = controlFont(QStringLiteral("MS Sans Serif"), 9.75);
    Label1 = label(this, "Label1", QStringLiteral("Trajectrix Program"), {2400, 0, 4275, 555},
                   {.font = controlFont(QStringLiteral("Arial"), 24, true),
                    .align = Qt::AlignHCenter,
                    .sizing = LabelSizing::AutoSize});
    Label2 = label(this, "Label2", overviewText, {120, 720, 8655, 1440},
                   {.font = text, .align = Qt::AlignHCenter, .sizing = LabelSizing::AutoSizeWrap});
    Picture1 = pictureBox(this, "Picture1", {240, 2400, 5895, 4695}, lightYellow);
    showFigure(Picture1, Figure::FiringSituation);
    Label3 = label(this, "Label3", exampleText, {6360, 3000, 2235, 3600},
                   {.font = text, .align = Qt::AlignHCenter, .sizing = LabelSizing::AutoSizeWrap});
    Command1 = button(this, "Command1", QStringLiteral("E&xit"), {480, 7440, 1695, 375});
    Command4 = button(this, "Command4", QStringLiteral("About"), {2760, 7440, 1335, 375});
    Command2 = button(this, "Command2", QStringLiteral("Mathematical Formulation"), {4560, 7440, 2295, 375});
    Command3 = button(this, "Command3", QStringLiteral("&Next >>"), {7200, 7440, 1455, 375});
    Command3->setToolTip(QStringLiteral("Go to Set-Up Screen"));
    setFocusOrder({Command1, Command2, Command3, Command4, Picture1});
}

void Intro::connectHandlers()
{
    connect(Command1, &QPushButton::clicked, this, &Intro::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Intro::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Intro::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Intro::Command4_Click);
}

void Intro::Command1_Click()
{
    exitConfirmation();
}

void Intro::Command2_Click()
{
    Screens::show<Example>();
}

void Intro::Command3_Click()
{
    Screens::hide<Intro>();
    Screens::show<Setup>();
    Screens::hide<Example>();
}

void Intro::Command4_Click()
{
    aboutBox();
}
