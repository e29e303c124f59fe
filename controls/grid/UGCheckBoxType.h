// The check-box cell type ("CheckBox"): a box showing the cell's number as a state (0, 1, or 2
// with three states), toggled by a click in the box or by the space bar. Each change is written
// to the cell and reported with message 53.
#pragma once

#include "controls/grid/UGCellType.h"

#include <QBrush>

class CUGCheckBoxType : public CUGCellType
{
public:
    static constexpr int kMessageStateChanged = 53;
    static constexpr int kParam3DRaised = 0x100;
    static constexpr int kParam3DSunken = 0x200;
    static constexpr int kParamWider = 0x400;
    static constexpr int kParamAligned = 0x800;
    static constexpr int kParamCross = 0x1000;
    static constexpr int kParamThreeStates = 0x2000;

    CUGCheckBoxType();

    QString GetTypeName() const override;
    QUuid GetTypeId() const override;
    int OnLeftButton(int col, int row, int down, UgRect *rect, QPoint *point) override;
    int OnDoubleClick(int col, int row, UgRect *rect, QPoint *point) override;
    int OnCharacter(int col, int row, int *key) override;
    void Draw(QPainter *painter, UgRect *rect, int col, int row, CUGCell *cell, int selected,
              int current) override;
    void MeasureContent(QSize *size, CUGCell *cell) override;

    // The box inside a cell rectangle, placed by the parameter and the alignment.
    static UgRect BoxRect(const UgRect &rect, int param, int alignment);
    // The state after a toggle: non-finite and negative numbers count from 0.
    static int NextState(double number, bool threeStates);

private:
    int toggle(int col, int row);

    QBrush m_patternBrush;
};
