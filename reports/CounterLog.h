// The counter page of the report window: one header row per trial repetition and one row per tested
// port below it, with the port's counters; column 0 of a repetition's last row carries its verdict.
#pragma once

#include "platform/ColorRef.h"

#include <QStringList>
#include <QWidget>
#include <cstdint>

class QPushButton;
class QTableWidget;
class CIGMPTestPlan;

class CCounterLog : public QWidget
{
public:
    static constexpr int kClearButtonId = 1049;

    explicit CCounterLog(QWidget *parent = nullptr);

    // Empties the list and both row counters.
    void ResetCounterLog();
    // Adds "Benchmark:<test>  Trial:%d  Repetition:%d  Duration:%d sec." and one row per tested port
    // (sources, then hosts), and advances LastRow to the last of them.
    void InsertTrialRows(const CIGMPTestPlan &plan, const QString &caption, std::uint32_t trial,
                         std::uint32_t repetition, std::uint32_t duration);
    // Refreshes the counter columns of the current trial's port rows from the session's counters.
    void UpdateCounterRows(const CIGMPTestPlan &plan);
    // The column titles (in column order) and the Clear button's text, in the owner's language.
    void SetCaptions(const QStringList &columns, const QString &clear);
    // Takes one latency sample of every host port (its largest latency since the counters were
    // cleared): a sample above the module's own latency updates the port's minimum, maximum, sum and
    // count (uncompensated microseconds) and the row's latency columns.
    void UpdateLatencyColumns(CIGMPTestPlan &plan);
    // Column 0 text and text colour of a row.
    void SetRowResult(int row, const QString &text, COLORREF color);

    QString CellText(int row, int column) const;
    COLORREF RowColor(int row) const;
    int RowCount() const;

    QTableWidget *List;
    QPushButton *ClearButton;
    std::uint32_t FirstRow = 0;
    std::uint32_t LastRow = 0;

private:
    // Index of the first port row of the current trial.
    int m_portRowsStart = 0;
};
