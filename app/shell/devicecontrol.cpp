#include "app/shell/devicecontrol.h"

#include <map>
#include <memory>

#include <QGuiApplication>

#include "app/shell/childcontrol.h"
#include "app/shell/childformclass.h"
#include "app/shell/connection.h"
#include "app/shell/device.h"
#include "app/shell/handlertrap.h"
#include "app/shell/menucontrol.h"
#include "app/shell/pageforms.h"
#include "app/shell/shellstate.h"
#include "platform/vb/vberror.h"

namespace app::shell {

namespace {

using PageSets = ShellState::PageSets;

PageSets &sets()
{
    return ShellState::current().pageSets;
}

// The object behind a pointer the page sets cannot work without.
template <typename T>
T &required(T *object, const char *missing)
{
    if (!object)
        throw platform::vb::VbError(91, QStringLiteral("DeviceControl"),
                                    QString::fromLatin1(missing));
    return *object;
}

PageSetHost &host()
{
    return required(sets().host, "The page sets have no main window");
}

const Device &current()
{
    return required(sets().current, "No page set is selected");
}

// Passes a call on to the main window; without one (before it is up, after it went) the call
// has nothing to do.
template <typename... Params, typename... Args>
void toHost(void (PageSetHost::*call)(Params...), Args... args)
{
    if (PageSetHost *h = sets().host)
        (h->*call)(args...);
}

const QString HomeTip = QStringLiteral(
    "Home*Clicking this button will take you to the Home page where you can safely unplug or "
    "change modules.");
const QString ReviewTip = QStringLiteral(
    "Review*Here you can view captured data and optionally save it to a CSV file. You can also "
    "load and review previously saved CSV files.");

std::unique_ptr<Device> homeSet()
{
    auto d = std::make_unique<Device>();
    d->MODEL = HomeSetKey;
    d->DefaultPage = 1;
    d->addButton(QStringLiteral("B"), QStringLiteral("CHILD_GEN_HOME"), HomeTip);
    d->addButton(QStringLiteral("<"), QStringLiteral("CHILD_GEN_REVIEW"), ReviewTip);
    return d;
}

std::unique_ptr<Device> moduleSet(bool factoryAccess)
{
    auto d = std::make_unique<Device>();
    d->Photo = 2;
    d->iDescription = ModuleSetKey;
    d->MODEL = ModuleSetKey;
    d->DefaultPage = 2;
    d->SaveDelay = 1.0f;
    d->addButton(QStringLiteral("6"), QStringLiteral("CHILD_GEN_HOME"), HomeTip);
    d->addButton(QStringLiteral("7"), QStringLiteral("CHILD_GEN_INFO"),
                 QStringLiteral("Information*This page displays information regarding the "
                                "connected module."));
    d->addButton(QStringLiteral("8"), QStringLiteral("CHILD_GEN_FILE"),
                 QStringLiteral("Save && Restore*This allows saving and restore of module "
                                "configuration to and from a disk file."));
    d->addButton(QStringLiteral(";"), QStringLiteral("CHILD_GEN_CAPTURE"),
                 QStringLiteral("Capture*This page displays a realtime window onto the real-time "
                                "data being captured. You can adjust the width of the window to "
                                "view from between 1 and 30 seconds and have the option to "
                                "capture only the viewed window for review."));
    d->addButton(QStringLiteral("<"), QStringLiteral("CHILD_GEN_REVIEW"), ReviewTip);
    d->addButton(QStringLiteral(":"), QStringLiteral("CHILD_GEN_SCOPE"),
                 QStringLiteral("Scope*This page offers a simple ocilloscope view which helps to "
                                "view wave based elements in the input signal."));
    d->addButton(QStringLiteral("9"), QStringLiteral("CHILD_GEN_FFT"),
                 QStringLiteral("FFT*View the frequency components of the input signal in "
                                "real-time. You can see frequency components from 1 Hz to 2.0 "
                                "kHz."));
    d->addButton(QStringLiteral("="), QStringLiteral("CHILD_GEN_CALIBRATION"),
                 QStringLiteral("Calibration*Clicking this button will let you calibrate the "
                                "module in engineering units."));
    d->addButton(QStringLiteral(">"), QStringLiteral("CHILD_GEN_LOCK"),
                 QStringLiteral("Lock*Lock out specific functionality and protect with a "
                                "passcode."));
    if (factoryAccess)
        d->addButton(QStringLiteral("@"), QStringLiteral("CHILD_GEN_FACTORY"),
                     QStringLiteral("Factory Only*Allows access to manufacture only parameters "
                                    "and calibration."));
    return d;
}

} // namespace

void SetPageSetHost(PageSetHost *host)
{
    sets().host = host;
}

void ShowRecordBlanker(bool visible)
{
    toHost(&PageSetHost::setRecordBlankerVisible, visible);
}

void ShowPageHost()
{
    toHost(&PageSetHost::showPageHost);
}

void SetPageRefreshInterval(int milliseconds)
{
    toHost(&PageSetHost::setRefreshInterval, milliseconds);
}

void EnableMainWindow(bool enabled)
{
    toHost(&PageSetHost::setMainWindowEnabled, enabled);
}

void ShutDownProgram()
{
    toHost(&PageSetHost::shutDown);
}

void BuildDeviceList(bool factoryAccess)
{
    PageSets &s = sets();
    s.current = nullptr;
    s.sets.clear();
    s.sets[HomeSetKey] = homeSet();
    s.sets[ModuleSetKey] = moduleSet(factoryAccess);
}

void SelectDevice(const QString &key)
{
    PageSets &s = sets();
    const auto it = s.sets.find(key);
    if (it == s.sets.end())
        throw platform::vb::VbError(5, QStringLiteral("SelectDevice"),
                                    QStringLiteral("Unknown page set: %1").arg(key));
    s.current = it->second.get();
}

void ClearDevices()
{
    sets().current = nullptr;
    sets().sets.clear();
}

const Device *CurrentDevice()
{
    return sets().current;
}

void BuildButtonBar()
{
    const Device &set = current();
    PageSetHost &h = host();
    h.clearButtons();
    for (int i = 1; i <= set.ButtonCount(); ++i)
        h.addButton(set.ButtonImage(i), HasPageFactory(set.Form(i)));
    h.drawButtons();
    h.selectButton(set.DefaultPage);
    OpenPage(LoadPage(set.Form(set.DefaultPage)));
}

void ShowButtonTip(int index)
{
    try {
        host().TipOn(current().ButtonToolTip(index));
    } catch (const platform::vb::VbError &) {
        // An index without a tooltip shows nothing.
        LogSkippedHandler("DeviceControl", "ShowButtonTip");
    }
}

void HideButtonTip()
{
    if (PageSetHost *h = sets().host)
        h->TipOff();
}

void SwitchPage(int index)
{
    const Device &set = current();
    const QString form = set.Form(index); // refuses a bad index before anything changes
    PageSetHost &h = host();
    h.restartRefreshTimer();
    h.TipOff();
    DeactivateCurrentPage();
    CurrentPageType();
    if (index == 1) {
        h.setErrorResetEnabled(false);
        h.reportCommsFailure(QString(), false);
        UnloadPages();
        SelectDevice(HomeSetKey);
        BuildButtonBar();
        HideExtraInfo();
        h.setStreamRunning(false);
    } else {
        h.releaseMouseCapture();
        OpenPage(LoadPage(form));
    }
    h.TipOff();
}

bool ShowSnapshotInReview()
{
    static const QString ReviewPage = QStringLiteral("CHILD_GEN_REVIEW");
    const Device *set = CurrentDevice();
    const int review = set ? static_cast<int>(set->FormCollection.indexOf(ReviewPage)) + 1 : 0;
    if (review == 0 || !HasPageFactory(ReviewPage))
        return false;
    // The current page is told DeActivated before the Review page shows the snapshot.
    SwitchPage(review);
    host().selectButton(review);
    if (ChildFormClass *page = LoadedPage(ReviewPage))
        QMetaObject::invokeMethod(page, "ShowSnapshot");
    return true;
}

void UpdateCommsStatus()
{
    PageSetHost &h = host();
    const QString text = QString::number(h.errorState());
    if (text != QLatin1String("0")) {
        h.reportCommsFailure(text, true);
        h.setErrorResetEnabled(true);
    } else {
        h.reportCommsFailure(CurrentConnection().ConnectionStatusText, false);
    }
}

} // namespace app::shell
