#include "app/analysis/pages/csvprogressnotice.h"

#include <QCursor>
#include <QGuiApplication>

#include "app/common/desktop/messages.h"

namespace app::analysis::pages {

CsvProgressNotice::~CsvProgressNotice()
{
    end();
}

void CsvProgressNotice::begin(const QString &title, const QString &text,
                              std::function<void()> cancel)
{
    app::common::desktop::ShowProgressMessage(text, title, std::move(cancel));
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    waiting_ = true;
}

void CsvProgressNotice::advance(double percent)
{
    app::common::desktop::SetMessageProgress(percent);
}

void CsvProgressNotice::end()
{
    if (!waiting_)
        return;
    waiting_ = false;
    QGuiApplication::restoreOverrideCursor();
    app::common::desktop::UnloadMessage();
}

} // namespace app::analysis::pages
