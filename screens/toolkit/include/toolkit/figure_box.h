#pragma once

// Picture and image boxes. A figure is drawn at its natural size from the
// box's top-left corner (inside the border), never stretched: where the box is
// larger, its background shows.

#include "toolkit/twips.h"

#include <QColor>
#include <QFrame>
#include <QPixmap>
#include <QString>

#include <memory>

class QSvgRenderer;

namespace toolkit {

class FigureBox : public QFrame
{
    Q_OBJECT

public:
    enum class Border { None, Sunken };

    FigureBox(QWidget *parent, Border border);
    ~FigureBox() override;

    // An SVG drawing (natural size: its width and height attributes) or any
    // image Qt reads (natural size: its pixels). False if the file cannot be read.
    bool setFigure(const QString &path);
    QSize figureSize() const;
    // Where the figure's top-left corner lands, in the box's coordinates.
    QPoint figureOrigin() const { return contentsRect().topLeft(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::unique_ptr<QSvgRenderer> m_drawing;
    QPixmap m_image;
};

// Sunken three-dimensional border, filled with `background`, takes tab focus.
FigureBox *pictureBox(QWidget *parent, const char *name, TwipsRect r, const QColor &background);
FigureBox *pictureBox(QWidget *parent, const char *name, TwipsRect r); // button-face background
// No border, no background of its own, never takes focus.
FigureBox *imageBox(QWidget *parent, const char *name, TwipsRect r);

} // namespace toolkit
