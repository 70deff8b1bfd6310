#ifndef APP_PAGES_CHANGEGUARD_H
#define APP_PAGES_CHANGEGUARD_H

namespace app::device {
class HXR;
}

namespace app::pages {

// While the device object holds a communication failure it sends nothing, so a change the
// user makes would be dropped and the page would carry on as if it had been made. False then,
// after the shell's one message ("You cannot alter values while communication errors exist!");
// true while nothing is latched.
bool ChangeAllowed(const app::device::HXR &hxr);

} // namespace app::pages

#endif
