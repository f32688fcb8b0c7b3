#pragma once

// A value typed for a control that otherwise takes only scroll positions: the
// text is read as one number and turned into the position whose value lies
// nearest, or refused with the reason. The position then goes to the control,
// so every change that follows is the control's own.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace typed {

// The positions of a control as its value box shows them. `value` never
// decreases with the position; without it a position stands for the number its
// text reads as.
struct Scale
{
    int minimum = 0;
    int maximum = 0;
    std::function<std::string(int)> text = {};
    std::function<double(int)> value = {};
};

enum class Outcome {
    Exact,          // the position holds the number typed, or its box shows it
    Nearest,        // the number lies between positions: the nearest is taken
    Empty,          // nothing but blanks
    NotANumber,     // letters, a comma, a second point: not a number
    SeveralNumbers, // blanks between numbers
    NotFinite,      // NaN, infinity, or too large for a double
    BelowRange,     // below the lowest position's value
    AboveRange,     // above the highest position's value
};

// One number typed on its own: Exact stands for "a number" (held in `number`);
// otherwise Empty, NotANumber, SeveralNumbers or NotFinite. Blanks around it are
// ignored, "." is the decimal point and "E" starts a power of ten.
struct Parsed
{
    Outcome outcome = Outcome::NotANumber;
    double number = 0.0;
};
Parsed parseNumber(std::string_view text);

struct Reading
{
    Outcome outcome = Outcome::Empty;
    int position = 0; // for Exact and Nearest
};

// Blanks around the number are ignored; "." is the decimal point and "E" starts
// a power of ten. A value that rounds to what an end position shows is inside
// the range. Halfway between two positions, the one farther from zero is taken.
Reading read(std::string_view text, const Scale &scale);

// A whole number from minimum to maximum, shown as plain digits.
Scale wholeNumbers(int minimum, int maximum);

// Each position counts `perUnit`-ths of the value, shown in the general text form.
Scale fractions(int minimum, int maximum, double perUnit);

// How a control's values are spoken of in its messages.
struct Wording
{
    std::string unit = {};              // after a number: " Meters", "°", "" for none
    std::string noun = {};              // "angle": "the nearest angle this screen can take"
    std::string kind = "A number";      // opens the tool tip: "A whole number"
    std::string steps = {};             // follows the range in the tool tip: ", to a tenth"
    std::string below = "Out of range"; // opens the message for a value below the range
    std::string above = "Out of range";
};

// What the control takes, for its editor's tool tip.
std::string acceptsText(const Scale &scale, const Wording &wording);

// Why the text is refused, or what an inexact value was set to; empty when exact.
std::string noteText(const Reading &reading, const Scale &scale, const Wording &wording);

struct Verdict
{
    std::optional<int> position; // none: refused
    std::string note;
};

// read and noteText at once, for the editor.
Verdict judge(std::string_view text, const Scale &scale, const Wording &wording);

} // namespace typed
