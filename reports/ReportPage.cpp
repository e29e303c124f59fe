#include "reports/ReportPage.h"

#include <QDateTime>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
constexpr int kColumnCount = 9;
constexpr int kTestTimeRow = 2;
} // namespace

ReportPage::ReportPage(QWidget *parent)
    : QWidget(parent), Grid(new QTableWidget(kFirstResultRow, kColumnCount, this))
{
    Grid->verticalHeader()->hide();
    Grid->horizontalHeader()->hide();
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Grid);
}

void ReportPage::FillReportGrid()
{
    Grid->clearContents();
    Grid->setRowCount(kFirstResultRow);
}

void ReportPage::SetCell(int row, int column, const QString &text)
{
    if (row < 0 || column < 0 || column >= Grid->columnCount())
        return;
    if (row >= Grid->rowCount())
        Grid->setRowCount(row + 1);
    Grid->setItem(row, column, new QTableWidgetItem(text));
}

QString ReportPage::Cell(int row, int column) const
{
    const QTableWidgetItem *item = Grid->item(row, column);
    return item ? item->text() : QString();
}

void ReportPage::UpdateViewPort()
{
    Grid->viewport()->update();
}

void ReportPage::StampTestTime()
{
    SetCell(kTestTimeRow, kValueColumn,
            QDateTime::currentDateTime().toString(QStringLiteral("yyyy/M/d H:mm:ss")));
}
