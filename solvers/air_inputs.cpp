#include "solvers/air_inputs.h"

#include <vector>

namespace air {

namespace {

constexpr double poundInKg = 0.45359237;
constexpr double inchInM = 0.0254;
constexpr double footInM = 0.3048;
constexpr double grainInKg = poundInKg / 7000;
constexpr double inchOfMercuryInPa = 3386.389; // at 0 degrees C
constexpr double zeroCelsius = 273.15;

bool metric(drag::Units units)
{
    return units == drag::Units::Metric;
}

Projectile body(DragCurve curve, double mass, double diameter)
{
    Projectile p;
    p.curve = curve;
    p.mass = mass;
    p.diameter = diameter;
    return p;
}

Projectile constant(double dragCoefficient, double mass, double diameter)
{
    Projectile p = body(DragCurve::Constant, mass, diameter);
    p.dragCoefficient = dragCoefficient;
    return p;
}

Projectile ball(Projectile p, Ball kind, double spinDecayTime)
{
    p.ball = kind;
    p.spinDecayTime = spinDecayTime;
    return p;
}

// The sphere's curve, with the coefficient it has slow for a choice of one constant.
Projectile sphere(double slowDragCoefficient, double mass, double diameter)
{
    Projectile p = body(DragCurve::Sphere, mass, diameter);
    p.dragCoefficient = slowDragCoefficient;
    return p;
}

Projectile standard(DragCurve curve, double poundsPerSquareInch, double mass, double diameter)
{
    Projectile p = body(curve, mass, diameter);
    p.ballisticCoefficient = poundsPerSquareInch * poundPerSquareInch;
    return p;
}

std::vector<Preset> presetList()
{
    const double bullet = 210 * grainInKg;
    const double thirtyCalibre = 0.308 * inchInM;
    return {
        {"Baseball", ball(constant(0.35, 0.145, 0.074), Ball::Baseball, 0),
         "Baseball: 145 g and 74 mm, the middle of the rules' 5 to 5\u00bc oz and 9 to 9\u00bc in around; Cd 0.35, "
         "a usual figure for a thrown or batted ball (measured 0.3 to 0.5, lower when faster). Spinning, it takes "
         "A. M. Nathan's drag and lift of batted balls; 2,500 rpm of backspin, his trajectory calculator's fly "
         "ball, the spin held through the flight as his calculator holds it.",
         2500},
        {"Golf ball", ball(constant(0.25, 0.04593, 0.04267), Ball::Golf, 25),
         "Golf ball: the rules' heaviest and smallest, 1.620 oz (45.93 g) and 1.680 in (42.67 mm); Cd 0.25, a "
         "dimpled ball at driving speed. Spinning, it takes Smits and Smith's drag and lift (1994); 2,686 rpm of "
         "backspin, the PGA Tour's average drive as TrackMan measured it, falling 4 % a second (TrackMan).",
         2686},
        {"Soccer ball", ball(constant(0.25, 0.43, 0.22), Ball::Soccer, 0),
         "Soccer ball, size 5: 410 to 450 g and 68 to 70 cm around, so 430 g and 220 mm; Cd 0.25, a kicked ball "
         "above its drag crisis (about 0.45 when slow). Spinning, it takes Goff and Carr\u00e9's drag with its "
         "crisis and Asai's lift; 600 rpm (10 turns a second) of backspin, as struck free kicks are measured, "
         "held through the flight.",
         600},
        {"Shot put", constant(0.47, 7.26, 0.12),
         "Men's shot: 7.26 kg (16 lb) and 110 to 130 mm across, so 120 mm; Cd 0.47, a smooth sphere's below "
         "the speed of sound (the sphere's curve gives 0.467 at a throw's 14 m/s)."},
        {"12-pound iron cannonball", sphere(0.47, 12.3 * poundInKg, 4.52 * inchInM),
         "12-pound solid shot of the US 12-pounder field gun, model 1857: 12.3 lb of iron, 4.52 in across for the "
         "4.62 in bore. With 2.5 lb of powder it left the muzzle at 1,440 to 1,485 ft/s and ranged 1,619 to "
         "1,680 yd at 5\u00b0. Drag: the smooth sphere's curve against Mach (US Army Ballistic Research "
         "Laboratory, as JBM Ballistics publishes it), 0.47 slow and near 1.0 from Mach 1.3 up."},
        {".30 cal. 210 gr AccuBond LR (G7)", standard(DragCurve::G7, 0.366, bullet, thirtyCalibre),
         ".30 calibre (0.308 in) 210 gr Nosler AccuBond Long Range hunting bullet: the G7 ballistic coefficient "
         "0.366 lb/in\u00b2 its maker publishes, the G7 standard curve (BRL, as JBM Ballistics publishes it)."},
        {".30 cal. 210 gr AccuBond LR (G1)", standard(DragCurve::G1, 0.730, bullet, thirtyCalibre),
         ".30 calibre (0.308 in) 210 gr Nosler AccuBond Long Range hunting bullet: the G1 ballistic coefficient "
         "0.730 lb/in\u00b2 its maker publishes, the G1 standard curve (BRL, as JBM Ballistics publishes it). For "
         "a boat-tailed bullet the G7 coefficient holds better across speeds."},
    };
}

} // namespace

drag::FieldRange fieldRange(Field field, drag::Units units)
{
    const bool m = metric(units);
    switch (field) {
    case Field::BallisticCoefficient:
        return m ? drag::FieldRange{7, 1400, "kg/m\u00b2"} : drag::FieldRange{0.01, 2, "lb/in\u00b2"};
    case Field::Altitude:
        return m ? drag::FieldRange{-500, 11000, "m"} : drag::FieldRange{-1600, 36000, "ft"};
    case Field::Temperature:
        return m ? drag::FieldRange{-60, 60, "\u00b0C"} : drag::FieldRange{-76, 140, "\u00b0F"};
    case Field::Pressure:
        return m ? drag::FieldRange{200, 1100, "hPa"} : drag::FieldRange{6, 32.5, "inHg"};
    case Field::Humidity:
        return {0, 100, "%"};
    case Field::Wind:
        return m ? drag::FieldRange{-50, 50, "m/s"} : drag::FieldRange{-160, 160, "ft/s"};
    }
    return {};
}

double toModel(Field field, double shown, drag::Units units)
{
    const bool m = metric(units);
    switch (field) {
    case Field::BallisticCoefficient:
        return m ? shown : shown * poundPerSquareInch;
    case Field::Altitude:
    case Field::Wind:
        return m ? shown : shown * footInM;
    case Field::Temperature:
        return m ? shown + zeroCelsius : (shown - 32) * 5 / 9 + zeroCelsius;
    case Field::Pressure:
        return m ? shown * 100 : shown * inchOfMercuryInPa;
    case Field::Humidity:
        return shown / 100;
    }
    return shown;
}

double fromModel(Field field, double model, drag::Units units)
{
    const bool m = metric(units);
    switch (field) {
    case Field::BallisticCoefficient:
        return m ? model : model / poundPerSquareInch;
    case Field::Altitude:
    case Field::Wind:
        return m ? model : model / footInM;
    case Field::Temperature:
        return m ? model - zeroCelsius : (model - zeroCelsius) * 9 / 5 + 32;
    case Field::Pressure:
        return m ? model / 100 : model / inchOfMercuryInPa;
    case Field::Humidity:
        return model * 100;
    }
    return model;
}

Projectile fromFields(const drag::Projectile &shown, drag::Units units)
{
    const bool m = metric(units);
    return constant(shown.dragCoefficient, m ? shown.mass : shown.mass * poundInKg,
                    m ? shown.diameter / 1000 : shown.diameter * inchInM);
}

std::span<const Preset> presets()
{
    static const std::vector<Preset> list = presetList();
    return list;
}

Projectile spinning(const Preset &preset)
{
    Projectile p = preset.projectile;
    p.spin = preset.spin;
    return p;
}

} // namespace air
