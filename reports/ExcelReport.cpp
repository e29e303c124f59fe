// The spreadsheet test report: chassis, system and port information, a summary with one chart and one
// result table per benchmark that ran, one sheet per benchmark with its whole result grid and chart,
// and the counter page over as many counter sheets as it needs.
#include "engine/LanguageText.h"
#include "reports/CounterLog.h"

#include "controls/grid/MyCug.h"
#include "controls/widgets/SkinListCtrl.h"
#include "engine/EngineHost.h"
#include "platform/NumberText.h"
#include "platform/xls/XlsBook.h"
#include "ports/ModuleInfodlg.h"
#include "ports/PortInfoConfig.h"
#include "ports/SysInfoDlg.h"
#include "reports/ReportAggregate.h"
#include "reports/ReportFilter.h"
#include "reports/ReportLatency.h"
#include "reports/ReportMixClass.h"
#include "reports/ReportScale.h"
#include "reports/ReportSources.h"

#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <vector>

namespace {

// Colours of the standard palette.
constexpr std::uint8_t kExcelGrey = 22;
constexpr std::uint8_t kExcelPeriwinkle = 24;
constexpr std::uint8_t kExcelSkyBlue = 40;
// Built-in number format "#,##0.00".
constexpr std::uint16_t kExcelTwoDecimals = 4;
// The chart pictures, in pixels.
constexpr int kExcelChartWidth = 800;
constexpr int kExcelChartHeight = 280;
// Counter texts longer than this stay text.
constexpr int kExcelMaxNumberText = 255;

struct ExcelColumnWidth
{
    int first, last;
    double width;
};

// A benchmark with a section in the summary and a sheet of its own.
struct ExcelBenchmark
{
    int ranIndex; // its flag in the result set
    ReportPage *ReportResultPages::*page;
    const char *sheetNameKey;
    const char *summaryTitleKey;
    std::vector<ExcelColumnWidth> widths;
};

const std::array<ExcelBenchmark, 5> &excelBenchmarks()
{
    static const std::array<ExcelBenchmark, 5> benchmarks{{
        {0,
         &ReportResultPages::MixClass,
         "XlsReport_Sheet_Mix_Class",
         "XlsReport_Section_Mix_Class",
         {{0, 9, 16}}},
        {1,
         &ReportResultPages::Aggregate,
         "XlsReport_Sheet_Aggregate",
         "XlsReport_Section_Aggregate",
         {{0, 9, 14}}},
        {2, &ReportResultPages::Scale, "XlsReport_Sheet_Scale", "XlsReport_Section_Scale", {{0, 9, 14}}},
        {3,
         &ReportResultPages::Latency,
         "XlsReport_Sheet_Latency",
         "XlsReport_Section_Latency",
         {{0, 5, 10}, {6, 6, 12}, {7, 8, 18}}},
        {6, &ReportResultPages::Filter, "XlsReport_Sheet_Filter", "XlsReport_Section_Filter", {{0, 9, 19}}},
    }};
    return benchmarks;
}

// The number a counter cell's text stands for: the whole text, blanks around it aside, read the C way;
// none when the text is anything else.
std::optional<double> excelNumberOf(const QString &text)
{
    const QByteArray bytes = text.trimmed().toLatin1();
    if (bytes.isEmpty() || text.size() > kExcelMaxNumberText)
        return std::nullopt;
    double value = 0;
    const char *end = bytes.constData() + bytes.size();
    const auto [stop, error] = std::from_chars(bytes.constData(), end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool excelContainsAny(const QString &text, std::initializer_list<const char *> words)
{
    for (const char *word : words) {
        if (text.contains(QLatin1String(word)))
            return true;
    }
    return false;
}

class ExcelReportWriter
{
public:
    ExcelReportWriter(CCounterLog &counters) : m_counters(counters), m_pages(counters.ResultPages())
    {
        makeFormats();
    }

    SaveResult save(const QString &path)
    {
        writeChassisSheet();
        writeSystemSheet();
        writePortSheet();
        writeSummarySheet();
        writeBenchmarkSheets();
        writeCounterSheets();
        return m_book.save(path);
    }

private:
    void makeFormats();
    void writeChassisSheet();
    void writeSystemSheet();
    void writePortSheet();
    void writeSummarySheet();
    void writeBenchmarkSheets();
    void writeCounterSheets();
    // A new counter sheet with its title row.
    XlsSheet *addCounterSheet(int page);
    // One counter cell by its text: labels as text, counts as numbers, latencies highlighted.
    void writeCounterCell(XlsSheet &sheet, int sheetRow, int column, const QString &text, bool highlighted);
    bool ran(const ExcelBenchmark &benchmark) const { return m_pages.ran(benchmark.ranIndex); }
    static QString cellText(CUGCtrl &grid, int column, int row)
    {
        QString text;
        grid.GetCellTextTo(column, row, text);
        return text;
    }

    CCounterLog &m_counters;
    const ReportResultPages &m_pages;
    XlsBook m_book;
    XlsFormat *m_heading = nullptr;
    XlsFormat *m_centred = nullptr;
    XlsFormat *m_title = nullptr;
    XlsFormat *m_highlightedNumber = nullptr;
    XlsFormat *m_right = nullptr;
    XlsFormat *m_number = nullptr;
    // The chart picture of each benchmark, added with its summary section; -1 for none.
    std::array<int, 5> m_pictures{-1, -1, -1, -1, -1};
};

void ExcelReportWriter::makeFormats()
{
    XlsFont *bold = m_book.addFont();
    bold->setBold(true);
    m_heading = m_book.addFormat();
    m_heading->setFont(bold);
    m_heading->setFillPattern(XlsFormat::FillSolid);
    m_heading->setPatternForegroundColor(kExcelPeriwinkle);
    m_heading->setBorder(XlsFormat::BorderThin);
    m_heading->setBorderColor(kExcelGrey);

    m_centred = m_book.addFormat();
    m_centred->setAlignH(XlsFormat::AlignHCentre);
    m_centred->setAlignV(XlsFormat::AlignVDistributed);

    m_title = m_book.addFormat();
    m_title->setAlignH(XlsFormat::AlignHCentre);
    m_title->setAlignV(XlsFormat::AlignVCentre);
    m_title->setFillPattern(XlsFormat::FillSolid);
    m_title->setPatternForegroundColor(kExcelSkyBlue);
    m_title->setBorder(XlsFormat::BorderThin);
    m_title->setBorderColor(kExcelGrey);

    m_highlightedNumber = m_book.addFormat();
    m_highlightedNumber->setAlignH(XlsFormat::AlignHCentre);
    m_highlightedNumber->setFillPattern(XlsFormat::FillSolid);
    m_highlightedNumber->setPatternForegroundColor(kExcelSkyBlue);
    m_highlightedNumber->setBorder(XlsFormat::BorderThin);
    m_highlightedNumber->setBorderColor(kExcelGrey);
    m_highlightedNumber->setNumFormat(kExcelTwoDecimals);

    m_right = m_book.addFormat();
    m_right->setAlignH(XlsFormat::AlignHRight);

    m_number = m_book.addFormat();
    m_number->setNumFormat(kExcelTwoDecimals);
}

void ExcelReportWriter::writeChassisSheet()
{
    XlsSheet *sheet = m_book.addSheet(languageText("XlsReport_Sheet_Chassis"));
    if (!sheet)
        return;
    sheet->setCol(0, 0, 15);
    CModuleInfodlg *window = ReportSources::instance().readModuleInfo(&m_counters);
    if (!window)
        return;
    CUGCtrl &grid = *window->Grid();
    const int columns = grid.GetColumnCount();
    const int rows = grid.GetRowCount();
    if (columns > 0)
        sheet->setCol(1, columns, 25);
    for (int c = -1; c < columns; ++c) {
        for (int r = -1; r < rows; ++r) {
            sheet->writeStr(r + 1, c + 1, cellText(grid, c, r), r == -1 ? m_heading : nullptr);
            if (c == -1)
                sheet->setRow(r + 1, 15);
        }
    }
}

void ExcelReportWriter::writeSystemSheet()
{
    XlsSheet *sheet = m_book.addSheet(languageText("XlsReport_Sheet_System"));
    if (!sheet)
        return;
    sheet->setCol(0, 0, 20);
    sheet->setCol(1, 1, 25);
    const ReportSources &sources = ReportSources::instance();
    const CSysInfoDlg *info = sources.systemInfoPage ? sources.systemInfoPage() : nullptr;
    for (int k = 0; k < CSysInfoDlg::FieldCount; ++k) {
        sheet->setRow(k, 20);
        if (!info)
            continue;
        sheet->writeStr(k, 0, info->labelText(k), m_heading);
        sheet->writeStr(k, 1, info->valueText(k));
    }
}

void ExcelReportWriter::writePortSheet()
{
    XlsSheet *sheet = m_book.addSheet(languageText("XlsReport_Sheet_Port"));
    if (!sheet)
        return;
    const ReportSources &sources = ReportSources::instance();
    const CPortInfoConfig *page = sources.portInfoPage ? sources.portInfoPage() : nullptr;
    CUGCtrl *grid = page ? page->SettingsGrid : nullptr;
    sheet->setCol(0, 0, 15);
    if (!grid)
        return;
    const int columns = grid->GetColumnCount();
    const int rows = grid->GetRowCount();
    if (columns > 0)
        sheet->setCol(1, columns, 25);
    // Grid row 0 (the row that sets every port) is left out; port row r goes to sheet row r.
    for (int c = -1; c < columns; ++c) {
        for (int r = -1; r < rows; ++r) {
            if (r == 0)
                continue;
            const int sheetRow = r == -1 ? 0 : r;
            sheet->writeStr(sheetRow, c + 1, cellText(*grid, c, r), r == -1 || c == -1 ? m_heading : nullptr);
            if (c == -1)
                sheet->setRow(sheetRow, 15);
        }
    }
}

void ExcelReportWriter::writeSummarySheet()
{
    XlsSheet *sheet = m_book.addSheet(languageText("XlsReport_Sheet_Summary"));
    if (!sheet)
        return;
    sheet->setMerge(0, 0, 0, 9);
    sheet->setRow(0, 20);
    sheet->setCol(0, 9, 12);
    sheet->writeStr(0, 0, languageText("XlsReport_Summary_Title"), m_title);
    int next = 1;
    for (std::size_t b = 0; b < excelBenchmarks().size(); ++b) {
        const ExcelBenchmark &benchmark = excelBenchmarks()[b];
        if (!ran(benchmark))
            continue;
        ReportPage &page = *(m_pages.*benchmark.page);
        const int top = next + 1;
        m_pictures[b] = m_book.addPicture(page.MakeChartImageData());
        sheet->setPicture(top, 0, m_pictures[b], kExcelChartWidth, kExcelChartHeight);
        sheet->writeStr(top + 17, 0, QString(99, u'='));
        sheet->setMerge(top + 18, top + 18, 0, 9);
        sheet->writeStr(top + 18, 0, languageText(benchmark.summaryTitleKey));
        sheet->writeStr(top + 19, 0, QString(198, u'-'));

        // The result table from the column titles on; a joined block is written on its first row and
        // merged down, each of its columns on its own.
        CUGCtrl &grid = *page.Grid;
        const int columns = grid.GetColumnCount();
        int row = top + 20;
        for (int r = ReportPage::kColumnTitleRow; r < grid.GetRowCount(); ++r, ++row) {
            for (int c = 0; c < columns; ++c) {
                int originColumn = c, originRow = r, lastColumn = c, lastRow = r;
                const bool joined =
                    grid.FindJoinedBlock(&originColumn, &originRow, &lastColumn, &lastRow) == 0;
                if (joined && originRow != r)
                    continue;
                sheet->writeStr(row, c, cellText(grid, c, r), m_centred);
                if (joined && lastRow > r)
                    sheet->setMerge(row, row + lastRow - r, c, c);
            }
        }
        next = row;
    }
}

void ExcelReportWriter::writeBenchmarkSheets()
{
    for (std::size_t b = 0; b < excelBenchmarks().size(); ++b) {
        const ExcelBenchmark &benchmark = excelBenchmarks()[b];
        if (!ran(benchmark))
            continue;
        XlsSheet *sheet = m_book.addSheet(languageText(benchmark.sheetNameKey));
        if (!sheet)
            continue;
        for (const ExcelColumnWidth &width : benchmark.widths)
            sheet->setCol(width.first, width.last, width.width);
        CUGCtrl &grid = *(m_pages.*benchmark.page)->Grid;
        const int rows = grid.GetRowCount();
        const int columns = grid.GetColumnCount();
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                int originColumn = c, originRow = r, lastColumn = c, lastRow = r;
                if (grid.FindJoinedBlock(&originColumn, &originRow, &lastColumn, &lastRow) != 0) {
                    sheet->writeStr(r, c, cellText(grid, c, r), m_centred);
                    continue;
                }
                if (originColumn != c || originRow != r)
                    continue;
                // Header labels (rows 2 to 7) to the right; the value blocks and rules as they are.
                const bool header = r >= 1 && r < ReportPage::kColumnTitleRow;
                const XlsFormat *format = !header ? m_centred : c == 0 && r < 8 ? m_right : nullptr;
                sheet->writeStr(r, c, cellText(grid, c, r), format);
                if (lastRow > r || lastColumn > c)
                    sheet->setMerge(r, lastRow, c, lastColumn);
            }
        }
        if (m_pictures[b] >= 0)
            sheet->setPicture(rows + 1, 0, m_pictures[b], kExcelChartWidth, kExcelChartHeight);
    }
}

XlsSheet *ExcelReportWriter::addCounterSheet(int page)
{
    XlsSheet *sheet =
        m_book.addSheet(fillPlaceholders(languageText("XlsReport_Sheet_Counter"), {QString::number(page)}));
    if (!sheet)
        return nullptr;
    for (int k = 0; k < CCounterLog::kColumnCount; ++k) {
        sheet->writeStr(0, k, m_counters.List->GetColumnCaption(k).left(255), m_heading);
        sheet->setCol(k, k, 24);
    }
    sheet->setCol(0, 0, 12);
    return sheet;
}

void ExcelReportWriter::writeCounterCell(XlsSheet &sheet, int sheetRow, int column, const QString &text,
                                         bool highlighted)
{
    if (excelContainsAny(text, {"(", "Benchmark", "Destination Port", "Fail", "Pass", "Group"})) {
        sheet.writeStr(sheetRow, column, text);
    } else if (excelContainsAny(text, {"n/a", "Test Pair"})) {
        sheet.writeStr(sheetRow, column, text, m_right);
    } else if (text.contains(QLatin1String("Latency"))) {
        sheet.writeStr(sheetRow, column, text, m_title);
    } else if (highlighted || (column != 1 && !text.isEmpty())) {
        // Numbers are numbers; anything else keeps its text, so that nothing reads as a false 0.
        const XlsFormat *format = highlighted ? m_highlightedNumber : m_number;
        if (const std::optional<double> value = excelNumberOf(text))
            sheet.writeNum(sheetRow, column, *value, format);
        else
            sheet.writeStr(sheetRow, column, text, format);
    } else if (column == 1) {
        sheet.writeStr(sheetRow, column, text, m_right);
    }
}

void ExcelReportWriter::writeCounterSheets()
{
    const CSkinListCtrl &list = *m_counters.List;
    // The rows of the last trial block and the rows written after it, no further.
    const qint64 exported = std::min<qint64>(list.GetItemCount(), qint64(m_counters.FirstRow) + 50);
    int page = 1;
    XlsSheet *sheet = addCounterSheet(page);
    int sheetRow = 1;
    for (qint64 i = 0; i < exported && sheet; ++i) {
        if (sheetRow == XlsSheet::kMaxRows) {
            sheet = addCounterSheet(++page);
            sheetRow = 1;
            if (!sheet)
                break;
        }
        const int row = int(i);
        const std::uint32_t mask = m_counters.RowStyle(row).HighlightMask;
        for (int k = 0; k < CCounterLog::kColumnCount; ++k) {
            QString text = list.GetItemText(row, k);
            // A text with "n/a" inside keeps only the part from "n/a" on.
            const qsizetype notAvailable = text.indexOf(QLatin1String("n/a"));
            if (notAvailable > 0)
                text = text.mid(notAvailable);
            writeCounterCell(*sheet, sheetRow, k, text, (mask >> k & 1u) != 0);
            // A block header or group row is one text across the row.
            if (excelContainsAny(text, {"Benchmark", "Destination Port", "Group"}))
                break;
        }
        ++sheetRow;
    }
}

} // namespace

SaveResult CCounterLog::SaveExcelReport(const QString &path)
{
    return ExcelReportWriter(*this).save(path);
}
