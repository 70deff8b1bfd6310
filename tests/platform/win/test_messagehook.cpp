#include "platform/win/messagehook.h"

#include <thread>

#include <gmock/gmock.h>

#include "support/recordingpresenter.h"

namespace platform::win {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

TEST(MessageHook, ReachesTheRegisteredPresenterByName)
{
    testsupport::RecordingPresenter presenter;
    showPlainMessage(QStringLiteral("No handle"), QStringLiteral("HXRDrv"));
    EXPECT_THAT(presenter.shown, ElementsAre(QStringLiteral("HXRDrv: No handle")));
}

TEST(MessageHook, RecorderComesFirst)
{
    testsupport::RecordingPresenter presenter;
    QStringList recorded;
    const MessageRecorder previous =
        setMessageRecorder([&recorded](const QString &text, const QString &) { recorded << text; });
    showPlainMessage(QStringLiteral("Bad tx"), QStringLiteral("HXRDrv"));
    setMessageRecorder(previous);
    EXPECT_THAT(recorded, ElementsAre(QStringLiteral("Bad tx")));
    EXPECT_THAT(presenter.shown, IsEmpty());
}

TEST(MessageHook, OtherThreadsAndGonePresentersWriteToStderr)
{
    {
        testsupport::RecordingPresenter presenter;
        std::thread([] {
            showPlainMessage(QStringLiteral("timedout"), QStringLiteral("HXRDrv"));
        }).join();
        EXPECT_THAT(presenter.shown, IsEmpty()) << "a modal box only on the application's thread";
    }
    EXPECT_EQ(messagePresenter(), nullptr) << "the presenter unregisters itself";
    testing::internal::CaptureStderr();
    showPlainMessage(QStringLiteral("timedout"), QStringLiteral("HXRDrv"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "HXRDrv: timedout\n");
}

TEST(MessageHook, AnObjectWithoutPresentFallsBackToStderr)
{
    QObject plain;
    setMessagePresenter(&plain);
    testing::internal::CaptureStderr();
    showPlainMessage(QStringLiteral("No handle"), QStringLiteral("HXRDrv"));
    setMessagePresenter(nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "HXRDrv: No handle\n");
}

} // namespace
} // namespace platform::win
