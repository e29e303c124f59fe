// An XY chart drawn with QPainter: background, rounded frame, title, texts, legend, a plot area with
// grid lines, a category x axis, two value axes, bar and box-whisker layers; rendered into a QImage,
// encoded as PNG, JPEG or BMP, and its hot spots returned as data. Layers are drawn unclipped, so 3-D
// bar tops and value labels may reach past the plot area.
#pragma once

#include "platform/chart/Axis.h"
#include "platform/chart/BarLayer.h"
#include "platform/chart/BoxWhiskerLayer.h"
#include "platform/chart/ChartColor.h"
#include "platform/chart/ImageMapHandler.h"
#include "platform/chart/LegendBox.h"
#include "platform/chart/TextBox.h"

#include <QByteArray>
#include <QImage>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

class XYChart
{
public:
    // Output formats by their codes.
    enum Format
    {
        Png = 0,
        Jpeg = 2,
        Bmp = 4
    };

    XYChart(int width, int height, ChartColor background = ChartColor::kBackground,
            ChartColor edge = ChartColor::kTransparent, int raised = 0);
    XYChart(const XYChart &) = delete;
    XYChart &operator=(const XYChart &) = delete;

    // Fills the whole chart; a raised effect above 0 gives it a 3-D border that many pixels wide.
    void setBackground(ChartColor color, ChartColor edge = ChartColor::kTransparent, int raised = 0);
    // Paints what lies outside a rectangle with rounded corners (radius in pixels) in the given colour.
    void setRoundedFrame(ChartColor outside, int radius);
    // An alternate background gives bands between the y ticks; grid lines run at the y ticks and at the
    // x ticks.
    void setPlotArea(int x, int y, int width, int height, ChartColor background,
                     ChartColor alternate = ChartColor::kNone, ChartColor edge = ChartColor::kTransparent,
                     ChartColor horizontalGrid = ChartColor::kTransparent,
                     ChartColor verticalGrid = ChartColor::kTransparent);
    // A title centred across the top.
    TextBox &addTitle(const QString &text, const QString &font = QString(), double size = 12,
                      ChartColor color = ChartColor::kText, ChartColor background = ChartColor::kTransparent,
                      ChartColor edge = ChartColor::kTransparent);
    // A legend whose box is aligned on (x, y); columns 0 lays the keys out vertically.
    LegendBox &addLegend(int x, int y, int columns, const QString &font = QString(), double size = 8);
    // A free text aligned on (x, y); a leading "<*font=...,size=...,color=RRGGBB*>" sets its font.
    TextBox &addText(int x, int y, const QString &text, const QString &font = QString(), double size = 8,
                     ChartColor color = ChartColor::kText, int alignment = TextBox::TopLeft);
    // Per-category texts that hot-spot templates name as {field0}, {field1}, ...
    void addExtraField(const QStringList &texts) { m_extraFields.push_back(texts); }

    Axis &xAxis() { return m_xAxis; }
    Axis &yAxis() { return m_yAxis; }
    Axis &yAxis2() { return m_yAxis2; }
    BarLayer &addBarLayer(int depth = 0);
    BoxWhiskerLayer &addBoxWhiskerLayer(const std::vector<double> &top, const std::vector<double> &bottom,
                                        const std::vector<double> &max, const std::vector<double> &min = {},
                                        const std::vector<double> &mid = {},
                                        ChartColor fill = ChartColor::kTransparent,
                                        ChartColor whisker = ChartColor::kLine,
                                        ChartColor edge = ChartColor::kLine);

    int width() const { return m_width; }
    int height() const { return m_height; }
    // The plot area in chart pixels as drawn (the chart metrics a view port works on): the area set,
    // with its bottom raised as far as the category labels and the axis title under it need to stay
    // inside the chart.
    QRect plotArea() const;

    // Draws the chart (ARGB32, width x height).
    QImage render() const;
    // The drawn chart as an image file in memory; empty when the format is not known.
    QByteArray encode(int format) const;
    // One hot spot per bar and per box-whisker mark, each with the attributes of its layer's template
    // or else the given one, after the fields below are put in:
    // {field0}.. {xLabel} {dataSetName} {dataGroupName} {value} {max} {min}.
    std::vector<HotSpot> imageMap(const QString &attributes) const;

    // The frame the layers draw in, with the value axes scaled to the data (part of render()).
    PlotFrame frame() const;

private:
    int categoryCount() const;
    // How far below the plot area the category labels and the axis title reach.
    double depthBelowPlot() const;
    bool showsYAxis2() const;
    void paintAxes(QPainter &painter, const PlotFrame &frame) const;
    void paintGrid(QPainter &painter, const PlotFrame &frame) const;

    int m_width;
    int m_height;
    ChartColor m_background;
    ChartColor m_edge;
    int m_raised = 0;
    std::optional<ChartColor> m_frameOutside;
    int m_frameRadius = 0;
    QRect m_plot;
    ChartColor m_plotBackground{ChartColor::kTransparent};
    ChartColor m_plotAlternate{ChartColor::kNone};
    ChartColor m_plotEdge{ChartColor::kTransparent};
    ChartColor m_horizontalGrid{ChartColor::kTransparent};
    ChartColor m_verticalGrid{ChartColor::kTransparent};
    std::optional<TextBox> m_title;
    std::optional<LegendBox> m_legend;
    struct PlacedText
    {
        int x;
        int y;
        TextBox box;
    };
    std::vector<std::unique_ptr<PlacedText>> m_texts;
    std::vector<QStringList> m_extraFields;
    Axis m_xAxis;
    // The value axes are scaled to the layers when the chart is drawn.
    mutable Axis m_yAxis, m_yAxis2;
    std::vector<std::unique_ptr<Layer>> m_layers;
};
