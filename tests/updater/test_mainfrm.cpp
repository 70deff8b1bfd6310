#include "updater/mainfrm.h"

#include <QLabel>

#include <gmock/gmock.h>

#include "updater/netgrab.h"

namespace {

TEST(MainFrm, ProgressShowsWholeKilobytes)
{
    updater::MainFrm form;
    const std::pair<int32_t, const char *> cases[] = {
        {0, "Downloading update... 0kb"},
        {999, "Downloading update... 0kb"},
        {12345, "Downloading update... 12kb"},
        {268435456, "Downloading update... 268435kb"},
    };
    for (const auto &[bytes, text] : cases) {
        emit form.NetGrab1()->DownloadProgress(bytes);
        EXPECT_EQ(form.InfoLabel()->text(), QLatin1String(text));
    }
}

TEST(MainFrm, DesignedControls)
{
    updater::MainFrm form;
    EXPECT_EQ(form.Label1()->text(), QStringLiteral("Live Update"));
    EXPECT_TRUE(form.Label1()->font().bold());
    EXPECT_EQ(form.InfoLabel()->text(), QStringLiteral("Label1"));
    EXPECT_EQ(form.InfoLabel()->textFormat(), Qt::PlainText);
    EXPECT_FALSE(form.Timer1()->isActive());
    EXPECT_EQ(form.Timer1()->interval(), 2000);
    EXPECT_TRUE(form.Timer1()->isSingleShot());
    EXPECT_EQ(form.NetGrab1()->size(), form.NetGrab1()->sizeHint());
}

} // namespace
