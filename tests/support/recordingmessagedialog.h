#ifndef TESTS_SUPPORT_RECORDINGMESSAGEDIALOG_H
#define TESTS_SUPPORT_RECORDINGMESSAGEDIALOG_H

#include <functional>
#include <utility>

#include <QString>
#include <QStringList>

#include "app/common/dialogs/messages.h"

namespace testsupport {

// The message form for tests: answers every message with OK at once and hands each title and
// text it was given to the recorder.
class RecordingMessageDialog : public app::common::dialogs::MessageDialog
{
public:
    using Recorder = std::function<void(const QString &title, const QString &text)>;

    explicit RecordingMessageDialog(Recorder recorder) : recorder_(std::move(recorder)) {}
    // Records "title: text" lines.
    explicit RecordingMessageDialog(QStringList *log)
        : recorder_([log](const QString &title, const QString &text) {
              *log << title + QStringLiteral(": ") + text;
          })
    {}

    void setTexts(const QString &text, const QString &title, platform::win::OleColour) override
    {
        recorder_(title, text);
    }
    app::common::dialogs::MessageFormDesign design() const override { return {}; }
    void applyLayout(const app::common::dialogs::MessageLayout &) override {}
    app::common::dialogs::MessageAnswer exec() override
    {
        return app::common::dialogs::MessageAnswer::Ok;
    }
    void dismiss() override {}
    void showModeless() override {}
    void setProgress(double) override {}

private:
    Recorder recorder_;
};

} // namespace testsupport

#endif
