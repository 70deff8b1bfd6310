#include "app/analysis/csvline.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/vb/val.h"

namespace app::analysis {

namespace {

constexpr int Decimals = 7;

// Singles beyond this round to infinity; up to it they round to the largest single.
constexpr double SingleOverflow = 0x1.ffffffp127;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The common "-12.3456789": at most 15 significant digits and no exponent, read exactly as the
// general parser would (a mantissa below 2^53 divided by an exact power of ten rounds once).
// False sends the text to the general parser.
bool parsePlain(std::string_view text, double &value)
{
    static constexpr std::array<double, 23> Powers = {
        1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    size_t i = 0;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    uint64_t mantissa = 0;
    int digits = 0;
    int significant = 0;
    int decimals = 0;
    auto take = [&](char c) {
        mantissa = mantissa * 10 + static_cast<uint64_t>(c - '0');
        ++digits;
        if (mantissa != 0)
            ++significant;
    };
    while (i < text.size() && isDigit(text[i]))
        take(text[i++]);
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            take(text[i++]);
            ++decimals;
        }
    }
    if (digits == 0 || significant > 15 || decimals >= static_cast<int>(Powers.size()))
        return false;
    if (i < text.size()) {
        const char c = text[i];
        if (c == 'e' || c == 'E' || c == 'd' || c == 'D')
            return false;
    }
    const double magnitude = static_cast<double>(mantissa) / Powers[static_cast<size_t>(decimals)];
    value = negative ? -magnitude : magnitude;
    return true;
}

int formatByDigits(float value, char *out)
{
    // The digits of the single's shortest text, as the toolkit reads a single as a decimal
    // (fixed or scientific, whichever is shorter; the fixed form of a large value is exact),
    // and the number of digits before the point.
    char shortest[48];
    const auto written = std::to_chars(shortest, shortest + sizeof shortest, value);
    const char *p = shortest;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    char digits[48];
    int count = 0;
    int integerDigits = -1;
    for (; p < written.ptr && *p != 'e'; ++p) {
        if (*p == '.')
            integerDigits = count;
        else
            digits[count++] = *p;
    }
    if (integerDigits < 0)
        integerDigits = count;
    if (p < written.ptr) {
        int exponent = 0;
        std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), written.ptr, exponent);
        integerDigits += exponent;
    }
    if (integerDigits > 15) {
        // From 2^53 on the nearest double is an integer whose every digit the pattern writes,
        // not just the shortest ones (3.5680534e27 gives 3568053399999999860088504320).
        double decimal = 0.0;
        std::from_chars(shortest, written.ptr, decimal);
        const auto exact = std::to_chars(digits, digits + sizeof digits, std::fabs(decimal),
                                         std::chars_format::fixed);
        count = static_cast<int>(exact.ptr - digits);
        integerDigits = count;
    }

    // The value times 10^7 as a digit row with at least one integer digit, then rounded at its
    // last place by the first dropped digit.
    const int leading = integerDigits > 1 ? integerDigits : 1;
    const int length = leading + Decimals;
    const int shift = integerDigits - leading;
    char row[MaxReadingChars];
    for (int j = 0; j < length; ++j) {
        const int i = j + shift;
        row[j] = i >= 0 && i < count ? digits[i] : '0';
    }
    const int cut = integerDigits + Decimals;
    bool carry = cut >= 0 && cut < count && digits[cut] >= '5';
    for (int j = length - 1; carry && j >= 0; --j) {
        if (row[j] == '9') {
            row[j] = '0';
        } else {
            ++row[j];
            carry = false;
        }
    }
    bool zero = !carry;
    for (int j = 0; zero && j < length; ++j)
        zero = row[j] == '0';

    char *o = out;
    if (negative && !zero)
        *o++ = '-';
    if (carry)
        *o++ = '1';
    for (int j = 0; j < leading; ++j)
        *o++ = row[j];
    *o++ = '.';
    for (int j = leading; j < length; ++j)
        *o++ = row[j];
    return static_cast<int>(o - out);
}

// |value| x 10^7 as the seven-decimal text of its shortest form, found in exact double
// arithmetic (24 mantissa bits times 10^7 fit in 53): the fewest decimals k <= 7 at which the
// nearest k-decimal number still reads back as the single is that form. False where this does
// not decide (ties, values past 2^24, subnormals): the digit path then takes over.
bool scaledBySearch(float value, int64_t &scaled)
{
    static constexpr std::array<int64_t, 8> Scale = {10'000'000, 1'000'000, 100'000, 10'000,
                                                     1'000,      100,       10,      1};
    const auto bits = std::bit_cast<uint32_t>(value);
    const uint32_t exponent = (bits >> 23) & 0xFF;
    const uint32_t fraction = bits & 0x7FFFFF;
    if (exponent == 0 && fraction == 0) {
        scaled = 0;
        return true;
    }
    if (exponent == 0 || exponent >= 127 + 24)
        return false;
    const double x = std::fabs(static_cast<double>(value));
    const double ulp =
        std::bit_cast<double>(static_cast<uint64_t>(exponent - 150 + 1023) << 52);
    // Readings between the single and its neighbours read back as it; the gap below a power
    // of two is half as wide. Ends count when the mantissa is even (ties go to even). Every
    // product below is exact and below 2^45, so truncation is floor.
    const double below = fraction == 0 && exponent > 1 ? ulp / 4 : ulp / 2;
    const double lo = x - below;
    const double hi = x + ulp / 2;
    const bool ends = (fraction & 1) == 0;
    // All eight places at once, without branches (they pipeline); the fewest that fits wins.
    static constexpr std::array<double, 8> Power = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7};
    std::array<int64_t, 8> nearest{};
    unsigned fits = 0;
    unsigned ties = 0;
    for (size_t k = 0; k < Power.size(); ++k) {
        const double s = x * Power[k];
        const auto whole = static_cast<int64_t>(s);
        const double rest = s - static_cast<double>(whole);
        nearest[k] = whole + (rest > 0.5);
        const auto c = static_cast<double>(nearest[k]);
        const double l = lo * Power[k];
        const double h = hi * Power[k];
        const bool inside = ((c > l) | (ends & (c == l))) & ((c < h) | (ends & (c == h)));
        fits |= static_cast<unsigned>(inside) << k;
        ties |= static_cast<unsigned>(rest == 0.5) << k;
    }
    if (fits != 0) {
        const auto k = static_cast<size_t>(std::countr_zero(fits));
        // A tie at or before the winning place: two candidates equally near.
        if ((ties & ((2u << k) - 1)) != 0)
            return false;
        scaled = nearest[k] * Scale[k];
        return true;
    }
    if (ties != 0)
        return false;
    // More than seven decimals (only below 1): every value between the neighbours rounds
    // alike unless a half-way point lies among them.
    const double l = lo * 1e7 + 0.5;
    const double h = hi * 1e7 + 0.5;
    const auto lowRounded = static_cast<int64_t>(l);
    if (lowRounded != static_cast<int64_t>(h) || static_cast<double>(lowRounded) == l)
        return false;
    scaled = static_cast<int64_t>(x * 1e7 + 0.5);
    return true;
}

} // namespace

int FormatReading(float value, char *out)
{
    int64_t scaled = 0;
    if (!scaledBySearch(value, scaled))
        return formatByDigits(value, out);
    char *o = out;
    if (scaled != 0 && std::signbit(value))
        *o++ = '-';
    o = std::to_chars(o, o + MaxReadingChars - 9, scaled / 10'000'000).ptr;
    *o++ = '.';
    int64_t decimals = scaled % 10'000'000;
    for (int i = Decimals - 1; i >= 0; --i) {
        o[i] = static_cast<char>('0' + decimals % 10);
        decimals /= 10;
    }
    return static_cast<int>(o + Decimals - out);
}

bool ParseReading(std::string_view line, float &value)
{
    size_t start = 0;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t' ||
                                   line[start] == '\r' || line[start] == '\n'))
        ++start;
    line.remove_prefix(start);
    double number = 0.0;
    if (!parsePlain(line, number))
        number = platform::vb::Val(line);
    if (!(std::fabs(number) < SingleOverflow))
        return false;
    constexpr double Largest = std::numeric_limits<float>::max();
    // Between the largest single and the overflow point the nearest single is the largest.
    if (number > Largest)
        value = std::numeric_limits<float>::max();
    else if (number < -Largest)
        value = std::numeric_limits<float>::lowest();
    else
        value = static_cast<float>(number);
    return true;
}

} // namespace app::analysis
