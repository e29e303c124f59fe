#include "platform/chart/ChartViewer.h"

#include "platform/chart/ChartCursors.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

ChartViewer::ChartViewer(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    m_holdTimer.setSingleShot(true);
    connect(&m_holdTimer, &QTimer::timeout, this, &ChartViewer::onHoldTimer);
}

ChartViewer::~ChartViewer() = default;

void ChartViewer::SetChart(std::unique_ptr<XYChart> chart)
{
    m_chart = std::move(chart);
    m_image = m_chart ? m_chart->render() : QImage();
    setChartMetrics(m_chart ? m_chart->plotArea() : QRect());
    ClearImageMap();
    update();
}

void ChartViewer::SetImageMap(std::vector<HotSpot> spots)
{
    m_imageMap = spots.empty() ? nullptr : std::make_unique<ImageMapHandler>(std::move(spots));
    m_currentHotSpot = -1;
    m_isClickable = false;
}

void ChartViewer::ClearImageMap()
{
    SetImageMap({});
}

void ChartViewer::SetSelectionBorderColor(QColor color)
{
    m_selectionBorderColor = color;
    if (m_selectionShown)
        update();
}

void ChartViewer::SetZoomInRatio(double ratio)
{
    if (ratio > 0)
        m_zoomInRatio = ratio;
}

void ChartViewer::SetZoomOutRatio(double ratio)
{
    if (ratio > 0)
        m_zoomOutRatio = ratio;
}

void ChartViewer::UpdateViewPort(bool needUpdateChart, bool needUpdateImageMap)
{
    m_needUpdateChart = m_needUpdateChart || needUpdateChart;
    m_needUpdateImageMap = needUpdateImageMap;
    if (m_holdTimerActive)
        return;
    validateViewPort();
    emit viewPortChanged();
    m_needUpdateChart = false;
    m_needUpdateImageMap = false;
    if (m_updateInterval > 0) {
        m_holdTimerActive = true;
        m_holdTimer.start(m_updateInterval);
    }
}

void ChartViewer::onHoldTimer()
{
    m_holdTimerActive = false;
    if (m_needUpdateChart || m_needUpdateImageMap)
        UpdateViewPort(m_needUpdateChart, m_needUpdateImageMap);
}

bool ChartViewer::isDrag(int direction, QPoint point) const
{
    return (direction != 1 && qAbs(point.x() - m_press.x()) >= m_minimumDrag) ||
           (direction != 0 && qAbs(point.y() - m_press.y()) >= m_minimumDrag);
}

void ChartViewer::setSelection(QPoint from, QPoint to)
{
    QRect rect = QRect(from, to).normalized();
    if (m_zoomDirection == 0)
        rect = QRect(rect.left(), getPlotAreaTop(), rect.width(), getPlotAreaHeight());
    else if (m_zoomDirection == 1)
        rect = QRect(getPlotAreaLeft(), rect.top(), getPlotAreaWidth(), rect.height());
    m_selection = rect;
    update();
}

void ChartViewer::showSelection(bool show)
{
    if (m_selectionShown != show) {
        m_selectionShown = show;
        update();
    }
}

void ChartViewer::plotAreaDrag(QPoint point)
{
    if (m_mouseUsage == MouseUsageScroll) {
        if (m_isDragScrolling || isDrag(m_scrollDirection, point)) {
            m_isDragScrolling = true;
            setCursor(m_scrollDirection == 0   ? GetHorizontalScrollCursor()
                      : m_scrollDirection == 1 ? GetVerticalScrollCursor()
                                               : GetScrollCursor());
            if (dragTo(m_scrollDirection, point.x() - m_press.x(), point.y() - m_press.y()))
                UpdateViewPort(true, false);
        }
    } else if (m_mouseUsage == MouseUsageZoomIn) {
        if (canZoomIn(m_zoomDirection) && isDrag(m_zoomDirection, point)) {
            setSelection(m_press, point);
            showSelection(true);
        } else {
            showSelection(false);
        }
    }
}

void ChartViewer::updateHotSpot(QPoint point, bool buttonDown)
{
    if (buttonDown) {
        m_toolTip.clear();
        QToolTip::hideText();
        return;
    }
    const int spot = m_imageMap ? m_imageMap->getHotSpot(point) : 0;
    if (spot == m_currentHotSpot)
        return;
    m_currentHotSpot = spot;
    if (spot == 0) {
        m_toolTip = m_defaultToolTip;
        m_isClickable = false;
    } else {
        const HotSpot *hot = m_imageMap->hotSpot(spot);
        m_isClickable = !hot->path.isEmpty();
        m_toolTip = hot->title;
    }
    // A tip on show follows the pointer to the next hot spot.
    if (QToolTip::isVisible()) {
        if (m_toolTip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(mapToGlobal(point), m_toolTip, this);
    }
}

void ChartViewer::updateCursor()
{
    if (m_isDragScrolling)
        return;
    if (m_isOnPlotArea && m_mouseUsage == MouseUsageZoomIn)
        setCursor(canZoomIn(m_zoomDirection) ? GetZoomInCursor() : GetNoZoomCursor());
    else if (m_isOnPlotArea && m_mouseUsage == MouseUsageZoomOut)
        setCursor(canZoomOut(m_zoomDirection) ? GetZoomOutCursor() : GetNoZoomCursor());
    else if (m_isClickable)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

void ChartViewer::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    m_isOnPlotArea = m_isPlotAreaMouseDown || inPlotArea(point.x(), point.y());
    if (m_isPlotAreaMouseDown)
        plotAreaDrag(point);
    updateHotSpot(point, event->buttons() != Qt::NoButton || event->modifiers() != Qt::NoModifier);
    updateCursor();
    QWidget::mouseMoveEvent(event);
}

void ChartViewer::mousePressEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    if (event->button() != Qt::LeftButton || m_mouseUsage == MouseUsageDefault ||
        !inPlotArea(point.x(), point.y())) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_isPlotAreaMouseDown = true;
    m_isOnPlotArea = true;
    m_press = point;
    startDrag();
    updateHotSpot(point, true);
    event->accept();
}

void ChartViewer::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_isPlotAreaMouseDown) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const QPoint point = event->position().toPoint();
    m_isPlotAreaMouseDown = false;
    showSelection(false);
    bool changed = false;
    if (m_mouseUsage == MouseUsageZoomIn) {
        if (canZoomIn(m_zoomDirection)) {
            changed = isDrag(m_zoomDirection, point)
                          ? zoomTo(m_zoomDirection, m_press.x(), m_press.y(), point.x(), point.y())
                          : zoomAt(m_zoomDirection, point.x(), point.y(), m_zoomInRatio);
        }
    } else if (m_mouseUsage == MouseUsageZoomOut) {
        if (canZoomOut(m_zoomDirection))
            changed = zoomAt(m_zoomDirection, point.x(), point.y(), m_zoomOutRatio);
    } else if (m_isDragScrolling) {
        UpdateViewPort(false, true);
    } else {
        emit clicked();
    }
    m_isDragScrolling = false;
    if (changed)
        UpdateViewPort(true, true);
    m_isOnPlotArea = inPlotArea(point.x(), point.y());
    updateCursor();
    event->accept();
}

void ChartViewer::leaveEvent(QEvent *event)
{
    if (!m_isPlotAreaMouseDown)
        m_isOnPlotArea = false;
    QWidget::leaveEvent(event);
}

bool ChartViewer::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        updateHotSpot(help->pos(), m_isPlotAreaMouseDown);
        if (m_toolTip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), m_toolTip, this);
        return true;
    }
    return QWidget::event(event);
}

void ChartViewer::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!m_image.isNull())
        painter.drawImage(0, 0, m_image);
    if (m_selectionShown && !m_selection.isEmpty()) {
        const int b = m_selectionBorderWidth;
        const QRect r = m_selection;
        painter.fillRect(QRect(r.left(), r.top(), r.width(), b), m_selectionBorderColor);
        painter.fillRect(QRect(r.left(), r.top(), b, r.height()), m_selectionBorderColor);
        painter.fillRect(QRect(r.left(), r.bottom() - b + 1, r.width(), b), m_selectionBorderColor);
        painter.fillRect(QRect(r.right() - b + 1, r.top(), b, r.height()), m_selectionBorderColor);
    }
}
