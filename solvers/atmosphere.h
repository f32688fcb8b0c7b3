#pragma once

// The air a shot flies through: its density, which scales the drag, and its speed of
// sound, which sets the Mach number a drag curve is read at. SI throughout: metres,
// kelvin, pascals, kg/m^3, m/s.
//
// The ICAO standard atmosphere (ICAO Doc 7488, identical to ISO 2533 below 32 km) from
// sea level at 288.15 K and 101325 Pa, falling 6.5 K per km to the tropopause at 11 km,
// and isothermal above it to 20 km; heights are taken as geopotential (the geometric
// height differs by under 0.2 % below 11 km). The same layers carry measured conditions
// at the firing point up and down. Beyond -5 km and 20 km the edge values hold, and the
// flight says so.
//
// Moist air is the sum of its dry part and its water vapour as ideal gases, the vapour's
// pressure the relative humidity times the saturation pressure over water after Buck
// (J. Appl. Meteor. 20, 1981, as revised in 1996). The speed of sound is sqrt(gamma R T)
// of dry air: water vapour would raise it by under 0.3 % in the warmest, wettest air.

namespace air {

inline constexpr double gasConstant = 287.05287;   // J/(kg K), dry air, ICAO's
inline constexpr double vapourConstant = 461.495;  // J/(kg K), water vapour
inline constexpr double heatCapacityRatio = 1.4;   // dry air
inline constexpr double standardGravity = 9.80665; // m/s^2, for the pressure's fall with height
inline constexpr double seaLevelTemperature = 288.15;
inline constexpr double seaLevelPressure = 101325;
inline constexpr double lapseRate = 0.0065; // K/m, in the troposphere
inline constexpr double tropopause = 11000; // m
inline constexpr double lowestAltitude = -5000;
inline constexpr double highestAltitude = 20000;

struct AirState
{
    double density = 0;      // kg/m^3
    double speedOfSound = 0; // m/s
    double temperature = 0;  // K
    double pressure = 0;     // Pa
};

// The ICAO standard atmosphere at an altitude above sea level.
AirState standardAir(double altitude);

// Over liquid water, after Buck; Pa from K.
double saturationVapourPressure(double temperature);

double moistAirDensity(double temperature, double pressure, double relativeHumidity);

double speedOfSound(double temperature);

enum class AirModel {
    ConstantDensity, // one density everywhere, the drag solver's own
    Standard,        // the standard atmosphere at the firing point's altitude
    Measured,        // temperature, pressure and humidity measured at the firing point
};

struct Atmosphere
{
    AirModel model = AirModel::ConstantDensity;
    double density = 1.225;        // kg/m^3: ConstantDensity
    double speedOfSound = 340.294; // m/s: ConstantDensity, for the Mach number
    double altitude = 0;           // m above sea level of the firing point: Standard, Measured
    double temperature = 288.15;   // K at the firing point: Measured
    double pressure = 101325;      // Pa at the firing point, as the barometer there reads: Measured
    double humidity = 0;           // relative, 0 to 1: Measured
    bool densityWithHeight = true; // false: the firing point's air along the whole flight
};

// Whether the numbers make an atmosphere: finite, density not below 0, temperature,
// pressure and speed of sound above 0, humidity from 0 to 1.
bool valid(const Atmosphere &air);

// The air along a flight, at heights above the firing point.
class AirColumn
{
public:
    explicit AirColumn(const Atmosphere &air);

    AirState at(double height) const;

    // The altitude above sea level of a height above the firing point.
    double altitude(double height) const { return base_ + height; }
    // Whether the air changes with height at all.
    bool varies() const { return varies_; }

private:
    AirState firing_; // at the firing point
    double base_ = 0; // its altitude
    double humidity_ = 0;
    bool varies_ = false;
    // The layer boundary at the tropopause, reached from the firing point.
    double tropopauseTemperature_ = 0;
    double tropopausePressure_ = 0;
};

} // namespace air
