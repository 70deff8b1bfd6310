#include <atomic>
#include <cstdint>
#include <memory>
#include <tuple>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QImage>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gmock/gmock.h>

#include "app/analysis/chart/chartcontrol.h"
#include "app/analysis/chart/ntgraph.h"
#include "app/analysis/circularbuffermodule.h"
#include "app/analysis/csvmodule.h"
#include "app/analysis/pages/child_gen_review.h"
#include "app/analysis/pages/overviewstrip.h"
#include "app/analysis/pages/signalchart.h"
#include "app/analysis/snapshotmodule.h"
#include "app/common/desktop/filedialogs.h"
#include "app/common/desktop/messages.h"
#include "app/common/globals.h"
#include "app/common/inifilemodule.h"
#include "app/controls/vxbtn.h"
#include "app/shell/menucontrol.h"
#include "app/shell/messagefrm.h"
#include "signalpagetest.h"
#include "support/gate.h"
#include "support/recordingmessagedialog.h"

namespace app::analysis::pages {
namespace {

using testing::HasSubstr;
using testsupport::ChartCall;
using M = testsupport::ChartMember;
using testsupport::Gate;
using testsupport::RecordingChart;

const QDateTime Start(QDate(2019, 6, 15), QTime(10, 30, 0));

void setSnapshot(int32_t n, const std::function<float(int32_t)> &value, int micros = 0)
{
    Snapshot &snap = CurrentSnapshot();
    snap.readings.assign(static_cast<size_t>(n) + 1, 0.0f);
    for (int32_t p = 1; p <= n; ++p)
        snap.readings[static_cast<size_t>(p)] = value(p);
    snap.startTime = Start;
    snap.startMicros = micros;
}

// The program's message form for a test: notices show as the real form with their buttons,
// modal messages are recorded and answered at once (a test cannot click through their loop).
// `onProgress` hears every position the notice's bar is set to.
class RealNoticeForm : public app::common::desktop::MessageDialog
{
public:
    RealNoticeForm(QStringList *messages, std::function<void(double)> onProgress)
        : messages_(messages), onProgress_(std::move(onProgress))
    {}

    void setTexts(const QString &text, const QString &title,
                  platform::win::OleColour colour) override
    {
        shown_ = title + QStringLiteral(": ") + text;
        form_.setTexts(text, title, colour);
    }
    app::common::desktop::MessageFormDesign design() const override { return form_.design(); }
    void applyLayout(const app::common::desktop::MessageLayout &layout) override
    {
        form_.applyLayout(layout);
    }
    app::common::desktop::MessageAnswer exec() override
    {
        *messages_ << shown_;
        return app::common::desktop::MessageAnswer::Ok;
    }
    void dismiss() override { form_.dismiss(); }
    void showModeless() override { form_.showModeless(); }
    void setProgress(double percent) override
    {
        form_.setProgress(percent);
        if (onProgress_)
            onProgress_(percent);
    }
    void setCancelHandler(std::function<void()> handler) override
    {
        form_.setCancelHandler(std::move(handler));
    }

private:
    app::shell::MessageFrmDialog form_;
    QStringList *messages_;
    std::function<void(double)> onProgress_;
    QString shown_;
};

// The Cancel button of the notice on the screen, as the user finds it; nullptr without one.
app::controls::VXBtn *visibleNoticeCancel()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        auto *form = qobject_cast<app::shell::MessageFrm *>(window);
        if (!form || !form->isVisible())
            continue;
        for (auto *button : form->findChildren<app::controls::VXBtn *>())
            if (button->isVisible() && button->Caption() == QStringLiteral("Cancel"))
                return button;
    }
    return nullptr;
}

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

class ReviewPageTest : public signalpagetests::SignalPageTest
{
protected:
    void SetUp() override
    {
        SignalPageTest::SetUp();
        // The texts below are written with a point, whatever the locale the tests run in.
        app::common::setDecimalSeparator(QStringLiteral("."));
        app::shell::SetHelpArea({nullptr, nullptr, nullptr, &extraInfo});
        previousDialogs = app::common::desktop::setMessageDialogFactory(
            [this] { return std::make_unique<testsupport::RecordingMessageDialog>(&messages); });
        page = std::make_unique<CHILD_GEN_REVIEW>();
        chart = charts.latest();
        ASSERT_NE(chart, nullptr);
        setWidths(600, 600);
        page->Activated();
    }
    void TearDown() override
    {
        page.reset();
        app::common::desktop::setMessageDialogFactory(previousDialogs);
        app::common::desktop::setFileDialogRunner({});
        SetCsvBlockWriteCheck({});
        SetCsvBlockRead({});
        app::shell::SetHelpArea({});
        SignalPageTest::TearDown();
    }

    void setWidths(int chartWidth, int overviewWidth)
    {
        page->Graph().widget()->resize(chartWidth, 200);
        page->OverView()->resize(overviewWidth, 48);
    }
    void show(int32_t n, const std::function<float(int32_t)> &value = signalpagetests::sine(50))
    {
        setSnapshot(n, value);
        chart->log.clear();
        page->ShowSnapshot();
    }
    int plotted() const { return chart->countOf(M::PlotY); }
    // The last range call: x minimum, x maximum, y minimum, y maximum.
    QVariantList lastRange() const { return chart->callsOf(M::SetRange).back().args; }

    // Data files go to `data`; each dialog answers `path`.
    void answerDialogsWith(const QString &path)
    {
        app::common::setSettingsFilePath(settings.filePath(QStringLiteral("Config.ini")));
        app::common::setDataFolder(data.path());
        dialogAnswer = path;
        app::common::desktop::setFileDialogRunner([this](QFileDialog &) { return dialogAnswer; });
    }
    // Shows the real notice; at its first progress short of the end the user presses its
    // Cancel, and `clicked` opens.
    void cancelOnFirstProgress(Gate &clicked)
    {
        app::common::desktop::setMessageDialogFactory([this, &clicked] {
            return std::make_unique<RealNoticeForm>(&messages, [&clicked](double percent) {
                if (percent <= 0.0 || percent >= 100.0 || clicked.isOpen())
                    return;
                app::controls::VXBtn *cancel = visibleNoticeCancel();
                ASSERT_NE(cancel, nullptr);
                QTest::mouseClick(cancel, Qt::LeftButton);
                clicked.open();
            });
        });
        messages.clear();
    }
    static void writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    static QByteArray readFile(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The job is over: its notice gone, the pointer and the page back.
    void expectJobOver() const
    {
        EXPECT_EQ(visibleNoticeCancel(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_TRUE(page->isEnabled());
        EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
    }

    QTemporaryDir settings;
    QTemporaryDir data;
    QString dialogAnswer;

    QPlainTextEdit extraInfo;
    QStringList messages;
    app::common::desktop::MessageDialogFactory previousDialogs;
    std::unique_ptr<CHILD_GEN_REVIEW> page;
    RecordingChart *chart = nullptr;
};

TEST_F(ReviewPageTest, ShowsFivePercentToNinetyFivePercentPlainAndPeaks)
{
    show(48'000);
    EXPECT_EQ(page->thumbLeft(), 30);
    EXPECT_EQ(page->thumbWidth(), 540);
    EXPECT_EQ(page->sectionStart(), 2'400);
    EXPECT_EQ(page->sectionLength(), 43'200);
    EXPECT_EQ(plotted(), 600);
    // The section is positions 2,401 .. 45,600: position 2,400 is not part of it.
    EXPECT_EQ(page->plottedPositions().front(), 2'401.0);
    EXPECT_LE(page->plottedPositions().back() + 72 - 1, 45'600.0);
    EXPECT_EQ(lastRange().at(1).toDouble(), 600.0);
    EXPECT_TRUE(page->btnSave()->isEnabled());
    EXPECT_TRUE(page->Zoom()->isEnabled());

    chart->log.clear();
    page->Detect()->setState(true);
    page->drawChart();
    EXPECT_EQ(plotted(), 600); // 300 blocks of 144, maximum then minimum
    EXPECT_EQ(page->plottedPositions().front(), 2'401.0);
}

TEST_F(ReviewPageTest, ThePeakBlocksEndAtTheSection)
{
    // A spike just past the section must not reach the last block.
    show(48'000, [](int32_t p) { return p == 45'601 ? 1000.0f : 1.0f; });
    page->Detect()->setState(true);
    chart->log.clear();
    page->drawChart();
    for (const ChartCall &call : chart->callsOf(M::PlotY))
        ASSERT_EQ(call.args.at(0).toDouble(), 1.0);
}

TEST_F(ReviewPageTest, WheelZoomsAboutTheCentre)
{
    show(48'000);
    page->wheelTurned(3);
    EXPECT_EQ(page->thumbLeft(), 220);
    EXPECT_EQ(page->thumbWidth(), 160);
    EXPECT_EQ(page->sectionStart(), 17'600);
    EXPECT_EQ(page->sectionLength(), 12'800);
    page->wheelTurned(-10); // out again, never past the strip
    EXPECT_EQ(page->thumbLeft(), 0);
    EXPECT_EQ(page->thumbWidth(), 600);
}

TEST_F(ReviewPageTest, DragsStayWithinTheStripAndAtLeastOnePixel)
{
    show(48'000);
    struct Drag
    {
        const char *what;
        int from;
        int to;
        int mode;
        int left;
        int width;
    };
    const Drag drags[] = {
        {"left edge far right", 30, 900, 0, 569, 1},
        {"right edge far left", 569, -300, 2, 30, 1},
        {"move far left", 300, -900, 1, 0, 540},
        {"move far right", 300, 1500, 1, 60, 540},
        {"right edge past the end", 569, 2000, 2, 30, 570},
    };
    for (const Drag &d : drags) {
        show(48'000);
        page->overviewMouseDown(d.from);
        EXPECT_EQ(page->dragMode(), d.mode) << d.what;
        page->overviewMouseMove(d.to, true);
        page->overviewMouseUp(d.to);
        EXPECT_EQ(page->thumbLeft(), d.left) << d.what;
        EXPECT_EQ(page->thumbWidth(), d.width) << d.what;
        EXPECT_LE(page->sectionStart() + page->sectionLength(), 48'000) << d.what;
    }
    // A thumb of a pixel still shows round(600 x 1.5) readings.
    show(48'000);
    page->overviewMouseDown(30);
    page->overviewMouseMove(900, true);
    EXPECT_EQ(page->sectionLength(), 900);
    EXPECT_TRUE(page->PeaksTimer()->isActive());
}

TEST_F(ReviewPageTest, ShortSectionIsDrawnReadingByReading)
{
    show(300);
    EXPECT_EQ(page->sectionLength(), 270);
    EXPECT_EQ(plotted(), 270);
    EXPECT_EQ(lastRange().at(1).toDouble(), 269.0);
    // Clicks past the plotted points read the last one.
    page->chartClicked(5000.0);
    EXPECT_EQ(chart->lastArg(M::setAnnoLabelCaption).toString().isEmpty(), false);
}

TEST_F(ReviewPageTest, CursorsReadTimeFromPositionOneAndTheirDifference)
{
    setWidths(3000, 600);
    show(2'700, [](int32_t p) { return static_cast<float>(p); });
    ASSERT_EQ(page->sectionStart(), 135);
    const double first = 2'401 - 136;
    ASSERT_EQ(page->plottedPositions().at(static_cast<size_t>(first)), 2'401.0);
    page->chartClicked(first);
    EXPECT_TRUE(page->Cursor2()->isEnabled());
    page->Cursor2()->setState(true);
    page->cursor2Clicked();
    page->chartClicked(first + 1);
    EXPECT_THAT(extraInfo.toPlainText().toStdString(), HasSubstr("208 \u00B5s (4807.7 Hz)"));
    EXPECT_THAT(extraInfo.toPlainText().toStdString(), HasSubstr("1"));

    // Position 1 is the start time itself.
    setSnapshot(8, [](int32_t p) { return static_cast<float>(p); }, 123);
    page->ShowSnapshot();
    ASSERT_EQ(page->sectionStart(), 0);
    EXPECT_EQ(page->plottedPositions().front(), 1.0);
    page->chartClicked(0.0);
    const QString label = chart->lastArg(M::setAnnoLabelCaption).toString();
    EXPECT_THAT(label.toStdString(), HasSubstr(":123\u00B5s = 1"));
}

TEST_F(ReviewPageTest, TheValueDifferenceIsThatOfTheShownValuesUntilTheNextDrawing)
{
    setWidths(3000, 600);
    show(2'700, [](int32_t p) { return static_cast<float>(p) / 10.0f; });
    const double first = 2'401 - 136; // positions 2,401 and 2,402: 240.1 and 240.2
    page->chartClicked(first);
    page->Cursor2()->setState(true);
    page->cursor2Clicked();
    page->chartClicked(first + 1);
    EXPECT_THAT(extraInfo.toPlainText().toStdString(), HasSubstr("0.1000000"));
    EXPECT_FALSE(extraInfo.isHidden());
    // The cursors go with every drawing, and so do their readings.
    page->drawChart();
    EXPECT_TRUE(extraInfo.isHidden());
    EXPECT_THAT(extraInfo.toPlainText().toStdString(), testing::Not(HasSubstr("0.1000000")));
    EXPECT_THAT(extraInfo.toPlainText().toStdString(), testing::Not(HasSubstr("\u00B5s")));
}

// On the real chart each cursor is drawn where the click that placed it was.
TEST_F(ReviewPageTest, BothCursorsGoWhereTheChartWasClicked)
{
    const app::analysis::chart::ChartFactory doubles = app::analysis::chart::SetChartFactory({});
    CHILD_GEN_REVIEW real;
    app::analysis::chart::SetChartFactory(doubles);
    auto *graph = qobject_cast<app::analysis::chart::NTGraph *>(real.Graph().widget());
    ASSERT_NE(graph, nullptr);
    graph->resize(600, 200);
    real.OverView()->resize(600, 48);
    setSnapshot(48'000, signalpagetests::sine(50));
    real.ShowSnapshot();

    const QRect plot = graph->plotRect();
    const QPoint first(plot.left() + plot.width() / 4, plot.center().y());
    const QPoint second(plot.left() + plot.width() * 3 / 4, plot.center().y());
    QTest::mouseClick(graph, Qt::LeftButton, {}, first);
    ASSERT_TRUE(real.Cursor2()->isEnabled());
    QTest::mouseClick(real.Cursor2(), Qt::LeftButton);
    ASSERT_TRUE(real.Cursor2()->State());
    QTest::mouseClick(graph, Qt::LeftButton, {}, second);
    ASSERT_EQ(graph->cursorCount(), 2);
    EXPECT_DOUBLE_EQ(graph->cursorX(0), graph->dataX(first.x()));
    EXPECT_DOUBLE_EQ(graph->cursorX(1), graph->dataX(second.x()));
}

TEST_F(ReviewPageTest, EmptySnapshotClearsThePageAndOffersNothingToReadOutside)
{
    show(48'000);
    const int32_t left = page->thumbLeft();
    setSnapshot(0, {});
    chart->log.clear();
    page->ShowSnapshot();
    EXPECT_GE(chart->countOf(M::ClearGraph), 1);
    EXPECT_EQ(plotted(), 0);
    EXPECT_TRUE(page->overviewBackground().isNull());
    EXPECT_FALSE(page->btnSave()->isEnabled());
    EXPECT_FALSE(page->Zoom()->isEnabled());
    EXPECT_FALSE(page->Cursor2()->isEnabled());
    EXPECT_FALSE(page->OverView()->isEnabled());
    page->wheelTurned(2);
    page->overviewMouseDown(10);
    page->overviewMouseMove(100, true);
    page->chartClicked(3.0);
    EXPECT_EQ(plotted(), 0);
    EXPECT_NE(page->thumbLeft(), left);
    EXPECT_EQ(page->thumbWidth(), 0);
}

TEST_F(ReviewPageTest, OneWildReadingIsCleanedFromTheSnapshotNotTheRing)
{
    app::analysis::BufferPut(5e9f);
    app::analysis::BufferPut(2.0f);
    show(1'000, [](int32_t p) { return p == 10 ? 5e9f : 1.0f + p % 3; });
    EXPECT_EQ(CurrentSnapshot().readings[10], 1.0f + 11 % 3);
    app::analysis::BufferSeekBack(2);
    EXPECT_EQ(app::analysis::BufferGet(), 5e9f);
    // The picture uses the whole height for readings 1 to 3.
    EXPECT_FALSE(page->overviewBackground().isNull());
}

TEST_F(ReviewPageTest, CropKeepsTheSection)
{
    show(48'000, [](int32_t p) { return static_cast<float>(p); });
    page->wheelTurned(3);
    page->zoomClicked();
    const Snapshot &snap = CurrentSnapshot();
    EXPECT_EQ(snap.upperBound(), 12'800);
    EXPECT_EQ(snap.readings[1], 17'601.0f);
    EXPECT_EQ(page->thumbLeft(), 30); // shown anew
}

TEST_F(ReviewPageTest, SaveAndLoadThroughTheDialogsReportFailures)
{
    QTemporaryDir dir;
    app::common::setSettingsFilePath(dir.filePath(QStringLiteral("Config.ini")));
    app::common::setDataFolder(dir.path());
    QString next = dir.filePath(QStringLiteral("trend.csv"));
    QStringList titles;
    app::common::desktop::setFileDialogRunner([&](QFileDialog &dialog) {
        titles << dialog.windowTitle();
        return next;
    });
    show(30, [](int32_t p) { return p * 0.5f; });
    page->saveClicked();
    EXPECT_TRUE(QFile::exists(next));
    EXPECT_EQ(app::common::ReadIniValue(app::common::SettingsFilePath(), QStringLiteral("Files"),
                                        QStringLiteral("LogsInitDir"), QString()),
              dir.path());

    // A bad file is refused with a message naming it; the page keeps what it showed.
    QFile bad(dir.filePath(QStringLiteral("bad.csv")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("20191315103000.0\r\n1\r\n");
    bad.close();
    next = bad.fileName();
    messages.clear();
    page->loadClicked();
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_THAT(messages.last().toStdString(), HasSubstr("bad.csv"));
    EXPECT_THAT(messages.last().toStdString(), HasSubstr("Line 1"));
    EXPECT_EQ(CurrentSnapshot().upperBound(), 30);

    setSnapshot(1, [](int32_t) { return 0.0f; });
    next = dir.filePath(QStringLiteral("trend.csv"));
    page->loadClicked();
    EXPECT_EQ(CurrentSnapshot().upperBound(), 30);
    EXPECT_EQ(page->sectionLength(), 27);
    EXPECT_THAT(titles, testing::ElementsAre(QStringLiteral("Save Log File"),
                                             QStringLiteral("Load Log File"),
                                             QStringLiteral("Load Log File")));
    EXPECT_TRUE(page->isEnabled());
}

TEST_F(ReviewPageTest, CopyLabelsTheChartWithTheCursorPanel)
{
    show(300);
    app::shell::ShowExtraInfo(QStringLiteral("Cursors**Time:*       #1"), 2000);
    app::shell::FillExtraInfo({QStringLiteral("5 ms")});
    chart->log.clear();
    page->copyChart();
    EXPECT_EQ(chart->lastArg(M::setAnnoLabelCaption).toString(),
              QStringLiteral("Cursors      Time:   5 ms"));
    EXPECT_EQ(chart->countOf(M::CopyWindowToClipboard), 1);
    EXPECT_EQ(chart->lastArg(M::setAnnoVisible).toBool(), false);
}

TEST_F(ReviewPageTest, CropIsOfferedOnlyForASectionOfMoreThanTenReadings)
{
    // The section starts as 90 % of the snapshot: 11 readings give 10, 12 give 11.
    show(11);
    EXPECT_EQ(page->sectionLength(), 10);
    EXPECT_FALSE(page->Zoom()->isEnabled());
    show(12);
    EXPECT_EQ(page->sectionLength(), 11);
    EXPECT_TRUE(page->Zoom()->isEnabled());
    // The crop keeps those 11, whose section of 10 cannot be cropped again.
    QTest::mouseClick(page->Zoom(), Qt::LeftButton);
    EXPECT_EQ(CurrentSnapshot().upperBound(), 11);
    EXPECT_FALSE(page->Zoom()->isEnabled());
    QTest::mouseClick(page->Zoom(), Qt::LeftButton);
    EXPECT_EQ(CurrentSnapshot().upperBound(), 11);

    // On a strip as wide as the snapshot the thumb's right edge sets the section a reading a
    // pixel.
    for (const auto &[to, length, enabled] :
         {std::tuple{39, 10, false}, std::tuple{40, 11, true}}) {
        show(600);
        page->overviewMouseDown(569);
        page->overviewMouseMove(to, true);
        EXPECT_EQ(page->sectionLength(), length);
        EXPECT_EQ(page->Zoom()->isEnabled(), enabled) << length;
        page->overviewMouseUp(to);
    }
}

// Pressing Cancel on the progress notice, as the user does, ends the job at its next block;
// nothing of it remains and nothing is reported.
TEST_F(ReviewPageTest, CancelOnTheNoticeStopsASaveAndKeepsTheOldFile)
{
    const QString target = data.filePath(QStringLiteral("trend.csv"));
    const QByteArray old = "20190615103000.0\r\n1.0000000\r\n";
    writeFile(target, old);
    answerDialogsWith(target);
    show(3 * CsvBlockLines);

    Gate clicked;
    cancelOnFirstProgress(clicked);
    // The second block waits for the click, so that the save cannot be over before it.
    std::atomic<int32_t> blocks{0};
    SetCsvBlockWriteCheck([&](int32_t block) {
        blocks = block;
        return block != 2 || clicked.waitOpen();
    });
    page->saveClicked();
    EXPECT_TRUE(clicked.isOpen());
    EXPECT_LE(blocks, 2); // stopped at the next block: the third never began
    EXPECT_EQ(readFile(target), old);
    EXPECT_THAT(entriesOf(data.path()), testing::ElementsAre(QStringLiteral("trend.csv")));
    expectJobOver();
}

TEST_F(ReviewPageTest, CancelOnTheNoticeStopsALoadAndKeepsTheSnapshot)
{
    // Over a megabyte: the first progress report comes well before the end of the file.
    QByteArray bytes = "20200101000000.5\r\n";
    for (int i = 0; i < 200'000; ++i)
        bytes += "2.5000000\r\n";
    const QString source = data.filePath(QStringLiteral("long.csv"));
    writeFile(source, bytes);
    answerDialogsWith(source);
    show(300, [](int32_t p) { return static_cast<float>(p); });
    const Snapshot before = CurrentSnapshot();

    Gate clicked;
    cancelOnFirstProgress(clicked);
    // The second block waits for the click, so that the load cannot be over before it.
    SetCsvBlockRead([&](int32_t block) {
        if (block == 2) {
            EXPECT_TRUE(clicked.waitOpen());
        }
    });
    page->loadClicked();
    EXPECT_TRUE(clicked.isOpen());
    EXPECT_EQ(CurrentSnapshot().readings, before.readings);
    EXPECT_EQ(CurrentSnapshot().startTime, before.startTime);
    EXPECT_EQ(CurrentSnapshot().startMicros, before.startMicros);
    EXPECT_EQ(page->sectionLength(), 270); // the page still shows the old snapshot
    expectJobOver();
}

TEST_F(ReviewPageTest, AFileWithoutReadingsIsRefusedAndThePageStaysAsItWas)
{
    const QString source = data.filePath(QStringLiteral("header only.csv"));
    writeFile(source, "20200101000000.5\r\n\r\n");
    answerDialogsWith(source);
    show(300, [](int32_t p) { return static_cast<float>(p); });
    const Snapshot before = CurrentSnapshot();
    const QImage overview = page->overviewBackground();
    chart->log.clear();
    messages.clear();

    page->loadClicked();

    ASSERT_FALSE(messages.isEmpty());
    EXPECT_THAT(messages.last().toStdString(), HasSubstr("header only.csv"));
    EXPECT_THAT(messages.last().toStdString(), HasSubstr("holds no readings"));
    EXPECT_EQ(CurrentSnapshot().readings, before.readings);
    EXPECT_EQ(CurrentSnapshot().startTime, before.startTime);
    EXPECT_TRUE(chart->log.empty()) << "the chart keeps its picture";
    EXPECT_EQ(page->overviewBackground(), overview);
    EXPECT_EQ(page->sectionLength(), 270);
    EXPECT_TRUE(page->btnSave()->isEnabled());
    EXPECT_TRUE(page->isEnabled());
}

} // namespace
} // namespace app::analysis::pages
