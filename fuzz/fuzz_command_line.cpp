// trajectrix-solve's arguments, one per line of the input: a refusal is one line that
// starts with an argument as given (or says no command was), and an accepted command line
// holds a finite problem within the screens' ranges, a table's values stepping evenly
// within them and never more than its limit, and air exactly when an air option was
// given, with a projectile and an atmosphere the model takes. Each argument is also
// written as a JSON value, which must be null or a JSON number of the same value.

#include "fuzz/fuzz_support.h"

#include "cli/arguments.h"
#include "cli/output.h"
#include "model/typed_value.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

constexpr std::size_t mostArguments = 64;

constexpr std::array airOptions{
    "--projectile", "--mass",     "--diameter",    "--drag-coefficient", "--drag-law", "--ballistic-coefficient",
    "--drag-table", "--altitude", "--temperature", "--pressure",         "--humidity", "--constant-density",
    "--wind"};

std::string nameOf(const std::string &arg)
{
    return arg.substr(0, arg.find('='));
}

bool startsWith(const std::string &text, const std::string &head)
{
    return text.compare(0, head.size(), head) == 0;
}

void checkRefusal(const std::vector<std::string> &args, const std::string &message)
{
    FUZZ_CHECK(!message.empty(), "refused without a reason");
    FUZZ_CHECK(message.find_first_of("\r\n") == std::string::npos ||
                   std::any_of(args.begin(), args.end(),
                               [](const std::string &a) { return a.find('\r') != std::string::npos; }),
               "\"%s\" is more than one line", message.c_str());
    const bool names = std::any_of(args.begin(), args.end(), [&](const std::string &arg) {
        const std::string head = nameOf(arg);
        return startsWith(message, arg + ":") ||
               (!head.empty() && (startsWith(message, head + ":") || startsWith(message, head + " ")));
    });
    FUZZ_CHECK(names || startsWith(message, "no command:") || startsWith(message, "min-velocity:") ||
                   startsWith(message, "empty argument:"),
               "\"%s\" names no argument", message.c_str());
    const bool utf8 = std::all_of(args.begin(), args.end(), [](const std::string &a) { return fuzz::validUtf8(a); });
    if (utf8)
        FUZZ_CHECK(fuzz::validUtf8(message), "\"%s\" is not UTF-8", message.c_str());
}

bool within(double v, double low, double high)
{
    return std::isfinite(v) && v >= low && v <= high;
}

void checkProjectile(const cli::Arguments &a)
{
    const air::Projectile &p = a.problem.air->projectile;
    const bool body = std::isfinite(p.mass) && std::isfinite(p.diameter) && p.mass > 0 && p.diameter > 0;
    switch (p.curve) {
    case air::DragCurve::Constant:
        FUZZ_CHECK(body && within(p.dragCoefficient, 0, 3), "constant drag %g kg, %g m, Cd %g", p.mass, p.diameter,
                   p.dragCoefficient);
        break;
    case air::DragCurve::Sphere:
        FUZZ_CHECK(body, "sphere of %g kg, %g m", p.mass, p.diameter);
        break;
    case air::DragCurve::Table:
        FUZZ_CHECK(body && !a.dragTableFile.empty() && !p.table, "a table law without its file");
        break;
    case air::DragCurve::G1:
    case air::DragCurve::G7:
        FUZZ_CHECK(std::isfinite(p.ballisticCoefficient) && p.ballisticCoefficient > 0, "BC %g",
                   p.ballisticCoefficient);
        break;
    }
    FUZZ_CHECK(air::valid(a.problem.air->atmosphere), "an atmosphere the model refuses");
    FUZZ_CHECK(within(std::fabs(a.problem.air->wind), 0, 160), "wind %g", a.problem.air->wind);
}

void checkAccepted(const std::vector<std::string> &args, const cli::Arguments &a)
{
    if (a.command == cli::Command::Help || a.command == cli::Command::Version) {
        const char *asked = a.command == cli::Command::Help ? "--help" : "--version";
        FUZZ_CHECK(std::find(args.begin(), args.end(), asked) != args.end(), "%s unasked", asked);
        return;
    }
    const firing::Problem &p = a.problem;
    const double fastest = p.feet ? 3000 : 2000;
    const double steepest = p.radians ? 1.5708 : 90;
    FUZZ_CHECK(within(p.distance, 0, 32000) && p.distance > 0, "distance %g", p.distance);
    FUZZ_CHECK(within(p.firing, -10000, 20000) && within(p.target, -10000, 20000), "elevations %g, %g", p.firing,
               p.target);
    const bool asksAngles = a.command == cli::Command::Angles ||
                            (a.command == cli::Command::Table && p.question == firing::Question::Angles);
    if (asksAngles)
        FUZZ_CHECK(p.question == firing::Question::Angles && within(p.velocity, 0, fastest) && p.velocity > 0,
                   "velocity %g", p.velocity);
    if (a.command == cli::Command::Velocity || (a.command == cli::Command::Table && !asksAngles))
        FUZZ_CHECK(p.question == firing::Question::Velocity && within(p.angle, -steepest, steepest), "angle %g",
                   p.angle);

    if (a.command == cli::Command::Table) {
        FUZZ_CHECK(a.varied && !a.values.empty() && a.values.size() <= firing::rowLimit(p), "%zu values",
                   a.values.size());
        FUZZ_CHECK(p.question == firing::Question::Angles ? *a.varied != firing::Varied::Angle
                                                          : *a.varied != firing::Varied::Velocity,
                   "a table varies what its question finds");
        const double low = *a.varied == firing::Varied::Angle ? -steepest : 0;
        const double high = *a.varied == firing::Varied::Distance   ? 32000
                            : *a.varied == firing::Varied::Velocity ? fastest
                                                                    : steepest;
        for (std::size_t i = 0; i < a.values.size(); ++i) {
            const double v = a.values[i];
            FUZZ_CHECK(within(v, low, high) && (*a.varied == firing::Varied::Angle || v > 0), "value %g", v);
            if (i >= 2)
                FUZZ_CHECK((v - a.values[i - 1]) * (a.values[i - 1] - a.values[i - 2]) > 0, "uneven steps");
        }
    } else {
        FUZZ_CHECK(!a.varied && a.values.empty(), "values outside a table");
    }

    const bool airGiven = std::any_of(args.begin(), args.end(), [](const std::string &arg) {
        return std::find(airOptions.begin(), airOptions.end(), nameOf(arg)) != airOptions.end();
    });
    FUZZ_CHECK(airGiven == p.air.has_value(), "air %d, air options %d", p.air.has_value(), airGiven);
    if (p.air)
        checkProjectile(a);
}

// -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
bool jsonNumber(const std::string &s)
{
    std::size_t i = s.size() > 0 && s[0] == '-' ? 1 : 0;
    const std::size_t first = i;
    while (i < s.size() && fuzz::digit(s[i]))
        ++i;
    if (i == first || (s[first] == '0' && i > first + 1))
        return false;
    if (i < s.size() && s[i] == '.') {
        const std::size_t fraction = ++i;
        while (i < s.size() && fuzz::digit(s[i]))
            ++i;
        if (i == fraction)
            return false;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        const std::size_t exponent = i;
        while (i < s.size() && fuzz::digit(s[i]))
            ++i;
        if (i == exponent)
            return false;
    }
    return i == s.size();
}

void checkJson(const std::string &cell)
{
    const std::string json = cli::jsonValue(cell, false);
    const typed::Parsed parsed = typed::parseNumber(cell);
    if (parsed.outcome != typed::Outcome::Exact) {
        FUZZ_CHECK(json == "null", "\"%s\" is no number, yet %s", cell.c_str(), json.c_str());
        return;
    }
    FUZZ_CHECK(jsonNumber(json), "\"%s\" written as %s", cell.c_str(), json.c_str());
    const double back = std::strtod(json.c_str(), nullptr);
    // Exact when the digits are kept; the general form's 15 digits otherwise.
    FUZZ_CHECK(std::fabs(back - parsed.number) <= 1e-14 * std::fabs(parsed.number) || back == parsed.number,
               "\"%s\" is %.17g, written as %s", cell.c_str(), parsed.number, json.c_str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    std::vector<std::string> args;
    std::size_t start = 0;
    while (start <= text.size() && args.size() < mostArguments) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        args.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    const cli::Parsed parsed = cli::parse(args);
    if (const auto *e = std::get_if<cli::UsageError>(&parsed))
        checkRefusal(args, e->message);
    else
        checkAccepted(args, std::get<cli::Arguments>(parsed));
    for (const std::string &arg : args)
        checkJson(arg);
    return 0;
}
