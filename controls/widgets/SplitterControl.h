// A thin bar that the user drags to move the boundary between two windows. While dragging, two
// tracking lines show where the bar will go; on release the bar moves and reports the distance.
#pragma once

#include <QPointer>
#include <QWidget>

class SplitterTrackingLines;

class CSplitterControl : public QWidget
{
    Q_OBJECT
public:
    enum Orientation
    {
        Vertical = 1,
        Horizontal = 2
    };
    static constexpr int ControlId = 1007;
    static constexpr int Thickness = 5;

    explicit CSplitterControl(QWidget *parent = nullptr);
    ~CSplitterControl() override;

    // Makes the bar inside parent: vertical when rect is narrower than high, 5 pixels across; both
    // range ends at the bar's centre line.
    void CreateBar(const QRect &rect, QWidget *parent);
    void SetRange(int minimum, int maximum);
    int GetMinimum() const { return m_minimum; }
    int GetMaximum() const { return m_maximum; }
    Orientation GetOrientation() const { return m_orientation; }
    // The tracking lines while dragging, in parent coordinates; null when not dragging.
    const QWidget *TrackingLines() const;

    // Side 1 moves the window's right edge by +delta, side 2 its left edge by -delta.
    static void ResizeHorizontally(QWidget *window, int delta, int side);

signals:
    // After a drag: the new position minus the position at the press, along the bar's axis.
    void moved(int delta);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int centreLine() const;
    void showTrackingLines();

    bool m_dragging = false;
    Orientation m_orientation = Vertical;
    int m_x = 0;
    int m_y = 0;
    int m_minimum = 0;
    int m_maximum = 0;
    int m_pressPosition = 0;
    QPointer<SplitterTrackingLines> m_lines;
};
