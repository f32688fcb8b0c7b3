#include "tests/screens/screen_test_support.h"

#include "screens/comp_angle.h"
#include "screens/comp_mz_vel.h"
#include "screens/example.h"
#include "screens/example2.h"
#include "screens/intro.h"
#include "screens/root_find_parameters.h"
#include "screens/setup.h"
#include "toolkit/up_down.h"

#include <QAccessible>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>

namespace {

// A level target 1000 m away, committed as Setup's "Next >>" would.
void commitLevelProblem()
{
    Module1.DistanceUnitCode = std::string("m");
    Module1.AngleUnitCode = std::string("d");
    Module1.TargetDistance = 1000.0;
    Module1.setupCommit();
}

void open(const QString &screen)
{
    commitLevelProblem();
    if (screen == "Intro")
        Screens::show<Intro>();
    else if (screen == "Example")
        Screens::show<Example>();
    else if (screen == "Example2")
        Screens::show<Example2>();
    else if (screen == "Setup")
        Screens::show<Setup>();
    else if (screen == "CompAngle")
        Screens::show<CompAngle>();
    else if (screen == "CompMzVel")
        Screens::show<CompMzVel>();
    else if (screen == "RootFindParameters")
        Screens::show<RootFindParameters>();
}

// What a screen reader hears, not merely the property behind it.
QString spokenName(QWidget *control)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(control);
    return face ? face->text(QAccessible::Name) : QString();
}

QList<QWidget *> valueControls(QWidget *screen)
{
    QList<QWidget *> controls;
    for (QLineEdit *box : screen->findChildren<QLineEdit *>())
        controls.append(box);
    for (QScrollBar *bar : screen->findChildren<QScrollBar *>())
        controls.append(bar);
    for (QWidget *widget : screen->findChildren<QWidget *>())
        if (dynamic_cast<toolkit::UpDown *>(widget))
            controls.append(widget);
    return controls;
}

} // namespace

class TestAccessibility : public QObject, private ScreenFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { toolkit::installFontSubstitutions(); }
    void init();
    void cleanup();

    void controlsAreNamedByTheCaptionsBesideThem_data();
    void controlsAreNamedByTheCaptionsBesideThem();
    void noTextBoxOrScrollBarIsLeftUnnamed_data();
    void noTextBoxOrScrollBarIsLeftUnnamed();
    void scrollBarsSpeakTheValueShown_data();
    void scrollBarsSpeakTheValueShown();

private:
};

void TestAccessibility::init()
{
    setUpShell();
}

void TestAccessibility::cleanup()
{
    tearDownShell();
}

void TestAccessibility::controlsAreNamedByTheCaptionsBesideThem_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");

    const auto row = [](const char *tag, const char *screen, const char *control, const char *name) {
        QTest::newRow(tag) << screen << control << name;
    };
    row("set-up box: label on its row", "Setup", "Text2", "Firing position elevation (So)");
    row("set-up bar: label on its row", "Setup", "HScroll2", "Firing position elevation (So)");
    row("set-up target elevation box", "Setup", "Text1", "Target elevation (Sy)");
    row("set-up target elevation bar", "Setup", "HScroll1", "Target elevation (Sy)");
    row("set-up distance box", "Setup", "Text3", "Horizontal distance to target (Sx)");
    row("set-up distance bar", "Setup", "HScroll3", "Horizontal distance to target (Sx)");
    row("velocity box: frame title", "CompAngle", "Text1", "Input Muzzle Velocity");
    row("velocity bar: frame title", "CompAngle", "HScroll1", "Input Muzzle Velocity");
    row("problem box: caption above", "CompAngle", "Text2", "Horizontal distance to target (Sx)");
    row("gravity box: caption above", "CompAngle", "Text4", "Accelration due to gravity");
    row("first angle: row and column", "CompAngle", "Text7", "Angle, Solution # 1");
    row("second angle", "CompAngle", "Text8", "Angle, Solution # 2");
    row("heading over intervening rows", "CompAngle", "Text12", "y - direction, Solution # 2");
    row("last row of the table", "CompAngle", "Text17", "Projectile time of flight, Solution # 1");
    row("angle box: frame title", "CompMzVel", "Text1", "Input Super Elevation Angle");
    row("angle bar: frame title", "CompMzVel", "HScroll1", "Input Super Elevation Angle");
    row("gravity box: caption reaching into its top edge", "CompMzVel", "Text4", "Acceleration due to gravity (g)");
    row("velocity result", "CompMzVel", "Text7", "Muzzle Velocity, Solution # 1");
    row("tolerance box: wide caption above is no heading", "RootFindParameters", "Text1",
        "Tolerance (TOL) - used in Newton's Method for angle calc.");
    row("tolerance bar", "RootFindParameters", "HScroll1", "Tolerance (TOL) - used in Newton's Method for angle calc.");
    row("increment box", "RootFindParameters", "Text2", "Increment (Inc) - used to find the initial minimum velocity.");
    row("increment bar", "RootFindParameters", "HScroll2",
        "Increment (Inc) - used to find the initial minimum velocity.");
    row("iteration box: trailing '=' not spoken", "RootFindParameters", "Text4",
        "Maximum iterations for Newton's Method");
    row("iteration arrows", "RootFindParameters", "UpDown1", "Maximum iterations for Newton's Method");
}

void TestAccessibility::controlsAreNamedByTheCaptionsBesideThem()
{
    QFETCH(QString, screen);
    QFETCH(QString, control);
    QFETCH(QString, name);

    open(screen);
    QWidget *widget = ::control(screen, control);
    QVERIFY(widget);
    QCOMPARE(spokenName(widget), name);
}

void TestAccessibility::noTextBoxOrScrollBarIsLeftUnnamed_data()
{
    QTest::addColumn<QString>("screen");
    for (const char *screen : {"Intro", "Example", "Example2", "Setup", "CompAngle", "CompMzVel", "RootFindParameters"})
        QTest::newRow(screen) << screen;
}

void TestAccessibility::noTextBoxOrScrollBarIsLeftUnnamed()
{
    QFETCH(QString, screen);

    open(screen);
    QWidget *w = window(screen);
    QVERIFY(w);
    for (QWidget *control : valueControls(w))
        if (!control->objectName().isEmpty())
            QVERIFY2(!spokenName(control).isEmpty(), qPrintable(control->objectName() + " has no name"));
}

void TestAccessibility::scrollBarsSpeakTheValueShown_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("bar");
    QTest::addColumn<int>("position"); // -1: as loaded
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("value");

    QTest::newRow("set-up distance in metres") << "Setup"
                                               << "HScroll3" << 1000 << ""
                                               << "1000 Meters";
    QTest::newRow("set-up elevation before a unit is chosen") << "Setup"
                                                              << "HScroll2" << 250 << ""
                                                              << "250";
    QTest::newRow("muzzle velocity") << "CompAngle"
                                     << "HScroll1" << 1500 << ""
                                     << "150 Meters/Sec";
    QTest::newRow("super elevation angle") << "CompMzVel"
                                           << "HScroll1" << 7854 << ""
                                           << "45.000 Degrees";
    QTest::newRow("tolerance as loaded") << "RootFindParameters"
                                         << "HScroll1" << -1 << ""
                                         << "1E-09 radians";
    QTest::newRow("the value editor's note follows the value")
        << "CompMzVel"
        << "HScroll1" << 7854 << "Set to 45.000, the nearest the bar allows."
        << "45.000 Degrees";
}

// Read as a screen reader reads them: the value text, and the description that
// the Linux bridge passes on.
void TestAccessibility::scrollBarsSpeakTheValueShown()
{
    QFETCH(QString, screen);
    QFETCH(QString, bar);
    QFETCH(int, position);
    QFETCH(QString, note);
    QFETCH(QString, value);

    open(screen);
    if (screen == "Setup" && bar == "HScroll3")
        ::control<QRadioButton>(screen, "Option3")->click();
    auto *b = ::control<QScrollBar>(screen, bar);
    QVERIFY(b);
    if (position >= 0)
        b->setValue(position);
    b->setAccessibleDescription(note);

    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(b);
    QVERIFY(face);
    QCOMPARE(face->text(QAccessible::Value), value);
    QCOMPARE(face->text(QAccessible::Description), note.isEmpty() ? value : value + ". " + note);
    QCOMPARE(face->valueInterface()->currentValue().toInt(), b->value());
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
