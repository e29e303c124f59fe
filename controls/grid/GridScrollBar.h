// Base of the grid's two scroll bars: slider actions become scroll codes, a scroll hands the
// keyboard to the cell area and refreshes the side heading, and the wheel goes to the cells.
#pragma once

#include <QScrollBar>

class CUGCtrl;
class CUGGridInfo;

class GridScrollBar : public QScrollBar
{
    Q_OBJECT

public:
    void SetSheet(CUGGridInfo *sheet) { m_GI = sheet; }
    void OnScroll(int code, int position);

protected:
    // Scroll codes both bars share, each bar names them along its axis.
    enum Step
    {
        StepLineBack = 0,
        StepLineForward = 1,
        StepPageBack = 2,
        StepPageForward = 3,
        StepThumbPosition = 4,
        StepThumbTrack = 5,
        StepToStart = 6,
        StepToEnd = 7,
        StepEndScroll = 8
    };

    GridScrollBar(Qt::Orientation orientation, CUGCtrl *ctrl, int section);

    void mousePressEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

    // Moves the view for a scroll code; the sheet is there.
    virtual void scrollView(int code, int position) = 0;
    // The bar's position for where the view stands.
    virtual int viewPosition() const = 0;
    // The tip shown beside the thumb while it is dragged, from the grid's hook; false for none.
    virtual bool thumbTip(QString *text) const = 0;

    CUGCtrl *m_ctrl;
    CUGGridInfo *m_GI = nullptr;

private:
    void onAction(int action);
    void showThumbTip();
    void hideThumbTip();

    const int m_section;
};
