#ifndef APP_PAGES_STREAMSCALING_H
#define APP_PAGES_STREAMSCALING_H

namespace app::device {
class HXR;
}

namespace app::pages {

// The driver scales the stream with the module's GAIN and OFFS as it read them last: after a
// page changes the output chain it loads them again, with one retry, and says so when it cannot
// ("Critical Error", or "Communication Error" when the module no longer answers). A change that
// lost the link on the way (a timeout or no device latched) changed nothing to re-read: then
// nothing is read and nothing said, the shell shows the failure. True when they were loaded.
bool ReloadStreamScaling(app::device::HXR &hxr);

} // namespace app::pages

#endif
