#ifndef APP_COMMON_STRINGBUILDER_H
#define APP_COMMON_STRINGBUILDER_H

#include <cstdint>

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace app::common {

// Collects text bit by bit, one byte per character in the ANSI code page, so that joining
// thousands of lines copies each line once. The buffer grows geometrically: appending stays
// cheap however long the text gets.
class StringBuilder
{
public:
    StringBuilder();

    // Appends the text. A character the ANSI code page cannot hold raises an overflow error and
    // leaves the text as it was.
    void concat(QStringView text);
    // Bytes of text so far.
    int32_t length() const;
    QString Text() const;
    void reset();

private:
    QByteArray buffer_;
};

} // namespace app::common

#endif
