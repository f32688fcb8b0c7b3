#include "screens/flight/flight_results.h"

#include "model/conversions.h"
#include "model/figure_text.h"
#include "toolkit/controls.h"

#include <cmath>

namespace flight {

namespace {

constexpr auto tableForm = figure_text::Form::Table;

using toolkit::qs;

// Above 89.9 degrees the screens take no angle, and neither does the search.
constexpr double angleLimit = 282.428941 / 180;

// Within this of the target a flight counts as a hit: the figures show one decimal.
constexpr double hitMargin = 0.05;

QString speedUnit(const PlotProblem &p)
{
    return p.distanceUnit + QStringLiteral("/Sec");
}

// Nothing non-finite reaches a cell: it stays empty.
QString cell(double value, std::string (*format)(double))
{
    return std::isfinite(value) ? qs(format(value)) : QString();
}

// A figure the result screens show too, in its table form.
QString cell(double value, std::string (*format)(double, figure_text::Form))
{
    return std::isfinite(value) ? qs(format(value, tableForm)) : QString();
}

QString angleCell(double radians, const PlotQuestion &q)
{
    return std::isfinite(radians) ? qs(figure_text::angle(radians, q.radians, tableForm)) : QString();
}

QString arrivalAngleCell(double radians, const PlotQuestion &q)
{
    return std::isfinite(radians) ? qs(figure_text::arrivalAngle(radians, q.radians)) : QString();
}

// As the angle screen's box shows a chosen angle.
QString givenAngle(double radians, const PlotQuestion &q)
{
    return qs(q.radians ? conv::formatPattern(radians, "#0.0000")
                        : conv::formatPattern((radians * 180) / 3.14159, "#0.000"));
}

QString arrivalText(const drag::Flight &f)
{
    switch (f.arrival) {
    case drag::Arrival::AtDistance:
        return std::abs(f.miss) < hitMargin ? QStringLiteral("hits the target")
               : f.miss > 0                 ? QStringLiteral("passes above the target")
                                            : QStringLiteral("passes below the target");
    case drag::Arrival::ShortAtHeight:
        return f.shortBy < hitMargin ? QStringLiteral("hits the target") : QStringLiteral("falls short");
    case drag::Arrival::BelowTargetHeight:
        return QStringLiteral("never rises to the target's height");
    case drag::Arrival::NoArrival:
        return QStringLiteral("no arrival within the time limit");
    case drag::Arrival::InvalidShot:
        break;
    }
    return {};
}

bool arrived(const drag::Flight &f)
{
    return f.arrival != drag::Arrival::NoArrival && f.arrival != drag::Arrival::InvalidShot;
}

double arrivalSpeed(const drag::Flight &f)
{
    return std::hypot(f.end.vx, f.end.vy);
}

// Below the horizontal, as a falling shot's angle is read.
double arrivalAngle(const drag::Flight &f)
{
    return std::atan2(-f.end.vy, f.end.vx);
}

// One row per figure of a set of flights, in the columns of their solutions.
class Rows
{
public:
    Rows(Table &table, std::size_t columns) : m_table(table), m_columns(columns) {}

    template <class Cell>
    void add(const QString &figure, const QString &unit, Cell &&cellOf)
    {
        Row row{figure, {}, unit};
        bool any = false;
        for (std::size_t i = 0; i < m_columns; ++i) {
            row.cells << cellOf(i);
            any = any || !row.cells.back().isEmpty();
        }
        if (any)
            m_table.rows.push_back(std::move(row));
    }

private:
    Table &m_table;
    std::size_t m_columns;
};

void addVacuumRows(Table &table, const PlotProblem &p, const PlotQuestion &q, const std::vector<PlotSolution> &s)
{
    Rows rows(table, s.size());
    const QString length = p.distanceUnit, speed = speedUnit(p), seconds = QStringLiteral("Seconds");
    if (q.angleGiven) {
        rows.add(QStringLiteral("Angle"), q.angleUnit, [&](std::size_t i) { return givenAngle(s[i].angle, q); });
        rows.add(QStringLiteral("Muzzle velocity"), speed, [&](std::size_t i) { return qs(s[i].texts.answer); });
    } else {
        rows.add(QStringLiteral("Muzzle velocity"), speed,
                 [&](std::size_t i) { return qs(conv::generalText(s[i].velocity)); });
        rows.add(QStringLiteral("Angle"), q.angleUnit, [&](std::size_t i) { return qs(s[i].texts.answer); });
    }
    const auto text = [&](std::string figure_text::Texts::*field) {
        return [&s, field](std::size_t i) { return qs(s[i].texts.*field).trimmed(); };
    };
    rows.add(QStringLiteral("Velocity x - direction"), speed, text(&figure_text::Texts::horizontal));
    rows.add(QStringLiteral("Velocity y - direction"), speed, text(&figure_text::Texts::vertical));
    rows.add(QStringLiteral("Time to apogee"), seconds, text(&figure_text::Texts::timeToApogee));
    rows.add(QStringLiteral("Apogee altitude"), length, text(&figure_text::Texts::apogee));
    rows.add(QStringLiteral("Projectile time of flight"), seconds, text(&figure_text::Texts::flightTime));
}

// The rows of a set of flights, one per column; a column without a flight stays empty.
void addFlightRows(Table &table, const QString &prefix, const PlotProblem &p, const PlotQuestion &q,
                   const std::vector<const drag::Flight *> &flights, bool withArrival)
{
    Rows rows(table, flights.size());
    const auto of = [&](auto figure) {
        return [&flights, figure](std::size_t i) { return flights[i] ? figure(*flights[i]) : QString(); };
    };
    if (withArrival) {
        rows.add(prefix + QStringLiteral("arrival"), QString(),
                 of([](const drag::Flight &f) { return arrivalText(f); }));
        rows.add(prefix + QStringLiteral("height above the target at its distance"), p.distanceUnit,
                 of([](const drag::Flight &f) {
                     return f.arrival == drag::Arrival::AtDistance ? cell(f.miss, figure_text::missDistance)
                                                                   : QString();
                 }));
        rows.add(prefix + QStringLiteral("distance short of the target"), p.distanceUnit, of([](const drag::Flight &f) {
                     const bool short_ =
                         f.arrival == drag::Arrival::ShortAtHeight || f.arrival == drag::Arrival::BelowTargetHeight;
                     return short_ ? cell(f.shortBy, figure_text::missDistance) : QString();
                 }));
    }
    rows.add(prefix + QStringLiteral("time of flight"), QStringLiteral("Seconds"),
             of([](const drag::Flight &f) { return arrived(f) ? cell(f.end.t, figure_text::flightTime) : QString(); }));
    rows.add(prefix + QStringLiteral("apogee"), p.distanceUnit,
             of([](const drag::Flight &f) { return f.apex ? cell(f.apex->y, figure_text::apogee) : QString(); }));
    rows.add(prefix + QStringLiteral("arrival speed"), speedUnit(p), of([](const drag::Flight &f) {
                 return arrived(f) ? cell(arrivalSpeed(f), figure_text::arrivalSpeed) : QString();
             }));
    rows.add(prefix + QStringLiteral("arrival angle"), q.angleUnit,
             of([&q](const drag::Flight &f) { return arrived(f) ? arrivalAngleCell(arrivalAngle(f), q) : QString(); }));
}

QString angleWithUnit(double radians, const PlotQuestion &q)
{
    return angleCell(radians, q) + QLatin1Char(' ') + q.angleUnit;
}

// Why the corrected angles are fewer than the screen's solutions.
QStringList angleNotes(const drag::HitAngles &hit, const PlotProblem &p, const PlotQuestion &q, double velocity,
                       std::size_t columns)
{
    const QString at = QStringLiteral("at %1 %2").arg(qs(conv::generalText(velocity)), speedUnit(p));
    const QString limit = angleWithUnit(angleLimit, q);
    const bool low = hit.low.outcome == drag::HitOutcome::Found, high = hit.high.outcome == drag::HitOutcome::Found;
    if (low && high && columns < 2)
        return {QStringLiteral("The steeper angle that hits with air resistance %1 has no solution column here: %2")
                    .arg(at, angleWithUnit(hit.high.value, q))};
    if (low && high)
        return {};
    if (low)
        return {QStringLiteral("The steeper angle that hits with air resistance %1 lies above %2").arg(at, limit)};
    if (hit.low.outcome == drag::HitOutcome::AboveAngleLimit)
        return {QStringLiteral("The angles that hit with air resistance %1 lie above %2").arg(at, limit)};
    if (hit.farthest)
        return {QStringLiteral("No angle reaches the target with air resistance %1: it carries at most %2 %3 at the "
                               "target's height")
                    .arg(at, qs(figure_text::reach(*hit.farthest)), p.distanceUnit)};
    if (hit.low.outcome == drag::HitOutcome::NotReachable)
        return {QStringLiteral("No angle reaches the target with air resistance %1: it rises no higher than %2 %3")
                    .arg(at, qs(figure_text::reach(hit.highest)), p.distanceUnit)};
    return {QStringLiteral("No angle that hits with air resistance could be found %1").arg(at)};
}

QStringList velocityNotes(const drag::HitVelocity &hit, const PlotProblem &p, const PlotQuestion &q, double angle)
{
    if (hit.hit.outcome == drag::HitOutcome::Found)
        return {};
    const QString at = angleWithUnit(angle, q);
    if (hit.hit.outcome == drag::HitOutcome::NotReachable && hit.searchedUpTo > 0)
        return {QStringLiteral("No muzzle velocity up to %1 %2 hits the target at %3 with air resistance")
                    .arg(qs(figure_text::muzzleVelocity(hit.searchedUpTo, tableForm)), speedUnit(p), at)};
    return {QStringLiteral("No muzzle velocity hits the target at %1 with air resistance").arg(at)};
}

// Where a flight read the drag table or the atmosphere beyond their ends.
QStringList rangeNotes(const AirFigures &air, const std::vector<PlotSolution> &solutions)
{
    QStringList below, above, stratosphere, outside, ball;
    const auto check = [&](const air::Flight &f, const QString &name) {
        if (f.belowTableMach)
            below << name;
        if (f.aboveTableMach)
            above << name;
        if (f.aboveTroposphere)
            stratosphere << name;
        if (f.outsideAtmosphere)
            outside << name;
        if (f.beyondBallData)
            ball << name;
    };
    for (std::size_t i = 0; i < solutions.size(); ++i) {
        const QString solution = QStringLiteral("Solution # %1").arg(solutions[i].number);
        if (i < air.flights.size())
            check(air.flights[i], solution + QStringLiteral(" with air"));
        if (i < air.corrected.size() && air.corrected[i])
            check(*air.corrected[i], QStringLiteral("the corrected shot of ") + solution);
    }
    const QString mach = QStringLiteral("Mach %1");
    QStringList notes;
    if (!above.isEmpty())
        notes << QStringLiteral("Faster than %1, the drag table's highest, its last drag coefficient was held: %2.")
                     .arg(mach.arg(air.highestMach, 0, 'f', 2), above.join(QStringLiteral(", ")));
    if (!below.isEmpty())
        notes << QStringLiteral("Slower than %1, the drag table's lowest, its first drag coefficient was held: %2.")
                     .arg(mach.arg(air.lowestMach, 0, 'f', 2), below.join(QStringLiteral(", ")));
    if (!stratosphere.isEmpty())
        notes << QStringLiteral(
                     "Above 11 km the air is taken as isothermal, as in the standard atmosphere: %1 rose there.")
                     .arg(stratosphere.join(QStringLiteral(", ")));
    if (!outside.isEmpty())
        notes << QStringLiteral("Beyond -5 km and 20 km above sea level the atmosphere's edge values were held: %1.")
                     .arg(outside.join(QStringLiteral(", ")));
    if (!ball.isEmpty())
        notes << QStringLiteral("Beyond the spin and speeds its ball's lift and drag were measured at, their end "
                                "values were held: %1.")
                     .arg(ball.join(QStringLiteral(", ")));
    return notes;
}

} // namespace

QStringList Table::header() const
{
    return QStringList{QStringLiteral("Figure")} + solutions + QStringList{QStringLiteral("Unit")};
}

QList<QStringList> Table::cells() const
{
    QList<QStringList> all{header()};
    for (const Row &row : rows)
        all << (QStringList{row.figure} + row.cells + QStringList{row.unit});
    return all;
}

namespace {

// The drag solver's own shot, its drag factor as the panel's fields give it.
struct PlainAir
{
    TargetProblem target;
    double k = 0;

    air::Flight fly(double velocity, double angle, int samples = 0) const
    {
        air::Flight f;
        static_cast<drag::Flight &>(f) = drag::fly({target, k, velocity, angle}, samples);
        return f;
    }
    drag::HitVelocity hitVelocity(double angle) const { return drag::hitVelocity({target, k, 0, angle}); }
    drag::HitAngles hitAngles(double velocity) const { return drag::hitAngles({target, k, velocity, 0}); }
};

// Any other shot, through the air model.
struct RealAir
{
    air::Shot shot;

    air::Flight fly(double velocity, double angle, int samples = 0) const
    {
        air::Shot s = shot;
        s.velocity = velocity;
        s.angle = angle;
        return air::fly(s, samples);
    }
    drag::HitVelocity hitVelocity(double angle) const
    {
        air::Shot s = shot;
        s.angle = angle;
        return air::hitVelocity(s);
    }
    drag::HitAngles hitAngles(double velocity) const
    {
        air::Shot s = shot;
        s.velocity = velocity;
        return air::hitAngles(s);
    }
};

template <class Air>
void flyEach(AirFigures &air, const Air &model, const PlotQuestion &q, const std::vector<PlotSolution> &solutions,
             int samples)
{
    for (const PlotSolution &s : solutions)
        air.flights.push_back(model.fly(s.velocity, s.angle, samples));
    if (solutions.empty())
        return;
    const PlotSolution &first = solutions.front();
    if (q.angleGiven) {
        air.velocity = model.hitVelocity(first.angle);
        if (air.velocity.hit.outcome == drag::HitOutcome::Found)
            air.corrected[0] = model.fly(air.velocity.hit.value, first.angle);
    } else {
        air.angles = model.hitAngles(first.velocity);
        const std::array<const drag::Hit *, 2> hits{&air.angles.low, &air.angles.high};
        for (std::size_t i = 0; i < hits.size() && i < solutions.size(); ++i)
            if (hits[i]->outcome == drag::HitOutcome::Found)
                air.corrected[i] = model.fly(first.velocity, hits[i]->value);
    }
}

} // namespace

AirFigures flyThroughAir(const PlotProblem &p, const PlotQuestion &q, const std::vector<PlotSolution> &solutions,
                         const AirSetup &setup, int samples)
{
    AirFigures air;
    air.corrected.resize(solutions.size());
    const air::Projectile &projectile = setup.shot.projectile;
    if (const auto table =
            projectile.curve == air::DragCurve::Table ? projectile.table : air::standardTable(projectile.curve)) {
        air.lowestMach = table->lowestMach();
        air.highestMach = table->highestMach();
    }
    const TargetProblem &target = p;
    if (setup.plainFactor) {
        flyEach(air, PlainAir{target, *setup.plainFactor}, q, solutions, samples);
    } else {
        RealAir model{setup.shot};
        static_cast<TargetProblem &>(model.shot) = target;
        flyEach(air, model, q, solutions, samples);
    }
    return air;
}

Table resultTable(const PlotProblem &p, const PlotQuestion &q, const std::vector<PlotSolution> &solutions,
                  const AirFigures *air)
{
    Table table;
    for (const PlotSolution &s : solutions)
        table.solutions << QStringLiteral("Solution # %1").arg(s.number);
    addVacuumRows(table, p, q, solutions);
    if (!air || solutions.empty())
        return table;

    std::vector<const drag::Flight *> flown;
    for (std::size_t i = 0; i < solutions.size(); ++i)
        flown.push_back(i < air->flights.size() ? &air->flights[i] : nullptr);
    addFlightRows(table, QStringLiteral("With air: "), p, q, flown, true);

    Rows corrected(table, solutions.size());
    if (q.angleGiven) {
        corrected.add(QStringLiteral("Corrected velocity"), speedUnit(p), [&](std::size_t i) {
            return i == 0 && air->velocity.hit.outcome == drag::HitOutcome::Found
                       ? cell(air->velocity.hit.value, figure_text::muzzleVelocity)
                       : QString();
        });
        table.notes << velocityNotes(air->velocity, p, q, solutions.front().angle);
    } else {
        const std::array<const drag::Hit *, 2> hits{&air->angles.low, &air->angles.high};
        corrected.add(QStringLiteral("Corrected angle"), q.angleUnit, [&](std::size_t i) {
            return i < hits.size() && hits[i]->outcome == drag::HitOutcome::Found ? angleCell(hits[i]->value, q)
                                                                                  : QString();
        });
        table.notes << angleNotes(air->angles, p, q, solutions.front().velocity, solutions.size());
    }
    std::vector<const drag::Flight *> hitting;
    for (std::size_t i = 0; i < solutions.size(); ++i)
        hitting.push_back(i < air->corrected.size() && air->corrected[i] ? &*air->corrected[i] : nullptr);
    addFlightRows(table, QStringLiteral("Corrected "), p, q, hitting, false);
    table.notes << rangeNotes(*air, solutions);
    return table;
}

QString tabSeparated(const QList<QStringList> &rows)
{
    QString text;
    for (const QStringList &row : rows)
        text += row.join(QLatin1Char('\t')) + QLatin1Char('\n');
    return text;
}

QString csv(const QList<QStringList> &rows)
{
    QString text;
    for (const QStringList &row : rows) {
        QStringList fields;
        for (QString field : row) {
            if (field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"')) ||
                field.contains(QLatin1Char('\n')) || field.contains(QLatin1Char('\r'))) {
                field.replace(QLatin1Char('"'), QStringLiteral("\"\""));
                field = QLatin1Char('"') + field + QLatin1Char('"');
            }
            fields << field;
        }
        text += fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return text;
}

void ResultsModel::setTable(Table table)
{
    beginResetModel();
    m_table = std::move(table);
    endResetModel();
}

int ResultsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_table.rows.size());
}

int ResultsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_table.header().size());
}

QVariant ResultsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Row &row = m_table.rows[std::size_t(index.row())];
    const int last = columnCount() - 1;
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole || role == Qt::ToolTipRole) {
        if (index.column() == 0)
            return row.figure;
        if (index.column() == last)
            return row.unit;
        return row.cells.value(index.column() - 1);
    }
    if (role == Qt::TextAlignmentRole)
        return index.column() == 0 || index.column() == last ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                                             : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return m_table.header().value(section);
}

} // namespace flight
