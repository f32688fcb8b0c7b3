#pragma once

// How the program writes each figure of a trajectory: one function per figure, used by
// the result screens, the plot, the flight window, the firing table, copy, print, CSV and
// trajectrix-solve alike. A figure's decimals are set once, in its pattern below.

#include "model/conversions.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

namespace figure_text {

// Where a figure is written. The result screens' boxes show a fraction without its zero
// (".52"); tables, CSV and the command line keep it ("0.52"), as spreadsheets expect.
enum class Form {
    Screen,
    Table,
};

namespace pattern {
inline constexpr std::string_view angleDegrees = "##.00";
inline constexpr std::string_view angleRadians = "##.000";
inline constexpr std::string_view muzzleVelocity = "######.00";
inline constexpr std::string_view horizontalVelocity = "#####.00";
inline constexpr std::string_view verticalVelocity = "#####.00";
inline constexpr std::string_view timeToApogee = "###.00";
inline constexpr std::string_view apogee = "####.0";
inline constexpr std::string_view flightTime = "###.00";
inline constexpr std::string_view leastVelocity = "###.000";
// With air resistance only:
inline constexpr std::string_view arrivalSpeed = "#0.00";
inline constexpr std::string_view arrivalAngleDegrees = "#0.00";
inline constexpr std::string_view arrivalAngleRadians = "#0.000";
inline constexpr std::string_view missDistance = "#0.0"; // above or short of the target
inline constexpr std::string_view reach = "#0.0";        // the farthest or highest a shot gets
} // namespace pattern

// The pattern as `form` writes it: the table form puts a zero before a bare fraction.
inline std::string write(double value, std::string_view pattern, Form form = Form::Screen)
{
    if (form == Form::Screen)
        return conv::formatPattern(value, pattern);
    std::string table(pattern);
    const std::size_t point = std::min(table.find('.'), table.size());
    if (point > 0 && table[point - 1] == '#')
        table[point - 1] = '0';
    return conv::formatPattern(value, table);
}

// Radians, or degrees with pi taken as 3.14159.
inline double shownAngle(double theta, bool radians)
{
    return radians ? theta : (theta * 180) / 3.14159;
}

inline std::string angle(double theta, bool radians, Form form = Form::Screen)
{
    return write(shownAngle(theta, radians), radians ? pattern::angleRadians : pattern::angleDegrees, form);
}

inline std::string muzzleVelocity(double v, Form form = Form::Screen)
{
    return write(v, pattern::muzzleVelocity, form);
}

inline std::string horizontalVelocity(double v, Form form = Form::Screen)
{
    return write(v, pattern::horizontalVelocity, form);
}

inline std::string verticalVelocity(double v, Form form = Form::Screen)
{
    return write(v, pattern::verticalVelocity, form);
}

inline std::string timeToApogee(double t, Form form = Form::Screen)
{
    return write(t, pattern::timeToApogee, form);
}

inline std::string apogee(double altitude, Form form = Form::Screen)
{
    return write(altitude, pattern::apogee, form);
}

inline std::string flightTime(double t, Form form = Form::Screen)
{
    return write(t, pattern::flightTime, form);
}

// The least velocity that reaches the target, 0.001 above the one found.
inline std::string leastVelocity(double v)
{
    return write(v, pattern::leastVelocity);
}

inline std::string arrivalSpeed(double v)
{
    return write(v, pattern::arrivalSpeed);
}

inline std::string arrivalAngle(double theta, bool radians)
{
    return write(shownAngle(theta, radians), radians ? pattern::arrivalAngleRadians : pattern::arrivalAngleDegrees);
}

inline std::string missDistance(double d)
{
    return write(d, pattern::missDistance);
}

inline std::string reach(double d)
{
    return write(d, pattern::reach);
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
