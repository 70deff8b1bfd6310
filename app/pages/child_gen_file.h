#ifndef APP_PAGES_CHILD_GEN_FILE_H
#define APP_PAGES_CHILD_GEN_FILE_H

#include <cstdint>
#include <optional>

#include <QByteArray>
#include <QString>

#include "app/shell/childformclass.h"

namespace app::controls {
class VXBtn;
}

namespace app::device {
class HXR;
}

namespace platform::win {
class ParsedProfile;
}

namespace app::pages {

namespace hcf {
struct PlannedWrite;
struct RestorePlan;
} // namespace hcf

// The Save and Restore page: the connected module's configuration to a ".hcf" file, and such a
// file back onto the same module, or cloned onto another of the same model.
class CHILD_GEN_FILE : public app::shell::ChildFormClass
{
    Q_OBJECT

public:
    static inline const QString FormName = QStringLiteral("CHILD_GEN_FILE");
    static inline const QString SaveText = QStringLiteral(
        "Query the device for its parameters and save these to a configuration file on your "
        "computer or network location.");
    static inline const QString RestoreText = QStringLiteral(
        "Load a previously saved configuration file into the currently connected device. "
        "**NOTE: As all parameters are restored you will overwrite the existing device "
        "calibration information.");
    // The collected error text is shown cut to this length.
    static constexpr int ErrorTextLimit = 1024;

    explicit CHILD_GEN_FILE(QWidget *parent = nullptr);

    QString HelpText() const override;
    void TimedRefresh() override {}
    void Activated() override;
    void DeActivated() override {}
    int PageType() const override { return 0; }

    // The clicks of the two links.
    void SaveHXR();
    void RestoreHXR();

    // The file the user chooses to save to or restore from; empty when cancelled. The
    // settings file keeps the folder, the file name and the serial number saved last.
    QString GetSaveFileName();
    QString GetRestoreFilename();
    // The default file name: serial number, a blank, the model's name, ".hcf".
    static QString DefaultFileName();
    // The leading number of the text, "," read as ".".
    static double iVal(const QString &text);

    app::controls::VXBtn *HyperlinkSave() const { return hyperlinkSave_; }
    app::controls::VXBtn *HyperlinkRestore() const { return hyperlinkRestore_; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // The file a save or a restore works on, chosen once there is a module; the error text and
    // the progress bar (`steps` long) start afresh. Empty without a module or when cancelled.
    QString chooseTransferFile(int16_t steps, QString (CHILD_GEN_FILE::*choose)());
    // Writes the current value text under the key of the file being collected, or notes why not.
    void SaveValue(const QString &section, const QString &parameter);
    // A restore's read of a key of the file it read: its text, "*" when missing.
    QString ReadValue(const platform::win::ParsedProfile &file, const QString &section,
                      const QString &key);
    // A save in its steps. Asks the module for every entry, collecting the file in memory.
    void collectSavedFile();
    // Whether what was read is to be written: never when the module answered nothing; over an
    // existing file with values missing, only when the user says so. A message says why not.
    bool keepsEnough(const QString &fileName, bool replacing);
    // Puts the collected file in place; false with the cause kept.
    bool writeSavedFile(const QString &fileName);
    void reportNotWritten(const QString &fileName);

    // A restore in its steps. What the user chose to restore of a file that fits the module;
    // nothing when the restore ends there (a message has said why).
    struct RestoreChoice
    {
        bool calibration = false;
        bool factory = false;
    };
    std::optional<RestoreChoice> chooseRestore(const platform::win::ParsedProfile &parsed,
                                               app::device::HXR &hxr);
    // The writes of the chosen parts, every value checked first; a refused plan has said why.
    hcf::RestorePlan planRestore(const platform::win::ParsedProfile &parsed,
                                 const RestoreChoice &choice);
    // Writes the plan under the progress window, noting each value that fails.
    void writeRestorePlan(app::device::HXR &hxr, const hcf::RestorePlan &plan);
    void restoreValue(app::device::HXR &hxr, const hcf::PlannedWrite &write);
    // Clears a communication error the writes left, takes up the stream scaling the file may
    // have changed, and shows what went wrong, if anything.
    void reportRestore(app::device::HXR &hxr);

    void progressStep();
    // The collected error text and the trailer; with nothing collected, nothing unless always.
    void showErrors(const QString &trailer, const QString &title, bool always = false);
    void layOut();

    app::controls::VXBtn *hyperlinkSave_ = nullptr;
    app::controls::VXBtn *hyperlinkRestore_ = nullptr;
    app::controls::VXBtn *saveText_ = nullptr;
    app::controls::VXBtn *restoreText_ = nullptr;

    QString errorText_;
    QByteArray content_;   // the file being collected, written whole at the end
    QString currentValue_; // the value text SaveValue writes
    bool writeFailed_ = false;
    QString failedKey_;  // the key whose write failed
    QString writeError_; // why the file could not be written
    int keysWritten_ = 0;
    int valuesRead_ = 0; // of the keys written, those the module answered
    int16_t progressCount_ = 0;
    int16_t progressTotal_ = 0;
};

} // namespace app::pages

#endif
