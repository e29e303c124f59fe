#include "controls/grid/UGArrowType.h"

#include "controls/grid/GridPaint.h"
#include "controls/grid/UGCell.h"

#include <QPoint>

QString CUGArrowType::GetTypeName() const
{
    return QStringLiteral("Side Arrows");
}

QUuid CUGArrowType::GetTypeId() const
{
    return QUuid(0x1a6e0c21, 0x4f0b, 0x4d6a, 0x9b, 0x31, 0x27, 0x52, 0x0e, 0x5c, 0x10, 0x03);
}

void CUGArrowType::Draw(QPainter *painter, UgRect *rect, int col, int row, CUGCell *cell, int selected,
                        int current)
{
    DrawBackground(painter, rect, backColorOf(cell, selected, current), col, row, cell, selected, current);
    const int param = paramOf(cell);
    if (param == 0 || (param & kParamNone) || !(param & (kParamLeft | kParamRight)) || rect->width() < 4)
        return;
    const COLORREF color = textColorOf(cell, selected, current);
    const int margin = std::max(1, rect->width() / 4);
    const int left = rect->left + margin;
    const int right = rect->right - margin;
    const int top = rect->top + rect->height() / 4;
    const int bottom = rect->bottom - rect->height() / 4;
    const int middle = rect->top + rect->height() / 2;
    QPoint points[3];
    if (param & kParamLeft) {
        points[0] = QPoint(right, top);
        points[1] = QPoint(right, bottom);
        points[2] = QPoint(left, middle);
    } else {
        points[0] = QPoint(left, top);
        points[1] = QPoint(left, bottom);
        points[2] = QPoint(right, middle);
    }
    GridPaint::fillPolygon(*painter, points, 3, color);
}

void CUGArrowType::MeasureContent(QSize *size, CUGCell *cell)
{
    const int param = paramOf(cell);
    *size = QSize(param == 64 || param == 128 ? 14 : 10, 0);
}
