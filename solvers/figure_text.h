#pragma once

// How the result screens write the figures of a trajectory; the plot writes them the same way.

#include "model/conversions.h"

#include <array>
#include <string>

namespace figure_text {

// Radians, or degrees with pi taken as 3.14159.
inline std::string angle(double theta, bool radians)
{
    return radians ? conv::formatPattern(theta, "##.000") : conv::formatPattern((theta * 180) / 3.14159, "##.00");
}

inline std::string velocity(double v)
{
    return conv::formatPattern(v, "######.00");
}

inline std::string seconds(double t)
{
    return conv::formatPattern(t, "###.00");
}

inline std::string altitude(double a)
{
    return conv::formatPattern(a, "####.0");
}

// The figures of a flight through the air. Unlike the result screens' patterns they
// keep a leading zero, as spreadsheets expect.
inline std::string airAngle(double theta, bool radians)
{
    return radians ? conv::formatPattern(theta, "#0.000") : conv::formatPattern((theta * 180) / 3.14159, "#0.00");
}

inline std::string airVelocity(double v)
{
    return conv::formatPattern(v, "#0.00");
}

inline std::string airSeconds(double t)
{
    return conv::formatPattern(t, "#0.00");
}

inline std::string airLength(double x)
{
    return conv::formatPattern(x, "#0.0");
}

// The figures of one solution in the order of the result tables' rows.
struct Texts
{
    std::string answer; // the angle on the angle screen, the muzzle velocity on the velocity screen
    std::string horizontal;
    std::string vertical;
    std::string timeToApogee; // "NA" when the shot rises at no time after it is fired
    std::string apogee;
    std::string flightTime;
    bool operator==(const Texts &) const = default;

    std::array<const std::string *, 6> rows() const
    {
        return {&answer, &horizontal, &vertical, &timeToApogee, &apogee, &flightTime};
    }
};

} // namespace figure_text
