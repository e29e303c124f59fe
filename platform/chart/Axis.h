// An axis of an XY chart: the category x axis (labels, tick offset) or a value axis (y, second y)
// with a fixed linear scale or one fitted to the data of the layers that use it.
#pragma once

#include "platform/chart/TextBox.h"

#include <QStringList>
#include <vector>

class Axis
{
public:
    Axis();

    // Category labels, one per category; "\n" breaks a label into lines. Returns the labels' style.
    TextBox &setLabels(const QStringList &labels);
    void setLinearScale(double lower, double upper, double majorStep, double minorStep = 0);
    // Pixels kept free of data at the top and the bottom of a value axis.
    void setMargin(int top, int bottom = 0);
    // Least pixels between two major ticks of a fitted scale.
    void setTickDensity(int pixels) { m_tickDensity = qMax(1, pixels); }
    void setTickLength(int pixels) { m_tickLength = qMax(0, pixels); }
    // 0.5 moves the ticks and grid lines of a category axis between the categories.
    void setTickOffset(double offset) { m_tickOffset = offset; }
    TextBox &setTitle(const QString &text, const QString &font = QString(), double size = 8,
                      ChartColor color = ChartColor::kText);
    void setWidth(int pixels) { m_width = qMax(1, pixels); }

    const QStringList &labels() const { return m_labels; }
    const TextBox &labelStyle() const { return m_labelStyle; }
    const TextBox &title() const { return m_title; }
    int width() const { return m_width; }
    int tickLength() const { return m_tickLength; }
    double tickOffset() const { return m_tickOffset; }
    int marginTop() const { return m_marginTop; }
    int marginBottom() const { return m_marginBottom; }

    // Value axes: fits the scale to the largest value (the fixed scale stays) over a length of pixels.
    void fitScale(double largest, int length);
    double lower() const { return m_lower; }
    double upper() const { return m_upper; }
    // The major tick values of the scale, lowest first.
    std::vector<double> ticks() const;
    // The pixel of a value on an axis from bottom (pixel) up over length pixels.
    double toPixel(double value, double bottom, double length) const;

    // Numbers as the chart shows them: whole numbers without decimals, others with at most two.
    static QString formatNumber(double value);

private:
    QStringList m_labels;
    TextBox m_labelStyle;
    TextBox m_title;
    int m_width = 1;
    int m_tickLength = 3;
    double m_tickOffset = 0;
    int m_tickDensity = 30;
    int m_marginTop = 0;
    int m_marginBottom = 0;
    bool m_fixed = false;
    double m_lower = 0;
    double m_upper = 10;
    double m_step = 1;
};
