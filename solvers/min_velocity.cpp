#include "solvers/min_velocity.h"

#include "model/conversions.h"
#include "model/figure_text.h"

#include <cmath>
#include <cstdint>

namespace {

// D(a) = -2 cos a (Sx sin a - (Sy - So) cos a), summed in this order so that the
// velocities come out bit for bit as they always have.
double denominator(double sx, double so, double sy, double s, double c)
{
    const double s2 = std::pow(s, 2);
    return (((s2 * (so + so)) + ((((sx * -2) * s) * c) - (so + so))) + (sy + sy)) - s2 * (sy + sy);
}

} // namespace

double exactMinVelocity(double sx, double so, double sy, double g)
{
    const double dy = sy - so;
    const double r = std::sqrt(sx * sx + dy * dy);
    // dy + r cancels for a target far below; sx^2 / (r - dy) is the same value without it.
    const double lift = dy >= 0 ? dy + r : (sx * sx) / (r - dy);
    return std::sqrt(g * lift);
}

MinVelocitySearch searchMinVelocity(double sx, double so, double sy, double g)
{
    MinVelocitySearch r;
    if (!(sx > 0) || !std::isfinite(sx) || !std::isfinite(so) || !std::isfinite(sy) || !std::isfinite(g))
        return r;

    const double q = (sy - so) / sx;
    r.sightAngle = std::atan(q);
    double a = r.sightAngle + minvel::startOffset;
    double prev = 200000;
    double current = 199990;
    r.outcome = MinVelocityOutcome::Stepped;

    while (std::fabs(current - prev) > minvel::threshold) {
        const double next = minvel::step + a;
        const double s = std::sin(next);
        const double c = std::cos(next);
        const double d = denominator(sx, so, sy, s, c);
        const double scale = -1 / d;
        const double root = std::pow((-d) * g, 1.0 / 2) * sx;
        const double v = scale * root;
        // Past a right angle D turns positive; just before it V overflows.
        if (!(d < 0) || !std::isfinite(v)) {
            r.outcome = MinVelocityOutcome::ExactMinimum;
            break;
        }
        prev = current;
        a = next;
        current = v;
        r.velocityScale = scale;
        r.velocityRoot = root;
        ++r.steps;
    }

    r.lastAngle = a;
    r.prevVelocity = prev;
    r.velocity = current;
    r.minVelocity = r.outcome == MinVelocityOutcome::Stepped ? current + minvel::margin
                                                             : exactMinVelocity(sx, so, sy, g) + minvel::margin;
    return r;
}

MinVelocityReport computeMinVelocity(const TargetProblem &p)
{
    const MinVelocitySearch r = searchMinVelocity(p.sx, p.so, p.sy, p.g);
    if (r.outcome == MinVelocityOutcome::NoHorizontalDistance)
        return {r, {}};
    return {r, "min. vel = " + figure_text::leastVelocity(r.minVelocity)};
}

std::string positionVelocityText(double minVelocity, int position)
{
    if (position > 10 * minVelocity)
        return conv::generalText(position / 10.0);
    return figure_text::leastVelocity(minVelocity);
}

typed::Scale velocityScale(double minVelocity, int minimum, int maximum)
{
    return {minimum, maximum, [minVelocity](int p) { return positionVelocityText(minVelocity, p); }};
}
