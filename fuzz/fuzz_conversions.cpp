// The screens' number texts: the leading-number parse against the C library's reading,
// the general text form reading back to what it shows, and the display patterns
// against glibc's exactly rounded printf.

#include "fuzz/fuzz_support.h"

#include "model/conversions.h"

#include <algorithm>
#include <array>
#include <cfenv>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

void checkLeadingNumber(std::string_view text)
{
    const double got = conv::leadingNumber(text);
    FUZZ_CHECK(std::isfinite(got), "leadingNumber gave %g", got);
    // Blanks are skipped anywhere inside the number, so without them it is a plain prefix.
    std::string compact;
    for (const char c : text)
        if (!fuzz::blank(c))
            compact += c;
    const std::size_t n = fuzz::numberPrefix(compact);
    if (n == 0) {
        FUZZ_CHECK(got == 0, "no number, but leadingNumber gave %.17g", got);
        return;
    }
    const fuzz::Reference ref = fuzz::strtodReference(std::string_view(compact).substr(0, n));
    if (ref.overflow)
        FUZZ_CHECK(got == std::copysign(DBL_MAX, ref.value), "overflow %g should saturate, gave %.17g", ref.value, got);
    else
        FUZZ_CHECK(fuzz::agrees(got, ref), "leadingNumber %.17g, strtod %.17g", got, ref.value);
}

std::size_t significantDigits(std::string_view number)
{
    const std::size_t e = number.find('E');
    std::string digits;
    for (const char c : number.substr(0, e))
        if (fuzz::digit(c))
            digits += c;
    const std::size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? 0 : digits.size() - first;
}

void checkGeneralText(double v)
{
    const std::string text = conv::generalText(v);
    if (std::isnan(v) || std::isinf(v)) {
        const char *expected = std::isnan(v) ? "NaN" : (v < 0 ? "-Infinity" : "Infinity");
        FUZZ_CHECK(text == expected, "generalText(%g) gave \"%s\"", v, text.c_str());
        return;
    }
    FUZZ_CHECK(!text.empty() && fuzz::numberPrefix(text) == text.size(), "generalText(%.17g) gave \"%s\"", v,
               text.c_str());
    FUZZ_CHECK(significantDigits(text) <= 15, "generalText(%.17g) gave \"%s\"", v, text.c_str());
    const double back = conv::leadingNumber(text);
    if (std::fabs(v) < DBL_MIN) {
        // A subnormal has fewer digits of its own than the text shows.
        FUZZ_CHECK(std::fabs(back) <= DBL_MIN, "generalText(%.17g) gave \"%s\"", v, text.c_str());
        return;
    }
    FUZZ_CHECK(std::fabs(back - v) <= std::fabs(v) * 5.1e-15, "generalText(%.17g) gave \"%s\", reading %.17g", v,
               text.c_str(), back);
    const std::string again = conv::generalText(back);
    FUZZ_CHECK(again == text, "generalText(%.17g) gave \"%s\", and again \"%s\"", v, text.c_str(), again.c_str());
}

// The pattern's own demands: decimals, and how many digits must show either side.
struct Demands
{
    bool point = false;
    std::size_t decimals = 0;
    std::size_t minFrac = 0;
    std::size_t minInt = 0;
};

Demands demandsOf(std::string_view pattern)
{
    Demands d;
    const std::size_t point = pattern.find('.');
    d.point = point != std::string_view::npos;
    for (const char c : pattern.substr(0, point))
        d.minInt += c == '0';
    if (d.point) {
        const std::string_view frac = pattern.substr(point + 1);
        d.decimals = frac.size();
        const std::size_t lastZero = frac.find_last_of('0');
        d.minFrac = lastZero == std::string_view::npos ? 0 : lastZero + 1;
    }
    return d;
}

// Integer digits without leading zeros and decimals without trailing ones.
struct Magnitude
{
    std::string integer;
    std::string fraction;
    bool operator==(const Magnitude &) const = default;
};

Magnitude magnitudeOf(std::string_view text)
{
    if (!text.empty() && text.front() == '-')
        text.remove_prefix(1);
    const std::size_t point = text.find('.');
    Magnitude m{std::string(text.substr(0, point)), ""};
    if (point != std::string_view::npos)
        m.fraction = std::string(text.substr(point + 1));
    m.integer.erase(0, std::min(m.integer.find_first_not_of('0'), m.integer.size()));
    while (!m.fraction.empty() && m.fraction.back() == '0')
        m.fraction.pop_back();
    return m;
}

// The exact decimal expansion of |v|: a double needs at most 1074 decimals.
std::string exactExpansion(double v)
{
    std::string buf(DBL_MAX_10_EXP + 1100 + 8, '\0');
    const int n = std::snprintf(buf.data(), buf.size(), "%.1100f", std::fabs(v));
    buf.resize(static_cast<std::size_t>(n));
    return buf;
}

// glibc prints the exact value rounded in the current rounding mode, ties to even; the
// patterns take ties away from zero, which a directed mode gives on an exact tie.
std::string printfRounded(double v, std::size_t decimals, const std::string &exact)
{
    const std::string_view rest = std::string_view(exact).substr(exact.find('.') + 1 + decimals);
    const bool tie = !rest.empty() && rest.front() == '5' && rest.find_first_not_of('0', 1) == std::string_view::npos;
    const int saved = std::fegetround();
    if (tie)
        std::fesetround(v < 0 ? FE_DOWNWARD : FE_UPWARD);
    std::string out(DBL_MAX_10_EXP + decimals + 8, '\0');
    const int n = std::snprintf(out.data(), out.size(), "%.*f", static_cast<int>(decimals), v);
    std::fesetround(saved);
    out.resize(static_cast<std::size_t>(n));
    return out;
}

bool patternShape(std::string_view text)
{
    if (!text.empty() && text.front() == '-')
        text.remove_prefix(1);
    const std::size_t point = text.find('.');
    const auto digits = [](std::string_view s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return fuzz::digit(c); });
    };
    return digits(text.substr(0, point)) && (point == std::string_view::npos || digits(text.substr(point + 1)));
}

void checkPattern(double v, std::string_view pattern, const std::string &exact)
{
    const std::string text = conv::formatPattern(v, pattern);
    if (!std::isfinite(v)) {
        FUZZ_CHECK(text == conv::generalText(v), "formatPattern(%g) gave \"%s\"", v, text.c_str());
        return;
    }
    const std::string shownPattern(pattern);
    FUZZ_CHECK(patternShape(text), "formatPattern(%.17g, \"%s\") gave \"%s\"", v, shownPattern.c_str(), text.c_str());
    FUZZ_CHECK((!text.empty() && text.front() == '-') == (v < 0), "formatPattern(%.17g, \"%s\") gave \"%s\"", v,
               shownPattern.c_str(), text.c_str());
    const Demands d = demandsOf(pattern);
    const std::size_t point = text.find('.');
    const std::size_t signLength = v < 0 ? 1 : 0;
    const std::size_t intDigits = (point == std::string::npos ? text.size() : point) - signLength;
    const std::size_t fracDigits = point == std::string::npos ? 0 : text.size() - point - 1;
    FUZZ_CHECK((point != std::string::npos) == d.point && fracDigits >= d.minFrac && fracDigits <= d.decimals &&
                   intDigits >= d.minInt,
               "formatPattern(%.17g, \"%s\") gave \"%s\"", v, shownPattern.c_str(), text.c_str());
    const std::string expected = printfRounded(v, d.decimals, exact);
    const Magnitude want = magnitudeOf(expected);
    FUZZ_CHECK(magnitudeOf(text) == want, "formatPattern(%.17g, \"%s\") gave \"%s\", printf \"%s\"", v,
               shownPattern.c_str(), text.c_str(), expected.c_str());
    // A number shows at least one digit unless it rounds to zero under an all-"#" pattern.
    const bool digitShown = text.find_first_of("0123456789") != std::string::npos;
    const bool zero = want.integer.empty() && want.fraction.empty();
    FUZZ_CHECK(digitShown || (zero && d.minInt == 0 && d.minFrac == 0), "formatPattern(%.17g, \"%s\") gave \"%s\"", v,
               shownPattern.c_str(), text.c_str());
}

// Every pattern the screens and solvers print with.
constexpr std::array screenPatterns{"##.000", "##.00",    "######.00",  "###.00",   "####.0",
                                    "#0.000", "#0.00",    "#0.0",       "#####.00", "####.00",
                                    "0.000",  "##.#####", "######.000", "###.000",  "#0.0000"};

// "#" and "0" places either side of an optional point, from two bytes.
std::string patternFrom(std::uint8_t a, std::uint8_t b)
{
    std::string p(a & 7u, '#');
    p.append((a >> 3) & 3u, '0');
    if ((a >> 5) & 1u) {
        p += '.';
        const unsigned places = b & 7u;
        const unsigned kinds = (b >> 3) | ((a >> 6) << 5);
        for (unsigned i = 0; i < places; ++i)
            p += ((kinds >> i) & 1u) ? '0' : '#';
    }
    return p;
}

void checkNumber(double v, const std::string &extraPattern)
{
    checkGeneralText(v);
    const std::string exact = std::isfinite(v) ? exactExpansion(v) : std::string();
    for (const char *p : screenPatterns)
        checkPattern(v, p, exact);
    checkPattern(v, extraPattern, exact);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    checkLeadingNumber(text);
    const std::string extra = size >= 2 ? patternFrom(data[0], data[1]) : std::string("#0.00");
    checkNumber(conv::leadingNumber(text), extra);
    if (size >= sizeof(double)) {
        double bits = 0;
        std::memcpy(&bits, data, sizeof bits);
        checkNumber(bits, extra);
    }
    // Any short text as a pattern: its "#" and "0" places, the rest ignored.
    if (size <= 64) {
        const double v = conv::leadingNumber(text);
        const std::string shown = conv::formatPattern(v, text);
        FUZZ_CHECK(patternShape(shown), "formatPattern(%.17g, its own text) gave \"%s\"", v, shown.c_str());
    }
    return 0;
}
