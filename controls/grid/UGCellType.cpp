#include "controls/grid/UGCellType.h"

#include "controls/grid/GridPaint.h"
#include "controls/grid/UGCell.h"
#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGDataSource.h"
#include "controls/grid/UGGrid.h"
#include "controls/grid/UGGridInfo.h"
#include "controls/grid/UGStyleLayer.h"
#include "platform/SysColor.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

QString CUGCellType::GetTypeName() const
{
    return QStringLiteral("Normal Cell Type (default)");
}

QUuid CUGCellType::GetTypeId() const
{
    return QUuid(0x1a6e0c21, 0x4f0b, 0x4d6a, 0x9b, 0x31, 0x27, 0x52, 0x0e, 0x5c, 0x10, 0x00);
}

int CUGCellType::AdjustEditArea(UgRect *)
{
    return 0;
}

int CUGCellType::OnLeftButton(int, int, int, UgRect *, QPoint *)
{
    return 0;
}

int CUGCellType::OnRightButton(int, int, int, UgRect *, QPoint *)
{
    return 0;
}

int CUGCellType::OnDoubleClick(int, int, UgRect *, QPoint *)
{
    return 0;
}

int CUGCellType::OnKeyDown(int, int, int *)
{
    return 0;
}

int CUGCellType::OnKeyUp(int, int, int *)
{
    return 0;
}

int CUGCellType::OnCharacter(int, int, int *)
{
    return 0;
}

int CUGCellType::OnMouseMove(int, int, QPoint *, unsigned int)
{
    return 0;
}

int CUGCellType::DrawFocusFrame(QPainter *, UgRect *, int, int)
{
    return 0;
}

bool CUGCellType::CanStartEdit(int, int, CUGCell *)
{
    return true;
}

void CUGCellType::OnCurrentCellEntered(int, int, CUGCell *) {}

void CUGCellType::OnCurrentCellLeft(int, int, CUGCell *) {}

void CUGCellType::OnColumnSized(int, int, int *) {}

void CUGCellType::OnColumnSizing(int, int, int *) {}

void CUGCellType::OnRowSized(int, int, int *) {}

void CUGCellType::OnRowSizing(int, int, int *) {}

CUGGridInfo *CUGCellType::sheet() const
{
    return m_ctrl ? m_ctrl->CurrentSheet() : nullptr;
}

const QFont *CUGCellType::defaultFont() const
{
    return m_ctrl ? m_ctrl->CurrentSheet()->m_defFont : nullptr;
}

QFont CUGCellType::fontOf(CUGCell *cell) const
{
    if (cell->Has(CellProp::Font) && cell->m_font)
        return *cell->m_font;
    if (const QFont *font = defaultFont())
        return *font;
    return m_ctrl ? m_ctrl->font() : QFont();
}

int CUGCellType::paramOf(CUGCell *cell)
{
    return cell->Has(CellProp::CellTypeParam) ? cell->m_cellTypeParam : 0;
}

bool CUGCellType::highlightsCurrentCell() const
{
    const CUGGridInfo *info = sheet();
    return info && info->m_currentCellMode == CUGGridInfo::CurrentCellHighlighted;
}

COLORREF CUGCellType::textColorOf(CUGCell *cell, int selected, int current) const
{
    if (selected || (current && highlightsCurrentCell()))
        return cell->Has(CellProp::HighlightTextColor) ? cell->m_highlightTextColor
                                                       : sysColor(SysColor::HighlightText);
    return cell->Has(CellProp::TextColor) ? cell->m_textColor : sysColor(SysColor::WindowText);
}

COLORREF CUGCellType::backColorOf(CUGCell *cell, int selected, int current) const
{
    if (selected || (current && highlightsCurrentCell()))
        return cell->Has(CellProp::HighlightBackColor) ? cell->m_highlightBackColor
                                                       : sysColor(SysColor::Highlight);
    return cell->Has(CellProp::BackColor) ? cell->m_backColor : sysColor(SysColor::Window);
}

bool CUGCellType::CellMayOverflow(CUGCell *cell) const
{
    // Only text runs on; a number stays inside its own cell.
    return m_mayOverflow && cell->m_dataType != CellData::Number && paramOf(cell) == 0 && !cell->IsJoined() &&
           cell->Has(CellProp::Alignment) && (cell->m_alignment & 1);
}

void CUGCellType::MeasureContent(QSize *size, CUGCell *cell)
{
    const QFontMetrics metrics(fontOf(cell));
    int bitmapWidth = 0;
    if (cell->Has(CellProp::Bitmap) && cell->m_bitmap && !cell->m_bitmap->isNull()) {
        // The bitmap is scaled to the text height, keeping its proportions.
        const QPixmap &bitmap = *cell->m_bitmap;
        bitmapWidth = bitmap.width() * metrics.height() / std::max(1, bitmap.height());
    }
    const QString *text = cell->GetDisplayText();
    const int param = paramOf(cell);
    const bool singleLine = !(param != 0 && !(param & kParamSingleLine));
    QSize textSize(0, 0);
    if (text && !text->isEmpty()) {
        const int flags = singleLine ? Qt::TextSingleLine : 0;
        textSize = metrics.size(flags, *text);
    }
    *size = QSize(textSize.width() + bitmapWidth + 6, textSize.height() + 2);
}

int CUGCellType::OnSysColorChange()
{
    return 0;
}

qint64 CUGCellType::OnUserMessage(qint64)
{
    return 0;
}

int CUGCellType::NotifyGrid(int col, int row, int message, qint64 parameter)
{
    return m_ctrl ? m_ctrl->HookCellTypeEvent(m_typeId, col, row, message, parameter) : 0;
}

void CUGCellType::Draw(QPainter *painter, UgRect *rect, int col, int row, CUGCell *cell, int selected,
                       int current)
{
    if (!m_fixedTheme)
        m_useTheme = cell->m_useTheme;
    CUGGridInfo *info = sheet();
    if (info && info->m_overflow && col >= 0 && row >= 0 && CellMayOverflow(cell)) {
        const QString *text = cell->GetDisplayText();
        if (text && !text->isEmpty()) {
            // The text may run on: the cells to its right are drawn again after it.
            CUGRedrawList &pending = m_ctrl->GridWindow()->m_redrawList;
            if (col < info->m_colCount - 1 && !pending.Contains(col + 1, row))
                pending.AddRange(col + 1, row, info->m_colCount - 1, row);
        } else {
            int firstCol = col;
            const int offset = GetTextOverflow(col, row, &firstCol, cell);
            if (firstCol < col) {
                UgRect inner;
                DrawBorder(painter, rect, &inner, cell);
                // The neighbour's text in this cell's colours, without its bitmap.
                CUGCell spill;
                m_ctrl->GetCellComposite(firstCol, row, &spill);
                for (const std::uint32_t bit : {CellProp::BackColor, CellProp::HighlightBackColor})
                    spill.m_properties &= ~bit;
                spill.m_properties &= ~CellProp::Bitmap;
                spill.m_properties |=
                    cell->m_properties & (CellProp::BackColor | CellProp::HighlightBackColor);
                spill.m_backColor = cell->m_backColor;
                spill.m_highlightBackColor = cell->m_highlightBackColor;
                DrawText(painter, &inner, offset, firstCol, row, &spill, selected, current);
                return;
            }
        }
    }
    UgRect inner;
    DrawBorder(painter, rect, &inner, cell);
    DrawText(painter, &inner, 0, col, row, cell, selected, current);
}

void CUGCellType::DrawBackground(QPainter *painter, UgRect *rect, COLORREF color, int, int, CUGCell *,
                                 int selected, int current)
{
    const int state = current    ? CUGStyleLayer::StateCurrent
                      : selected ? CUGStyleLayer::StateSelected
                                 : CUGStyleLayer::StateNormal;
    if (CUGStyleLayer::DrawBackground(painter, CUGStyleLayer::ElementCell, state, *rect, nullptr))
        return;
    GridPaint::fillRect(*painter, *rect, color);
}

int CUGCellType::DrawBitmap(QPainter *painter, const QPixmap *bitmap, UgRect *rect, COLORREF)
{
    if (!bitmap || bitmap->isNull())
        return 0;
    int width = bitmap->width();
    int height = bitmap->height();
    const int room = rect->height() - 2 * kBitmapMargin;
    if (height > rect->height() && height > 0) {
        // Too tall: scaled down to the cell, keeping its proportions.
        width = width * std::max(0, room) / height;
        height = std::max(0, room);
    }
    const int y = rect->top + (rect->height() - height) / 2;
    GridPaint::drawPixmap(*painter, rect->left + kBitmapMargin, y, width, height, *bitmap);
    return width + 2 * kBitmapMargin;
}

namespace {

// Width of an edge's plain line: thin 1, medium 2, thick 3.
int edgeWidth(int style, int thin, int medium, int thick)
{
    return (style & thick) ? 3 : (style & medium) ? 2 : (style & thin) ? 1 : 0;
}

constexpr int kThreeDBits = 0x1000 | 0x2000;

} // namespace

UgRect CUGCellType::BorderInner(const UgRect &rect, CUGCell *cell) const
{
    const CUGGridInfo *info = sheet();
    const int style = cell->Has(CellProp::BorderStyle) ? cell->m_borderStyle : 0;
    const bool gridLines = info && info->m_gridLines;
    int left = edgeWidth(style, 0x1, 0x10, 0x100);
    int top = edgeWidth(style, 0x2, 0x20, 0x200);
    int right = edgeWidth(style, 0x4, 0x40, 0x400);
    int bottom = edgeWidth(style, 0x8, 0x80, 0x800);
    const bool threeD = style & kThreeDBits;
    if (threeD) {
        left = std::max(left, 1);
        top = std::max(top, 1);
        right = std::max(right, 1);
        bottom = std::max(bottom, 1);
    }
    // A grid line takes the place of a missing right or bottom line.
    if (gridLines && !threeD) {
        right = std::max(right, 1);
        bottom = std::max(bottom, 1);
    }
    return UgRect{rect.left + left, rect.top + top, rect.right - right, rect.bottom - bottom};
}

void CUGCellType::DrawBorder(QPainter *painter, UgRect *rect, UgRect *inner, CUGCell *cell)
{
    *inner = BorderInner(*rect, cell);
    const CUGGridInfo *info = sheet();
    const int style = cell->Has(CellProp::BorderStyle) ? cell->m_borderStyle : 0;
    const bool gridLines = info && info->m_gridLines;
    if (!style && !gridLines)
        return;
    const COLORREF penColor =
        cell->Has(CellProp::BorderPen) && cell->m_borderPen ? toColorRef(cell->m_borderPen->color()) : 0;
    const COLORREF gridColor = info ? info->m_gridLineColor : 0xDCDCDC;
    const UgRect r = *rect;
    // Each line, the thinner ones included, is laid along its edge.
    auto drawEdge = [&](int thin, int medium, int thick, auto band) {
        for (const auto &[bit, width] : {std::pair{thick, 3}, std::pair{medium, 2}, std::pair{thin, 1}}) {
            if (style & bit)
                GridPaint::fillRect(*painter, band(width), penColor);
        }
    };
    drawEdge(0x1, 0x10, 0x100, [&](int w) { return UgRect{r.left, r.top, r.left + w, r.bottom}; });
    drawEdge(0x2, 0x20, 0x200, [&](int w) { return UgRect{r.left, r.top, r.right, r.top + w}; });
    drawEdge(0x4, 0x40, 0x400, [&](int w) { return UgRect{r.right - w, r.top, r.right, r.bottom}; });
    drawEdge(0x8, 0x80, 0x800, [&](int w) { return UgRect{r.left, r.bottom - w, r.right, r.bottom}; });
    const bool threeD = style & kThreeDBits;
    if (threeD && !CUGStyleLayer::DrawEdge(painter, CUGStyleLayer::ElementCell, CUGStyleLayer::StateNormal, r,
                                           style, 0, inner)) {
        const bool raised = style & 0x1000;
        const COLORREF light = toColorRef(m_ctrl->LightPen().color());
        const COLORREF dark = toColorRef(m_ctrl->DarkPen().color());
        const COLORREF topLeft = raised ? light : dark;
        const COLORREF bottomRight = raised ? dark : light;
        GridPaint::fillRect(*painter, UgRect{r.left, r.top, r.right, r.top + 1}, topLeft);
        GridPaint::fillRect(*painter, UgRect{r.left, r.top, r.left + 1, r.bottom}, topLeft);
        GridPaint::fillRect(*painter, UgRect{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
        GridPaint::fillRect(*painter, UgRect{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
    }
    if (gridLines && !edgeWidth(style, 0x4, 0x40, 0x400) && !threeD)
        GridPaint::fillRect(*painter, UgRect{r.right - 1, r.top, r.right, r.bottom}, gridColor);
    if (gridLines && !edgeWidth(style, 0x8, 0x80, 0x800) && !threeD)
        GridPaint::fillRect(*painter, UgRect{r.left, r.bottom - 1, r.right, r.bottom}, gridColor);
}

void CUGCellType::DrawText(QPainter *painter, UgRect *rect, int xOffset, int col, int row, CUGCell *cell,
                           int selected, int current)
{
    COLORREF textColor = textColorOf(cell, selected, current);
    const COLORREF backColor = backColorOf(cell, selected, current);
    const int param = paramOf(cell);
    if (param & kParamDisabled)
        textColor = kDisabledTextColor;

    DrawBackground(painter, rect, backColor, col, row, cell, selected, current);
    UgRect textRect = *rect;
    if (cell->Has(CellProp::Bitmap) && cell->m_bitmap)
        textRect.left += DrawBitmap(painter, cell->m_bitmap, rect, backColor);

    const QString *text = (m_drawLabel || (param & kParamLabel))
                              ? (cell->Has(CellProp::Label) ? &cell->m_label : nullptr)
                              : cell->GetDisplayText();
    if (!text || text->isEmpty())
        return;
    GridPaint::TextPlacement placement;
    placement.alignment = cell->Has(CellProp::Alignment) ? cell->m_alignment : 1;
    placement.margin = kTextMargin;
    placement.xOffset = xOffset;
    placement.mode = (param & kParamWordBreak)  ? GridPaint::TextWordBreak
                     : (param & kParamEllipsis) ? GridPaint::TextEllipsis
                                                : GridPaint::TextClipped;
    GridPaint::drawText(*painter, textRect, *text, fontOf(cell), textColor, placement,
                        m_ctrl ? &m_ctrl->TextCache() : nullptr);
}

int CUGCellType::GetTextOverflow(int col, int row, int *firstCol, CUGCell *)
{
    const CUGGridInfo *info = sheet();
    if (!info || !info->m_overflow || col <= 0)
        return 0;
    // The store walks its own columns; the answer is turned back into a grid column.
    int storeCol = m_ctrl->storeColumnOf(col);
    if (m_ctrl->DataSourceOfColumn(col)->FindPrevFilledCell(&storeCol, row) != 0)
        return 0;
    const int filled = m_ctrl->gridColumnOfStoreColumn(storeCol);
    if (filled >= col || filled < 0)
        return 0;
    CUGCell neighbour;
    m_ctrl->GetCellComposite(filled, row, &neighbour);
    CUGCellType *type = m_ctrl->GetCellTypeOfCell(filled, row);
    if (!type->CellMayOverflow(&neighbour))
        return 0;
    QSize size;
    type->MeasureContent(&size, &neighbour);
    int sum = 0;
    for (int c = filled; c < col; ++c)
        sum += m_ctrl->GetColumnWidth(c);
    if (size.width() <= sum)
        return 0;
    // A cell in between that shows something of its own stops the text.
    for (int c = filled + 1; c < col; ++c) {
        CUGCell between;
        m_ctrl->GetCellComposite(c, row, &between);
        const QString *shown = between.GetDisplayText();
        if (shown && !shown->isEmpty())
            return 0;
    }
    *firstCol = filled;
    return -sum;
}
