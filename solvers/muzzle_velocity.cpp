#include "solvers/muzzle_velocity.h"

#include "model/conversions.h"
#include "model/figure_text.h"
#include "model/module1.h"

#include <cmath>

AngleRange minimumAngleRange(double sx, double so, double sy)
{
    AngleRange r;
    if (!(sx > 0) || !std::isfinite(sx) || !std::isfinite(so) || !std::isfinite(sy))
        return r;
    const double q = (sy - so) / sx;
    r.sightAngle = std::atan(q);
    const double span =
        r.sightAngle >= 0 ? muzvel::rightAngle - r.sightAngle : std::fabs(r.sightAngle) + muzvel::rightAngle;
    r.spanSteps = span * muzvel::stepsPerRadian;
    // The default rounding mode rounds halves to even. The span never exceeds pi * 10000,
    // well inside 16 bits.
    const double maximum = std::nearbyint(r.spanSteps - 1);
    r.scrollMaximum = static_cast<std::int16_t>(maximum);
    r.outcome = maximum >= 1 ? AngleRangeOutcome::Available : AngleRangeOutcome::NoAngleRange;
    return r;
}

double angleForPosition(double sightAngle, int position)
{
    return sightAngle + (static_cast<double>(position) / muzvel::stepsPerRadian);
}

MuzzleVelocity muzzleVelocityFor(double sx, double so, double sy, double g, double theta)
{
    MuzzleVelocity r;
    if (!(sx > 0))
        return r;
    r.outcome = MuzzleVelocityOutcome::NoFiniteVelocity;
    const double s = std::sin(theta);
    const double c = std::cos(theta);
    const double s2 = std::pow(s, 2);
    // D = -2 cos^2 (Sx tan - (Sy - So)) = -2 Sx sin cos - 2 So + 2 So sin^2 + 2 Sy - 2 Sy sin^2
    r.terms = {((sx * -2) * s) * c, so * -2, s2 * (so + so), sy + sy, s2 * (sy * -2)};
    const double d = (((r.terms[0] + r.terms[1]) + r.terms[2]) + r.terms[3]) + r.terms[4];
    if (!(d < 0) || !std::isfinite(g) || !(g > 0))
        return r;
    r.velocityScale = -1 / d;
    r.velocityRoot = std::pow((-g) * d, 1.0 / 2) * sx;
    // V = (Sx / cos) sqrt(g / (2 (Sx tan - (Sy - So))))
    r.velocity = r.velocityScale * r.velocityRoot;
    const double v = r.velocity;
    r.horizontal = v * std::cos(theta);
    r.vertical = v * std::sin(theta);
    r.timeToApogee = (v * std::sin(theta)) / g;
    // So + V^2 sin^2 / (2 g)
    r.apogee = (((-g) / 2) * std::pow((v * std::sin(theta)) / g, 2)) +
               (v * std::sin(theta)) * ((v * std::sin(theta)) / g) + so;
    if (r.vertical - (g * sx) / r.horizontal > 0) {
        // V sin - g Sx / (V cos), the vertical speed at the target's distance, is still upward:
        // the later time at the target's height lies beyond it.
        r.flightTime = sx / r.horizontal;
    } else {
        // V^2 sin^2 - 2 g (Sy - So) is a square in exact arithmetic and zero with the target at
        // the apogee, where rounding can leave it a hair below zero.
        const double radicand = ((std::pow(v, 2) * s2) - (g + g) * sy) + (g + g) * so;
        // (V sin + sqrt(V^2 sin^2 - 2 g (Sy - So))) / g
        r.flightTime =
            (1 / (g + g)) * ((2 * v) * std::sin(theta) + 2 * std::pow(radicand > 0 ? radicand : 0.0, 1.0 / 2));
    }
    if (std::isfinite(r.velocity) && std::isfinite(r.apogee) && std::isfinite(r.flightTime))
        r.outcome = MuzzleVelocityOutcome::Computed;
    return r;
}

double positionAngle(const ProblemModel &m, int position)
{
    const double a = angleForPosition(m.SightAngle.toNumber(), position);
    return m.AngleUnitCode == "r" ? a : (a * 180) / 3.14159;
}

std::string positionAngleText(const ProblemModel &m, int position, AngleTextMoment moment)
{
    const double a = positionAngle(m, position);
    if (m.AngleUnitCode == "r")
        return conv::formatPattern(a, "0.000");
    return conv::formatPattern(a, moment == AngleTextMoment::Load ? "0.000" : "#0.000");
}

typed::Scale angleScale(const ProblemModel &m, int minimum, int maximum)
{
    return {minimum, maximum, [&m](int p) { return positionAngleText(m, p, AngleTextMoment::Change); },
            [&m](int p) { return positionAngle(m, p); }};
}

std::string minimumAngleText(const ProblemModel &m)
{
    const double phi = m.SightAngle.toNumber();
    if (m.AngleUnitCode == "r")
        return "Min. angle = " + conv::formatPattern(phi, "0.000") + " radians";
    return "Min. angle = " + conv::formatPattern((phi * 180) / 3.14159, "#0.000") + " degrees";
}

std::string gravityText(double g)
{
    return conv::formatPattern(g, "##.#####");
}

MuzzleVelocityReport computeMuzzleVelocity(const TargetProblem &p, double theta)
{
    MuzzleVelocityReport report;
    const MuzzleVelocity r = muzzleVelocityFor(p.sx, p.so, p.sy, p.g, theta);
    report.outcome = r.outcome;
    if (r.outcome != MuzzleVelocityOutcome::Computed)
        return report;
    report.figures = r;

    report.texts.answer = figure_text::muzzleVelocity(r.velocity);
    report.texts.horizontal = figure_text::horizontalVelocity(r.horizontal);
    report.texts.vertical = figure_text::verticalVelocity(r.vertical);
    // Aimed below the horizontal, the apogee lies before the shot: there is no time to it.
    report.texts.timeToApogee = r.vertical > 0 ? figure_text::timeToApogee(r.timeToApogee) : "NA";
    report.texts.apogee = figure_text::apogee(r.apogee);
    report.texts.flightTime = figure_text::flightTime(r.flightTime);
    return report;
}
