#include "app/common/stringbuilder.h"

#include <limits>

#include "platform/vb/cp1252.h"
#include "platform/vb/vberror.h"

namespace app::common {

namespace {

[[noreturn]] void overflow(const char *member)
{
    throw platform::vb::VbError(platform::vb::VbError::Overflow,
                                QStringLiteral("StringBuilder.") + QLatin1String(member),
                                QStringLiteral("Overflow"));
}

} // namespace

StringBuilder::StringBuilder()
{
    reset();
}

void StringBuilder::concat(QStringView text)
{
    if (!platform::vb::fitsCp1252(text))
        overflow("concat");
    const QByteArray bytes = platform::vb::toCp1252(text);
    if (bytes.size() > std::numeric_limits<int32_t>::max() - buffer_.size())
        overflow("concat");
    buffer_.append(bytes);
}

int32_t StringBuilder::length() const
{
    return int32_t(buffer_.size());
}

QString StringBuilder::Text() const
{
    return platform::vb::fromCp1252(buffer_);
}

void StringBuilder::reset()
{
    buffer_.clear();
}

} // namespace app::common
