#ifndef APP_SHELL_PAGEBUTTONS_H
#define APP_SHELL_PAGEBUTTONS_H

#include <functional>

#include <QString>

namespace app::shell {

struct MainFrmUi;

// The row of page buttons across the top of the main window: the page sets fill it through
// the window's PageSetHost callbacks, and its hover tips and clicks go to the page set.
class PageButtons
{
public:
    // The switch check runs before every click: true keeps the current page.
    PageButtons(MainFrmUi &ui, std::function<bool(int index)> refuseSwitch);

    PageButtons(const PageButtons &) = delete;
    PageButtons &operator=(const PageButtons &) = delete;

    void clear();
    void add(const QString &glyph, bool enabled);
    // Lays the row out again after it was filled.
    void draw();
    void select(int index);

private:
    MainFrmUi &ui_;
};

} // namespace app::shell

#endif
