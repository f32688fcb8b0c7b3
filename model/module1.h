#pragma once

// The one shared problem record. Screens read and write its fields in place (the
// solvers only read it); it starts with every number 0, every text and dynamic value empty,
// and nothing is ever saved or loaded.

#include "model/dynamic_value.h"

#include <string>
#include <string_view>

struct ProblemModel
{
    DynamicValue ExitAnswer;           // last exit confirmation answer: 6 Yes, 7 No
    std::string DistanceUnitCode;      // "m" or "f"
    std::string AngleUnitCode;         // "d" or "r"
    DynamicValue TargetElevationEntry; // Sy as last shown on the set-up screen
    double TargetElevation = 0.0;      // Sy, committed
    DynamicValue FiringElevationEntry; // So as last shown on the set-up screen
    double FiringElevation = 0.0;      // So, committed
    double TargetDistance = 0.0;       // Sx, always current
    double Gravity = 0.0;              // g in the distance unit per s^2
    std::string DistanceUnitName;      // "Meters" or "Feet"
    std::string AngleUnitName;         // "Degrees" or "Radians"
    DynamicValue SightAngle;           // atan((Sy - So) / Sx), radians
    DynamicValue MinVelocity;          // least velocity found plus 0.001
    double Tolerance = 0.0;            // TOL of Newton's method, radians
    double Increment = 0.0;            // Inc of the minimum velocity search, radians
    DynamicValue MaxIterations;        // Newton iteration limit
    DynamicValue MuzzleVelocity;       // Vo
    double ElevationAngle = 0.0;       // theta, radians

    // Working values of the result screens' last computations, written only where each
    // screen keeps its answers (screens/comp_angle_record.cpp, comp_mz_vel_record.cpp);
    // nothing reads them back: they show how an answer was reached.
    DynamicValue SearchPrevVelocity;
    DynamicValue SearchVelocity;
    DynamicValue SearchVelocityScale;
    DynamicValue SearchVelocityRoot;
    DynamicValue VelocityScale;
    DynamicValue VelocityRoot;
    double FlightTime = 0.0; // muzzle velocity computation's time of flight
    DynamicValue FlightTime1;
    DynamicValue FlightTime2;
    double NextAngle = 0.0; // Newton update; the solution angle once converged
    DynamicValue AngleResidual;
    DynamicValue AngleSlope;
    DynamicValue AngleSlopePart1;
    DynamicValue AngleSlopePart2;
    double SearchAngle = 0.0;    // minimum velocity search's trial angle
    DynamicValue AngleSpanSteps; // selectable angle span in 1/10000 radian
    DynamicValue IterationCounter;
    DynamicValue DenominatorTerm1;
    DynamicValue DenominatorTerm2;
    DynamicValue DenominatorTerm3;
    DynamicValue DenominatorTerm4;
    DynamicValue DenominatorTerm5;

    // Set-up screen's "Next >>": elevations from their entries, gravity and unit names
    // from the codes (anything but "m" is feet, anything but "d" is radians).
    void setupCommit();

    // Start of every angle screen load.
    void resetSolverSettings();

    // Root-finding parameters screen: on load, on each iteration box change, and on
    // "Back with changes" (the three boxes' texts, read with the leading-number parse).
    void rootFindLoaded();
    void iterationLimitChanged(std::string_view iterationText);
    void storeRootFindSettings(std::string_view toleranceText, std::string_view incrementText,
                               std::string_view iterationText);
};

namespace units {
inline constexpr double metricGravity = 9.80665;
// The metric value in ft/s^2, rounded to ten decimals.
inline constexpr double imperialGravity = 32.1740485564;
inline constexpr double startTolerance = 1E-07;
inline constexpr double startIncrement = 1E-05;
inline constexpr std::int16_t startIterations = 100;
} // namespace units

extern ProblemModel Module1;
