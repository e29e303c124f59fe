#include "controls/grid/UGEdit.h"

#include "controls/grid/UGCell.h"
#include "controls/grid/UGCellType.h"
#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGGrid.h"
#include "controls/grid/UGGridInfo.h"

#include <QFontMetrics>

CUGEdit::CUGEdit(CUGCtrl *ctrl, QWidget *parent) : CUGEditBase(ctrl, parent)
{
    setCursor(Qt::IBeamCursor);
    connect(this, &QLineEdit::textChanged, this, &CUGEdit::grow);
}

void CUGEdit::focusInEvent(QFocusEvent *event)
{
    CUGEditBase::focusInEvent(event);
    m_firstRect = geometry();
    const int col = ctrl()->EditColumn();
    const int row = ctrl()->EditRow();
    CUGCell cell;
    ctrl()->GetCellComposite(col, row, &cell);
    m_mayGrow = ctrl()->CurrentSheet()->m_overflow && col >= 0 && row >= 0 &&
                        ctrl()->CellTypeOf(cell)->CellMayOverflow(&cell)
                    ? 1
                    : 0;
}

void CUGEdit::grow()
{
    if (!m_mayGrow || !ctrl()->CurrentSheet()->m_overflow || !isVisible() ||
        parentWidget() != ctrl()->GridWindow())
        return;
    const QRect current = geometry();
    const int textRight =
        current.x() + QFontMetrics(font()).horizontalAdvance(text() + QStringLiteral(" X X"));
    const int areaRight = ctrl()->CurrentSheet()->m_gridWidth - 1;
    int right = m_firstRect.right();
    if (textRight > right) {
        // To the right edge of the cell under the text's end.
        int col = 0, row = 0;
        UgRect cellRect;
        const int probeX = std::min(textRight, areaRight);
        if (ctrl()->GetCellFromPoint(probeX, current.center().y(), &col, &row, &cellRect) == 0)
            right = cellRect.right - 1;
        else
            right = areaRight;
    }
    right = std::max(std::min(right, areaRight), m_firstRect.right());
    if (right != current.right())
        setGeometry(QRect(QPoint(current.x(), current.y()), QPoint(right, current.bottom())));
}
