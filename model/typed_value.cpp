#include "model/typed_value.h"

#include "model/conversions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>
#include <vector>

namespace typed {

using conv::isBlank;
using conv::isDigit;

namespace {

std::string lowerCase(std::string_view s)
{
    std::string out(s);
    for (char &c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// One blank-free word: sign, digits with at most one point, optional exponent.
Parsed parseWord(std::string_view word)
{
    std::string_view body = word;
    const bool negative = !body.empty() && body.front() == '-';
    if (!body.empty() && (body.front() == '+' || body.front() == '-'))
        body.remove_prefix(1);
    const std::string lower = lowerCase(body);
    if (lower == "nan" || lower == "inf" || lower == "infinity")
        return {Outcome::NotFinite};

    std::size_t i = 0;
    std::size_t mantissaDigits = 0;
    bool afterPoint = false;
    for (; i < body.size() && (isDigit(body[i]) || (body[i] == '.' && !afterPoint)); ++i) {
        if (body[i] == '.')
            afterPoint = true;
        else
            ++mantissaDigits;
    }
    if (mantissaDigits == 0)
        return {};
    if (i < body.size() && (body[i] == 'e' || body[i] == 'E')) {
        ++i;
        if (i < body.size() && (body[i] == '+' || body[i] == '-'))
            ++i;
        const std::size_t first = i;
        while (i < body.size() && isDigit(body[i]))
            ++i;
        if (i == first)
            return {};
    }
    if (i != body.size())
        return {};

    double value = 0.0;
    const auto [end, error] = std::from_chars(body.data(), body.data() + body.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Too small for a double is zero; too large is no number at all.
        if (conv::decimalMagnitude(body) > 0)
            return {Outcome::NotFinite};
        value = 0.0;
    } else if (error != std::errc() || end != body.data() + body.size()) {
        return {};
    }
    if (!std::isfinite(value))
        return {Outcome::NotFinite};
    return {Outcome::Exact, negative ? -value : value};
}

} // namespace

Parsed parseNumber(std::string_view text)
{
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBlank(text[i]))
            ++i;
        const std::size_t start = i;
        while (i < text.size() && !isBlank(text[i]))
            ++i;
        if (i > start)
            words.push_back(text.substr(start, i - start));
    }
    if (words.empty())
        return {Outcome::Empty};
    if (words.size() == 1)
        return parseWord(words.front());
    for (std::string_view word : words)
        if (parseWord(word).outcome != Outcome::Exact)
            return {};
    return {Outcome::SeveralNumbers};
}

namespace {

double shownAt(const Scale &s, int position)
{
    return conv::leadingNumber(s.text(position));
}

double valueAt(const Scale &s, int position)
{
    return s.value ? s.value(position) : shownAt(s, position);
}

int nearestPosition(const Scale &s, double x)
{
    if (x <= valueAt(s, s.minimum))
        return s.minimum;
    if (x >= valueAt(s, s.maximum))
        return s.maximum;
    // value(lo) < x <= value(hi)
    int lo = s.minimum;
    int hi = s.maximum;
    while (hi - lo > 1) {
        const int mid = lo + (hi - lo) / 2;
        if (valueAt(s, mid) < x)
            lo = mid;
        else
            hi = mid;
    }
    const double low = valueAt(s, lo);
    const double high = valueAt(s, hi);
    if (high - x != x - low)
        return high - x < x - low ? hi : lo;
    return std::fabs(high) >= std::fabs(low) ? hi : lo;
}

// "from -10000 to 20000 Meters", "from 0.006° to 89.995°"
std::string rangeText(const Scale &scale, const Wording &wording)
{
    const std::string &unit = wording.unit;
    // A word follows the range once; a sign such as "°" follows each number.
    const bool word = unit.empty() || unit.front() == ' ';
    return "from " + scale.text(scale.minimum) + (word ? "" : unit) + " to " + scale.text(scale.maximum) + unit;
}

} // namespace

Reading read(std::string_view text, const Scale &scale)
{
    const Parsed parsed = parseNumber(text);
    if (parsed.outcome != Outcome::Exact)
        return {parsed.outcome};
    const double x = parsed.number;
    if (x < std::min(valueAt(scale, scale.minimum), shownAt(scale, scale.minimum)))
        return {Outcome::BelowRange};
    if (x > std::max(valueAt(scale, scale.maximum), shownAt(scale, scale.maximum)))
        return {Outcome::AboveRange};
    const int p = nearestPosition(scale, x);
    const bool exact = valueAt(scale, p) == x || shownAt(scale, p) == x;
    return {exact ? Outcome::Exact : Outcome::Nearest, p};
}

Scale wholeNumbers(int minimum, int maximum)
{
    return {minimum, maximum, [](int p) { return conv::wholeNumberText(p); }};
}

Scale fractions(int minimum, int maximum, double perUnit)
{
    return {minimum, maximum, [perUnit](int p) { return conv::generalText(p / perUnit); }};
}

std::string acceptsText(const Scale &scale, const Wording &wording)
{
    return wording.kind + " " + rangeText(scale, wording) + wording.steps +
           ". Enter sets it, Escape keeps the old value.";
}

std::string noteText(const Reading &reading, const Scale &scale, const Wording &wording)
{
    switch (reading.outcome) {
    case Outcome::Exact:
        return {};
    case Outcome::Nearest:
        return "Set to " + scale.text(reading.position) + wording.unit + " \u2014 the nearest " + wording.noun +
               " this screen can take.";
    case Outcome::Empty:
        return "Type a number, or press Escape to keep the old value.";
    case Outcome::NotANumber:
        return "Not a number: type digits, with \".\" as the decimal point.";
    case Outcome::SeveralNumbers:
        return "Type one number only.";
    case Outcome::NotFinite:
        return "Type a finite number: NaN and infinity cannot be set.";
    case Outcome::BelowRange:
        return wording.below + ": type a number " + rangeText(scale, wording) + ".";
    case Outcome::AboveRange:
        return wording.above + ": type a number " + rangeText(scale, wording) + ".";
    }
    return {};
}

Verdict judge(std::string_view text, const Scale &scale, const Wording &wording)
{
    const Reading reading = read(text, scale);
    Verdict verdict{{}, noteText(reading, scale, wording)};
    if (reading.outcome == Outcome::Exact || reading.outcome == Outcome::Nearest)
        verdict.position = reading.position;
    return verdict;
}

} // namespace typed
