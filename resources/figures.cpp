#include "resources/figures.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QRectF>
#include <QSvgRenderer>

#include <cstddef>

static void initResources()
{
    // The resource lives in a static library: without a reference the linker drops it.
    static const bool done = [] {
        Q_INIT_RESOURCE(trajectrix);
        return true;
    }();
    Q_UNUSED(done);
}

namespace {

struct FigureInfo
{
    const char *path;
    QSize size;
    const char *name;
    const char *description;
};

FigureInfo info(Figure figure)
{
    switch (figure) {
    case Figure::FiringSituation:
        return {":/figures/firing_situation.svg",
                {371, 294},
                "Firing situation",
                "A projectile fired from the top of a building at muzzle velocity Vo and a super elevation angle "
                "flies over the valley onto a target on a hill; Soy and Sy mark the two elevations, Sx the "
                "horizontal distance."};
    case Figure::Terrain:
        return {":/figures/terrain.svg",
                {221, 138},
                "Terrain",
                "A dashed trajectory arcs from the firing point on a low hill, elevation Soy, over a valley to the "
                "target on a higher hill, elevation Sy, at horizontal distance Sx."};
    case Figure::ExampleProblem:
        return {":/figures/example_problem.svg",
                {544, 492},
                "Example problem",
                "A worked example fired at 40 degrees and 350 m/s from 1100 m, with a chart of the vertical distance "
                "(a parabola peaking near 3680 m) and the horizontal distance (a straight line) against time from 0 "
                "to 50 seconds."};
    case Figure::GeneralAnalysis:
        return {":/figures/general_analysis.svg",
                {432, 445},
                "General analysis",
                "The vertical and horizontal displacement equations, combined by eliminating time into one equation "
                "in the angle a whose roots are the angles that hit the target."};
    case Figure::NewtonsMethod:
        return {":/figures/newtons_method.svg",
                {543, 265},
                "Newton's method",
                "The function f(a) whose roots are the launch angles, its derivative as the sum of two parts, and "
                "the iteration a new = a old minus f(a old) over f prime of a old, repeated until convergence."};
    }
    Q_UNREACHABLE();
}

// Parsed once per application object; owned by it so that no renderer outlives the fonts.
QSvgRenderer *renderer(Figure figure)
{
    static std::array<QPointer<QSvgRenderer>, allFigures.size()> cache;
    auto &slot = cache[static_cast<std::size_t>(figure)];
    if (!slot)
        slot = new QSvgRenderer(resourcePath(figure), QCoreApplication::instance());
    return slot;
}

} // namespace

QSize naturalSize(Figure figure)
{
    return info(figure).size;
}

QString figureName(Figure figure)
{
    return QString::fromUtf8(info(figure).name);
}

QString figureDescription(Figure figure)
{
    return QString::fromUtf8(info(figure).description);
}

QString resourcePath(Figure figure)
{
    initResources();
    return QString::fromLatin1(info(figure).path);
}

void drawFigure(QPainter &painter, Figure figure, QPoint topLeft)
{
    renderer(figure)->render(&painter, QRectF(topLeft, naturalSize(figure)));
}

QString appIconPath()
{
    initResources();
    return QStringLiteral(":/icons/trajectrix.svg");
}

QIcon appIcon()
{
    // Rendered here rather than left to the SVG icon-engine plugin, which may not be installed.
    QSvgRenderer svg(appIconPath());
    QIcon icon;
    for (const int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        svg.render(&painter, QRectF(0, 0, side, side));
        painter.end();
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}
