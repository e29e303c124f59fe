// The grid's horizontal scroll bar: it follows the left column.
#pragma once

#include <QScrollBar>

class CUGCtrl;
class CUGGridInfo;

class CUGHScroll : public QScrollBar
{
    Q_OBJECT

public:
    explicit CUGHScroll(CUGCtrl *ctrl);

    void SetSheet(CUGGridInfo *sheet) { m_GI = sheet; }
    // Brings range and position up to date with the sheet.
    void Update();

private:
    CUGCtrl *m_ctrl;
    CUGGridInfo *m_GI = nullptr;
    int m_lastColCount = 0;
    int m_lastLockedCols = 0;
};
