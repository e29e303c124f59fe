// The base cell type: it draws a cell (background, border, bitmap and text, with text running on
// into empty neighbours) and reacts to the input inside it. The grid registers its built-in types
// at fixed indexes; a cell names its type by index. Events answer 1 when the type handled them.
#pragma once

#include "controls/grid/UgRect.h"
#include "platform/ColorRef.h"

#include <QSize>
#include <QString>
#include <QUuid>
#include <QtGlobal>

class CUGCell;
class CUGCtrl;
class CUGGridInfo;
class QFont;
class QPainter;
class QPixmap;
class QPoint;

class CUGCellType
{
public:
    // Cell-type parameter bits read by the base type.
    static constexpr int kParamSingleLine = 1;
    static constexpr int kParamWordBreak = 2;
    static constexpr int kParamEllipsis = 4;
    static constexpr int kParamLabel = 8;
    static constexpr int kParamDisabled = 0x4000;
    static constexpr COLORREF kDisabledTextColor = 0x008C8C8C;
    static constexpr int kTextMargin = 4;
    static constexpr int kBitmapMargin = 2;

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

    // Drawing parts; the width DrawBitmap used, margins included.
    virtual int DrawBitmap(QPainter *painter, const QPixmap *bitmap, UgRect *rect, COLORREF backColor);
    virtual void DrawBorder(QPainter *painter, UgRect *rect, UgRect *inner, CUGCell *cell);
    // The rectangle inside the cell's border lines and grid lines, as DrawBorder leaves it.
    UgRect BorderInner(const UgRect &rect, CUGCell *cell) const;
    virtual void DrawText(QPainter *painter, UgRect *rect, int xOffset, int col, int row, CUGCell *cell,
                          int selected, int current);
    virtual void DrawBackground(QPainter *painter, UgRect *rect, COLORREF color, int col, int row,
                                CUGCell *cell, int selected, int current);
    // For an empty cell: the column whose text runs on into it (firstCol) and the x offset to draw
    // that text with; 0 when none does.
    virtual int GetTextOverflow(int col, int row, int *firstCol, CUGCell *cell);
    virtual QString GetTypeName() const;
    virtual QUuid GetTypeId() const;
    // May narrow the editor's rectangle; 0 when it did nothing.
    virtual int AdjustEditArea(UgRect *rect);

    virtual int OnLeftButton(int col, int row, int down, UgRect *rect, QPoint *point);
    virtual int OnRightButton(int col, int row, int down, UgRect *rect, QPoint *point);
    virtual int OnDoubleClick(int col, int row, UgRect *rect, QPoint *point);
    // Key events may change the key (0 swallows it).
    virtual int OnKeyDown(int col, int row, int *key);
    virtual int OnKeyUp(int col, int row, int *key);
    virtual int OnCharacter(int col, int row, int *key);
    virtual int OnMouseMove(int col, int row, QPoint *point, unsigned int keyFlags);
    virtual void Draw(QPainter *painter, UgRect *rect, int col, int row, CUGCell *cell, int selected,
                      int current);
    // May draw the current cell's focus frame itself; 0 leaves it to the grid.
    virtual int DrawFocusFrame(QPainter *painter, UgRect *rect, int col, int row);

    // Whether a cell of this type may be edited in place.
    virtual bool CanStartEdit(int col, int row, CUGCell *cell);
    // The current cell moved onto (Entered) or away from (Left) a cell of this type.
    virtual void OnCurrentCellEntered(int col, int row, CUGCell *cell);
    virtual void OnCurrentCellLeft(int col, int row, CUGCell *cell);
    virtual void OnColumnSized(int col, int row, int *width);
    virtual void OnColumnSizing(int col, int row, int *width);
    virtual void OnRowSized(int col, int row, int *height);
    virtual void OnRowSizing(int col, int row, int *height);
    // The room the cell's content needs: its text and bitmap, with margins.
    virtual void MeasureContent(QSize *size, CUGCell *cell);
    virtual int OnSysColorChange();
    virtual qint64 OnUserMessage(qint64 value);
    // Hands a cell-type event to the grid's hook and gives its answer.
    int NotifyGrid(int col, int row, int message, qint64 parameter);

    // Whether a cell of this type lets its text run on into empty cells to its right.
    bool CellMayOverflow(CUGCell *cell) const;

    int m_fixedTheme = 0;
    int m_useTheme = 1;
    int m_spareFlag = 1;
    int m_drawLabel = 0;
    int m_mayOverflow = 1;

protected:
    CUGGridInfo *sheet() const;
    const QFont *defaultFont() const;
    // The cell's font, else the sheet's default font, else the grid's own.
    QFont fontOf(CUGCell *cell) const;
    // The cell-type parameter, 0 when the cell has none.
    static int paramOf(CUGCell *cell);
    // Whether the current cell is drawn in the highlight colours (current-cell style 2).
    bool highlightsCurrentCell() const;
    // The text and back colour a cell is drawn in.
    COLORREF textColorOf(CUGCell *cell, int selected, int current) const;
    COLORREF backColorOf(CUGCell *cell, int selected, int current) const;

private:
    CUGCtrl *m_ctrl = nullptr;
    int m_typeId = 0;
};
