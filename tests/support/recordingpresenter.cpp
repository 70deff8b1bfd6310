#include "support/recordingpresenter.h"

#include "platform/win/messagehook.h"

namespace testsupport {

RecordingPresenter::RecordingPresenter()
{
    platform::win::setMessagePresenter(this);
}

RecordingPresenter::~RecordingPresenter()
{
    if (platform::win::messagePresenter() == this)
        platform::win::setMessagePresenter(nullptr);
}

void RecordingPresenter::present(const QString &text, const QString &caption)
{
    shown << caption + QStringLiteral(": ") + text;
}

} // namespace testsupport
