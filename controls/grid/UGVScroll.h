// The grid's vertical scroll bar: it follows the top row, and scales sheets of more than 1,000
// rows down to 1,000 steps.
#pragma once

#include <QScrollBar>

class CUGCtrl;
class CUGGridInfo;

class CUGVScroll : public QScrollBar
{
    Q_OBJECT

public:
    static constexpr int kMaxSteps = 1000;

    explicit CUGVScroll(CUGCtrl *ctrl);

    void SetSheet(CUGGridInfo *sheet) { m_GI = sheet; }
    // Brings range and position up to date with the sheet; an update that changes nothing costs
    // nothing.
    void Update();

private:
    CUGCtrl *m_ctrl;
    CUGGridInfo *m_GI = nullptr;
    int m_lastRowCount = 0;
    int m_lastScrollMode = 0;
    int m_lastLockedRows = 0;
    double m_scale = 1.0;
    double m_inverseScale = 1.0;
};
