// The side-arrow cell type ("Side Arrows"): a filled triangle pointing left (parameter 0x20) or
// right (0x40) in the cell's text colour; 0x10 or no parameter draws none.
#pragma once

#include "controls/grid/UGCellType.h"

class CUGArrowType : public CUGCellType
{
public:
    static constexpr int kParamNone = 0x10;
    static constexpr int kParamLeft = 0x20;
    static constexpr int kParamRight = 0x40;

    QString GetTypeName() const override;
    QUuid GetTypeId() const override;
    void Draw(QPainter *painter, UgRect *rect, int col, int row, CUGCell *cell, int selected,
              int current) override;
    void MeasureContent(QSize *size, CUGCell *cell) override;
};
