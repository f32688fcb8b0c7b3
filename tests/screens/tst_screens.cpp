#include "tests/screens/screen_test_support.h"

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
#include <QScreen>
#include <QStyleFactory>
#include <QtTest>

#include <functional>

namespace {

int loads = 0;

class Counting : public Screen
{
public:
    Counting() : Screen("Counting", QStringLiteral("Counting"), 6000, 4500)
    {
        entry = toolkit::textBox(this, "Text1", QStringLiteral("design"), {240, 240, 1095, 285});
    }
    QLineEdit *entry;

protected:
    void Form_Load() override
    {
        ++loads;
        entry->setText(QStringLiteral("loaded"));
    }
};

// Shows itself half-way through its load step, as the angle screen does.
class SelfShowing : public Screen
{
public:
    SelfShowing() : Screen("SelfShowing", QStringLiteral("Self showing"), 6000, 4500) {}

protected:
    void Form_Load() override
    {
        ++loads;
        Screens::show<SelfShowing>();
        shownDuringLoad = isVisible();
    }

public:
    bool shownDuringLoad = false;
};

struct ScreenKind
{
    const char *name;
    std::function<void()> show;
    std::function<bool()> exists;
};

template <class T>
ScreenKind kind(const char *name)
{
    return {name, [] { Screens::show<T>(); }, [] { return Screens::exists<T>(); }};
}

const QList<ScreenKind> &kinds()
{
    static const QList<ScreenKind> all{kind<Intro>("Intro"),
                                       kind<Example>("Example"),
                                       kind<Example2>("Example2"),
                                       kind<Setup>("Setup"),
                                       kind<CompAngle>("CompAngle"),
                                       kind<CompMzVel>("CompMzVel"),
                                       kind<RootFindParameters>("RootFindParameters")};
    return all;
}

const ScreenKind &kindNamed(const QString &name)
{
    for (const ScreenKind &k : kinds())
        if (name == QLatin1String(k.name))
            return k;
    qFatal("no screen %s", qPrintable(name));
}

} // namespace

class TestScreens : public QObject, private ScreenFixture
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void loadsOnceAndHidingKeepsState();
    void discardMakesNextUseFresh();
    void discardFromOwnHandlerIsSafe();
    void loadStepMayShowItsOwnScreen();

    void windows_data();
    void windows();
    void controlsStayPutOnResize_data();
    void controlsStayPutOnResize();
    void closeBox_data();
    void closeBox();
    void closingTheLastVisibleScreenEnds();

private:
};

void TestScreens::initTestCase()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    toolkit::installFontSubstitutions();
}

void TestScreens::init()
{
    setUpShell();
    // The result screens refuse a problem without a target distance: give them one.
    Module1.DistanceUnitCode = std::string("m");
    Module1.AngleUnitCode = std::string("d");
    Module1.TargetDistance = 1000;
    Module1.setupCommit();
    loads = 0;
}

void TestScreens::cleanup()
{
    tearDownShell();
}

void TestScreens::loadsOnceAndHidingKeepsState()
{
    Screens::hide<Counting>();
    QVERIFY(Screens::exists<Counting>());
    QVERIFY(!shown(QStringLiteral("Counting")));
    Counting *first = Screens::get<Counting>();
    first->entry->setText(QStringLiteral("entered"));

    Screens::show<Counting>();
    Screens::show<Counting>();
    Screens::hide<Counting>();
    Screens::show<Counting>();
    QVERIFY(shown(QStringLiteral("Counting")));
    QCOMPARE(Screens::get<Counting>(), first);
    QCOMPARE(first->entry->text(), QStringLiteral("entered"));
    QCOMPARE(loads, 1);
    QCOMPARE(windowCount(QStringLiteral("Counting")), 1);
}

void TestScreens::discardMakesNextUseFresh()
{
    Screens::show<Counting>();
    QPointer<Counting> first = Screens::get<Counting>();
    first->entry->setText(QStringLiteral("entered"));
    Screens::discard<Counting>();
    QVERIFY(!Screens::exists<Counting>());
    QVERIFY(!shown(QStringLiteral("Counting")));

    Screens::show<Counting>();
    QCOMPARE(loads, 2);
    QVERIFY(Screens::get<Counting>() != first);
    QCOMPARE(control<QLineEdit>(QStringLiteral("Counting"), QStringLiteral("Text1"))->text(), QStringLiteral("loaded"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first.isNull());
    QCOMPARE(windowCount(QStringLiteral("Counting")), 1);
}

void TestScreens::discardFromOwnHandlerIsSafe()
{
    Screens::show<Counting>();
    auto *back =
        toolkit::button(Screens::get<Counting>(), "Command1", QStringLiteral("<< Back"), {240, 900, 1335, 375});
    connect(back, &QPushButton::clicked, back, [] { Screens::discard<Counting>(); });
    back->show();
    QTest::mouseClick(back, Qt::LeftButton);
    QVERIFY(!Screens::exists<Counting>());
    QTRY_COMPARE(windowCount(QStringLiteral("Counting")), 0);
}

void TestScreens::loadStepMayShowItsOwnScreen()
{
    Screens::show<SelfShowing>();
    QVERIFY(Screens::get<SelfShowing>()->shownDuringLoad);
    QCOMPARE(loads, 1);
    QCOMPARE(windowCount(QStringLiteral("SelfShowing")), 1);
}

void TestScreens::windows_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("client");
    QTest::addColumn<bool>("toolWindow");

    QTest::newRow("Intro: fixed tool window") << "Intro"
                                              << "Introduction" << QSize(595, 535) << true;
    QTest::newRow("Example") << "Example"
                             << "Mathematical Formulation" << QSize(599, 559) << false;
    QTest::newRow("Example2") << "Example2"
                              << "Formulation Continued" << QSize(470, 516) << false;
    QTest::newRow("Setup") << "Setup"
                           << "Problem Set-up" << QSize(581, 521) << false;
    QTest::newRow("CompAngle") << "CompAngle"
                               << "Compute Angle Given Muzzle Velocity" << QSize(509, 508) << false;
    QTest::newRow("CompMzVel") << "CompMzVel"
                               << "Compute Muzzle Velocity Given Angle" << QSize(507, 518) << false;
    QTest::newRow("RootFindParameters") << "RootFindParameters"
                                        << "Root finding parameters" << QSize(609, 495) << false;
}

void TestScreens::windows()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QSize, client);
    QFETCH(bool, toolWindow);

    kindNamed(name).show();
    QWidget *w = window(name);
    QVERIFY(w);
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QCOMPARE(w->windowTitle(), caption);
    QCOMPARE(w->size(), client);
    const QPoint offCentre = w->frameGeometry().center() - w->screen()->availableGeometry().center();
    QVERIFY2(offCentre.manhattanLength() <= 1,
             qPrintable(QStringLiteral("%1 off centre by %2, %3").arg(name).arg(offCentre.x()).arg(offCentre.y())));

    const Qt::WindowFlags flags = w->windowFlags();
    QCOMPARE(flags.testFlag(Qt::Tool), toolWindow);
    QCOMPARE(w->minimumSize() == w->maximumSize(), toolWindow);
    if (toolWindow) {
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    }
}

void TestScreens::controlsStayPutOnResize_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");

    QTest::newRow("Example enlarged") << "Example" << QSize(780, 590);
    QTest::newRow("Example shrunk below its buttons") << "Example" << QSize(300, 200);
    QTest::newRow("Example2 enlarged") << "Example2" << QSize(700, 580);
    QTest::newRow("Example2 shrunk") << "Example2" << QSize(200, 150);
}

void TestScreens::controlsStayPutOnResize()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);

    kindNamed(name).show();
    QWidget *w = window(name);
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QList<QPair<QWidget *, QRect>> before;
    for (QWidget *child : w->findChildren<QWidget *>())
        before.append({child, child->geometry()});
    QVERIFY(!before.isEmpty());

    w->resize(size);
    QTRY_COMPARE(w->size(), size);
    for (const auto &[child, geometry] : before)
        QCOMPARE(child->geometry(), geometry);
}

void TestScreens::closeBox_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("asks");
    QTest::addColumn<bool>("existsAfter");
    QTest::addColumn<bool>("shownAfter");

    QTest::newRow("Intro asks to exit, No keeps it") << "Intro" << true << true << true;
    QTest::newRow("Setup asks to exit, No keeps it") << "Setup" << true << true << true;
    QTest::newRow("CompAngle asks to exit, No keeps it") << "CompAngle" << true << true << true;
    QTest::newRow("CompMzVel asks to exit, No keeps it") << "CompMzVel" << true << true << true;
    QTest::newRow("Example goes back: discarded") << "Example" << false << false << false;
    QTest::newRow("Example2 goes back: hidden") << "Example2" << false << true << false;
    QTest::newRow("RootFindParameters back without changes") << "RootFindParameters" << false << false << false;
}

void TestScreens::closeBox()
{
    QFETCH(QString, name);
    QFETCH(bool, asks);
    QFETCH(bool, existsAfter);
    QFETCH(bool, shownAfter);

    Screens::show<Counting>();
    const ScreenKind &k = kindNamed(name);
    k.show();
    m_toolkit->boxes.clear(); // what the load step announced
    m_toolkit->answerNext(platform::answerNo);
    QVERIFY(window(name)->close() == false);

    QCOMPARE(m_toolkit->boxes.size(), asks ? 1 : 0);
    if (asks) {
        QCOMPARE(m_toolkit->boxes.first().text, QStringLiteral("Sure you wish to exit?"));
        QCOMPARE(Module1.ExitAnswer.toNumber(), 7.0);
    }
    QCOMPARE(k.exists(), existsAfter);
    QCOMPARE(shown(name), shownAfter);
    QVERIFY(shown(QStringLiteral("Counting")));
    QCOMPARE(m_toolkit->ends, 0);
}

void TestScreens::closingTheLastVisibleScreenEnds()
{
    Screens::hide<Intro>();
    Screens::show<Example>();
    window(QStringLiteral("Example"))->close();
    QVERIFY(!Screens::anyShown());
    QCOMPARE(m_toolkit->ends, 1);
    QCOMPARE(m_toolkit->boxes.size(), 0);
}

QTEST_MAIN(TestScreens)
#include "tst_screens.moc"
