#pragma once

// What describes real air and the projectiles that fly through it, as the user types it:
// the fields' units and ranges in the problem's unit system, beside the drag fields of
// drag_inputs.h and read by its readEntry and entryNote; their conversion into the air
// model's SI; and the presets, each with its source.

#include "solvers/air_model.h"
#include "solvers/drag_inputs.h"

#include <span>

namespace air {

enum class Field {
    BallisticCoefficient, // kg/m^2, or lb/in^2 as makers publish it
    Altitude,             // of the firing point above sea level: m or ft
    Temperature,          // at the firing point: degrees C or F
    Pressure,             // at the firing point, as its barometer reads: hPa or inHg
    Humidity,             // relative, %
    Wind,                 // along the line of fire, a tail wind positive: m/s or ft/s
};

drag::FieldRange fieldRange(Field field, drag::Units units);

// From the field as shown into the model's units: kg/m^2, m, K, Pa, a fraction from 0 to
// 1, m/s. (A Shot takes the wind in the problem's own units: the field's value as it is.)
double toModel(Field field, double shown, drag::Units units);
double fromModel(Field field, double model, drag::Units units);

// The drag fields' mass and diameter (kg and mm, or lb and in) as a projectile of one
// drag coefficient in kg and m.
Projectile fromFields(const drag::Projectile &shown, drag::Units units);

struct Preset
{
    const char *name;
    Projectile projectile; // SI, without spin: its kind of ball and spin decay, if any
    const char *source;    // where the numbers come from
    double spin = 0;       // rpm: the ball's typical backspin, to offer when it is chosen
};

// Baseball, golf ball, soccer ball, shot put, 12-pound iron cannonball (the smooth
// sphere's curve), and a modern rifle bullet with its maker's G7 and G1 coefficients.
// The balls carry their kind and their typical spin; the rest have none.
std::span<const Preset> presets();

// The preset's projectile spinning at its typical spin.
Projectile spinning(const Preset &preset);

} // namespace air
