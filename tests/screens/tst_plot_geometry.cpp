#include "screens/flight/plot_geometry.h"

#include <QtTest>

#include <algorithm>
#include <array>
#include <cmath>

Q_DECLARE_METATYPE(PlotProblem)
Q_DECLARE_METATYPE(PlotQuestion)
Q_DECLARE_METATYPE(PlotSolution)
Q_DECLARE_METATYPE(plot::AirPaths)

namespace {
constexpr double labelHeight = 16;

// A font seven pixels to a character.
double textWidth(const QString &text)
{
    return 7.0 * text.size();
}

// 1, 2, 2.5 or 5 times a power of ten.
bool nice(double step)
{
    const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
    const std::array<double, 4> steps{1.0, 2.0, 2.5, 5.0};
    return std::any_of(steps.begin(), steps.end(), [&](double m) { return std::abs(mantissa - m) < 1e-9; });
}

// Every multiple of the step reads back as itself through the tick label format.
bool exact(const QString &format, double step)
{
    const double tick = 7 * step;
    return std::abs(QString::asprintf(qPrintable(format), tick).toDouble() - tick) <= 1e-9 * tick;
}

bool inside(const QRectF &bounds, const QPointF &p)
{
    const double slack = 1e-9 * std::max({1.0, bounds.width(), bounds.height()});
    return bounds.adjusted(-slack, -slack, slack, slack).contains(p);
}
} // namespace

class TestPlotGeometry : public QObject
{
    Q_OBJECT

private slots:
    void fitAxes_data();
    void fitAxes();
    void niceStep_data();
    void niceStep();
    void labelFormat_data();
    void labelFormat();
    void scene_data();
    void scene();
    void arrangeLabels_data();
    void arrangeLabels();
    void placeBeside_data();
    void placeBeside();
};

// The areas leave 600 by 400 pixels for the drawing once 16-pixel labels have room
// above and below it.
void TestPlotGeometry::fitAxes_data()
{
    QTest::addColumn<QRectF>("bounds");
    QTest::addColumn<QSizeF>("area");
    QTest::addColumn<bool>("equal");
    QTest::addColumn<QString>("note");

    const QSizeF area(632, 454);
    const QString equal = QStringLiteral("Equal scales on both axes");
    QTest::newRow("same shape as the area") << QRectF(0, 0, 600, 400) << area << true << equal;
    QTest::newRow("ratio exactly 4") << QRectF(0, 0, 600, 100) << area << true << equal;
    QTest::newRow("ratio 4.1") << QRectF(0, 0, 615, 100) << area << false
                               << QStringLiteral("Axes not to equal scale (vertical \u00d74.1)");
    QTest::newRow("long and flat") << QRectF(0, 0, 6000, 100) << area << false
                                   << QStringLiteral("Axes not to equal scale (vertical \u00d740)");
    QTest::newRow("tall and narrow") << QRectF(0, 0, 100, 400) << area << false
                                     << QStringLiteral("Axes not to equal scale (horizontal \u00d76.0)");
    QTest::newRow("one metre out, far below") << QRectF(0, -30000, 1, 50000) << area << false
                                              << QStringLiteral("Axes not to equal scale (horizontal \u00d775000)");
    QTest::newRow("target below the ground") << QRectF(0, -500, 1000, 600) << QSizeF(900, 700) << true << equal;
    QTest::newRow("zero width") << QRectF(0, 0, 0, 100) << area << true << equal;
    QTest::newRow("zero height") << QRectF(0, 0, 1000, 0) << area << false
                                 << QStringLiteral("Axes not to equal scale (vertical \u00d76.7)");
    QTest::newRow("a single point") << QRectF(5, 5, 0, 0) << area << true << equal;
}

void TestPlotGeometry::fitAxes()
{
    QFETCH(QRectF, bounds);
    QFETCH(QSizeF, area);
    QFETCH(bool, equal);
    QFETCH(QString, note);

    const plot::AxisFit fit = plot::fitAxes(bounds, area, labelHeight, textWidth);
    QCOMPARE(fit.equalScales, equal);
    QCOMPARE(fit.note, note);

    QVERIFY(std::isfinite(fit.x0) && std::isfinite(fit.x1) && std::isfinite(fit.y0) && std::isfinite(fit.y1));
    QVERIFY(fit.x0 <= bounds.left() && fit.x1 >= bounds.right() && fit.x1 > fit.x0);
    QVERIFY(fit.y0 <= bounds.top() && fit.y1 >= bounds.bottom() && fit.y1 > fit.y0);
    const double perX = area.width() / (fit.x1 - fit.x0), perY = area.height() / (fit.y1 - fit.y0);
    if (equal)
        QVERIFY2(std::abs(perX / perY - 1) < 1e-9, qPrintable(QString::number(perX / perY)));
    // A label fits above the highest point and below the lowest.
    QVERIFY((fit.y1 - bounds.bottom()) * perY >= labelHeight + plot::labelGap);
    QVERIFY((bounds.top() - fit.y0) * perY >= labelHeight + plot::labelGap);

    QVERIFY2(nice(fit.xStep) && nice(fit.yStep), qPrintable(QStringLiteral("%1 %2").arg(fit.xStep).arg(fit.yStep)));
    if (equal)
        QCOMPARE(fit.xStep, fit.yStep);
    QVERIFY(exact(fit.xFormat, fit.xStep) && exact(fit.yFormat, fit.yStep));
    // Tick labels stay apart.
    const double widest = std::max(textWidth(QString::asprintf(qPrintable(fit.xFormat), fit.x0)),
                                   textWidth(QString::asprintf(qPrintable(fit.xFormat), fit.x1)));
    QVERIFY2(fit.xStep * perX > widest, qPrintable(QStringLiteral("%1 px for %2").arg(fit.xStep * perX).arg(widest)));
    QVERIFY(fit.yStep * perY > 2 * labelHeight);
}

void TestPlotGeometry::niceStep_data()
{
    QTest::addColumn<double>("rough");
    QTest::addColumn<double>("step");

    QTest::newRow("0.7") << 0.7 << 1.0;
    QTest::newRow("1") << 1.0 << 1.0;
    QTest::newRow("1.01") << 1.01 << 2.0;
    QTest::newRow("2.2") << 2.2 << 2.5;
    QTest::newRow("3") << 3.0 << 5.0;
    QTest::newRow("7") << 7.0 << 10.0;
    QTest::newRow("0.013") << 0.013 << 0.02;
    QTest::newRow("1234") << 1234.0 << 2000.0;
    QTest::newRow("2100") << 2100.0 << 2500.0;
    QTest::newRow("0") << 0.0 << 1.0;
    QTest::newRow("negative") << -5.0 << 1.0;
    QTest::newRow("infinite") << qInf() << 1.0;
    QTest::newRow("NaN") << qQNaN() << 1.0;
}

void TestPlotGeometry::niceStep()
{
    QFETCH(double, rough);
    QFETCH(double, step);
    QCOMPARE(plot::niceStep(rough), step);
}

void TestPlotGeometry::labelFormat_data()
{
    QTest::addColumn<double>("step");
    QTest::addColumn<QString>("format");

    QTest::newRow("1") << 1.0 << "%.0f";
    QTest::newRow("5000") << 5000.0 << "%.0f";
    QTest::newRow("2.5") << 2.5 << "%.1f";
    QTest::newRow("0.25") << 0.25 << "%.2f";
    QTest::newRow("0.02") << 0.02 << "%.2f";
    QTest::newRow("0.0025") << 0.0025 << "%.4f";
    QTest::newRow("0.00002") << 0.00002 << "%.5f";
}

void TestPlotGeometry::labelFormat()
{
    QFETCH(double, step);
    QFETCH(QString, format);
    QCOMPARE(plot::labelFormat(step), format);
}

void TestPlotGeometry::scene_data()
{
    QTest::addColumn<PlotProblem>("problem");
    QTest::addColumn<PlotQuestion>("question");
    QTest::addColumn<QList<PlotSolution>>("solutions");
    QTest::addColumn<plot::AirPaths>("air");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("airLines");
    QTest::addColumn<QStringList>("labels");

    const PlotProblem level{1000, 0, 0, 9.80665, "Meters"};
    const PlotQuestion degrees{false, false, "Degrees"};
    const QList<PlotSolution> both{{1, 0.2255, 150, 6.8412, 57.3}, {2, 1.3453, 150, 29.8151, 1089.79}};
    const QStringList bothLines{"Ground", "Line of sight", "Solution # 1: 12.92 Degrees, 6.84 Seconds",
                                "Solution # 2: 77.08 Degrees, 29.82 Seconds"};
    const QStringList bothLabels{"Firing point (0, 0)", "Target (1000, 0)", "Apogee 57.3 Meters",
                                 "Apogee 1089.8 Meters"};

    QTest::newRow("angles for a velocity, both reach their apogees")
        << level << degrees << both << plot::AirPaths{} << bothLines << QStringList{} << bothLabels;
    QTest::newRow("solution 1 through the air, landing beyond everything else")
        << level << degrees << both
        << plot::AirPaths{std::vector<QPointF>{{0, 0}, {800, 40}, {1200, -300}}, std::nullopt} << bothLines
        << QStringList{"Solution # 1 with air resistance"} << bothLabels;
    QTest::newRow("radians in feet, solution 2 alone keeps its number")
        << PlotProblem{3000, 0, 500, 32.174, "Feet"} << PlotQuestion{false, true, "Radians"}
        << QList<PlotSolution>{{2, 1.3453, 500, 29.8151, 1089.79}}
        << plot::AirPaths{std::vector<QPointF>{{0, 0}, {1500, 900}, {2800, 500}}}
        << QStringList{"Ground", "Line of sight", "Solution # 2: 1.345 Radians, 29.82 Seconds"}
        << QStringList{"Solution # 2 with air resistance"}
        << QStringList{"Firing point (0, 0)", "Target (3000, 500)", "Apogee 1089.8 Feet"};
    QTest::newRow("velocity for an angle aimed downhill: no apogee")
        << PlotProblem{1000, 100, -200, 9.80665, "Meters"} << PlotQuestion{true, false, "Degrees"}
        << QList<PlotSolution>{{1, -0.2, 99.03, 0, 0}} << plot::AirPaths{}
        << QStringList{"Ground", "Line of sight", "Solution # 1: 99.03 Meters / sec"} << QStringList{}
        << QStringList{"Firing point (0, 100)", "Target (1000, -200)"};
    QTest::newRow("nothing computed yet")
        << level << degrees << QList<PlotSolution>{} << plot::AirPaths{} << QStringList{"Ground", "Line of sight"}
        << QStringList{} << QStringList{"Firing point (0, 0)", "Target (1000, 0)"};
}

void TestPlotGeometry::scene()
{
    QFETCH(PlotProblem, problem);
    QFETCH(PlotQuestion, question);
    QFETCH(QList<PlotSolution>, solutions);
    QFETCH(plot::AirPaths, air);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, airLines);
    QFETCH(QStringList, labels);

    const plot::Scene scene =
        plot::scene(problem, question, std::vector<PlotSolution>(solutions.begin(), solutions.end()), air);
    QStringList names, airNames, texts;
    for (const plot::Line &line : scene.lines)
        names << line.name;
    for (const plot::Line &line : scene.airLines)
        airNames << line.name;
    for (const plot::Label &label : scene.labels)
        texts << label.text;
    QCOMPARE(names, lines);
    QCOMPARE(airNames, airLines);
    QCOMPARE(texts, labels);

    std::vector<QPointF> drawn;
    for (const auto &set : {scene.lines, scene.airLines})
        for (const plot::Line &line : set)
            drawn.insert(drawn.end(), line.points.begin(), line.points.end());
    for (const plot::Markers &markers : scene.markers)
        drawn.insert(drawn.end(), markers.points.begin(), markers.points.end());
    for (const plot::Label &label : scene.labels)
        drawn.push_back(label.at);
    for (const QPointF &p : drawn)
        QVERIFY2(inside(scene.bounds, p), qPrintable(QStringLiteral("(%1, %2)").arg(p.x()).arg(p.y())));
}

void TestPlotGeometry::arrangeLabels_data()
{
    QTest::addColumn<QList<QPointF>>("points");
    QTest::addColumn<QSizeF>("size");
    QTest::addColumn<QRectF>("area");
    QTest::addColumn<QList<QPointF>>("ink");
    QTest::addColumn<int>("leftOut");

    const QRectF area(0, 0, 600, 400);
    QTest::newRow("room for all") << QList<QPointF>{{100, 300}, {500, 300}, {300, 100}} << QSizeF(120, 16) << area
                                  << QList<QPointF>{} << 0;
    QTest::newRow("two points almost together")
        << QList<QPointF>{{300, 200}, {310, 205}} << QSizeF(120, 16) << area << QList<QPointF>{} << 0;
    QTest::newRow("two apogees in one place")
        << QList<QPointF>{{100, 300}, {300, 200}, {300, 200}} << QSizeF(120, 16) << area << QList<QPointF>{} << 0;
    QTest::newRow("in the corners") << QList<QPointF>{{0, 0}, {600, 400}, {0, 400}, {600, 0}} << QSizeF(150, 16) << area
                                    << QList<QPointF>{} << 0;
    QList<QPointF> line;
    for (double x = 0; x <= 600; x += 3)
        line << QPointF(x, 185);
    QTest::newRow("clear of a line drawn above the point")
        << QList<QPointF>{{300, 200}} << QSizeF(120, 16) << area << line << 0;
    QTest::newRow("wider than the area") << QList<QPointF>{{50, 30}} << QSizeF(200, 16) << QRectF(0, 0, 100, 60)
                                         << QList<QPointF>{} << 1;
}

void TestPlotGeometry::arrangeLabels()
{
    QFETCH(QList<QPointF>, points);
    QFETCH(QSizeF, size);
    QFETCH(QRectF, area);
    QFETCH(QList<QPointF>, ink);
    QFETCH(int, leftOut);

    std::vector<plot::LabelSpot> spots;
    for (const QPointF &p : points)
        spots.push_back({p, size, spots.empty() ? Qt::AlignRight : Qt::AlignHCenter});
    const std::vector<std::optional<QRectF>> placed =
        plot::arrangeLabels(spots, area, std::vector<QPointF>(ink.begin(), ink.end()));
    QCOMPARE(placed.size(), spots.size());
    QCOMPARE(std::count(placed.begin(), placed.end(), std::nullopt), leftOut);
    for (std::size_t i = 0; i < placed.size(); ++i) {
        if (!placed[i])
            continue;
        const QRectF r = *placed[i];
        QVERIFY(area.contains(r));
        QVERIFY2(!r.contains(points[qsizetype(i)]), "over its own point");
        const QPointF nearest(std::clamp(points[qsizetype(i)].x(), r.left(), r.right()),
                              std::clamp(points[qsizetype(i)].y(), r.top(), r.bottom()));
        QVERIFY(QLineF(points[qsizetype(i)], nearest).length() <= 2 * size.height());
        for (std::size_t j = 0; j < i; ++j)
            QVERIFY(!placed[j] || !placed[j]->intersects(r));
        for (const QPointF &p : ink)
            QVERIFY(!r.contains(p));
    }
}

void TestPlotGeometry::placeBeside_data()
{
    QTest::addColumn<QRect>("owner");
    QTest::addColumn<QString>("side");

    // A 1280 x 1024 desktop; the plot needs 500 x 400 and would like 736 x 556.
    QTest::newRow("room on the right") << QRect(0, 0, 520, 540) << "right";
    QTest::newRow("room only on the left") << QRect(760, 100, 520, 540) << "left";
    QTest::newRow("a little less room right than left, still enough") << QRect(570, 0, 150, 540) << "right";
    QTest::newRow("a full-width screen at the top") << QRect(0, 0, 1280, 500) << "below";
    QTest::newRow("a full-width screen at the bottom") << QRect(0, 560, 1280, 464) << "above";
    QTest::newRow("a screen filling the desktop") << QRect(0, 0, 1280, 1024) << "over";
    // Where the least size decides, not the screen's own.
    QTest::newRow("nearly as much room right as left, but less than the least") << QRect(548, 0, 244, 540) << "left";
    QTest::newRow("a screen shorter than the least height") << QRect(0, 0, 520, 300) << "right";
    QTest::newRow("a screen narrower than the least width, room below") << QRect(400, 0, 480, 500) << "below";
}

void TestPlotGeometry::placeBeside()
{
    QFETCH(QRect, owner);
    QFETCH(QString, side);
    const QRect desktop(0, 0, 1280, 1024);
    const QSize least(500, 400), wanted(736, 556);
    const QRect input(owner.topLeft() + QPoint(20, 40), QSize(450, 120));

    const QRect r = plot::placeBeside(desktop, owner, least, wanted, input);
    QVERIFY2(desktop.contains(r),
             qPrintable(QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height())));
    QVERIFY(r.width() >= least.width() && r.height() >= least.height());
    if (side == "right")
        QVERIFY(r.left() > owner.right());
    else if (side == "left")
        QVERIFY(r.right() < owner.left());
    else if (side == "below")
        QVERIFY(r.top() > owner.bottom());
    else if (side == "above")
        QVERIFY(r.bottom() < owner.top());
    else
        QVERIFY(!r.intersects(input));
    if (side != "over")
        QVERIFY(!r.intersects(owner) && r.width() <= std::max(wanted.width(), owner.width()) &&
                r.height() <= std::max(wanted.height(), owner.height()));
}

QTEST_APPLESS_MAIN(TestPlotGeometry)
#include "tst_plot_geometry.moc"
