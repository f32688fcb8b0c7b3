#pragma once

// How the result screens write the figures of a trajectory; the plot writes them the same way.

#include "conversions.h"

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

} // namespace figure_text
