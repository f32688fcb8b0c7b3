#pragma once

#include <QIcon>
#include <QPoint>
#include <QSize>
#include <QString>

#include <array>

class QPainter;

// The explanatory figures and the application icon, compiled into the program.
// A figure is always drawn unscaled at its natural size: screens place it, never stretch it.

enum class Figure { FiringSituation, Terrain, ExampleProblem, GeneralAnalysis, NewtonsMethod };

inline constexpr std::array allFigures{Figure::FiringSituation, Figure::Terrain, Figure::ExampleProblem,
                                       Figure::GeneralAnalysis, Figure::NewtonsMethod};

// Device-independent pixels (15 twips each).
QSize naturalSize(Figure figure);

// A Qt resource path such as ":/figures/terrain.svg".
QString resourcePath(Figure figure);

// What a screen reader says for a figure: a short name and one sentence.
QString figureName(Figure figure);
QString figureDescription(Figure figure);

// The two drawings have no background, so the control's own colour shows through;
// the three worksheet figures paint their white page.
void drawFigure(QPainter &painter, Figure figure, QPoint topLeft);

QString appIconPath();
QIcon appIcon();
