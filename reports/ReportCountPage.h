// What the Aggregate and Scale Group result pages share: per frame size, count (clients or groups) and
// pair in use one record with the received rates of the pair's host ports; a grid with one block of
// source-port rows per frame size and count; a chart with the received rate of every host port, a
// marker at the rate the source sends at the row's maximum load and a caption with the count under test.
#pragma once

#include "reports/ReportPage.h"
#include "reports/ResultRecords.h"

class ReportCountPage : public ReportPage
{
    Q_OBJECT

public:
    // Each passing trial's rate goes into this column of the count's first row.
    static constexpr int kPassedRateColumn = 7;

    void FillReportGrid() override;
    void CollectResults() override;
    void BuildChartArrays() override;
    void FormatBarLabel() override;

    // The step of a count of a frame-size row: its index among the run's (frame-size row, count) pairs,
    // which is the order of the chart's bars.
    std::uint32_t StepOf(std::uint32_t frameRow, std::uint32_t count) const;

    std::vector<UtAggregateResult> Records;
    // The count of the trial under way; the procedure sets it.
    std::uint32_t CurrentCount = 0;
    // One value per bar: received and expected frames per second.
    std::vector<double> MeasuredData;
    std::vector<double> ExpectedData;

protected:
    // The texts and sizes by which the two pages differ.
    struct Style
    {
        const char *gridTitleKey;
        const char *chartTitleKey;
        const char *countTitleKey;
        const char *groupTitleKey;
        const char *labelKey;
        const char *captionKey;
        const char *singularCaptionKey;
        int firstColumnWidth;
        double labelAngle;
    };

    ReportCountPage(PageIndex index, const Style &style, QWidget *parent);

    // The test's counts, lowest first and highest last (none when the first is above the last).
    virtual std::uint32_t firstCount() const = 0;
    virtual std::uint32_t lastCount() const = 0;

    int CountBars() const override { return hostsOfEntries(); }
    void ResizeSeries(int count) override;
    std::unique_ptr<XYChart> MakeChart(int first, int count, int width, int height,
                                       bool onScreen) const override;

private:
    Style m_style;
};
