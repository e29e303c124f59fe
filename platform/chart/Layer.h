// What the layers of an XY chart share: the value axis they use, their border and line width, value
// labels, the hot-spot template of their marks, and the drawing frame they are given.
#pragma once

#include "platform/chart/Axis.h"
#include "platform/chart/ChartColor.h"
#include "platform/chart/TextBox.h"

#include <QRect>
#include <QRectF>
#include <QString>
#include <optional>
#include <vector>

class QPainter;

// Where the layers draw: the plot area, the categories side by side across it and the value axes.
struct PlotFrame
{
    QRectF plot;
    int categories = 1;
    const Axis *y = nullptr;
    const Axis *y2 = nullptr;

    double categoryWidth() const { return plot.width() / qMax(1, categories); }
    double categoryLeft(int category) const { return plot.left() + category * categoryWidth(); }
    double yOf(bool secondAxis, double value) const
    {
        return (secondAxis ? y2 : y)->toPixel(value, plot.bottom(), plot.height());
    }
};

// One mark a layer drew (a bar, a box-whisker mark), with what its hot-spot text may name.
struct ChartMark
{
    QRect rect;
    int category = 0;
    QString dataSetName;
    double value = 0;
    double max = 0;
    double min = 0;
    QString attributes; // the layer's own hot-spot template; empty: the chart's
};

// An entry of the legend: a filled box, or a line of the given width.
struct LegendKey
{
    QString name;
    ChartColor color;
    int lineWidth = 0;
};

class Layer
{
public:
    virtual ~Layer() = default;

    void setUseYAxis() { m_secondAxis = false; }
    void setUseYAxis2() { m_secondAxis = true; }
    bool usesYAxis2() const { return m_secondAxis; }
    void setLineWidth(int width) { m_lineWidth = qMax(1, width); }
    void setBorderColor(ChartColor color, ChartEffect effect = {});
    // Value labels above the marks.
    void setDataLabelStyle(const QString &font, double size, ChartColor color, double angle = 0);
    // Hot-spot attributes of this layer's marks ("title='...'"), taking the place of the chart's.
    void setHTMLImageMap(const QString &attributes) { m_attributes = attributes; }

    virtual int categoryCount() const = 0;
    // The largest value the layer draws (0 when none), for the scale of its axis.
    virtual double largestValue() const = 0;
    virtual void paint(QPainter &painter, const PlotFrame &frame) const = 0;
    virtual void marks(const PlotFrame &frame, std::vector<ChartMark> &out) const = 0;
    virtual void legendKeys(std::vector<LegendKey> &) const {}

protected:
    // A value that can be drawn: finite and not below 0.
    static std::optional<double> drawable(const std::vector<double> &values, int index);

    bool m_secondAxis = false;
    int m_lineWidth = 1;
    ChartColor m_border{ChartColor::kTransparent};
    ChartEffect m_effect;
    std::optional<TextBox> m_dataLabels;
    QString m_attributes;
};
