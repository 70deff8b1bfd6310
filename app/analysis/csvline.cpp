#include "app/analysis/csvline.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
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
// general parser would (a mantissa below 2^53 divided by an exact power of ten rounds once);
// `end` is where the number ends. False sends the text to the general parser.
bool parsePlain(std::string_view text, double &value, size_t &end)
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
    end = i;
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

// Where a single's shortest decimal form is searched for: x its magnitude, [lo, hi] the readings
// that read back as it (ends included when `ends`). Every product below is exact and below
// 2^45, so truncation is floor.
struct Neighbourhood
{
    double x;
    double lo;
    double hi;
    bool ends;
};

constexpr std::array<double, 8> Power = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7};
constexpr std::array<int64_t, 8> Scale = {10'000'000, 1'000'000, 100'000, 10'000,
                                          1'000,      100,       10,      1};

// The k-decimal number nearest x, times 10^k; whether it reads back as the single; whether x
// lies half-way between two such numbers.
struct Place
{
    int64_t nearest;
    bool fits;
    bool tie;
};

Place place(const Neighbourhood &n, size_t k)
{
    const double s = n.x * Power[k];
    const auto whole = static_cast<int64_t>(s);
    const double rest = s - static_cast<double>(whole);
    const int64_t nearest = whole + (rest > 0.5);
    const auto c = static_cast<double>(nearest);
    const double l = n.lo * Power[k];
    const double h = n.hi * Power[k];
    const bool fits = ((c > l) | (n.ends & (c == l))) & ((c < h) | (n.ends & (c == h)));
    return {nearest, fits, rest == 0.5};
}

// More than seven decimals (only below 1): every value between the neighbours rounds alike
// unless a half-way point lies among them.
bool scaledPastSeven(const Neighbourhood &n, int64_t &scaled)
{
    const double l = n.lo * 1e7 + 0.5;
    const double h = n.hi * 1e7 + 0.5;
    const auto lowRounded = static_cast<int64_t>(l);
    if (lowRounded != static_cast<int64_t>(h) || static_cast<double>(lowRounded) == l)
        return false;
    scaled = static_cast<int64_t>(n.x * 1e7 + 0.5);
    return true;
}

// Below a power of two the gap is half as wide, so a nearer number may fall outside while a
// farther one fits: every place is tried, all at once (they pipeline), the fewest that fits
// wins. A tie at or before it means two candidates equally near.
bool scaledByEveryPlace(const Neighbourhood &n, int64_t &scaled)
{
    std::array<int64_t, 8> nearest{};
    unsigned fits = 0;
    unsigned ties = 0;
    for (size_t k = 0; k < Power.size(); ++k) {
        const Place p = place(n, k);
        nearest[k] = p.nearest;
        fits |= static_cast<unsigned>(p.fits) << k;
        ties |= static_cast<unsigned>(p.tie) << k;
    }
    if (fits != 0) {
        const auto k = static_cast<size_t>(std::countr_zero(fits));
        if ((ties & ((2u << k) - 1)) != 0)
            return false;
        scaled = nearest[k] * Scale[k];
        return true;
    }
    if (ties != 0)
        return false;
    return scaledPastSeven(n, scaled);
}

// The fewest decimals at which a number between the neighbours exists: the first place whose
// step is no wider than the single's own (2^(exponent - 150)), capped at seven.
constexpr std::array<uint8_t, 256> LikelyPlace = [] {
    std::array<uint8_t, 256> places{};
    for (int exponent = 0; exponent < 256; ++exponent) {
        double gap = 1.0; // 2^(150 - exponent), the steps of the single per unit
        for (int i = exponent; i < 150; ++i)
            gap *= 2.0;
        int k = 0;
        for (double step = 1.0; step < gap && k < 7; step *= 10.0)
            ++k;
        places[static_cast<size_t>(exponent)] = static_cast<uint8_t>(k);
    }
    return places;
}();

// A single with its neighbours equally far on either side, as mantissa / 2^shift: the
// readings that read back as it lie between (2 mantissa -+ 1) / 2^(shift + 1), ends included
// when `ends`.
struct Single
{
    uint64_t mantissa;
    unsigned shift; // at most 60, so nothing below overflows 64 bits
    bool ends;
};

// place() in integers: products of at most 49 bits, shifts instead of conversions.
Place exactPlace(const Single &v, size_t k)
{
    const auto power = static_cast<uint64_t>(Power[k]);
    const uint64_t scaled = v.mantissa * power;
    const uint64_t whole = scaled >> v.shift;
    const uint64_t rest = scaled - (whole << v.shift);
    const uint64_t half = v.shift > 0 ? uint64_t{1} << (v.shift - 1) : 0;
    const uint64_t nearest = whole + (rest > half);
    const uint64_t c = nearest << (v.shift + 1);
    const uint64_t l = (2 * v.mantissa - 1) * power;
    const uint64_t h = (2 * v.mantissa + 1) * power;
    const bool fits = ((c > l) | (v.ends & (c == l))) & ((c < h) | (v.ends & (c == h)));
    return {static_cast<int64_t>(nearest), fits, v.shift > 0 && rest == half};
}

// Where the neighbourhood is symmetric, a number of k decimals fits exactly when the nearest
// one does, and then one of every later place fits too: the places that fit run from the
// fewest on. The neighbourhood is at least one step of the likely place wide, so a number of
// that place always fits unless the cap of seven cut it short; the search walks down from it.
enum class Search { Found, Tie, NoneFits };

Search scaledFromLikelyPlace(const Single &v, size_t likely, int64_t &scaled)
{
    size_t k = likely;
    Place best = exactPlace(v, k);
    if (!best.fits)
        return Search::NoneFits;
    while (k > 0) {
        const Place fewer = exactPlace(v, k - 1);
        if (!fewer.fits)
            break;
        best = fewer;
        --k;
    }
    if (best.tie)
        return Search::Tie;
    scaled = best.nearest * Scale[k];
    return Search::Found;
}

// |value| x 10^7 as the seven-decimal text of its shortest form, found in exact arithmetic
// (24 mantissa bits times 10^7 fit in the 53 of a double): the fewest decimals k <= 7 at
// which the nearest k-decimal number still reads back as the single is that form. False where
// this does not decide (ties, values past 2^24, subnormals): the digit path then takes over.
bool scaledBySearch(float value, int64_t &scaled)
{
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
    const double ulp = std::bit_cast<double>(static_cast<uint64_t>(exponent - 150 + 1023) << 52);
    // Ends count when the mantissa is even (ties go to even).
    const bool ends = (fraction & 1) == 0;
    if (fraction == 0 && exponent > 1)
        return scaledByEveryPlace({x, x - ulp / 4, x + ulp / 2, ends}, scaled);
    // Below 2^-37 no number of seven decimals or fewer comes near.
    if (exponent >= 90) {
        const Search found = scaledFromLikelyPlace({fraction | (1u << 23), 150 - exponent, ends},
                                                   LikelyPlace[exponent], scaled);
        if (found != Search::NoneFits)
            return found == Search::Found;
    }
    return scaledPastSeven({x, x - ulp / 2, x + ulp / 2, ends}, scaled);
}

// The seven digits of a number below 10^7, in pairs that do not wait on each other.
void writeSevenDigits(uint32_t number, char *out)
{
    static constexpr auto Pairs = [] {
        std::array<char, 200> pairs{};
        for (int i = 0; i < 100; ++i) {
            pairs[static_cast<size_t>(2 * i)] = static_cast<char>('0' + i / 10);
            pairs[static_cast<size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
        }
        return pairs;
    }();
    const uint32_t rest = number % 1'000'000;
    const auto pair = [](uint32_t twoDigits) { return &Pairs[2 * static_cast<size_t>(twoDigits)]; };
    out[0] = static_cast<char>('0' + number / 1'000'000);
    std::memcpy(out + 1, pair(rest / 10'000), 2);
    std::memcpy(out + 3, pair(rest / 100 % 100), 2);
    std::memcpy(out + 5, pair(rest % 100), 2);
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
    const auto whole = static_cast<uint32_t>(scaled / 10'000'000); // below 2^24
    if (whole < 10)
        *o++ = static_cast<char>('0' + whole);
    else
        o = std::to_chars(o, o + 8, whole).ptr;
    *o++ = '.';
    writeSevenDigits(static_cast<uint32_t>(scaled % 10'000'000), o);
    return static_cast<int>(o + Decimals - out);
}

bool ParseReading(std::string_view line, float &value, bool *decimalComma)
{
    size_t start = 0;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t' ||
                                   line[start] == '\r' || line[start] == '\n'))
        ++start;
    line.remove_prefix(start);
    double number = 0.0;
    size_t end = 0;
    if (!parsePlain(line, number, end)) {
        number = platform::vb::Val(line);
        end = decimalComma ? platform::vb::ValNumberEnd(line) : 0;
    }
    if (decimalComma)
        *decimalComma =
            end > 0 && end + 1 < line.size() && line[end] == ',' && isDigit(line[end + 1]);
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
