// The counter page of the report window: a running log of every trial of a run. Each trial appends a
// block (a benchmark header, the test pairs, one row per source and host port with frame size, frame
// gap, load and packet rate) and its port rows show the ports' counters, refreshed once a second while
// the trial runs; in the Latency test the host rows also show maximum, minimum and average latency.
// The row after a block receives the trial's verdict.
#pragma once

#include "controls/widgets/ListRowStyle.h"
#include "platform/ColorRef.h"
#include "platform/FileSave.h"
#include "reports/ReportResultPages.h"

#include <QWidget>
#include <cstddef>
#include <cstdint>

class CButtonST;
class CIGMPTestPlan;
class CSkinListCtrl;
struct UtPortId;

class CCounterLog : public QWidget
{
public:
    static constexpr int kColumnCount = 26;
    // Empty rows of a fresh page, so that it shows a ruled area.
    static constexpr int kEmptyRows = 28;
    enum Column
    {
        ColPort = 0,
        ColAlias = 1,
        ColPacketSize = 2,
        ColFrameGap = 3,
        ColPercent = 4,
        ColRate = 5,
        ColTxPacket = 6,
        ColOverSize = 25
    };
    // Style values of the rows: alignment, and the highlighted gap, percent and rate cells (the latency
    // columns of the Latency test).
    static constexpr std::uint32_t kAlignCentre = 1;
    static constexpr std::uint32_t kAlignRight = 2;
    static constexpr std::uint32_t kLatencyCells = 0x38;

    explicit CCounterLog(QWidget *parent = nullptr);

    // The 26 columns with their titles and widths.
    void InitColumns();
    // The column titles and the buttons' texts in the current language.
    void SetLanguageText();
    // Both row indices to 0 and 28 empty rows in place of everything.
    void ResetCounterLog();
    // Writes the block of one trial from FirstRow on (the header shows trial + 1; caption is the Source
    // Filter group) and leaves LastRow on the row after the block.
    void InsertTrialRows(const CIGMPTestPlan &plan, const QString &caption, std::uint32_t trial,
                         std::uint32_t repetition, std::uint32_t duration);
    // Refreshes the counter columns of every port row of the current block.
    void UpdateCounterRows(const CIGMPTestPlan &plan);
    // One port's counters from the per-port tables at the hardware index into the row its port record
    // shows; nothing when the index names no table entry.
    void UpdateCounterRow(const CIGMPTestPlan &plan, int hardwareIndex, std::size_t recordIndex);
    // Takes one latency sample of every host port (its largest latency, in uncompensated microseconds):
    // a sample above the module's own latency updates the port's maximum, minimum, sum and count,
    // and the row of its port record shows maximum, minimum and average.
    void UpdateLatencyColumns(CIGMPTestPlan &plan);
    // The Clear button: every row goes, the row indices stay.
    void OnClear();
    // Column 0 text of a row and the text colour of its style.
    void SetRowResult(int row, const QString &text, COLORREF color);
    // Writes the test report of the last run as a PDF file (reports/PdfReport.cpp), whole or not at all;
    // on failure the old file stays as it was and the result holds the reason.
    SaveResult SavePdfReport(const QString &path);

    // Writes the whole test report of the last run as one spreadsheet workbook at the path, whole or
    // not at all; on failure the old file stays as it was and the result holds the reason.
    SaveResult SaveExcelReport(const QString &path);
    // The result pages both reports take their sections from; none set, the reports have none.
    void SetResultPages(const ReportResultPages &pages);
    const ReportResultPages &ResultPages() const;

    QString CellText(int row, int column) const;
    COLORREF RowColor(int row) const;
    UtListRowStyle RowStyle(int row) const;
    int RowCount() const;

    CButtonST *SaveButton;
    CButtonST *ClearButton;
    // The row at which the next trial block starts, and the row after the last block written.
    std::uint32_t FirstRow = 0;
    std::uint32_t LastRow = 0;
    CSkinListCtrl *List;

private:
    ReportResultPages m_resultPages;
    // Text t at row r: column 0 of an existing row, else a new row (empty rows fill any gap before it).
    int putRow(int row, const QString &text);
    // Makes sure the row exists, leaving an existing one as it is.
    void ensureRow(int row);
    void setStyle(int row, std::uint32_t textFormat, std::uint8_t headerRow, std::uint32_t highlightMask);
    // Frame size, frame gap, load and packet rate of a port row; the gap and rate are those of `port`.
    void writeRateCells(int row, const CIGMPTestPlan &plan, const UtPortId &port, bool withFrameSize);
};
