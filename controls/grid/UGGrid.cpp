#include "controls/grid/UGGrid.h"

#include "controls/grid/GridKeys.h"
#include "controls/grid/GridPaint.h"
#include "controls/grid/GridToolTip.h"
#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGDropTarget.h"
#include "controls/grid/UGGridInfo.h"
#include "controls/grid/UGMultiSelect.h"
#include "controls/grid/UGSideHdg.h"
#include "controls/grid/UGStyleLayer.h"

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QThread>
#include <algorithm>
#include <cmath>

namespace {

// The next column or row in screen order: the locked ones, then from the first scrolled one.
int nextInScreenOrder(int index, int locked, int firstScrolled)
{
    return index + 1 == locked ? std::max(firstScrolled, locked) : index + 1;
}

constexpr int kDragRepeatMs = 50;

} // namespace

CUGGrid::CUGGrid(CUGCtrl *ctrl) : QWidget(ctrl), m_ctrl(ctrl)
{
    // Every pixel is painted by the grid; there is no background to erase.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A click takes the focus in the button handler, after it saw whether an editor was open.
    setFocusPolicy(Qt::TabFocus);
    setMouseTracking(true);
    m_dragTimer.setInterval(kDragRepeatMs);
    connect(&m_dragTimer, &QTimer::timeout, this, &CUGGrid::repeatDragStep);
}

CUGGrid::~CUGGrid()
{
    delete m_dropTarget;
}

void CUGGrid::RegisterDropTarget()
{
    if (!m_dropTarget)
        m_dropTarget = new CUGDropTarget(m_ctrl);
    setAcceptDrops(true);
}

void CUGGrid::SetTrackingRect(const UgRect &rect)
{
    const QRect old = toQRect(m_trackingRect);
    m_trackingRect = rect;
    // The cells under the old line are drawn again, the new line over them.
    if (old.isValid())
        update(old);
    if (toQRect(rect).isValid())
        update(toQRect(rect));
}

// ---- Drawing ----

void CUGGrid::addCurrentCell()
{
    const int col = m_GI->m_reportedCol;
    const int row = m_GI->m_reportedRow;
    if (m_GI->m_highlightRow)
        m_redrawList.AddRange(0, row, m_GI->m_colCount - 1, row);
    else
        m_redrawList.AddCell(col, row);
}

void CUGGrid::RepaintPending()
{
    if (!m_GI || !m_GI->m_createdFlag || !isVisible()) {
        // A hidden cell area paints nothing later, so what is queued is dropped now.
        m_redrawList.Clear();
        return;
    }
    m_ctrl->UpdateVisibleEdges();
    if (m_GI->m_leftCol != m_GI->m_prevLeftCol || m_GI->m_topRow != m_GI->m_prevTopRow) {
        // The view moved: every visible cell is drawn again.
        m_redrawList.AddRange(0, 0, m_GI->m_colCount, m_GI->m_rowCount);
        repaint();
        return;
    }
    const int prevCol = m_GI->m_prevReportedCol;
    const int prevRow = m_GI->m_prevReportedRow;
    if (m_GI->m_highlightRow) {
        m_redrawList.AddRange(0, prevRow, m_GI->m_colCount - 1, prevRow);
    } else {
        m_redrawList.AddCell(prevCol, prevRow);
    }
    addCurrentCell();

    QRegion region;
    auto addArea = [&](int firstCol, int firstRow, int lastCol, int lastRow) {
        UgRect area;
        if (!m_ctrl->VisibleRangeRect(std::min(firstCol, lastCol), std::min(firstRow, lastRow),
                                      std::max(firstCol, lastCol), std::max(firstRow, lastRow), &area))
            return;
        // A text may run on over the empty cells right of its own.
        if (m_GI->m_overflow)
            area.right = std::max(area.right, m_GI->m_gridWidth);
        region += toQRect(area);
    };
    // A joined cell is drawn across its whole block, so its whole block is repainted: a smaller area
    // would show part of the new text over what remains of the old.
    auto addCellArea = [&](int col, int row) {
        int lastCol = col, lastRow = row;
        if (col >= 0 && row >= 0 && m_GI->m_joining)
            m_ctrl->FindJoinedBlock(&col, &row, &lastCol, &lastRow);
        addArea(col, row, lastCol, lastRow);
    };
    for (const UgCellRange &range : m_redrawList.Ranges()) {
        if (range.left == range.right && range.top == range.bottom)
            addCellArea(range.left, range.top);
        else
            addArea(range.left, range.top, range.right, range.bottom);
    }
    for (const UgCellPos &cell : m_redrawList.Cells())
        addCellArea(cell.col, cell.row);
    if (region.isEmpty()) {
        m_redrawList.Clear();
        return;
    }
    repaint(region);
}

void CUGGrid::PaintRectNow(const UgRect &rect)
{
    if (isVisible())
        repaint(toQRect(rect));
}

void CUGGrid::paintEvent(QPaintEvent *event)
{
    if (!m_GI || !m_GI->m_createdFlag)
        return;
    QPainter painter(this);
    const QRect area = event->rect();
    int firstCol = 0, firstRow = 0, lastCol = 0, lastRow = 0;
    if (m_ctrl->GetCellFromPoint(area.left(), area.top(), &firstCol, &firstRow, nullptr) != 0)
        firstCol = firstRow = 0;
    if (m_ctrl->GetCellFromPoint(area.right(), area.bottom(), &lastCol, &lastRow, nullptr) != 0) {
        lastCol = m_GI->m_colCount;
        lastRow = m_GI->m_rowCount;
    } else {
        int originCol = lastCol, originRow = lastRow, blockCol = 0, blockRow = 0;
        if (m_ctrl->FindJoinedBlock(&originCol, &originRow, &blockCol, &blockRow) == 0) {
            lastCol = std::max(lastCol, blockCol);
            lastRow = std::max(lastRow, blockRow);
        }
    }
    m_redrawList.AddRange(firstCol, firstRow, lastCol, lastRow);
    if (firstCol != lastCol || firstRow != lastRow || firstCol != m_GI->m_reportedCol ||
        firstRow != m_GI->m_reportedRow)
        addCurrentCell();
    DrawCells(&painter);
    if (toQRect(m_trackingRect).isValid())
        GridPaint::drawFocusRect(painter, m_trackingRect);
}

void CUGGrid::drawCell(QPainter *painter, int col, int row, UgRect rect, CUGCell *cell)
{
    CUGCellType *type = m_ctrl->CellTypeOf(*cell);
    int selected = 0;
    int current = 0;
    if (row == m_GI->m_reportedRow && (col == m_GI->m_reportedCol || m_GI->m_highlightRow)) {
        current = m_GI->m_currentCellMode != CUGGridInfo::CurrentCellUnmarked ? 1 : 0;
    } else if (int block = 0; m_GI->m_multiSelect->IsSelected(col, row, &block)) {
        selected = block + 1;
    }
    // The plain type changes only the painter's font and pen, which every text it draws sets for
    // itself; any other type gets the painter back as it was.
    if (type == m_ctrl->NormalType()) {
        type->Draw(painter, &rect, col, row, cell, selected, current);
        return;
    }
    painter->save();
    type->Draw(painter, &rect, col, row, cell, selected, current);
    painter->restore();
}

void CUGGrid::DrawCells(QPainter *painter)
{
    m_ctrl->HookPaintDC(painter, nullptr, CUGCtrl::SectionGrid);
    if (m_GI->m_defFont)
        painter->setFont(*m_GI->m_defFont);
    UgRect focus{-1, -1, -1, -1};
    m_drawnJoins.clear();
    const int width = m_GI->m_gridWidth;
    const int height = m_GI->m_gridHeight;
    const QPen lockPen = GridPaint::makePen(0);
    int blankLeft = -1;
    int blankTop = -1;
    int lastRight = 0;
    int y = 0;
    bool passedBottom = false;
    int row = m_GI->m_lockedRowCount > 0 ? 0 : m_GI->m_topRow;
    for (; row < m_GI->m_rowCount; row = nextInScreenOrder(row, m_GI->m_lockedRowCount, m_GI->m_topRow)) {
        const int rowHeight = m_ctrl->GetRowHeight(row);
        if (rowHeight == 0)
            continue;
        const int yEnd = y + rowHeight;
        int x = 0;
        bool passedRight = false;
        int col = m_GI->m_lockedColCount > 0 ? 0 : m_GI->m_leftCol;
        for (; col < m_GI->m_colCount;
             col = nextInScreenOrder(col, m_GI->m_lockedColCount, m_GI->m_leftCol)) {
            const int colWidth = m_GI->m_columns[std::size_t(col)].width;
            if (colWidth == 0)
                continue;
            const int xEnd = x + colWidth;
            UgRect rect{x, y, xEnd, yEnd};
            const bool listed = !m_redrawList.IsEmpty() && m_redrawList.Contains(col, row);
            bool skipped = false;
            if (listed) {
                int drawCol = col, drawRow = row;
                CUGCell &cell = m_GI->m_scratchCell;
                m_ctrl->GetCellComposite(col, row, &cell);
                if (m_GI->m_joining && cell.IsJoined()) {
                    int originCol = col, originRow = row, blockCol = 0, blockRow = 0;
                    m_ctrl->FindJoinedBlock(&originCol, &originRow, &blockCol, &blockRow);
                    const UgCellPos origin{originCol, originRow};
                    if (std::find(m_drawnJoins.begin(), m_drawnJoins.end(), origin) != m_drawnJoins.end()) {
                        skipped = true;
                    } else {
                        m_drawnJoins.push_back(origin);
                        drawCol = originCol;
                        drawRow = originRow;
                        m_ctrl->GetCellRect(&drawCol, &drawRow, &rect);
                        m_ctrl->GetCellComposite(drawCol, drawRow, &cell);
                    }
                }
                if (!skipped) {
                    drawCell(painter, drawCol, drawRow, rect, &cell);
                    if (m_GI->m_lockedColCount > 0) {
                        if (col == m_GI->m_leftCol)
                            GridPaint::drawLine(*painter, lockPen, rect.left - 1, rect.top, rect.left - 1,
                                                rect.bottom + 1);
                        else if (col == m_GI->m_lockedColCount - 1)
                            GridPaint::drawLine(*painter, lockPen, rect.right - 1, rect.top, rect.right - 1,
                                                rect.bottom + 1);
                    }
                    if (m_GI->m_lockedRowCount > 0) {
                        if (row == m_GI->m_topRow)
                            GridPaint::drawLine(*painter, lockPen, rect.left, rect.top - 1, rect.right + 1,
                                                rect.top - 1);
                        else if (row == m_GI->m_lockedRowCount - 1)
                            GridPaint::drawLine(*painter, lockPen, rect.left, rect.bottom - 1, rect.right + 1,
                                                rect.bottom - 1);
                    }
                }
            }
            if (!skipped && row == m_GI->m_reportedRow &&
                (col == m_GI->m_reportedCol || m_GI->m_highlightRow))
                focus = rect;
            x = xEnd;
            if (xEnd > width) {
                passedRight = true;
                break;
            }
        }
        lastRight = x;
        if (!passedRight)
            blankLeft = x;
        y = yEnd;
        if (yEnd > height) {
            passedBottom = true;
            break;
        }
        if (row == m_GI->m_rowCount - 1) {
            const int rows = m_GI->m_rowCount;
            int next = row + 1;
            m_ctrl->ClampRowPastEnd(&next);
            // Rows a data source supplied on demand are drawn in this pass.
            if (m_GI->m_rowCount > rows)
                m_redrawList.AddRange(0, row + 1, m_GI->m_colCount - 1, row + 1);
        }
    }
    if (!passedBottom)
        blankTop = y;
    m_redrawList.Clear();
    m_drawnJoins.clear();

    const COLORREF blank = m_ctrl->GetDefaultBackColor(CUGCtrl::SectionGrid);
    if (blankLeft >= 0)
        GridPaint::fillRect(
            *painter, UgRect{blankLeft, 0, std::max(width, this->width()), std::max(height, this->height())},
            blank);
    if (blankTop >= 0)
        GridPaint::fillRect(
            *painter, UgRect{0, blankTop, std::max(width, this->width()), std::max(height, this->height())},
            blank);

    if (m_hasFocus && !m_ctrl->IsEditing() && focus.left >= 0 &&
        m_GI->m_currentCellMode != CUGGridInfo::CurrentCellUnmarked) {
        if (m_GI->m_highlightRow) {
            focus.left = 0;
            focus.right = std::min(lastRight, width);
        }
        m_ctrl->DrawFocusFrame(painter, &focus);
    }
}

// ---- Keys ----

bool CUGGrid::event(QEvent *event)
{
    if (event->type() == QEvent::StyleChange || event->type() == QEvent::ThemeChange) {
        // The look changed: cached style handles are stale.
        CUGStyleLayer::CloseThemes();
    } else if (event->type() == QEvent::KeyPress) {
        // Tab and Shift+Tab are keys of the grid, not focus moves.
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    } else if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        if (!m_toolTips || !m_GI)
            return true;
        int col = 0, row = 0;
        UgRect rect;
        if (m_ctrl->GetCellFromPoint(help->pos().x(), help->pos().y(), &col, &row, &rect) != 0) {
            GridToolTip::show(this, help, 0, QString(), QRect());
            return true;
        }
        QString text;
        const int result = m_ctrl->HookTipText(col, row, CUGCtrl::SectionGrid, &text);
        GridToolTip::show(this, help, result, text, toQRect(rect));
        return true;
    }
    return QWidget::event(event);
}

void CUGGrid::keyPressEvent(QKeyEvent *event)
{
    event->accept();
    if (!m_GI)
        return;
    if (const int key = GridKeys::virtualKey(event))
        keyDown(key, event->modifiers());
    // A character follows its key-down even when a hook swallowed the key.
    if (const int code = GridKeys::characterCode(event))
        character(code);
}

void CUGGrid::keyReleaseEvent(QKeyEvent *event)
{
    event->accept();
    // The release half of an auto-repeat pair is no release: the acceleration goes on.
    if (!m_GI || event->isAutoRepeat())
        return;
    m_keyRepeatCount = 0;
    int key = GridKeys::virtualKey(event);
    if (!key)
        return;
    const int col = m_GI->m_reportedCol;
    const int row = m_GI->m_reportedRow;
    const int handled = m_ctrl->GetCellTypeOfCell(col, row)->OnKeyUp(col, row, &key);
    m_ctrl->HookKeyUp(&key, handled);
}

bool CUGGrid::joinedOrigin(int col, int row, int *originCol, int *originRow, int *lastCol, int *lastRow)
{
    *originCol = col;
    *originRow = row;
    return m_ctrl->FindJoinedBlock(originCol, originRow, lastCol, lastRow) == 0;
}

void CUGGrid::keyDown(int key, Qt::KeyboardModifiers modifiers)
{
    m_GI->m_selectKeyState = 0;
    int step = 1;
    if (m_GI->m_keyAccelDivisor > 0) {
        ++m_keyRepeatCount;
        const int q = m_keyRepeatCount / m_GI->m_keyAccelDivisor;
        step = q * q * q + 1;
        if (m_GI->m_keyFirstRepeatDelay > 0 && q == 0 && m_keyRepeatCount > 1)
            QThread::msleep(unsigned(m_GI->m_keyFirstRepeatDelay));
    }
    const int col = m_GI->m_reportedCol;
    const int row = m_GI->m_reportedRow;
    const int handled = m_ctrl->GetCellTypeOfCell(col, row)->OnKeyDown(col, row, &key);
    m_ctrl->HookKeyDown(&key, handled);

    // A target inside a joined block goes to the block's origin, shifted as the move target is.
    const int shiftCol = m_GI->m_currentCol - col;
    const int shiftRow = m_GI->m_currentRow - row;
    int originCol = 0, originRow = 0, lastCol = 0, lastRow = 0;
    const auto moveIntoBlock = [&](int targetCol, int targetRow) {
        if (!joinedOrigin(targetCol, targetRow, &originCol, &originRow, &lastCol, &lastRow))
            return false;
        m_ctrl->MoveCurrentCellTo(originCol + shiftCol, originRow + shiftRow);
        return true;
    };
    const bool control = modifiers & Qt::ControlModifier;
    switch (key) {
    case GridKeys::Left:
        if (col - step < 0 || !moveIntoBlock(col - step, row))
            m_ctrl->MoveCurrentColumnTo(m_GI->m_currentCol - step);
        break;
    case GridKeys::Right:
        if (joinedOrigin(col, row, &originCol, &originRow, &lastCol, &lastRow))
            step += lastCol - originCol;
        if (col + step >= m_GI->m_colCount || !moveIntoBlock(col + step, row))
            m_ctrl->MoveCurrentColumnTo(m_GI->m_currentCol + step);
        break;
    case GridKeys::Up:
        if (row - step < 0 || !moveIntoBlock(col, row - step))
            m_ctrl->MoveCurrentRowTo(m_GI->m_currentRow - step);
        break;
    case GridKeys::Down:
        if (joinedOrigin(col, row, &originCol, &originRow, &lastCol, &lastRow))
            step += lastRow - originRow;
        if (row + step >= m_GI->m_rowCount || !moveIntoBlock(col, row + step))
            m_ctrl->MoveCurrentRowTo(m_GI->m_currentRow + step);
        break;
    case GridKeys::Prior:
        m_ctrl->MoveCurrentRowBy(CUGCtrl::MovePageUp);
        break;
    case GridKeys::Next:
        m_ctrl->MoveCurrentRowBy(CUGCtrl::MovePageDown);
        break;
    case GridKeys::Home:
        if (control)
            m_ctrl->MoveCurrentRowBy(CUGCtrl::MoveFirst);
        else
            m_ctrl->MoveCurrentColumnBy(CUGCtrl::MoveFirst);
        break;
    case GridKeys::End:
        if (control)
            m_ctrl->MoveCurrentRowBy(CUGCtrl::MoveLast);
        else
            m_ctrl->MoveCurrentColumnBy(CUGCtrl::MoveLast);
        break;
    default:
        break;
    }
}

void CUGGrid::character(int key)
{
    const int col = m_GI->m_reportedCol;
    const int row = m_GI->m_reportedRow;
    const int handled = m_ctrl->GetCellTypeOfCell(col, row)->OnCharacter(col, row, &key);
    m_ctrl->HookCharacter(&key, handled);
}

// ---- Mouse ----

void CUGGrid::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    if (!m_GI)
        return;
    const unsigned flags = GridKeys::mouseKeyFlags(event->buttons(), event->modifiers());
    if (event->button() == Qt::LeftButton)
        leftButtonDown(event->position().toPoint(), flags);
    else if (event->button() == Qt::RightButton)
        rightButtonDown(event->position().toPoint(), flags);
}

void CUGGrid::leftButtonDown(QPoint point, unsigned flags)
{
    // With an editor open the click only takes the focus (which ends the edit).
    const bool editing = m_ctrl->IsEditing();
    if (!hasFocus())
        setFocus(Qt::MouseFocusReason);
    if (editing)
        return;
    m_GI->m_selectKeyState = 1;
    m_GI->m_selectKeyFlags = int(flags);
    int col = -1, row = -1;
    UgRect rect;
    int handled = 0;
    if (m_ctrl->GetCellFromPoint(point.x(), point.y(), &col, &row, &rect) == 0) {
        m_ctrl->MoveCurrentCellTo(col, row);
        handled = m_ctrl->GetCellTypeOfCell(col, row)->OnLeftButton(col, row, 1, &rect, &point);
        if (handled)
            m_cellTypeHoldsMouse = 1;
    } else {
        col = row = -1;
    }
    m_ctrl->HookCellLeftButton(col, row, 1, &rect, &point, handled);
    m_GI->m_selectKeyState = 0;
    m_buttonDown = 1;
}

void CUGGrid::rightButtonDown(QPoint point, unsigned flags)
{
    if (m_ctrl->IsEditing())
        return;
    m_GI->m_selectKeyState = 2;
    m_GI->m_selectKeyFlags = int(flags);
    int col = -1, row = -1;
    UgRect rect;
    int handled = 0;
    if (m_ctrl->GetCellFromPoint(point.x(), point.y(), &col, &row, &rect) == 0) {
        m_ctrl->MoveCurrentCellTo(col, row);
        handled = m_ctrl->GetCellTypeOfCell(col, row)->OnRightButton(col, row, 1, &rect, &point);
    } else {
        col = row = -1;
    }
    m_ctrl->HookCellRightButton(col, row, 1, &rect, &point, handled);
    m_GI->m_selectKeyState = 0;
    if (m_GI->m_menuOn) {
        QPoint global = mapToGlobal(point);
        m_ctrl->ShowPopupMenu(col, row, CUGCtrl::SectionGrid, &global);
    }
    m_buttonDown = 1;
}

void CUGGrid::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (!m_GI || !m_buttonDown)
        return;
    QPoint point = event->position().toPoint();
    const bool left = event->button() == Qt::LeftButton;
    if (!left && event->button() != Qt::RightButton)
        return;
    m_dragTimer.stop();
    int col = -1, row = -1;
    UgRect rect;
    int handled = 0;
    if (m_ctrl->GetCellFromPoint(point.x(), point.y(), &col, &row, &rect) == 0) {
        CUGCellType *type = m_ctrl->GetCellTypeOfCell(col, row);
        handled = left ? type->OnLeftButton(col, row, 0, &rect, &point)
                       : type->OnRightButton(col, row, 0, &rect, &point);
    } else {
        col = row = -1;
    }
    if (left)
        m_ctrl->HookCellLeftButton(col, row, 0, &rect, &point, handled);
    else
        m_ctrl->HookCellRightButton(col, row, 0, &rect, &point, handled);
    m_GI->m_currentCol = m_GI->m_reportedCol;
    m_GI->m_currentRow = m_GI->m_reportedRow;
    if (left)
        m_cellTypeHoldsMouse = 0;
    m_buttonDown = 0;
}

void CUGGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    // A double click is not a further button-down: the first click moved the current cell.
    event->accept();
    if (!m_GI || event->button() != Qt::LeftButton)
        return;
    QPoint point = event->position().toPoint();
    int col = -1, row = -1;
    UgRect rect;
    int handled = 0;
    if (m_ctrl->GetCellFromPoint(point.x(), point.y(), &col, &row, &rect) == 0)
        handled = m_ctrl->GetCellTypeOfCell(col, row)->OnDoubleClick(col, row, &rect, &point);
    else
        col = row = -1;
    m_ctrl->HookCellDoubleClick(col, row, &rect, &point, handled);
}

void CUGGrid::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    if (!m_GI || m_ctrl->IsEditing())
        return;
    setCursor(m_GI->m_gridCursor);
    QPoint point = event->position().toPoint();
    const unsigned flags = GridKeys::mouseKeyFlags(event->buttons(), event->modifiers());
    if (m_cellTypeHoldsMouse) {
        const int col = m_GI->m_reportedCol;
        const int row = m_GI->m_reportedRow;
        const int handled = m_ctrl->GetCellTypeOfCell(col, row)->OnMouseMove(col, row, &point, flags);
        m_ctrl->HookCellMouseMove(col, row, &point, flags, handled);
        return;
    }
    m_GI->m_selectKeyState = 3;
    m_GI->m_selectKeyFlags = int(flags);
    int col = -1, row = -1;
    if (m_ctrl->GetCellFromPoint(point.x(), point.y(), &col, &row, nullptr) == 0) {
        const int handled = m_ctrl->GetCellTypeOfCell(col, row)->OnMouseMove(col, row, &point, flags);
        m_ctrl->HookCellMouseMove(col, row, &point, flags, handled);
    }
    if (!(flags & GridKeys::LButton) || !m_dragSelection) {
        m_GI->m_selectKeyState = 0;
        return;
    }
    m_dragPoint = point;
    // Outside the cells the drag goes on scrolling while the button is held.
    if (dragStep(point))
        m_dragTimer.start();
    else
        m_dragTimer.stop();
    m_GI->m_selectKeyState = 0;
}

void CUGGrid::repeatDragStep()
{
    if (!(QApplication::mouseButtons() & Qt::LeftButton) || !m_buttonDown) {
        m_dragTimer.stop();
        return;
    }
    m_GI->m_selectKeyState = 3;
    if (!dragStep(m_dragPoint))
        m_dragTimer.stop();
    m_GI->m_selectKeyState = 0;
}

bool CUGGrid::dragStep(QPoint point)
{
    if (m_buttonDown != 1)
        return false;
    int col = -1, row = -1;
    bool atBottom = false;
    bool atRight = false;
    if (m_ctrl->GetCellFromPoint(point.x(), point.y(), &col, &row, nullptr) == 0) {
        atBottom = row == m_GI->m_bottomVisibleRow;
        atRight = col == m_GI->m_rightVisibleCol;
        if (!m_GI->m_dragPastEdge && (atBottom || atRight))
            return false;
        if (m_GI->m_lockedColCount == 0 && m_GI->m_lockedRowCount == 0) {
            m_ctrl->MoveCurrentCellTo(col, row);
        } else {
            if (m_GI->m_currentCol >= m_GI->m_lockedColCount && col < m_GI->m_lockedColCount)
                m_ctrl->MoveCurrentColumnBy(CUGCtrl::MoveUp);
            else
                m_ctrl->MoveCurrentColumnTo(col);
            if (m_GI->m_currentRow >= m_GI->m_lockedRowCount && row < m_GI->m_lockedRowCount)
                m_ctrl->MoveCurrentRowBy(CUGCtrl::MoveUp);
            else
                m_ctrl->MoveCurrentRowTo(row);
        }
    }
    const int exponent = m_GI->m_mouseAccelExponent;
    const int colWidth = std::max(1, m_GI->m_defColWidth);
    const int rowHeight = std::max(1, m_GI->m_defRowHeight);
    bool scrolled = false;
    auto pause = [this](int n) {
        if (n == 1 && m_GI->m_mouseStepDelay > 0)
            QThread::msleep(unsigned(m_GI->m_mouseStepDelay));
    };
    if (point.x() < 0) {
        if (exponent > 0) {
            const int n = int(std::pow(double(1 - point.x() / colWidth), exponent));
            m_ctrl->MoveCurrentColumnTo(m_GI->m_currentCol - n);
            pause(n);
        } else {
            m_ctrl->MoveCurrentColumnBy(CUGCtrl::MoveUp);
        }
        scrolled = true;
    } else if (point.x() > m_GI->m_gridWidth || atRight) {
        if (exponent > 0) {
            const int n = int(std::pow(double(point.x() - m_GI->m_gridWidth) / colWidth + 1.0, exponent));
            m_ctrl->MoveCurrentColumnTo(m_GI->m_currentCol + n);
            pause(n);
        } else {
            m_ctrl->MoveCurrentColumnBy(CUGCtrl::MoveDown);
        }
        scrolled = true;
    }
    if (point.y() < 0) {
        if (exponent > 0) {
            const int n = int(std::pow(double(1 - point.y() / rowHeight), exponent));
            m_ctrl->MoveCurrentRowTo(m_GI->m_currentRow - n);
            pause(n);
        } else {
            m_ctrl->MoveCurrentRowBy(CUGCtrl::MoveUp);
        }
        scrolled = true;
    } else if (point.y() > m_GI->m_gridHeight || atBottom) {
        if (exponent > 0) {
            const int n = int(std::pow(double((point.y() - m_GI->m_gridHeight) / rowHeight + 1), exponent));
            m_ctrl->MoveCurrentRowTo(m_GI->m_currentRow + n);
            pause(n);
        } else {
            m_ctrl->MoveCurrentRowBy(CUGCtrl::MoveDown);
        }
        scrolled = true;
    }
    return scrolled;
}

void CUGGrid::wheelEvent(QWheelEvent *event)
{
    if (!m_GI || m_ctrl->IsEditing()) {
        event->ignore();
        return;
    }
    event->accept();
    m_GI->m_selectKeyState = 4;
    const int delta = std::clamp(event->angleDelta().y(), -32768, 32767);
    // Less than a notch moves nothing.
    const int notches = delta / 120;
    if (notches != 0)
        m_ctrl->ScrollTopRowTo(m_GI->m_topRow - 3 * notches);
    m_GI->m_selectKeyState = 0;
    m_ctrl->SideHeadingWindow()->update();
}

// ---- Focus ----

void CUGGrid::focusInEvent(QFocusEvent *event)
{
    m_cellTypeHoldsMouse = 0;
    m_keyRepeatCount = 0;
    m_hasFocus = 1;
    QWidget::focusInEvent(event);
    if (!m_GI || !m_GI->m_createdFlag)
        return;
    addCurrentCell();
    UgRect rect;
    if (m_ctrl->VisibleRangeRect(m_GI->m_highlightRow ? 0 : m_GI->m_reportedCol, m_GI->m_reportedRow,
                                 m_GI->m_highlightRow ? m_GI->m_colCount - 1 : m_GI->m_reportedCol,
                                 m_GI->m_reportedRow, &rect))
        PaintRectNow(rect);
    else
        m_redrawList.Clear();
}

void CUGGrid::focusOutEvent(QFocusEvent *event)
{
    m_hasFocus = 0;
    QWidget::focusOutEvent(event);
    m_dragTimer.stop();
    m_ctrl->HookFocusLost(CUGCtrl::SectionGrid, QApplication::focusWidget());
    if (!m_GI || !m_GI->m_createdFlag)
        return;
    addCurrentCell();
    RepaintPending();
}

// ---- Drop target ----

void CUGGrid::dragEnterEvent(QDragEnterEvent *event)
{
    if (m_dropTarget)
        m_dropTarget->OnDragEnter(event);
}

void CUGGrid::dragMoveEvent(QDragMoveEvent *event)
{
    if (m_dropTarget)
        m_dropTarget->OnDragOver(event);
}

void CUGGrid::dropEvent(QDropEvent *event)
{
    if (m_dropTarget)
        m_dropTarget->OnDrop(event);
}
