#ifndef APP_ANALYSIS_PAGES_CSVPROGRESSNOTICE_H
#define APP_ANALYSIS_PAGES_CSVPROGRESSNOTICE_H

#include "app/analysis/csvmodule.h"

namespace app::analysis::pages {

// A data file's save or load shown as the program's progress notice with a Cancel button, the
// pointer an hourglass meanwhile.
class CsvProgressNotice final : public app::analysis::CsvProgress
{
public:
    ~CsvProgressNotice() override;

    void begin(const QString &title, const QString &text, std::function<void()> cancel) override;
    void advance(double percent) override;
    void end() override;

private:
    bool waiting_ = false;
};

} // namespace app::analysis::pages

#endif
