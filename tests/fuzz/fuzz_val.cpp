// Val reads the same leading number as the C library's conversion, and the same from bytes as
// from text.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include <QString>

#include "fuzz/fuzzcheck.h"
#include "platform/vb/val.h"

namespace {

bool sameNumber(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || (a == b && std::signbit(a) == std::signbit(b));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const double value = platform::vb::Val(bytes);
    fuzzing::check(sameNumber(value, platform::vb::Val(QString::fromLatin1(bytes.data(),
                                                                          static_cast<qsizetype>(size)))),
                   "bytes and text give the same number");

    // The C library also reads hexadecimal, infinities and NaNs, and skips more kinds of blank;
    // only texts both read the same way are compared.
    size_t start = bytes.find_first_not_of(std::string_view(" \t\n\r"));
    if (start == std::string_view::npos)
        start = size;
    std::string text(bytes.substr(start));
    if (!text.empty() && (text[0] == '\v' || text[0] == '\f'))
        return 0;
    if (text.find_first_of("xXiInN") != std::string::npos)
        return 0;
    std::replace(text.begin(), text.end(), 'd', 'e');
    std::replace(text.begin(), text.end(), 'D', 'e');
    fuzzing::check(sameNumber(value, std::strtod(text.c_str(), nullptr)),
                   "Val agrees with strtod on the number prefix");
    return 0;
}
