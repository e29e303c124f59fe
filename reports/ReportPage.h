// What the five result pages share: a group box over the page, a chart viewer over its upper three
// fifths with a scroll bar and the Zoom In / Zoom Out toggles above it, the result grid below it (11
// report-header rows, then the results), the hidden Setting and Redraw buttons and the hidden pair
// selector. The chart shows one bar group per received port ("bar"), at most ten in view; the scroll
// bar and the zoom buttons move and size that view. The runners and procedures call the page in this
// order: FillReportGrid, InitChartViewPort, per trial CollectResults, BuildChartArrays, ScrollViewPort
// and a redraw, and StampTestTime at the end.
#pragma once

#include "engine/RunState.h"
#include "engine/SessionRecords.h"
#include "engine/TestPlanRecords.h"
#include "platform/chart/XYChart.h"
#include "testpages/CustomFrame.h"

#include <QByteArray>
#include <QImage>
#include <QPen>
#include <QStringList>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class CButtonST;
class CIGMPTestPlan;
class CPairSel;
class CUGCtrl;
class ChartViewer;
class QGroupBox;
class QScrollBar;

class ReportPage : public QWidget
{
    Q_OBJECT

public:
    // The pages in the report sheet's order, as the chart setting dialog's opener counts them.
    enum PageIndex
    {
        MixClassPage = 0,
        AggregatePage,
        ScalePage,
        LatencyPage,
        FilterPage,
        PageCount
    };

    // Header rows of the value column, and the first row of the results.
    static constexpr int kTestIntervalRow = 4;
    static constexpr int kFrameSizeRow = 6;
    static constexpr int kRateRow = 7;
    static constexpr int kColumnTitleRow = 11;
    static constexpr int kFirstResultRow = 12;
    // Bars in view at most, and the scroll bar's whole range.
    static constexpr double kMaxBarsInView = 10;
    static constexpr int kScrollRange = 0x1FFFFFFF;
    // The grid's border styles of the header cells, the column titles and the results.
    static constexpr std::uint16_t kHeaderBorder = 0x0D00;
    static constexpr std::uint16_t kTitleBorder = 0x0E;
    static constexpr std::uint16_t kDataBorder = 0x0C;
    // The grid's alignments.
    static constexpr unsigned short kAlignLeft = 1;
    static constexpr unsigned short kAlignRight = 2;
    static constexpr unsigned short kAlignCentre = 4;
    static constexpr unsigned short kAlignCentreBoth = 0x24;
    // The bar tool tips of the chart on show: the bar's label, its data set and value.
    static constexpr const char *kBarTip = "title='{field0}-{dataSetName}:{value}'";

    ReportPage(PageIndex index, QWidget *parent);
    ~ReportPage() override;

    PageIndex Index() const { return m_index; }
    // The test plan the page reads; the report window sets it.
    void SetPlan(CIGMPTestPlan *plan) { m_plan = plan; }
    // The buttons' texts in the current language.
    void SetLanguageText();

    // The report header and the empty result table, before the test's first frame size.
    virtual void FillReportGrid() = 0;
    // Fills the records of the step under test from the tested ports' counters.
    virtual void CollectResults() = 0;
    // Turns the records into the chart's series.
    virtual void BuildChartArrays() = 0;
    // Fills the bar labels.
    virtual void FormatBarLabel() = 0;
    // Sizes the series and the labels to the run's bars and shows the first ten.
    void InitChartViewPort();
    // Moves the view forward to the bars of step n (ReceiverTotal bars a step); never backward.
    void ScrollViewPort(std::uint32_t step);
    // Redraws the chart and its tool tips.
    virtual void UpdateViewPort();
    // Appends the end time to the "Testing Interval:" value, marked when the user's Stop ended the test.
    virtual void StampTestTime(bool stopped = false);
    // A result that the user's Stop cut short, marked as such in the current language.
    static QString StoppedText(const QString &result);
    // Draws the bars in view and hands the chart to the viewer.
    void DrawChart();
    // The whole chart, width x 280 pixels, for the PDF report.
    QImage MakeChartImage(int width) const;
    // The whole chart, 800 x 280 pixels, as a JPEG image for the spreadsheet report.
    QByteArray MakeChartImageData() const;

    // A result-grid cell; a cell outside the grid is neither written nor grown into.
    void SetCell(int row, int column, const QString &text);
    QString Cell(int row, int column) const;

    // The viewer's notification that the view port changed.
    void OnViewPortChanged();
    // The scroll bar: a move (or a step), and its end.
    void OnHScroll(bool endScroll);
    void OnZoomIn();
    void OnZoomOut();
    void OnSetting();

    QGroupBox *GroupBox;
    ChartViewer *Viewer;
    // Hidden; its size is the chart's.
    QWidget *ChartPlaceholder;
    CUGCtrl *Grid;
    CPairSel *PairSel;
    QScrollBar *ScrollBar;
    CButtonST *SettingButton;
    CButtonST *RedrawButton;
    CButtonST *ZoomIn;
    CButtonST *ZoomOut;

    // The grid column of the header values.
    int ValueColumn = 0;
    // 1 while the chart follows the running step (the runners set it).
    std::uint8_t FirstStep = 0;
    // Bars of one step: the host ports of the pairs in use.
    std::uint32_t ReceiverTotal = 0;
    // The chart's bars and the number of them in view.
    int BarCount = 0;
    double BarsInView = 0;
    QStringList BarLabels;
    // The frame-size rows of the run, which the runner sets before FillReportGrid.
    std::vector<UtCustomFrame> FrameRows;
    // The scroll lock: set until the first InitChartViewPort and while a procedure moves the view and
    // redraws; scrolling does nothing and the report window's relayout leaves the chart alone.
    bool ChartBusy = true;
    // The border pen of the header cells: white, so that no grid lines show there.
    QPen WhitePen{QColor(255, 255, 255), 1};

protected:
    void resizeEvent(QResizeEvent *event) override;

    // The plan; null while none is set.
    CIGMPTestPlan *plan() const { return m_plan; }
    // The number of bars of the run, and the series sized to it (all 0).
    virtual int CountBars() const = 0;
    virtual void ResizeSeries(int count) = 0;
    // The chart of bars first to first + count - 1 at that size; the screen's chart adds what only it
    // shows (caption, bar tool tips).
    virtual std::unique_ptr<XYChart> MakeChart(int first, int count, int width, int height,
                                               bool onScreen) const = 0;

    // The step's (pair, frame size) entries of this page's test; empty while there is no run state.
    const std::vector<UtPairFrame> &entries() const;
    // Bars of an entry list: the host ports of each entry's pair.
    int hostsOfEntries() const;
    // The language text of a key.
    static QString text(const char *key);
    // A language format text filled in as printf does.
    static QString format(const char *key, ...);

    // The frame of every page's chart: background, rounded frame, plot area at (70, 40) plotWidthLess
    // narrower and 120 lower than the chart, title, axis titles and the legend at (legendX, 50).
    std::unique_ptr<XYChart> chartFrame(int width, int height, int plotWidthLess, int legendX,
                                        const char *titleKey, const char *yTitleKey) const;
    // The legend of a page's chart, one key under the other, its top centre at (x, 50).
    static LegendBox &addLegend(XYChart &chart, int x);
    // The markers of a series over the bars (a cap at each value), with their tool tip.
    static BoxWhiskerLayer &addMarkers(XYChart &chart, const std::vector<double> &values, bool asMaximum,
                                       ChartColor color, int lineWidth, const char *tipKey);
    // "(%d,%d,%d)" of a port, and "%d.%d.%d.%d" of a test pair's group (1-based; empty for none).
    static QString portText(const UtPortId &id);
    QString groupText(std::uint8_t pair) const;
    // The axis labels of bars first.. (every step-th one, the others "-"), step from the bars shown.
    QStringList axisLabels(int first, int count) const;
    QStringList barLabels(int first, int count) const;
    static std::vector<double> slice(const std::vector<double> &series, int first, int count);

    // Grid writing. The header: pens, sizes, cleared store, white header borders, hidden headings.
    void beginReportGrid(int rows, int columns, int defaultColumnWidth,
                         const std::vector<std::pair<int, int>> &columnWidths);
    // Rows 0 to 10: title, band, the six labelled values, the "=" and "-" lines and "Summary"; the
    // value column is set here.
    void writeHeaderRows(const char *titleKey, int valueColumn);
    // Row 11: the column titles.
    void writeColumnTitles(const QStringList &titles);
    // A text cell (an empty text leaves the cell as it is), optionally joined down to lastRow.
    void writeText(int column, int row, const QString &text, int lastRow = -1);
    void setBorder(int column, int row, std::uint16_t style, const QPen *pen);
    // Every cell of the rows centred both ways; row 10 left-aligned.
    void alignTable(int firstRow, int lastRow);

private:
    void layOut();
    void setScrollInfo();
    QColor backgroundColor() const;

    PageIndex m_index;
    CIGMPTestPlan *m_plan = nullptr;
};
