#pragma once

// One session through every screen, driven as a user would with the level
// 1000 m problem: Intro, Example, Example2, Setup, CompAngle at 150 m/s,
// RootFindParameters, CompMzVel at 45 degrees, and back to Setup. Each screen
// is handed to `atStop` in its typical state before the tour moves on.

#include <QString>

#include <functional>

class QWidget;

using TourStop = std::function<void(QWidget *screen, const QString &name)>;

// Starts the application and runs the session; needs a QApplication and
// message boxes that answer themselves. Returns what went wrong, or nothing.
QString tourEveryScreen(const TourStop &atStop);
