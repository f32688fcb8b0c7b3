#include "solvers/trajectory.h"

#include <cmath>
#include <cstddef>

namespace trajectory {

double heightAt(const Shot &shot, double x)
{
    const double c = std::cos(shot.angle);
    const double t = std::tan(shot.angle);
    const double drop = shot.g / (2 * shot.velocity * shot.velocity * c * c);
    return shot.so + x * t - drop * x * x;
}

Point positionAt(const Shot &shot, double t)
{
    return {shot.velocity * std::cos(shot.angle) * t,
            shot.so + shot.velocity * std::sin(shot.angle) * t - shot.g * t * t / 2};
}

std::optional<Point> apogee(const Shot &shot, double distance)
{
    if (!(shot.angle > 0) || !(shot.g > 0))
        return std::nullopt;
    const double v2 = shot.velocity * shot.velocity;
    const double s = std::sin(shot.angle);
    const Point apex{v2 * s * std::cos(shot.angle) / shot.g, shot.so + v2 * s * s / (2 * shot.g)};
    if (apex.x > distance)
        return std::nullopt;
    return apex;
}

std::vector<Point> flightPath(const Shot &shot, double distance, int steps)
{
    std::vector<Point> path;
    path.reserve(static_cast<std::size_t>(steps) + 2);
    const std::optional<Point> apex = apogee(shot, distance);
    for (int i = 0; i <= steps; ++i) {
        const double x = distance * i / steps;
        if (apex && apex->x < x && (path.empty() || path.back().x < apex->x))
            path.push_back(*apex);
        path.push_back({x, heightAt(shot, x)});
    }
    return path;
}

} // namespace trajectory
