#include "solvers/drag_inputs.h"

#include "model/module1.h"
#include "model/typed_value.h"
#include "solvers/drag.h"

#include <array>
#include <charconv>
#include <cmath>
#include <system_error>

namespace drag {

namespace {

constexpr double poundInKg = 0.45359237;
constexpr double inchInMm = 25.4;
constexpr double footInM = 0.3048;

// lb/ft^3 per kg/m^3
constexpr double densityToImperial = footInM * footInM * footInM / poundInKg;

constexpr std::array presetTable{
    Preset{"Baseball",
           {0.145, 74, 0.35, seaLevelDensity},
           "Baseball: 145 g and 74 mm, the middle of the rules' 5 to 5\u00bc oz and 9 to 9\u00bc in "
           "around; Cd 0.35, a usual figure for a thrown or batted ball (measured 0.3 to 0.5, lower "
           "when faster). Spin and its lift are left out."},
    Preset{"Golf ball",
           {0.04593, 42.67, 0.25, seaLevelDensity},
           "Golf ball: the rules' heaviest and smallest, 1.620 oz (45.93 g) and 1.680 in (42.67 mm); "
           "Cd 0.25, a dimpled ball at driving speed. Spin and its lift are left out."},
    Preset{"Soccer ball",
           {0.43, 220, 0.25, seaLevelDensity},
           "Soccer ball, size 5: 410 to 450 g and 68 to 70 cm around, so 430 g and 220 mm; "
           "Cd 0.25, a kicked ball above its drag crisis (about 0.45 when slow)."},
    Preset{"Shot put",
           {7.26, 120, 0.47, seaLevelDensity},
           "Men's shot: 7.26 kg (16 lb) and 110 to 130 mm across, so 120 mm; "
           "Cd 0.47, a smooth sphere."},
    Preset{"12-pound iron cannonball",
           {12 * poundInKg, 4.52 * inchInMm, 0.47, seaLevelDensity},
           "12-pound solid shot: 12 lb of iron, 4.52 in across (the US 12-pounder's); Cd 0.47, a "
           "smooth sphere below the speed of sound (near 0.9 above it)."},
};

// Locale-free, unlike printf: Qt sets the process locale from the desktop's.
std::string significant(double value, int digits)
{
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    return error == std::errc() ? std::string(buffer, end) : std::string();
}

std::string rangeText(const FieldRange &range)
{
    std::string text = "from " + fieldText(range.minimum) + " to " + fieldText(range.maximum);
    if (*range.unit)
        text += std::string(" ") + range.unit;
    return text;
}

} // namespace

std::span<const Preset> presets()
{
    return presetTable;
}

Projectile inUnits(const Projectile &metric, Units units)
{
    if (units == Units::Metric)
        return metric;
    return {metric.mass / poundInKg, metric.diameter / inchInMm, metric.dragCoefficient,
            metric.airDensity * densityToImperial};
}

double dragFactorPerLength(const Projectile &shown, Units units)
{
    // Diameter from mm to m, or from in to ft; mass and density already agree.
    const double diameter = units == Units::Metric ? shown.diameter / 1000 : shown.diameter / 12;
    return dragFactor(shown.mass, diameter, shown.dragCoefficient, shown.airDensity);
}

FieldRange fieldRange(Field field, Units units)
{
    const bool metric = units == Units::Metric;
    switch (field) {
    case Field::Mass:
        return metric ? FieldRange{0.001, 100000, "kg"} : FieldRange{0.002, 200000, "lb"};
    case Field::Diameter:
        return metric ? FieldRange{1, 2000, "mm"} : FieldRange{0.04, 80, "in"};
    case Field::DragCoefficient:
        return {0, 3, ""};
    case Field::AirDensity:
        return metric ? FieldRange{0, 10, "kg/m\u00b3"} : FieldRange{0, 0.6, "lb/ft\u00b3"};
    }
    return {};
}

Entry readEntry(std::string_view text, const FieldRange &range)
{
    // The same reading as every value typed for a scroll bar.
    const typed::Parsed parsed = typed::parseNumber(text);
    switch (parsed.outcome) {
    case typed::Outcome::Exact:
        break;
    case typed::Outcome::Empty:
        return {EntryOutcome::Empty};
    case typed::Outcome::SeveralNumbers:
        return {EntryOutcome::SeveralNumbers};
    case typed::Outcome::NotFinite:
        return {EntryOutcome::NotFinite};
    default:
        return {EntryOutcome::NotANumber};
    }
    const double value = parsed.number;
    if (value < range.minimum)
        return {EntryOutcome::BelowRange, value};
    if (value > range.maximum)
        return {EntryOutcome::AboveRange, value};
    return {EntryOutcome::Valid, value};
}

std::string entryNote(const Entry &entry, const FieldRange &range)
{
    switch (entry.outcome) {
    case EntryOutcome::Valid:
        return {};
    case EntryOutcome::Empty:
        return "Type a number " + rangeText(range) + ".";
    case EntryOutcome::NotANumber:
        return "Not a number: type digits, with \".\" as the decimal point.";
    case EntryOutcome::SeveralNumbers:
        return "Type one number only.";
    case EntryOutcome::NotFinite:
        return "Type a finite number: NaN and infinity cannot be set.";
    case EntryOutcome::BelowRange:
    case EntryOutcome::AboveRange:
        return "Out of range: type a number " + rangeText(range) + ".";
    }
    return {};
}

std::string tooLightNote(const Projectile &shown, Units units)
{
    const double k = dragFactorPerLength(shown, units);
    const double g = units == Units::Metric ? units::metricGravity : units::metricGravity / footInM;
    const std::optional<double> vt = terminalVelocity(k, g);
    const double least = units == Units::Metric ? leastTerminalVelocity : leastTerminalVelocity / footInM;
    if (!vt || *vt >= least)
        return {};
    const char *speed = units == Units::Metric ? " m/s" : " ft/s";
    return "Too light for its size: it would fall no faster than " + significant(*vt, 2) + speed +
           ", and a shot needs at least " + significant(least, 2) + speed + ".";
}

std::string fieldText(double value)
{
    return significant(value, 6);
}

} // namespace drag
