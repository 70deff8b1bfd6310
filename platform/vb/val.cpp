#include "platform/vb/val.h"

#include <charconv>
#include <cmath>
#include <string>

namespace platform::vb {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Length of the longest prefix of text that reads as a decimal number.
size_t numberLength(std::string_view text)
{
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

} // namespace

double Val(std::string_view text)
{
    size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t' ||
                                   text[start] == '\n' || text[start] == '\r'))
        ++start;
    text.remove_prefix(start);
    const size_t length = numberLength(text);
    if (length == 0)
        return 0.0;
    std::string number(text.substr(0, length));
    for (char &c : number) {
        if (c == 'd' || c == 'D')
            c = 'e';
    }
    // from_chars takes no leading "+".
    const char *first = number.data() + (number[0] == '+' ? 1 : 0);
    double value = 0.0;
    const auto result = std::from_chars(first, number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too small underflows to zero, too large overflows to infinity, as strtod does.
        const bool negative = number[0] == '-';
        const size_t exponent = number.find('e');
        const bool tiny = exponent != std::string::npos && exponent + 1 < number.size() &&
                          number[exponent + 1] == '-';
        const double magnitude = tiny ? 0.0 : HUGE_VAL;
        return negative ? -magnitude : magnitude;
    }
    return value;
}

double Val(QStringView text)
{
    // Only ASCII can be part of a number; anything else ends it.
    std::string ascii;
    ascii.reserve(static_cast<size_t>(text.size()));
    for (QChar c : text)
        ascii.push_back(c.unicode() < 128 ? static_cast<char>(c.unicode()) : '\x01');
    return Val(std::string_view(ascii));
}

} // namespace platform::vb
