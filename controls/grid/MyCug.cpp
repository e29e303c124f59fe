#include "controls/grid/MyCug.h"

#include "controls/grid/GridPaint.h"
#include "controls/grid/PortRowRules.h"
#include "controls/grid/UGDataSource.h"
#include "controls/grid/UGGridInfo.h"
#include "engine/EngineUtils.h"
#include "platform/NumberText.h"

#include <QTimer>
#include <algorithm>
#include <vector>

namespace {

// Columns of the speed, duplex and negotiation texts that make a row's media code.
constexpr int kMediaColumns[] = {15, 16, 17};
constexpr int kMixClassMediaColumns[] = {19, 20, 21};

// Texts by code unit; a missing text sorts after a present one. Two missing texts are equal only for
// text cells.
int compareTexts(CUGCell *a, CUGCell *b, bool missingTextsEqual)
{
    const QString *textA = a->Has(CellProp::Text) ? a->GetDisplayText() : nullptr;
    const QString *textB = b->Has(CellProp::Text) ? b->GetDisplayText() : nullptr;
    if (!textA && !textB && missingTextsEqual)
        return 0;
    if (!textA)
        return 1;
    if (!textB)
        return -1;
    const int result = QString::compare(*textA, *textB, Qt::CaseSensitive);
    return result > 0 ? 1 : (result < 0 ? -1 : 0);
}

} // namespace

MyCug::MyCug(QWidget *parent) : CUGCtrl(parent) {}

MyCug::~MyCug() = default;

void MyCug::ClearAllText()
{
    const int rows = GetRowCount();
    const int cols = GetColumnCount();
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < cols; ++col)
            SetCellText(col, row, QString());
    }
}

int MyCug::GetLinkModeCode(int row)
{
    const int *cols = m_kind == MixClassPorts ? kMixClassMediaColumns : kMediaColumns;
    QString speed, duplex, negotiation;
    GetCellTextTo(cols[0], row, speed);
    GetCellTextTo(cols[1], row, duplex);
    GetCellTextTo(cols[2], row, negotiation);
    return ParseMediaText(speed, duplex, negotiation);
}

void MyCug::swapRows(int first, int second)
{
    CUGGridInfo *sheet = CurrentSheet();
    for (int col = -sheet->m_sideHdgColCount; col < sheet->m_colCount; ++col) {
        CUGDataSource *source = DataSourceOfColumn(col);
        const int storeCol = col < 0 ? col : sheet->m_columns[std::size_t(col)].dataSourceCol;
        CUGCell cellA, cellB;
        cellA.m_properties = 0;
        cellB.m_properties = 0;
        const bool hasA = source->LoadCell(storeCol, first, &cellA) == 0;
        const bool hasB = source->LoadCell(storeCol, second, &cellB) == 0;
        // A cell only one of the rows has leaves nothing behind in the other.
        if (hasB)
            source->StoreCell(storeCol, first, &cellB);
        else
            source->ClearCellAt(storeCol, first);
        if (hasA)
            source->StoreCell(storeCol, second, &cellA);
        else
            source->ClearCellAt(storeCol, second);
    }
}

void MyCug::SortRowsByHeadingNumber()
{
    const int rows = GetRowCount();
    std::vector<QString> headings(std::size_t(std::max(rows, 0)));
    for (int row = 0; row < rows; ++row)
        GetCellTextTo(-1, row, headings[std::size_t(row)]);
    for (int i = 0; i < rows; ++i) {
        int minRow = i;
        int minValue = toIntPrefix(headings[std::size_t(i)]);
        for (int row = i + 1; row < rows; ++row) {
            const QString &heading = headings[std::size_t(row)];
            if (heading.isEmpty())
                continue;
            const int value = toIntPrefix(heading);
            if (value < minValue) {
                minValue = value;
                minRow = row;
            }
        }
        if (minRow != i) {
            swapRows(i, minRow);
            std::swap(headings[std::size_t(i)], headings[std::size_t(minRow)]);
        }
    }
    RepaintAllParts();
}

void MyCug::SetCellReadOnly(int col, int row, int readOnly)
{
    CUGCell cell;
    ReadCell(col, row, &cell);
    cell.m_readOnly = readOnly != 0 ? 1 : 0;
    cell.m_properties |= CellProp::ReadOnly;
    WriteCell(col, row, &cell);
}

int MyCug::IsCellReadOnly(int col, int row)
{
    CUGCell cell;
    if (ReadCell(col, row, &cell) != 0)
        return 0;
    return cell.IsReadOnly() ? 1 : 0;
}

QString MyCug::GetCellLabel(int col, int row)
{
    CUGCell cell;
    if (ReadCell(col, row, &cell) != 0 || !cell.Has(CellProp::Label))
        return QString();
    return cell.m_label;
}

bool MyCug::isVlanColumn(int col) const
{
    if (m_kind == MixClassPorts)
        return col == 8 || col == 12;
    return m_kind == Other && col == 8;
}

bool MyCug::isAddressColumn(int col) const
{
    if (m_kind == MixClassPorts)
        return col >= 15 && col <= 17;
    return m_kind == Other && col >= 11 && col <= 13;
}

void MyCug::HookCellDoubleClick(int col, int row, UgRect *, QPoint *, int)
{
    if (m_kind == PhysicalSettings) {
        if (col == 1)
            BeginCellEdit(col, row);
        return;
    }
    QString first;
    GetCellTextTo(0, row, first);
    if (first.isEmpty())
        return;
    if (isVlanColumn(col) || isAddressColumn(col))
        BeginCellEdit(col, row);
}

void MyCug::setCellsEnabled(int firstCol, int row, bool enabled)
{
    for (int col = firstCol; col < firstCol + 3; ++col) {
        SetCellBackColor(col, row, enabled ? kEnabledBackColor : kDisabledBackColor);
        SetCellTextColor(col, row, enabled ? kEnabledTextColor : kDisabledTextColor);
        SetCellReadOnly(col, row, enabled ? 0 : 1);
    }
}

// The runner (a modal dialog) runs after the drop list has closed, never inside its choice handler.
void MyCug::runAllPorts(int col, const QString &value)
{
    QTimer::singleShot(0, this, [this, col, value] {
        if (m_runAllPorts)
            m_runAllPorts(col, value);
    });
}

int MyCug::HookCellTypeEvent(int, int col, int row, int message, qint64 parameter)
{
    if (message != kDropListChoice || !parameter)
        return 1;
    const QString value = *reinterpret_cast<const QString *>(parameter);
    if (m_kind == PhysicalSettings) {
        if (row == 0) {
            static constexpr int kAllPortsColumns[] = {2, 3, 5, 6, 7, 8};
            if (std::find(std::begin(kAllPortsColumns), std::end(kAllPortsColumns), col) ==
                std::end(kAllPortsColumns))
                return 1;
            runAllPorts(col, value);
            return 0;
        }
        ApplyPortRowRules(*this, row, col, value);
        RepaintRow(row);
        return 1;
    }
    if (col == 7 || (m_kind == MixClassPorts && col == 11)) {
        if (value == u"Enable")
            setCellsEnabled(col + 1, row, true);
        else if (value == u"Disable")
            setCellsEnabled(col + 1, row, false);
    }
    RepaintRow(row);
    return 1;
}

QString MyCug::NormaliseVlanText(const QString &text)
{
    return formatInt(std::clamp(toIntPrefix(text), 0, 4095));
}

QString MyCug::NormaliseAddressText(const QString &text)
{
    QStringView rest(text);
    int parts[4] = {};
    for (int i = 0; i < 4; ++i) {
        const qsizetype dot = i < 3 ? rest.indexOf(u'.') : -1;
        const QStringView part = dot < 0 ? rest : rest.left(dot);
        parts[i] = toIntPrefix(part) & 0xFF;
        if (dot < 0)
            break;
        rest = rest.mid(dot + 1);
    }
    return QStringLiteral("%1.%2.%3.%4").arg(parts[0]).arg(parts[1]).arg(parts[2]).arg(parts[3]);
}

int MyCug::HookEditFinished(int col, int, QWidget *, QString &text, int cancelled)
{
    if (cancelled)
        return 1;
    if (isVlanColumn(col))
        text = NormaliseVlanText(text);
    else if (isAddressColumn(col))
        text = NormaliseAddressText(text);
    return 1;
}

int MyCug::CompareCellsForSort(CUGCell *a, CUGCell *b, int flags)
{
    if (!a)
        return b ? 1 : 0;
    if (!b)
        return -1;
    if (flags & 2)
        std::swap(a, b);
    const int type = a->Has(CellProp::DataType) ? a->m_dataType : CellData::Text;
    if (type == CellData::Number || type == CellData::Check || type == CellData::Currency) {
        const double numberA = a->GetNumber();
        const double numberB = b->GetNumber();
        return numberA < numberB ? -1 : (numberA > numberB ? 1 : 0);
    }
    return compareTexts(a, b, type == CellData::Text);
}

COLORREF MyCug::GetDefaultBackColor(int)
{
    return 0xFFFFFF;
}

void MyCug::DrawFocusFrame(QPainter *painter, UgRect *rect)
{
    UgRect frame = *rect;
    --frame.right;
    --frame.bottom;
    GridPaint::drawFocusRect(*painter, frame);
}

void MyCug::HookFocusLost(int, QWidget *) {}
