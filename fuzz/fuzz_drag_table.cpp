// A drag table from a user's CSV file: a refusal names a line of the text, and an
// accepted table holds rising Machs and finite Cds that its interpolation passes through
// without leaving them between points, at Machs drawn from the input.

#include "fuzz/fuzz_support.h"

#include "solvers/drag_law.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

// A stream of numbers from the input, so that a saved input replays the same Machs.
struct Draws
{
    std::uint64_t state;
    double unit() // [0, 1)
    {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        return static_cast<double>(z >> 11) * 0x1.0p-53;
    }
};

std::uint64_t hashOf(std::string_view text)
{
    std::uint64_t h = 0xCBF29CE484222325ull;
    for (const char c : text)
        h = (h ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
    return h;
}

void checkRefusal(std::string_view text, const air::TableRead &read)
{
    const long lines = std::count(text.begin(), text.end(), '\n') + 1;
    FUZZ_CHECK(!read.error.empty(), "refused without a reason");
    FUZZ_CHECK(read.line >= 0 && read.line <= lines, "line %d of %ld", read.line, lines);
    if (read.line > 0) {
        const std::string prefix = "Line " + std::to_string(read.line) + ": ";
        FUZZ_CHECK(read.error.compare(0, prefix.size(), prefix) == 0, "\"%s\" for line %d", read.error.c_str(),
                   read.line);
    }
    // The message quotes the text; Qt shows it as UTF-8.
    if (fuzz::validUtf8(text))
        FUZZ_CHECK(fuzz::validUtf8(read.error), "\"%s\" is not UTF-8", read.error.c_str());
}

// What evaluating the cubic may lose, subnormal Cds included.
double roundOff(double cd)
{
    return 1e-13 * cd + 4 * std::numeric_limits<double>::denorm_min();
}

void checkBetween(const air::DragTable &table, std::size_t k, double mach)
{
    const auto machs = table.machs();
    const auto cds = table.dragCoefficients();
    const double cd = table.at(mach);
    const double low = std::min(cds[k], cds[k + 1]);
    const double high = std::max(cds[k], cds[k + 1]);
    const double slack = roundOff(high);
    FUZZ_CHECK(std::isfinite(cd) && cd >= low - slack && cd <= high + slack,
               "Cd %.17g at Mach %.17g, between (%.17g, %.17g) and (%.17g, %.17g)", cd, mach, machs[k], cds[k],
               machs[k + 1], cds[k + 1]);
}

void checkTable(std::string_view text, const air::DragTable &table)
{
    const auto machs = table.machs();
    const auto cds = table.dragCoefficients();
    const std::size_t n = machs.size();
    FUZZ_CHECK(n >= 2 && cds.size() == n, "%zu Machs, %zu Cds", n, cds.size());
    for (std::size_t k = 0; k < n; ++k) {
        FUZZ_CHECK(std::isfinite(machs[k]) && !(machs[k] < 0), "Mach %g", machs[k]);
        FUZZ_CHECK(std::isfinite(cds[k]) && !(cds[k] < 0), "Cd %g", cds[k]);
        FUZZ_CHECK(k == 0 || machs[k] > machs[k - 1], "Mach %.17g after %.17g", machs[k], machs[k - 1]);
        FUZZ_CHECK(table.at(machs[k]) == cds[k], "Cd %.17g at the row's Mach %.17g, not %.17g", table.at(machs[k]),
                   machs[k], cds[k]);
    }
    FUZZ_CHECK(table.lowestMach() == machs.front() && table.highestMach() == machs.back(), "ends");

    constexpr double inf = std::numeric_limits<double>::infinity();
    FUZZ_CHECK(table.at(std::numeric_limits<double>::quiet_NaN()) == cds.front(), "NaN Mach");
    for (const double below : {-inf, -1.0, machs.front() - 1, machs.front()})
        FUZZ_CHECK(table.at(below) == cds.front(), "Mach %g below the table", below);
    for (const double beyond : {machs.back(), machs.back() + 1, inf})
        FUZZ_CHECK(table.at(beyond) == cds.back(), "Mach %g beyond the table", beyond);

    Draws draws{hashOf(text)};
    // Each stretch between rows (a bounded number of them), at rising Machs: never outside
    // its two rows' Cds, and rising or falling with them.
    const std::size_t step = std::max<std::size_t>(1, (n - 1) / 64);
    for (std::size_t k = 0; k + 1 < n; k += step) {
        std::array<double, 5> ts{0.5, draws.unit(), draws.unit(), draws.unit(), draws.unit()};
        std::sort(ts.begin(), ts.end());
        const double h = machs[k + 1] - machs[k];
        double previous = cds[k];
        for (const double t : ts) {
            const double mach = std::min(machs[k] + t * h, machs[k + 1]);
            checkBetween(table, k, mach);
            const double cd = table.at(mach);
            const double slack = roundOff(std::max(cds[k], cds[k + 1]));
            if (cds[k] <= cds[k + 1])
                FUZZ_CHECK(cd >= previous - slack, "Cd falls to %.17g at Mach %.17g between rising rows %zu, %zu", cd,
                           mach, k, k + 1);
            else
                FUZZ_CHECK(cd <= previous + slack, "Cd rises to %.17g at Mach %.17g between falling rows %zu, %zu", cd,
                           mach, k, k + 1);
            previous = cd;
        }
    }
    // Anywhere in the table.
    for (int i = 0; i < 16; ++i) {
        const double mach = machs.front() + draws.unit() * (machs.back() - machs.front());
        const auto upper = std::upper_bound(machs.begin(), machs.end(), mach);
        const auto k = static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, (upper - machs.begin()) - 1));
        checkBetween(table, std::min(k, n - 2), mach);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const air::TableRead read = air::readDragTable(text);
    if (!read.table) {
        checkRefusal(text, read);
        return 0;
    }
    FUZZ_CHECK(read.error.empty() && read.line == 0, "read, yet \"%s\" at line %d", read.error.c_str(), read.line);
    checkTable(text, *read.table);
    return 0;
}
