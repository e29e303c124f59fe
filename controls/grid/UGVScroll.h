// The grid's vertical scroll bar: it follows the top row, and scales sheets of more than 1,000
// rows down to 1,000 steps. Moving it scrolls the view; the thumb scrolls when released.
#pragma once

#include "controls/grid/GridScrollBar.h"

class CUGVScroll : public GridScrollBar
{
    Q_OBJECT

public:
    static constexpr int kMaxSteps = 1000;
    // Scroll codes.
    enum Code
    {
        LineUp = StepLineBack,
        LineDown = StepLineForward,
        PageUp = StepPageBack,
        PageDown = StepPageForward,
        ThumbPosition = StepThumbPosition,
        ThumbTrack = StepThumbTrack,
        Top = StepToStart,
        Bottom = StepToEnd,
        EndScroll = StepEndScroll
    };

    explicit CUGVScroll(CUGCtrl *ctrl);

    // Brings range and position up to date with the sheet; an update that changes nothing costs
    // nothing.
    void Update();

protected:
    void scrollView(int code, int position) override;
    int viewPosition() const override;
    bool thumbTip(QString *text) const override;

private:
    int m_lastRowCount = 0;
    int m_lastScrollMode = 0;
    int m_lastLockedRows = 0;
    int m_lastGridHeight = -1;
    double m_scale = 1.0;
    double m_inverseScale = 1.0;
    int m_trackRow = 0;
};
