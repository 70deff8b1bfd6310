#include "app/analysis/pages/csvprogressnotice.h"

#include <QCursor>
#include <QGuiApplication>

#include "app/common/dialogs/messages.h"

namespace app::analysis::pages {

CsvProgressNotice::~CsvProgressNotice()
{
    end();
}

void CsvProgressNotice::begin(const QString &title, const QString &text,
                              std::function<void()> cancel)
{
    app::common::dialogs::ShowProgressMessage(text, title, std::move(cancel));
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    waiting_ = true;
}

void CsvProgressNotice::advance(double percent)
{
    app::common::dialogs::SetMessageProgress(percent);
}

void CsvProgressNotice::end()
{
    if (!waiting_)
        return;
    waiting_ = false;
    QGuiApplication::restoreOverrideCursor();
    app::common::dialogs::UnloadMessage();
}

} // namespace app::analysis::pages
