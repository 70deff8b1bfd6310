#include "platform/vb/val.h"

#include <cstdlib>
#include <string>

#include <locale.h>

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

size_t leadingBlanks(std::string_view text)
{
    size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t' ||
                                   text[start] == '\n' || text[start] == '\r'))
        ++start;
    return start;
}

} // namespace

size_t ValNumberEnd(std::string_view text)
{
    const size_t start = leadingBlanks(text);
    const size_t length = numberLength(text.substr(start));
    return length == 0 ? 0 : start + length;
}

double Val(std::string_view text)
{
    text.remove_prefix(leadingBlanks(text));
    const size_t length = numberLength(text);
    if (length == 0)
        return 0.0;
    std::string number(text.substr(0, length));
    for (char &c : number) {
        if (c == 'd' || c == 'D')
            c = 'e';
    }
    // The C library's conversion in the "C" locale rounds correctly at both ends of the range:
    // too small gives the nearest denormal or zero, too large gives infinity.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
    return strtod_l(number.c_str(), nullptr, cLocale);
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
