#include "cli/arguments.h"

#include "model/conversions.h"
#include "model/typed_value.h"
#include "solvers/air_inputs.h"
#include "solvers/drag_inputs.h"
#include "solvers/drag_law.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

namespace cli {

namespace {

struct Option
{
    std::string_view name;
    std::string_view value; // empty for a flag
    std::string_view help;
};

constexpr std::array options{
    Option{"--distance", "X", "horizontal distance to the target, above 0 up to 32000 (a range in table)"},
    Option{"--firing", "X", "firing point elevation, -10000 to 20000 (default 0)"},
    Option{"--target", "X", "target elevation, -10000 to 20000 (default 0)"},
    Option{"--velocity", "X", "muzzle velocity, up to 2000 m/s or 3000 ft/s (a range in table)"},
    Option{"--angle", "X", "elevation angle, -90 to 90 degrees or -1.5708 to 1.5708 radians (a range in table)"},
    Option{"--feet", "", "lengths in feet (default metres); the air fields in lb, in, ft, F, inHg, ft/s"},
    Option{"--radians", "", "angles in radians (default degrees)"},
    Option{"--format", "F", "text (default), csv or json"},
    Option{"--projectile", "NAME", "a preset projectile, flown through air (see below)"},
    Option{"--mass", "X", "projectile mass: kg, or lb with --feet"},
    Option{"--diameter", "X", "projectile diameter: mm, or in with --feet"},
    Option{"--drag-coefficient", "X", "drag coefficient, 0 to 3, for the constant drag law"},
    Option{"--drag-law", "LAW", "constant, sphere, g1, g7 or table"},
    Option{"--ballistic-coefficient", "X", "for g1 and g7, in lb/in^2, 0.01 to 2"},
    Option{"--drag-table", "FILE", "CSV of Mach and Cd rows, for the table drag law"},
    Option{"--altitude", "X", "firing point above sea level: m, or ft (default 0)"},
    Option{"--temperature", "X", "measured at the firing point: C, or F"},
    Option{"--pressure", "X", "measured at the firing point: hPa, or inHg"},
    Option{"--humidity", "X", "measured relative humidity, 0 to 100 %"},
    Option{"--constant-density", "", "the firing point's air along the whole flight"},
    Option{"--wind", "X", "along the line of fire, a tail wind positive: m/s, or ft/s"},
    Option{"--help", "", "this text"},
    Option{"--version", "", "the program's version"},
};

const Option *findOption(std::string_view name)
{
    const auto it = std::find_if(options.begin(), options.end(), [&](const Option &o) { return o.name == name; });
    return it == options.end() ? nullptr : &*it;
}

std::string lower(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
    return out;
}

UsageError error(std::string_view option, std::string_view value, std::string_view why)
{
    std::string text(option);
    if (!value.empty())
        text += " " + std::string(value);
    return {text + ": " + std::string(why)};
}

// The options as given, by name; flags hold an empty text.
struct Given
{
    std::optional<std::string> command;
    std::map<std::string, std::string, std::less<>> values;

    bool has(std::string_view name) const { return values.find(name) != values.end(); }
    const std::string &at(std::string_view name) const { return values.find(name)->second; }
};

std::variant<Given, UsageError> collect(const std::vector<std::string> &args)
{
    Given given;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (arg.empty())
            return UsageError{"empty argument: a command or an option was expected"};
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            if (given.command)
                return error(arg, "", "unexpected argument: one command only (see --help)");
            given.command = arg;
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const Option *option = findOption(name);
        if (!option)
            return error(name, "", "unknown option (see --help)");
        std::string value;
        if (option->value.empty()) {
            if (equals != std::string::npos)
                return error(name, "", "takes no value");
        } else if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            return error(name, "", "needs a value");
        }
        if (!option->value.empty() && value.empty())
            return error(name, "", "needs a value");
        if (!given.values.emplace(name, value).second)
            return error(name, "", "given twice");
    }
    return given;
}

// A number within a field's range, read as the screens and the air fields read typed values.
std::variant<double, UsageError> number(std::string_view option, std::string_view text, const drag::FieldRange &range)
{
    const drag::Entry entry = drag::readEntry(text, range);
    if (entry.outcome != drag::EntryOutcome::Valid)
        return error(option, text, drag::entryNote(entry, range));
    return entry.value;
}

// What must lie above 0, and how the screens say so.
std::string_view positiveName(std::string_view option)
{
    if (option == "--distance")
        return "the horizontal distance to the target";
    if (option == "--velocity")
        return "the muzzle velocity";
    return {};
}

struct Quantity
{
    std::string_view option;
    drag::FieldRange range;
};

std::variant<double, UsageError> oneNumber(const Quantity &q, std::string_view text)
{
    auto read = number(q.option, text, q.range);
    if (const double *v = std::get_if<double>(&read); v && !(*v > 0) && !positiveName(q.option).empty())
        return error(q.option, text, std::string(positiveName(q.option)) + " must be greater than 0");
    return read;
}

// from:to:step within the quantity's range, at most `limit` values.
std::variant<std::vector<double>, UsageError> steppedValues(const Quantity &q, const std::string &text,
                                                            std::size_t limit)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t colon = text.find(':');; colon = text.find(':', start)) {
        parts.push_back(text.substr(start, colon - start));
        if (colon == std::string::npos)
            break;
        start = colon + 1;
    }
    if (parts.size() != 3)
        return error(q.option, text, "a range is from:to:step");
    std::array<double, 3> ends{};
    for (std::size_t i = 0; i < 2; ++i) {
        auto v = oneNumber(q, parts[i]);
        if (auto *e = std::get_if<UsageError>(&v))
            return error(q.option, text, (i == 0 ? "from " : "to ") + e->message);
        ends[i] = std::get<double>(v);
    }
    const typed::Parsed step = typed::parseNumber(parts[2]);
    if (step.outcome != typed::Outcome::Exact)
        return error(q.option, text, "the step " + parts[2] + " is not one finite number");
    ends[2] = step.number;

    const firing::StepValues steps = firing::stepValues({ends[0], ends[1], ends[2]}, limit);
    switch (steps.outcome) {
    case firing::StepsOutcome::Valid:
        return steps.values;
    case firing::StepsOutcome::ZeroStep:
        return error(q.option, text, "the step must not be 0");
    case firing::StepsOutcome::AwayFromLast:
        return error(q.option, text, "a step of " + parts[2] + " leads away from " + parts[1]);
    case firing::StepsOutcome::TooFine:
        return error(q.option, text, "the step is too fine for the values: rows would repeat");
    case firing::StepsOutcome::TooMany: {
        const double count = std::floor((ends[1] - ends[0]) / ends[2]) + 1;
        return error(q.option, text,
                     conv::generalText(count) + " rows, more than " + std::to_string(limit) + " in one table");
    }
    case firing::StepsOutcome::NotFinite:
        break;
    }
    return error(q.option, text, "not a range of finite numbers");
}

std::variant<const air::Preset *, UsageError> preset(const std::string &name)
{
    const std::string wanted = lower(name);
    std::vector<const air::Preset *> matches;
    for (const air::Preset &p : air::presets()) {
        const std::string candidate = lower(p.name);
        if (candidate == wanted)
            return &p;
        if (candidate.compare(0, wanted.size(), wanted) == 0)
            matches.push_back(&p);
    }
    if (matches.size() == 1)
        return matches.front();
    std::string names;
    for (const air::Preset *p : matches.empty() ? std::vector<const air::Preset *>{} : matches)
        names += (names.empty() ? "" : ", ") + std::string(p->name);
    if (!matches.empty())
        return error("--projectile", name, "matches several: " + names);
    for (const air::Preset &p : air::presets())
        names += (names.empty() ? "" : ", ") + std::string(p.name);
    return error("--projectile", name, "unknown projectile; one of: " + names);
}

constexpr std::array bodyOptions{
    "--mass", "--diameter", "--drag-coefficient", "--drag-law", "--ballistic-coefficient", "--drag-table"};
// In the order of the atmosphere's fields, the wind last.
constexpr std::array airOptions{"--altitude", "--temperature",      "--pressure",
                                "--humidity", "--constant-density", "--wind"};

// The drag law's fields: which it needs, and which do not apply to it.
struct Law
{
    std::string_view name;
    air::DragCurve curve;
    std::array<bool, 5> needs; // mass, diameter, drag coefficient, ballistic coefficient, drag table
};

constexpr std::array laws{
    Law{"constant", air::DragCurve::Constant, {true, true, true, false, false}},
    Law{"sphere", air::DragCurve::Sphere, {true, true, false, false, false}},
    Law{"g1", air::DragCurve::G1, {false, false, false, true, false}},
    Law{"g7", air::DragCurve::G7, {false, false, false, true, false}},
    Law{"table", air::DragCurve::Table, {true, true, false, false, true}},
};
constexpr std::array lawFields{"--mass", "--diameter", "--drag-coefficient", "--ballistic-coefficient", "--drag-table"};

// A projectile this light for its size drifts rather than flies: its flights would crawl.
std::string tooLight(const air::Projectile &p, drag::Units units)
{
    if (p.curve == air::DragCurve::G1 || p.curve == air::DragCurve::G7)
        return {};
    std::shared_ptr<const air::DragTable> table =
        p.curve == air::DragCurve::Sphere ? air::standardTable(air::DragCurve::Sphere) : p.table;
    const double slowDrag = p.curve == air::DragCurve::Constant ? p.dragCoefficient : table ? table->at(0) : 0;
    const drag::Projectile metric{p.mass, p.diameter * 1000, slowDrag, drag::seaLevelDensity};
    return drag::tooLightNote(drag::inUnits(metric, units), units);
}

std::variant<air::Projectile, UsageError> customProjectile(const Given &given, drag::Units units)
{
    std::string lawName = given.has("--drag-law")                ? lower(given.at("--drag-law"))
                          : given.has("--drag-table")            ? "table"
                          : given.has("--ballistic-coefficient") ? ""
                                                                 : "constant";
    if (lawName.empty())
        return error("--ballistic-coefficient", given.at("--ballistic-coefficient"), "needs --drag-law g1 or g7");
    const auto law = std::find_if(laws.begin(), laws.end(), [&](const Law &l) { return l.name == lawName; });
    if (law == laws.end())
        return error("--drag-law", given.at("--drag-law"), "unknown drag law; one of constant, sphere, g1, g7, table");
    // A law read from the fields names the field that brought it in.
    const char *named = "--drag-law";
    if (!given.has(named))
        named = *std::find_if(lawFields.begin(), lawFields.end(), [&](const char *f) { return given.has(f); });
    for (std::size_t i = 0; i < lawFields.size(); ++i) {
        if (law->needs[i] && !given.has(lawFields[i]))
            return error(named, given.at(named),
                         std::string("needs ") + lawFields[i] + " for the " + std::string(law->name) + " drag law");
        if (!law->needs[i] && given.has(lawFields[i]))
            return error(lawFields[i], "", std::string("does not apply to --drag-law ") + std::string(law->name));
    }

    air::Projectile p;
    p.curve = law->curve;
    drag::Projectile shown;
    const std::array<std::pair<const char *, double *>, 3> fields{
        {{"--mass", &shown.mass}, {"--diameter", &shown.diameter}, {"--drag-coefficient", &shown.dragCoefficient}}};
    const std::array ranges{drag::Field::Mass, drag::Field::Diameter, drag::Field::DragCoefficient};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (!given.has(fields[i].first))
            continue;
        auto v = number(fields[i].first, given.at(fields[i].first), drag::fieldRange(ranges[i], units));
        if (auto *e = std::get_if<UsageError>(&v))
            return *e;
        *fields[i].second = std::get<double>(v);
    }
    if (law->needs[0]) {
        const air::Projectile body = air::fromFields(shown, units);
        p.mass = body.mass;
        p.diameter = body.diameter;
        p.dragCoefficient = body.dragCoefficient;
    }
    if (law->needs[3]) {
        const drag::FieldRange range = air::fieldRange(air::Field::BallisticCoefficient, drag::Units::Imperial);
        auto v = number("--ballistic-coefficient", given.at("--ballistic-coefficient"), range);
        if (auto *e = std::get_if<UsageError>(&v))
            return *e;
        p.ballisticCoefficient =
            air::toModel(air::Field::BallisticCoefficient, std::get<double>(v), drag::Units::Imperial);
    }
    if (const std::string note = tooLight(p, units); !note.empty())
        return error("--mass", given.at("--mass"), note);
    return p;
}

struct Air
{
    air::Atmosphere atmosphere;
    double wind = 0; // in the problem's own units, as a Shot takes it
};

std::variant<Air, UsageError> atmosphere(const Given &given, drag::Units units, std::string &label)
{
    std::array<std::optional<double>, 6> shown; // altitude, temperature, pressure, humidity, -, wind
    const std::array fields{air::Field::Altitude, air::Field::Temperature, air::Field::Pressure,
                            air::Field::Humidity, air::Field::Wind,        air::Field::Wind};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const char *name = airOptions[i];
        if (i == 4 || !given.has(name))
            continue;
        auto v = number(name, given.at(name), air::fieldRange(fields[i], units));
        if (auto *e = std::get_if<UsageError>(&v))
            return *e;
        shown[i] = std::get<double>(v);
    }
    Air out;
    out.wind = shown[5].value_or(0);
    air::Atmosphere &a = out.atmosphere;
    const bool measured = shown[1] || shown[2] || shown[3];
    const bool constant = given.has("--constant-density");
    if (!measured && !shown[0] && constant) {
        a.model = air::AirModel::ConstantDensity;
        label = "air of one density, 1.225 kg/m^3";
        return out;
    }
    a.model = measured ? air::AirModel::Measured : air::AirModel::Standard;
    a.altitude = shown[0] ? air::toModel(air::Field::Altitude, *shown[0], units) : 0;
    a.densityWithHeight = !constant;
    // What is not measured is the standard atmosphere's at the firing point.
    const air::AirState standard = air::standardAir(a.altitude);
    a.temperature = shown[1] ? air::toModel(air::Field::Temperature, *shown[1], units) : standard.temperature;
    a.pressure = shown[2] ? air::toModel(air::Field::Pressure, *shown[2], units) : standard.pressure;
    a.humidity = shown[3] ? air::toModel(air::Field::Humidity, *shown[3], units) : 0;
    const std::string at = conv::generalText(shown[0].value_or(0)) + (units == drag::Units::Metric ? " m" : " ft");
    label = (measured ? "measured air at " : "standard air at ") + at +
            (constant ? ", the same along the flight" : ", changing with height");
    return out;
}

std::variant<firing::AirShot, UsageError> airShot(const Given &given, drag::Units units, std::string &label)
{
    const auto givenOf = [&](const auto &names) {
        return std::find_if(names.begin(), names.end(), [&](const char *o) { return given.has(o); });
    };
    const bool custom = givenOf(bodyOptions) != bodyOptions.end();
    if (given.has("--projectile") && custom)
        return error(*givenOf(bodyOptions), "", "cannot be combined with --projectile");
    firing::AirShot shot;
    std::string projectileLabel;
    if (given.has("--projectile")) {
        auto p = preset(given.at("--projectile"));
        if (auto *e = std::get_if<UsageError>(&p))
            return *e;
        shot.projectile = std::get<const air::Preset *>(p)->projectile;
        projectileLabel = std::get<const air::Preset *>(p)->name;
    } else if (custom) {
        auto p = customProjectile(given, units);
        if (auto *e = std::get_if<UsageError>(&p))
            return *e;
        shot.projectile = std::get<air::Projectile>(p);
        projectileLabel = "a projectile of its own";
    } else {
        return error(*givenOf(airOptions), "", "needs a projectile: --projectile NAME, or --drag-law and its fields");
    }
    std::string airLabel;
    auto a = atmosphere(given, units, airLabel);
    if (auto *e = std::get_if<UsageError>(&a))
        return *e;
    shot.atmosphere = std::get<Air>(a).atmosphere;
    shot.wind = std::get<Air>(a).wind;
    label = projectileLabel + " in " + airLabel;
    if (shot.wind != 0)
        label += ", wind " + conv::generalText(shot.wind) + (units == drag::Units::Metric ? " m/s" : " ft/s");
    return shot;
}

bool anyAirOption(const Given &given)
{
    const auto has = [&](const char *o) { return given.has(o); };
    return given.has("--projectile") || std::any_of(bodyOptions.begin(), bodyOptions.end(), has) ||
           std::any_of(airOptions.begin(), airOptions.end(), has);
}

std::variant<Command, UsageError> commandOf(const std::optional<std::string> &given)
{
    const std::string name = given.value_or("");
    if (name == "angles")
        return Command::Angles;
    if (name == "velocity")
        return Command::Velocity;
    if (name == "min-velocity")
        return Command::MinVelocity;
    if (name == "table")
        return Command::Table;
    if (name.empty())
        return UsageError{"no command: angles, velocity, min-velocity or table (see --help)"};
    return error(name, "", "unknown command: angles, velocity, min-velocity or table (see --help)");
}

} // namespace

Parsed parse(const std::vector<std::string> &args)
{
    for (const std::string &arg : args) {
        if (arg == "--help")
            return Arguments{};
        if (arg == "--version") {
            Arguments version;
            version.command = Command::Version;
            return version;
        }
    }
    auto collected = collect(args);
    if (auto *e = std::get_if<UsageError>(&collected))
        return *e;
    const Given &given = std::get<Given>(collected);
    auto command = commandOf(given.command);
    if (auto *e = std::get_if<UsageError>(&command))
        return *e;

    Arguments out;
    out.command = std::get<Command>(command);
    firing::Problem &p = out.problem;
    p.feet = given.has("--feet");
    p.radians = given.has("--radians");
    const drag::Units units = p.feet ? drag::Units::Imperial : drag::Units::Metric;

    if (given.has("--format")) {
        const std::string format = lower(given.at("--format"));
        if (format == "text")
            out.format = Format::Text;
        else if (format == "csv")
            out.format = Format::Csv;
        else if (format == "json")
            out.format = Format::Json;
        else
            return error("--format", given.at("--format"), "unknown format: text, csv or json");
    }

    // What each command needs and refuses.
    const bool table = out.command == Command::Table;
    const std::string name = *given.command;
    if (!given.has("--distance"))
        return error(name, "", "needs --distance");
    if (table && given.has("--velocity") == given.has("--angle"))
        return error(name, "", "takes --velocity (for the angles) or --angle (for the velocity), one of them");
    switch (out.command) {
    case Command::Angles:
    case Command::Velocity: {
        const bool angles = out.command == Command::Angles;
        const char *needed = angles ? "--velocity" : "--angle";
        const char *refused = angles ? "--angle" : "--velocity";
        if (!given.has(needed))
            return error(name, "", std::string("needs ") + needed);
        if (given.has(refused))
            return error(refused, given.at(refused), "not used by " + name + ", which finds it");
        p.question = angles ? firing::Question::Angles : firing::Question::Velocity;
        break;
    }
    case Command::MinVelocity:
        for (const char *refused : {"--velocity", "--angle"})
            if (given.has(refused))
                return error(refused, given.at(refused), "not used by min-velocity");
        break;
    case Command::Table:
        p.question = given.has("--velocity") ? firing::Question::Angles : firing::Question::Velocity;
        break;
    case Command::Help:
    case Command::Version:
        break;
    }

    if (anyAirOption(given)) {
        if (out.command == Command::MinVelocity)
            return UsageError{"min-velocity: the least velocity is the vacuum one; it takes no air options"};
        auto shot = airShot(given, units, out.airLabel);
        if (auto *e = std::get_if<UsageError>(&shot))
            return *e;
        p.air = std::get<firing::AirShot>(shot);
        if (given.has("--drag-table"))
            out.dragTableFile = given.at("--drag-table");
    }

    const char *length = p.feet ? "ft" : "m";
    const std::array<Quantity, 5> quantities{{
        {"--distance", {0, 32000, length}},
        {"--firing", {-10000, 20000, length}},
        {"--target", {-10000, 20000, length}},
        {"--velocity", p.feet ? drag::FieldRange{0, 3000, "ft/s"} : drag::FieldRange{0, 2000, "m/s"}},
        {"--angle", p.radians ? drag::FieldRange{-1.5708, 1.5708, "radians"} : drag::FieldRange{-90, 90, "degrees"}},
    }};
    const std::array<double *, 5> targets{&p.distance, &p.firing, &p.target, &p.velocity, &p.angle};
    for (std::size_t i = 0; i < quantities.size(); ++i) {
        const Quantity &q = quantities[i];
        if (!given.has(q.option))
            continue;
        const std::string &text = given.at(q.option);
        const bool steppable = i == 0 || i == 3 || i == 4;
        if (text.find(':') == std::string::npos || !steppable) {
            auto v = oneNumber(q, text);
            if (auto *e = std::get_if<UsageError>(&v))
                return *e;
            *targets[i] = std::get<double>(v);
            continue;
        }
        if (!table)
            return error(q.option, text, "a range from:to:step is for the table command");
        if (out.varied)
            return error(q.option, text, "one range per table");
        auto values = steppedValues(q, text, firing::rowLimit(p));
        if (auto *e = std::get_if<UsageError>(&values))
            return *e;
        out.values = std::get<std::vector<double>>(values);
        out.varied = i == 0 ? firing::Varied::Distance : i == 3 ? firing::Varied::Velocity : firing::Varied::Angle;
        *targets[i] = out.values.front();
    }
    if (table && !out.varied)
        return error("table", "", "needs one range from:to:step: --distance, or --velocity or --angle");
    return out;
}

std::optional<UsageError> useDragTable(Arguments &args, std::string_view text)
{
    if (!args.problem.air || args.problem.air->projectile.curve != air::DragCurve::Table)
        return std::nullopt;
    const air::TableRead read = air::readDragTable(text);
    if (!read.table)
        return error("--drag-table", args.dragTableFile, read.error);
    air::Projectile &p = args.problem.air->projectile;
    p.table = read.table;
    const drag::Units units = args.problem.feet ? drag::Units::Imperial : drag::Units::Metric;
    if (const std::string note = tooLight(p, units); !note.empty())
        return error("--drag-table", args.dragTableFile, note);
    return std::nullopt;
}

std::string usageText()
{
    std::string text = "Usage: trajectrix-solve COMMAND OPTIONS\n"
                       "\n"
                       "The projectile problem without air, as Trajectrix's result screens solve it, and with air\n"
                       "when a projectile is given.\n"
                       "\n"
                       "Commands:\n"
                       "  angles        the two elevation angles that hit at --velocity\n"
                       "  velocity      the muzzle velocity that hits at --angle\n"
                       "  min-velocity  the least muzzle velocity that reaches the target\n"
                       "  table         a firing table: --distance, --velocity (angles) or --angle (velocity)\n"
                       "                as from:to:step, for example --distance 100:2000:100\n"
                       "\n"
                       "Options (--name VALUE or --name=VALUE):\n";
    for (const Option &o : options) {
        std::string head = "  " + std::string(o.name) + (o.value.empty() ? "" : " " + std::string(o.value));
        head.resize(std::max<std::size_t>(head.size() + 2, 30), ' ');
        text += head + std::string(o.help) + "\n";
    }
    text += "\nProjectiles:";
    for (const air::Preset &p : air::presets())
        text += std::string(&p == air::presets().data() ? " " : ", ") + p.name;
    text += "\n\nExit status: 0 solved, 1 no solution, 2 usage error.\n";
    return text;
}

} // namespace cli
