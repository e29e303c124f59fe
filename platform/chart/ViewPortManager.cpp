#include "platform/chart/ViewPortManager.h"

#include <QtGlobal>
#include <cmath>

namespace {

// Clamps a span to [limit, 1] and its start to [0, 1 - span].
void clampSpan(double &start, double &span, double limit)
{
    const double least = qBound(0.0, std::isfinite(limit) ? limit : 0.0, 1.0);
    span = std::isfinite(span) ? qBound(least, span, 1.0) : 1.0;
    start = std::isfinite(start) ? qBound(0.0, start, 1.0 - span) : 0.0;
}

// Where a pixel lies across a span of the plot area, as a fraction of it.
double fractionOf(int pixel, int origin, int length)
{
    return length > 0 ? double(pixel - origin) / length : 0.0;
}

} // namespace

bool ViewPortManager::canZoomIn(int direction) const
{
    return (horizontal(direction) && m_width > m_widthLimit + 1e-9) ||
           (vertical(direction) && m_height > m_heightLimit + 1e-9);
}

bool ViewPortManager::canZoomOut(int direction) const
{
    return (horizontal(direction) && m_width < 1 - 1e-9) || (vertical(direction) && m_height < 1 - 1e-9);
}

bool ViewPortManager::changedFrom(double left, double width, double top, double height) const
{
    constexpr double e = 1e-12;
    return std::abs(left - m_left) > e || std::abs(width - m_width) > e || std::abs(top - m_top) > e ||
           std::abs(height - m_height) > e;
}

void ViewPortManager::validateViewPort()
{
    clampSpan(m_left, m_width, m_widthLimit);
    clampSpan(m_top, m_height, m_heightLimit);
}

bool ViewPortManager::zoomAt(int direction, int x, int y, double ratio)
{
    if (!(ratio > 0) || !std::isfinite(ratio))
        return false;
    const double left = m_left, width = m_width, top = m_top, height = m_height;
    if (horizontal(direction)) {
        const double fx = fractionOf(x, m_plot.left(), m_plot.width());
        const double anchor = m_left + fx * m_width;
        m_width = qBound(qMin(m_widthLimit, 1.0), m_width / ratio, 1.0);
        m_left = anchor - fx * m_width;
    }
    if (vertical(direction)) {
        const double fy = fractionOf(y, m_plot.top(), m_plot.height());
        const double anchor = m_top + fy * m_height;
        m_height = qBound(qMin(m_heightLimit, 1.0), m_height / ratio, 1.0);
        m_top = anchor - fy * m_height;
    }
    validateViewPort();
    return changedFrom(left, width, top, height);
}

bool ViewPortManager::zoomTo(int direction, int x1, int y1, int x2, int y2)
{
    const double left = m_left, width = m_width, top = m_top, height = m_height;
    if (horizontal(direction)) {
        const double f1 = qBound(0.0, fractionOf(x1, m_plot.left(), m_plot.width()), 1.0);
        const double f2 = qBound(0.0, fractionOf(x2, m_plot.left(), m_plot.width()), 1.0);
        m_left += qMin(f1, f2) * m_width;
        m_width *= std::abs(f2 - f1);
    }
    if (vertical(direction)) {
        const double f1 = qBound(0.0, fractionOf(y1, m_plot.top(), m_plot.height()), 1.0);
        const double f2 = qBound(0.0, fractionOf(y2, m_plot.top(), m_plot.height()), 1.0);
        m_top += qMin(f1, f2) * m_height;
        m_height *= std::abs(f2 - f1);
    }
    validateViewPort();
    return changedFrom(left, width, top, height);
}

void ViewPortManager::startDrag()
{
    m_dragLeft = m_left;
    m_dragTop = m_top;
}

bool ViewPortManager::dragTo(int direction, int dx, int dy)
{
    const double left = m_left, width = m_width, top = m_top, height = m_height;
    if (horizontal(direction) && m_plot.width() > 0)
        m_left = m_dragLeft - double(dx) / m_plot.width() * m_width;
    if (vertical(direction) && m_plot.height() > 0)
        m_top = m_dragTop - double(dy) / m_plot.height() * m_height;
    validateViewPort();
    return changedFrom(left, width, top, height);
}
