#ifndef APP_ANALYSIS_CHART_CHARTSTATE_H
#define APP_ANALYSIS_CHART_CHARTSTATE_H

#include "app/analysis/chart/chartcontrol.h"
#include "platform/win/programstate.h"

namespace app::analysis::chart {

// The program-wide state of the chart layer: what makes the pages' charts (tests record them).
struct ChartState : platform::win::ProgramState<ChartState>
{
    ChartFactory factory;
};

} // namespace app::analysis::chart

#endif
