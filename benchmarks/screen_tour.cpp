#include "benchmarks/screen_tour.h"

#include "benchmarks/screen_driver.h"
#include "model/module1.h"
#include "screens/application.h"
#include "screens/comp_angle.h"
#include "screens/comp_mz_vel.h"
#include "screens/example.h"
#include "screens/example2.h"
#include "screens/intro.h"
#include "screens/root_find_parameters.h"
#include "screens/screens.h"
#include "screens/setup.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace {

// The screen, once the events of the last step have run, if it is on view.
template <class T>
T *onView()
{
    driver::settle();
    if (!Screens::exists<T>())
        return nullptr;
    T *screen = Screens::get<T>();
    return screen->isVisible() ? screen : nullptr;
}

QString notShown(const char *name)
{
    return QString::fromLatin1(name) + QStringLiteral(" is not shown");
}

} // namespace

QString tourEveryScreen(const TourStop &atStop)
{
    Screens::discardAll();
    driver::settle();
    Module1 = ProblemModel{};

    startApplication();
    Intro *intro = onView<Intro>();
    if (!intro)
        return notShown("Intro");
    atStop(intro, QStringLiteral("intro"));

    driver::control<QPushButton>(intro, "Command2")->click();
    Example *example = onView<Example>();
    if (!example)
        return notShown("Example");
    atStop(example, QStringLiteral("example"));
    driver::control<QPushButton>(example, "Command3")->click();
    Example2 *example2 = onView<Example2>();
    if (!example2)
        return notShown("Example2");
    atStop(example2, QStringLiteral("example2"));
    driver::control<QPushButton>(example2, "Command1")->click();
    driver::control<QPushButton>(example, "Command1")->click();

    driver::control<QPushButton>(intro, "Command3")->click();
    Setup *setup = onView<Setup>();
    if (!setup)
        return notShown("Setup");
    driver::control<QRadioButton>(setup, "Option3")->click();
    driver::control<QRadioButton>(setup, "Option5")->click();
    driver::control<QScrollBar>(setup, "HScroll3")->setValue(1000);
    driver::control<QRadioButton>(setup, "Option1")->click();
    atStop(setup, QStringLiteral("setup"));

    driver::control<QPushButton>(setup, "Command2")->click();
    CompAngle *angle = onView<CompAngle>();
    if (!angle)
        return notShown("CompAngle");
    driver::control<QScrollBar>(angle, "HScroll1")->setValue(1500);
    driver::control<QPushButton>(angle, "Command4")->click();
    if (driver::control<QLineEdit>(angle, "Text7")->text().isEmpty())
        return QStringLiteral("CompAngle found no angle at 150 m/s");
    atStop(angle, QStringLiteral("comp_angle"));

    driver::control<QPushButton>(angle, "Command5")->click();
    RootFindParameters *parameters = onView<RootFindParameters>();
    if (!parameters)
        return notShown("RootFindParameters");
    atStop(parameters, QStringLiteral("root_find_parameters"));
    driver::control<QPushButton>(parameters, "Command2")->click();
    driver::control<QPushButton>(angle, "Command1")->click();

    if (!onView<Setup>())
        return notShown("Setup");
    driver::control<QRadioButton>(setup, "Option2")->click();
    driver::control<QPushButton>(setup, "Command2")->click();
    CompMzVel *velocity = onView<CompMzVel>();
    if (!velocity)
        return notShown("CompMzVel");
    driver::control<QScrollBar>(velocity, "HScroll1")->setValue(7854);
    driver::control<QPushButton>(velocity, "Command4")->click();
    if (driver::control<QLineEdit>(velocity, "Text7")->text().isEmpty())
        return QStringLiteral("CompMzVel found no velocity at position 7854");
    atStop(velocity, QStringLiteral("comp_mz_vel"));
    driver::control<QPushButton>(velocity, "Command1")->click();

    return onView<Setup>() ? QString() : notShown("Setup");
}
