// The base cell type: it draws a cell and reacts to the input inside it. The grid registers its
// built-in types at fixed indexes; a cell names its type by index. The drawing and input
// operations come with the cell area; here are the ones the grid's structure and moves call.
#pragma once

#include "controls/grid/UgRect.h"

#include <QSize>
#include <QString>
#include <QtGlobal>

class CUGCell;
class CUGCtrl;
class QFont;

class CUGCellType
{
public:
    CUGCellType() = default;
    virtual ~CUGCellType() = default;
    CUGCellType(const CUGCellType &) = delete;
    CUGCellType &operator=(const CUGCellType &) = delete;

    // Told by the grid when the type is registered.
    void SetOwner(CUGCtrl *ctrl, int typeId)
    {
        m_ctrl = ctrl;
        m_typeId = typeId;
    }
    CUGCtrl *Owner() const { return m_ctrl; }
    int TypeId() const { return m_typeId; }

    virtual QString GetTypeName() const;
    // May narrow the editor's rectangle; 0 when it did nothing.
    virtual int AdjustEditArea(UgRect *rect);
    // Whether a cell of this type may be edited in place.
    virtual bool CanStartEdit(int col, int row, CUGCell *cell);
    // The current cell moved onto (Entered) or away from (Left) a cell of this type.
    virtual void OnCurrentCellEntered(int col, int row, CUGCell *cell);
    virtual void OnCurrentCellLeft(int col, int row, CUGCell *cell);
    virtual void OnColumnSized(int col, int row, int *width);
    virtual void OnRowSized(int col, int row, int *height);
    // The room the cell's content needs: its text and bitmap, with margins.
    virtual void MeasureContent(QSize *size, CUGCell *cell);
    virtual int OnSysColorChange();
    virtual qint64 OnUserMessage(qint64 value);
    // Hands a cell-type event to the grid's hook and gives its answer.
    int NotifyGrid(int col, int row, int message, qint64 parameter);

    int m_mayOverflow = 1;

protected:
    const QFont *defaultFont() const;

private:
    CUGCtrl *m_ctrl = nullptr;
    int m_typeId = 0;
};
