#ifndef APP_ANALYSIS_CHART_CHARTDISPATCH_H
#define APP_ANALYSIS_CHART_CHARTDISPATCH_H

#include <QObject>
#include <QVariant>
#include <QVariantList>

namespace app::analysis::chart {

class ChartControl;

// Members of the chart by dispatch identifier, the way the pages call it. An identifier the
// chart does not have, or the wrong kind of call, raises VbError 438.
class ChartDispatch : public QObject
{
    Q_OBJECT

public:
    static constexpr int NoSuchMember = 438;

    explicit ChartDispatch(ChartControl &chart, QObject *parent = nullptr);

    // A method call.
    QVariant Invoke(int dispid, const QVariantList &args = {});
    // A property assignment and read.
    void Let(int dispid, const QVariant &value);
    QVariant Get(int dispid) const;
    // The named property Enabled.
    void setEnabled(bool enabled);

    ChartControl &chart() const { return chart_; }

signals:
    // One of the chart's events (ChartEvent) with its arguments.
    void Event(int dispid, const QVariantList &args);

private:
    [[noreturn]] static void noSuchMember(int dispid);

    ChartControl &chart_;
};

} // namespace app::analysis::chart

#endif
