#include "tests/screens/screen_test_support.h"

#include "model/conversions.h"
#include "screens/comp_angle.h"
#include "solvers/min_velocity.h"
#include "toolkit/up_down.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>

#include <cmath>

namespace {

const QStringList resultBoxes{"Text7", "Text9",  "Text10", "Text13", "Text17", "Text14",
                              "Text8", "Text11", "Text12", "Text15", "Text18", "Text16"};

void openProblem(const char *distanceUnit, const char *angleUnit, double sx)
{
    Module1.DistanceUnitCode = std::string(distanceUnit);
    Module1.AngleUnitCode = std::string(angleUnit);
    Module1.TargetDistance = sx;
    Module1.setupCommit();
    Screens::show<CompAngle>();
}

template <class T>
T *angle(const QString &name)
{
    return control<T>(QStringLiteral("CompAngle"), name);
}

QStringList texts(const QStringList &names)
{
    QStringList shown;
    for (const QString &name : names)
        shown.append(name.startsWith('T') ? angle<QLineEdit>(name)->text() : angle<QLabel>(name)->text());
    return shown;
}

QString pattern(double value, const char *p)
{
    return QString::fromStdString(conv::formatPattern(value, p));
}

QString leastVelocity()
{
    return pattern(searchMinVelocity(1000, 0, 0, Module1.Gravity).minVelocity, "###.000");
}

void click(const char *button)
{
    QTest::mouseClick(angle<QPushButton>(button), Qt::LeftButton);
}

bool stale()
{
    return toolkit::backColour(angle<QPushButton>("Command4")) == toolkit::BackColour::Yellow;
}

} // namespace

class TestCompAngle : public QObject, private ScreenFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { toolkit::installFontSubstitutions(); }
    void init();
    void cleanup();

    void loadShowsTheProblemAndAnnouncesTheLeastVelocity_data();
    void loadShowsTheProblemAndAnnouncesTheLeastVelocity();
    void scrollPositionChoosesTheVelocity_data();
    void scrollPositionChoosesTheVelocity();
    void computeFillsBothSolutions_data();
    void computeFillsBothSolutions();
    void iterationLimitFromAdvancedLastsUntilBack();
    void zeroDistanceOffersNothingToCompute();

private:
};

void TestCompAngle::init()
{
    setUpShell();
}

void TestCompAngle::cleanup()
{
    tearDownShell();
}

void TestCompAngle::loadShowsTheProblemAndAnnouncesTheLeastVelocity_data()
{
    QTest::addColumn<QString>("units");
    QTest::addColumn<QString>("length");
    QTest::addColumn<QString>("angleName");
    QTest::addColumn<QString>("gravity");
    QTest::addColumn<int>("maximum");

    QTest::newRow("metres, degrees") << "md"
                                     << "Meters"
                                     << "Degrees"
                                     << "9.80665" << 20000;
    QTest::newRow("feet, degrees") << "fd"
                                   << "Feet"
                                   << "Degrees"
                                   << "32.1740485564" << 30000;
    QTest::newRow("metres, radians") << "mr"
                                     << "Meters"
                                     << "Radians"
                                     << "9.80665" << 20000;
}

void TestCompAngle::loadShowsTheProblemAndAnnouncesTheLeastVelocity()
{
    QFETCH(QString, units);
    QFETCH(QString, length);
    QFETCH(QString, angleName);
    QFETCH(QString, gravity);
    QFETCH(int, maximum);

    bool shownAtMessage = false;
    const platform::MessageBoxHandler recorder =
        platform::setMessageBoxHandler([&](const QString &t, const QString &title, platform::MessageButtons b) {
            shownAtMessage = shown(QStringLiteral("CompAngle"));
            return recorder(t, title, b);
        });
    Module1.MaxIterations = 3.0;
    openProblem(units.left(1).toLatin1(), units.right(1).toLatin1(), 1000);
    platform::setMessageBoxHandler(recorder);

    // The search stops just above the exact least velocity of a level target, sqrt(g Sx).
    const QString least = leastVelocity();
    QVERIFY(std::abs(least.toDouble() - std::sqrt(Module1.Gravity * 1000)) < 0.005);
    const QString speed = length + "/Sec";
    QCOMPARE(texts({"Text1", "Label11", "Label23", "Label24", "Text2", "Text4", "Text5", "Text6"}),
             QStringList({least, "min. vel = " + least, "TOL = 1E-07", "Inc = 1E-05", "1000", gravity, "0", "0"}));
    QCOMPARE(texts({"Label26", "Label16", "Label17", "Label18", "Label19", "Label20", "Label21", "Label22"}),
             QStringList({speed, angleName, speed, speed, "Seconds", length, "Seconds", length + " - " + angleName}));
    QCOMPARE(texts(resultBoxes), QStringList(12, QString()));
    QCOMPARE(Module1.MaxIterations, DynamicValue(std::int16_t{100}));
    auto *bar = angle<QScrollBar>("HScroll1");
    QCOMPARE(bar->minimum(), 10 * static_cast<int>(least.toDouble()));
    QCOMPARE(bar->value(), bar->minimum());
    QCOMPARE(bar->maximum(), maximum);
    QVERIFY(angle<QPushButton>("Command5")->isEnabled());
    QVERIFY(!stale());
    QCOMPARE(m_toolkit->boxes.size(), 1);
    QCOMPARE(m_toolkit->boxes.first().text, "Minimum velocity = " + least);
    QCOMPARE(m_toolkit->boxes.first().title, QStringLiteral("Note!"));
    QVERIFY(shownAtMessage);
}

void TestCompAngle::scrollPositionChoosesTheVelocity_data()
{
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("velocity"); // empty: the least velocity itself

    const int drag = QAbstractSlider::SliderNoAction;
    QTest::newRow("floor position stands for the least velocity") << int(QAbstractSlider::SliderToMinimum) << 990 << "";
    QTest::newRow("first tenth above the least velocity") << drag << 991 << "99.1";
    QTest::newRow("whole velocity drops its point") << drag << 1500 << "150";
    QTest::newRow("arrow click moves a tenth") << int(QAbstractSlider::SliderSingleStepAdd) << 2001 << "200.1";
    QTest::newRow("track click moves ten") << int(QAbstractSlider::SliderPageStepSub) << 1900 << "190";
}

void TestCompAngle::scrollPositionChoosesTheVelocity()
{
    QFETCH(int, action);
    QFETCH(int, position);
    QFETCH(QString, velocity);

    openProblem("m", "d", 1000);
    auto *bar = angle<QScrollBar>("HScroll1");
    bar->setValue(2000);
    click("Command4");
    QVERIFY(!texts(resultBoxes).contains(QString()));

    if (action == QAbstractSlider::SliderNoAction)
        bar->setValue(position);
    else
        bar->triggerAction(QAbstractSlider::SliderAction(action));

    const QString expected = velocity.isEmpty() ? leastVelocity() : velocity;
    QCOMPARE(bar->value(), position);
    QCOMPARE(texts({"Text1"}).first(), expected);
    QCOMPARE(Module1.MuzzleVelocity, DynamicValue(expected.toDouble()));
    QCOMPARE(texts(resultBoxes), QStringList(12, QString()));
    QVERIFY(stale());
}

void TestCompAngle::computeFillsBothSolutions_data()
{
    QTest::addColumn<QString>("angleUnit");
    QTest::newRow("degrees") << "d";
    QTest::newRow("radians") << "r";
}

void TestCompAngle::computeFillsBothSolutions()
{
    QFETCH(QString, angleUnit);
    openProblem("m", angleUnit.toLatin1(), 1000);
    angle<QScrollBar>("HScroll1")->setValue(1500);
    QVERIFY(stale());
    click("Command4");

    // Level target: tan a = (V^2 -+ sqrt(V^4 - g^2 Sx^2)) / (g Sx), flight twice the climb.
    const double v = 150, sx = 1000, g = Module1.Gravity;
    const double root = std::sqrt(std::pow(v, 4) - g * g * sx * sx);
    QStringList expected;
    for (const double sign : {-1.0, 1.0}) {
        const double a = std::atan((v * v + sign * root) / (g * sx));
        const double vy = v * std::sin(a);
        expected << (angleUnit == "r" ? pattern(a, "##.000") : pattern(a * 180 / 3.14159, "##.00"))
                 << pattern(v * std::cos(a), "#####.00") << pattern(vy, "####.00") << pattern(vy / g, "###.00")
                 << pattern(2 * vy / g, "###.00") << pattern(vy * vy / (2 * g), "####.0");
    }
    QCOMPARE(texts(resultBoxes), expected);
    QVERIFY(!stale());
    QCOMPARE(m_toolkit->boxes.size(), 1);
}

void TestCompAngle::iterationLimitFromAdvancedLastsUntilBack()
{
    openProblem("m", "d", 1000);
    angle<QScrollBar>("HScroll1")->setValue(1500);
    click("Command5");
    QVERIFY(shown(QStringLiteral("RootFindParameters")) && shown(QStringLiteral("CompAngle")));
    auto *upDown = control<toolkit::UpDown>(QStringLiteral("RootFindParameters"), QStringLiteral("UpDown1"));
    for (int i = 0; i < 98; ++i)
        QTest::mouseClick(upDown->downArrow(), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>(QStringLiteral("RootFindParameters"), QStringLiteral("Command1")),
                      Qt::LeftButton);
    QCOMPARE(texts({"Label23", "Label24"}), QStringList({"TOL = 1E-07 radians", "Inc = 1E-05 radians"}));

    m_toolkit->boxes.clear();
    click("Command4");
    QCOMPARE(m_toolkit->boxes.size(), 1);
    QCOMPARE(m_toolkit->boxes.first().text, QStringLiteral("No convergence in 2 iterations"));

    click("Command1");
    QVERIFY(shown(QStringLiteral("Setup")) && !Screens::exists<CompAngle>());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    openProblem("m", "d", 1000);
    QCOMPARE(Module1.MaxIterations, DynamicValue(std::int16_t{100}));
    angle<QScrollBar>("HScroll1")->setValue(1500);
    m_toolkit->boxes.clear();
    click("Command4");
    QVERIFY(m_toolkit->boxes.isEmpty());
    QVERIFY(!texts(resultBoxes).contains(QString()));
}

void TestCompAngle::zeroDistanceOffersNothingToCompute()
{
    openProblem("m", "d", 0);
    QVERIFY(shown(QStringLiteral("CompAngle")));
    QCOMPARE(m_toolkit->boxes.size(), 1);
    QCOMPARE(m_toolkit->boxes.first().text,
             QStringLiteral("The horizontal distance to the target (Sx) must be greater than 0."));
    QCOMPARE(texts({"Text1", "Text2", "Label22"}), QStringList({"0", "0", "Meters - Degrees"}));
    QCOMPARE(texts(resultBoxes), QStringList(12, QString()));
    for (const char *name : {"HScroll1", "Command4", "Command5"})
        QVERIFY2(!angle<QWidget>(name)->isEnabled(), name);
}

QTEST_MAIN(TestCompAngle)
#include "tst_comp_angle.moc"
