#pragma once

// What describes a projectile for the drag solver, as the user types it: mass,
// diameter, drag coefficient and air density in the problem's unit system (kg, mm and
// kg/m^3 with metres; lb, in and lb/ft^3 with feet), the presets that fill them, and
// the reading of a typed value with the reason it is refused.

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace drag {

enum class Units {
    Metric,   // kg, mm, kg/m^3; lengths in metres
    Imperial, // lb, in, lb/ft^3; lengths in feet
};

struct Projectile
{
    double mass = 0;
    double diameter = 0;
    double dragCoefficient = 0;
    double airDensity = 0;
};

// Sea level in the International Standard Atmosphere, 15 degrees C.
inline constexpr double seaLevelDensity = 1.225; // kg/m^3

struct Preset
{
    const char *name;
    Projectile metric;  // kg, mm, kg/m^3
    const char *source; // where the numbers come from
};

// Baseball, golf ball, soccer ball, shot put, 12-pound iron cannonball; "Custom" is
// whatever the fields hold and has no entry here.
std::span<const Preset> presets();

// From kg, mm and kg/m^3 into the unit system's own.
Projectile inUnits(const Projectile &metric, Units units);

// k = rho Cd A / (2 m) per metre or per foot, from the fields as shown in `units`.
double dragFactorPerLength(const Projectile &shown, Units units);

enum class Field { Mass, Diameter, DragCoefficient, AirDensity };

struct FieldRange
{
    double minimum = 0;
    double maximum = 0;
    const char *unit = ""; // "kg", "" for the drag coefficient
};

FieldRange fieldRange(Field field, Units units);

enum class EntryOutcome {
    Valid,
    Empty,          // nothing but blanks
    NotANumber,     // letters, a comma, a second point
    SeveralNumbers, // blanks between numbers
    NotFinite,      // NaN, infinity, or too large for a double
    BelowRange,
    AboveRange,
};

struct Entry
{
    EntryOutcome outcome = EntryOutcome::Empty;
    double value = 0;
};

// One number, blanks around it ignored, "." as the decimal point and "E" for a power of
// ten, within the field's range.
Entry readEntry(std::string_view text, const FieldRange &range);

// Why the entry is refused; empty when it is valid.
std::string entryNote(const Entry &entry, const FieldRange &range);

// A body slower than this when dropped is carried by the air rather than shot through
// it, and its flights become too stiff to integrate quickly.
inline constexpr double leastTerminalVelocity = 5; // m/s

// The note for a projectile whose terminal velocity is below the least; empty otherwise.
std::string tooLightNote(const Projectile &shown, Units units);

// Up to six significant digits, no exponent for the fields' ranges: 0.145, 74, 1.225.
std::string fieldText(double value);

} // namespace drag
