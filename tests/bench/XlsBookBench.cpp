// Writing a report of 100,000 counter rows of 26 columns (a text column, then numbers) with our .xls
// writer, beside libxlsxwriter writing the same cells, split the same way at 65,535 rows a sheet; and
// the whole spreadsheet report of a counter page of 100,000 rows, beside libxlsxwriter writing the
// cells of its counter sheets.
#include "controls/widgets/SkinListCtrl.h"
#include "engine/EngineHost.h"
#include "platform/xls/XlsBook.h"
#include "reports/CounterLog.h"

#include <QApplication>
#include <QString>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#ifdef KV_HAVE_XLSXWRITER
#include <xlsxwriter.h>
#endif

namespace {

constexpr int kRows = 100'000;
constexpr int kColumns = 26;
constexpr int kRowsPerSheet = 65'535;

double counterValue(int row, int column)
{
    return double(row) * 31.0 + column * 0.25;
}

void BM_XlsBookCounterReport(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.xls"));
    for (auto _ : state) {
        XlsBook book;
        XlsFormat *number = book.addFormat();
        number->setNumFormat(4);
        XlsSheet *sheet = nullptr;
        for (int row = 0; row < kRows; ++row) {
            if (row % kRowsPerSheet == 0)
                sheet = book.addSheet(QStringLiteral("Counter Report P%1").arg(row / kRowsPerSheet + 1));
            const int sheetRow = row % kRowsPerSheet + 1;
            sheet->writeStr(sheetRow, 0, QStringLiteral("1-%1-%2").arg(row % 16 + 1).arg(row % 4 + 1));
            for (int column = 1; column < kColumns; ++column)
                sheet->writeNum(sheetRow, column, counterValue(row, column), number);
        }
        if (!book.save(path))
            state.SkipWithError("save failed");
    }
    state.SetItemsProcessed(state.iterations() * kRows * kColumns);
}
BENCHMARK(BM_XlsBookCounterReport)->Unit(benchmark::kMillisecond);

// The counter page's rows: a port, its role and 24 counts with the page's trailing blank.
QString reportPortText(int row)
{
    return QString::asprintf("(%3d,%2d,%d)", row % 16 + 1, row % 4 + 2, row % 4 + 1);
}

QString reportCountText(int row, int column)
{
    return QString::number(qint64(row) * 31 + column) + u' ';
}

// A counter page of kRows rows, made once: filling the list is not part of writing the report.
CCounterLog &reportCounterPage()
{
    static CCounterLog *page = [] {
        auto *counters = new CCounterLog;
        CSkinListCtrl &list = *counters->List;
        list.RemoveAllRows();
        QStringList texts;
        for (int row = 0; row < kRows; ++row) {
            texts = {reportPortText(row), QStringLiteral("Host Port")};
            for (int column = 2; column < kColumns; ++column)
                texts << reportCountText(row, column);
            list.InsertRow(row, QString());
            list.SetItemTexts(row, 0, texts);
        }
        counters->FirstRow = kRows;
        return counters;
    }();
    return *page;
}

void BM_ExcelReportCounterPage(benchmark::State &state)
{
    CCounterLog &counters = reportCounterPage();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.xls"));
    for (auto _ : state) {
        if (!counters.SaveExcelReport(path))
            state.SkipWithError("save failed");
    }
    state.SetItemsProcessed(state.iterations() * kRows * kColumns);
}
BENCHMARK(BM_ExcelReportCounterPage)->Unit(benchmark::kMillisecond);

#ifdef KV_HAVE_XLSXWRITER
// The cells of the report's counter sheets: the title row on every sheet, the port as text, the role
// right-aligned, the counts as numbers, read from the same texts.
void BM_LibXlsxWriterReportCounterSheets(benchmark::State &state)
{
    CCounterLog &counters = reportCounterPage();
    const CSkinListCtrl &list = *counters.List;
    QTemporaryDir dir;
    const QByteArray path = dir.filePath(QStringLiteral("report.xlsx")).toUtf8();
    for (auto _ : state) {
        lxw_workbook *book = workbook_new(path.constData());
        lxw_format *heading = workbook_add_format(book);
        format_set_bold(heading);
        format_set_pattern(heading, LXW_PATTERN_SOLID);
        format_set_bg_color(heading, 0x9999FF);
        format_set_border(heading, LXW_BORDER_THIN);
        format_set_border_color(heading, 0xC0C0C0);
        lxw_format *right = workbook_add_format(book);
        format_set_align(right, LXW_ALIGN_RIGHT);
        lxw_format *number = workbook_add_format(book);
        format_set_num_format_index(number, 4);
        lxw_worksheet *sheet = nullptr;
        for (int row = 0; row < kRows; ++row) {
            if (row % kRowsPerSheet == 0) {
                sheet = workbook_add_worksheet(
                    book,
                    QStringLiteral("Counter Report P%1").arg(row / kRowsPerSheet + 1).toUtf8().constData());
                for (int column = 0; column < kColumns; ++column)
                    worksheet_write_string(sheet, 0, lxw_col_t(column),
                                           list.GetColumnCaption(column).toUtf8().constData(), heading);
            }
            const int sheetRow = row % kRowsPerSheet + 1;
            worksheet_write_string(sheet, sheetRow, 0, list.GetItemText(row, 0).toUtf8().constData(),
                                   nullptr);
            worksheet_write_string(sheet, sheetRow, 1, list.GetItemText(row, 1).toUtf8().constData(), right);
            for (int column = 2; column < kColumns; ++column)
                worksheet_write_number(sheet, sheetRow, lxw_col_t(column),
                                       list.GetItemText(row, column).trimmed().toDouble(), number);
        }
        if (workbook_close(book) != LXW_NO_ERROR)
            state.SkipWithError("save failed");
    }
    state.SetItemsProcessed(state.iterations() * kRows * kColumns);
}
BENCHMARK(BM_LibXlsxWriterReportCounterSheets)->Unit(benchmark::kMillisecond);

void BM_LibXlsxWriterCounterReport(benchmark::State &state)
{
    QTemporaryDir dir;
    const QByteArray path = dir.filePath(QStringLiteral("report.xlsx")).toUtf8();
    for (auto _ : state) {
        lxw_workbook *book = workbook_new(path.constData());
        lxw_format *number = workbook_add_format(book);
        format_set_num_format_index(number, 4);
        lxw_worksheet *sheet = nullptr;
        for (int row = 0; row < kRows; ++row) {
            if (row % kRowsPerSheet == 0)
                sheet = workbook_add_worksheet(
                    book,
                    QStringLiteral("Counter Report P%1").arg(row / kRowsPerSheet + 1).toUtf8().constData());
            const int sheetRow = row % kRowsPerSheet + 1;
            worksheet_write_string(
                sheet, sheetRow, 0,
                QStringLiteral("1-%1-%2").arg(row % 16 + 1).arg(row % 4 + 1).toUtf8().constData(), nullptr);
            for (int column = 1; column < kColumns; ++column)
                worksheet_write_number(sheet, sheetRow, lxw_col_t(column), counterValue(row, column), number);
        }
        if (workbook_close(book) != LXW_NO_ERROR)
            state.SkipWithError("save failed");
    }
    state.SetItemsProcessed(state.iterations() * kRows * kColumns);
}
BENCHMARK(BM_LibXlsxWriterCounterReport)->Unit(benchmark::kMillisecond);
#endif

} // namespace

// The report's counter page is a widget: the benchmarks run under an application on the offscreen
// platform.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The one language text the counter sheets' names need.
    EngineHost::instance().languageText = [](const QString &key) {
        return key == QLatin1String("XlsReport_Sheet_Counter") ? QStringLiteral("Counter Report P%d") : key;
    };
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
