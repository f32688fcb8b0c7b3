#include "model/conversions.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace conv {

namespace {

// Reads the number prefix into `out` in a compact form that from_chars accepts.
void collectNumber(std::string_view text, std::string &out)
{
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && isBlank(text[i]))
            ++i;
    };
    auto digits = [&] {
        std::size_t n = 0;
        for (skipBlanks(); i < text.size() && isDigit(text[i]); skipBlanks()) {
            out += text[i++];
            ++n;
        }
        return n;
    };

    skipBlanks();
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-')
            out += '-';
        ++i;
    }
    std::size_t mantissaDigits = digits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        out += '.';
        mantissaDigits += digits();
    }
    if (mantissaDigits == 0) {
        out.clear();
        return;
    }
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        const std::size_t mark = out.size();
        ++i;
        out += 'e';
        skipBlanks();
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            out += text[i++];
        if (digits() == 0)
            out.resize(mark); // "E" without digits is not part of the number
    }
}

} // namespace

long long decimalMagnitude(std::string_view number)
{
    std::size_t i = 0;
    if (i < number.size() && (number[i] == '+' || number[i] == '-'))
        ++i;
    long long beforePoint = 0;     // digits from the first nonzero one to the point
    long long zerosAfterPoint = 0; // before the first nonzero digit, when none precedes the point
    bool significant = false;
    bool afterPoint = false;
    for (; i < number.size() && (isDigit(number[i]) || number[i] == '.'); ++i) {
        if (number[i] == '.') {
            afterPoint = true;
            continue;
        }
        significant = significant || number[i] != '0';
        if (significant && !afterPoint)
            ++beforePoint;
        else if (!significant && afterPoint)
            ++zerosAfterPoint;
    }
    long long exponent = 0;
    if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
        ++i;
        const bool negative = i < number.size() && number[i] == '-';
        if (i < number.size() && (number[i] == '+' || number[i] == '-'))
            ++i;
        // Saturated far beyond any count of digits a text can hold: still decisive, and the sum cannot overflow.
        constexpr long long far = 1'000'000'000'000'000LL;
        for (; i < number.size() && isDigit(number[i]); ++i)
            exponent = std::min(exponent * 10 + (number[i] - '0'), far);
        if (negative)
            exponent = -exponent;
    }
    return (beforePoint > 0 ? beforePoint - 1 : -(zerosAfterPoint + 1)) + exponent;
}

double leadingNumber(std::string_view text)
{
    std::string number;
    collectNumber(text, number);
    if (number.empty() || number == "-" || number == "." || number == "-.")
        return 0.0;

    const char *first = number.data();
    const char *last = number.data() + number.size();
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec == std::errc::result_out_of_range) {
        // Too large saturates, too small is zero: a parse never yields infinity.
        const bool negative = number.front() == '-';
        if (decimalMagnitude(number) < 0)
            return negative ? -0.0 : 0.0;
        const double big = std::numeric_limits<double>::max();
        return negative ? -big : big;
    }
    (void)ptr;
    return ec == std::errc() ? value : 0.0;
}

std::string wholeNumberText(long long value)
{
    return std::to_string(value);
}

std::string generalText(double value)
{
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value < 0 ? "-Infinity" : "Infinity";
    if (value == 0.0)
        return "0";

    // 15 significant digits, rounded once: "d.dddddddddddddde±xx".
    std::array<char, 64> buf{};
    const auto res =
        std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(value), std::chars_format::scientific, 14);
    const std::string_view sci(buf.data(), static_cast<std::size_t>(res.ptr - buf.data()));
    const std::size_t e = sci.find('e');
    std::string digits;
    digits += sci[0];
    digits += sci.substr(2, e - 2);
    const int exponent = std::atoi(std::string(sci.substr(e + 1)).c_str());
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string out = value < 0 ? "-" : "";
    if (exponent < -4 || exponent >= 15) {
        out += digits[0];
        if (digits.size() > 1) {
            out += '.';
            out += digits.substr(1);
        }
        out += 'E';
        out += exponent < 0 ? '-' : '+';
        const int mag = std::abs(exponent);
        if (mag < 10)
            out += '0';
        out += std::to_string(mag);
    } else if (exponent < 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
    } else {
        const auto intDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= intDigits) {
            out += digits;
            out.append(intDigits - digits.size(), '0');
        } else {
            out += digits.substr(0, intDigits);
            out += '.';
            out += digits.substr(intDigits);
        }
    }
    return out;
}

std::string formatPattern(double value, std::string_view pattern)
{
    if (!std::isfinite(value))
        return generalText(value);

    const std::size_t point = pattern.find('.');
    const std::string_view intPattern = pattern.substr(0, point);
    const std::string_view fracPattern =
        point == std::string_view::npos ? std::string_view{} : pattern.substr(point + 1);
    const std::size_t decimals = fracPattern.size();
    std::size_t minIntDigits = 0;
    for (char c : intPattern)
        minIntDigits += c == '0';
    // "0" places in the fraction always show; "#" places drop trailing zeros.
    std::size_t minFracDigits = 0;
    for (std::size_t i = 0; i < fracPattern.size(); ++i)
        if (fracPattern[i] == '0')
            minFracDigits = i + 1;

    // The exact decimal expansion of the binary value decides the rounding.
    constexpr int exactDigits = 1100;
    std::string buf(std::numeric_limits<double>::max_exponent10 + exactDigits + 8, '\0');
    const auto res =
        std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(value), std::chars_format::fixed, exactDigits);
    buf.resize(static_cast<std::size_t>(res.ptr - buf.data()));
    const std::size_t dot = buf.find('.');
    std::string digits = buf.substr(0, dot) + buf.substr(dot + 1, decimals);
    const char next = buf[dot + 1 + decimals];
    if (next >= '5') {
        std::size_t i = digits.size();
        while (i > 0) {
            --i;
            if (digits[i] == '9') {
                digits[i] = '0';
            } else {
                ++digits[i];
                break;
            }
            if (i == 0)
                digits.insert(digits.begin(), '1');
        }
    }
    std::string intPart = digits.substr(0, digits.size() - decimals);
    std::string fracPart = digits.substr(digits.size() - decimals);

    const std::size_t firstNonZero = intPart.find_first_not_of('0');
    intPart = firstNonZero == std::string::npos ? std::string{} : intPart.substr(firstNonZero);
    if (intPart.size() < minIntDigits)
        intPart.insert(0, minIntDigits - intPart.size(), '0');
    while (fracPart.size() > minFracDigits && fracPart.back() == '0')
        fracPart.pop_back();

    std::string out = value < 0 ? "-" : "";
    out += intPart;
    if (point != std::string_view::npos) {
        out += '.';
        out += fracPart;
    }
    return out;
}

} // namespace conv
