#include "tests/screens/screen_test_support.h"

#include "screens/application.h"
#include "screens/comp_angle.h"
#include "screens/comp_mz_vel.h"
#include "screens/setup.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

namespace {

const QString setup = QStringLiteral("Setup");

void click(const QString &name, const QString &screen = setup)
{
    QWidget *w = control(screen, name);
    QVERIFY2(w && w->isVisible(), qPrintable(screen + QLatin1Char('.') + name));
    QTest::mouseClick(w, Qt::LeftButton);
}

void scroll(const char *name, QAbstractSlider::SliderAction action, int times = 1)
{
    for (int i = 0; i < times; ++i)
        control<QScrollBar>(setup, QLatin1String(name))->triggerAction(action);
}

QString text(const char *name)
{
    return control<QLineEdit>(setup, QLatin1String(name))->text();
}

bool yellow()
{
    return toolkit::backColour(control<QPushButton>(setup, QStringLiteral("Command2"))) == toolkit::BackColour::Yellow;
}

// What a result screen's "<< Back" does.
template <class Result>
void comeBack()
{
    Screens::show<Setup>();
    Screens::discard<Result>();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestSetup : public QObject, private ScreenFixture
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void guidedOrder_data();
    void guidedOrder();
    void entriesReachTheModel_data();
    void entriesReachTheModel();
    void zeroDistanceIsRefused();

private:
};

void TestSetup::init()
{
    setUpShell();
    startApplication();
    click(QStringLiteral("Command3"), QStringLiteral("Intro"));
}

void TestSetup::cleanup()
{
    tearDownShell(true);
}

void TestSetup::guidedOrder_data()
{
    QTest::addColumn<int>("steps");
    QTest::addColumn<QStringList>("accepting");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("sx");

    const QStringList open{"Frame1", "Command1", "Command3", "Frame2", "Frame3", "Frame4", "Command2"};
    QTest::newRow("fresh") << 0 << open.first(3) << ""
                           << "0";
    QTest::newRow("unit chosen") << 1 << open.first(4) << "Meters"
                                 << "0";
    QTest::newRow("metric chosen") << 2 << open.first(5) << "Meters"
                                   << "0";
    QTest::newRow("distance set") << 3 << open.first(6) << "Meters"
                                  << "100";
    QTest::newRow("ready") << 4 << open << "Meters"
                           << "100";
    QTest::newRow("committed, back, to Intro and again") << 5 << open << "Meters"
                                                         << "100";
}

void TestSetup::guidedOrder()
{
    QFETCH(int, steps);
    QFETCH(QStringList, accepting);
    QFETCH(QString, unit);
    QFETCH(QString, sx);

    QWidget *screen = window(setup);
    const QList<std::function<void()>> path{
        [] { click(QStringLiteral("Option3")); },
        [] { click(QStringLiteral("Option5")); },
        [] { scroll("HScroll3", QAbstractSlider::SliderPageStepAdd); },
        [] { click(QStringLiteral("Option1")); },
        [] {
            click(QStringLiteral("Command2"));
            comeBack<CompAngle>();
            click(QStringLiteral("Command3"));
            QVERIFY(!shown(setup));
            click(QStringLiteral("Command3"), QStringLiteral("Intro"));
        },
    };
    for (int i = 0; i < steps; ++i)
        path[i]();

    QVERIFY(shown(setup));
    QCOMPARE(window(setup), screen);
    for (const char *name : {"Frame1", "Frame2", "Frame3", "Frame4", "Command1", "Command2", "Command3"})
        QVERIFY2(control(setup, QLatin1String(name))->isEnabled() == accepting.contains(QLatin1String(name)), name);
    QCOMPARE(yellow(), steps == 4);
    for (const char *name : {"Label6", "Label7", "Label8"})
        QCOMPARE(control<QLabel>(setup, QLatin1String(name))->text(), unit);
    QCOMPARE(text("Text1") + text("Text2") + text("Text3"), QStringLiteral("00") + sx);
}

void TestSetup::entriesReachTheModel_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<double>("gravity");
    QTest::addColumn<QString>("angle");
    QTest::addColumn<QString>("result");

    QTest::newRow("metres, degrees, angle computation")
        << QStringList{"Option3", "Option5", "Option1"} << "Meters" << 9.80665 << "Degrees"
        << "CompAngle";
    QTest::newRow("feet after metres, radians, velocity computation")
        << QStringList{"Option3", "Option4", "Option6", "Option2"} << "Feet" << 32.1740485564 << "Radians"
        << "CompMzVel";
}

void TestSetup::entriesReachTheModel()
{
    QFETCH(QStringList, options);
    QFETCH(QString, unit);
    QFETCH(double, gravity);
    QFETCH(QString, angle);
    QFETCH(QString, result);

    const QString computation = options.takeLast();
    for (const QString &option : options)
        click(option);
    QCOMPARE(control<QLabel>(setup, QStringLiteral("Label8"))->text(), unit);
    QCOMPARE(Module1.DistanceUnitCode, std::string(unit == QLatin1String("Feet") ? "f" : "m"));

    scroll("HScroll1", QAbstractSlider::SliderSingleStepSub);
    scroll("HScroll2", QAbstractSlider::SliderPageStepAdd, 2);
    scroll("HScroll3", QAbstractSlider::SliderPageStepAdd, 3);
    QCOMPARE(QStringList({text("Text1"), text("Text2"), text("Text3")}), QStringList({"-1", "200", "300"}));
    QCOMPARE(Module1.TargetElevationEntry, DynamicValue(-1.0));
    QCOMPARE(Module1.FiringElevationEntry, DynamicValue(200.0));
    QCOMPARE(Module1.TargetDistance, 300.0);
    QCOMPARE(Module1.TargetElevation + Module1.FiringElevation, 0.0);

    click(computation);
    click(QStringLiteral("Command2"));
    QCOMPARE(Module1.TargetElevation, -1.0);
    QCOMPARE(Module1.FiringElevation, 200.0);
    QCOMPARE(Module1.Gravity, gravity);
    QCOMPARE(QString::fromStdString(Module1.DistanceUnitName), unit);
    QCOMPARE(QString::fromStdString(Module1.AngleUnitName), angle);
    QVERIFY(!shown(setup));
    QVERIFY(shown(result));
    QCOMPARE(Screens::exists<CompAngle>() + Screens::exists<CompMzVel>(), 1);

    QPointer<QWidget> first = window(result);
    if (result == QLatin1String("CompAngle"))
        comeBack<CompAngle>();
    else
        comeBack<CompMzVel>();
    QVERIFY(first.isNull());
    click(QStringLiteral("Command2"));
    QVERIFY(shown(result));
}

void TestSetup::zeroDistanceIsRefused()
{
    click(QStringLiteral("Option3"));
    click(QStringLiteral("Option5"));
    scroll("HScroll2", QAbstractSlider::SliderPageStepAdd);
    scroll("HScroll3", QAbstractSlider::SliderPageStepAdd);
    click(QStringLiteral("Option2"));
    scroll("HScroll3", QAbstractSlider::SliderPageStepSub);
    QVERIFY(!control(setup, QStringLiteral("Frame4"))->isEnabled());

    click(QStringLiteral("Command2"));
    QCOMPARE(m_toolkit->boxes.size(), 1);
    QCOMPARE(m_toolkit->boxes.first().text,
             QStringLiteral("The horizontal distance to the target (Sx) must be greater than 0."));
    QCOMPARE(m_toolkit->boxes.first().title, QStringLiteral("Note!"));
    QCOMPARE(m_toolkit->boxes.first().buttons, platform::MessageButtons::Ok);
    QVERIFY(shown(setup));
    QVERIFY(!Screens::exists<CompMzVel>() && !Screens::exists<CompAngle>());
    QCOMPARE(Module1.FiringElevation + Module1.Gravity, 0.0);
    QVERIFY(yellow());

    scroll("HScroll3", QAbstractSlider::SliderSingleStepAdd);
    click(QStringLiteral("Command2"));
    QVERIFY(shown(QStringLiteral("CompMzVel")));
}

QTEST_MAIN(TestSetup)
#include "tst_setup.moc"
