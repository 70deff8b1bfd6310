#ifndef APP_REGISTERPAGES_H
#define APP_REGISTERPAGES_H

namespace app {

// Registers a factory with the shell for every page this program has, device and signal pages
// alike, by form name. The program's composition root: the one place that knows every page.
void RegisterPages();

} // namespace app

#endif
