// The grid control: a spreadsheet-like window of cells in sheets, with headings, scroll bars and
// in-place editing. Program grids derive from it and change its behaviour only through the hook
// operations below, which are called in a fixed order; their base answers are the defaults.
//
// The constructor creates sheet 0 and the child windows. Virtual calls made from the constructor
// reach only this class's hooks, so a subclass's HookSetUpSheet(0) first runs from
// InitAttachedWindow, after HookSetUpGrid.
#pragma once

#include "controls/grid/GridPaint.h"
#include "controls/grid/GridSelectionOwner.h"
#include "controls/grid/GridStoreOwner.h"
#include "controls/grid/UGArrowType.h"
#include "controls/grid/UGCell.h"
#include "controls/grid/UGCellType.h"
#include "controls/grid/UGCheckBoxType.h"
#include "controls/grid/UGDropListType.h"
#include "controls/grid/UGPtrList.h"
#include "controls/grid/UgRect.h"

#include <QPen>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class CUGCnrBtn;
class CUGDataSource;
class CUGEdit;
class CUGGrid;
class CUGMaskedEdit;
class CUGGridInfo;
class CUGHint;
class CUGHScroll;
class CUGSideHdg;
class CUGTab;
class CUGTopHdg;
class CUGVScroll;
class QMenu;
class QMimeData;
class QPainter;
class QScrollBar;

// The description of a font as the grid finds or adds it.
struct UgLogFont
{
    static constexpr int kFaceNameSize = 32;
    int height = 0;
    int width = 0;
    int escapement = 0;
    int orientation = 0;
    int weight = 400;
    int italic = 0;
    int underline = 0;
    int strikeOut = 0;
    int charSet = 0;
    int outPrecision = 0;
    int clipPrecision = 0;
    int quality = 0;
    int pitchAndFamily = 0;
    QString faceName;
    bool operator==(const UgLogFont &) const = default;
};

// One request of a find/replace dialog, as the dialog reports it to the grid.
struct UgFindRequest
{
    bool closing = false;
    QString findText;
    QString replaceText;
    bool matchCase = false;
    bool wholeWord = false;
    bool searchDown = true;
    bool replaceCurrent = false;
    bool replaceAll = false;
    // The dialog the "not found" message is shown over.
    QWidget *dialog = nullptr;
};

class CUGCtrl : public QWidget, protected GridStoreOwner, protected GridSelectionOwner
{
    Q_OBJECT

public:
    // Sections of the grid window, as passed to the hooks.
    enum Section
    {
        SectionGrid = 1,
        SectionTopHeading = 2,
        SectionSideHeading = 3,
        SectionCorner = 4,
        SectionHScroll = 5,
        SectionVScroll = 6,
        SectionTabs = 7,
    };
    // Moves by code.
    enum MoveCode
    {
        MoveUp = 0,
        MoveDown = 1,
        MovePageUp = 2,
        MovePageDown = 3,
        MoveFirst = 4,
        MoveLast = 5
    };
    // Built-in cell-type indexes.
    enum BuiltInCellType
    {
        CellTypeNormal = 0,
        CellTypeDropList = 1,
        CellTypeCheckBox = 2,
        CellTypeArrow = 3
    };

    static constexpr int kMaxSheets = 1024;
    static constexpr int kMaxColumns = 32000;
    static constexpr int kUniformRowsAbove = 64000;
    static constexpr int kMaxHeadingSize = 1024;
    static constexpr int kFirstMenuCommand = 1000;

    explicit CUGCtrl(QWidget *parent = nullptr);
    ~CUGCtrl() override;

    // Set-up.
    int InitAttachedWindow(QWidget *dialog);
    // Takes the place of a placeholder widget of a dialog (its parent, geometry and name), hides the
    // placeholder and attaches to the placeholder's window.
    int AttachToPlaceholder(QWidget *placeholder);
    int FindOrAddFont(const UgLogFont &logFont);
    const QFont *GetFont(int index) const;
    int FontUseCount(int index) const;
    int SetSheetCount(int count);
    int SetCurrentSheet(int sheet);
    int GetSheetCount() const { return int(m_sheets.size()); }
    int GetCurrentSheetNumber() const { return m_currentSheetNumber; }
    CUGGridInfo *CurrentSheet() const { return m_GI; }
    QScrollBar *GetScrollBarCtrl(Qt::Orientation bar) const;
    qint64 SendCellTypeMessage(int index, qint64 value);
    int AddCellType(CUGCellType *cellType);
    void SetAutoRedraw(bool on) { m_autoRedraw = on ? 1 : 0; }
    int GetAutoRedraw() const { return m_autoRedraw; }
    // Where moves started by program code read the Shift and Ctrl keys from.
    void SetModifierSource(std::function<Qt::KeyboardModifiers()> source);
    QMenu *GetPopupMenu() const { return m_menu; }
    int AppendMenuItem(int commandId, const QString &text);

    CUGGrid *GridWindow() const { return m_grid; }
    CUGTopHdg *TopHeadingWindow() const { return m_topHdg; }
    CUGSideHdg *SideHeadingWindow() const { return m_sideHdg; }
    CUGCnrBtn *CornerButtonWindow() const { return m_cornerButton; }
    CUGVScroll *VScrollWindow() const { return m_vScroll; }
    CUGHScroll *HScrollWindow() const { return m_hScroll; }
    CUGTab *TabWindow() const { return m_tab; }
    CUGHint *HintWindow() const { return m_hint; }
    const QPen &LightPen() const { return m_threeDLightPen; }
    const QPen &DarkPen() const { return m_threeDDarkPen; }
    const CUGCellType *NormalType() const { return &m_normalType; }
    GridPaint::ShapedTextCache &TextCache() { return m_textCache; }

    // Cell access.
    int ReadCell(int col, int row, CUGCell *cell);
    int WriteCell(int col, int row, CUGCell *cell);
    int GetCellComposite(int col, int row, CUGCell *cell);
    int GetCellTextTo(int col, int row, QString &text);
    std::optional<QString> GetCellTextPtr(int col, int row);
    int SetCellText(int col, int row, const QString &text);
    int SetCellNumber(int col, int row, double number);
    int SetCellLabel(int col, int row, const QString &label);
    int SetCellTextColor(int col, int row, COLORREF color);
    int SetCellBackColor(int col, int row, COLORREF color);
    int SetCellBitmap(int col, int row, const QPixmap *bitmap);
    int SetCellAlignment(int col, int row, unsigned short alignment);
    int MakeCellDropList(int col, int row);
    int SetCellTypeParam(int col, int row, unsigned int param);
    int JoinCellRange(int firstCol, int firstRow, int lastCol, int lastRow);
    int FindJoinedBlock(int *col, int *row, int *lastCol, int *lastRow);
    int MoveToJoinOrigin(int *col, int *row);
    CUGCellType *GetCellTypeByIndex(int index) const;
    CUGCellType *GetCellTypeOfCell(int col, int row);
    // The type a composite cell names, else the normal type.
    CUGCellType *CellTypeOf(const CUGCell &cell) const;
    int SelectRange(int firstCol, int firstRow, int lastCol, int lastRow);
    int PasteText(const QString &text);
    CUGDataSource *DataSourceOfColumn(int col) const;
    // The column of the cell store that a grid column shows, and back (-1 when no grid column shows it).
    int storeColumnOf(int col) const;
    int gridColumnOfStoreColumn(int storeCol) const override;

    // Counts and sizes.
    int SetRowCount(int rows);
    int SetColumnCount(int columns);
    int GetRowCount() const;
    int GetColumnCount() const;
    int ChangeColumnWidth(int col, int width);
    int ChangeRowHeight(int row, int height);
    int GetColumnWidth(int col) const;
    int GetRowHeight(int row) const;
    int InsertRowAt(int row);
    int SetTopHeadingHeight(int height);
    int SetSideHeadingWidth(int width);
    int SetTopHeadingRowHeight(int row, int height);
    int SetSideHeadingColumnWidth(int col, int width);
    int SetLockedColumnCount(int count);
    int SetLockedRowCount(int count);
    int MoveColumn(int from, int to);
    void RecalcLockedColumnsWidth();
    void RecalcLockedRowsHeight();

    // Layout and view.
    void LayOutChildWindows();
    // Lays out only the sheet tabs and the horizontal scroll bar, while the tab area is dragged.
    void LayOutTabArea();
    // The right visible column and bottom visible row: the first column and row that pass the
    // cell area's right and bottom edge (the counts when everything fits), from the geometry.
    void UpdateVisibleEdges();
    // The rectangle the visible part of a cell range covers in the cell area; false when none of
    // it is visible.
    bool VisibleRangeRect(int firstCol, int firstRow, int lastCol, int lastRow, UgRect *rect) const;
    void UpdateMaxTopRow();
    void UpdateMaxLeftColumn();
    void BringCurrentRowIntoView();
    void BringCurrentColumnIntoView();
    int GetCellFromPoint(int x, int y, int *col, int *row, UgRect *rect);
    int GetCellRect(int *col, int *row, UgRect *rect);
    int GetRangeRect(int firstCol, int firstRow, int lastCol, int lastRow, UgRect *rect);
    // Where a column starts and ends in the cell area (both the locked width for a column scrolled
    // off to the left); false when the column lies past the right edge.
    bool ColumnEdges(int col, int *left, int *right) const;
    bool RowEdges(int row, int *top, int *bottom) const;

    // Current cell and scrolling.
    int GetCurrentColumn() const;
    int GetCurrentRow() const;
    int GetTopRow() const;
    int GetLeftColumn() const;
    int MoveCurrentRowTo(int row);
    int MoveCurrentColumnTo(int col);
    int MoveCurrentCellTo(int col, int row);
    int ScrollTopRowTo(int row);
    int ScrollLeftColumnTo(int col);
    int ScrollTopRowBy(int code);
    int ScrollLeftColumnBy(int code);
    int MoveCurrentRowBy(int code);
    int MoveCurrentColumnBy(int code);
    int ClampRowPastEnd(int *row);
    int ClampColumnPastEnd(int *col);
    void ApplyCellMove();

    // Repainting.
    void RepaintAllParts();
    int RepaintCell(int col, int row);
    int RepaintRow(int row);
    int SelectWholeRows();
    void SetTrackingWindow(QWidget *window);
    void PlaceTrackingWindow();

    // In-place editing. The editor shows the cell's text through its user property (the text of a
    // line edit) and hands the edited text back through EndCellEdit.
    int BeginCellEdit(int col, int row);
    int EndCellEdit(int cancelled, const QString &text, int endKey, int nextCol, int nextRow);
    bool IsEditing() const { return m_editing != 0; }
    QWidget *ActiveEditor() const { return m_activeEditor; }
    int EditColumn() const { return m_editCol; }
    int EditRow() const { return m_editRow; }
    CUGEdit *EditWindow() const { return m_edit; }
    CUGMaskedEdit *MaskedEditWindow() const { return m_maskedEdit; }

    // Pop-up menu.
    int ShowPopupMenu(int col, int row, int section, QPoint *globalPoint);
    void OnCommand(int commandId);

    // Find and replace, for a grid whose program opens a find/replace dialog. 1 when the dialog
    // closed, else 0.
    int OnFindReplace(const UgFindRequest &request);
    void SetFindAllColumns(bool on) { m_findAllColumns = on; }

    // Operations a program grid may replace.
    virtual int FitColumnsToWidth(int firstCol, int lastCol);
    virtual int FitColumnsToContent(int firstCol, int lastCol, int rowsToExamine, int flags);

    // Hooks, in their fixed order.
    virtual void HookSetUpGrid();
    virtual void HookSetUpSheet(int sheet);
    virtual int HookMayMoveCell(int oldCol, int oldRow, int newCol, int newRow);
    virtual int HookMayMoveView(int oldLeftCol, int oldTopRow, int newCol, int newRow);
    virtual void HookRowsPastEnd(int rowCount, int rowsPastEnd, int rowsFound);
    virtual int HookMaySizeColumn(int col);
    virtual void HookColumnSizing(int col, int *width);
    virtual void HookColumnSized(int col, int *width);
    virtual int HookMaySizeRow(int row);
    virtual void HookRowSizing(int row, int *height);
    virtual void HookRowSized(int row, int *height);
    virtual int HookMaySizeTopHeading();
    virtual int HookMaySizeSideHeading();
    virtual int HookTopHeadingSizing(int *height);
    virtual int HookSideHeadingSizing(int *width);
    virtual int HookTopHeadingSized(int *height);
    virtual int HookSideHeadingSized(int *width);
    virtual void HookCurrentColumnChanged(int oldCol, int newCol);
    virtual void HookCurrentRowChanged(int oldRow, int newRow);
    virtual void HookCurrentCellChanged(int oldCol, int newCol, int oldRow, int newRow);
    virtual void HookLeftColumnChanged(int oldCol, int newCol);
    virtual void HookTopRowChanged(int oldRow, int newRow);
    virtual void HookViewScrolled(int direction, int oldPosition, int newPosition);
    virtual void HookSelectionChanged(int right, int top, int left, int bottom, int blockCount);
    virtual void HookCellLeftButton(int col, int row, int down, UgRect *rect, QPoint *point, int processed);
    virtual void HookCellRightButton(int col, int row, int down, UgRect *rect, QPoint *point, int processed);
    virtual void HookCellDoubleClick(int col, int row, UgRect *rect, QPoint *point, int processed);
    virtual void HookCellMouseMove(int col, int row, QPoint *point, unsigned int keyFlags, int processed);
    virtual void HookTopHeadingLeftButton(int col, int row, int down, UgRect *rect, QPoint *point,
                                          int processed);
    virtual void HookTopHeadingRightButton(int col, int row, int down, UgRect *rect, QPoint *point,
                                           int processed);
    virtual void HookTopHeadingDoubleClick(int col, int row, UgRect *rect, QPoint *point, int processed);
    virtual void HookSideHeadingLeftButton(int col, int row, int down, UgRect *rect, QPoint *point,
                                           int processed);
    virtual void HookSideHeadingRightButton(int col, int row, int down, UgRect *rect, QPoint *point,
                                            int processed);
    virtual void HookSideHeadingDoubleClick(int col, int row, UgRect *rect, QPoint *point, int processed);
    virtual void HookCornerLeftButton(int down, UgRect *rect, QPoint *point, int processed);
    virtual void HookCornerRightButton(int down, UgRect *rect, QPoint *point, int processed);
    virtual void HookCornerDoubleClick(UgRect *rect, QPoint *point, int processed);
    virtual void HookKeyDown(int *key, int processed);
    virtual void HookKeyUp(int *key, int processed);
    virtual void HookCharacter(int *key, int processed);
    virtual void HookCellRead(int col, int row, CUGCell *cell);
    virtual void HookCellWrite(int col, int row, CUGCell *cell);
    virtual int HookCellTypeEvent(int typeId, int col, int row, int message, qint64 parameter);
    virtual int HookMayStartEdit(int col, int row, QWidget **editor);
    virtual int HookEditKey(int col, int row, QWidget *editor, int *key);
    // The hook may rewrite the text that is stored.
    virtual int HookEditFinished(int col, int row, QWidget *editor, QString &text, int cancelled);
    virtual int HookEditMoveOn(int oldCol, int oldRow, int *newCol, int *newRow);
    virtual void HookMenuCommand(int col, int row, int section, int commandId);
    virtual int HookMayShowMenu(int col, int row, int section);
    virtual int HookHelpTopic(int col, int row, int section);
    virtual int HookTipText(int col, int row, int section, QString *text);
    virtual int HookVScrollTipText(int row, QString *text);
    virtual int HookHScrollTipText(int col, QString *text);
    virtual int HookDragEnter(const QMimeData *data);
    virtual int HookDragOver(const QMimeData *data, int col, int row);
    virtual int HookDrop(const QMimeData *data, int col, int row);
    virtual int CompareCellsForSort(CUGCell *a, CUGCell *b, int flags);
    virtual void HookPaintDC(QPainter *painter, QPainter *second, int section);
    virtual void HookAdjustLayout(UgRect *grid, UgRect *topHeading, UgRect *sideHeading, UgRect *corner,
                                  UgRect *vScroll, UgRect *hScroll, UgRect *tabs);
    virtual void HookSheetTabClicked(int tabId);
    virtual COLORREF GetDefaultBackColor(int section);
    virtual void DrawFocusFrame(QPainter *painter, UgRect *rect);
    virtual void HookFocusLost(int section, QWidget *newFocus);
    virtual void HookFocusLostSection(int section);
    virtual int HookMayDragColumn(int col);
    virtual int HookMayDropColumn(int fromCol, int toCol);
    virtual void HookColumnMoved(int fromCol, int toCol);
    virtual void HookTrackingWindowMoved(UgRect *oldRect, UgRect *newRect);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;

    // GridStoreOwner
    int storeColumnCount() const override;
    int storeRowCount() const override;
    void shiftStoreColumns(int from, int delta) override;
    int compareForSort(CUGCell *a, CUGCell *b, int flags) override;
    // GridSelectionOwner
    void selectionChanged(int right, int top, int left, int bottom, int blockCount) override;
    CUGRedrawList *selectionRedrawList() override;
    int selectionColumnCount() const override;
    void reportedCell(int *col, int *row) const override;
    Qt::KeyboardModifiers selectionModifiers() const override;

private:
    template <typename Change> int changeStoredCell(int col, int row, Change change);
    // Moves (col, row) onto the origin of its joined block: 1 when joining is off, 2 off a joined
    // cell. With originCell, the origin's cell is left there.
    int joinOrigin(int *col, int *row, CUGCell *originCell);
    void createChildWindows();
    void handSheetToChildren(CUGGridInfo *sheet);
    void setUpNewSheet(CUGGridInfo *sheet);
    static void rescaleHeading(std::vector<int> &sizes, int total);
    void tellColumnSized(int col, int *width);
    void tellRowSized(int row, int *height);
    bool rowIsVisible(int row) const;
    bool columnIsVisible(int col) const;
    void reportSelectionOrigin();
    void updateSelectionForMove();
    bool findNext(const QString &text, int flags);
    int rowStep(int from, int code) const;
    int columnStep(int from, int code) const;

    CUGPtrList m_fontList;
    std::vector<std::unique_ptr<QFont>> m_fonts;
    std::vector<UgLogFont> m_fontDescriptions;
    CUGPtrList m_cellTypeList;
    CUGCellType m_normalType;
    CUGDropListType m_dropListType;
    CUGCheckBoxType m_checkBoxType;
    CUGArrowType m_arrowType;
    CUGCell m_cell;
    CUGCell m_scratchCell;
    QPen m_threeDLightPen;
    QPen m_threeDDarkPen;
    GridPaint::ShapedTextCache m_textCache;
    QMenu *m_menu = nullptr;
    int m_menuCol = 0;
    int m_menuRow = 0;
    int m_menuSection = 0;

    CUGGrid *m_grid = nullptr;
    CUGTopHdg *m_topHdg = nullptr;
    CUGSideHdg *m_sideHdg = nullptr;
    CUGCnrBtn *m_cornerButton = nullptr;
    CUGVScroll *m_vScroll = nullptr;
    CUGHScroll *m_hScroll = nullptr;
    CUGHint *m_hint = nullptr;
    CUGTab *m_tab = nullptr;
    CUGEdit *m_edit = nullptr;
    CUGMaskedEdit *m_maskedEdit = nullptr;
    QPointer<QWidget> m_trackingWindow;

    std::vector<std::unique_ptr<CUGGridInfo>> m_sheets;
    int m_currentSheetNumber = 0;
    CUGGridInfo *m_GI = nullptr;

    int m_autoRedraw = 1;
    int m_tabLayoutInProgress = 0;
    bool m_relayingOut = false;
    bool m_findAllColumns = false;
    int m_editing = 0;
    int m_editCol = -1;
    int m_editRow = -1;
    QPointer<QWidget> m_activeEditor;
    std::function<Qt::KeyboardModifiers()> m_modifierSource;
};
