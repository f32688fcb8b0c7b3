#include "screen_test_support.h"

#include "comp_angle.h"
#include "comp_mz_vel.h"
#include "conversions.h"
#include "trajectory_plot.h"

#include <QChart>
#include <QGraphicsSimpleTextItem>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QScrollBar>

namespace {

struct Shot
{
    QString screen; // "CompAngle" or "CompMzVel"
    const char *unit;
    double sx;
    double so;
    double sy;
    int position; // of HScroll1; -1 for its maximum
    const char *angleUnit = "d";
};

QWidget *openAndCompute(const Shot &shot)
{
    Module1.DistanceUnitCode = std::string(shot.unit);
    Module1.AngleUnitCode = std::string(shot.angleUnit);
    Module1.TargetDistance = shot.sx;
    Module1.FiringElevationEntry = shot.so;
    Module1.TargetElevationEntry = shot.sy;
    Module1.setupCommit();
    if (shot.screen == QLatin1String("CompAngle"))
        Screens::show<CompAngle>();
    else
        Screens::show<CompMzVel>();
    QWidget *screen = window(shot.screen);
    auto *bar = screen->findChild<QScrollBar *>(QStringLiteral("HScroll1"));
    bar->setValue(shot.position < 0 ? bar->maximum() : shot.position);
    QTest::mouseClick(screen->findChild<QPushButton *>(QStringLiteral("Command4")), Qt::LeftButton);
    return screen;
}

TrajectoryPlot *showTrajectory(QWidget *screen)
{
    if (!QTest::qWaitForWindowActive(screen))
        return nullptr;
    QTest::keyClick(screen, Qt::Key_T, Qt::ControlModifier);
    auto *plot = screen->findChild<TrajectoryPlot *>();
    if (plot && !QTest::qWaitForWindowExposed(plot))
        return nullptr;
    return plot;
}

QList<QLineSeries *> flights(const TrajectoryPlot *plot)
{
    QList<QLineSeries *> found;
    for (QAbstractSeries *s : plot->chart()->series())
        if (s->name().startsWith(QLatin1String("Solution # ")))
            found.append(static_cast<QLineSeries *>(s));
    return found;
}

double box(QWidget *screen, const char *name)
{
    return conv::leadingNumber(screen->findChild<QLineEdit *>(QLatin1String(name))->text().toStdString());
}

// Every drawn point and every label within the plot area, to half a pixel.
QString outsidePlotArea(const TrajectoryPlot *plot)
{
    QChart *chart = plot->chart();
    const QRectF area = chart->plotArea().adjusted(-0.5, -0.5, 0.5, 0.5);
    for (QAbstractSeries *s : chart->series())
        for (const QPointF &p : static_cast<QXYSeries *>(s)->points())
            if (!area.contains(chart->mapToPosition(p, s)))
                return QStringLiteral("%1 at (%2, %3)").arg(s->name()).arg(p.x()).arg(p.y());
    for (QGraphicsItem *item : chart->childItems())
        if (auto *text = dynamic_cast<QGraphicsSimpleTextItem *>(item->childItems().value(0)))
            if (!area.contains(item->mapRectToParent(item->boundingRect())))
                return text->text();
    return {};
}

// A label left out, two that overlap, or one away from the point it names.
QString labelFault(const TrajectoryPlot *plot)
{
    QChart *chart = plot->chart();
    QList<QPointF> apogees;
    QPointF muzzle, target;
    for (QAbstractSeries *s : chart->series()) {
        const QList<QPointF> points = static_cast<QXYSeries *>(s)->points();
        if (s->name().startsWith(QLatin1String("Apogee")))
            apogees.append(chart->mapToPosition(points.first(), s));
        else if (s->name() == QLatin1String("Firing point and target"))
            muzzle = chart->mapToPosition(points.first(), s), target = chart->mapToPosition(points.last(), s);
    }
    QList<std::pair<QString, QRectF>> labels;
    for (QGraphicsItem *item : chart->childItems())
        if (auto *text = dynamic_cast<QGraphicsSimpleTextItem *>(item->childItems().value(0))) {
            if (!item->isVisible())
                return text->text() + QStringLiteral(" left out");
            labels.append({text->text(), item->mapRectToParent(item->boundingRect())});
        }
    for (const auto &[name, r] : labels) {
        for (const auto &[other, o] : labels)
            if (&other != &name && r.intersects(o))
                return name + QStringLiteral(" over ") + other;
        const auto distance = [&r](const QPointF &p) {
            const QPointF nearest(std::clamp(p.x(), r.left(), r.right()), std::clamp(p.y(), r.top(), r.bottom()));
            return QLineF(p, nearest).length();
        };
        const QList<QPointF> named = name.startsWith(QLatin1String("Firing")) ? QList{muzzle}
                                     : name.startsWith(QLatin1String("Target")) ? QList{target}
                                                                                : apogees;
        if (std::none_of(named.begin(), named.end(), [&](const QPointF &p) { return distance(p) <= 3 * r.height(); }))
            return name + QStringLiteral(" away from its point");
    }
    return {};
}

// The first text under the plot that its label cannot show whole.
QString clippedText(const TrajectoryPlot *plot)
{
    for (const QLabel *label : plot->findChildren<QLabel *>()) {
        if (label->text().isEmpty())
            continue;
        const QRect inside = label->contentsRect();
        const int wrap = label->wordWrap() ? Qt::TextWordWrap : 0;
        const QRect needed = label->fontMetrics().boundingRect(inside, wrap | int(label->alignment()), label->text());
        if (!label->isVisible() || !inside.contains(needed)
            || !plot->rect().contains(QRect(label->mapTo(plot, inside.topLeft()), inside.size())))
            return label->text();
    }
    return {};
}

// The velocity or angle, and Compute, in global coordinates.
QRect inputFrame(const QWidget *screen)
{
    const auto *frame = screen->findChild<QWidget *>(QStringLiteral("Frame1"));
    return {frame->mapToGlobal(QPoint(0, 0)), frame->size()};
}

} // namespace

Q_DECLARE_METATYPE(Shot)

class TestTrajectoryPlot : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { toolkit::installFontSubstitutions(); }
    void init();
    void cleanup();

    void flightsRunFromMuzzleToTarget_data();
    void flightsRunFromMuzzleToTarget();
    void everythingStaysInsideThePlot_data();
    void everythingStaysInsideThePlot();
    void plotFollowsItsScreen();

private:
    ToolkitRecorder *m_toolkit = nullptr;
    ModalWatchdog *m_watchdog = nullptr;
};

void TestTrajectoryPlot::init()
{
    resetShell();
    m_toolkit = new ToolkitRecorder;
    m_watchdog = new ModalWatchdog;
}

void TestTrajectoryPlot::cleanup()
{
    QVERIFY2(!m_watchdog->tripped(), "a real modal box opened");
    delete m_watchdog;
    delete m_toolkit;
    resetShell();
}

void TestTrajectoryPlot::flightsRunFromMuzzleToTarget_data()
{
    QTest::addColumn<Shot>("shot");
    // Per solution: the boxes of its legend's figures, time to apogee, apogee and time of flight.
    QTest::addColumn<QList<QStringList>>("boxes");
    QTest::addColumn<QList<double>>("apogees");

    const QList<QStringList> angleBoxes{{"Text7", "Text17", "Text13", "Text14", "Text17"},
                                        {"Text8", "Text18", "Text15", "Text16", "Text18"}};
    const QList<QStringList> velocityBoxes{{"Text7", "Text7", "Text13", "Text14", "Text17"}};
    QTest::newRow("level 1000 m at 150 m/s: both solutions")
        << Shot{"CompAngle", "m", 1000, 0, 0, 1500} << angleBoxes << QList<double>{57.3, 1089.8};
    QTest::newRow("firing 100 m above a level target")
        << Shot{"CompAngle", "m", 1000, 100, 0, 1500} << angleBoxes << QList<double>{};
    QTest::newRow("target 500 ft above, in feet")
        << Shot{"CompAngle", "f", 3000, 0, 500, 5000} << angleBoxes << QList<double>{};
    QTest::newRow("target 500 m above: solution 1 meets it still climbing")
        << Shot{"CompAngle", "m", 1000, 0, 500, 1500} << angleBoxes << QList<double>{500.0, 1069.0};
    QTest::newRow("muzzle velocity for 40.001 degrees to a target 500 m above: still climbing")
        << Shot{"CompMzVel", "m", 1000, 0, 500, 2345} << velocityBoxes << QList<double>{500.0};
    QTest::newRow("muzzle velocity for 12.9 degrees: one solution")
        << Shot{"CompMzVel", "m", 1000, 0, 0, 2256} << velocityBoxes << QList<double>{};
    QTest::newRow("muzzle velocity, shot aimed downhill peaks at the muzzle")
        << Shot{"CompMzVel", "m", 1000, 100, -200, 100} << velocityBoxes << QList<double>{};
}

void TestTrajectoryPlot::flightsRunFromMuzzleToTarget()
{
    QFETCH(Shot, shot);
    QFETCH(QList<QStringList>, boxes);
    QFETCH(QList<double>, apogees);

    QWidget *screen = openAndCompute(shot);
    TrajectoryPlot *plot = showTrajectory(screen);
    QVERIFY(plot);
    const QList<QLineSeries *> drawn = flights(plot);
    QCOMPARE(drawn.size(), boxes.size());
    QVERIFY(plot->chart()->title().isEmpty());

    // A drawing tolerance: a thousandth of the distance, or of the height where that is larger.
    const double tolerance = std::max(shot.sx, std::abs(shot.sy - shot.so)) / 1000;
    for (int i = 0; i < drawn.size(); ++i) {
        const QList<QPointF> points = drawn[i]->points();
        QCOMPARE(points.first(), QPointF(0, Module1.FiringElevation));
        QVERIFY2(std::abs(points.last().x() - shot.sx) <= tolerance && std::abs(points.last().y() - shot.sy) <= tolerance,
                 qPrintable(QStringLiteral("ends at (%1, %2)").arg(points.last().x()).arg(points.last().y())));
        double peak = points.first().y();
        for (const QPointF &p : points)
            peak = std::max(peak, p.y());
        // The apogee box shows one decimal. A shot aimed downhill has no time to apogee
        // and peaks at the muzzle, wherever its parabola's vertex lies; one that meets the
        // target before its time to apogee peaks there, and its apogee is not marked.
        const auto text = [&](int column) {
            return screen->findChild<QLineEdit *>(boxes[i][column])->text();
        };
        const auto value = [&](int column) { return box(screen, qPrintable(boxes[i][column])); };
        const bool rises = text(2) != QLatin1String("NA");
        const bool reached = rises && value(2) <= value(4);
        const double expected = !rises ? Module1.FiringElevation : reached ? value(3) : Module1.TargetElevation;
        QVERIFY2(std::abs(peak - expected) <= 0.05 + 1e-9, qPrintable(QStringLiteral("peak %1, expected %2").arg(peak).arg(expected)));
        const QString apogee = QStringLiteral("Apogee %1").arg(i + 1);
        QCOMPARE(std::any_of(plot->chart()->series().cbegin(), plot->chart()->series().cend(),
                             [&](const QAbstractSeries *s) { return s->name() == apogee; }),
                 reached);
        if (!apogees.isEmpty())
            QCOMPARE(QString::number(peak, 'f', 1), QString::number(apogees[i], 'f', 1));
        QVERIFY2(drawn[i]->name().contains(text(0)) && drawn[i]->name().contains(text(1)), qPrintable(drawn[i]->name()));
    }
    if (drawn.size() == 2) {
        QCOMPARE(drawn[0]->pen().style(), Qt::SolidLine);
        QCOMPARE(drawn[1]->pen().style(), Qt::DashLine);
    }
}

// Run by CTest at QT_FONT_DPI 96, 144 and 192: in Qt 6 that setting scales the whole
// desktop, so the plot opens smaller, and on the smallest desktop over its screen.
void TestTrajectoryPlot::everythingStaysInsideThePlot_data()
{
    QTest::addColumn<Shot>("shot");
    QTest::addColumn<int>("equalScales"); // 1 must, 0 cannot, -1 either

    QTest::newRow("level 1000 m, both solutions fit to scale") << Shot{"CompAngle", "m", 1000, 0, 0, 1500} << 1;
    QTest::newRow("longest uphill shot at the fastest velocity") << Shot{"CompAngle", "m", 32000, -10000, 20000, -1} << -1;
    QTest::newRow("one metre out, 30 km below") << Shot{"CompAngle", "m", 1, 20000, -10000, -1} << 0;
    QTest::newRow("one foot out, 100 ft above, in radians") << Shot{"CompAngle", "f", 1, 0, 100, -1, "r"} << 0;
    QTest::newRow("feet, longest level shot at the fastest velocity") << Shot{"CompAngle", "f", 32000, 0, 0, -1} << -1;
    QTest::newRow("longest level shot at the least velocity: both apogees in one place")
        << Shot{"CompAngle", "m", 32000, 0, 0, 0} << -1;
    QTest::newRow("target 500 m above: its label apart from the apogee's")
        << Shot{"CompAngle", "m", 1000, 0, 500, 1500} << 1;
    QTest::newRow("feet and radians at 500 ft/s: a low apogee beside the firing point")
        << Shot{"CompAngle", "f", 1000, 0, 0, 5000, "r"} << -1;
    QTest::newRow("target 500 m below") << Shot{"CompAngle", "m", 1000, 0, -500, 1500} << -1;
    QTest::newRow("steepest angle on the longest level shot") << Shot{"CompMzVel", "m", 32000, 0, 0, -1} << 0;
    QTest::newRow("flattest angle from high above") << Shot{"CompMzVel", "m", 32000, 20000, -10000, 1} << -1;
    QTest::newRow("target almost straight above") << Shot{"CompMzVel", "m", 100, -10000, 20000, 1} << 0;
    QTest::newRow("muzzle velocity to a target 500 ft above, in radians")
        << Shot{"CompMzVel", "f", 1000, 0, 500, 4000, "r"} << -1;
}

void TestTrajectoryPlot::everythingStaysInsideThePlot()
{
    QFETCH(Shot, shot);
    QFETCH(int, equalScales);

    QWidget *screen = openAndCompute(shot);
    TrajectoryPlot *plot = showTrajectory(screen);
    QVERIFY(plot);
    QVERIFY(!flights(plot).isEmpty());
    QVERIFY2(!plot->frameGeometry().intersects(inputFrame(screen)), "the plot covers the input frame");
    QTRY_COMPARE(outsidePlotArea(plot), QString());
    QCOMPARE(labelFault(plot), QString());
    QCOMPARE(clippedText(plot), QString());
    if (equalScales >= 0)
        QCOMPARE(plot->equalScales(), equalScales == 1);
    QChart *chart = plot->chart();
    const QPointF origin = chart->mapToPosition({0, 0}), unit = chart->mapToPosition({1, 1}) - origin;
    if (plot->equalScales())
        QVERIFY2(std::abs(unit.x() / -unit.y() - 1) < 1e-3, qPrintable(QString::number(unit.x() / -unit.y())));
    else
        QVERIFY2(plot->scaleNote().contains(QLatin1String("not to equal scale")), qPrintable(plot->scaleNote()));

    // Shrunk to its least size, it still holds everything.
    plot->resize(plot->minimumSize());
    QTRY_COMPARE(plot->size(), plot->minimumSize());
    QTRY_COMPARE(outsidePlotArea(plot), QString());
    QCOMPARE(labelFault(plot), QString());
    QCOMPARE(clippedText(plot), QString());
}

void TestTrajectoryPlot::plotFollowsItsScreen()
{
    auto *screen = static_cast<CompAngle *>(openAndCompute({"CompAngle", "m", 1000, 0, 0, 1500}));
    TrajectoryPlot *plot = showTrajectory(screen);
    QVERIFY(plot);
    QCOMPARE(plot->windowTitle(), QStringLiteral("Trajectory"));
    // Right of its screen where the desktop has room; the least room is the
    // desktop at 192 dpi, where only the input frame stays uncovered.
    const QRect desktop = screen->screen()->availableGeometry(), s = screen->frameGeometry();
    if (desktop.right() - s.right() >= plot->minimumWidth() + 8)
        QVERIFY2(plot->frameGeometry().left() > s.right(), "the plot is not right of its screen");
    QVERIFY2(!plot->frameGeometry().intersects(inputFrame(screen)), "the plot covers the input frame");
    QVERIFY(!plot->isModal());

    // A second request raises the same window.
    QTest::keyClick(screen, Qt::Key_T, Qt::ControlModifier);
    QCOMPARE(screen->findChildren<TrajectoryPlot *>().size(), 1);

    screen->HScroll1->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QVERIFY(flights(plot).isEmpty());
    QCOMPARE(plot->chart()->title(), TrajectoryPlot::prompt);
    QCOMPARE(plot->chart()->series().size(), 3); // ground, line of sight, the two points

    QTest::mouseClick(screen->Command4, Qt::LeftButton);
    QCOMPARE(flights(plot).size(), 2);
    QVERIFY(plot->chart()->title().isEmpty());

    const QPointer<TrajectoryPlot> watched(plot);
    QTest::mouseClick(screen->Command1, Qt::LeftButton);
    QVERIFY(!watched || !watched->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!watched);
}

QTEST_MAIN(TestTrajectoryPlot)
#include "tst_trajectory_plot.moc"
