// The Mixed Class result page: per frame size and pair in use one record with the received rates of
// the pair's host ports, a grid with one block of source-port rows per frame size, and a chart with the
// total, multicast and unicast rate of every host port and a marker at its expected rate.
#pragma once

#include "reports/ReportPage.h"
#include "reports/ResultRecords.h"

class CReportMixClass : public ReportPage
{
    Q_OBJECT

public:
    // The last passing rate of a frame size goes into this column of its block's first row.
    static constexpr int kPassedRateColumn = 6;

    explicit CReportMixClass(QWidget *parent = nullptr);

    void FillReportGrid() override;
    void CollectResults() override;
    void BuildChartArrays() override;
    void FormatBarLabel() override;

    std::vector<UtMixClassResult> Records;
    // One value per bar.
    std::vector<double> TotalData;
    std::vector<double> UnicastData;
    std::vector<double> MulticastData;
    std::vector<double> ExpectedData;

protected:
    int CountBars() const override { return hostsOfEntries(); }
    void ResizeSeries(int count) override;
    std::unique_ptr<XYChart> MakeChart(int first, int count, int width, int height,
                                       bool onScreen) const override;

private:
    // The number of the first selected pair whose unicast port the port is; 0 for none.
    std::uint8_t unicastPairOf(const UtPortId &id) const;
};
