// The grid's sheet tabs along the bottom edge, left of the horizontal scroll bar.
#pragma once

#include <QWidget>

class CUGCtrl;
class CUGGridInfo;

class CUGTab : public QWidget
{
    Q_OBJECT

public:
    explicit CUGTab(CUGCtrl *ctrl);

    void SetSheet(CUGGridInfo *sheet) { m_GI = sheet; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    CUGCtrl *m_ctrl;
    CUGGridInfo *m_GI = nullptr;
};
