#include "resources/figures.h"

#include <QColor>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QSvgRenderer>
#include <QTest>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <vector>

Q_DECLARE_METATYPE(Figure)

namespace {

const QColor lightYellow(255, 255, 128);
const QColor buttonFace(240, 240, 240);
const QColor marker(255, 0, 255);

QImage canvas(QSize size, const QColor &fill)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(fill);
    return image;
}

// Data coordinates of the example chart: t over 0..50 s, distance over 0..1.5e4 m.
struct Chart
{
    QRectF frame;
    std::map<QString, std::vector<QPointF>> curves;

    QPointF toData(QPointF p) const
    {
        return {(p.x() - frame.left()) / frame.width() * 50.0, (frame.bottom() - p.y()) / frame.height() * 1.5e4};
    }
};

Chart readExampleChart()
{
    QFile file(resourcePath(Figure::ExampleProblem));
    Chart chart;
    if (!file.open(QIODevice::ReadOnly))
        return chart;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto a = xml.attributes();
        const QString id = a.value("id").toString();
        if (id == "plot-frame") {
            chart.frame = QRectF(a.value("x").toDouble(), a.value("y").toDouble(), a.value("width").toDouble(),
                                 a.value("height").toDouble());
        } else if (xml.name() == QLatin1String("polyline") && !id.isEmpty()) {
            std::vector<QPointF> points;
            for (const auto &pair : a.value("points").split(u' ', Qt::SkipEmptyParts)) {
                const auto xy = pair.split(u',');
                if (xy.size() == 2)
                    points.emplace_back(xy[0].toDouble(), xy[1].toDouble());
            }
            chart.curves[id] = points;
        }
    }
    for (auto &[id, points] : chart.curves)
        std::transform(points.begin(), points.end(), points.begin(), [&](QPointF p) { return chart.toData(p); });
    return chart;
}

double valueAt(const std::vector<QPointF> &curve, double t)
{
    const auto nearest = std::min_element(
        curve.begin(), curve.end(), [t](QPointF a, QPointF b) { return std::abs(a.x() - t) < std::abs(b.x() - t); });
    return nearest->y();
}

} // namespace

class TestFigures : public QObject
{
    Q_OBJECT

private slots:
    void hasItsNaturalSize_data();
    void hasItsNaturalSize();
    void drawsOnlyInsideItsNaturalRect_data();
    void drawsOnlyInsideItsNaturalRect();
    void backgroundShowsThroughOnlyTheDrawings_data();
    void backgroundShowsThroughOnlyTheDrawings();
    void exampleChartFollowsTheFormulas();
    void appIconIsAvailableAtEverySize();
};

void TestFigures::hasItsNaturalSize_data()
{
    QTest::addColumn<Figure>("figure");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("unitsPerPixel");
    // The drawings use units of 1.5 twips, a tenth of a pixel.
    QTest::addRow("firing situation, 3710 x 2940 units") << Figure::FiringSituation << QSize(371, 294) << 10;
    QTest::addRow("terrain, 2210 x 1380 units") << Figure::Terrain << QSize(221, 138) << 10;
    QTest::addRow("example problem") << Figure::ExampleProblem << QSize(544, 492) << 1;
    QTest::addRow("general analysis") << Figure::GeneralAnalysis << QSize(432, 445) << 1;
    QTest::addRow("Newton's method") << Figure::NewtonsMethod << QSize(543, 265) << 1;
}

void TestFigures::hasItsNaturalSize()
{
    QFETCH(Figure, figure);
    QFETCH(QSize, size);
    QFETCH(int, unitsPerPixel);

    QVERIFY(QFile::exists(resourcePath(figure)));
    QSvgRenderer svg(resourcePath(figure));
    QVERIFY(svg.isValid());
    QCOMPARE(naturalSize(figure), size);
    QCOMPARE(svg.defaultSize(), size);
    QCOMPARE(svg.viewBoxF(), QRectF(QPointF(0, 0), QSizeF(size * unitsPerPixel)));
}

void TestFigures::drawsOnlyInsideItsNaturalRect_data()
{
    QTest::addColumn<Figure>("figure");
    QTest::addColumn<QPoint>("topLeft");
    for (const Figure figure : allFigures)
        QTest::addRow("%s", qPrintable(figureName(figure))) << figure << QPoint(17, 31);
}

// Catches a formula running past the edge as well as a figure drawn scaled or shifted.
void TestFigures::drawsOnlyInsideItsNaturalRect()
{
    QFETCH(Figure, figure);
    QFETCH(QPoint, topLeft);

    const QRect inside(topLeft, naturalSize(figure));
    QImage image = canvas(inside.size() + QSize(2 * topLeft.x() + 60, 2 * topLeft.y() + 60), marker);
    QPainter painter(&image);
    drawFigure(painter, figure, topLeft);
    painter.end();

    int drawn = 0;
    int strays = 0;
    QPoint firstStray;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == marker)
                continue;
            if (inside.contains(x, y)) {
                ++drawn;
            } else if (strays++ == 0) {
                firstStray = {x, y};
            }
        }
    }
    QVERIFY2(strays == 0, qPrintable(QStringLiteral("%1 pixels outside, the first at (%2, %3)")
                                         .arg(strays)
                                         .arg(firstStray.x())
                                         .arg(firstStray.y())));
    QVERIFY(drawn > inside.width() * inside.height() / 100);
}

void TestFigures::backgroundShowsThroughOnlyTheDrawings_data()
{
    QTest::addColumn<Figure>("figure");
    QTest::addColumn<QColor>("box");
    QTest::addColumn<bool>("transparent");
    QTest::addRow("firing situation on Intro's light yellow") << Figure::FiringSituation << lightYellow << true;
    QTest::addRow("terrain on the button face") << Figure::Terrain << buttonFace << true;
    QTest::addRow("example problem on its white page") << Figure::ExampleProblem << buttonFace << false;
    QTest::addRow("general analysis on its white page") << Figure::GeneralAnalysis << buttonFace << false;
    QTest::addRow("Newton's method on its white page") << Figure::NewtonsMethod << buttonFace << false;
}

void TestFigures::backgroundShowsThroughOnlyTheDrawings()
{
    QFETCH(Figure, figure);
    QFETCH(QColor, box);
    QFETCH(bool, transparent);

    const QSize size = naturalSize(figure);
    QImage image = canvas(size, box);
    QPainter painter(&image);
    drawFigure(painter, figure, {0, 0});
    painter.end();

    const QColor expected = transparent ? box : QColor(Qt::white);
    for (const QPoint corner :
         {QPoint(size.width() - 3, 2), QPoint(2, size.height() - 3), QPoint(size.width() - 3, size.height() - 3)})
        QCOMPARE(image.pixelColor(corner), expected);
}

void TestFigures::exampleChartFollowsTheFormulas()
{
    const Chart chart = readExampleChart();
    QVERIFY(chart.frame.isValid());
    QVERIFY(chart.curves.count("curve-sy") && chart.curves.count("curve-sx"));
    const auto &sy = chart.curves.at("curve-sy");
    const auto &sx = chart.curves.at("curve-sx");

    // t := 0 sec, .1 sec .. 50 sec
    QCOMPARE(sy.size(), std::size_t(501));
    QCOMPARE(sx.size(), std::size_t(501));
    for (std::size_t i = 0; i < sy.size(); ++i) {
        QVERIFY(std::abs(sy[i].x() - 0.1 * double(i)) < 0.01);
        QVERIFY(std::abs(sx[i].x() - sy[i].x()) < 1e-9);
        QVERIFY(sy[i].y() >= 0 && sy[i].y() <= 1.5e4);
        QVERIFY(sx[i].y() >= 0 && sx[i].y() <= 1.5e4);
    }

    const double tolerance = 10.0; // metres; about a tenth of a pixel
    QVERIFY(std::abs(valueAt(sy, 0) - 1100) < tolerance);
    QVERIFY(std::abs(valueAt(sy, 50) - 90) < tolerance);
    const auto apogee = std::max_element(sy.begin(), sy.end(), [](QPointF a, QPointF b) { return a.y() < b.y(); });
    QVERIFY(std::abs(apogee->y() - 3680) < tolerance);
    QVERIFY(std::abs(apogee->x() - 23) < 0.5);

    QVERIFY(std::abs(valueAt(sx, 0)) < tolerance);
    QVERIFY(std::abs(valueAt(sx, 50) - 13400) < 20);
    for (const QPointF p : sx)
        QVERIFY2(std::abs(p.y() - sx.back().y() * p.x() / 50) < tolerance,
                 "horizontal distance is not a straight line");

    std::size_t crossing = 1;
    while (crossing < sy.size() && sx[crossing].y() < sy[crossing].y())
        ++crossing;
    QVERIFY(crossing < sy.size());
    QVERIFY(std::abs(sy[crossing].x() - 11) < 0.5);
}

void TestFigures::appIconIsAvailableAtEverySize()
{
    QVERIFY(QSvgRenderer(appIconPath()).isValid());
    const QIcon icon = appIcon();
    QVERIFY(!icon.isNull());
    for (const int side : {16, 32, 48, 256}) {
        const QImage image = icon.pixmap(side, side).toImage();
        QCOMPARE(image.size(), QSize(side, side));
        QVERIFY(image.hasAlphaChannel());
        QVERIFY(image.pixelColor(side / 2, side / 2).alpha() == 255);
    }
}

QTEST_MAIN(TestFigures)
#include "tst_figures.moc"
