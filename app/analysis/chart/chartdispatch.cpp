#include "app/analysis/chart/chartdispatch.h"

#include <cstdint>

#include "app/analysis/chart/chartcontrol.h"
#include "platform/vb/vberror.h"

namespace app::analysis::chart {

namespace {

OleColour colourOf(const QVariant &value)
{
    return static_cast<OleColour>(value.toLongLong());
}

double arg(const QVariantList &args, int index)
{
    return index < args.size() ? args.at(index).toDouble() : 0.0;
}

int16_t mode(const QVariantList &args, int index)
{
    return static_cast<int16_t>(index < args.size() ? args.at(index).toInt() : 0);
}

} // namespace

ChartDispatch::ChartDispatch(ChartControl &chart, QObject *parent) : QObject(parent), chart_(chart)
{
    chart_.setClickHandler([this](double x) { emit Event(ClickEvent, {x}); });
    chart_.setMouseHandler([this](int button) { emit Event(MouseEvent, {button}); });
}

void ChartDispatch::noSuchMember(int dispid)
{
    throw platform::vb::VbError(
        NoSuchMember, QStringLiteral("NTGraph"),
        QStringLiteral("Object doesn't support this property or method: %1").arg(dispid));
}

QVariant ChartDispatch::Invoke(int dispid, const QVariantList &args)
{
    switch (dispid) {
    case 59:
        chart_.ClearGraph();
        break;
    case 57:
        chart_.AddElement();
        break;
    case 61:
        chart_.PlotY(arg(args, 0), mode(args, 1));
        break;
    case 60:
        chart_.PlotXY(arg(args, 0), arg(args, 1), mode(args, 2));
        break;
    case 53:
        chart_.SetRange(arg(args, 0), arg(args, 1), arg(args, 2), arg(args, 3));
        break;
    case 66:
        chart_.AddCursor();
        break;
    case 64:
        chart_.AddAnnotation();
        break;
    case 55:
        chart_.CopyWindowToClipboard();
        break;
    default:
        noSuchMember(dispid);
    }
    return {};
}

void ChartDispatch::Let(int dispid, const QVariant &value)
{
    switch (dispid) {
    case 31:
        chart_.setElement(value.toInt());
        break;
    case 10:
        chart_.setElementLineColor(colourOf(value));
        break;
    case 5:
        chart_.setElementWidth(value.toInt());
        break;
    case 12:
        chart_.setElementLineType(static_cast<LineType>(value.toInt()));
        break;
    case 33:
        chart_.setCursor(value.toInt());
        break;
    case 34:
        chart_.setCursorX(value.toDouble());
        break;
    case 37:
        chart_.setCursorVisible(value.toBool());
        break;
    case 4:
        chart_.setCursorColor(colourOf(value));
        break;
    case 38:
        chart_.setCursorStyle(static_cast<LineType>(value.toInt()));
        break;
    case 36:
        chart_.setCursorMode(static_cast<CursorMode>(value.toInt()));
        break;
    case 29:
        chart_.setAnnotation(value.toInt());
        break;
    case 24:
        chart_.setAnnoLabelCaption(value.toString());
        break;
    case 25:
        chart_.setAnnoLabelX(value.toDouble());
        break;
    case 26:
        chart_.setAnnoLabelY(value.toDouble());
        break;
    case 30:
        chart_.setAnnoVisible(value.toBool());
        break;
    case 32:
        chart_.setAnnoLabelColor(colourOf(value));
        break;
    case 22:
        chart_.setControlFrameColor(colourOf(value));
        break;
    case 2:
        chart_.setPlotAreaColor(colourOf(value));
        break;
    case 1:
        chart_.setFrameColor(colourOf(value));
        break;
    default:
        noSuchMember(dispid);
    }
}

QVariant ChartDispatch::Get(int dispid) const
{
    switch (dispid) {
    case 31:
        return chart_.element();
    case 33:
        return chart_.cursor();
    case 29:
        return chart_.annotation();
    case 50:
        return chart_.annotationCount();
    case 22:
        return QVariant::fromValue<qlonglong>(chart_.controlFrameColor());
    case 2:
        return QVariant::fromValue<qlonglong>(chart_.plotAreaColor());
    case 1:
        return QVariant::fromValue<qlonglong>(chart_.frameColor());
    default:
        noSuchMember(dispid);
    }
}

void ChartDispatch::setEnabled(bool enabled)
{
    chart_.setChartEnabled(enabled);
}

} // namespace app::analysis::chart
