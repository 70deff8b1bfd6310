#ifndef APP_SHELL_ENTRYREQUEST_H
#define APP_SHELL_ENTRYREQUEST_H

#include <cstdint>
#include <functional>

#include <QString>

namespace app::shell {

// A question the main window asks through the entry dialog.
struct EntryRequest
{
    enum class Kind { OkCancel, Manual };
    Kind kind = Kind::OkCancel;
    QString title;
    QString description;
    // Manual entries only.
    QString defaultText;
    QString formatting;
    bool numeric = false;
    QString allowed;
    float min = 0.0f;
    float max = 0.0f;
    int16_t length = 0;
};

struct EntryAnswer
{
    bool cancelled = true;
    QString value; // the entered value, "." as decimal separator
};

using EntryPrompt = std::function<EntryAnswer(const EntryRequest &)>;

} // namespace app::shell

#endif
