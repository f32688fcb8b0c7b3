#pragma once

// Text <-> number conversions shared by every screen. The decimal point is
// always "." whatever the process locale says.

#include <string>
#include <string_view>

namespace conv {

// Blanks as the number readers skip them; digits of the C locale whatever the process's.
inline bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

inline bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The longest leading number of `text` (sign, digits, point, digits, "E" exponent),
// blanks skipped anywhere inside it. No number gives 0; never fails.
double leadingNumber(std::string_view text);

// The power of ten of the first nonzero digit of a number written as a sign, digits with
// at most one point and an optional exponent: 2 for "-123.4", -3 for "0.0015", 4 for
// "1.2e4". It tells a number too large for a double from one too small, which the
// exponent's sign alone does not ("2000e-1", "0.0001"). Of no use without a nonzero digit.
long long decimalMagnitude(std::string_view number);

// A whole number as plain digits with a leading "-" when negative: 0, -150.
std::string wholeNumberText(long long value);

// Up to 15 significant digits, trailing zeros dropped; exponent form ("1E-07",
// "1.5E+15") when the decimal exponent is below -4 or at least 15.
std::string generalText(double value);

// A display pattern such as "##.000", "####.0", "#0.000" or "##.#####": rounds half away
// from zero on the exact binary value to the pattern's decimals, shows every integer
// digit, and no integer digit for a zero integer part unless the pattern asks with "0".
std::string formatPattern(double value, std::string_view pattern);

} // namespace conv
