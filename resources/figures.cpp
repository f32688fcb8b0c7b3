#include "figures.h"

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

struct FigureInfo {
    const char *path;
    QSize size;
};

FigureInfo info(Figure figure)
{
    switch (figure) {
    case Figure::FiringSituation: return {":/figures/firing_situation.svg", {371, 294}};
    case Figure::Terrain: return {":/figures/terrain.svg", {221, 138}};
    case Figure::ExampleProblem: return {":/figures/example_problem.svg", {544, 492}};
    case Figure::GeneralAnalysis: return {":/figures/general_analysis.svg", {432, 445}};
    case Figure::NewtonsMethod: return {":/figures/newtons_method.svg", {543, 265}};
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
