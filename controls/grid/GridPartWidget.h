// Base of the small windows the grid control draws around its cells (the headings and the corner
// button): they share the control, the sheet, the tool-tip switch and one section code for the hooks.
#pragma once

#include <QWidget>

class CUGCtrl;
class CUGGridInfo;
class QPainter;

class GridPartWidget : public QWidget
{
    Q_OBJECT

public:
    void SetSheet(CUGGridInfo *sheet) { m_GI = sheet; }
    void EnableToolTips(bool on) { m_toolTips = on; }

protected:
    GridPartWidget(CUGCtrl *ctrl, int section);

    // True once the sheet is there and created.
    bool readyToPaint() const;
    // Lets the paint hook see the painter, then sets the sheet's default font.
    void preparePainter(QPainter &painter);
    // A click in a part hands the keyboard to the cell area.
    void focusGrid();
    // Shows the control's pop-up menu for the cell at a point of this window when menus are on.
    void popUpMenu(int col, int row, QPoint point);

    CUGCtrl *m_ctrl;
    CUGGridInfo *m_GI = nullptr;
    bool m_toolTips = false;
    const int m_section;
};
