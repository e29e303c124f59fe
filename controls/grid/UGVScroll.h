// The grid's vertical scroll bar: it follows the top row, and scales sheets of more than 1,000
// rows down to 1,000 steps. Moving it scrolls the view; the thumb scrolls when released.
#pragma once

#include <QScrollBar>

class CUGCtrl;
class CUGGridInfo;

class CUGVScroll : public QScrollBar
{
    Q_OBJECT

public:
    static constexpr int kMaxSteps = 1000;
    // Scroll codes.
    enum Code
    {
        LineUp = 0,
        LineDown = 1,
        PageUp = 2,
        PageDown = 3,
        ThumbPosition = 4,
        ThumbTrack = 5,
        Top = 6,
        Bottom = 7,
        EndScroll = 8
    };

    explicit CUGVScroll(CUGCtrl *ctrl);

    void SetSheet(CUGGridInfo *sheet) { m_GI = sheet; }
    // Brings range and position up to date with the sheet; an update that changes nothing costs
    // nothing.
    void Update();
    void OnScroll(int code, int position);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void onAction(int action);

    CUGCtrl *m_ctrl;
    CUGGridInfo *m_GI = nullptr;
    int m_lastRowCount = 0;
    int m_lastScrollMode = 0;
    int m_lastLockedRows = 0;
    int m_lastGridHeight = -1;
    double m_scale = 1.0;
    double m_inverseScale = 1.0;
    int m_trackRow = 0;
};
