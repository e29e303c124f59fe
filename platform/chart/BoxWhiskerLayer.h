// Box-whisker marks per category: a box from bottom to top, whiskers out to the maximum and the
// minimum with a cap at each, and a middle line. Any of the five series may be empty; a category draws
// what its series give (a lone maximum is a cap line across the category at that value).
#pragma once

#include "platform/chart/Layer.h"

class BoxWhiskerLayer : public Layer
{
public:
    BoxWhiskerLayer(const std::vector<double> &top, const std::vector<double> &bottom,
                    const std::vector<double> &max, const std::vector<double> &min,
                    const std::vector<double> &mid, ChartColor fill, ChartColor whisker, ChartColor edge);

    // Gap between the marks of neighbouring categories, as a fraction of the category width.
    void setDataGap(double gap) { m_dataGap = qBound(0.0, gap, 0.95); }

    int categoryCount() const override;
    double largestValue() const override;
    void paint(QPainter &painter, const PlotFrame &frame) const override;
    void marks(const PlotFrame &frame, std::vector<ChartMark> &out) const override;

    // The span of category's marks across the axis, and the rectangle they cover (empty for none).
    QRectF markRect(const PlotFrame &frame, int category) const;

private:
    double left(const PlotFrame &frame, int category) const;
    double right(const PlotFrame &frame, int category) const;

    std::vector<double> m_top, m_bottom, m_max, m_min, m_mid;
    ChartColor m_fill, m_whisker, m_edge;
    double m_dataGap = 0.2;
};
