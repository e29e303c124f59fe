#include "controls/grid/UGCellType.h"

#include "controls/grid/UGCell.h"
#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGGridInfo.h"

#include <QFontMetrics>
#include <QPixmap>

QString CUGCellType::GetTypeName() const
{
    return QStringLiteral("Normal Cell Type (default)");
}

int CUGCellType::AdjustEditArea(UgRect *)
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

void CUGCellType::OnRowSized(int, int, int *) {}

const QFont *CUGCellType::defaultFont() const
{
    return m_ctrl ? m_ctrl->CurrentSheet()->m_defFont : nullptr;
}

void CUGCellType::MeasureContent(QSize *size, CUGCell *cell)
{
    const QFont *font = cell->Has(CellProp::Font) && cell->m_font ? cell->m_font : defaultFont();
    const QFontMetrics metrics(font ? *font : (m_ctrl ? m_ctrl->font() : QFont()));
    int bitmapWidth = 0;
    if (cell->Has(CellProp::Bitmap) && cell->m_bitmap && !cell->m_bitmap->isNull()) {
        // The bitmap is scaled to the text height, keeping its proportions.
        const QPixmap &bitmap = *cell->m_bitmap;
        bitmapWidth = bitmap.width() * metrics.height() / std::max(1, bitmap.height());
    }
    const QString *text = cell->GetDisplayText();
    const bool singleLine =
        !(cell->Has(CellProp::CellTypeParam) && cell->m_cellTypeParam != 0 && !(cell->m_cellTypeParam & 1));
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
