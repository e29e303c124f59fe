#include "reports/CounterDlg.h"

#include "controls/grid/MyCug.h"
#include "controls/grid/UGGridInfo.h"
#include "controls/widgets/ButtonST.h"
#include "engine/EngineHost.h"
#include "platform/Prompter.h"
#include "platform/xls/XlsBook.h"

#include <QDateTime>
#include <QGroupBox>
#include <QPainter>
#include <QPainterPath>
#include <ctime>

namespace {

constexpr int kCounterDlgHeadingRowAlignment = 1;
constexpr int kCounterDlgHeadingColumnAlignment = 4;
// The cell property of the headings that the grid family reads as its heading look.
constexpr unsigned kCounterDlgHeadingTypeParam = 2;
const char *const kCounterDlgColumnTitleKeys[CCounterDlg::kColumns] = {
    "CounterDlg_Server_Port", "CounterDlg_Host_Port", "CounterDlg_Non_IGMP_Port"};

// Sheet cells, 0-based: the title in A1 and C3, the names in A6 and A7, the time in row 9, the table's
// heading row in row 11 from column B on.
constexpr int kCounterDlgSheetTitleRow = 0;
constexpr int kCounterDlgSheetBannerRow = 2;
constexpr int kCounterDlgSheetBannerColumn = 2;
constexpr int kCounterDlgSheetTesterRow = 5;
constexpr int kCounterDlgSheetDutRow = 6;
constexpr int kCounterDlgSheetTimeRow = 8;
constexpr int kCounterDlgSheetTableRow = 10;
constexpr int kCounterDlgSheetTableColumn = 1;
constexpr double kCounterDlgSheetColumnWidth = 20;
// Palette colours of the table: silver headings, light green cells.
constexpr std::uint8_t kCounterDlgHeadingFill = 22; // 0xC0C0C0
constexpr std::uint8_t kCounterDlgCellFill = 42;    // 0xCCFFCC

} // namespace

CCounterDlg::CCounterDlg(QWidget *parent)
    : QWidget(parent), FrameBox(new QGroupBox(this)), CounterGrid(new MyCug(this)),
      SaveButton(new CButtonST(this)), ClearButton(new CButtonST(this))
{
    resize(834, 507);
    CounterGrid->InitAttachedWindow(this);
    for (CButtonST *button : {SaveButton, ClearButton}) {
        button->resize(60, 33);
        button->AssignStateBitmaps(ButtonBitmap(button == SaveButton ? kSaveBitmap : kClearBitmap), 0xFFFFFF);
        button->LightenBackColor();
        button->AssignAlignment(0);
        button->raise();
    }
    ClearButton->setEnabled(false);
    connect(SaveButton, &QPushButton::clicked, this, &CCounterDlg::OnSave);
    connect(ClearButton, &QPushButton::clicked, this, &CCounterDlg::OnClear);
    InitCounterGrid();
    SetButtonTexts();
    OnSize();
}

QImage CCounterDlg::ButtonBitmap(int id)
{
    if (id != kSaveBitmap && id != kClearBitmap)
        return QImage();
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    if (id == kSaveBitmap) {
        painter.fillRect(QRect(1, 1, 14, 14), QColor(0x20, 0x40, 0x90));
        painter.fillRect(QRect(4, 1, 8, 5), QColor(0xE0, 0xE0, 0xE0));
        painter.fillRect(QRect(3, 9, 10, 6), QColor(0xF8, 0xF8, 0xF8));
    } else {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(0xC0, 0x20, 0x20), 3, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(3, 3, 12, 12);
        painter.drawLine(12, 3, 3, 12);
    }
    return image;
}

void CCounterDlg::InitCounterGrid()
{
    CounterGrid->CurrentSheet()->m_defColWidth = 100;
    CounterGrid->CurrentSheet()->m_defRowHeight = 25;
    CounterGrid->SetRowCount(kRows);
    CounterGrid->SetColumnCount(kColumns);
    CounterGrid->SetSideHeadingWidth(120);
    CounterGrid->SetTopHeadingHeight(30);
    UgLogFont logFont;
    logFont.height = 14;
    logFont.weight = 500;
    logFont.faceName = QStringLiteral("Arial");
    const QFont *font = CounterGrid->GetFont(CounterGrid->FindOrAddFont(logFont));
    const auto styleHeading = [&](int col, int row, unsigned short alignment) {
        CUGCell cell;
        CounterGrid->ReadCell(col, row, &cell);
        if (font) {
            cell.m_font = font;
            cell.m_properties |= CellProp::Font;
        }
        cell.m_alignment = alignment;
        cell.m_properties |= CellProp::Alignment;
        CounterGrid->WriteCell(col, row, &cell);
        CounterGrid->SetCellTypeParam(col, row, kCounterDlgHeadingTypeParam);
    };
    for (int row = 0; row < kRows; ++row)
        styleHeading(-1, row, kCounterDlgHeadingRowAlignment);
    for (int col = -1; col < kColumns; ++col)
        styleHeading(col, -1, kCounterDlgHeadingColumnAlignment);
    CounterGrid->SetCellText(-1, -1, QString());
}

void CCounterDlg::SetRowTitles(const QStringList &titles)
{
    for (int row = 0; row < kRows; ++row)
        CounterGrid->SetCellText(-1, row, titles.value(row));
}

void CCounterDlg::SetButtonTexts()
{
    const EngineHost &host = EngineHost::instance();
    SaveButton->setText(host.text(QStringLiteral("CounterDlg_Save")));
    ClearButton->setText(host.text(QStringLiteral("CounterDlg_Clear")));
    for (int col = 0; col < kColumns; ++col)
        CounterGrid->SetCellText(col, -1, host.text(QString::fromLatin1(kCounterDlgColumnTitleKeys[col])));
}

void CCounterDlg::OnSave()
{
    ExportCounterWorkbook(*this);
}

void CCounterDlg::OnClear()
{
    CounterGrid->ClearAllText();
    CounterGrid->RepaintAllParts();
}

void CCounterDlg::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    OnSize();
}

void CCounterDlg::OnSize()
{
    FrameBox->setGeometry(rect());
    const QRect frame = FrameBox->geometry();
    SaveButton->move(frame.left() + 10, frame.top() + 10);
    ClearButton->move(SaveButton->geometry().right() + 1 + 15, frame.top() + 10);
    const int gridTop = SaveButton->geometry().bottom() + 1 + 10;
    CounterGrid->setGeometry(frame.left(), gridTop, frame.width(),
                             std::max(0, frame.bottom() + 1 - 5 - gridTop));
}

QString FormatLocalTime(std::int64_t time)
{
    const std::time_t value = static_cast<std::time_t>(time);
    std::tm local{};
    if (!localtime_r(&value, &local))
        return QString();
    char text[128];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return length ? QString::fromLatin1(text, qsizetype(length)) : QString();
}

void ExportCounterWorkbook(CCounterDlg &dialog)
{
    Prompter &prompter = Prompter::current();
    const QString path = prompter.saveFileName(QString(), QStringLiteral("*.xls"),
                                               QStringLiteral("Excel (*.xls)"), QStringLiteral("xls"));
    if (path.isEmpty())
        return;

    MyCug &grid = *dialog.CounterGrid;
    const int rows = grid.GetRowCount();
    const int columns = grid.GetColumnCount();
    XlsBook book;
    XlsFont *titleFont = book.addFont();
    titleFont->setBold(true);
    titleFont->setSize(16);
    XlsFormat *title = book.addFormat();
    title->setAlignH(XlsFormat::AlignHLeft);
    title->setFont(titleFont);
    XlsFormat *heading = book.addFormat();
    heading->setBorder(XlsFormat::BorderThin);
    heading->setFillPattern(XlsFormat::FillSolid);
    heading->setPatternForegroundColor(kCounterDlgHeadingFill);
    XlsFormat *cell = book.addFormat();
    cell->setBorder(XlsFormat::BorderThin);
    cell->setFillPattern(XlsFormat::FillSolid);
    cell->setPatternForegroundColor(kCounterDlgCellFill);

    XlsSheet *sheet = book.addSheet(QStringLiteral("Counter"));
    // One column more than the grid has, from B on: the row headings and the counters.
    sheet->setCol(kCounterDlgSheetTableColumn, kCounterDlgSheetTableColumn + columns,
                  kCounterDlgSheetColumnWidth);
    sheet->writeStr(kCounterDlgSheetTitleRow, 0, QStringLiteral("Export Counter Report"), title);
    sheet->writeStr(kCounterDlgSheetBannerRow, kCounterDlgSheetBannerColumn,
                    QStringLiteral("            Corvane Technologies : Tavrix-IGMP-TQ Counter Report"),
                    title);
    const EngineHost &host = EngineHost::instance();
    sheet->writeStr(kCounterDlgSheetTesterRow, 0,
                    host.text(QStringLiteral("Reserved_Tester_Name")) + u':' + dialog.TesterName);
    sheet->writeStr(kCounterDlgSheetDutRow, 0,
                    host.text(QStringLiteral("Reserved_DUT_Name")) + u':' + dialog.DutName);
    sheet->writeStr(kCounterDlgSheetTimeRow, kCounterDlgSheetTableColumn + columns,
                    FormatLocalTime(QDateTime::currentSecsSinceEpoch()));
    for (int row = -1; row < rows; ++row) {
        for (int col = -1; col < columns; ++col) {
            QString text;
            grid.GetCellTextTo(col, row, text);
            sheet->writeStr(kCounterDlgSheetTableRow + 1 + row, kCounterDlgSheetTableColumn + 1 + col, text,
                            row < 0 ? heading : cell);
        }
    }
    if (const SaveResult saved = book.save(path); !saved)
        prompter.messageBox(host.saveFailureText(QStringLiteral("CounterDlg_Save_Fail"), saved),
                            MB_OK | MB_ICONERROR);
}
