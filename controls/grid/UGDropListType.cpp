#include "controls/grid/UGDropListType.h"

#include "controls/grid/GridKeys.h"
#include "controls/grid/GridPaint.h"
#include "controls/grid/UGCell.h"
#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGGrid.h"
#include "controls/grid/UGGridInfo.h"
#include "controls/grid/UGLstBox.h"
#include "controls/grid/UGStyleLayer.h"
#include "platform/SysColor.h"

#include <QApplication>
#include <QPainter>
#include <QTimer>

CUGDropListType::CUGDropListType() : m_buttonWidth(kScrollBarSize)
{
    // Its cells never let their text run on into the neighbours.
    m_mayOverflow = 0;
}

CUGDropListType::~CUGDropListType()
{
    delete m_list;
}

CUGLstBox *CUGDropListType::ListBox() const
{
    return m_list;
}

QString CUGDropListType::GetTypeName() const
{
    return QStringLiteral("DropList");
}

QUuid CUGDropListType::GetTypeId() const
{
    return QUuid(0x1a6e0c21, 0x4f0b, 0x4d6a, 0x9b, 0x31, 0x27, 0x52, 0x0e, 0x5c, 0x10, 0x01);
}

int CUGDropListType::AdjustEditArea(UgRect *rect)
{
    rect->right -= m_buttonWidth + 1;
    return 0;
}

QStringList CUGDropListType::Choices(const QString &label)
{
    QStringList pieces = label.split(u'\n');
    // The piece after the last line feed is not ended by one.
    pieces.removeLast();
    return pieces;
}

void CUGDropListType::repaintCell(int col, int row)
{
    Owner()->RepaintCell(col, row);
}

int CUGDropListType::OnLeftButton(int col, int row, int down, UgRect *rect, QPoint *point)
{
    const CUGGridInfo *info = sheet();
    if (info->m_multiSelectFlag &&
        (QApplication::keyboardModifiers() & (Qt::ShiftModifier | Qt::ControlModifier)))
        return 1;
    if (down) {
        if (point && point->x() > rect->right - m_buttonWidth) {
            const bool closedByThisPress = m_closedByPressCol == col && m_closedByPressRow == row;
            m_closedByPressCol = m_closedByPressRow = -1;
            if ((m_listCol == col && m_listRow == row) || closedByThisPress) {
                if (m_list)
                    m_list->Close();
                m_listCol = m_listRow = -1;
                return 0;
            }
            m_buttonRect = UgRect{rect->right - m_buttonWidth, rect->top, rect->right, rect->bottom};
            m_pressed = 1;
            m_listCol = col;
            m_listRow = row;
            repaintCell(col, row);
            OpenList(col, row);
            return 1;
        }
        if (m_listCol == -2)
            m_listCol = m_listRow = -1;
        return 0;
    }
    if (m_pressed) {
        m_pressed = 0;
        repaintCell(col, row);
        return 1;
    }
    return 0;
}

int CUGDropListType::OnDoubleClick(int col, int row, UgRect *rect, QPoint *point)
{
    if (point && point->x() > rect->right - m_buttonWidth)
        return OnLeftButton(col, row, 1, rect, point);
    return 0;
}

int CUGDropListType::OnKeyDown(int col, int row, int *key)
{
    const bool control = QApplication::keyboardModifiers() & Qt::ControlModifier;
    if (*key == GridKeys::Return || (*key == GridKeys::Down && control)) {
        OpenList(col, row);
        *key = 0;
        return 1;
    }
    return 0;
}

int CUGDropListType::OnCharacter(int, int, int *key)
{
    return *key == GridKeys::Return || *key == GridKeys::Down ? 1 : 0;
}

int CUGDropListType::OnMouseMove(int col, int row, QPoint *point, unsigned int keyFlags)
{
    if (!(keyFlags & GridKeys::LButton))
        return 1;
    const int pressed = point && toQRect(m_buttonRect).contains(*point) ? 1 : 0;
    if (pressed != m_pressed) {
        m_pressed = pressed;
        repaintCell(col, row);
    }
    return 0;
}

void CUGDropListType::OnCurrentCellLeft(int, int, CUGCell *)
{
    if (m_list)
        m_list->Close();
    m_listCol = m_listRow = -1;
}

void CUGDropListType::OpenList(int col, int row)
{
    if (m_list && m_list->m_open)
        return;
    CUGCtrl *ctrl = Owner();
    CUGCell cell;
    ctrl->GetCellComposite(col, row, &cell);
    if (cell.IsReadOnly())
        return;
    const CUGGridInfo *info = sheet();
    m_listCol = info->m_reportedCol;
    m_listRow = info->m_reportedRow;
    QStringList choices = Choices(cell.Has(CellProp::Label) ? cell.m_label : QString());
    if (NotifyGrid(col, row, kMessageOpening, reinterpret_cast<qint64>(&choices)) == 0)
        return;

    const QFont font = fontOf(&cell);
    const int itemHeight = std::max(1, QFontMetrics(font).height());
    UgRect cellRect;
    int cellCol = col, cellRow = row;
    ctrl->GetCellRect(&cellCol, &cellRow, &cellRect);
    const int height = itemHeight * std::min(int(choices.size()), kMaxVisibleItems) + 6;
    QRect area(cellRect.left + 10, cellRect.bottom, cellRect.width(), height);
    // Kept inside the cell area.
    if (area.bottom() >= info->m_gridHeight)
        area.moveTop(std::max(0, area.top() - (area.bottom() + 1 - info->m_gridHeight)));
    if (area.right() >= info->m_gridWidth)
        area.moveLeft(std::max(0, area.left() - (area.right() + 1 - info->m_gridWidth)));

    if (!m_list)
        m_list = new CUGLstBox(ctrl, this, ctrl->GridWindow());
    m_list->clear();
    m_list->setFont(font);
    m_list->addItems(choices);
    for (int i = 0; i < m_list->count(); ++i)
        m_list->item(i)->setSizeHint(QSize(0, itemHeight));
    m_list->setGeometry(area);
    m_list->show();
    m_list->raise();
    m_list->setFocus(Qt::OtherFocusReason);
    m_pressed = 0;
}

void CUGDropListType::ListClosed(bool choiceMade, bool byMousePress)
{
    if (!choiceMade) {
        // The press takes the focus before the grid hands it on; when it lands on this list's own
        // button, it only closes the list. The mark lasts until the press has been handled.
        if (byMousePress && m_listCol >= 0) {
            m_closedByPressCol = m_listCol;
            m_closedByPressRow = m_listRow;
            QTimer::singleShot(0, Owner(), [this] { m_closedByPressCol = m_closedByPressRow = -1; });
        }
        m_listCol = m_listRow = -2;
    }
    Owner()->GridWindow()->update();
}

void CUGDropListType::MakeChoice(int index, const QString &chosen)
{
    CUGCtrl *ctrl = Owner();
    const int col = m_listCol;
    const int row = m_listRow;
    CUGCell cell;
    ctrl->GetCellComposite(col, row, &cell);
    if (!cell.IsReadOnly() && col >= 0 && row >= 0) {
        QString text = chosen;
        NotifyGrid(col, row, kMessageChosenIndex, index);
        if (NotifyGrid(col, row, kMessageChoosing, reinterpret_cast<qint64>(&text)) != 0) {
            CUGCell stored;
            ctrl->ReadCell(col, row, &stored);
            stored.AssignText(text);
            stored.m_dataType = CellData::Text;
            stored.m_properties |= CellProp::DataType;
            if (text.isEmpty())
                stored.m_properties &= ~CellProp::Text;
            ctrl->WriteCell(col, row, &stored);
            NotifyGrid(col, row, kMessageChosen, reinterpret_cast<qint64>(&text));
            repaintCell(col, row);
        }
    }
    if (m_list)
        m_list->m_open = 0;
    m_listCol = m_listRow = -1;
    if (!ctrl->GridWindow()->hasFocus())
        ctrl->GridWindow()->setFocus(Qt::OtherFocusReason);
}

bool CUGDropListType::showsButton(int col, int row, CUGCell *cell) const
{
    if (!(paramOf(cell) & kParamButtonOnCurrent))
        return true;
    const CUGGridInfo *info = sheet();
    return col == info->m_reportedCol && row == info->m_reportedRow;
}

void CUGDropListType::Draw(QPainter *painter, UgRect *rect, int col, int row, CUGCell *cell, int selected,
                           int current)
{
    if (!showsButton(col, row, cell) || rect->width() <= m_buttonWidth) {
        CUGCellType::Draw(painter, rect, col, row, cell, selected, current);
        return;
    }
    UgRect textRect = *rect;
    textRect.right -= m_buttonWidth;
    CUGCellType::Draw(painter, &textRect, col, row, cell, selected, current);

    UgRect button{rect->right - m_buttonWidth, rect->top, rect->right, rect->bottom};
    const bool pressedHere = m_pressed && col == sheet()->m_reportedCol && row == sheet()->m_reportedRow;
    if (CUGStyleLayer::DrawBackground(painter, CUGStyleLayer::ElementDropButton,
                                      pressedHere ? CUGStyleLayer::StatePressed : CUGStyleLayer::StateNormal,
                                      button, nullptr))
        return;
    GridPaint::fillRect(*painter, button, sysColor(SysColor::BtnFace));
    CUGCell edge;
    edge.m_properties = CellProp::BorderStyle;
    edge.m_borderStyle = pressedHere ? 0x2000 : 0x1000;
    UgRect inner;
    DrawBorder(painter, &button, &inner, &edge);
    // A downward triangle of three lines, 5, 3 and 1 pixels wide.
    const bool readOnly = cell->IsReadOnly();
    const int centerX = button.left + button.width() / 2;
    const int centerY = button.top + button.height() / 2 - 1;
    const QPen pen = GridPaint::makePen(readOnly ? 0x00808080 : sysColor(SysColor::BtnText));
    const QPen shadow = GridPaint::makePen(sysColor(SysColor::BtnHighlight));
    for (int line = 0; line < 3; ++line) {
        const int half = 2 - line;
        if (readOnly)
            GridPaint::drawLine(*painter, shadow, centerX - half + 1, centerY + line + 1, centerX + half + 2,
                                centerY + line + 1);
        GridPaint::drawLine(*painter, pen, centerX - half, centerY + line, centerX + half + 1,
                            centerY + line);
    }
}

void CUGDropListType::MeasureContent(QSize *size, CUGCell *cell)
{
    CUGCellType::MeasureContent(size, cell);
    if (!(paramOf(cell) & kParamButtonOnCurrent))
        size->rwidth() += m_buttonWidth;
}
