#ifndef APP_PAGES_REGISTERPAGES_H
#define APP_PAGES_REGISTERPAGES_H

namespace app::pages {

// Registers a factory with the shell for every device page this program has, by form name.
void RegisterPages();

} // namespace app::pages

#endif
