#pragma once

// What the flight window's results table holds, apart from any widget: one row per
// figure, one cell per solution, the unit in a column of its own. The table view,
// Copy, Save as CSV, the printed page and the result screen's Copy Results all read
// these rows, so each shows the same figures. Notes (why a figure is missing) are
// kept apart: they are said under the table and never become rows.

#include "screens/flight/plot_geometry.h"
#include "solvers/air_model.h"
#include "solvers/drag.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace flight {

struct Row
{
    QString figure;
    QStringList cells; // one per solution; empty where the figure does not apply
    QString unit;
    bool operator==(const Row &) const = default;
};

struct Table
{
    QStringList solutions; // "Solution # 1", ...
    std::vector<Row> rows;
    QStringList notes;

    // "Figure", the solutions, "Unit".
    QStringList header() const;
    // The header, then each row, as lists of cells.
    QList<QStringList> cells() const;
};

// What the shots fly through, as the flight window's panel sets it: the air model's
// shot (all but the problem and its unknown) and, for the drag solver's own shot (one
// drag coefficient, one density, no wind), its drag factor per unit of length as the
// panel's fields give it, so those figures stay what they have always been.
struct AirSetup
{
    air::Shot shot;
    std::optional<double> plainFactor;
};

// What the air does to the screen's solutions: each solution flown through it, and
// the angles (or the velocity) that still hit the target, each with its own flight.
struct AirFigures
{
    std::vector<air::Flight> flights;                  // per solution, same angle and velocity
    drag::HitAngles angles;                            // asked for when the screen gives a velocity
    drag::HitVelocity velocity;                        // asked for when the screen gives an angle
    std::vector<std::optional<air::Flight>> corrected; // per solution: the flight that hits
    double lowestMach = 0, highestMach = 0;            // the drag table's, when the law has one
};

// Flies the solutions and searches what hits.
AirFigures flyThroughAir(const PlotProblem &p, const PlotQuestion &q, const std::vector<PlotSolution> &solutions,
                         const AirSetup &setup, int samples);

// The vacuum rows from the screen's own texts, then, with `air`, the rows of the
// flights through the air and of the corrected shots, and the notes that say why a
// corrected figure is missing.
Table resultTable(const PlotProblem &p, const PlotQuestion &q, const std::vector<PlotSolution> &solutions,
                  const AirFigures *air);

// One line per row, cells separated by tabs.
QString tabSeparated(const QList<QStringList> &rows);
// RFC 4180: CRLF line ends, fields with a comma, quote or line break quoted, quotes doubled.
QString csv(const QList<QStringList> &rows);

// The table for views: figures down, solutions across, units last.
class ResultsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    void setTable(Table table);
    const Table &table() const { return m_table; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    Table m_table;
};

} // namespace flight
