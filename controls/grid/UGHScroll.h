// The grid's horizontal scroll bar: it follows the left column; moving it scrolls the view, the
// thumb when released.
#pragma once

#include <QScrollBar>

class CUGCtrl;
class CUGGridInfo;

class CUGHScroll : public QScrollBar
{
    Q_OBJECT

public:
    // Scroll codes.
    enum Code
    {
        LineLeft = 0,
        LineRight = 1,
        PageLeft = 2,
        PageRight = 3,
        ThumbPosition = 4,
        ThumbTrack = 5,
        Left = 6,
        Right = 7,
        EndScroll = 8
    };

    explicit CUGHScroll(CUGCtrl *ctrl);

    void SetSheet(CUGGridInfo *sheet) { m_GI = sheet; }
    // Brings range and position up to date with the sheet.
    void Update();
    void OnScroll(int code, int position);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void onAction(int action);

    CUGCtrl *m_ctrl;
    CUGGridInfo *m_GI = nullptr;
    int m_lastColCount = 0;
    int m_lastLockedCols = 0;
    int m_lastGridWidth = -1;
    bool m_relayingOut = false;
};
