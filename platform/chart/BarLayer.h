// Bars side by side: one bar per data set in each category, optionally drawn with a 3-D depth.
#pragma once

#include "platform/chart/Layer.h"

class BarLayer : public Layer
{
public:
    explicit BarLayer(int depth = 0) : m_depth(qMax(0, depth)) {}

    // A data set without a name gets no legend entry.
    void addDataSet(const std::vector<double> &values, ChartColor color, const QString &name = QString());
    // Gap between the bar groups and between the bars of a group, as fractions of their width.
    void setBarGap(double gap, double subGap);

    int categoryCount() const override;
    double largestValue() const override;
    void paint(QPainter &painter, const PlotFrame &frame) const override;
    void marks(const PlotFrame &frame, std::vector<ChartMark> &out) const override;
    void legendKeys(std::vector<LegendKey> &out) const override;

    // The front face of a bar.
    QRectF barRect(const PlotFrame &frame, int dataSet, int category) const;

private:
    struct DataSet
    {
        std::vector<double> values;
        ChartColor color;
        QString name;
    };
    void paintBar(QPainter &painter, const QRectF &face, const DataSet &set) const;

    int m_depth;
    double m_barGap = 0.2;
    double m_subGap = 0.1;
    std::vector<DataSet> m_sets;
};
