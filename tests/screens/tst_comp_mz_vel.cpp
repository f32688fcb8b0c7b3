#include "tests/screens/screen_test_support.h"

#include "screens/comp_mz_vel.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

namespace {

struct Problem
{
    const char *distanceCode;
    const char *angleCode;
    double sx;
    double so;
    double sy;
};

const Problem level{"m", "d", 1000, 0, 0};
const QStringList empty(6);

CompMzVel *open(const Problem &p)
{
    Module1.DistanceUnitCode = std::string(p.distanceCode);
    Module1.AngleUnitCode = std::string(p.angleCode);
    Module1.TargetDistance = p.sx;
    Module1.FiringElevationEntry = p.so;
    Module1.TargetElevationEntry = p.sy;
    Module1.setupCommit();
    Screens::show<CompMzVel>();
    return Screens::get<CompMzVel>();
}

QStringList texts(CompMzVel *s, const QStringList &names = {"Text7", "Text9", "Text10", "Text13", "Text14", "Text17"})
{
    QStringList found;
    for (const QString &name : names)
        found.append(s->findChild<QObject *>(name)->property("text").toString());
    return found;
}

// The thumb dragged and let go.
void drag(QScrollBar *bar, int to)
{
    bar->setSliderDown(true);
    bar->setSliderPosition(to);
    bar->setSliderDown(false);
}

bool yellow(CompMzVel *s)
{
    return toolkit::backColour(control<QPushButton>(s, "Command4")) == toolkit::BackColour::Yellow;
}

} // namespace

Q_DECLARE_METATYPE(Problem)

class TestCompMzVel : public QObject, private ScreenFixture
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void opensThenComputesForTheAngleShown_data();
    void opensThenComputesForTheAngleShown();
    void noteOnlyOnReachingTheLowerEnd_data();
    void noteOnlyOnReachingTheLowerEnd();
    void dragEmptiesAtOnceAndMovesTheAngleWhenLetGo();
    void refusesTargetsWithoutAngleRange_data();
    void refusesTargetsWithoutAngleRange();
    void scrollBarHasTheFocusOnOpening();

private:
};

void TestCompMzVel::init()
{
    setUpShell();
}

void TestCompMzVel::cleanup()
{
    tearDownShell(true);
}

void TestCompMzVel::opensThenComputesForTheAngleShown_data()
{
    QTest::addColumn<Problem>("problem");
    QTest::addColumn<QString>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("angle");
    QTest::addColumn<QStringList>("results");

    const QString flat = QStringLiteral("Min. angle = 0.000 degrees");
    QTest::newRow("level, computed right after opening: huge but finite")
        << level << flat << 15707 << 1 << "0.006" << QStringList{"7002.37", "7002.37", ".70", ".07", ".0", ".14"};
    QTest::newRow("level at 45 degrees") << level << flat << 15707 << 7854 << "45.000"
                                         << QStringList{"99.03", "70.02", "70.02", "7.14", "250.0", "14.28"};
    QTest::newRow("level at the top: integer parts wider than the pattern")
        << level << flat << 15707 << 15707 << "89.995"
        << QStringList{"7134.64", ".69", "7134.64", "727.53", "2595331.9", "1455.06"};
    QTest::newRow("target below: negative minimum")
        << Problem{"m", "d", 1000, 100, 0} << "Min. angle = -5.711 degrees" << 16704 << 3000 << "11.478"
        << QStringList{"129.80", "127.20", "25.83", "2.63", "134.0", "7.86"};
    QTest::newRow("radians") << Problem{"m", "r", 1000, 0, 0} << "Min. angle = 0.000 radians" << 15707 << 1 << "0.000"
                             << QStringList();
    QTest::newRow("feet") << Problem{"f", "d", 1000, 0, 0} << flat << 15707 << 1 << "0.006" << QStringList();
}

void TestCompMzVel::opensThenComputesForTheAngleShown()
{
    QFETCH(Problem, problem);
    QFETCH(QString, minimum);
    QFETCH(int, maximum);
    QFETCH(int, position);
    QFETCH(QString, angle);
    QFETCH(QStringList, results);

    CompMzVel *s = open(problem);
    const QString d = QString::fromStdString(Module1.DistanceUnitName);
    const QString a = QString::fromStdString(Module1.AngleUnitName);
    QCOMPARE(
        texts(s, {"Label16", "Label17", "Label18", "Label19", "Label20", "Label21", "Label22", "Label9", "Label23"}),
        QStringList({d + " / sec", d + " / sec", d + " / sec", "Seconds", d, "Seconds", d, a, a}));
    QCOMPARE(texts(s, {"Text2", "Text4", "Text5", "Text6", "Label11"}),
             QStringList({"1000", *problem.distanceCode == 'f' ? "32.17405" : "9.80665", QString::number(problem.so),
                          QString::number(problem.sy), minimum}));
    QCOMPARE(control<QScrollBar>(s, "HScroll1")->maximum(), maximum);
    QCOMPARE(texts(s), empty);
    QVERIFY(!yellow(s));

    if (position != 1) {
        drag(control<QScrollBar>(s, "HScroll1"), position);
        QVERIFY(yellow(s));
    }
    QCOMPARE(control<QLineEdit>(s, "Text1")->text(), angle);
    if (!results.isEmpty()) {
        QTest::mouseClick(control<QPushButton>(s, "Command4"), Qt::LeftButton);
        QCOMPARE(texts(s), results);
        QVERIFY(!yellow(s));
    }
    QVERIFY(m_toolkit->boxes.isEmpty());
}

void TestCompMzVel::noteOnlyOnReachingTheLowerEnd_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("action");
    QTest::addColumn<bool>("noted");

    QTest::newRow("left arrow from 2") << 2 << int(QAbstractSlider::SliderSingleStepSub) << true;
    QTest::newRow("track click left of the thumb at 50") << 50 << int(QAbstractSlider::SliderPageStepSub) << true;
    QTest::newRow("left arrow at 1 changes nothing") << 1 << int(QAbstractSlider::SliderSingleStepSub) << false;
    QTest::newRow("right arrow to the top") << 15706 << int(QAbstractSlider::SliderSingleStepAdd) << false;
}

void TestCompMzVel::noteOnlyOnReachingTheLowerEnd()
{
    QFETCH(int, start);
    QFETCH(int, action);
    QFETCH(bool, noted);

    CompMzVel *s = open(level);
    if (start != 1)
        drag(control<QScrollBar>(s, "HScroll1"), start);
    QTest::mouseClick(control<QPushButton>(s, "Command4"), Qt::LeftButton);
    const QStringList computed = texts(s);
    const QString angle = control<QLineEdit>(s, "Text1")->text();
    control<QScrollBar>(s, "HScroll1")->triggerAction(QAbstractSlider::SliderAction(action));

    const bool moved = start != 1;
    QCOMPARE(yellow(s), moved);
    QCOMPARE(texts(s), moved ? empty : computed);
    QCOMPARE(m_toolkit->boxes.size(), noted ? 1 : 0);
    if (!noted) {
        QCOMPARE(control<QLineEdit>(s, "Text1")->text(), moved ? QStringLiteral("89.995") : angle);
        return;
    }
    QCOMPARE(m_toolkit->boxes.first().title, QStringLiteral("Note!"));
    QCOMPARE(m_toolkit->boxes.first().text.split(QLatin1Char('\r')),
             QStringList({"You are only permitted to come within", "0.001 radians of minimum and 90 degree",
                          " angles (to avoid singularities)!"}));
    QCOMPARE(control<QLineEdit>(s, "Text1")->text(), QStringLiteral("0.006"));
}

void TestCompMzVel::dragEmptiesAtOnceAndMovesTheAngleWhenLetGo()
{
    CompMzVel *s = open(level);
    auto *bar = control<QScrollBar>(s, "HScroll1");
    drag(bar, 7854);
    QTest::mouseClick(control<QPushButton>(s, "Command4"), Qt::LeftButton);
    const double angle = Module1.ElevationAngle;

    bar->setSliderDown(true);
    bar->setSliderPosition(8000);
    QCOMPARE(texts(s), empty);
    QCOMPARE(control<QLineEdit>(s, "Text1")->text(), QStringLiteral("45.000"));
    QCOMPARE(Module1.ElevationAngle, angle);
    QVERIFY(!yellow(s));
    bar->setSliderDown(false);
    QCOMPARE(control<QLineEdit>(s, "Text1")->text(), QStringLiteral("45.837"));
    QVERIFY(yellow(s));

    // A drag that ends where it began empties the boxes but leaves the colour.
    QTest::mouseClick(control<QPushButton>(s, "Command4"), Qt::LeftButton);
    bar->setSliderDown(true);
    bar->setSliderPosition(9000);
    bar->setSliderPosition(8000);
    bar->setSliderDown(false);
    QCOMPARE(texts(s), empty);
    QVERIFY(!yellow(s));
}

void TestCompMzVel::refusesTargetsWithoutAngleRange_data()
{
    QTest::addColumn<Problem>("problem");
    QTest::addColumn<QString>("message");

    QTest::newRow("zero distance") << Problem{"m", "d", 0, 0, 50}
                                   << "The horizontal distance to the target (Sx) must be greater than 0.";
    QTest::newRow("Sx 1, Sy - So 10000: beyond a right angle")
        << Problem{"m", "d", 1, -5000, 5000}
        << "No launch angle can reach this target: it lies almost straight above the firing position.";
}

void TestCompMzVel::refusesTargetsWithoutAngleRange()
{
    QFETCH(Problem, problem);
    QFETCH(QString, message);

    CompMzVel *s = open(problem);
    QCOMPARE(m_toolkit->boxes.size(), 1);
    QCOMPARE(m_toolkit->boxes.first().text, message);
    QCOMPARE(m_toolkit->boxes.first().title, QStringLiteral("Note!"));
    QVERIFY(!control<QScrollBar>(s, "HScroll1")->isEnabled());
    QVERIFY(!control<QPushButton>(s, "Command4")->isEnabled());
    QCOMPARE(control<QLineEdit>(s, "Text6")->text(), QString::number(problem.sy));
    s->CompMuzVel();
    QCOMPARE(texts(s, {"Text1", "Text7", "Text9", "Text10", "Text13", "Text14", "Text17"}), QStringList(7));

    QTest::mouseClick(control<QPushButton>(s, "Command1"), Qt::LeftButton);
    QVERIFY(shown(QStringLiteral("Setup")));
    QVERIFY(!Screens::exists<CompMzVel>());
}

void TestCompMzVel::scrollBarHasTheFocusOnOpening()
{
    CompMzVel *s = open(level);
    s->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s));
    QCOMPARE(QApplication::focusWidget(), control<QScrollBar>(s, "HScroll1"));
    QStringList visited;
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(visited, QStringList({"Command4", "Command1", "Command3", "Command2", "HScroll1"}));
}

QTEST_MAIN(TestCompMzVel)
#include "tst_comp_mz_vel.moc"
