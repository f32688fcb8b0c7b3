#include "tests/screens/screen_test_support.h"

#include "screens/application.h"
#include "screens/example.h"
#include "screens/example2.h"
#include "screens/intro.h"
#include "screens/setup.h"

#include <QPushButton>
#include <QtTest>

namespace {

const QStringList explanatoryPath{QStringLiteral("Intro"), QStringLiteral("Example"), QStringLiteral("Example2"),
                                  QStringLiteral("Setup")};

struct WindowState
{
    QWidget *widget;
    bool visible;
    bool operator==(const WindowState &) const = default;
};

QList<WindowState> snapshot()
{
    QList<WindowState> states;
    for (const QString &name : explanatoryPath) {
        QWidget *w = window(name);
        states.append({w, w && w->isVisible()});
    }
    return states;
}

void click(const QString &screen, const QString &button)
{
    auto *b = control<QPushButton>(screen, button);
    QVERIFY2(b, qPrintable(screen + QLatin1Char('.') + button));
    QVERIFY2(b->isVisible(), qPrintable(screen + QLatin1Char('.') + button + QLatin1String(" is not visible")));
    QTest::mouseClick(b, Qt::LeftButton);
}

} // namespace

class TestNavigation : public QObject, private ScreenFixture
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsOnIntroAlone();
    void exitConfirmation_data();
    void exitConfirmation();
    void aboutBoxChangesNothing();
    void accessKeys();
    void secondFormulationReusesTheOneExample();
    void nextHidesExampleButKeepsExample2();
    void exampleBackKeepsExample2();
    void example2BackOnlyHides();
    void introFocusOrder();
    void introLabelsWrapInsideTheirWidths_data();
    void introLabelsWrapInsideTheirWidths();

private:
};

void TestNavigation::init()
{
    setUpShell();
    startApplication();
}

void TestNavigation::cleanup()
{
    tearDownShell(true);
}

void TestNavigation::startsOnIntroAlone()
{
    QVERIFY(shown(QStringLiteral("Intro")));
    QVERIFY(!Screens::exists<Example>());
    QVERIFY(!Screens::exists<Example2>());
    QVERIFY(!Screens::exists<Setup>());
    QVERIFY(Module1.ExitAnswer.isEmpty());
    QVERIFY(m_toolkit->boxes.isEmpty());
}

void TestNavigation::exitConfirmation_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("examplesOpen");
    QTest::addColumn<bool>("setupLoaded");

    QTest::newRow("Intro Exit, No") << "Intro"
                                    << "Command1" << 7 << false << false;
    QTest::newRow("Intro Exit, Yes") << "Intro"
                                     << "Command1" << 6 << false << false;
    QTest::newRow("Intro Exit, No, with everything loaded") << "Intro"
                                                            << "Command1" << 7 << true << true;
    QTest::newRow("Example Extit, No, over both examples") << "Example"
                                                           << "Command2" << 7 << true << true;
    QTest::newRow("Example Extit, Yes, with Setup hidden") << "Example"
                                                           << "Command2" << 6 << true << true;
}

void TestNavigation::exitConfirmation()
{
    QFETCH(QString, screen);
    QFETCH(QString, button);
    QFETCH(int, answer);
    QFETCH(bool, examplesOpen);
    QFETCH(bool, setupLoaded);

    if (setupLoaded)
        Screens::hide<Setup>();
    if (examplesOpen) {
        click(QStringLiteral("Intro"), QStringLiteral("Command2"));
        click(QStringLiteral("Example"), QStringLiteral("Command3"));
    }
    Module1.DistanceUnitCode = std::string("m");
    Module1.TargetDistance = 1000;
    Module1.MaxIterations = DynamicValue(std::int16_t{100});
    const QList<WindowState> before = snapshot();

    m_toolkit->answerNext(answer);
    click(screen, button);

    QCOMPARE(m_toolkit->boxes.size(), 1);
    const RecordedBox box = m_toolkit->boxes.first();
    QCOMPARE(box.text, QStringLiteral("Sure you wish to exit?"));
    QCOMPARE(box.title, QStringLiteral("Confirm"));
    QCOMPARE(box.buttons, platform::MessageButtons::YesNo);
    QVERIFY(Module1.ExitAnswer.isWhole());
    QCOMPARE(Module1.ExitAnswer.toNumber(), double(answer));
    QCOMPARE(m_toolkit->ends, answer == platform::answerYes ? 1 : 0);
    QCOMPARE(snapshot(), before);
    QCOMPARE(Module1.DistanceUnitCode, std::string("m"));
    QCOMPARE(Module1.TargetDistance, 1000.0);
    QCOMPARE(Module1.MaxIterations, DynamicValue(std::int16_t{100}));
}

void TestNavigation::aboutBoxChangesNothing()
{
    const QList<WindowState> before = snapshot();
    click(QStringLiteral("Intro"), QStringLiteral("Command4"));

    QCOMPARE(m_toolkit->boxes.size(), 1);
    const RecordedBox box = m_toolkit->boxes.first();
    QCOMPARE(box.title, QStringLiteral("About"));
    QCOMPARE(box.buttons, platform::MessageButtons::Ok);
    const QStringList lines = box.text.split(QLatin1Char('\r'));
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.first(), QStringLiteral("Trajectrix Program"));
    QVERIFY(!box.text.contains(QLatin1Char('\n')));
    QCOMPARE(snapshot(), before);
    QVERIFY(Module1.ExitAnswer.isEmpty());
}

void TestNavigation::accessKeys()
{
    QWidget *intro = window(QStringLiteral("Intro"));
    intro->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(intro));
    QCOMPARE(control<QPushButton>(QStringLiteral("Intro"), QStringLiteral("Command3"))->toolTip(),
             QStringLiteral("Go to Set-Up Screen"));

    m_toolkit->answerNext(platform::answerNo);
    QTest::keyClick(intro, Qt::Key_X, Qt::AltModifier);
    QTRY_COMPARE(m_toolkit->boxes.size(), 1);
    QCOMPARE(m_toolkit->boxes.first().text, QStringLiteral("Sure you wish to exit?"));

    QTest::keyClick(intro, Qt::Key_N, Qt::AltModifier);
    QTRY_VERIFY(shown(QStringLiteral("Setup")));
    QVERIFY(!shown(QStringLiteral("Intro")));
    QCOMPARE(m_toolkit->boxes.size(), 1);
}

void TestNavigation::secondFormulationReusesTheOneExample()
{
    click(QStringLiteral("Intro"), QStringLiteral("Command2"));
    QWidget *first = window(QStringLiteral("Example"));
    QVERIFY(first && first->isVisible());
    click(QStringLiteral("Intro"), QStringLiteral("Command2"));
    QCOMPARE(window(QStringLiteral("Example")), first);
    QCOMPARE(windowCount(QStringLiteral("Example")), 1);
    QVERIFY(first->isVisible());
    QVERIFY(shown(QStringLiteral("Intro")));
}

void TestNavigation::nextHidesExampleButKeepsExample2()
{
    click(QStringLiteral("Intro"), QStringLiteral("Command2"));
    click(QStringLiteral("Example"), QStringLiteral("Command3"));
    QVERIFY(shown(QStringLiteral("Example2")));
    QWidget *example = window(QStringLiteral("Example"));

    click(QStringLiteral("Intro"), QStringLiteral("Command3"));

    QVERIFY(!shown(QStringLiteral("Intro")));
    QVERIFY(shown(QStringLiteral("Setup")));
    QCOMPARE(window(QStringLiteral("Example")), example);
    QVERIFY(!example->isVisible());
    QVERIFY(shown(QStringLiteral("Example2")));
}

void TestNavigation::exampleBackKeepsExample2()
{
    click(QStringLiteral("Intro"), QStringLiteral("Command2"));
    click(QStringLiteral("Example"), QStringLiteral("Command3"));
    QPointer<QWidget> example = window(QStringLiteral("Example"));

    click(QStringLiteral("Example"), QStringLiteral("Command1"));

    QVERIFY(!Screens::exists<Example>());
    QVERIFY(!shown(QStringLiteral("Example")));
    QVERIFY(shown(QStringLiteral("Example2")));
    QVERIFY(shown(QStringLiteral("Intro")));
    QTRY_VERIFY(example.isNull());

    click(QStringLiteral("Intro"), QStringLiteral("Command2"));
    QVERIFY(shown(QStringLiteral("Example")));
    QCOMPARE(windowCount(QStringLiteral("Example")), 1);
}

void TestNavigation::example2BackOnlyHides()
{
    click(QStringLiteral("Intro"), QStringLiteral("Command2"));
    click(QStringLiteral("Example"), QStringLiteral("Command3"));
    QWidget *example2 = window(QStringLiteral("Example2"));

    click(QStringLiteral("Example2"), QStringLiteral("Command1"));
    QVERIFY(!example2->isVisible());
    QVERIFY(Screens::exists<Example2>());
    QVERIFY(shown(QStringLiteral("Example")));

    click(QStringLiteral("Example"), QStringLiteral("Command3"));
    QCOMPARE(window(QStringLiteral("Example2")), example2);
    QVERIFY(example2->isVisible());
}

void TestNavigation::introFocusOrder()
{
    QWidget *intro = window(QStringLiteral("Intro"));
    intro->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(intro));
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Command1"));
    QStringList visited;
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(visited, QStringList({"Command2", "Command3", "Command4", "Picture1", "Command1"}));
}

void TestNavigation::introLabelsWrapInsideTheirWidths_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("below");
    QTest::addColumn<QString>("phrase");

    QTest::newRow("overview above the figure") << "Label2" << 577 << "Picture1"
                                               << "The user then  provides";
    QTest::newRow("example beside the figure") << "Label3" << 149 << "Command2"
                                               << "located on hill.  The user";
}

void TestNavigation::introLabelsWrapInsideTheirWidths()
{
    QFETCH(QString, name);
    QFETCH(int, width);
    QFETCH(QString, below);
    QFETCH(QString, phrase);

    auto *l = control<QLabel>(QStringLiteral("Intro"), name);
    QVERIFY(l);
    QVERIFY(l->text().contains(phrase));
    QCOMPARE(l->width(), width);
    const QRect needed =
        l->fontMetrics().boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap | Qt::AlignHCenter, l->text());
    QVERIFY(needed.height() > 2 * l->fontMetrics().height());
    QVERIFY(needed.width() <= width);
    QVERIFY2(
        l->height() >= needed.height(),
        qPrintable(QStringLiteral("%1 is %2 high, its text needs %3").arg(name).arg(l->height()).arg(needed.height())));
    QVERIFY(l->geometry().bottom() < control(QStringLiteral("Intro"), below)->geometry().top());
}

QTEST_MAIN(TestNavigation)
#include "tst_navigation.moc"
