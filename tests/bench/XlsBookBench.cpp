// Writing a report of 100,000 counter rows of 26 columns (a text column, then numbers) with our .xls
// writer, beside libxlsxwriter writing the same cells, split the same way at 65,535 rows a sheet.
#include "platform/xls/XlsBook.h"

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

#ifdef KV_HAVE_XLSXWRITER
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
                    book, QStringLiteral("Counter Report P%1").arg(row / kRowsPerSheet + 1).toUtf8().constData());
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

BENCHMARK_MAIN();
