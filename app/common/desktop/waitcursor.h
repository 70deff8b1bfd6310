#ifndef APP_COMMON_DESKTOP_WAITCURSOR_H
#define APP_COMMON_DESKTOP_WAITCURSOR_H

namespace app::common::desktop {

// Shows the wait cursor for the life of the object, so that work which waits on the module
// shows it and gives it back however the work ends (an exception included). Nests: each object
// takes back only its own cursor. Does nothing without a GUI application.
class WaitCursor
{
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;

private:
    bool shown_ = false;
};

} // namespace app::common::desktop

#endif
