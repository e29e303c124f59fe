#include "controls/grid/UGCtrl.h"

#include "controls/grid/GridPaint.h"
#include "controls/grid/UGCellFormat.h"
#include "controls/grid/UGCnrBtn.h"
#include "controls/grid/UGDataSource.h"
#include "controls/grid/UGEdit.h"
#include "controls/grid/UGGrid.h"
#include "controls/grid/UGGridInfo.h"
#include "controls/grid/UGHScroll.h"
#include "controls/grid/UGHint.h"
#include "controls/grid/UGMaskedEdit.h"
#include "controls/grid/UGMem.h"
#include "controls/grid/UGMultiSelect.h"
#include "controls/grid/UGSideHdg.h"
#include "controls/grid/UGTab.h"
#include "controls/grid/UGTopHdg.h"
#include "controls/grid/UGVScroll.h"
#include "platform/SysColor.h"

#include <QAction>
#include <QEvent>
#include <QFont>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

UgLogFont logFontOf(const QFont &font)
{
    UgLogFont logFont;
    const int pixels =
        font.pixelSize() > 0 ? font.pixelSize() : int(std::lround(font.pointSizeF() * 96.0 / 72.0));
    logFont.height = -pixels;
    logFont.weight = font.weight();
    logFont.italic = font.italic() ? 1 : 0;
    logFont.underline = font.underline() ? 1 : 0;
    logFont.strikeOut = font.strikeOut() ? 1 : 0;
    logFont.faceName = font.family();
    return logFont;
}

std::unique_ptr<QFont> fontOf(const UgLogFont &logFont)
{
    auto font = std::make_unique<QFont>();
    if (!logFont.faceName.isEmpty())
        font->setFamily(logFont.faceName);
    if (logFont.height != 0)
        font->setPixelSize(std::abs(logFont.height));
    // Font weights use the same 100-900 scale.
    font->setWeight(QFont::Weight(std::clamp(logFont.weight > 0 ? logFont.weight : 400, 1, 1000)));
    font->setItalic(logFont.italic != 0);
    font->setUnderline(logFont.underline != 0);
    font->setStrikeOut(logFont.strikeOut != 0);
    return font;
}

} // namespace

CUGCtrl::CUGCtrl(QWidget *parent)
    : QWidget(parent), m_threeDLightPen(GridPaint::makePen(sysColor(SysColor::BtnHighlight))),
      m_threeDDarkPen(GridPaint::makePen(sysColor(SysColor::BtnShadow))),
      m_modifierSource([] { return QGuiApplication::keyboardModifiers(); })
{
    AddCellType(&m_normalType);
    AddCellType(&m_dropListType);
    AddCellType(&m_checkBoxType);
    AddCellType(&m_arrowType);

    m_menu = new QMenu(this);
    connect(m_menu, &QMenu::triggered, this, [this](QAction *action) { OnCommand(action->data().toInt()); });

    createChildWindows();
    SetSheetCount(1);
}

CUGCtrl::~CUGCtrl()
{
    // The child windows read the sheets; they go before the sheets do.
    qDeleteAll(findChildren<QWidget *>(Qt::FindDirectChildrenOnly));
}

void CUGCtrl::createChildWindows()
{
    m_grid = new CUGGrid(this);
    m_topHdg = new CUGTopHdg(this);
    m_sideHdg = new CUGSideHdg(this);
    m_cornerButton = new CUGCnrBtn(this);
    m_tab = new CUGTab(this);
    m_vScroll = new CUGVScroll(this);
    m_hScroll = new CUGHScroll(this);
    m_hint = new CUGHint(this);
    m_edit = new CUGEdit(this, m_grid);
    m_maskedEdit = new CUGMaskedEdit(this, m_grid);
    for (QWidget *child : std::initializer_list<QWidget *>{m_grid, m_topHdg, m_sideHdg, m_cornerButton, m_tab,
                                                           m_vScroll, m_hScroll})
        child->setGeometry(QRect());
    // The grid takes the focus for its cell area, which wants every key.
    setFocusProxy(m_grid);
}

void CUGCtrl::handSheetToChildren(CUGGridInfo *sheet)
{
    m_grid->SetSheet(sheet);
    m_topHdg->SetSheet(sheet);
    m_sideHdg->SetSheet(sheet);
    m_cornerButton->SetSheet(sheet);
    m_tab->SetSheet(sheet);
    m_vScroll->SetSheet(sheet);
    m_hScroll->SetSheet(sheet);
}

void CUGCtrl::setUpNewSheet(CUGGridInfo *sheet)
{
    sheet->m_defDataSource->SetOwner(this);
    sheet->m_multiSelect->SetOwner(this);
    sheet->m_editCtrl = m_edit;
    sheet->m_maskedEditCtrl = m_maskedEdit;
}

int CUGCtrl::InitAttachedWindow(QWidget *dialog)
{
    // Clicks give the focus to the cell area from its own handlers.
    setFocusPolicy(Qt::TabFocus);
    if (dialog) {
        UgLogFont logFont = logFontOf(dialog->font());
        const int index = FindOrAddFont(logFont);
        if (index >= 0) {
            m_GI->m_defFont = GetFont(index);
            // Headings are drawn bolder than the cells.
            logFont.weight += 200;
            const int headingIndex = FindOrAddFont(logFont);
            if (headingIndex >= 0) {
                m_GI->m_hdgDefaultCell->m_font = GetFont(headingIndex);
                m_GI->m_hdgDefaultCell->m_properties |= CellProp::Font;
            }
        }
    }
    HookSetUpGrid();
    HookSetUpSheet(0);
    for (const std::unique_ptr<CUGGridInfo> &sheet : m_sheets)
        sheet->m_createdFlag = 1;
    LayOutChildWindows();
    return 1;
}

int CUGCtrl::AttachToPlaceholder(QWidget *placeholder)
{
    setParent(placeholder->parentWidget());
    setGeometry(placeholder->geometry());
    setObjectName(placeholder->objectName());
    placeholder->hide();
    show();
    return InitAttachedWindow(placeholder->window());
}

int CUGCtrl::FindOrAddFont(const UgLogFont &logFont)
{
    UgLogFont key = logFont;
    if (key.faceName.size() >= UgLogFont::kFaceNameSize)
        key.faceName.clear();
    for (int i = 0; i < m_fontList.GetMaxCount(); ++i) {
        if (m_fontList.IsInUse(i) && m_fontDescriptions[std::size_t(i)] == key) {
            m_fontList.AddUse(i);
            return i;
        }
    }
    std::unique_ptr<QFont> font = fontOf(key);
    const int index = m_fontList.AddPointer(font.get());
    if (index < 0)
        return -1;
    if (std::size_t(index) >= m_fonts.size()) {
        m_fonts.resize(std::size_t(index) + 1);
        m_fontDescriptions.resize(std::size_t(index) + 1);
    }
    m_fonts[std::size_t(index)] = std::move(font);
    m_fontDescriptions[std::size_t(index)] = key;
    return index;
}

const QFont *CUGCtrl::GetFont(int index) const
{
    return static_cast<const QFont *>(m_fontList.GetPointer(index));
}

int CUGCtrl::FontUseCount(int index) const
{
    return m_fontList.GetUseCount(index);
}

int CUGCtrl::SetSheetCount(int count)
{
    // No sheet at all would leave the grid without a current sheet.
    if (count > kMaxSheets || count < 1)
        return 1;
    CUGGridInfo *previous = m_currentSheetNumber < count ? m_GI : nullptr;
    if (!previous)
        m_GI = nullptr;
    while (int(m_sheets.size()) > count)
        m_sheets.pop_back();
    const bool attached = !m_sheets.empty() && m_sheets.front()->m_createdFlag;
    while (int(m_sheets.size()) < count) {
        const int number = int(m_sheets.size());
        m_sheets.push_back(std::make_unique<CUGGridInfo>());
        CUGGridInfo *sheet = m_sheets.back().get();
        setUpNewSheet(sheet);
        m_GI = sheet;
        handSheetToChildren(sheet);
        HookSetUpSheet(number);
        // Sheet 0 is set up by InitAttachedWindow; later sheets of an attached grid are ready now.
        if (attached)
            sheet->m_createdFlag = 1;
    }
    if (previous) {
        m_GI = previous;
        handSheetToChildren(previous);
    } else {
        m_currentSheetNumber = 0;
        m_GI = nullptr;
        SetCurrentSheet(0);
    }
    return 0;
}

int CUGCtrl::SetCurrentSheet(int sheet)
{
    if (sheet < 0 || sheet >= int(m_sheets.size()))
        return 1;
    // A sheet that is not set up yet belongs to a grid still being built or attached: taking the focus
    // then would make the grid the first stop of its dialog.
    if (m_sheets[std::size_t(sheet)]->m_createdFlag)
        m_grid->setFocus();
    CUGGridInfo *previous = m_GI;
    m_GI = m_sheets[std::size_t(sheet)].get();
    if (previous && previous != m_GI)
        m_GI->m_tabWidth = previous->m_tabWidth;
    handSheetToChildren(m_GI);
    m_GI->m_prevTopRow = -1;
    m_GI->m_prevLeftCol = -1;
    m_currentSheetNumber = sheet;
    LayOutChildWindows();
    return 0;
}

QScrollBar *CUGCtrl::GetScrollBarCtrl(Qt::Orientation bar) const
{
    if (bar == Qt::Vertical)
        return m_vScroll;
    return m_hScroll;
}

int CUGCtrl::AddCellType(CUGCellType *cellType)
{
    const int index = m_cellTypeList.AddPointer(cellType);
    if (index >= 0)
        cellType->SetOwner(this, index);
    return index;
}

qint64 CUGCtrl::SendCellTypeMessage(int index, qint64 value)
{
    return GetCellTypeByIndex(index)->OnUserMessage(value);
}

void CUGCtrl::SetModifierSource(std::function<Qt::KeyboardModifiers()> source)
{
    m_modifierSource = std::move(source);
}

int CUGCtrl::AppendMenuItem(int commandId, const QString &text)
{
    QAction *action = m_menu->addAction(text);
    action->setData(commandId);
    return 0;
}

void CUGCtrl::resizeEvent(QResizeEvent *)
{
    m_autoRedraw = 0;
    LayOutChildWindows();
    m_autoRedraw = 1;
}

void CUGCtrl::paintEvent(QPaintEvent *)
{
    if (!m_GI || !m_GI->m_createdFlag)
        return;
    // The square where the two scroll bars meet.
    QPainter painter(this);
    const UgRect corner{m_GI->m_vScrollRect.left, m_GI->m_hScrollRect.top, width(), height()};
    GridPaint::fillRect(painter, corner, sysColor(SysColor::BtnFace));
}

void CUGCtrl::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    m_grid->setFocus();
    m_grid->update();
}

void CUGCtrl::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange) {
        for (int i = 0; i < m_cellTypeList.GetMaxCount(); ++i) {
            if (auto *cellType = static_cast<CUGCellType *>(m_cellTypeList.GetPointer(i)))
                cellType->OnSysColorChange();
        }
        for (const std::unique_ptr<CUGGridInfo> &sheet : m_sheets)
            sheet->m_hdgDefaultCell->m_backColor = sysColor(SysColor::BtnFace);
        m_threeDLightPen = GridPaint::makePen(sysColor(SysColor::BtnHighlight));
        m_threeDDarkPen = GridPaint::makePen(sysColor(SysColor::BtnShadow));
    }
    QWidget::changeEvent(event);
}

// ---- Store and selection owner ----

int CUGCtrl::storeColumnCount() const
{
    return m_GI->m_colCount;
}

int CUGCtrl::storeRowCount() const
{
    return m_GI->m_rowCount;
}

int CUGCtrl::gridColumnOfStoreColumn(int storeCol) const
{
    for (int col = 0; col < m_GI->m_colCount; ++col) {
        if (m_GI->m_columns[std::size_t(col)].dataSourceCol == storeCol)
            return col;
    }
    return -1;
}

void CUGCtrl::shiftStoreColumns(int from, int delta)
{
    for (UgColumnRecord &record : m_GI->m_columns) {
        if (record.dataSourceCol >= from)
            record.dataSourceCol += delta;
    }
}

int CUGCtrl::compareForSort(CUGCell *a, CUGCell *b, int flags)
{
    return CompareCellsForSort(a, b, flags);
}

void CUGCtrl::selectionChanged(int right, int top, int left, int bottom, int blockCount)
{
    HookSelectionChanged(right, top, left, bottom, blockCount);
}

CUGRedrawList *CUGCtrl::selectionRedrawList()
{
    return &m_grid->m_redrawList;
}

int CUGCtrl::selectionColumnCount() const
{
    return m_GI->m_colCount;
}

void CUGCtrl::reportedCell(int *col, int *row) const
{
    *col = m_GI->m_reportedCol;
    *row = m_GI->m_reportedRow;
}

Qt::KeyboardModifiers CUGCtrl::selectionModifiers() const
{
    return m_modifierSource();
}

// ---- Cell access ----

CUGDataSource *CUGCtrl::DataSourceOfColumn(int col) const
{
    if (col >= 0 && col < m_GI->m_colCount) {
        if (CUGDataSource *own = m_GI->m_columns[std::size_t(col)].dataSource)
            return own;
    }
    return m_GI->m_dataSource;
}

int CUGCtrl::storeColumnOf(int col) const
{
    if (col >= 0 && col < m_GI->m_colCount)
        return m_GI->m_columns[std::size_t(col)].dataSourceCol;
    return col;
}

int CUGCtrl::ReadCell(int col, int row, CUGCell *cell)
{
    if (col >= m_GI->m_colCount)
        return 1;
    cell->m_properties = 0;
    return DataSourceOfColumn(col)->LoadCell(storeColumnOf(col), row, cell);
}

int CUGCtrl::WriteCell(int col, int row, CUGCell *cell)
{
    // A cell may be written one row past the end: it shows once the row count grows.
    if (col < -m_GI->m_sideHdgColCount || col >= m_GI->m_colCount || row < -m_GI->m_topHdgRowCount ||
        row > m_GI->m_rowCount)
        return 1;
    HookCellWrite(col, row, cell);
    DataSourceOfColumn(col)->StoreCell(storeColumnOf(col), row, cell);
    return 0;
}

int CUGCtrl::GetCellComposite(int col, int row, CUGCell *cell)
{
    cell->m_properties = 0;
    const bool heading = col < 0 || row < 0 || col >= m_GI->m_colCount;
    if (!heading) {
        if (const CUGCell *columnDefault = m_GI->m_columns[std::size_t(col)].defaultCell.get())
            cell->MergeFrom(*columnDefault);
    } else {
        cell->MergeFrom(*m_GI->m_hdgDefaultCell);
        if (row == -m_GI->m_topHdgRowCount) {
            cell->m_themeStyle = 32;
            cell->m_properties |= CellProp::ThemeStyle;
        } else if (col == -m_GI->m_sideHdgColCount) {
            cell->m_themeStyle = 64;
            cell->m_properties |= CellProp::ThemeStyle;
        }
    }
    // Rows past the end show only their column's or heading's defaults.
    if (row >= m_GI->m_rowCount)
        return 0;
    const int storeCol = storeColumnOf(col);
    DataSourceOfColumn(col)->LoadCell(storeCol, row, cell);
    HookCellRead(storeCol, row, cell);
    if (cell->Has(CellProp::Format) && cell->m_format)
        cell->m_format->ApplyFormat(cell);
    if (cell->Has(CellProp::StyleCell) && cell->m_styleCell)
        cell->MergeFrom(*cell->m_styleCell);
    return 0;
}

int CUGCtrl::GetCellTextTo(int col, int row, QString &text)
{
    GetCellComposite(col, row, &m_cell);
    const QString *shown = m_cell.GetDisplayText();
    text = shown ? *shown : QString();
    return 0;
}

std::optional<QString> CUGCtrl::GetCellTextPtr(int col, int row)
{
    GetCellComposite(col, row, &m_cell);
    if (const QString *shown = m_cell.GetDisplayText())
        return *shown;
    return std::nullopt;
}

template <typename Change> int CUGCtrl::changeStoredCell(int col, int row, Change change)
{
    // Only the stored cell is changed: column defaults and hook values are not copied into it.
    m_cell.ResetAllFields();
    ReadCell(col, row, &m_cell);
    change(m_cell);
    WriteCell(col, row, &m_cell);
    return 0;
}

int CUGCtrl::SetCellText(int col, int row, const QString &text)
{
    return changeStoredCell(col, row, [&](CUGCell &cell) { cell.AssignText(text); });
}

int CUGCtrl::SetCellNumber(int col, int row, double number)
{
    return changeStoredCell(col, row, [&](CUGCell &cell) { cell.SetNumber(number); });
}

int CUGCtrl::SetCellLabel(int col, int row, const QString &label)
{
    return changeStoredCell(col, row, [&](CUGCell &cell) {
        cell.m_label = label;
        cell.m_properties |= CellProp::Label;
    });
}

int CUGCtrl::SetCellTextColor(int col, int row, COLORREF color)
{
    return changeStoredCell(col, row, [&](CUGCell &cell) {
        cell.m_textColor = color;
        cell.m_properties |= CellProp::TextColor;
    });
}

int CUGCtrl::SetCellBackColor(int col, int row, COLORREF color)
{
    return changeStoredCell(col, row, [&](CUGCell &cell) {
        cell.m_backColor = color;
        cell.m_properties |= CellProp::BackColor;
    });
}

int CUGCtrl::SetCellBitmap(int col, int row, const QPixmap *bitmap)
{
    return changeStoredCell(col, row, [&](CUGCell &cell) {
        cell.m_bitmap = bitmap;
        if (bitmap)
            cell.m_properties |= CellProp::Bitmap;
        else
            cell.m_properties &= ~CellProp::Bitmap;
    });
}

int CUGCtrl::SetCellAlignment(int col, int row, unsigned short alignment)
{
    return changeStoredCell(col, row, [&](CUGCell &cell) {
        cell.m_alignment = alignment;
        cell.m_properties |= CellProp::Alignment;
    });
}

int CUGCtrl::MakeCellDropList(int col, int row)
{
    return changeStoredCell(col, row, [&](CUGCell &cell) {
        cell.m_cellTypeIndex = CellTypeDropList;
        cell.m_properties |= CellProp::CellType;
    });
}

int CUGCtrl::SetCellTypeParam(int col, int row, unsigned int param)
{
    return changeStoredCell(col, row, [&](CUGCell &cell) {
        cell.m_cellTypeParam = int(param);
        cell.m_properties |= CellProp::CellTypeParam;
    });
}

int CUGCtrl::JoinCellRange(int firstCol, int firstRow, int lastCol, int lastRow)
{
    if (firstCol > lastCol || firstRow > lastRow || lastCol >= m_GI->m_colCount ||
        lastRow >= m_GI->m_rowCount || firstCol < -m_GI->m_sideHdgColCount ||
        firstRow < -m_GI->m_topHdgRowCount)
        return 1;
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int col = firstCol; col <= lastCol; ++col) {
            ReadCell(col, row, &m_cell);
            m_cell.m_properties |= CellProp::Join;
            m_cell.m_joinOrigin = 0;
            m_cell.m_joinRowOffset = firstRow - row;
            m_cell.m_joinColOffset = firstCol - col;
            WriteCell(col, row, &m_cell);
        }
    }
    ReadCell(firstCol, firstRow, &m_cell);
    m_cell.m_properties |= CellProp::Join;
    m_cell.m_joinOrigin = 1;
    m_cell.m_joinRowOffset = lastRow - firstRow;
    m_cell.m_joinColOffset = lastCol - firstCol;
    WriteCell(firstCol, firstRow, &m_cell);
    return 0;
}

int CUGCtrl::joinOrigin(int *col, int *row, CUGCell *originCell)
{
    if (!m_GI->m_joining)
        return 1;
    CUGCell own;
    CUGCell *cell = originCell ? originCell : &own;
    GetCellComposite(*col, *row, cell);
    if (!cell->IsJoined())
        return 2;
    if (!cell->m_joinOrigin) {
        *col += cell->m_joinColOffset;
        *row += cell->m_joinRowOffset;
        if (originCell)
            GetCellComposite(*col, *row, originCell);
    }
    return 0;
}

int CUGCtrl::FindJoinedBlock(int *col, int *row, int *lastCol, int *lastRow)
{
    CUGCell cell;
    const int result = joinOrigin(col, row, &cell);
    if (result != 0)
        return result;
    *lastCol = *col + cell.m_joinColOffset;
    *lastRow = *row + cell.m_joinRowOffset;
    return 0;
}

int CUGCtrl::MoveToJoinOrigin(int *col, int *row)
{
    return joinOrigin(col, row, nullptr);
}

CUGCellType *CUGCtrl::GetCellTypeByIndex(int index) const
{
    if (auto *cellType = static_cast<CUGCellType *>(m_cellTypeList.GetPointer(index)))
        return cellType;
    return const_cast<CUGCellType *>(&m_normalType);
}

CUGCellType *CUGCtrl::GetCellTypeOfCell(int col, int row)
{
    CUGCell cell;
    GetCellComposite(col, row, &cell);
    return CellTypeOf(cell);
}

CUGCellType *CUGCtrl::CellTypeOf(const CUGCell &cell) const
{
    if (cell.Has(CellProp::CellType) && cell.m_cellTypeIndex >= 1)
        return GetCellTypeByIndex(cell.m_cellTypeIndex);
    return const_cast<CUGCellType *>(&m_normalType);
}

int CUGCtrl::SelectRange(int firstCol, int firstRow, int lastCol, int lastRow)
{
    CUGMultiSelect *selection = m_GI->m_multiSelect.get();
    if (selection->GetSelectMode() & (CUGMultiSelect::kCellBlocks | CUGMultiSelect::kWholeRows)) {
        selection->StartBlock(firstCol, firstRow);
        selection->EndBlock(lastCol, lastRow);
    }
    m_GI->m_currentCol = lastCol;
    m_GI->m_currentRow = lastRow;
    m_grid->m_redrawList.AddRange(firstCol, firstRow, lastCol, lastRow);
    m_grid->RepaintPending();
    return 0;
}

int CUGCtrl::PasteText(const QString &text)
{
    const int startCol = m_GI->m_currentCol;
    const int startRow = m_GI->m_currentRow;
    if (startCol < 0 || startRow < 0)
        return 0;
    int col = startCol;
    int row = startRow;
    int lastCol = startCol;
    int lastRow = startRow;
    auto writeField = [&](const QString &field) {
        lastCol = std::max(lastCol, col);
        lastRow = std::max(lastRow, row);
        if (col > m_GI->m_colCount - 1 || row > m_GI->m_rowCount - 1)
            return;
        GetCellComposite(col, row, &m_scratchCell);
        if (m_scratchCell.Has(CellProp::ReadOnly) && m_scratchCell.m_readOnly == 1)
            return;
        m_cell.ResetAllFields();
        ReadCell(col, row, &m_cell);
        m_cell.AssignText(field);
        WriteCell(col, row, &m_cell);
    };

    QString field;
    bool endedWithLineBreak = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        endedWithLineBreak = false;
        if (ch == u'\t') {
            writeField(field);
            field.clear();
            ++col;
        } else if (ch == u'\r' || ch == u'\n') {
            writeField(field);
            field.clear();
            if (ch == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            col = startCol;
            ++row;
            endedWithLineBreak = true;
        } else {
            field += ch;
        }
    }
    // A closing line break ends the last row; it does not start a new one.
    if (!endedWithLineBreak)
        writeField(field);

    m_GI->m_multiSelect->ClearAll();
    // The selection stays inside the grid even when the text reached past its edges.
    SelectRange(startCol, startRow, std::min(lastCol, m_GI->m_colCount - 1),
                std::min(lastRow, m_GI->m_rowCount - 1));
    RepaintAllParts();
    return 0;
}

int CUGCtrl::CompareCellsForSort(CUGCell *a, CUGCell *b, int flags)
{
    if (!a)
        return b ? 1 : 0;
    if (!b)
        return -1;
    if (flags & 2)
        std::swap(a, b);
    if (a->Has(CellProp::DataType) &&
        (a->m_dataType == CellData::Number || a->m_dataType == CellData::Check ||
         a->m_dataType == CellData::Currency)) {
        const double numberA = a->GetNumber();
        const double numberB = b->GetNumber();
        return numberA > numberB ? 1 : (numberA < numberB ? -1 : 0);
    }
    const QString *textA = a->GetDisplayText();
    if (!textA)
        return 1;
    const QString *textB = b->GetDisplayText();
    if (!textB)
        return -1;
    const int result = QString::compare(*textA, *textB, Qt::CaseSensitive);
    return result > 0 ? 1 : (result < 0 ? -1 : 0);
}

// ---- Find and replace ----

bool CUGCtrl::findNext(const QString &text, int flags)
{
    int col = storeColumnOf(m_GI->m_currentCol);
    int row = m_GI->m_currentRow;
    if (m_GI->m_dataSource->FindNextText(text, &col, &row, flags) != 0)
        return false;
    const int gridCol = gridColumnOfStoreColumn(col);
    return MoveCurrentCellTo(gridCol >= 0 ? gridCol : col, row) == 0;
}

int CUGCtrl::OnFindReplace(const UgFindRequest &request)
{
    if (request.closing) {
        update();
        return 1;
    }
    const int flags =
        (request.matchCase ? 0 : CUGMem::kFindIgnoreCase) | (request.wholeWord ? 0 : CUGMem::kFindPartial) |
        (request.searchDown ? 0 : CUGMem::kFindBackwards) | (m_findAllColumns ? CUGMem::kFindAllColumns : 0);
    auto replaceCurrent = [&] {
        SetCellText(m_GI->m_currentCol, m_GI->m_currentRow, request.replaceText);
        RepaintCell(m_GI->m_currentCol, m_GI->m_currentRow);
    };
    if (request.replaceCurrent || request.replaceAll)
        replaceCurrent();
    if (request.findText.isEmpty())
        return 0;

    bool found = findNext(request.findText, flags);
    if (request.replaceAll) {
        // One pass over the grid at most: a replacement that still holds the text is found
        // again, and the search would never fail.
        const int firstCol = m_GI->m_currentCol;
        const int firstRow = m_GI->m_currentRow;
        const qint64 limit = qint64(m_GI->m_colCount) * m_GI->m_rowCount;
        for (qint64 replaced = 0; found && replaced < limit; ++replaced) {
            replaceCurrent();
            found = findNext(request.findText, flags);
            if (found && m_GI->m_currentCol == firstCol && m_GI->m_currentRow == firstRow)
                return 0;
        }
    }
    if (!found) {
        auto *box = new QMessageBox(QMessageBox::Information, QStringLiteral("Not Found"),
                                    QStringLiteral("Item not found"), QMessageBox::Ok,
                                    request.dialog ? request.dialog : this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    }
    return 0;
}
