#include "cli/solve_command.h"

#include "cli/arguments.h"
#include "cli/output.h"
#include "model/conversions.h"
#include "solvers/muzzle_velocity.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace cli {

namespace {

constexpr const char *program = "trajectrix-solve";

// No drag table comes near this; a larger file is not one.
constexpr std::streamsize largestDragTable = 1 << 20;

int fail(std::ostream &err, int status, const std::string &message)
{
    err << program << ": " << message << "\n";
    return status;
}

std::string join(const std::vector<std::string> &parts)
{
    std::string text;
    for (const std::string &part : parts)
        if (!part.empty())
            text += (text.empty() ? "" : "; ") + part;
    return text;
}

// The problem's fixed values: a line for people, and named values for JSON.
void describe(Sheet &sheet, const Arguments &a)
{
    const firing::Problem &p = a.problem;
    const std::string length = firing::lengthUnit(p);
    std::vector<std::pair<firing::Column, std::string>> given;
    if (a.varied != firing::Varied::Distance)
        given.push_back({{"distance", "distance", length}, conv::generalText(p.distance)});
    given.push_back({{"firing_elevation", "firing elevation", length}, conv::generalText(p.firing)});
    given.push_back({{"target_elevation", "target elevation", length}, conv::generalText(p.target)});
    const bool angles = p.question == firing::Question::Angles;
    if (a.command != Command::MinVelocity && a.varied != firing::Varied::Velocity && angles)
        given.push_back({{"velocity", "muzzle velocity", firing::speedUnit(p)}, conv::generalText(p.velocity)});
    if (a.command != Command::MinVelocity && a.varied != firing::Varied::Angle && !angles)
        given.push_back({{"angle", "angle", firing::angleUnit(p)}, conv::generalText(p.angle)});
    given.push_back({{"gravity", "gravity", length + "/s^2"}, gravityText(firing::gravity(p.feet))});
    for (const auto &[column, value] : given) {
        sheet.heading += (sheet.heading.empty() ? "" : ", ") + column.title + " " + value + " " + column.unit;
        sheet.given.push_back(column);
        sheet.givenValues.push_back(value);
    }
    if (p.air) {
        sheet.heading += "\nwith air: " + a.airLabel;
        sheet.given.push_back({"air", "air", ""});
        sheet.givenValues.push_back(a.airLabel);
    }
}

// One row per solution with every figure the result screen shows, and the arrival.
void addSolutionColumns(Sheet &sheet, const firing::Problem &p, const std::string &key, const std::string &title)
{
    const std::string speed = firing::speedUnit(p);
    const std::string angle = firing::angleUnit(p);
    if (p.question == firing::Question::Angles)
        sheet.columns.push_back({key + "angle", title + "angle", angle});
    else
        sheet.columns.push_back({key + "velocity", title + "muzzle velocity", speed});
    sheet.columns.push_back({key + "velocity_x", title + "velocity x - direction", speed});
    sheet.columns.push_back({key + "velocity_y", title + "velocity y - direction", speed});
    sheet.columns.push_back({key + "time_to_apogee", title + "time to apogee", "s"});
    sheet.columns.push_back({key + "apogee", title + "apogee altitude", firing::lengthUnit(p)});
    sheet.columns.push_back({key + "time_of_flight", title + "time of flight", "s"});
    sheet.columns.push_back({key + "arrival_angle", title + "arrival angle", angle});
    sheet.columns.push_back({key + "arrival_speed", title + "arrival speed", speed});
}

void addSolutionCells(std::vector<std::string> &row, const firing::Solution &s)
{
    for (const std::string *text : s.texts.rows())
        row.push_back(*text);
    row.push_back(s.arrivalAngle);
    row.push_back(s.arrivalSpeed);
}

Sheet answerSheet(const Arguments &a, const firing::Answer &answer)
{
    const firing::Problem &p = a.problem;
    Sheet sheet;
    sheet.command = p.question == firing::Question::Angles ? "angles" : "velocity";
    sheet.figuresDown = true;
    describe(sheet, a);
    sheet.columns.push_back({"solution", "solution", ""});
    addSolutionColumns(sheet, p, "", "");
    if (p.air)
        addSolutionColumns(sheet, p, "air_", "with air: ");
    sheet.columns.push_back({"note", "note", ""});
    for (std::size_t i = 0; i < answer.vacuum.size(); ++i) {
        std::vector<std::string> row{std::to_string(i + 1)};
        addSolutionCells(row, answer.vacuum[i]);
        std::vector<std::string> notes{answer.vacuum[i].note};
        if (p.air) {
            const firing::Solution &air = answer.air[i];
            addSolutionCells(row, air);
            notes.push_back(air.found() ? std::string() : "with air: " + air.note);
        }
        row.push_back(join(notes));
        sheet.rows.push_back(row);
    }
    return sheet;
}

bool anyFound(const firing::Answer &answer)
{
    const auto found = [](const firing::Solution &s) { return s.found(); };
    return std::any_of(answer.vacuum.begin(), answer.vacuum.end(), found) ||
           std::any_of(answer.air.begin(), answer.air.end(), found);
}

int write(const Sheet &sheet, Format format, std::ostream &out, std::ostream &err)
{
    std::ostringstream text;
    switch (format) {
    case Format::Text:
        writeText(text, sheet);
        break;
    case Format::Csv:
        writeCsv(text, sheet);
        break;
    case Format::Json:
        writeJson(text, sheet);
        break;
    }
    out << text.str() << std::flush;
    if (!out)
        return fail(err, noSolution, "the result could not be written");
    return solved;
}

std::optional<std::string> readFile(const std::string &path, std::string &text)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::string("cannot be read: ") + std::strerror(errno);
    std::string buffer(static_cast<std::size_t>(largestDragTable) + 1, '\0');
    file.read(buffer.data(), largestDragTable + 1);
    if (file.bad())
        return std::string("cannot be read: ") + std::strerror(errno);
    if (file.gcount() > largestDragTable)
        return std::string("is larger than a drag table can be (1 MiB)");
    buffer.resize(static_cast<std::size_t>(file.gcount()));
    text = std::move(buffer);
    return std::nullopt;
}

int solveOne(const Arguments &a, std::ostream &out, std::ostream &err)
{
    const firing::Problem &p = a.problem;
    const firing::Answer answer = firing::solve(p);
    if (!answer.reachable)
        return fail(err, noSolution,
                    "--velocity " + conv::generalText(p.velocity) + ": below the least velocity that reaches the " +
                        "target, " + firing::leastVelocityText(p) + " " + firing::speedUnit(p));
    firing::Answer vacuum = answer;
    vacuum.air.clear();
    if (!anyFound(vacuum)) {
        const std::string note = firing::rowNote(vacuum);
        if (p.question == firing::Question::Velocity)
            return fail(err, noSolution, "--angle " + conv::generalText(p.angle) + ": " + note);
        return fail(err, noSolution, "angles: " + note);
    }
    return write(answerSheet(a, answer), a.format, out, err);
}

int minVelocity(const Arguments &a, std::ostream &out, std::ostream &err)
{
    Sheet sheet;
    sheet.command = "min-velocity";
    describe(sheet, a);
    sheet.columns.push_back({"least_velocity", "least velocity", firing::speedUnit(a.problem)});
    sheet.rows.push_back({firing::leastVelocityText(a.problem)});
    return write(sheet, a.format, out, err);
}

int table(const Arguments &a, std::ostream &out, std::ostream &err)
{
    const std::vector<firing::Row> rows = firing::firingTable(a.problem, *a.varied, a.values);
    if (std::none_of(rows.begin(), rows.end(), [](const firing::Row &r) { return anyFound(r.answer); }))
        return fail(err, noSolution,
                    "table: no row has a solution; the first: " + firing::rowNote(rows.front().answer));
    Sheet sheet;
    sheet.command = "table";
    describe(sheet, a);
    sheet.columns = firing::tableColumns(a.problem, *a.varied);
    for (const firing::Row &row : rows)
        sheet.rows.push_back(firing::tableCells(a.problem, row));
    return write(sheet, a.format, out, err);
}

} // namespace

int solveCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    Parsed parsed = parse(args);
    if (const auto *e = std::get_if<UsageError>(&parsed))
        return fail(err, usageError, e->message);
    Arguments &a = std::get<Arguments>(parsed);
    switch (a.command) {
    case Command::Help:
        out << usageText();
        return solved;
    case Command::Version:
        out << program << " " << TRAJECTRIX_VERSION << "\n";
        return solved;
    default:
        break;
    }
    if (!a.dragTableFile.empty()) {
        std::string text;
        if (const auto why = readFile(a.dragTableFile, text))
            return fail(err, usageError, "--drag-table " + a.dragTableFile + ": " + *why);
        if (const auto e = useDragTable(a, text))
            return fail(err, usageError, e->message);
    }
    switch (a.command) {
    case Command::Angles:
    case Command::Velocity:
        return solveOne(a, out, err);
    case Command::MinVelocity:
        return minVelocity(a, out, err);
    case Command::Table:
        return table(a, out, err);
    case Command::Help:
    case Command::Version:
        break;
    }
    return solved;
}

} // namespace cli
