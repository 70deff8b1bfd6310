#ifndef TESTS_SUPPORT_RECORDINGMESSAGEDIALOG_H
#define TESTS_SUPPORT_RECORDINGMESSAGEDIALOG_H

#include <functional>
#include <utility>

#include <QString>
#include <QStringList>

#include "app/common/desktop/messages.h"

namespace testsupport {

// The message form for tests: answers every message at once, with OK ("Yes") unless an answerer
// says otherwise, and hands each title and text it was given to the recorder.
class RecordingMessageDialog : public app::common::desktop::MessageDialog
{
public:
    using Recorder = std::function<void(const QString &title, const QString &text)>;

    // The answer to the message of this title.
    using Answerer = std::function<app::common::desktop::MessageAnswer(const QString &title)>;

    // Each position the progress bar is set to.
    using ProgressRecorder = std::function<void(double percent)>;

    explicit RecordingMessageDialog(Recorder recorder, Answerer answerer = {},
                                    ProgressRecorder progress = {})
        : recorder_(std::move(recorder)), answerer_(std::move(answerer)),
          progress_(std::move(progress))
    {}
    // Records "title: text" lines.
    explicit RecordingMessageDialog(QStringList *log)
        : recorder_([log](const QString &title, const QString &text) {
              *log << title + QStringLiteral(": ") + text;
          })
    {}

    void setTexts(const QString &text, const QString &title, platform::win::OleColour) override
    {
        title_ = title;
        recorder_(title, text);
    }
    app::common::desktop::MessageFormDesign design() const override { return {}; }
    void applyLayout(const app::common::desktop::MessageLayout &) override {}
    app::common::desktop::MessageAnswer exec() override
    {
        return answerer_ ? answerer_(title_) : app::common::desktop::MessageAnswer::Ok;
    }
    void dismiss() override {}
    void showModeless() override {}
    void setProgress(double percent) override
    {
        if (progress_)
            progress_(percent);
    }

private:
    Recorder recorder_;
    Answerer answerer_;
    ProgressRecorder progress_;
    QString title_;
};

} // namespace testsupport

#endif
