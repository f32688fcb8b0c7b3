#pragma once

// The flight of a shot without air resistance, fired from the muzzle at (0, So) at
// an angle theta above the horizontal with muzzle velocity V: the parabola
// y = So + x tan theta - g x^2 / (2 V^2 cos^2 theta).

#include <optional>
#include <vector>

namespace trajectory {

struct Point
{
    double x = 0;
    double y = 0;
};

struct Shot
{
    double so = 0; // firing elevation
    double g = 0;
    double angle = 0; // radians
    double velocity = 0;
};

// The height at horizontal distance x.
double heightAt(const Shot &shot, double x);

// Where the shot is t seconds after it is fired.
Point positionAt(const Shot &shot, double t);

// The apex (V^2 sin cos / g, So + V^2 sin^2 / (2 g)); none for a shot aimed below
// the horizontal, whose highest point is the muzzle itself, nor for one still
// climbing when it reaches `distance`.
std::optional<Point> apogee(const Shot &shot, double distance);

// The flight from the muzzle to `distance`, in even steps of distance (so of time
// too), with the apex among them when the shot reaches it.
std::vector<Point> flightPath(const Shot &shot, double distance, int steps = 240);

} // namespace trajectory
