// The drop-list cell type ("DropList"): the cell's text with a button at its right edge that opens
// a list of the choices in the cell's label (each ended by a line feed). The grid's hook hears of
// the list (message 100, the choices as a QStringList*; 0 keeps it closed) and of a choice
// (102 its index; 101 its text as a QString*, 0 refuses it; 103 after the text was stored).
#pragma once

#include "controls/grid/UGCellType.h"

#include <QPointer>
#include <QStringList>

class CUGLstBox;

class CUGDropListType : public CUGCellType
{
public:
    static constexpr int kMessageOpening = 100;
    static constexpr int kMessageChoosing = 101;
    static constexpr int kMessageChosenIndex = 102;
    static constexpr int kMessageChosen = 103;
    static constexpr int kParamButtonOnCurrent = 0x200;
    static constexpr int kMaxVisibleItems = 15;
    static constexpr int kListId = 123;

    CUGDropListType();
    ~CUGDropListType() override;

    QString GetTypeName() const override;
    QUuid GetTypeId() const override;
    int AdjustEditArea(UgRect *rect) override;
    int OnLeftButton(int col, int row, int down, UgRect *rect, QPoint *point) override;
    int OnDoubleClick(int col, int row, UgRect *rect, QPoint *point) override;
    int OnKeyDown(int col, int row, int *key) override;
    int OnCharacter(int col, int row, int *key) override;
    int OnMouseMove(int col, int row, QPoint *point, unsigned int keyFlags) override;
    void OnCurrentCellLeft(int col, int row, CUGCell *cell) override;
    void Draw(QPainter *painter, UgRect *rect, int col, int row, CUGCell *cell, int selected,
              int current) override;
    void MeasureContent(QSize *size, CUGCell *cell) override;

    // The choices of a label: every piece a line feed ends.
    static QStringList Choices(const QString &label);
    // Opens the list under the cell; nothing when it is open already or the cell is read-only.
    void OpenList(int col, int row);
    // The list widget, once a list was opened.
    CUGLstBox *ListBox() const;
    // Stores a choice made in the list, asking the hook first.
    void MakeChoice(int index, const QString &text);
    // The list closed; byMousePress when a mouse press elsewhere took the focus from it.
    void ListClosed(bool choiceMade, bool byMousePress = false);

    int m_buttonWidth;
    int m_pressed = 0;
    UgRect m_buttonRect;
    int m_listCol = -1;
    int m_listRow = -1;

private:
    bool showsButton(int col, int row, CUGCell *cell) const;
    void repaintCell(int col, int row);

    QPointer<CUGLstBox> m_list;
    // The cell whose list the mouse press now being handled closed; -1 outside that press.
    int m_closedByPressCol = -1;
    int m_closedByPressRow = -1;
};
