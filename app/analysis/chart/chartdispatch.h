#ifndef APP_ANALYSIS_CHART_CHARTDISPATCH_H
#define APP_ANALYSIS_CHART_CHARTDISPATCH_H

#include <QObject>
#include <QVariant>
#include <QVariantList>

namespace app::analysis::chart {

class ChartControl;

// Members of the chart by dispatch identifier, for a caller that speaks the control's numbers.
// An identifier the chart does not have, or the wrong kind of call, raises VbError 438.
// Taking the chart's events, it replaces whatever handlers the chart had.
class ChartDispatch : public QObject
{
    Q_OBJECT

public:
    static constexpr int NoSuchMember = 438;
    // The events' identifiers: a left-button release in the plot (x in data units), then any
    // button released over the chart (the button).
    static constexpr int ClickEvent = 9;
    static constexpr int MouseEvent = 11;

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
    // One of the chart's events (ClickEvent, MouseEvent) with its arguments.
    void Event(int dispid, const QVariantList &args);

private:
    [[noreturn]] static void noSuchMember(int dispid);

    ChartControl &chart_;
};

} // namespace app::analysis::chart

#endif
