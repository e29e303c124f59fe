// The grid's horizontal scroll bar: it follows the left column; moving it scrolls the view, the
// thumb when released.
#pragma once

#include "controls/grid/GridScrollBar.h"

class CUGHScroll : public GridScrollBar
{
    Q_OBJECT

public:
    // Scroll codes.
    enum Code
    {
        LineLeft = StepLineBack,
        LineRight = StepLineForward,
        PageLeft = StepPageBack,
        PageRight = StepPageForward,
        ThumbPosition = StepThumbPosition,
        ThumbTrack = StepThumbTrack,
        Left = StepToStart,
        Right = StepToEnd,
        EndScroll = StepEndScroll
    };

    explicit CUGHScroll(CUGCtrl *ctrl);

    // Brings range and position up to date with the sheet.
    void Update();

protected:
    void scrollView(int code, int position) override;
    int viewPosition() const override;
    bool thumbTip(QString *text) const override;

private:
    int m_lastColCount = 0;
    int m_lastLockedCols = 0;
    int m_lastGridWidth = -1;
    bool m_relayingOut = false;
    int m_trackCol = 0;
};
