#include "solvers/firing_table.h"

#include "model/conversions.h"
#include "model/module1.h"
#include "solvers/angle_solver.h"
#include "solvers/min_velocity.h"
#include "solvers/muzzle_velocity.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <string_view>

namespace firing {

namespace {

TargetProblem targetOf(const Problem &p)
{
    return {p.distance, p.firing, p.target, gravity(p.feet)};
}

bool finiteProblem(const Problem &p)
{
    return std::isfinite(p.distance) && std::isfinite(p.firing) && std::isfinite(p.target) &&
           std::isfinite(p.velocity) && std::isfinite(p.angle);
}

std::string angleText(double radians, const Problem &p)
{
    return figure_text::angle(radians, p.radians, figure_text::Form::Table) + " " + angleUnit(p);
}

// V(a) = Sx sqrt(g / (-D(a))), D(a) = -2 cos a (Sx sin a - (Sy - So) cos a): the velocity the
// least velocity search steps along, infinite at and below the line of sight.
double velocityAt(const TargetProblem &p, double a)
{
    const double s = std::sin(a);
    const double c = std::cos(a);
    const double d = -2 * c * (p.sx * s - (p.sy - p.so) * c);
    return d < 0 ? p.sx * std::sqrt(p.g / -d) : std::numeric_limits<double>::infinity();
}

// A velocity that the angle screen's floor cannot exceed, so that most velocities are judged
// without its search of tens of thousands of steps. V is convex in the angle (it is
// C f^(-1/2) with f = R sin(2a - phi) - (Sy - So), and 3 f'^2 >= 2 f f'' wherever f > 0), so
// its steps' differences rise: the search stops one or two steps past the angle where the
// difference first rises to -threshold, or else takes the exact least velocity. Either way
// its result is below V a step around that angle, plus the margin and rounding.
std::optional<double> floorCeiling(const TargetProblem &p)
{
    const double h = minvel::step;
    const double sight = std::atan((p.sy - p.so) / p.sx);
    const double best = std::numbers::pi / 4 + sight / 2;
    const auto rise = [&](double a) { return velocityAt(p, a + h) - velocityAt(p, a); };
    double lo = sight + minvel::startOffset;
    double hi = best;
    // The search's first difference is taken from its own start values; one that happens
    // to lie near them is left to the search.
    if (!(lo < hi) || !(rise(lo) < -minvel::threshold) || std::fabs(velocityAt(p, lo + h) - 199990) < 1)
        return std::nullopt;
    while (hi - lo > h / 16) {
        const double mid = lo + (hi - lo) / 2;
        (rise(mid) < -minvel::threshold ? lo : hi) = mid;
    }
    const double v = std::max(velocityAt(p, lo - 2 * h), velocityAt(p, hi + 3 * h));
    if (!std::isfinite(v))
        return std::nullopt;
    return v + minvel::threshold + minvel::margin + 0.0005 + 1e-9 * v;
}

// The angle screen's least velocity, searched once per problem.
class LeastVelocity
{
public:
    double floor(const TargetProblem &p)
    {
        if (!m_problem || m_problem->sx != p.sx || m_problem->so != p.so || m_problem->sy != p.sy ||
            m_problem->g != p.g) {
            const MinVelocitySearch search = searchMinVelocity(p.sx, p.so, p.sy, p.g);
            m_text = figure_text::leastVelocity(search.minVelocity);
            // The velocity box offers nothing below the value it shows for the floor.
            m_floor = conv::leadingNumber(m_text);
            m_problem = p;
        }
        return m_floor;
    }

    const std::string &text(const TargetProblem &p)
    {
        floor(p);
        return m_text;
    }

    bool reaches(const TargetProblem &p, double v)
    {
        if (v < exactMinVelocity(p.sx, p.so, p.sy, p.g))
            return false;
        if (const std::optional<double> ceiling = floorCeiling(p); ceiling && v >= *ceiling)
            return true;
        return v >= floor(p);
    }

private:
    std::optional<TargetProblem> m_problem;
    double m_floor = 0;
    std::string m_text;
};

// The speed and angle at the target of the vacuum trajectory whose time of flight is `t`.
bool setVacuumArrival(Solution &s, double horizontal, double vertical, double t, double g, bool radians)
{
    const double down = vertical - g * t;
    const double speed = std::hypot(horizontal, down);
    const double angle = std::atan2(-down, horizontal);
    if (!std::isfinite(speed) || !std::isfinite(angle))
        return false;
    s.arrivalSpeed = figure_text::arrivalSpeed(speed);
    s.arrivalAngle = figure_text::arrivalAngle(angle, radians);
    return true;
}

Solution withNote(std::string note)
{
    Solution s;
    s.note = std::move(note);
    return s;
}

const Solution nonFinite = withNote("no finite figures");

std::vector<Solution> vacuumAngles(const Problem &p, LeastVelocity &least, bool &reachable)
{
    const TargetProblem target = targetOf(p);
    reachable = least.reaches(target, p.velocity);
    if (!reachable) {
        const std::string note = "beyond reach: the least velocity is " + least.text(target) + " " + speedUnit(p);
        return {withNote(note), withNote(note)};
    }
    const AngleQuestion q{{target, p.velocity},
                          p.tolerance.value_or(units::startTolerance),
                          p.iterationLimit.value_or(DynamicValue{units::startIterations}),
                          p.radians};
    const AngleRun run = computeSuperElevation(q);

    std::vector<Solution> out;
    for (std::size_t i = 0; i < 2; ++i) {
        if (i >= run.solutions.size()) {
            out.push_back(withNote("not sought: solution 1 found no convergence"));
            continue;
        }
        const SolutionReport &r = run.solutions[i];
        if (r.figures) {
            Solution s;
            s.texts = r.figures->texts;
            const SolutionFigures &f = *r.figures;
            const bool finite = std::isfinite(f.flightTime) && std::isfinite(f.apogee) &&
                                setVacuumArrival(s, f.horizontal, f.vertical, f.flightTime, target.g, p.radians);
            out.push_back(finite ? s : nonFinite);
        } else if (r.result.outcome == NewtonOutcome::AngleLimitExceeded) {
            out.push_back(withNote("above the angle limit of " + angleText(angles::limit, p)));
        } else {
            out.push_back(withNote("no convergence in " + q.iterationLimit.toText() + " iterations"));
        }
    }
    return out;
}

Solution vacuumVelocity(const Problem &p)
{
    const double theta = radiansOf(p.angle, p.radians);
    const double sight = minimumAngleRange(p.distance, p.firing, p.target).sightAngle;
    if (!(theta > sight))
        return withNote("at or below the line of sight, " + angleText(sight, p));
    // The angle screen's positions end below this.
    if (!(theta < muzvel::rightAngle))
        return withNote("at or above a right angle");
    const MuzzleVelocityReport report = computeMuzzleVelocity(targetOf(p), theta);
    if (report.outcome != MuzzleVelocityOutcome::Computed)
        return withNote("no finite velocity reaches the target at this angle");
    Solution s;
    s.texts = report.texts;
    const MuzzleVelocity &f = report.figures;
    return setVacuumArrival(s, f.horizontal, f.vertical, f.flightTime, gravity(p.feet), p.radians) ? s : nonFinite;
}

air::Shot airShotOf(const Problem &p)
{
    air::Shot shot;
    static_cast<TargetProblem &>(shot) = targetOf(p);
    shot.units = p.feet ? drag::Units::Imperial : drag::Units::Metric;
    shot.velocity = p.velocity;
    shot.angle = radiansOf(p.angle, p.radians);
    shot.wind = p.air->wind;
    shot.projectile = p.air->projectile;
    shot.air = p.air->atmosphere;
    return shot;
}

// The figures of a flight that hits, with the air model's formatters.
Solution airSolution(const Problem &p, const air::Flight &flight, double velocity, double angle, std::string answer)
{
    if (flight.arrival == drag::Arrival::NoArrival)
        return withNote("no arrival within the time limit");
    if (flight.arrival == drag::Arrival::InvalidShot)
        return withNote("the shot cannot be flown");
    const air::Figures f = air::figures(flight);
    // Without an apex the shot is highest at one of its ends.
    const double apogee = f.apexHeight ? *f.apexHeight : std::max(p.firing, flight.end.y);
    const std::array<double, 6> all{velocity,       f.timeOfFlight, f.arrivalSpeed,
                                    f.arrivalAngle, apogee,         f.timeToApex.value_or(0)};
    if (!std::all_of(all.begin(), all.end(), [](double x) { return std::isfinite(x); }))
        return nonFinite;
    constexpr auto table = figure_text::Form::Table;
    Solution s;
    s.texts.answer = std::move(answer);
    s.texts.horizontal = figure_text::horizontalVelocity(velocity * std::cos(angle), table);
    s.texts.vertical = figure_text::verticalVelocity(velocity * std::sin(angle), table);
    s.texts.timeToApogee = f.timeToApex ? figure_text::timeToApogee(*f.timeToApex, table) : "NA";
    s.texts.apogee = figure_text::apogee(apogee, table);
    s.texts.flightTime = figure_text::flightTime(f.timeOfFlight, table);
    s.arrivalSpeed = figure_text::arrivalSpeed(f.arrivalSpeed);
    s.arrivalAngle = figure_text::arrivalAngle(-f.arrivalAngle, p.radians);
    return s;
}

std::string missNote(const Problem &p, const drag::HitAngles &hit, const drag::Hit &side, bool low)
{
    switch (side.outcome) {
    case drag::HitOutcome::Found:
        return {};
    case drag::HitOutcome::AboveAngleLimit:
        return "above the angle limit of " + angleText(angles::limit, p);
    case drag::HitOutcome::InvalidShot:
        return "the shot cannot be flown";
    case drag::HitOutcome::NotReachable:
        break;
    }
    if (low && hit.high.outcome == drag::HitOutcome::Found)
        return "no flatter angle hits: even a shot straight down passes above the target";
    if (hit.farthest)
        return "beyond reach: it carries at most " + figure_text::reach(*hit.farthest) + " " + lengthUnit(p) +
               " at the target's height";
    return "beyond reach: it rises no higher than " + figure_text::reach(hit.highest) + " " + lengthUnit(p);
}

std::vector<Solution> airAngles(const Problem &p)
{
    const air::Shot shot = airShotOf(p);
    const drag::HitAngles hit = air::hitAngles(shot);
    std::vector<Solution> out;
    for (const drag::Hit *side : {&hit.low, &hit.high}) {
        const std::optional<air::Flight> flight = air::flyHit(shot, &air::Shot::angle, *side);
        out.push_back(flight ? airSolution(p, *flight, shot.velocity, side->value,
                                           figure_text::angle(side->value, p.radians, figure_text::Form::Table))
                             : withNote(missNote(p, hit, *side, side == &hit.low)));
    }
    return out;
}

Solution airVelocity(const Problem &p)
{
    const air::Shot shot = airShotOf(p);
    const drag::HitVelocity hit = air::hitVelocity(shot);
    if (const std::optional<air::Flight> flight = air::flyHit(shot, &air::Shot::velocity, hit.hit))
        return airSolution(p, *flight, hit.hit.value, shot.angle,
                           figure_text::muzzleVelocity(hit.hit.value, figure_text::Form::Table));
    if (hit.hit.outcome == drag::HitOutcome::InvalidShot)
        return withNote("the shot cannot be flown");
    if (hit.searchedUpTo > 0)
        return withNote("no velocity up to " + figure_text::muzzleVelocity(hit.searchedUpTo, figure_text::Form::Table) +
                        " " + speedUnit(p) + " hits the target");
    return withNote("no velocity hits the target");
}

Answer solveWith(const Problem &p, LeastVelocity &least)
{
    Answer a;
    const std::size_t count = p.question == Question::Angles ? 2 : 1;
    if (!finiteProblem(p) || !(p.distance > 0)) {
        const std::string note = finiteProblem(p) ? "the horizontal distance to the target must be greater than 0"
                                                  : "the problem is not finite";
        a.vacuum.assign(count, withNote(note));
        if (p.air)
            a.air = a.vacuum;
        a.reachable = false;
        return a;
    }
    if (p.question == Question::Angles)
        a.vacuum = vacuumAngles(p, least, a.reachable);
    else
        a.vacuum = {vacuumVelocity(p)};
    // A tail wind can carry a shot where the vacuum one cannot go: air is asked on its own.
    if (p.air)
        a.air = p.question == Question::Angles ? airAngles(p) : std::vector<Solution>{airVelocity(p)};
    return a;
}

void setVaried(Problem &p, Varied varied, double value)
{
    switch (varied) {
    case Varied::Distance:
        p.distance = value;
        break;
    case Varied::Velocity:
        p.velocity = value;
        break;
    case Varied::Angle:
        p.angle = value;
        break;
    }
}

void addNotes(std::vector<std::string> &notes, const std::vector<Solution> &solutions, const std::string &air)
{
    const bool same = !solutions.empty() && std::all_of(solutions.begin(), solutions.end(), [&](const Solution &s) {
        return !s.found() && s.note == solutions.front().note;
    });
    if (same) {
        notes.push_back(air.empty() ? solutions.front().note : air + ": " + solutions.front().note);
        return;
    }
    for (std::size_t i = 0; i < solutions.size(); ++i) {
        if (solutions[i].found())
            continue;
        std::string note = air.empty() ? std::string() : air + ", ";
        note += "solution " + std::to_string(i + 1) + ": ";
        note += solutions[i].note;
        notes.push_back(std::move(note));
    }
}

} // namespace

double gravity(bool feet)
{
    return feet ? units::imperialGravity : units::metricGravity;
}

double radiansOf(double angle, bool radians)
{
    return radians ? angle : (angle * 3.14159) / 180;
}

std::string lengthUnit(const Problem &p)
{
    return p.feet ? "ft" : "m";
}

std::string speedUnit(const Problem &p)
{
    return p.feet ? "ft/s" : "m/s";
}

std::string angleUnit(const Problem &p)
{
    return p.radians ? "radians" : "degrees";
}

std::string leastVelocityText(const Problem &problem)
{
    LeastVelocity least;
    return least.text(targetOf(problem));
}

Answer solve(const Problem &problem)
{
    LeastVelocity least;
    return solveWith(problem, least);
}

StepValues stepValues(const Steps &s, std::size_t limit)
{
    StepValues out;
    if (!std::isfinite(s.from) || !std::isfinite(s.to) || !std::isfinite(s.step))
        return out;
    if (s.step == 0) {
        out.outcome = StepsOutcome::ZeroStep;
        return out;
    }
    const double span = (s.to - s.from) / s.step;
    if (span < 0) {
        out.outcome = StepsOutcome::AwayFromLast;
        return out;
    }
    if (std::fabs(s.step) < 1e-9 * std::max(std::fabs(s.from), std::fabs(s.to))) {
        out.outcome = StepsOutcome::TooFine;
        return out;
    }
    // A step that lands within a millionth of a step of the last value lands on it.
    const double whole = std::floor(span + 1e-6);
    if (!(whole + 1 <= static_cast<double>(limit))) {
        out.outcome = StepsOutcome::TooMany;
        return out;
    }
    const auto count = static_cast<std::size_t>(whole) + 1;
    out.values.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        out.values.push_back(s.from + static_cast<double>(i) * s.step);
    if (std::fabs(out.values.back() - s.to) <= 1e-6 * std::fabs(s.step))
        out.values.back() = s.to;
    out.outcome = StepsOutcome::Valid;
    return out;
}

std::size_t rowLimit(const Problem &problem)
{
    return problem.air ? maxAirRows : maxRows;
}

std::vector<Column> tableColumns(const Problem &p, Varied varied)
{
    std::vector<Column> columns;
    switch (varied) {
    case Varied::Distance:
        columns.push_back({"distance", "distance", lengthUnit(p)});
        break;
    case Varied::Velocity:
        columns.push_back({"velocity", "muzzle velocity", speedUnit(p)});
        break;
    case Varied::Angle:
        columns.push_back({"angle", "angle", angleUnit(p)});
        break;
    }
    const bool angles = p.question == Question::Angles;
    const auto solutionColumns = [&](std::string_view keyPrefix, std::string_view titlePrefix) {
        for (int i = 1; i <= (angles ? 2 : 1); ++i) {
            const auto add = [&](std::string_view key, std::string_view title, const std::string &unit) {
                Column c{std::string(keyPrefix), std::string(titlePrefix), unit};
                c.key += key;
                c.title += title;
                if (angles) {
                    c.key += "_" + std::to_string(i);
                    c.title += " " + std::to_string(i);
                }
                columns.push_back(std::move(c));
            };
            if (angles)
                add("angle", "angle", angleUnit(p));
            else
                add("velocity", "muzzle velocity", speedUnit(p));
            add("time_of_flight", "time of flight", "s");
            add("apogee", "apogee", lengthUnit(p));
            add("arrival_angle", "arrival angle", angleUnit(p));
            add("arrival_speed", "arrival speed", speedUnit(p));
        }
    };
    solutionColumns("", "");
    if (p.air)
        solutionColumns("air_", "air ");
    columns.push_back({"note", "note", ""});
    return columns;
}

std::vector<std::string> tableCells(const Problem &p, const Row &row)
{
    std::vector<std::string> cells{conv::generalText(row.value)};
    const std::size_t count = p.question == Question::Angles ? 2 : 1;
    const auto add = [&](const std::vector<Solution> &solutions) {
        for (std::size_t i = 0; i < count; ++i) {
            const Solution none;
            const Solution &s = i < solutions.size() ? solutions[i] : none;
            for (const std::string *cell :
                 {&s.texts.answer, &s.texts.flightTime, &s.texts.apogee, &s.arrivalAngle, &s.arrivalSpeed})
                cells.push_back(*cell);
        }
    };
    add(row.answer.vacuum);
    if (p.air)
        add(row.answer.air);
    cells.push_back(rowNote(row.answer));
    return cells;
}

std::string rowNote(const Answer &answer)
{
    std::vector<std::string> notes;
    addNotes(notes, answer.vacuum, "");
    addNotes(notes, answer.air, "with air");
    std::string text;
    for (const std::string &note : notes)
        text += (text.empty() ? "" : "; ") + note;
    return text;
}

std::vector<Row> firingTable(const Problem &problem, Varied varied, const std::vector<double> &values)
{
    LeastVelocity least;
    std::vector<Row> rows;
    rows.reserve(values.size());
    for (const double value : values) {
        Problem p = problem;
        setVaried(p, varied, value);
        rows.push_back({value, solveWith(p, least)});
    }
    return rows;
}

} // namespace firing
