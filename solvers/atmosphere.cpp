#include "solvers/atmosphere.h"

#include <algorithm>
#include <cmath>

namespace air {

namespace {

// p / p0 = (T / T0)^pressureExponent along a constant lapse rate: the hydrostatic balance
// of an ideal gas.
constexpr double pressureExponent = standardGravity / (gasConstant * lapseRate);

// Cooler than any air a shot flies through, yet warm enough that 16 km of lapse above
// the lowest firing point leaves it above 0 K.
constexpr double coldestAir = 150;
constexpr double warmestAir = 400;

AirState state(double temperature, double pressure, double relativeHumidity)
{
    return {moistAirDensity(temperature, pressure, relativeHumidity), speedOfSound(temperature), temperature, pressure};
}

} // namespace

AirState standardAir(double altitude)
{
    Atmosphere air;
    air.model = AirModel::Standard;
    return AirColumn(air).at(altitude);
}

double saturationVapourPressure(double temperature)
{
    const double celsius = temperature - 273.15;
    return 611.21 * std::exp((18.678 - celsius / 234.5) * (celsius / (257.14 + celsius)));
}

double moistAirDensity(double temperature, double pressure, double relativeHumidity)
{
    if (!(relativeHumidity > 0))
        return pressure / (gasConstant * temperature);
    // Vapour cannot hold more than the whole pressure.
    const double vapour = std::min(relativeHumidity * saturationVapourPressure(temperature), pressure);
    return (pressure - vapour) / (gasConstant * temperature) + vapour / (vapourConstant * temperature);
}

double speedOfSound(double temperature)
{
    return std::sqrt(heatCapacityRatio * gasConstant * temperature);
}

bool valid(const Atmosphere &air)
{
    switch (air.model) {
    case AirModel::ConstantDensity:
        return std::isfinite(air.density) && air.density >= 0 && std::isfinite(air.speedOfSound) &&
               air.speedOfSound > 0;
    case AirModel::Standard:
        return air.altitude >= lowestAltitude && air.altitude <= highestAltitude;
    case AirModel::Measured:
        return air.altitude >= lowestAltitude && air.altitude <= highestAltitude && air.temperature >= coldestAir &&
               air.temperature <= warmestAir && std::isfinite(air.pressure) && air.pressure > 0 && air.humidity >= 0 &&
               air.humidity <= 1;
    }
    return false;
}

AirColumn::AirColumn(const Atmosphere &air)
{
    switch (air.model) {
    case AirModel::ConstantDensity:
        firing_ = {air.density, air.speedOfSound, seaLevelTemperature, seaLevelPressure};
        return;
    case AirModel::Standard: {
        // From sea level to the firing point along the standard's own layers.
        base_ = 0;
        firing_ = state(seaLevelTemperature, seaLevelPressure, 0);
        tropopauseTemperature_ = seaLevelTemperature - lapseRate * tropopause;
        tropopausePressure_ =
            seaLevelPressure * std::pow(tropopauseTemperature_ / seaLevelTemperature, pressureExponent);
        varies_ = true;
        firing_ = at(air.altitude);
        break;
    }
    case AirModel::Measured:
        firing_ = state(air.temperature, air.pressure, air.humidity);
        humidity_ = air.humidity;
        break;
    }
    base_ = std::clamp(air.altitude, lowestAltitude, highestAltitude);
    const double t0 = firing_.temperature;
    const double p0 = firing_.pressure;
    if (base_ <= tropopause) {
        tropopauseTemperature_ = t0 - lapseRate * (tropopause - base_);
        tropopausePressure_ = p0 * std::pow(tropopauseTemperature_ / t0, pressureExponent);
    } else {
        tropopauseTemperature_ = t0;
        tropopausePressure_ = p0 * std::exp(-standardGravity * (tropopause - base_) / (gasConstant * t0));
    }
    varies_ = air.densityWithHeight;
}

AirState AirColumn::at(double height) const
{
    if (!varies_)
        return firing_;
    const double z = std::clamp(base_ + height, lowestAltitude, highestAltitude);
    const double t0 = firing_.temperature;
    const double p0 = firing_.pressure;
    const double tt = tropopauseTemperature_;
    const double pt = tropopausePressure_;
    // Below the tropopause along the lapse rate from whichever end of the layer is known,
    // above it isothermal.
    if (z <= tropopause) {
        const bool fromFiringPoint = base_ <= tropopause;
        const double t = fromFiringPoint ? t0 - lapseRate * (z - base_) : tt + lapseRate * (tropopause - z);
        const double p =
            fromFiringPoint ? p0 * std::pow(t / t0, pressureExponent) : pt * std::pow(t / tt, pressureExponent);
        return state(t, p, humidity_);
    }
    const double p = pt * std::exp(-standardGravity * (z - tropopause) / (gasConstant * tt));
    return state(tt, p, humidity_);
}

} // namespace air
