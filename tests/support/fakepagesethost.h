#ifndef TESTS_SUPPORT_FAKEPAGESETHOST_H
#define TESTS_SUPPORT_FAKEPAGESETHOST_H

#include <functional>
#include <vector>

#include <QString>
#include <QStringList>

#include "app/shell/devicecontrol.h"

namespace testsupport {

// Records what the page sets and the pages ask of the main window.
class FakePageSetHost : public app::shell::PageSetHost
{
public:
    QStringList buttons; // glyph, "-" appended when disabled
    int selected = -1;
    int timerRestarts = 0;
    int pageHostShown = 0;
    QStringList tips;
    bool errorResetEnabled = false;
    QStringList status; // "text|failed"
    int error = 0;
    bool streamRunning = true;
    std::vector<bool> blankerShown;
    std::vector<int> refreshIntervals;
    std::vector<bool> mainWindowEnabled;
    int shutDowns = 0;
    // Called with each setStreamRunning, for hosts that pass it on to the device.
    std::function<void(bool running)> onStreamRunning;

    void clearButtons() override { buttons.clear(); }
    void addButton(const QString &glyph, bool enabled) override
    {
        buttons << glyph + (enabled ? QString() : QStringLiteral("-"));
    }
    void drawButtons() override {}
    void selectButton(int index) override { selected = index; }
    void restartRefreshTimer() override { ++timerRestarts; }
    void setRefreshInterval(int milliseconds) override { refreshIntervals.push_back(milliseconds); }
    void setRecordBlankerVisible(bool visible) override { blankerShown.push_back(visible); }
    void setMainWindowEnabled(bool enabled) override { mainWindowEnabled.push_back(enabled); }
    void shutDown() override { ++shutDowns; }
    void showPageHost() override { ++pageHostShown; }
    void TipOn(const QString &text) override { tips << text; }
    void TipOff() override {}
    void releaseMouseCapture() override {}
    void setErrorResetEnabled(bool enabled) override { errorResetEnabled = enabled; }
    void reportCommsFailure(const QString &text, bool failed) override
    {
        status << text + (failed ? QStringLiteral("|1") : QStringLiteral("|0"));
    }
    int errorState() override { return error; }
    void setStreamRunning(bool running) override
    {
        streamRunning = running;
        if (onStreamRunning)
            onStreamRunning(running);
    }
};

} // namespace testsupport

#endif
