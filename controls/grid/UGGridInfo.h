// The state of one sheet of a grid: counts and sizes, the visible area, the current cell, the
// heading layout, the default cells, the sheet's cell store and selection, and the switches that
// steer drawing and input.
#pragma once

#include "controls/grid/UGCell.h"
#include "controls/grid/UgRect.h"
#include "platform/SysColor.h"

#include <QCursor>
#include <memory>
#include <vector>

// Width of a vertical and height of a horizontal scroll bar, in pixels.
constexpr int kScrollBarSize = 17;

class CUGDataSource;
class CUGMem;
class CUGMultiSelect;
class QFont;

// One column of a sheet. A column without its own data source uses the sheet's current one.
struct UgColumnRecord
{
    int width = 75;
    CUGDataSource *dataSource = nullptr;
    std::unique_ptr<CUGCell> defaultCell;
    int dataSourceCol = 0;
};

class CUGGridInfo
{
public:
    CUGGridInfo();
    ~CUGGridInfo();
    CUGGridInfo(const CUGGridInfo &) = delete;
    CUGGridInfo &operator=(const CUGGridInfo &) = delete;

    // Columns.
    int m_colCount = 0;
    int m_reportedCol = -1;
    int m_prevReportedCol = -1;
    int m_leftCol = 0;
    int m_prevLeftCol = 0;
    int m_maxLeftCol = 0;
    int m_defColWidth = 75;
    int m_rightVisibleCol = 0;
    int m_currentCol = -1;
    std::vector<UgColumnRecord> m_columns;

    // Rows.
    int m_rowCount = 0;
    int m_reportedRow = -1;
    int m_prevReportedRow = -1;
    int m_topRow = 0;
    int m_prevTopRow = 0;
    int m_maxTopRow = 0;
    std::vector<int> m_rowHeights;
    int m_defRowHeight = 20;
    int m_uniformRowHeight = 0;
    int m_bottomVisibleRow = 0;
    int m_currentRow = -1;

    // Headings: entry 0 is heading row (column) -1.
    int m_topHdgRowCount = 1;
    std::vector<int> m_topHdgRowHeights{20};
    int m_sideHdgColCount = 1;
    // One side-heading column as wide as the side heading, so the heading is painted edge to edge.
    std::vector<int> m_sideHdgColWidths{40};

    std::unique_ptr<CUGCell> m_gridDefaultCell;
    std::unique_ptr<CUGCell> m_hdgDefaultCell;
    CUGCell m_scratchCell;

    int m_topHdgHeight = 20;
    int m_sideHdgWidth = 40;
    int m_vScrollWidth = kScrollBarSize;
    int m_hScrollHeight = kScrollBarSize;
    int m_tabWidth = 0;

    // Set by the layout.
    int m_gridWidth = 0;
    int m_gridHeight = 0;
    UgRect m_gridRect;
    UgRect m_topHdgRect;
    UgRect m_sideHdgRect;
    UgRect m_cornerRect;
    UgRect m_tabRect;
    UgRect m_vScrollRect;
    UgRect m_hScrollRect;

    int m_highlightRow = 0;
    int m_multiSelectFlag = 0;
    // How the current cell shows: unmarked, with the focus rectangle, or also highlighted.
    enum CurrentCellMode
    {
        CurrentCellUnmarked = 0,
        CurrentCellFocus = 1,
        CurrentCellHighlighted = 2
    };
    int m_currentCellMode = CurrentCellFocus;
    int m_createdFlag = 0;
    int m_menuOn = 0;
    int m_headingSizing = 1;
    int m_joining = 1;
    int m_overflow = 1;
    int m_wholeRowSelect = 0;
    int m_scrollBarsShown = 1;
    // Light grey lines on the right and bottom edge of every cell.
    int m_gridLines = 1;
    // Sizing columns, rows and headings with the mouse: 0 off, 1 live with a tracking line,
    // 2 or more live with a full repaint.
    int m_userSizingMode = 1;
    // A double click on a column border fits the column to its content.
    int m_bestFit = 1;
    // Key acceleration: repeats per step (0 off) and the pause before the first repeat, in ms.
    int m_keyAccelDivisor = 0;
    int m_keyFirstRepeatDelay = 0;
    // Mouse acceleration while dragging past an edge: exponent (0 off) and step pause, in ms.
    int m_mouseAccelExponent = 0;
    int m_mouseStepDelay = 200;
    // 0: a drag reaching the last partly visible column or row stops there.
    int m_dragPastEdge = 1;
    int m_toolTips = 0;

    int m_lockedColCount = 0;
    int m_lockedRowCount = 0;
    int m_lockedColsWidth = 0;
    int m_lockedRowsHeight = 0;

    const QFont *m_defFont = nullptr;
    CUGDataSource *m_dataSource = nullptr;
    std::unique_ptr<CUGMem> m_defDataSource;

    // How the next move changes the selection: 0 plain move, 1 extend, 2 select if not selected,
    // 3 drag, 4 scroll bar or wheel. The key flags go with state 1.
    int m_selectKeyState = 0;
    int m_selectKeyFlags = 0;
    std::unique_ptr<CUGMultiSelect> m_multiSelect;

    // The in-place editors: the plain one, and the one for cells with an input mask.
    QWidget *m_editCtrl = nullptr;
    QWidget *m_maskedEditCtrl = nullptr;

    QCursor m_arrowCursor{Qt::ArrowCursor};
    QCursor m_sizeWECursor{Qt::SizeHorCursor};
    QCursor m_sizeNSCursor{Qt::SizeVerCursor};
    QCursor m_gridCursor{Qt::ArrowCursor};

    // Colour of the light grey lines between cells.
    COLORREF m_gridLineColor = 0xDCDCDC;
};
