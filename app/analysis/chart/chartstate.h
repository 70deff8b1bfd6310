#ifndef APP_ANALYSIS_CHART_CHARTSTATE_H
#define APP_ANALYSIS_CHART_CHARTSTATE_H

#include "app/analysis/chart/chartcontrol.h"
#include "platform/win/programstate.h"

namespace app::analysis::chart {

// The program-wide state of the chart layer: what makes the pages' charts (tests record them).
struct ChartState
{
    ChartFactory factory;

    static ChartState &current() { return platform::win::ProgramState<ChartState>::current(); }
    using Scope = platform::win::ProgramState<ChartState>::Scope;
};

} // namespace app::analysis::chart

#endif
