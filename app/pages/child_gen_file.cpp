#include "app/pages/child_gen_file.h"

#include <algorithm>
#include <functional>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include "app/common/desktop/filedialogs.h"
#include "app/common/desktop/messages.h"
#include "app/common/desktop/settingswarning.h"
#include "app/common/globals.h"
#include "app/common/inifilemodule.h"
#include "app/controls/pagestyle/pagestyle.h"
#include "app/controls/vxbtn.h"
#include "app/device/drv_hxr.h"
#include "app/device/hxr.h"
#include "app/pages/changeguard.h"
#include "app/pages/hcffile.h"
#include "app/pages/streamscaling.h"
#include "app/shell/connection.h"
#include "app/shell/formtooltips.h"
#include "app/shell/handlertrap.h"
#include "app/shell/inputhold.h"
#include "app/shell/programversion.h"
#include "platform/vb/convert.h"
#include "platform/vb/format.h"
#include "platform/vb/val.h"
#include "platform/vb/vberror.h"
#include "platform/win/profile.h"
#include "platform/win/wholefilewriter.h"

namespace app::pages {

namespace style = app::controls::pagestyle;

namespace {

using app::device::HXR;

const QString CrLf = QStringLiteral("\r\n");
const QString SaveTitle = QStringLiteral("Save Configuration");
const QString RestoreTitle = QStringLiteral("Restore Configuration");
const QString FilesSection = QStringLiteral("Files");
const QString Missing = QStringLiteral("*");

QString fileFilter()
{
    const QChar nul(0);
    return QStringLiteral("Configuration Files (*.hcf)") + nul + QStringLiteral("*.hcf") + nul +
           QStringLiteral("All Files (*.*)") + nul + QStringLiteral("*.*") + nul;
}

QString readSetting(const QString &key, const QString &defaultValue)
{
    return app::common::ReadIniValue(app::common::SettingsFilePath(), FilesSection, key,
                                     defaultValue);
}

void writeSetting(const QString &key, const QString &value)
{
    app::common::desktop::WriteIniSetting(FilesSection, key,
                                          value.isEmpty() ? app::common::NullMarker() : value);
}

// A parameter as the file keeps it; empty when the device object has no such value.
QString parameterText(HXR &hxr, const QString &key)
{
    const QVariant value = hxr.GetByName(key);
    if (!value.isValid())
        return {};
    return hcf::NumberText(static_cast<float>(value.toDouble()));
}

// The passcode, lightly scrambled: nothing reads it back, it only tells two files apart.
QString passcodeHash(HXR &hxr)
{
    return QString::number(platform::vb::CLng(2.0 * hxr.PWD1()) ^ 0x55);
}

// The entries of a saved file, in writing order.
struct SavedEntry
{
    const char *section;
    const char *key;
    std::function<QString(HXR &)> value; // empty: the parameter of the key's name
    bool asksModule = true;              // false: the program's own knowledge
};

const std::vector<SavedEntry> &savedEntries()
{
    static const std::vector<SavedEntry> entries = [] {
        std::vector<SavedEntry> list = {
            {"Data", "Type", [](HXR &) { return hcf::FileTypeWord; }, false},
            {"Data", "AppVersion",
             [](HXR &) {
                 return QString::number(app::shell::ProgramMajorVersion()) + QLatin1Char('.') +
                        QString::number(app::shell::ProgramMinorVersion());
             },
             false},
            // English month names whatever the user's language, as every file has them.
            {"Data", "Saved",
             [](HXR &hxr) {
                 return QLocale(QLocale::English)
                     .toString(hxr.clock().localNow().date(), QStringLiteral("dd MMMM yyyy"));
             },
             false},
            {"Factory", "VER", {}},
            {"Factory", "VERSION", {}},
            {"Factory", "MODL", {}},
            {"Protection", "Lock Mask", [](HXR &hxr) { return parameterText(hxr, "PMSK"); }},
            {"Protection", "Passcode Hash", passcodeHash},
            {"Factory", "SERIAL", [](HXR &) { return app::shell::CurrentConnection().SerialText; },
             false},
        };
        const auto add = [&list](const char *section, std::initializer_list<const char *> keys) {
            for (const char *key : keys)
                list.push_back({section, key, {}});
        };
        add("Factory", {"SERL", "SERH", "FMVG", "FMVO", "GAIN", "OFFS"});
        add("ReadOnly", {"MVV", "OVAL", "STAT"});
        add("Zero", {"ZERO", "ZGAI", "ZOFS", "UNTZ"});
        add("Display", {"DGAI", "DOFS", "UNTD"});
        add("Calibration", {"EGAI", "EOFS", "UNTE", "YEAR", "MNTH", "DAY", "HOUR", "MINS"});
        return list;
    }();
    return entries;
}

// The file a restore works on, read once before its first key. A large file is read off this
// thread: the window keeps painting and answering, and the user's input waits.
platform::win::ParsedProfile readRestoreFile(const QString &fileName)
{
    app::shell::InputHold hold;
    return app::common::ReadIniFile(fileName);
}

// The largest configuration file is about a kilobyte: one far larger is another file chosen by
// mistake, refused before it is read (and held in memory whole).
constexpr qint64 LargestRestoreFile = 16 * 1024 * 1024;

bool refuseOversizedFile(const QString &fileName)
{
    const qint64 size = QFileInfo(fileName).size();
    if (size <= LargestRestoreFile)
        return false;
    const QString megabytes = platform::vb::Format(static_cast<double>(size) / (1024.0 * 1024.0),
                                                   u"#,##0.0", app::common::ProgramSeparators());
    app::common::desktop::ShowMessage(
        QStringLiteral("The selected file ") + QDir::toNativeSeparators(fileName) +
            QStringLiteral(" is ") + megabytes +
            QStringLiteral(" MB, far larger than any configuration file, so nothing was "
                           "restored."),
        QStringLiteral("Invalid File"), true, app::common::desktop::MessageOk);
    return true;
}

// With factory access: whether to restore the factory settings too. They are offered only to
// the module the file was saved from; another module is told why not.
bool askFactoryRestore(bool sameSerial)
{
    const QString title = QStringLiteral("Restore Factory Settings");
    if (!sameSerial) {
        app::common::desktop::ShowMessage(
            QStringLiteral("You have access to factory settings but "
                           "they cannot be restored to this module as "
                           "it has a different serial number!"),
            title, false, app::common::desktop::MessageOk);
        return false;
    }
    app::common::desktop::ShowMessage(QStringLiteral("You have access to factory settings! Do you "
                                                     "want to restore the factory settings from "
                                                     "the stored parameters?"),
                                      title, false, app::common::desktop::MessageYesNo);
    return !app::common::MessageCancelled();
}

QString cut(const QString &text)
{
    if (text.size() <= CHILD_GEN_FILE::ErrorTextLimit)
        return text;
    return text.left(CHILD_GEN_FILE::ErrorTextLimit) + QStringLiteral("...");
}

} // namespace

CHILD_GEN_FILE::CHILD_GEN_FILE(QWidget *parent) : ChildFormClass(FormName, parent)
{
    hyperlinkSave_ = style::makeButton(this, QStringLiteral("Save"));
    hyperlinkSave_->SetToolTip(
        QStringLiteral("Store the module settings to a file for later restore"));
    connect(hyperlinkSave_, &app::controls::VXBtn::Click, this, [this] { SaveHXR(); });
    hyperlinkRestore_ = style::makeButton(this, QStringLiteral("Restore"));
    hyperlinkRestore_->SetToolTip(
        QStringLiteral("Restore a previously saved configuration file to the module"));
    connect(hyperlinkRestore_, &app::controls::VXBtn::Click, this, [this] { RestoreHXR(); });
    saveText_ = style::makeLabel(this, SaveText, style::PageStyle::Body);
    restoreText_ = style::makeLabel(this, RestoreText, style::PageStyle::Body);
    layOut();
    app::shell::LoadFormTooltips(*this);
}

QString CHILD_GEN_FILE::HelpText() const
{
    return QStringLiteral("This page allows you to save the configuration of the connected "
                          "module to a disk file on your computer.*This file may then be used to "
                          "restore the configuration to the same module or to clone the "
                          "configuration onto another module.");
}

void CHILD_GEN_FILE::Activated()
{
    try {
        if (HXR *hxr = app::device::HXRObject())
            hxr->CommandMode();
        TimedRefresh();
    } catch (...) {
        app::shell::LogSkippedHandler(objectName(), "Activated");
    }
}

QString CHILD_GEN_FILE::DefaultFileName()
{
    const app::shell::Connection &connection = app::shell::CurrentConnection();
    return connection.SerialText + QLatin1Char(' ') + connection.ModelName + QStringLiteral(".hcf");
}

double CHILD_GEN_FILE::iVal(const QString &text)
{
    return hcf::LeadingNumber(text);
}

QString CHILD_GEN_FILE::GetSaveFileName()
{
    const QString serial = app::shell::CurrentConnection().SerialText;
    const QString lastSerial = readSetting(QStringLiteral("LastSerial"), {});
    QString initDir = readSetting(QStringLiteral("InitDir"), app::common::DataFolder());
    writeSetting(QStringLiteral("InitDir"), initDir);
    QString fileName = lastSerial != serial
                           ? DefaultFileName()
                           : readSetting(QStringLiteral("InitFile"), DefaultFileName());
    const QString chosen = app::common::desktop::ShowSaveDialog(
        this, fileFilter(), QStringLiteral("hcf"), initDir, SaveTitle, fileName, true);
    writeSetting(QStringLiteral("LastSerial"), serial);
    writeSetting(QStringLiteral("InitFile"), fileName);
    writeSetting(QStringLiteral("InitDir"), initDir);
    return chosen;
}

QString CHILD_GEN_FILE::GetRestoreFilename()
{
    QString initDir = readSetting(QStringLiteral("InitDir"), app::common::DataFolder());
    QString fileName = readSetting(QStringLiteral("InitFile"), {});
    const QString chosen = app::common::desktop::ShowOpenDialog(
        this, fileFilter(), QStringLiteral("hcf"), initDir, RestoreTitle, fileName, true);
    writeSetting(QStringLiteral("InitFile"), fileName);
    writeSetting(QStringLiteral("InitDir"), initDir);
    return chosen;
}

void CHILD_GEN_FILE::progressStep()
{
    ++progressCount_;
    if (progressTotal_ > 0)
        app::common::desktop::SetMessageProgress(100.0 * progressCount_ / progressTotal_);
    app::shell::InputHold::letPaint();
}

void CHILD_GEN_FILE::SaveValue(const QString &section, const QString &parameter)
{
    HXR *hxr = app::device::HXRObject();
    if (hxr && hxr->ErrorState() != 0) {
        errorText_ += QStringLiteral("Comms error while reading ") + parameter +
                      QStringLiteral(" from module!") + CrLf;
    } else if (!writeFailed_) {
        QString text = currentValue_.isEmpty() ? app::common::NullMarker() : currentValue_;
        text.replace(app::common::DecimalSeparator(), QStringLiteral("."));
        writeFailed_ = !app::common::WriteIniValue(content_, section, parameter, text);
        if (writeFailed_)
            failedKey_ = app::common::LastIniKey();
        else
            ++keysWritten_;
    }
    progressStep();
}

QString CHILD_GEN_FILE::ReadValue(const platform::win::ParsedProfile &file, const QString &section,
                                  const QString &key)
{
    return hcf::ReadKey(file, section, key, [this] { progressStep(); });
}

void CHILD_GEN_FILE::showErrors(const QString &trailer, const QString &title, bool always)
{
    if (errorText_.isEmpty() && !always)
        return;
    const QString errors = errorText_.isEmpty() ? QString() : cut(errorText_) + CrLf + CrLf;
    app::common::desktop::ShowMessage(errors + trailer, title, true,
                                      app::common::desktop::MessageOk);
}

QString CHILD_GEN_FILE::chooseTransferFile(int16_t steps, QString (CHILD_GEN_FILE::*choose)())
{
    if (!app::device::HXRObject())
        return {};
    errorText_.clear();
    progressCount_ = 0;
    progressTotal_ = steps;
    return (this->*choose)();
}

void CHILD_GEN_FILE::SaveHXR()
{
    try {
        const QString chosen = chooseTransferFile(35, &CHILD_GEN_FILE::GetSaveFileName);
        if (chosen.isEmpty())
            return;
        // A place that cannot be written is known before the module is asked; nothing is made
        // there until the module has answered.
        failedKey_.clear();
        writeError_.clear();
        if (!platform::win::WholeFileWriter::canWrite(chosen, &writeError_)) {
            reportNotWritten(chosen);
            return;
        }
        const bool replacing = QFileInfo::exists(chosen);
        app::common::desktop::ShowMessage(
            QStringLiteral("Now retrieving configuration data from module "
                           "and writing to file..."),
            SaveTitle, false, app::common::desktop::MessageProgress);
        {
            app::shell::InputHold hold;
            collectSavedFile();
            app::common::desktop::SetMessageProgress(100.0);
        }
        app::common::desktop::UnloadMessage();
        if (writeFailed_) {
            reportNotWritten(chosen);
            return;
        }
        if (!keepsEnough(chosen, replacing))
            return;
        if (!writeSavedFile(chosen)) {
            reportNotWritten(chosen);
            return;
        }
        showErrors(QStringLiteral("Error(s) occurred while reading the configuration data from "
                                  "the module!"),
                   SaveTitle);
    } catch (...) {
        app::shell::LogSkippedHandler(objectName(), "SaveHXR");
    }
}

void CHILD_GEN_FILE::collectSavedFile()
{
    HXR &hxr = *app::device::HXRObject();
    // The file is collected whole and put in place of the chosen one only once it is complete:
    // an old file never keeps lines of another module, and a failed save leaves it as it was.
    content_.clear();
    writeFailed_ = false;
    keysWritten_ = 0;
    valuesRead_ = 0;
    for (const SavedEntry &entry : savedEntries()) {
        const QString section = QString::fromLatin1(entry.section);
        const QString key = QString::fromLatin1(entry.key);
        const int written = keysWritten_;
        try {
            currentValue_ = entry.value ? entry.value(hxr) : parameterText(hxr, key);
            SaveValue(section, key);
        } catch (const platform::vb::VbError &error) {
            errorText_ += QStringLiteral("Processing error: ") + error.description() +
                          QStringLiteral(" While reading ") + app::common::LastIniKey() + CrLf;
        }
        if (writeFailed_)
            return;
        if (entry.asksModule && keysWritten_ > written)
            ++valuesRead_;
    }
}

bool CHILD_GEN_FILE::keepsEnough(const QString &fileName, bool replacing)
{
    const QString untouched = replacing ? QStringLiteral("The file was left as it was.")
                                        : QStringLiteral("No file was written.");
    // Only the program's own entries: an old file is worth more than that.
    if (valuesRead_ == 0) {
        showErrors(QStringLiteral("Nothing could be read from the module. ") + untouched, SaveTitle,
                   true);
        return false;
    }
    const int unread = static_cast<int>(savedEntries().size()) - keysWritten_;
    if (!replacing || unread == 0)
        return true;
    app::common::desktop::ShowMessage(
        QStringLiteral("%1 of the %2 values could not be read from the module.")
                .arg(unread)
                .arg(savedEntries().size()) +
            CrLf + CrLf + QStringLiteral("Do you want to replace ") +
            QDir::toNativeSeparators(fileName) + QStringLiteral(" with a file that lacks them?"),
        SaveTitle, true, app::common::desktop::MessageYesNo);
    if (!app::common::MessageCancelled())
        return true;
    showErrors(QStringLiteral("Error(s) occurred while reading the configuration data from the "
                              "module! ") +
                   untouched,
               SaveTitle);
    return false;
}

bool CHILD_GEN_FILE::writeSavedFile(const QString &fileName)
{
    platform::win::WholeFileWriter file(fileName);
    if (file.open() && file.write(content_) && file.commit())
        return true;
    writeError_ = file.errorString();
    return false;
}

void CHILD_GEN_FILE::reportNotWritten(const QString &fileName)
{
    const QString where =
        failedKey_.isEmpty() ? QString() : QStringLiteral(" while writing ") + failedKey_;
    const QString cause =
        writeError_.isEmpty() ? QString() : writeError_ + QStringLiteral(".") + CrLf;
    app::common::desktop::ShowMessage(QStringLiteral("The configuration could not be written to ") +
                                          QDir::toNativeSeparators(fileName) + where +
                                          QStringLiteral("!") + CrLf + cause +
                                          QStringLiteral("The file was left as it was."),
                                      SaveTitle, true, app::common::desktop::MessageOk);
}

void CHILD_GEN_FILE::RestoreHXR()
{
    try {
        HXR *hxr = app::device::HXRObject();
        if (!hxr || !ChangeAllowed(*hxr))
            return;
        const QString file = chooseTransferFile(11, &CHILD_GEN_FILE::GetRestoreFilename);
        if (file.isEmpty() || refuseOversizedFile(file))
            return;
        const platform::win::ParsedProfile parsed = readRestoreFile(file);
        const std::optional<RestoreChoice> choice = chooseRestore(parsed, *hxr);
        if (!choice)
            return;
        const hcf::RestorePlan plan = planRestore(parsed, *choice);
        if (plan.refused() || plan.writes.empty())
            return;
        writeRestorePlan(*hxr, plan);
        reportRestore(*hxr);
    } catch (...) {
        app::shell::LogSkippedHandler(objectName(), "RestoreHXR");
    }
}

std::optional<CHILD_GEN_FILE::RestoreChoice>
CHILD_GEN_FILE::chooseRestore(const platform::win::ParsedProfile &parsed, HXR &hxr)
{
    app::shell::Connection &connection = app::shell::CurrentConnection();
    if (!hcf::IsConfigurationFile(parsed, hxr.MODL(), [this] { progressStep(); })) {
        app::common::desktop::ShowMessage(
            QStringLiteral("The selected file is not a ") + connection.ModelName +
                QStringLiteral(" configuration file!"),
            QStringLiteral("Invalid File"), true, app::common::desktop::MessageOk);
        return std::nullopt;
    }
    const bool sameSerial =
        iVal(ReadValue(parsed, QStringLiteral("Factory"), QStringLiteral("SERIAL"))) ==
        platform::vb::Val(connection.SerialText);
    connection.LockMask = platform::vb::CInt(hxr.PMSK());

    const bool factoryAccess = app::common::FactoryAccess();
    RestoreChoice choice;
    choice.factory = factoryAccess && askFactoryRestore(sameSerial);
    if ((connection.LockMask & 1) != 0 && !factoryAccess) {
        // Nothing else is offered without factory access: say so rather than end in silence.
        app::common::desktop::ShowMessage(
            QStringLiteral("The calibration of this module is locked, "
                           "so nothing was restored."),
            RestoreTitle, false, app::common::desktop::MessageOk);
        return std::nullopt;
    }
    app::common::desktop::ShowMessage(
        QStringLiteral("You have access to calibration settings! These settings are usually "
                       "unique to the attached load cell so should only be restored if the "
                       "original load cell is still attached to this module. Do you want to "
                       "restore the calibration settings from the stored parameters?"),
        QStringLiteral("Restore Advanced Calibration Settings"), false,
        app::common::desktop::MessageYesNo);
    choice.calibration = !app::common::MessageCancelled();
    return choice;
}

hcf::RestorePlan CHILD_GEN_FILE::planRestore(const platform::win::ParsedProfile &parsed,
                                             const RestoreChoice &choice)
{
    // Every value is checked before the first write: a bad one refuses the whole file.
    hcf::RestorePlan plan =
        hcf::PlanRestore(parsed, choice.calibration, choice.factory, [this] { progressStep(); });
    if (plan.refused()) {
        app::common::desktop::ShowMessage(
            QStringLiteral("The value \"") + plan.badText + QStringLiteral("\" of ") + plan.badKey +
                QStringLiteral(" in the selected file is not valid, so "
                               "nothing was restored."),
            QStringLiteral("Invalid File"), true, app::common::desktop::MessageOk);
    }
    return plan;
}

void CHILD_GEN_FILE::writeRestorePlan(HXR &hxr, const hcf::RestorePlan &plan)
{
    app::common::desktop::ShowMessage(
        QStringLiteral("Now restoring configuration data from file to "
                       "module..."),
        RestoreTitle, false, app::common::desktop::MessageProgress);
    {
        app::shell::InputHold hold;
        // The file was read before the notice came up: the bar counts the writes.
        progressCount_ = 0;
        progressTotal_ = static_cast<int16_t>(plan.writes.size());
        for (const hcf::PlannedWrite &write : plan.writes) {
            restoreValue(hxr, write);
            progressStep();
        }
        app::common::desktop::SetMessageProgress(100.0);
    }
    app::common::desktop::UnloadMessage();
}

void CHILD_GEN_FILE::restoreValue(HXR &hxr, const hcf::PlannedWrite &write)
{
    if (write.step.calibrationDate) {
        hxr.SetCalDate();
        return;
    }
    const QString &key = write.step.key;
    try {
        hxr.LetByName(key, QVariant(static_cast<double>(write.value)));
        if (hxr.ErrorState() != 0)
            errorText_ += QStringLiteral("Comms error while writing ") + key +
                          QStringLiteral(" with ") + write.text + CrLf;
    } catch (const platform::vb::VbError &error) {
        errorText_ += QStringLiteral("Processing error: '") + error.description() +
                      QStringLiteral("' while writing ") + key + QStringLiteral(" with ") +
                      write.text + CrLf;
    }
}

void CHILD_GEN_FILE::reportRestore(HXR &hxr)
{
    if (hxr.ErrorState() != 0) {
        hxr.ResetError();
        errorText_ += CrLf + QStringLiteral("Communication errors occurred while restoring "
                                            "data!");
    }
    ReloadStreamScaling(hxr);
    showErrors(QStringLiteral("Error(s) occurred while restoring the configuration data to "
                              "the module!"),
               RestoreTitle);
}

void CHILD_GEN_FILE::resizeEvent(QResizeEvent *event)
{
    ChildFormClass::resizeEvent(event);
    layOut();
}

void CHILD_GEN_FILE::layOut()
{
    const int margin = 28;
    const int w = std::max(width(), 560);
    const int inner = w - 2 * margin;
    const int linkWidth = 140;
    const int textLeft = margin + linkWidth + 20;
    const int textWidth = inner - linkWidth - 20;
    hyperlinkSave_->setGeometry(margin, margin, linkWidth, 34);
    saveText_->setGeometry(textLeft, margin, textWidth, 60);
    hyperlinkRestore_->setGeometry(margin, margin + 100, linkWidth, 34);
    restoreText_->setGeometry(textLeft, margin + 100, textWidth, 80);
}

} // namespace app::pages
