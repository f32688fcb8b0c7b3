#pragma once

// The lift and drag of spinning sports balls, each from published measurements, against
// the spin factor S = r w / v (r the radius, w the spin in rad/s, v the speed through the
// air) and, where the ball's drag crisis or its measurements call for it, the Reynolds
// number Re = rho v d / mu or the speed itself. Lift acts across the velocity through the
// air, in the plane of flight, upwards for backspin; both forces are 1/2 rho A C v^2.
//
// Beyond the range a model was measured over, its values at the range's end hold, and
// the coefficients say so (`measured` false).

#include "solvers/drag_law.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

namespace air {

enum class Ball {
    None,     // no spinning ball's aerodynamics: spin is refused
    Golf,     // Smits and Smith's model of a dimpled golf ball
    Baseball, // Nathan's model of a batted baseball
    Soccer,   // Goff and Carre's fits to trajectories and Asai's wind tunnel
};

// What the air sees of a spinning ball at one moment.
struct Airflow
{
    double speed = 0;       // m/s through the air
    double spinFactor = 0;  // r |w| / v
    double reynolds = 0;    // rho v d / mu
    double revolutions = 0; // |w| in rpm
};

struct BallCoefficients
{
    double drag = 0;
    double lift = 0;      // not below 0: the spin's sense gives the lift's
    bool measured = true; // false where the end of a measured range was held
};

// Sutherland's law with the ICAO standard's constants (Doc 7488): the dynamic viscosity
// of air in Pa s at a temperature in K.
inline double airViscosity(double temperature)
{
    return 1.458e-6 * std::pow(temperature, 1.5) / (temperature + 110.4);
}

inline double radiansPerSecond(double rpm)
{
    return rpm * std::numbers::pi / 30;
}

namespace ball_aero {

// Golf ball: A. J. Smits and D. R. Smith, "A new aerodynamic model of a golf ball in
// flight", Science and Golf II (1994), from their wind tunnel over 40,000 < Re < 250,000
// and 0.04 < S < 1.4, the model stated for 70,000 < Re < 210,000:
//   C_D = 0.24 + 0.18 S + 0.06 sin(pi (Re - 90,000) / 200,000),  C_L = 0.54 S^0.4.
// The sine is held at the model's ends, where it stops following the data.
inline BallCoefficients golf(const Airflow &a)
{
    constexpr double highestS = 1.4;
    const double re = std::clamp(a.reynolds, 70000.0, 210000.0);
    const double s = std::min(a.spinFactor, highestS);
    const bool measured = a.reynolds >= 40000 && a.reynolds <= 250000 && s == a.spinFactor;
    return {0.24 + 0.18 * s + 0.06 * std::sin(std::numbers::pi * (re - 90000) / 200000), 0.54 * std::pow(s, 0.4),
            measured};
}

// Baseball: A. M. Nathan's trajectory calculator (University of Illinois), fitted to
// tracked batted balls: C_D = 0.3008 + 0.0292 (rpm / 1000) and
// C_L = 1.120 S / (0.583 + 2.333 S). No drag crisis shows in batted balls' data.
inline BallCoefficients baseball(const Airflow &a)
{
    return {0.3008 + 0.0292 * a.revolutions / 1000, 1.120 * a.spinFactor / (0.583 + 2.333 * a.spinFactor), true};
}

// Soccer ball, size 5. Drag: J. E. Goff and M. J. Carre, Eur. J. Phys. 31 (2010), their
// fit to Asai's wind tunnel without spin, the drag crisis from 0.50 slow to 0.155 fast,
//   C_D = 0.155 + 0.346 / (1 + exp((v - 12.19 m/s) / 1.309 m/s)),
// and with spin C_D = 0.4127 S^0.3056; the larger of the two holds, which keeps the slow
// ball's drag and joins the two without a step. Lift: Asai, Seo, Kobayashi and Sakashita,
// Sports Eng. 10 (2007), wind tunnel, 0.21 at S 0.18, 0.24 at 0.22, 0.29 at 0.34; Goff
// and Carre, Am. J. Phys. 77 (2009), from kicked trajectories, 0.285 at S 0.49 and 0.31
// at 0.71.
inline const DragTable &soccerLift()
{
    static const std::shared_ptr<const DragTable> table =
        readDragTable("0,0\n0.18,0.21\n0.22,0.24\n0.34,0.29\n0.49,0.285\n0.71,0.31\n").table;
    return *table;
}

inline BallCoefficients soccer(const Airflow &a)
{
    constexpr double highestS = 0.71;
    const double s = std::min(a.spinFactor, highestS);
    const double still = 0.155 + 0.346 / (1 + std::exp((a.speed - 12.19) / 1.309));
    const double spinning = 0.4127 * std::pow(s, 0.3056);
    return {std::max(still, spinning), soccerLift().at(s), s == a.spinFactor};
}

} // namespace ball_aero

inline BallCoefficients ballCoefficients(Ball ball, const Airflow &a)
{
    switch (ball) {
    case Ball::Golf:
        return ball_aero::golf(a);
    case Ball::Baseball:
        return ball_aero::baseball(a);
    case Ball::Soccer:
        return ball_aero::soccer(a);
    case Ball::None:
        break;
    }
    return {};
}

} // namespace air
