// The grid's cell store at the program's largest size (the counter page: 100,000 rows of 20
// columns), beside a QStandardItemModel holding the same texts: filling and reading back with the
// heap each one takes, then reading by row and by column, random rows, and the same through the grid.
#include "BenchRatio.h"
#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGMem.h"

#include <QApplication>
#include <QStandardItemModel>
#include <benchmark/benchmark.h>
#include <clocale>
#include <malloc.h>
#include <memory>
#include <random>

namespace {

constexpr int kRows = 100000;
constexpr int kCols = 20;

QString cellText(int col, int row)
{
    return QString::number(row * 31 + col);
}

std::size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

std::unique_ptr<CUGMem> filledStore()
{
    auto store = std::make_unique<CUGMem>();
    // As the grid's text setter stores it: the text and its data type, nothing else.
    CUGCell cell;
    cell.m_properties = 0;
    for (int row = 0; row < kRows; ++row) {
        for (int col = 0; col < kCols; ++col) {
            cell.AssignText(cellText(col, row));
            store->StoreCell(col, row, &cell);
        }
    }
    return store;
}

std::unique_ptr<QStandardItemModel> filledModel()
{
    auto model = std::make_unique<QStandardItemModel>(kRows, kCols);
    for (int row = 0; row < kRows; ++row) {
        for (int col = 0; col < kCols; ++col)
            model->setItem(row, col, new QStandardItem(cellText(col, row)));
    }
    return model;
}

CUGMem &sharedStore()
{
    static std::unique_ptr<CUGMem> store = filledStore();
    return *store;
}

QStandardItemModel &sharedModel()
{
    static std::unique_ptr<QStandardItemModel> model = filledModel();
    return *model;
}

// Both sides fill 100,000 x 20 texts, note the heap the filled container takes, then read every
// cell back row by row. Freeing the container is not timed.
void BM_StoreFillRead(benchmark::State &state)
{
    for (auto _ : state) {
        const std::size_t before = heapInUse();
        std::unique_ptr<CUGMem> store = filledStore();
        state.counters["heap_MB"] = double(heapInUse() - before) / (1024.0 * 1024.0);
        CUGCell cell;
        qsizetype total = 0;
        for (int row = 0; row < kRows; ++row) {
            for (int col = 0; col < kCols; ++col) {
                cell.m_properties = 0;
                store->LoadCell(col, row, &cell);
                total += cell.GetDisplayText()->size();
            }
        }
        benchmark::DoNotOptimize(total);
        state.PauseTiming();
        store.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kRows * kCols);
}
BENCHMARK(BM_StoreFillRead)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ModelFillRead(benchmark::State &state)
{
    for (auto _ : state) {
        const std::size_t before = heapInUse();
        std::unique_ptr<QStandardItemModel> model = filledModel();
        state.counters["heap_MB"] = double(heapInUse() - before) / (1024.0 * 1024.0);
        qsizetype total = 0;
        for (int row = 0; row < kRows; ++row) {
            for (int col = 0; col < kCols; ++col)
                total += model->item(row, col)->text().size();
        }
        benchmark::DoNotOptimize(total);
        state.PauseTiming();
        model.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kRows * kCols);
}
BENCHMARK(BM_ModelFillRead)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_StoreReadByRow(benchmark::State &state)
{
    CUGMem &store = sharedStore();
    CUGCell cell;
    for (auto _ : state) {
        qsizetype total = 0;
        for (int row = 0; row < kRows; ++row) {
            for (int col = 0; col < kCols; ++col) {
                cell.m_properties = 0;
                store.LoadCell(col, row, &cell);
                total += cell.GetDisplayText()->size();
            }
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * kRows * kCols);
}
BENCHMARK(BM_StoreReadByRow)->Unit(benchmark::kMillisecond);

void BM_StoreReadByColumn(benchmark::State &state)
{
    CUGMem &store = sharedStore();
    CUGCell cell;
    for (auto _ : state) {
        qsizetype total = 0;
        for (int col = 0; col < kCols; ++col) {
            for (int row = 0; row < kRows; ++row) {
                cell.m_properties = 0;
                store.LoadCell(col, row, &cell);
                total += cell.GetDisplayText()->size();
            }
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * kRows * kCols);
}
BENCHMARK(BM_StoreReadByColumn)->Unit(benchmark::kMillisecond);

void BM_StoreReadRandomRows(benchmark::State &state)
{
    CUGMem &store = sharedStore();
    CUGCell cell;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pick(0, kRows - 1);
    for (auto _ : state) {
        cell.m_properties = 0;
        store.LoadCell(3, pick(random), &cell);
        benchmark::DoNotOptimize(cell.m_text.size());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StoreReadRandomRows);

void BM_ModelReadByRow(benchmark::State &state)
{
    QStandardItemModel &model = sharedModel();
    for (auto _ : state) {
        qsizetype total = 0;
        for (int row = 0; row < kRows; ++row) {
            for (int col = 0; col < kCols; ++col)
                total += model.item(row, col)->text().size();
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * kRows * kCols);
}
BENCHMARK(BM_ModelReadByRow)->Unit(benchmark::kMillisecond);

void BM_ModelReadByColumn(benchmark::State &state)
{
    QStandardItemModel &model = sharedModel();
    for (auto _ : state) {
        qsizetype total = 0;
        for (int col = 0; col < kCols; ++col) {
            for (int row = 0; row < kRows; ++row)
                total += model.item(row, col)->text().size();
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * kRows * kCols);
}
BENCHMARK(BM_ModelReadByColumn)->Unit(benchmark::kMillisecond);

// The way the program appends rows: through the grid, one row at a time at the end.
void BM_GridAppendRows(benchmark::State &state)
{
    for (auto _ : state) {
        const std::size_t before = heapInUse();
        CUGCtrl grid;
        grid.SetColumnCount(kCols);
        grid.SetRowCount(0);
        grid.SetCellText(0, 0, "");
        for (int row = 0; row < kRows; ++row) {
            grid.InsertRowAt(row);
            for (int col = 0; col < kCols; ++col)
                grid.SetCellText(col, row, cellText(col, row));
        }
        state.counters["heap_MB"] = double(heapInUse() - before) / (1024.0 * 1024.0);
        benchmark::DoNotOptimize(grid.GetRowCount());
    }
    state.SetItemsProcessed(state.iterations() * kRows * kCols);
}
BENCHMARK(BM_GridAppendRows)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_GridReadTexts(benchmark::State &state)
{
    CUGCtrl grid;
    grid.SetColumnCount(kCols);
    grid.SetRowCount(kRows);
    for (int row = 0; row < kRows; ++row) {
        for (int col = 0; col < kCols; ++col)
            grid.SetCellText(col, row, cellText(col, row));
    }
    for (auto _ : state) {
        qsizetype total = 0;
        for (int row = 0; row < kRows; ++row) {
            for (int col = 0; col < kCols; ++col)
                total += grid.GetCellTextPtr(col, row)->size();
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * kRows * kCols);
}
BENCHMARK(BM_GridReadTexts)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    // Freed memory stays with the process, so every repetition after the first fills memory the
    // process already has, on both sides alike: the figures compare the containers, not how soon
    // the allocator gives pages back to the system.
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    return BenchRatio::runAndPrint(argc, argv,
                                   {{"grid store 100,000 x 20: memory", "QStandardItemModel",
                                     "BM_StoreFillRead", "BM_ModelFillRead", 0.25, "heap_MB"},
                                    {"grid store 100,000 x 20: fill+read time", "QStandardItemModel",
                                     "BM_StoreFillRead", "BM_ModelFillRead", 0.5}});
}
