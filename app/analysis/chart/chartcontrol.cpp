#include "app/analysis/chart/chartcontrol.h"

#include <utility>

#include "app/analysis/chart/chartstate.h"
#include "app/analysis/chart/ntgraph.h"

namespace app::analysis::chart {

namespace {

ChartFactory &factory()
{
    return ChartState::current().factory;
}

} // namespace

ChartControl *CreateChart(QWidget *parent)
{
    if (factory())
        return factory()(parent);
    return new NTGraph(parent);
}

ChartFactory SetChartFactory(ChartFactory installed)
{
    return std::exchange(factory(), std::move(installed));
}

} // namespace app::analysis::chart
