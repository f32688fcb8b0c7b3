#include "solvers/drag_law.h"

#include "solvers/drag_curve_data.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <system_error>

namespace air {

namespace {

// The slope at an end from the three points there, kept to the shape of the data: no
// turn the data does not make, and no steeper than three times the end chord.
double endSlope(double h0, double h1, double d0, double d1)
{
    const double d = ((2 * h0 + h1) * d0 - h0 * d1) / (h0 + h1);
    if (std::signbit(d) != std::signbit(d0) || d0 == 0)
        return 0;
    if (std::signbit(d0) != std::signbit(d1) && std::abs(d) > std::abs(3 * d0))
        return 3 * d0;
    return d;
}

std::string_view trimmed(std::string_view s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The field as the message shows it: as typed, cut short when long.
std::string shown(std::string_view field)
{
    constexpr std::size_t longest = 24;
    if (field.size() <= longest)
        return std::string(field);
    // Cut before a character, never inside one, so a message from UTF-8 text stays UTF-8. A
    // character is at most 4 bytes: stepping back further would only eat text that is not UTF-8.
    const auto continuation = [](char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; };
    std::size_t cut = longest;
    while (cut > longest - 3 && continuation(field[cut]))
        --cut;
    return std::string(field.substr(0, cut)) + "...";
}

enum class Reading { Number, NotANumber, NotFinite, OutOfRange };

struct Field
{
    Reading reading = Reading::NotANumber;
    double value = 0;
};

// One number filling the whole field; a leading "+" allowed, as every spreadsheet writes.
Field number(std::string_view field)
{
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"')
        field = trimmed(field.substr(1, field.size() - 2));
    if (!field.empty() && field.front() == '+') {
        field.remove_prefix(1);
        if (field.empty() || field.front() == '+' || field.front() == '-')
            return {};
    }
    double value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (end != field.data() + field.size())
        return {};
    if (error == std::errc::result_out_of_range)
        return {Reading::OutOfRange};
    if (error != std::errc())
        return {};
    if (!std::isfinite(value))
        return {Reading::NotFinite};
    return {Reading::Number, value};
}

std::string lineText(int line)
{
    return "Line " + std::to_string(line) + ": ";
}

std::optional<std::string> fault(const Field &field, std::string_view text, const char *name)
{
    switch (field.reading) {
    case Reading::Number:
        return std::nullopt;
    case Reading::NotANumber:
        return std::string(name) + " \"" + shown(text) + "\" is not a number.";
    case Reading::NotFinite:
        return std::string(name) + " " + shown(text) + " is not a finite number.";
    case Reading::OutOfRange:
        return std::string(name) + " " + shown(text) + " is too large or too small to read.";
    }
    return std::nullopt;
}

} // namespace

DragTable::DragTable(std::vector<double> mach, std::vector<double> cd)
    : mach_(std::move(mach)), cd_(std::move(cd)), slope_(mach_.size())
{
    const std::size_t n = mach_.size();
    std::vector<double> h(n - 1);
    std::vector<double> chord(n - 1);
    for (std::size_t k = 0; k + 1 < n; ++k) {
        h[k] = mach_[k + 1] - mach_[k];
        chord[k] = (cd_[k + 1] - cd_[k]) / h[k];
    }
    if (n == 2) {
        slope_ = {chord[0], chord[0]};
    } else {
        // A weighted harmonic mean of the chords either side, 0 where the data turns.
        for (std::size_t k = 1; k + 1 < n; ++k) {
            if (chord[k - 1] * chord[k] > 0) {
                const double w1 = 2 * h[k] + h[k - 1];
                const double w2 = h[k] + 2 * h[k - 1];
                slope_[k] = (w1 + w2) / (w1 / chord[k - 1] + w2 / chord[k]);
            }
        }
        slope_[0] = endSlope(h[0], h[1], chord[0], chord[1]);
        slope_[n - 1] = endSlope(h[n - 2], h[n - 3], chord[n - 2], chord[n - 3]);
    }
    // Points packed closer than the numbers resolve: flat there rather than infinite.
    for (double &s : slope_)
        if (!std::isfinite(s))
            s = 0;
}

double DragTable::at(double mach) const
{
    if (!(mach > mach_.front()))
        return cd_.front();
    if (!(mach < mach_.back()))
        return cd_.back();
    const std::size_t k =
        static_cast<std::size_t>(std::upper_bound(mach_.begin(), mach_.end(), mach) - mach_.begin()) - 1;
    const double h = mach_[k + 1] - mach_[k];
    const double t = (mach - mach_[k]) / h;
    const double t2 = t * t;
    const double t3 = t2 * t;
    const double cd = (2 * t3 - 3 * t2 + 1) * cd_[k] + (t3 - 2 * t2 + t) * h * slope_[k] +
                      (3 * t2 - 2 * t3) * cd_[k + 1] + (t3 - t2) * h * slope_[k + 1];
    return std::max(cd, 0.0);
}

struct TableReader
{
    static TableRead read(std::string_view text);
};

TableRead TableReader::read(std::string_view text)
{
    TableRead result;
    const auto refuse = [&result](int line, std::string why) {
        result.line = line;
        result.error = line > 0 ? lineText(line) + why : std::move(why);
        return result;
    };

    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, byteOrderMark.size()) == byteOrderMark)
        text.remove_prefix(byteOrderMark.size());

    std::vector<double> mach;
    std::vector<double> cd;
    std::string previous; // the last row's Mach as typed
    bool headerAllowed = true;
    bool anything = false;
    int line = 0;
    std::size_t next = 0;
    while (next <= text.size()) {
        const std::size_t newline = text.find('\n', next);
        const std::size_t end = newline == std::string_view::npos ? text.size() : newline;
        const std::string_view content = trimmed(text.substr(next, end - next));
        next = end + 1;
        ++line;
        if (content.empty() || content.front() == '#')
            continue;
        anything = true;

        const std::size_t comma = content.find(',');
        const std::size_t columns = static_cast<std::size_t>(std::count(content.begin(), content.end(), ',')) + 1;
        if (columns != 2)
            return refuse(line, "expected two columns, Mach and Cd, separated by a comma; found " +
                                    std::to_string(columns) + ".");
        const std::string_view machText = trimmed(content.substr(0, comma));
        const std::string_view cdText = trimmed(content.substr(comma + 1));
        const Field m = number(machText);
        const Field c = number(cdText);
        if (headerAllowed && m.reading == Reading::NotANumber && c.reading == Reading::NotANumber) {
            headerAllowed = false;
            continue;
        }
        headerAllowed = false;
        if (const auto why = fault(m, machText, "Mach"))
            return refuse(line, *why);
        if (const auto why = fault(c, cdText, "Cd"))
            return refuse(line, *why);
        if (m.value < 0)
            return refuse(line, "Mach " + shown(machText) + " is negative.");
        if (c.value < 0)
            return refuse(line, "Cd " + shown(cdText) + " is negative.");
        if (!mach.empty() && !(m.value > mach.back()))
            return refuse(line, "Mach " + shown(machText) + " is not above the row before's " + previous + ".");
        previous = shown(machText);
        mach.push_back(m.value);
        cd.push_back(c.value);
    }
    if (!anything)
        return refuse(0, "The table is empty: type rows of Mach and Cd, such as \"0.8,0.25\".");
    if (mach.size() < 2)
        return refuse(0, "The table has " + std::to_string(mach.size()) + (mach.size() == 1 ? " row" : " rows") +
                             " of Mach and Cd; it needs at least two.");
    result.table = std::shared_ptr<const DragTable>(new DragTable(std::move(mach), std::move(cd)));
    return result;
}

TableRead readDragTable(std::string_view text)
{
    return TableReader::read(text);
}

std::string_view standardTableText(DragCurve curve)
{
    switch (curve) {
    case DragCurve::Sphere:
        return data::sphereCsv();
    case DragCurve::G1:
        return data::g1Csv();
    case DragCurve::G7:
        return data::g7Csv();
    case DragCurve::Constant:
    case DragCurve::Table:
        break;
    }
    return {};
}

std::shared_ptr<const DragTable> standardTable(DragCurve curve)
{
    // Read once; a shipped file the reader refuses fails the tests, not the flight.
    static const auto sphere = readDragTable(data::sphereCsv()).table;
    static const auto g1 = readDragTable(data::g1Csv()).table;
    static const auto g7 = readDragTable(data::g7Csv()).table;
    switch (curve) {
    case DragCurve::Sphere:
        return sphere;
    case DragCurve::G1:
        return g1;
    case DragCurve::G7:
        return g7;
    case DragCurve::Constant:
    case DragCurve::Table:
        break;
    }
    return nullptr;
}

} // namespace air
