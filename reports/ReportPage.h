// What the result pages share: the report grid (rows of header values, then one row per result), the
// records of the running test and the per-step bookkeeping the runners set.
#pragma once

#include <QWidget>
#include <cstdint>
#include <vector>

class QTableWidget;

class ReportPage : public QWidget
{
public:
    // Row of the header value cell that shows the frame size under test, and of the rate under trial.
    static constexpr int kFrameSizeRow = 6;
    static constexpr int kRateRow = 7;
    static constexpr int kValueColumn = 1;
    // First row of the per-step results, and the column of the passed rate.
    static constexpr int kFirstResultRow = 12;
    static constexpr int kPassedRateColumn = 6;

    explicit ReportPage(QWidget *parent = nullptr);

    // Empties the grid down to its header rows.
    void FillReportGrid();
    void SetCell(int row, int column, const QString &text);
    QString Cell(int row, int column) const;
    // The chart's viewport: which frame-size step is shown.
    void InitChartViewPort() { ViewPortStep = 0; }
    void ScrollViewPort(std::uint32_t frameSizeIndex) { ViewPortStep = frameSizeIndex; }
    void UpdateViewPort();
    // Notes the end time of the test for the page's header.
    void StampTestTime();

    QTableWidget *Grid;
    std::uint8_t FirstStep = 0;
    std::uint8_t ReceiverTotal = 0;
    std::uint32_t ViewPortStep = 0;
    // Set while the chart must not be redrawn (the report window's relayout skips it).
    bool ChartBusy = false;
};
