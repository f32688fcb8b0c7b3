#include "tests/screens/screen_test_support.h"

#include "model/conversions.h"
#include "screens/comp_angle.h"
#include "screens/comp_mz_vel.h"
#include "screens/flight/trajectory_plot.h"

#include <QChart>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGraphicsSimpleTextItem>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>

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
        if (s->name().startsWith(QLatin1String("Solution # ")) && !s->name().endsWith(QLatin1String("air resistance")))
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

QStringList labelTexts(const TrajectoryPlot *plot)
{
    QStringList texts;
    for (QGraphicsItem *item : plot->chart()->childItems())
        if (auto *text = dynamic_cast<QGraphicsSimpleTextItem *>(item->childItems().value(0)))
            texts << text->text();
    return texts;
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
    for (const auto &[name, box] : labels) {
        const QRectF r = box; // clang before 16 cannot capture a structured binding
        for (const auto &[other, o] : labels)
            if (&other != &name && r.intersects(o))
                return name + QStringLiteral(" over ") + other;
        const auto distance = [&r](const QPointF &p) {
            const QPointF nearest(std::clamp(p.x(), r.left(), r.right()), std::clamp(p.y(), r.top(), r.bottom()));
            return QLineF(p, nearest).length();
        };
        const QList<QPointF> named = name.startsWith(QLatin1String("Firing"))   ? QList{muzzle}
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
    // The side panel scrolls: what it holds is reached there.
    const auto *settings = plot->findChild<QWidget *>(QStringLiteral("FlightSettings"));
    for (const QLabel *label : plot->findChildren<QLabel *>()) {
        if (label->text().isEmpty() || settings->isAncestorOf(label))
            continue;
        const QRect inside = label->contentsRect();
        const int wrap = label->wordWrap() ? Qt::TextWordWrap : 0;
        const QRect needed = label->fontMetrics().boundingRect(inside, wrap | int(label->alignment()), label->text());
        if (!label->isVisible() || !inside.contains(needed) ||
            !plot->rect().contains(QRect(label->mapTo(plot, inside.topLeft()), inside.size())))
            return label->text();
    }
    return {};
}

QLineSeries *series(const TrajectoryPlot *plot, const QString &name)
{
    for (QAbstractSeries *s : plot->chart()->series())
        if (s->name() == name)
            return static_cast<QLineSeries *>(s);
    return nullptr;
}

// Types into a field of the air resistance panel as a user would, ending with `key`.
void type(TrajectoryPlot *plot, const char *field, const QString &text, Qt::Key key = Qt::Key_Return)
{
    auto *edit = plot->findChild<QLineEdit *>(QLatin1String(field));
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, key);
}

// The velocity or angle, and Compute, in global coordinates.
QRect inputFrame(const QWidget *screen)
{
    const auto *frame = screen->findChild<QWidget *>(QStringLiteral("Frame1"));
    return {frame->mapToGlobal(QPoint(0, 0)), frame->size()};
}

// Whether the desktop has room for the window's least size beside the input frame:
// at 192 dpi on 1920 x 1080 it has none, and the window then covers as little as it can.
bool roomBeside(const QWidget *screen, const QRect &area, const TrajectoryPlot *plot)
{
    const QRect desktop = screen->screen()->availableGeometry();
    const QSize least = plot->minimumSize() + (plot->frameGeometry().size() - plot->size());
    return desktop.right() - area.right() >= least.width() || area.left() - desktop.left() >= least.width() ||
           desktop.bottom() - area.bottom() >= least.height() || area.top() - desktop.top() >= least.height();
}

bool roomBesideInput(const QWidget *screen, const TrajectoryPlot *plot)
{
    return roomBeside(screen, inputFrame(screen), plot);
}

} // namespace

Q_DECLARE_METATYPE(Shot)

class TestTrajectoryPlot : public QObject, private ScreenFixture
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
    void airResistance_data();
    void airResistance();
    void typedEntriesAreCheckedInPlace_data();
    void typedEntriesAreCheckedInPlace();
    void copyCsvAndPdfAgree();
    void reopensWhereItWasLeft();

private:
};

void TestTrajectoryPlot::init()
{
    setUpShell();
}

void TestTrajectoryPlot::cleanup()
{
    tearDownShell();
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
        QVERIFY2(std::abs(points.last().x() - shot.sx) <= tolerance &&
                     std::abs(points.last().y() - shot.sy) <= tolerance,
                 qPrintable(QStringLiteral("ends at (%1, %2)").arg(points.last().x()).arg(points.last().y())));
        double peak = points.first().y();
        for (const QPointF &p : points)
            peak = std::max(peak, p.y());
        // The apogee box shows one decimal. A shot aimed downhill has no time to apogee
        // and peaks at the muzzle, wherever its parabola's vertex lies; one that meets the
        // target before its time to apogee peaks there, and its apogee is not marked.
        const auto text = [&](int column) { return screen->findChild<QLineEdit *>(boxes[i][column])->text(); };
        const auto value = [&](int column) { return box(screen, qPrintable(boxes[i][column])); };
        const bool rises = text(2) != QLatin1String("NA");
        const bool reached = rises && value(2) <= value(4);
        const double expected = !rises ? Module1.FiringElevation : reached ? value(3) : Module1.TargetElevation;
        QVERIFY2(std::abs(peak - expected) <= 0.05 + 1e-9,
                 qPrintable(QStringLiteral("peak %1, expected %2").arg(peak).arg(expected)));
        const QString apogee = QStringLiteral("Apogee %1").arg(i + 1);
        QCOMPARE(std::any_of(plot->chart()->series().cbegin(), plot->chart()->series().cend(),
                             [&](const QAbstractSeries *s) { return s->name() == apogee; }),
                 reached);
        // Its label reads as the apogee box.
        const QString label =
            QStringLiteral("Apogee %1 %2").arg(text(3), QString::fromStdString(Module1.DistanceUnitName));
        QCOMPARE(labelTexts(plot).contains(label), reached);
        if (!apogees.isEmpty())
            QCOMPARE(QString::number(peak, 'f', 1), QString::number(apogees[i], 'f', 1));
        QVERIFY2(drawn[i]->name().contains(text(0)) && drawn[i]->name().contains(text(1)),
                 qPrintable(drawn[i]->name()));
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
    QTest::newRow("longest uphill shot at the fastest velocity")
        << Shot{"CompAngle", "m", 32000, -10000, 20000, -1} << -1;
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
    if (roomBesideInput(screen, plot))
        QVERIFY2(!plot->frameGeometry().intersects(inputFrame(screen)), "the plot covers the input frame");
    QTRY_COMPARE(outsidePlotArea(plot), QString());
    QCOMPARE(labelFault(plot), QString());
    QCOMPARE(clippedText(plot), QString());
    if (equalScales >= 0)
        QCOMPARE(plot->equalScales(), equalScales == 1);
    QChart *chart = plot->chart();
    QVERIFY2(chart->plotArea().height() >= 240, qPrintable(QString::number(chart->plotArea().height())));
    const QPointF origin = chart->mapToPosition({0, 0}), unit = chart->mapToPosition({1, 1}) - origin;
    if (plot->equalScales())
        QVERIFY2(std::abs(unit.x() / -unit.y() - 1) < 1e-3, qPrintable(QString::number(unit.x() / -unit.y())));
    else
        QVERIFY2(plot->scaleNote().contains(QLatin1String("not to equal scale")), qPrintable(plot->scaleNote()));

    // Shrunk to its least size, it still holds everything.
    plot->resize(plot->minimumSize());
    QTRY_COMPARE(plot->size(), plot->minimumSize());
    QTRY_COMPARE(outsidePlotArea(plot), QString());
    QVERIFY2(chart->plotArea().height() >= 240, qPrintable(QString::number(chart->plotArea().height())));
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
    if (roomBesideInput(screen, plot))
        QVERIFY2(!plot->frameGeometry().intersects(inputFrame(screen)), "the plot covers the input frame");
    // Placed for the size it has: a place chosen for less than its least size would push
    // it off the desktop.
    QVERIFY2(desktop.contains(plot->frameGeometry()), "the plot leaves the desktop");
    if (roomBeside(screen, s, plot))
        QVERIFY2(!plot->frameGeometry().intersects(s), "the plot covers its screen");
    QVERIFY(!plot->isModal());

    // A second request raises the same window.
    QTest::keyClick(screen, Qt::Key_T, Qt::ControlModifier);
    QCOMPARE(screen->findChildren<TrajectoryPlot *>().size(), 1);

    control<QScrollBar>(screen, "HScroll1")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QVERIFY(flights(plot).isEmpty());
    QCOMPARE(plot->chart()->title(), TrajectoryPlot::prompt);
    QCOMPARE(plot->chart()->series().size(), 3); // ground, line of sight, the two points

    QTest::mouseClick(control<QPushButton>(screen, "Command4"), Qt::LeftButton);
    QCOMPARE(flights(plot).size(), 2);
    QVERIFY(plot->chart()->title().isEmpty());

    const QPointer<TrajectoryPlot> watched(plot);
    QTest::mouseClick(control<QPushButton>(screen, "Command1"), Qt::LeftButton);
    QVERIFY(!watched || !watched->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!watched);
}

void TestTrajectoryPlot::airResistance_data()
{
    QTest::addColumn<Shot>("shot");
    QTest::addColumn<int>("preset");              // in the Projectile list
    QTest::addColumn<QString>("dragCoefficient"); // typed over the preset's when not empty
    QTest::addColumn<QStringList>("units");

    const QStringList metric{"kg", "mm", "", "kg/m\u00b3"};
    const QStringList imperial{"lb", "in", "", "lb/ft\u00b3"};
    QTest::newRow("cannonball, level 1000 m at 150 m/s")
        << Shot{"CompAngle", "m", 1000, 0, 0, 1500} << 4 << "" << metric;
    QTest::newRow("baseball cannot reach 1000 m at 150 m/s")
        << Shot{"CompAngle", "m", 1000, 0, 0, 1500} << 0 << "" << metric;
    QTest::newRow("cannonball in feet, target 500 ft above")
        << Shot{"CompAngle", "f", 3000, 0, 500, 10000} << 4 << "" << imperial;
    QTest::newRow("shot put, muzzle velocity at 45 degrees")
        << Shot{"CompMzVel", "m", 1000, 0, 0, 7854} << 3 << "" << metric;
    QTest::newRow("drag coefficient 0 flies the vacuum trajectory")
        << Shot{"CompAngle", "m", 1000, 100, 0, 1500} << 3 << "0" << metric;
}

void TestTrajectoryPlot::airResistance()
{
    QFETCH(Shot, shot);
    QFETCH(int, preset);
    QFETCH(QString, dragCoefficient);
    QFETCH(QStringList, units);

    QWidget *screen = openAndCompute(shot);
    TrajectoryPlot *plot = showTrajectory(screen);
    QVERIFY(plot);
    auto *check = plot->findChild<QCheckBox *>(QStringLiteral("AirResistance"));
    QVERIFY(!check->isChecked());
    const int height = plot->height();
    const qsizetype seriesOff = plot->chart()->series().size();

    plot->findChild<QComboBox *>(QStringLiteral("Projectile"))->setCurrentIndex(preset);
    check->click();
    if (!dragCoefficient.isEmpty())
        type(plot, "DragCoefficient", dragCoefficient);
    QStringList shownUnits;
    for (const char *field : {"Mass", "Diameter", "DragCoefficient", "AirDensity"})
        shownUnits << plot->findChild<QLabel *>(QLatin1String(field) + QStringLiteral("Unit"))->text();
    QCOMPARE(shownUnits, units);

    const QList<QLineSeries *> vacuum = flights(plot);
    const flight::Table &table = plot->results();
    const QString all = flight::tabSeparated(table.cells()) + table.notes.join(QLatin1Char('\n'));
    QVERIFY2(!all.contains(QRegularExpression(QStringLiteral("nan|inf"), QRegularExpression::CaseInsensitiveOption)),
             qPrintable(all));
    const auto cells = [&table](const QString &figure) {
        for (const flight::Row &row : table.rows)
            if (row.figure == figure)
                return row.cells;
        return QStringList();
    };
    const QStringList arrivals = cells(QStringLiteral("With air: arrival"));
    QCOMPARE(arrivals.size(), vacuum.size());
    const double so = Module1.FiringElevation, sy = Module1.TargetElevation;
    const double tolerance = std::max(shot.sx, std::abs(sy - so)) / 1000;
    const bool vacuumAir = dragCoefficient == QLatin1String("0");
    for (int i = 0; i < vacuum.size(); ++i) {
        const QLineSeries *air =
            series(plot, vacuum[i]->name().section(QLatin1Char(':'), 0, 0) + " with air resistance");
        QVERIFY(air);
        const QList<QPointF> points = air->points();
        QCOMPARE(points.first(), QPointF(0, so));
        // It ends at the target's distance, or where it comes down to the target's height.
        QVERIFY(std::abs(points.last().x() - shot.sx) <= tolerance || std::abs(points.last().y() - sy) <= tolerance);
        if (vacuumAir) {
            // On the vacuum parabola y = So + a x - b x^2, with a and b from two of its points.
            const QList<QPointF> v = vacuum[i]->points();
            const QPointF p = v[v.size() / 4], q = v[v.size() / 2];
            const double b = ((p.y() - so) / p.x() - (q.y() - so) / q.x()) / (q.x() - p.x());
            const double a = (p.y() - so) / p.x() + b * p.x();
            for (const QPointF &point : points)
                QVERIFY(std::abs(point.y() - (so + a * point.x() - b * point.x() * point.x())) < 1e-6 * shot.sx);
            QCOMPARE(arrivals[i], QStringLiteral("hits the target"));
            QVERIFY(std::abs(points.last().x() - shot.sx) < 1e-6 && std::abs(points.last().y() - sy) < 1e-6);
        }
    }
    // Drag lowers every trajectory: the angles that still hit lie between the vacuum ones,
    // and the velocity that still hits is above the vacuum one.
    const auto number = [](const QString &s) { return s.toDouble(); };
    const QStringList angles = cells(QStringLiteral("Corrected angle"));
    if (shot.screen == QLatin1String("CompMzVel")) {
        const QStringList velocity = cells(QStringLiteral("Corrected velocity"));
        QCOMPARE(velocity.size(), 1);
        QVERIFY(number(velocity[0]) > box(screen, "Text7"));
        QCOMPARE(cells(QStringLiteral("Corrected time of flight")).size(), 1);
    } else if (!angles.isEmpty()) {
        QCOMPARE(angles.size(), 2);
        const double low = box(screen, "Text7"), high = box(screen, "Text8");
        if (vacuumAir) {
            QCOMPARE(number(angles[0]), low);
            QCOMPARE(number(angles[1]), high);
        } else {
            QVERIFY(number(angles[0]) > low && number(angles[1]) < high);
        }
        // Each corrected angle's own flight hits: it arrives, at the target's distance or height.
        QCOMPARE(cells(QStringLiteral("Corrected arrival speed")).size(), 2);
    } else {
        QCOMPARE(table.notes.size(), 1);
        QVERIFY2(table.notes[0].startsWith(QLatin1String("No angle reaches the target")), qPrintable(table.notes[0]));
        static const QRegularExpression most(QStringLiteral("at most (\\d+\\.\\d)"));
        QVERIFY(number(most.match(table.notes[0]).captured(1)) < shot.sx);
    }
    QTRY_COMPARE(outsidePlotArea(plot), QString());

    check->click();
    QCOMPARE(plot->chart()->series().size(), seriesOff);
    QCOMPARE(plot->height(), height);
}

void TestTrajectoryPlot::typedEntriesAreCheckedInPlace_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("note");

    QTest::newRow("letters") << "Mass"
                             << "12 kg"
                             << "Mass: Not a number: type digits, with \".\" as the decimal point.";
    QTest::newRow("empty") << "Diameter"
                           << ""
                           << "Diameter: Type a number from 1 to 2000 mm.";
    QTest::newRow("two numbers") << "AirDensity"
                                 << "1.2 1.3"
                                 << "Air density: Type one number only.";
    QTest::newRow("NaN") << "DragCoefficient"
                         << "nan"
                         << "Drag coefficient: Type a finite number: NaN and infinity cannot be set.";
    QTest::newRow("out of range") << "Mass"
                                  << "0"
                                  << "Mass: Out of range: type a number from 0.001 to 100000 kg.";
    QTest::newRow("a baseball two metres across floats")
        << "Diameter"
        << "2000"
        << "Too light for its size: it would fall no faster than 1.5 m/s, and a shot needs at least 5 m/s.";
}

void TestTrajectoryPlot::typedEntriesAreCheckedInPlace()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, note);

    TrajectoryPlot *plot = showTrajectory(openAndCompute({"CompAngle", "m", 1000, 0, 0, 1500}));
    QVERIFY(plot);
    // Folded away where the desktop is small: opened, as a user would to type.
    auto *settings = plot->findChild<QToolButton *>(QStringLiteral("ShowSettings"));
    if (!settings->isChecked())
        settings->click();
    plot->findChild<QCheckBox *>(QStringLiteral("AirResistance"))->click();
    auto *edit = plot->findChild<QLineEdit *>(field);
    const QString before = edit->text();
    const QColor base = edit->palette().color(QPalette::Base);
    QVERIFY(series(plot, QStringLiteral("Solution # 1 with air resistance")));

    type(plot, qPrintable(field), typed);
    const auto *shown = plot->findChild<QLabel *>(QStringLiteral("DragNote"));
    QCOMPARE(shown->text(), note);
    QVERIFY(shown->isVisible());
    QCOMPARE(edit->palette().color(QPalette::Base) != base, !note.startsWith(QLatin1String("Too light")));
    // The projectile's own figures make it a custom one; the air's do not.
    QCOMPARE(plot->findChild<QComboBox *>(QStringLiteral("Projectile"))->currentText() == QStringLiteral("Custom"),
             field != QLatin1String("AirDensity"));
    QVERIFY(!series(plot, QStringLiteral("Solution # 1 with air resistance")));
    // A refused entry gives no figures with air and no rows in the table.
    for (const flight::Row &row : plot->results().rows)
        QVERIFY2(!row.figure.startsWith(QLatin1String("With air")), qPrintable(row.figure));
    QVERIFY(plot->airRows().isEmpty());

    // Escape puts back the last value that was read; a refused combination of good
    // values goes with the choice of a preset.
    if (note.startsWith(QLatin1String("Too light")))
        plot->findChild<QComboBox *>(QStringLiteral("Projectile"))->setCurrentIndex(0);
    else
        type(plot, qPrintable(field), QStringLiteral("1"), Qt::Key_Escape);
    QCOMPARE(edit->text(), before);
    QVERIFY(shown->isHidden());
    QCOMPARE(edit->palette().color(QPalette::Base), base);
    QVERIFY(series(plot, QStringLiteral("Solution # 1 with air resistance")));
}

// One table behind the view, Ctrl+C, Save as CSV and the saved PDF page.
void TestTrajectoryPlot::copyCsvAndPdfAgree()
{
    TrajectoryPlot *plot = showTrajectory(openAndCompute({"CompAngle", "m", 1000, 0, 0, 1500}));
    QVERIFY(plot);
    plot->findChild<QComboBox *>(QStringLiteral("Projectile"))->setCurrentIndex(4);
    plot->findChild<QCheckBox *>(QStringLiteral("AirResistance"))->click();
    const QList<QStringList> cells = plot->results().cells();
    QVERIFY(cells.size() > 8);

    plot->copyResults();
    QCOMPARE(QApplication::clipboard()->text(), flight::tabSeparated(cells));
    QCOMPARE(plot->findChild<QTableView *>(QStringLiteral("FlightResults"))->model()->rowCount(), cells.size() - 1);

    QTemporaryDir folder;
    QString csvPath = folder.filePath(QStringLiteral("flight.csv"));
    platform::setSaveFileHandler([&](const QString &, const QString &) { return csvPath; });
    plot->saveCsv();
    QFile csv(csvPath);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(csv.readAll()), flight::csv(cells));

    QString pdfPath = folder.filePath(QStringLiteral("flight.pdf"));
    platform::setSaveFileHandler([&](const QString &, const QString &) { return pdfPath; });
    m_toolkit->answerNext(platform::answerSaveAsPdf);
    qputenv("CUPS_SERVER", "/nonexistent/cups.sock");
    plot->print();
    platform::setSaveFileHandler({});
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdfPath, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(20000));
    const QString page = QString::fromUtf8(text.readAllStandardOutput()).simplified();
    for (const QStringList &row : cells.mid(1))
        for (const QString &cell : row.mid(1, row.size() - 2))
            QVERIFY2(page.contains(cell), qPrintable(cell));
}

// Closed and opened again, in this run or the next, at its size and place.
void TestTrajectoryPlot::reopensWhereItWasLeft()
{
    QWidget *screen = openAndCompute({"CompAngle", "m", 1000, 0, 0, 1500});
    TrajectoryPlot *plot = showTrajectory(screen);
    QVERIFY(plot);
    plot->setGeometry(QRect(plot->geometry().topLeft() + QPoint(-20, 10), plot->size() + QSize(-30, 20)));
    const QRect placed = plot->geometry(); // no smaller than its least size
    plot->findChild<QCheckBox *>(QStringLiteral("AirResistance"))->click();
    plot->close();
    QVERIFY(!plot->isVisible());
    QApplication::setActiveWindow(screen);
    QTest::keyClick(screen, Qt::Key_T, Qt::ControlModifier);
    QTRY_VERIFY(plot->isVisible());
    QCOMPARE(plot->geometry(), placed);
    QVERIFY(plot->airResistance());
    const QSize chart = plot->findChild<QWidget *>(QStringLiteral("Chart"))->size();
    QVERIFY(chart.width() >= 300 && chart.height() >= 300);

    // A new window, as after a restart: the same place and choices, read back.
    resetShellKeepingSettings();
    plot = showTrajectory(openAndCompute({"CompAngle", "m", 1000, 0, 0, 1500}));
    QVERIFY(plot);
    // Taller only where the flights with air need more rows of legend, and then
    // moved up no further than keeps it on the screen.
    // Within two pixels: Qt rounds a saved place through its frame and the device's pixels.
    QVERIFY2(std::abs(plot->x() - placed.x()) <= 2 && std::abs(plot->width() - placed.width()) <= 2,
             qPrintable(
                 QStringLiteral("%1 %2 %3 %4").arg(plot->x()).arg(placed.x()).arg(plot->width()).arg(placed.width())));
    QVERIFY(plot->height() >= placed.height() && plot->y() <= placed.y());
    QVERIFY(plot->screen()->availableGeometry().contains(plot->frameGeometry()));
    QVERIFY(plot->airResistance());
}

QTEST_MAIN(TestTrajectoryPlot)
#include "tst_trajectory_plot.moc"
