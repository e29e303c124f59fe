// Shows a chart and adds what the user does with the mouse over it: zoom in by a click or by dragging
// a selection rectangle, zoom out by a click, scroll by dragging, tool tips and a hand pointer from the
// chart's hot spots, and a notification whenever the visible part of the data (the view port) changes.
// The viewer owns the chart it shows.
#pragma once

#include "platform/chart/ImageMapHandler.h"
#include "platform/chart/ViewPortManager.h"
#include "platform/chart/XYChart.h"

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <memory>

class ChartViewer : public QWidget, public ViewPortManager
{
    Q_OBJECT
public:
    // Mouse usages.
    enum MouseUsage
    {
        MouseUsageDefault = 0,
        MouseUsageScroll = 1,
        MouseUsageZoomIn = 3,
        MouseUsageZoomOut = 4
    };

    explicit ChartViewer(QWidget *parent = nullptr);
    ~ChartViewer() override;

    // Shows the chart (none clears the picture and the plot area) and drops the image map.
    void SetChart(std::unique_ptr<XYChart> chart);
    XYChart *GetChart() const { return m_chart.get(); }
    // Replaces the hot spots (none: no hot spots).
    void SetImageMap(std::vector<HotSpot> spots);
    void ClearImageMap();
    const ImageMapHandler *GetImageMapHandler() const { return m_imageMap.get(); }
    void SetDefaultToolTip(const QString &text) { m_defaultToolTip = text; }
    // The tip that the pointer's place gives now.
    QString CurrentToolTip() const { return m_toolTip; }

    void SetSelectionBorderWidth(int width) { m_selectionBorderWidth = qMax(1, width); }
    int GetSelectionBorderWidth() const { return m_selectionBorderWidth; }
    void SetSelectionBorderColor(QColor color);
    QColor GetSelectionBorderColor() const { return m_selectionBorderColor; }
    void SetMouseUsage(int usage) { m_mouseUsage = usage; }
    int GetMouseUsage() const { return m_mouseUsage; }
    void SetZoomDirection(int direction) { m_zoomDirection = direction; }
    int GetZoomDirection() const { return m_zoomDirection; }
    void SetScrollDirection(int direction) { m_scrollDirection = direction; }
    int GetScrollDirection() const { return m_scrollDirection; }
    void SetZoomInRatio(double ratio);
    double GetZoomInRatio() const { return m_zoomInRatio; }
    void SetZoomOutRatio(double ratio);
    double GetZoomOutRatio() const { return m_zoomOutRatio; }
    void SetMinimumDrag(int pixels) { m_minimumDrag = qMax(0, pixels); }
    int GetMinimumDrag() const { return m_minimumDrag; }
    void SetUpdateInterval(int milliseconds) { m_updateInterval = milliseconds; }
    int GetUpdateInterval() const { return m_updateInterval; }

    // What the receiver of viewPortChanged must redo; valid while it handles the signal.
    bool NeedUpdateChart() const { return m_needUpdateChart; }
    bool NeedUpdateImageMap() const { return m_needUpdateImageMap; }
    // Asks for a view-port notification: sent at once unless one went out less than the update interval
    // ago, in which case the requests are merged and sent when the interval ends.
    void UpdateViewPort(bool needUpdateChart, bool needUpdateImageMap);

    // The selection rectangle while a zoom-in drag is on, else empty.
    QRect SelectionRect() const { return m_selectionShown ? m_selection : QRect(); }

signals:
    // The view port changed (synchronous: the receiver redraws before the viewer goes on).
    void viewPortChanged();
    // A click in the plot area that was neither a zoom nor the end of a drag-scroll.
    void clicked();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void onHoldTimer();
    bool isDrag(int direction, QPoint point) const;
    void plotAreaDrag(QPoint point);
    void setSelection(QPoint from, QPoint to);
    void showSelection(bool show);
    void updateHotSpot(QPoint point, bool buttonDown);
    void updateCursor();

    std::unique_ptr<XYChart> m_chart;
    QImage m_image;
    std::unique_ptr<ImageMapHandler> m_imageMap;
    QString m_defaultToolTip;
    QString m_toolTip;
    QColor m_selectionBorderColor{Qt::black};
    int m_selectionBorderWidth = 2;
    int m_mouseUsage = MouseUsageDefault;
    int m_zoomDirection = 0;
    int m_scrollDirection = 0;
    double m_zoomInRatio = 2.0;
    double m_zoomOutRatio = 0.5;
    int m_minimumDrag = 5;
    int m_updateInterval = 20;
    bool m_needUpdateChart = false;
    bool m_needUpdateImageMap = false;
    int m_currentHotSpot = -1;
    bool m_isClickable = false;
    bool m_isOnPlotArea = false;
    bool m_isPlotAreaMouseDown = false;
    bool m_isDragScrolling = false;
    QPoint m_press;
    QRect m_selection;
    bool m_selectionShown = false;
    bool m_holdTimerActive = false;
    QTimer m_holdTimer;
};
