#include "model/module1.h"

#include "model/conversions.h"

ProblemModel Module1;

void ProblemModel::setupCommit()
{
    FiringElevation = FiringElevationEntry.toNumber();
    TargetElevation = TargetElevationEntry.toNumber();
    if (DistanceUnitCode == "m") {
        Gravity = units::metricGravity;
        DistanceUnitName = "Meters";
    } else {
        Gravity = units::imperialGravity;
        DistanceUnitName = "Feet";
    }
    AngleUnitName = AngleUnitCode == "d" ? "Degrees" : "Radians";
}

void ProblemModel::resetSolverSettings()
{
    Tolerance = units::startTolerance;
    Increment = units::startIncrement;
    MaxIterations = DynamicValue{units::startIterations};
}

void ProblemModel::rootFindLoaded()
{
    MaxIterations = DynamicValue{units::startIterations};
}

void ProblemModel::iterationLimitChanged(std::string_view iterationText)
{
    MaxIterations = conv::leadingNumber(iterationText);
}

void ProblemModel::storeRootFindSettings(std::string_view toleranceText, std::string_view incrementText,
                                         std::string_view iterationText)
{
    Tolerance = conv::leadingNumber(toleranceText);
    Increment = conv::leadingNumber(incrementText);
    MaxIterations = conv::leadingNumber(iterationText);
}
