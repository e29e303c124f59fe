#include "controls/grid/UGCheckBoxType.h"

#include "controls/grid/GridKeys.h"
#include "controls/grid/GridPaint.h"
#include "controls/grid/UGCell.h"
#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGGridInfo.h"
#include "platform/SysColor.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <cmath>

namespace {

constexpr COLORREF kLightGrey = 0x00E1E1E1;

QBrush checkerBrush()
{
    QImage image(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x)
            image.setPixelColor(
                x, y,
                fromColorRef((x + y) % 2 ? sysColor(SysColor::BtnHighlight) : sysColor(SysColor::BtnFace)));
    }
    return QBrush(QPixmap::fromImage(image));
}

} // namespace

CUGCheckBoxType::CUGCheckBoxType() : m_patternBrush(checkerBrush())
{
    // Its cells never let their text run on into the neighbours.
    m_mayOverflow = 0;
    m_spareFlag = 0;
}

QString CUGCheckBoxType::GetTypeName() const
{
    return QStringLiteral("CheckBox");
}

QUuid CUGCheckBoxType::GetTypeId() const
{
    return QUuid(0x1a6e0c21, 0x4f0b, 0x4d6a, 0x9b, 0x31, 0x27, 0x52, 0x0e, 0x5c, 0x10, 0x02);
}

UgRect CUGCheckBoxType::BoxRect(const UgRect &rect, int param, int alignment)
{
    const int size = std::max(0, std::min(rect.height() - 6, 12));
    const int offset = (rect.height() - size) / 2;
    int left = rect.left + 3;
    int top = rect.top + offset;
    if (param & kParamAligned) {
        if (alignment & 4)
            left = rect.left + (rect.width() - size) / 2;
        else if (alignment & 2)
            left = rect.right - size - 6;
        if (alignment & 8)
            top = rect.top + 3;
        else if (alignment & 16)
            top = rect.bottom - size - 6;
    }
    const int width = (param & kParamWider) ? size + 1 : size;
    return UgRect{left, top, left + width, top + size};
}

int CUGCheckBoxType::NextState(double number, bool threeStates)
{
    const int states = threeStates ? 3 : 2;
    const double whole = std::isfinite(number) ? std::trunc(number) : 0.0;
    // Far beyond any state the value counts as 0.
    const long long state = std::fabs(whole) < 1e15 ? static_cast<long long>(whole) : 0;
    return int((((state + 1) % states) + states) % states);
}

int CUGCheckBoxType::toggle(int col, int row)
{
    CUGCell cell;
    Owner()->GetCellComposite(col, row, &cell);
    const int state = NextState(cell.GetNumber(), paramOf(&cell) & kParamThreeStates);
    CUGCell stored;
    Owner()->ReadCell(col, row, &stored);
    stored.SetNumber(state);
    Owner()->WriteCell(col, row, &stored);
    NotifyGrid(col, row, kMessageStateChanged, state);
    Owner()->RepaintCell(col, row);
    return 1;
}

int CUGCheckBoxType::OnLeftButton(int col, int row, int down, UgRect *rect, QPoint *point)
{
    CUGCell cell;
    Owner()->GetCellComposite(col, row, &cell);
    const int param = paramOf(&cell);
    if ((param & kParamDisabled) || cell.IsReadOnly() || !down)
        return 0;
    // The box where Draw puts it: inside the border and grid lines.
    const UgRect box =
        BoxRect(BorderInner(*rect, &cell), param, cell.Has(CellProp::Alignment) ? cell.m_alignment : 1);
    if (!point || !toQRect(box).contains(*point))
        return 0;
    return toggle(col, row);
}

int CUGCheckBoxType::OnDoubleClick(int col, int row, UgRect *rect, QPoint *point)
{
    return OnLeftButton(col, row, 1, rect, point);
}

int CUGCheckBoxType::OnCharacter(int col, int row, int *key)
{
    if (*key != GridKeys::Space)
        return 0;
    CUGCell cell;
    Owner()->GetCellComposite(col, row, &cell);
    if ((paramOf(&cell) & kParamDisabled) || cell.IsReadOnly())
        return 0;
    return toggle(col, row);
}

void CUGCheckBoxType::Draw(QPainter *painter, UgRect *rect, int col, int row, CUGCell *cell, int selected,
                           int current)
{
    if (!m_fixedTheme)
        m_useTheme = cell->m_useTheme;
    const int param = paramOf(cell);
    UgRect inner;
    DrawBorder(painter, rect, &inner, cell);
    const UgRect box = BoxRect(inner, param, cell->Has(CellProp::Alignment) ? cell->m_alignment : 1);
    DrawBackground(painter, &inner, backColorOf(cell, selected, current), col, row, cell, selected, current);
    // The label right of the box, as the base type draws text.
    if (!(param & kParamAligned)) {
        UgRect labelRect = inner;
        labelRect.left = box.right + 1;
        const int drawLabel = m_drawLabel;
        m_drawLabel = 1;
        DrawText(painter, &labelRect, 0, col, row, cell, selected, current);
        m_drawLabel = drawLabel;
    }
    if (box.width() <= 0 || box.height() <= 0)
        return;
    const double number = cell->GetNumber();
    const int state = std::isfinite(number) ? int(std::clamp(number, 0.0, 2.0)) : 0;
    const bool highlighted = selected || (current && highlightsCurrentCell());
    const bool threeD = param & (kParam3DRaised | kParam3DSunken);
    // The face: the checkerboard for the third state and for read-only cells.
    if (state == 2 || cell->IsReadOnly())
        painter->fillRect(toQRect(box), m_patternBrush);
    const COLORREF frame = highlighted && !threeD ? sysColor(SysColor::BtnHighlight) : 0;
    if (threeD) {
        const bool raised = param & kParam3DRaised;
        const COLORREF outer = raised ? sysColor(SysColor::BtnShadow) : kLightGrey;
        const COLORREF innerColor = raised ? kLightGrey : sysColor(SysColor::BtnShadow);
        GridPaint::fillRect(*painter, UgRect{box.left, box.top, box.right, box.top + 1}, outer);
        GridPaint::fillRect(*painter, UgRect{box.left, box.top, box.left + 1, box.bottom}, outer);
        GridPaint::fillRect(*painter, UgRect{box.right - 1, box.top, box.right, box.bottom}, innerColor);
        GridPaint::fillRect(*painter, UgRect{box.left, box.bottom - 1, box.right, box.bottom}, innerColor);
    } else {
        GridPaint::fillRect(*painter, UgRect{box.left, box.top, box.right, box.top + 1}, frame);
        GridPaint::fillRect(*painter, UgRect{box.left, box.top, box.left + 1, box.bottom}, frame);
        GridPaint::fillRect(*painter, UgRect{box.right - 1, box.top, box.right, box.bottom}, frame);
        GridPaint::fillRect(*painter, UgRect{box.left, box.bottom - 1, box.right, box.bottom}, frame);
    }
    if (state == 0)
        return;
    const COLORREF mark = state == 2 ? sysColor(SysColor::BtnShadow) : frame;
    const QPen pen = GridPaint::makePen(mark);
    const int l = box.left + 2, t = box.top + 2, r = box.right - 3, b = box.bottom - 3;
    painter->save();
    painter->setPen(pen);
    if (param & kParamCross) {
        painter->drawLine(l, t, r, b);
        painter->drawLine(l, b, r, t);
    } else {
        const int midX = l + (r - l) / 3;
        painter->drawLine(l, t + (b - t) / 2, midX, b);
        painter->drawLine(midX, b, r, t);
    }
    painter->restore();
}

void CUGCheckBoxType::MeasureContent(QSize *size, CUGCell *cell)
{
    if (paramOf(cell) & kParamAligned) {
        *size = QSize(18, 2);
        return;
    }
    const QFontMetrics metrics(fontOf(cell));
    const QString label = cell->Has(CellProp::Label) ? cell->m_label : QString();
    const QSize textSize = label.isEmpty() ? QSize(0, 0) : metrics.size(0, label);
    *size = QSize(textSize.width() + 6 + 18, textSize.height() + 2);
}
