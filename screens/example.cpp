#include "screens/example.h"

#include "resources/figures.h"
#include "screens/application.h"
#include "screens/example2.h"
#include "screens/screens.h"
#include "toolkit/controls.h"
#include "toolkit/figure_box.h"

#include <QPushButton>

using namespace toolkit;

Example::Example() : Screen("Example", QStringLiteral("Mathematical Formulation"), 8985, 8385)
{
    createControls();
    connectHandlers();
}

void Example::createControls()
{
    Image1 = imageBox(this, "Image1", {240, 120, 8160, 7380});
    showFigure(Image1, Figure::ExampleProblem);
    Command1 = button(this, "Command1", QStringLiteral("<< Back"), {240, 7800, 1575, 375});
    Command2 = button(this, "Command2", QStringLiteral("Extit"), {3720, 7800, 1575, 375});
    Command3 = button(this, "Command3", QStringLiteral("More >>"), {6840, 7800, 1575, 375});
    setFocusOrder({Command1, Command2, Command3});
}

void Example::connectHandlers()
{
    connect(Command1, &QPushButton::clicked, this, &Example::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Example::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Example::Command3_Click);
}

void Example::closeBoxPressed()
{
    Command1_Click();
}

void Example::Command1_Click()
{
    Screens::discard<Example>();
}

void Example::Command2_Click()
{
    exitConfirmation();
}

void Example::Command3_Click()
{
    Screens::show<Example2>();
}
