#include "screens/example2.h"

#include "resources/figures.h"
#include "screens/screens.h"
#include "toolkit/controls.h"
#include "toolkit/figure_box.h"

#include <QPushButton>

using namespace toolkit;

Example2::Example2() : Screen("Example2", QStringLiteral("Formulation Continued"), 7050, 7740)
{
    createControls();
    connectHandlers();
}

void Example2::createControls()
{
    Image1 = imageBox(this, "Image1", {240, 240, 6480, 6675});
    showFigure(Image1, Figure::GeneralAnalysis);
    Command1 = button(this, "Command1", QStringLiteral("<< Back"), {240, 7200, 1335, 375});
    setFocusOrder({Command1});
}

void Example2::connectHandlers()
{
    connect(Command1, &QPushButton::clicked, this, &Example2::Command1_Click);
}

void Example2::closeBoxPressed()
{
    Command1_Click();
}

void Example2::Command1_Click()
{
    Screens::hide<Example2>();
}
