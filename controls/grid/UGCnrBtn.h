// The grid's corner button: the square where the two headings meet.
#pragma once

#include <QWidget>

class CUGCtrl;
class CUGGridInfo;

class CUGCnrBtn : public QWidget
{
    Q_OBJECT

public:
    explicit CUGCnrBtn(CUGCtrl *ctrl);

    void SetSheet(CUGGridInfo *sheet) { m_GI = sheet; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    CUGCtrl *m_ctrl;
    CUGGridInfo *m_GI = nullptr;
};
