#include "tests/screens/screen_test_support.h"

#include "screens/comp_angle.h"
#include "screens/root_find_parameters.h"
#include "toolkit/up_down.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>

namespace {

const QString rootFind = QStringLiteral("RootFindParameters");

void openFromAngleScreen()
{
    Module1.DistanceUnitCode = std::string("m");
    Module1.AngleUnitCode = std::string("d");
    Module1.TargetDistance = 1000;
    Module1.setupCommit();
    Screens::show<CompAngle>();
    QTest::mouseClick(control<QPushButton>(QStringLiteral("CompAngle"), QStringLiteral("Command5")), Qt::LeftButton);
}

void click(const char *button)
{
    QTest::mouseClick(control<QPushButton>(rootFind, button), Qt::LeftButton);
}

QScrollBar *bar(const char *name)
{
    return control<QScrollBar>(rootFind, name);
}

// Text1, Text2 and Text4 with the two bars' positions.
QStringList shownSettings()
{
    QStringList shown;
    for (const char *box : {"Text1", "Text2", "Text4"})
        shown << control<QLineEdit>(rootFind, box)->text();
    return shown << QString::number(bar("HScroll1")->value()) << QString::number(bar("HScroll2")->value());
}

QStringList angleLabels()
{
    return {control<QLabel>(QStringLiteral("CompAngle"), "Label23")->text(),
            control<QLabel>(QStringLiteral("CompAngle"), "Label24")->text()};
}

void step(int presses)
{
    auto *upDown = control<toolkit::UpDown>(rootFind, QStringLiteral("UpDown1"));
    for (int i = 0; i < std::abs(presses); ++i)
        QTest::mouseClick(presses > 0 ? upDown->upArrow() : upDown->downArrow(), Qt::LeftButton);
}

} // namespace

class TestRootFindParameters : public QObject, private ScreenFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { toolkit::installFontSubstitutions(); }
    void init();
    void cleanup();

    void loadShowsTheSettings_data();
    void loadShowsTheSettings();
    void scrollBarsWriteTheirBoxes();
    void backWithoutChanges_data();
    void backWithoutChanges();
    void backWithChangesStoresAndReopensWithThem();
    void backWithChangesReloadsAnAngleScreenLeftMeanwhile();

private:
};

void TestRootFindParameters::init()
{
    setUpShell();
}

void TestRootFindParameters::cleanup()
{
    tearDownShell();
}

void TestRootFindParameters::loadShowsTheSettings_data()
{
    QTest::addColumn<double>("tolerance");
    QTest::addColumn<double>("increment");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("the angle screen's start settings")
        << 1e-7 << 1e-5 << QStringList{"1E-07", "1E-05", "100", "100", "100"};
    QTest::newRow("settings at the start position replace the design texts")
        << 1e-9 << 1e-7 << QStringList{"1E-09", "1E-07", "100", "1", "1"};
    QTest::newRow("halves round to the even position")
        << 2.5e-9 << 4.5e-7 << QStringList{"2E-09", "4E-07", "100", "2", "4"};
    QTest::newRow("settings beyond the bars stop at their ends")
        << 0.0001 << 0.01 << QStringList{"1E-06", "0.0001", "100", "1000", "1000"};
}

void TestRootFindParameters::loadShowsTheSettings()
{
    QFETCH(double, tolerance);
    QFETCH(double, increment);
    QFETCH(QStringList, shown);

    Module1.Tolerance = tolerance;
    Module1.Increment = increment;
    Module1.MaxIterations = 7.0;
    Screens::show<RootFindParameters>();

    QCOMPARE(shownSettings(), shown);
    QCOMPARE(Module1.MaxIterations, DynamicValue(std::int16_t{100}));
    QCOMPARE(Module1.Tolerance, tolerance);
}

void TestRootFindParameters::scrollBarsWriteTheirBoxes()
{
    openFromAngleScreen();
    bar("HScroll1")->triggerAction(QAbstractSlider::SliderToMaximum);
    bar("HScroll2")->triggerAction(QAbstractSlider::SliderToMaximum);
    QCOMPARE(shownSettings().mid(0, 2), QStringList({"1E-06", "0.0001"}));
    bar("HScroll1")->triggerAction(QAbstractSlider::SliderToMinimum);
    bar("HScroll2")->triggerAction(QAbstractSlider::SliderToMinimum);
    QCOMPARE(shownSettings().mid(0, 2), QStringList({"1E-09", "1E-07"}));
    bar("HScroll1")->triggerAction(QAbstractSlider::SliderPageStepAdd);
    bar("HScroll2")->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(shownSettings().mid(0, 2), QStringList({"1.1E-08", "2E-07"}));
}

void TestRootFindParameters::backWithoutChanges_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::addColumn<int>("presses");
    QTest::addColumn<DynamicValue>("limit");

    QTest::newRow("button, limit stepped up twice") << false << 2 << DynamicValue(102.0);
    QTest::newRow("close box, limit not stepped") << true << 0 << DynamicValue(std::int16_t{100});
}

void TestRootFindParameters::backWithoutChanges()
{
    QFETCH(bool, closeBox);
    QFETCH(int, presses);
    QFETCH(DynamicValue, limit);

    openFromAngleScreen();
    bar("HScroll1")->triggerAction(QAbstractSlider::SliderToMaximum);
    bar("HScroll2")->triggerAction(QAbstractSlider::SliderToMinimum);
    step(presses);
    if (closeBox)
        QVERIFY(!window(rootFind)->close());
    else
        click("Command2");

    QVERIFY(!Screens::exists<RootFindParameters>() && shown(QStringLiteral("CompAngle")));
    QCOMPARE(Module1.Tolerance, 1e-7);
    QCOMPARE(Module1.Increment, 1e-5);
    QCOMPARE(Module1.MaxIterations, limit);
    QCOMPARE(angleLabels(), QStringList({"TOL = 1E-07", "Inc = 1E-05"}));
}

void TestRootFindParameters::backWithChangesStoresAndReopensWithThem()
{
    openFromAngleScreen();
    bar("HScroll1")->setValue(250);
    bar("HScroll2")->setValue(30);
    step(-1);
    click("Command1");

    QVERIFY(!Screens::exists<RootFindParameters>());
    QCOMPARE(Module1.Tolerance, 250 / 1e9);
    QCOMPARE(Module1.Increment, 30 / 1e7);
    QCOMPARE(Module1.MaxIterations, DynamicValue(99.0));
    QCOMPARE(angleLabels(), QStringList({"TOL = 2.5E-07 radians", "Inc = 3E-06 radians"}));
    // Whole inside their frame, clear of the value boxes beside them.
    const auto *frame = control<QGroupBox>(QStringLiteral("CompAngle"), QStringLiteral("Frame2"));
    for (const char *name : {"Label23", "Label24"}) {
        const QRect caption = control<QLabel>(QStringLiteral("CompAngle"), QLatin1String(name))->geometry();
        QVERIFY2(frame->contentsRect().contains(caption), name);
        for (const QLineEdit *box : frame->findChildren<QLineEdit *>())
            QVERIFY2(!caption.intersects(box->geometry()), name);
    }

    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QTest::mouseClick(control<QPushButton>(QStringLiteral("CompAngle"), QStringLiteral("Command5")), Qt::LeftButton);
    QCOMPARE(shownSettings(), QStringList({"2.5E-07", "3E-06", "100", "250", "30"}));
    QCOMPARE(Module1.MaxIterations, DynamicValue(std::int16_t{100}));
}

void TestRootFindParameters::backWithChangesReloadsAnAngleScreenLeftMeanwhile()
{
    openFromAngleScreen();
    QTest::mouseClick(control<QPushButton>(QStringLiteral("CompAngle"), QStringLiteral("Command1")), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!Screens::exists<CompAngle>());
    Module1.TargetDistance = 1000; // kept current by the set-up screen
    bar("HScroll1")->setValue(500);
    step(5);
    m_toolkit->boxes.clear();
    click("Command1");

    QVERIFY(!Screens::exists<RootFindParameters>() && shown(QStringLiteral("CompAngle")));
    QCOMPARE(Module1.Tolerance, 1e-7);
    QCOMPARE(Module1.Increment, 1e-5);
    QCOMPARE(Module1.MaxIterations, DynamicValue(std::int16_t{100}));
    QCOMPARE(angleLabels(), QStringList({"TOL = 1E-07 radians", "Inc = 1E-05 radians"}));
    QCOMPARE(m_toolkit->boxes.size(), 1);
    QVERIFY(m_toolkit->boxes.first().text.startsWith(QStringLiteral("Minimum velocity = ")));
}

QTEST_MAIN(TestRootFindParameters)
#include "tst_root_find_parameters.moc"
