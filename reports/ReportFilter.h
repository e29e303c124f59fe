// The Source Filter result page: per group one record with what every host port received in the
// group's measurement; a grid with one block of host-port rows per group, whose verdict column the
// procedure fills; a chart of the total and multicast frames of every (group, host port) with a marker
// at the frames the sources sent.
#pragma once

#include "reports/ReportPage.h"
#include "reports/ResultRecords.h"

class CReportFilter : public ReportPage
{
    Q_OBJECT

public:
    // A group's verdict for the hosts' block of rows.
    static constexpr int kVerdictColumn = 5;

    explicit CReportFilter(QWidget *parent = nullptr);

    void FillReportGrid() override;
    // The pair selector's pick: group 0.
    void CollectResults() override { CollectResults(0); }
    // Copies the host ports' counts of one group's measurement into that group's record.
    void CollectResults(std::uint32_t group);
    void BuildChartArrays() override;
    void FormatBarLabel() override;
    // A row "Group %d" (the index as passed) for the pair selector.
    void AddGroupRow(std::uint32_t group);

    // The "Rx Port" text of a host-port label: the label cut before the blank that precedes its first
    // "-"; the whole label when it has no "-" past its first character.
    static QString RxPortText(const QString &label);

    std::vector<UtSourceFilterResult> Records;
    // One value per bar: received, received multicast and sent frames.
    std::vector<double> TotalData;
    std::vector<double> MulticastData;
    std::vector<double> ReferenceData;

protected:
    int CountBars() const override;
    void ResizeSeries(int count) override;
    std::unique_ptr<XYChart> MakeChart(int first, int count, int width, int height,
                                       bool onScreen) const override;

private:
    // The groups of the Source Filter page ("a.b.c.d", list order).
    static QStringList groups();
};
