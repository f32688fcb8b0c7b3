#pragma once

// Drag coefficient against Mach number: the standard curves (the smooth sphere's, G1 and
// G7) and tables read from CSV text, such as a projectile's own measured by Doppler radar.
//
// Between its points a table is read by monotone piecewise cubic Hermite interpolation
// (Fritsch and Carlson, SIAM J. Numer. Anal. 17, 1980, with the Fritsch-Butland slopes):
// smooth in its slope, through every point, and never overshooting them, so a flat
// stretch stays flat and the transonic rise does not ring. Beyond its ends the end
// values hold; the flight says when it went there.

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace air {

class DragTable
{
public:
    // Cd at `mach`; the end values beyond the table's ends, and the first one for NaN.
    double at(double mach) const;

    double lowestMach() const { return mach_.front(); }
    double highestMach() const { return mach_.back(); }
    std::span<const double> machs() const { return mach_; }
    std::span<const double> dragCoefficients() const { return cd_; }

private:
    friend struct TableReader;
    // At least two points, Mach rising, every value finite and Cd not below 0.
    DragTable(std::vector<double> mach, std::vector<double> cd);

    std::vector<double> mach_;
    std::vector<double> cd_;
    std::vector<double> slope_; // dCd/dMach at each point
};

struct TableRead
{
    std::shared_ptr<const DragTable> table; // none when the text is refused
    std::string error;                      // why it is refused; empty when read
    int line = 0;                           // the line at fault, from 1; 0 when the fault is the whole text's
};

// A table from CSV text: rows of Mach and Cd separated by a comma, "." as the decimal
// point whatever the locale, Mach rising from row to row, Cd not below 0. Blank lines and
// lines starting with "#" are skipped, and one header row of words may come before the
// first row of numbers. Any other text gets an error naming its line and fault.
TableRead readDragTable(std::string_view text);

enum class DragCurve {
    Constant, // one drag coefficient at every speed
    Sphere,   // the smooth sphere's own Cd
    G1,       // the G1 standard projectile's, scaled by a G1 ballistic coefficient
    G7,       // the G7 standard projectile's, scaled by a G7 ballistic coefficient
    Table,    // a table of the projectile's own Cd, read by readDragTable
};

// The curves shipped with the program, read from the CSV files in solvers/data that the
// build embeds; none for Constant and Table.
std::shared_ptr<const DragTable> standardTable(DragCurve curve);

// The embedded CSV text of a shipped curve, its source named in its first lines; empty
// for Constant and Table.
std::string_view standardTableText(DragCurve curve);

} // namespace air
