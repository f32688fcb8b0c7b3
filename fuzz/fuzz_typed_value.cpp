// A value typed for a scroll bar: the number read must be the C library's, and the
// position it becomes the nearest the bar can take, on the scales the screens build.

#include "fuzz/fuzz_support.h"

#include "model/conversions.h"
#include "model/module1.h"
#include "model/typed_value.h"
#include "solvers/min_velocity.h"
#include "solvers/muzzle_velocity.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

using typed::Outcome;

struct NamedScale
{
    const char *name;
    typed::Scale scale;
};

ProblemModel angleProblem(double sy, const char *metric)
{
    ProblemModel m;
    m.TargetDistance = 1000;
    m.TargetElevation = sy;
    m.AngleUnitCode = metric;
    m.SightAngle = minimumAngleRange(1000, 0, sy).sightAngle;
    return m;
}

const std::vector<NamedScale> &scales()
{
    // The angle scales read their problem by reference.
    static const ProblemModel level = angleProblem(0, "d");
    static const ProblemModel above = angleProblem(100, "d");
    static const ProblemModel radians = angleProblem(0, "r");
    static const std::vector<NamedScale> all = [] {
        const double least = searchMinVelocity(1000, 0, 0, units::metricGravity).minVelocity;
        const int lowest = static_cast<int>(10 * std::floor(least));
        return std::vector<NamedScale>{
            {"elevation", typed::wholeNumbers(-10000, 20000)},
            {"distance", typed::wholeNumbers(0, 32000)},
            {"iterations", typed::wholeNumbers(1, 1000)},
            {"tolerance", typed::fractions(1, 1000, 1e9)},
            {"increment", typed::fractions(1, 1000, 1e7)},
            // Ties on both sides of zero.
            {"tenths about zero", typed::fractions(-500, 500, 10)},
            {"velocity", velocityScale(least, lowest, 20000)},
            {"degrees", angleScale(level, 1, 15707)},
            {"degrees, target above", angleScale(above, 1, minimumAngleRange(1000, 0, 100).scrollMaximum)},
            {"radians", angleScale(radians, 1, 15707)},
        };
    }();
    return all;
}

Outcome expectedWord(std::string_view word)
{
    std::string_view body = word;
    if (!body.empty() && (body.front() == '+' || body.front() == '-'))
        body.remove_prefix(1);
    std::string lower(body);
    for (char &c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "nan" || lower == "inf" || lower == "infinity")
        return Outcome::NotFinite;
    if (fuzz::numberPrefix(word) != word.size())
        return Outcome::NotANumber;
    return fuzz::strtodReference(word).overflow ? Outcome::NotFinite : Outcome::Exact;
}

void checkParse(std::string_view text, const typed::Parsed &parsed)
{
    std::vector<std::string_view> words;
    for (std::size_t i = 0; i < text.size();) {
        while (i < text.size() && fuzz::blank(text[i]))
            ++i;
        const std::size_t start = i;
        while (i < text.size() && !fuzz::blank(text[i]))
            ++i;
        if (i > start)
            words.push_back(text.substr(start, i - start));
    }
    Outcome expected = Outcome::Empty;
    if (words.size() == 1) {
        expected = expectedWord(words.front());
    } else if (words.size() > 1) {
        const bool allNumbers = std::all_of(words.begin(), words.end(),
                                            [](std::string_view w) { return expectedWord(w) == Outcome::Exact; });
        expected = allNumbers ? Outcome::SeveralNumbers : Outcome::NotANumber;
    }
    FUZZ_CHECK(parsed.outcome == expected, "outcome %d, expected %d", static_cast<int>(parsed.outcome),
               static_cast<int>(expected));
    if (parsed.outcome == Outcome::Exact) {
        const fuzz::Reference ref = fuzz::strtodReference(words.front());
        FUZZ_CHECK(std::isfinite(parsed.number) && fuzz::agrees(parsed.number, ref), "read %.17g, strtod %.17g",
                   parsed.number, ref.value);
    }
}

double valueOf(const typed::Scale &s, int p)
{
    return s.value ? s.value(p) : conv::leadingNumber(s.text(p));
}

void checkNearest(const NamedScale &named, double x, int p)
{
    const typed::Scale &s = named.scale;
    const double here = std::fabs(valueOf(s, p) - x);
    for (const int q : {p - 1, p + 1}) {
        if (q < s.minimum || q > s.maximum)
            continue;
        const double there = std::fabs(valueOf(s, q) - x);
        FUZZ_CHECK(here <= there, "%s: %.17g went to %d, but %d is nearer", named.name, x, p, q);
        if (here == there)
            FUZZ_CHECK(std::fabs(valueOf(s, p)) >= std::fabs(valueOf(s, q)),
                       "%s: %.17g halfway went to %d, nearer zero than %d", named.name, x, p, q);
    }
}

// What a box shows reads back to a position that shows the same.
void checkShownReadsBack(const NamedScale &named, int p)
{
    const typed::Scale &s = named.scale;
    const std::string shown = s.text(p);
    const typed::Reading back = typed::read(shown, s);
    FUZZ_CHECK(back.outcome == Outcome::Exact, "%s: \"%s\" shown at %d reads as outcome %d", named.name, shown.c_str(),
               p, static_cast<int>(back.outcome));
    FUZZ_CHECK(s.text(back.position) == shown, "%s: \"%s\" shown at %d reads back to %d, showing \"%s\"", named.name,
               shown.c_str(), p, back.position, s.text(back.position).c_str());
}

void checkRead(std::string_view text, const typed::Parsed &parsed, const NamedScale &named)
{
    const typed::Scale &s = named.scale;
    const typed::Reading r = typed::read(text, s);
    const typed::Verdict verdict = typed::judge(text, s, typed::Wording{});
    const bool placed = r.outcome == Outcome::Exact || r.outcome == Outcome::Nearest;
    FUZZ_CHECK(verdict.position.has_value() == placed && (!placed || *verdict.position == r.position),
               "%s: judge and read disagree", named.name);
    FUZZ_CHECK(verdict.note.empty() == (r.outcome == Outcome::Exact), "%s: note \"%s\" for outcome %d", named.name,
               verdict.note.c_str(), static_cast<int>(r.outcome));
    if (parsed.outcome != Outcome::Exact) {
        FUZZ_CHECK(r.outcome == parsed.outcome, "%s: read %d, parsed %d", named.name, static_cast<int>(r.outcome),
                   static_cast<int>(parsed.outcome));
        return;
    }
    const double x = parsed.number;
    const double low = std::min(valueOf(s, s.minimum), conv::leadingNumber(s.text(s.minimum)));
    const double high = std::max(valueOf(s, s.maximum), conv::leadingNumber(s.text(s.maximum)));
    if (x < low || x > high) {
        FUZZ_CHECK(r.outcome == (x < low ? Outcome::BelowRange : Outcome::AboveRange), "%s: %.17g outside gave %d",
                   named.name, x, static_cast<int>(r.outcome));
        return;
    }
    FUZZ_CHECK(placed && r.position >= s.minimum && r.position <= s.maximum, "%s: %.17g in range gave %d at %d",
               named.name, x, static_cast<int>(r.outcome), r.position);
    if (r.outcome == Outcome::Nearest)
        checkNearest(named, x, r.position);
    for (const int p : {r.position - 1, r.position, r.position + 1})
        if (p >= s.minimum && p <= s.maximum)
            checkShownReadsBack(named, p);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const typed::Parsed parsed = typed::parseNumber(text);
    checkParse(text, parsed);
    for (const NamedScale &named : scales())
        checkRead(text, parsed, named);
    return 0;
}
