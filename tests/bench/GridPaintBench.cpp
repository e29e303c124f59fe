// Painting the grid at the program's largest size (the counter page: 100,000 rows of 20 columns):
// a full repaint of the visible page, a scroll by one page down and back, and scrolls to pages
// never shown before, beside a QTableView over the same texts. Both windows are 1024 x 768 on the
// offscreen platform.
#include "BenchRatio.h"
#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGDataSource.h"
#include "controls/grid/UGGrid.h"
#include "controls/grid/UGGridInfo.h"

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>
#include <benchmark/benchmark.h>
#include <clocale>
#include <memory>

namespace {

constexpr int kRows = 100000;
constexpr int kCols = 20;
constexpr int kWidth = 1024;
constexpr int kHeight = 768;

QString cellText(int col, int row)
{
    return QString::number(row * 31 + col);
}

struct ShownGrid
{
    ShownGrid()
    {
        window.resize(kWidth, kHeight);
        grid = new CUGCtrl(&window);
        grid->setGeometry(0, 0, kWidth, kHeight);
        grid->InitAttachedWindow(&window);
        grid->SetColumnCount(kCols);
        grid->SetRowCount(kRows);
        for (int col = 0; col < kCols; ++col)
            grid->SetCellText(col, -1, QString("Column %1").arg(col));
        // As the grid's text setter stores them: the text and its data type.
        CUGCell cell;
        cell.m_properties = 0;
        CUGDataSource *store = grid->CurrentSheet()->m_dataSource;
        for (int row = 0; row < kRows; ++row) {
            for (int col = 0; col < kCols; ++col) {
                cell.AssignText(cellText(col, row));
                store->StoreCell(col, row, &cell);
            }
        }
        window.show();
        QCoreApplication::processEvents();
    }
    QWidget window;
    CUGCtrl *grid;
};

// Built on first use, gone before the application is.
std::unique_ptr<ShownGrid> g_grid;

ShownGrid &sharedGrid()
{
    if (!g_grid)
        g_grid = std::make_unique<ShownGrid>();
    return *g_grid;
}

struct ShownTable
{
    ShownTable() : model(kRows, kCols)
    {
        for (int row = 0; row < kRows; ++row) {
            for (int col = 0; col < kCols; ++col)
                model.setItem(row, col, new QStandardItem(cellText(col, row)));
        }
        view.setModel(&model);
        view.verticalHeader()->setDefaultSectionSize(20);
        view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view.horizontalHeader()->setDefaultSectionSize(75);
        view.resize(kWidth, kHeight);
        view.show();
        QCoreApplication::processEvents();
    }
    QStandardItemModel model;
    QTableView view;
};

std::unique_ptr<ShownTable> g_table;

ShownTable &sharedTable()
{
    if (!g_table)
        g_table = std::make_unique<ShownTable>();
    return *g_table;
}

void BM_GridRepaintPage(benchmark::State &state)
{
    ShownGrid &shown = sharedGrid();
    shown.grid->ScrollTopRowTo(kRows / 2);
    for (auto _ : state)
        shown.grid->GridWindow()->repaint();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GridRepaintPage)->Unit(benchmark::kMillisecond);

void BM_GridScrollPage(benchmark::State &state)
{
    ShownGrid &shown = sharedGrid();
    shown.grid->ScrollTopRowTo(kRows / 2);
    int code = CUGCtrl::MovePageDown;
    for (auto _ : state) {
        // Down and up in turn, each scroll repainting the page at once.
        shown.grid->ScrollTopRowBy(code);
        code = code == CUGCtrl::MovePageDown ? CUGCtrl::MovePageUp : CUGCtrl::MovePageDown;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GridScrollPage)->Unit(benchmark::kMillisecond);

// Each scroll shows a page not shown before, whose texts no earlier paint has shaped.
void BM_GridScrollToNewPage(benchmark::State &state)
{
    ShownGrid &shown = sharedGrid();
    shown.grid->ScrollTopRowTo(0);
    for (auto _ : state) {
        if (shown.grid->GetTopRow() + 100 >= kRows)
            shown.grid->ScrollTopRowTo(0);
        shown.grid->ScrollTopRowBy(CUGCtrl::MovePageDown);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GridScrollToNewPage)->Unit(benchmark::kMillisecond);

void BM_TableViewRepaintPage(benchmark::State &state)
{
    ShownTable &shown = sharedTable();
    shown.view.verticalScrollBar()->setValue(kRows / 2);
    for (auto _ : state)
        shown.view.viewport()->repaint();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TableViewRepaintPage)->Unit(benchmark::kMillisecond);

void BM_TableViewScrollPage(benchmark::State &state)
{
    ShownTable &shown = sharedTable();
    QScrollBar *bar = shown.view.verticalScrollBar();
    bar->setValue(kRows / 2);
    int direction = 1;
    for (auto _ : state) {
        bar->setValue(bar->value() + direction * bar->pageStep());
        shown.view.viewport()->repaint();
        direction = -direction;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TableViewScrollPage)->Unit(benchmark::kMillisecond);

void BM_TableViewScrollToNewPage(benchmark::State &state)
{
    ShownTable &shown = sharedTable();
    QScrollBar *bar = shown.view.verticalScrollBar();
    bar->setValue(0);
    for (auto _ : state) {
        if (bar->value() + 100 >= kRows)
            bar->setValue(0);
        bar->setValue(bar->value() + bar->pageStep());
        shown.view.viewport()->repaint();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TableViewScrollToNewPage)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    BenchRatio::runAndPrint(argc, argv,
                            {{"grid page paint at 100,000 rows", "QTableView", "BM_GridRepaintPage",
                              "BM_TableViewRepaintPage", 0.5}});
    g_grid.reset();
    g_table.reset();
    return 0;
}
