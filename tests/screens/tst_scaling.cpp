// The forms on a screen smaller than they are: 1280x720 at 150 % leaves 853x480
// for forms laid out up to 599x559 (small_display.json, QT_SCALE_FACTOR=1.5).

#include "tests/screens/screen_test_support.h"

#include "screens/comp_angle.h"
#include "screens/comp_mz_vel.h"
#include "screens/example.h"
#include "screens/example2.h"
#include "screens/intro.h"
#include "screens/root_find_parameters.h"
#include "screens/setup.h"

#include <QScreen>
#include <QScrollArea>
#include <QStyleFactory>

namespace {

void open(const QString &screen)
{
    Module1.DistanceUnitCode = std::string("m");
    Module1.AngleUnitCode = std::string("d");
    Module1.TargetDistance = 1000.0;
    Module1.setupCommit();
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

QString rectText(const QRect &r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

} // namespace

class TestScaling : public QObject, private ScreenFixture
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void everyControlCanBeReached_data();
    void everyControlCanBeReached();

private:
};

void TestScaling::initTestCase()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    toolkit::installFontSubstitutions();
    QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry().size(), QSize(853, 480));
}

void TestScaling::init()
{
    setUpShell();
}

void TestScaling::cleanup()
{
    tearDownShell();
}

void TestScaling::everyControlCanBeReached_data()
{
    QTest::addColumn<QString>("screen");
    for (const char *screen : {"Intro", "Example", "Example2", "Setup", "CompAngle", "CompMzVel", "RootFindParameters"})
        QTest::newRow(screen) << screen;
}

// The window lies within the screen's free area, and each control the keyboard
// can reach comes into view when it takes the focus.
void TestScaling::everyControlCanBeReached()
{
    QFETCH(QString, screen);

    open(screen);
    QWidget *w = window(screen);
    QVERIFY(w);
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    const QRect available = w->screen()->availableGeometry();
    QVERIFY2(available.contains(w->frameGeometry()), qPrintable(rectText(w->frameGeometry())));
    auto *area = w->findChild<QScrollArea *>();
    QVERIFY(area);

    int reached = 0;
    for (QWidget *c : w->findChildren<QWidget *>()) {
        if (c->objectName().isEmpty() || !(c->focusPolicy() & Qt::TabFocus) || !c->isVisible() || !c->isEnabled())
            continue;
        c->setFocus(Qt::TabFocusReason);
        const auto inView = [&] {
            return area->viewport()->rect().contains(QRect(c->mapTo(area->viewport(), QPoint(0, 0)), c->size()));
        };
        QTRY_VERIFY2(inView(), qPrintable(c->objectName()));
        ++reached;
    }
    QVERIFY(reached > 0);
}

QTEST_MAIN(TestScaling)
#include "tst_scaling.moc"
