#pragma once

// Firing tables: one problem with one of its values stepped from a first to a last, and
// for each value the figures the result screens show. The angle question (the muzzle
// velocity given) steps the distance or the velocity; the velocity question (the angle
// given) steps the distance or the angle. Without air the figures come from the screens'
// own solvers and formatters; with air from the air model's searches. Rows are plain
// text, so a window and the command line print the same cells, and a solution without
// figures carries a note that says why.

#include "model/dynamic_value.h"
#include "model/figure_text.h"
#include "solvers/air_model.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace firing {

enum class Question {
    Angles,   // the muzzle velocity is given: the two angles that hit
    Velocity, // the angle is given: the muzzle velocity that hits
};

enum class Varied { Distance, Velocity, Angle };

// The air a problem flies through besides the vacuum; SI, the wind in the problem's unit.
struct AirShot
{
    air::Projectile projectile;
    air::Atmosphere atmosphere;
    double wind = 0; // along the line of fire, a tail wind positive
};

struct Problem
{
    Question question = Question::Angles;
    bool feet = false;
    bool radians = false;
    double distance = 0; // Sx
    double firing = 0;   // So
    double target = 0;   // Sy
    double velocity = 0; // given for the angle question
    double angle = 0;    // given for the velocity question, in the problem's angle unit
    std::optional<AirShot> air;
    // Newton's TOL and iteration limit as the root-finding screen set them; none: its start values.
    std::optional<double> tolerance;
    std::optional<DynamicValue> iterationLimit;
};

// g in the problem's length unit, as the set-up screen commits it.
double gravity(bool feet);

// An angle in the problem's unit in radians; degrees with pi taken as 3.14159, as the
// screens write them, so that a given angle reads back as typed.
double radiansOf(double angle, bool radians);

struct Solution
{
    std::string note;         // why there are no figures; empty when found
    figure_text::Texts texts; // the answer, velocity components, time to apogee, apogee, time of flight
    std::string arrivalSpeed;
    std::string arrivalAngle; // below the horizontal; negative while still climbing
    bool found() const { return note.empty(); }
};

struct Answer
{
    std::vector<Solution> vacuum; // two for the angle question, one for the velocity question
    std::vector<Solution> air;    // as many again when the problem flies through air
    bool reachable = true;        // the angle question's velocity is not below the least
};

// The least velocity that reaches the target, as the angle screen announces it ("99.032").
std::string leastVelocityText(const Problem &problem);

Answer solve(const Problem &problem);

struct Steps
{
    double from = 0;
    double to = 0;
    double step = 0;
};

enum class StepsOutcome {
    Valid,
    NotFinite,    // an end or the step is NaN or infinite
    ZeroStep,     // the step is 0
    AwayFromLast, // the step leads away from the last value
    TooFine,      // the step is below a billionth of the values: rows would repeat
    TooMany,      // more values than the limit
};

struct StepValues
{
    StepsOutcome outcome = StepsOutcome::NotFinite;
    std::vector<double> values; // from the first by whole steps; the last is `to` when a step lands on it
};

StepValues stepValues(const Steps &steps, std::size_t limit);

// Each row with air flies up to a hundred trajectories.
inline constexpr std::size_t maxRows = 10000;
inline constexpr std::size_t maxAirRows = 1000;

std::size_t rowLimit(const Problem &problem);

struct Column
{
    std::string key;   // for machines: "angle_1"
    std::string title; // for people: "angle 1"
    std::string unit;  // "m/s"; empty for the note
};

// Short unit names in the problem's system: "m", "m/s", "s", "degrees".
std::string lengthUnit(const Problem &problem);
std::string speedUnit(const Problem &problem);
std::string angleUnit(const Problem &problem);

struct Row
{
    double value = 0;
    Answer answer;
};

// The varied value, then per solution its answer, time of flight, apogee, arrival angle and
// arrival speed, the same with air when asked, and last the notes.
std::vector<Column> tableColumns(const Problem &problem, Varied varied);
std::vector<std::string> tableCells(const Problem &problem, const Row &row);

// Each solution's note once, named by solution and air where the others differ.
std::string rowNote(const Answer &answer);

// One row per value, the problem's varied value replaced by it.
std::vector<Row> firingTable(const Problem &problem, Varied varied, const std::vector<double> &values);

} // namespace firing
