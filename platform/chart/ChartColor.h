// Colours of the chart layer as its callers give them: 32-bit values 0xTTRRGGBB whose high byte is the
// transparency (0 opaque, 0xFF invisible), two palette entries (0xFFFF0000 the background colour,
// 0xFFFF0002 the text colour), -1 for none, plus linear gradients and dashed line colours made from them.
#pragma once

#include <QBrush>
#include <QColor>
#include <QPen>
#include <QPointF>
#include <QVector>
#include <cstdint>

class ChartColor
{
public:
    static constexpr std::uint32_t kTransparent = 0xFF000000;
    static constexpr std::uint32_t kBackground = 0xFFFF0000;
    static constexpr std::uint32_t kLine = 0xFFFF0001;
    static constexpr std::uint32_t kText = 0xFFFF0002;
    static constexpr std::uint32_t kNone = 0xFFFFFFFF;

    ChartColor(std::uint32_t value = kTransparent) : m_value(value) {}
    ChartColor(int value) : m_value(static_cast<std::uint32_t>(value)) {}

    // A gradient along the line from (x1, y1) to (x2, y2) in chart pixels.
    static ChartColor linearGradient(int x1, int y1, int x2, int y2, ChartColor from, ChartColor to);
    // A line colour drawn in dashes: each byte of the pattern, lowest first, is a run of pixels,
    // alternately drawn and left out, up to the first zero byte (0x0202: 2 on, 2 off).
    static ChartColor dashLine(ChartColor color, std::uint32_t pattern);

    // The plain colour (a gradient's first colour); palette entries resolved, invisible as alpha 0.
    QColor color() const;
    bool isVisible() const;
    QBrush brush() const;
    QPen pen(double width = 1) const;
    QVector<qreal> dashPattern() const { return m_dashes; }

private:
    std::uint32_t m_value;
    bool m_gradient = false;
    QPointF m_from, m_to;
    std::uint32_t m_toValue = 0;
    QVector<qreal> m_dashes;
};

// The light effects of boxes and bars: a glass glare over the upper part, or soft lighting across it.
struct ChartEffect
{
    enum Kind
    {
        None,
        Glass,
        SoftLighting
    };
    Kind kind = None;
    int direction = 0;
    int raised = 0;
    int glare = 0;

    static ChartEffect glassEffect(int glare, int direction, int raised)
    {
        return {Glass, direction, raised, glare};
    }
    static ChartEffect softLighting(int direction, int raised)
    {
        return {SoftLighting, direction, raised, 0};
    }
};
