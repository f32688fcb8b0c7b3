#pragma once

// The flight window's drawing: a scene of plot_geometry in a chart whose axes keep
// equal scales whenever the view's shape allows, with labels placed where they
// hide nothing, smaller or left out only when the view has no room for them.

#include "screens/flight/plot_geometry.h"

#include <QChartView>
#include <QString>

#include <optional>
#include <vector>

class QGraphicsSimpleTextItem;
class QValueAxis;

class FlightChart : public QChartView
{
    Q_OBJECT

public:
    explicit FlightChart(QWidget *parent = nullptr);

    // Below this the plot area drops under about 240 pixels and the labels crowd.
    static constexpr int leastWidth = 300;
    static constexpr int leastHeight = 300;

    // `prompt` is the chart's title while it has no solution to draw.
    void draw(const plot::Scene &scene, const QString &distanceUnit, const QString &prompt);

    bool equalScales() const { return m_equalScales; }
    // Whether the scales are equal, and which labels were left out.
    QString scaleNote() const { return m_note; }

signals:
    void scaleNoteChanged(const QString &note);

private:
    struct Mark
    {
        QPointF at;
        QGraphicsSimpleTextItem *text;
        Qt::Alignment side;
    };

    void clearDrawing();
    void addSeries(const plot::Scene &scene);
    void addLabels(const std::vector<plot::Label> &labels);
    void fitAxes();
    void placeLabels();
    std::vector<QPointF> ink() const;
    void setLabelScale(double scale);
    void showLabels(const std::vector<std::optional<QRectF>> &placed);
    void setNote(const QString &note);

    QValueAxis *m_x = nullptr;
    QValueAxis *m_y = nullptr;
    std::vector<Mark> m_marks;
    QRectF m_bounds; // everything drawn, in the problem's units
    QString m_scaleText;
    QString m_note;
    bool m_equalScales = false;
    bool m_fitting = false;
};

// The pen each kind of line is drawn with, for the legend's samples too.
QPen linePen(const plot::Line &line);
