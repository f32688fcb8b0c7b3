#pragma once

// Layouts are stated in twips so screen code can quote its layout tables
// unchanged. The conversion is fixed at 15 twips per device-independent pixel
// (96 DPI); Qt's own scaling takes care of high-density displays.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace toolkit {

inline constexpr int twipsPerPixel = 15;

struct TwipsRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct TwipsPoint
{
    int x = 0;
    int y = 0;
};

constexpr int pixels(int twips)
{
    return twips / twipsPerPixel;
}

inline QRect twips(TwipsRect r)
{
    return {pixels(r.left), pixels(r.top), pixels(r.width), pixels(r.height)};
}
inline QPoint twips(TwipsPoint p)
{
    return {pixels(p.x), pixels(p.y)};
}
inline QSize twipsSize(int width, int height)
{
    return {pixels(width), pixels(height)};
}

} // namespace toolkit
