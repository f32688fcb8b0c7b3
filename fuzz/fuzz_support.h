#pragma once

// What the fuzz targets share: a check that stops the run with its reason, and a reading
// of numbers written independently of the project's, to hold its parsers against.

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

// abort() is what libFuzzer saves a crashing input for.
#define FUZZ_CHECK(condition, ...)                                                                                     \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n  ", __FILE__, __LINE__, #condition);                       \
            std::fprintf(stderr, __VA_ARGS__);                                                                         \
            std::fputc('\n', stderr);                                                                                  \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)

namespace fuzz {

inline bool blank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

inline bool digit(char c)
{
    return c >= '0' && c <= '9';
}

// Length of the longest prefix of the form [+-]? (d+ .? d* | . d+) ([eE] [+-]? d+)?, 0 when none.
inline std::size_t numberPrefix(std::string_view s)
{
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    std::size_t mantissa = 0;
    for (; i < s.size() && digit(s[i]); ++i)
        ++mantissa;
    if (i < s.size() && s[i] == '.') {
        ++i;
        for (; i < s.size() && digit(s[i]); ++i)
            ++mantissa;
    }
    if (mantissa == 0)
        return 0;
    std::size_t end = i;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        const std::size_t first = i;
        for (; i < s.size() && digit(s[i]); ++i) {
        }
        if (i > first)
            end = i;
    }
    return end;
}

struct Reference
{
    double value = 0;
    bool overflow = false;  // beyond the largest double
    bool underflow = false; // below the smallest normal double: 0 or a subnormal
};

// The C library's reading of text that numberPrefix accepts whole; the fuzzers never
// set a locale, so "." is its decimal point.
inline Reference strtodReference(std::string_view number)
{
    const std::string copy(number);
    errno = 0;
    Reference r;
    r.value = std::strtod(copy.c_str(), nullptr);
    const bool range = errno == ERANGE;
    r.overflow = range && std::isinf(r.value);
    r.underflow = std::fabs(r.value) < DBL_MIN;
    return r;
}

// A parsed value against the reference: equal, or for an underflow 0 or the subnormal.
inline bool agrees(double parsed, const Reference &r)
{
    if (r.underflow)
        return parsed == 0 || parsed == r.value;
    return parsed == r.value;
}

inline bool validUtf8(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t extra = 0;
        unsigned long code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            code = c & 0x1Fu;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            code = c & 0x0Fu;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            code = c & 0x07u;
        } else {
            return false;
        }
        if (i + extra >= s.size())
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0u) != 0x80u)
                return false;
            code = (code << 6) | (d & 0x3Fu);
        }
        // Overlong forms, surrogates and code points past U+10FFFF.
        if ((extra == 2 && code < 0x800) || (extra == 3 && code < 0x10000) || code > 0x10FFFF ||
            (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

} // namespace fuzz
