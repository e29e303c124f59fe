#include "reports/ReportPage.h"

#include "controls/grid/UGCell.h"
#include "controls/grid/UGCellType.h"
#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGDataSource.h"
#include "controls/grid/UGGrid.h"
#include "controls/grid/UGGridInfo.h"
#include "controls/widgets/ButtonST.h"
#include "engine/EngineHost.h"
#include "engine/IGMPTestPlan.h"
#include "engine/LanguageText.h"
#include "engine/Session.h"
#include "platform/chart/ChartViewer.h"
#include "ports/PortCheckGrid.h"
#include "reports/ChartSettingOpener.h"

#include <QDateTime>
#include <QGroupBox>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QTimer>
#include <cmath>
#include <cstdarg>

namespace {

constexpr int kButtonWidth = 95;
constexpr int kTallButtonHeight = 25;
constexpr int kToggleHeight = 24;
constexpr int kImageSize = 18;
// Beside its text a column title needs room for its right border and the grid line.
constexpr int kTitleBorderWidth = 2;
// What no page shows: the empty entry list of a page without a run state or a list of its own.
const std::vector<UtPairFrame> kNoEntries;

// "yyyy/mm/dd hh:mm:ss" as the report headers print a local time.
QString reportTime(const QDateTime &time)
{
    const QDate date = time.date();
    const QTime clock = time.time();
    return QString::asprintf("%u/%02u/%02u %02u:%02u:%02u", unsigned(date.year()), unsigned(date.month()),
                             unsigned(date.day()), unsigned(clock.hour()), unsigned(clock.minute()),
                             unsigned(clock.second()));
}

// The magnifier of the zoom toggles, on white (their transparent colour).
QImage magnifierImage(bool zoomIn)
{
    QImage image(kImageSize, kImageSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x20, 0x40, 0x80), 2));
    painter.drawEllipse(QRectF(2, 2, 10, 10));
    painter.drawLine(QPointF(11, 11), QPointF(16, 16));
    painter.drawLine(QPointF(4.5, 7), QPointF(9.5, 7));
    if (zoomIn)
        painter.drawLine(QPointF(7, 4.5), QPointF(7, 9.5));
    return image;
}

// The Setting button's gear and the Redraw button's circular arrow.
QPixmap buttonIcon(bool setting)
{
    QPixmap pixmap(kImageSize, kImageSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x30, 0x30, 0x30), 2));
    if (setting) {
        for (int tooth = 0; tooth < 8; ++tooth) {
            const double angle = tooth * M_PI / 4;
            painter.drawLine(QPointF(9 + 5 * std::cos(angle), 9 + 5 * std::sin(angle)),
                             QPointF(9 + 8 * std::cos(angle), 9 + 8 * std::sin(angle)));
        }
        painter.drawEllipse(QRectF(4, 4, 10, 10));
    } else {
        painter.drawArc(QRectF(3, 3, 12, 12), 60 * 16, 300 * 16);
        painter.drawLine(QPointF(15, 3), QPointF(15, 8));
        painter.drawLine(QPointF(15, 8), QPointF(10, 8));
    }
    return pixmap;
}

} // namespace

ReportPage::ReportPage(PageIndex index, QWidget *parent)
    : QWidget(parent), GroupBox(new QGroupBox(this)), Viewer(new ChartViewer(this)),
      ChartPlaceholder(new QWidget(this)), Grid(new CUGCtrl(this)), PairSel(new CPairSel(this)),
      ScrollBar(new QScrollBar(Qt::Horizontal, this)), SettingButton(new CButtonST(this)),
      RedrawButton(new CButtonST(this)), ZoomIn(new CButtonST(this)), ZoomOut(new CButtonST(this)),
      m_index(index)
{
    GroupBox->lower();
    Grid->InitAttachedWindow(this);
    // The result grid is a report: a drag does not move its current cell.
    Grid->GridWindow()->m_dragSelection = 0;
    PairSel->InitAttachedWindow(this);
    PairSel->hide();
    ChartPlaceholder->hide();

    SettingButton->AssignStateIcons(buttonIcon(true));
    RedrawButton->AssignStateIcons(buttonIcon(false));
    SettingButton->hide();
    RedrawButton->hide();
    const COLORREF face = toColorRef(backgroundColor());
    for (CButtonST *toggle : {ZoomIn, ZoomOut}) {
        toggle->SetCheckMode(true);
        toggle->AssignSlotColor(CButtonST::BkNormal, face);
        toggle->AssignSlotColor(CButtonST::BkFocus, face);
        toggle->AssignStateBitmaps(magnifierImage(toggle == ZoomIn), 0xFFFFFF);
        toggle->AssignAlignment(0);
    }

    ScrollBar->setRange(0, 0);
    ScrollBar->setEnabled(false);
    connect(ScrollBar, &QScrollBar::valueChanged, this, [this] { OnHScroll(false); });
    // The end of a drag or of a step, after the move itself.
    connect(ScrollBar, &QScrollBar::sliderReleased, this,
            [this] { QTimer::singleShot(0, this, [this] { OnHScroll(true); }); });
    connect(ScrollBar, &QScrollBar::actionTriggered, this, [this](int action) {
        if (action != QAbstractSlider::SliderMove)
            QTimer::singleShot(0, this, [this] { OnHScroll(true); });
    });
    connect(Viewer, &ChartViewer::viewPortChanged, this, &ReportPage::OnViewPortChanged,
            Qt::DirectConnection);
    connect(ZoomIn, &CButtonST::clicked, this, &ReportPage::OnZoomIn);
    connect(ZoomOut, &CButtonST::clicked, this, &ReportPage::OnZoomOut);
    connect(SettingButton, &CButtonST::clicked, this, &ReportPage::OnSetting);
    // Redraw does nothing of its own.
    SetLanguageText();
}

ReportPage::~ReportPage() = default;

void ReportPage::SetLanguageText()
{
    ZoomIn->setText(text("ResultPage_Zoom_In"));
    ZoomOut->setText(text("ResultPage_Zoom_Out"));
    SettingButton->setText(text("ResultPage_Setting"));
    RedrawButton->setText(text("ResultPage_Redraw"));
}

QString ReportPage::text(const char *key)
{
    return languageText(key);
}

QString ReportPage::StoppedText(const QString &result)
{
    return text("Result_Stopped").replace(QStringLiteral("%s"), result);
}

QString ReportPage::format(const char *key, ...)
{
    const QByteArray pattern = text(key).toUtf8();
    va_list arguments;
    va_start(arguments, key);
    const QString result = QString::vasprintf(pattern.constData(), arguments);
    va_end(arguments);
    return result;
}

void ReportPage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOut();
    // The chart takes the new size.
    if (!ChartBusy && Viewer->GetChart())
        Viewer->UpdateViewPort(true, false);
}

void ReportPage::layOut()
{
    const QRect g = rect();
    GroupBox->setGeometry(g);
    const int right = g.x() + g.width();
    const int bottom = g.y() + g.height();
    SettingButton->setGeometry(right - 195, g.y() + 10, kButtonWidth, kTallButtonHeight);
    ZoomIn->setGeometry(right - 195, g.y() + 10, kButtonWidth, kToggleHeight);
    RedrawButton->setGeometry(right - 98, g.y() + 10, kButtonWidth, kTallButtonHeight);
    ZoomOut->setGeometry(right - 98, g.y() + 10, kButtonWidth, kToggleHeight);
    ScrollBar->setGeometry(g.x() + 3, g.y() + 12, qMax(0, right - 200), 20);
    const QRect chart(g.x() + 3, g.y() + 35, qMax(0, right - 3 - (g.x() + 3)), 3 * (bottom - g.y()) / 5);
    ChartPlaceholder->setGeometry(chart);
    Viewer->setGeometry(chart);
    const int gridTop = chart.y() + chart.height() + 1;
    Grid->setGeometry(g.x(), gridTop, g.width(), qMax(0, bottom - gridTop));
}

QColor ReportPage::backgroundColor() const
{
    return palette().window().color();
}

const std::vector<UtPairFrame> &ReportPage::entries() const
{
    if (!g_RunState || m_index >= FilterPage)
        return kNoEntries;
    // The rate pages' indexes are their tests' indexes.
    return g_RunState->PairFrameLists[std::size_t(m_index)];
}

int ReportPage::hostsOfEntries() const
{
    if (!m_plan)
        return 0;
    int bars = 0;
    for (const UtPairFrame &entry : entries()) {
        const std::size_t pair = std::size_t(entry.PairNo) - 1;
        if (pair < m_plan->TestPairs.size())
            bars += m_plan->TestPairs[pair].num_of_destmember;
    }
    return bars;
}

void ReportPage::InitChartViewPort()
{
    BarCount = CountBars();
    ResizeSeries(BarCount);
    BarLabels = QStringList();
    for (int bar = 0; bar < BarCount; ++bar)
        BarLabels << QString();
    BarsInView = BarCount > kMaxBarsInView ? kMaxBarsInView : BarCount;
    // With no bar the whole (empty) chart is in view.
    const double width = BarCount > 0 ? BarsInView / BarCount : 1.0;
    Viewer->setZoomInWidthLimit(width);
    Viewer->setViewPortWidth(width);
    Viewer->setViewPortLeft(0);
    ChartBusy = false;
    FormatBarLabel();
    Viewer->UpdateViewPort(true, false);
}

void ReportPage::ScrollViewPort(std::uint32_t step)
{
    const double bars = BarCount;
    const auto left = std::int64_t(Viewer->getViewPortLeft() * bars + 0.5);
    const auto right = left + std::int64_t(Viewer->getViewPortWidth() * bars + 0.5);
    const std::int64_t stepStart = std::int64_t(step) * ReceiverTotal;
    if (BarCount > 0 && left < stepStart && right < stepStart + std::int64_t(ReceiverTotal)) {
        Viewer->setViewPortLeft(double(stepStart) / bars);
        Viewer->UpdateViewPort(false, false);
    }
}

void ReportPage::UpdateViewPort()
{
    Viewer->UpdateViewPort(true, true);
}

void ReportPage::setScrollInfo()
{
    const double width = Viewer->getViewPortWidth();
    const int page = int(std::ceil(width * kScrollRange));
    const QSignalBlocker quiet(ScrollBar);
    // Qt's maximum leaves out the page.
    ScrollBar->setRange(0, kScrollRange - page);
    ScrollBar->setPageStep(page);
    ScrollBar->setSingleStep(page > 10 ? page / 10 : 1);
    ScrollBar->setValue(int(Viewer->getViewPortLeft() * kScrollRange + 0.5));
}

void ReportPage::OnViewPortChanged()
{
    const bool partial = Viewer->getViewPortWidth() < 1.0;
    ScrollBar->setEnabled(partial);
    if (partial)
        setScrollInfo();
    if (Viewer->NeedUpdateChart())
        DrawChart();
    if (Viewer->NeedUpdateImageMap() && !Viewer->GetImageMapHandler()) {
        if (XYChart *chart = Viewer->GetChart())
            Viewer->SetImageMap(chart->imageMap(QString::fromLatin1(kBarTip)));
    }
}

void ReportPage::OnHScroll(bool endScroll)
{
    if (ChartBusy)
        return;
    if (endScroll) {
        Viewer->UpdateViewPort(false, true);
        return;
    }
    Viewer->setViewPortLeft(double(ScrollBar->value()) / kScrollRange);
    Viewer->UpdateViewPort(true, false);
}

void ReportPage::OnZoomIn()
{
    if (ZoomIn->GetCheck()) {
        ZoomOut->SetCheck(0);
        Viewer->SetMouseUsage(ChartViewer::MouseUsageZoomIn);
    } else {
        Viewer->SetMouseUsage(ChartViewer::MouseUsageDefault);
    }
}

void ReportPage::OnZoomOut()
{
    if (ZoomOut->GetCheck()) {
        ZoomIn->SetCheck(0);
        Viewer->SetMouseUsage(ChartViewer::MouseUsageZoomOut);
    } else {
        Viewer->SetMouseUsage(ChartViewer::MouseUsageDefault);
    }
}

void ReportPage::OnSetting()
{
    ChartSettingOpener::OnSetting(ChartSettingOpener::Page(m_index), FirstStep, this);
}

void ReportPage::StampTestTime(bool stopped)
{
    QString interval;
    Grid->GetCellTextTo(ValueColumn, kTestIntervalRow, interval);
    interval += reportTime(QDateTime::currentDateTime());
    Grid->SetCellText(ValueColumn, kTestIntervalRow, stopped ? StoppedText(interval) : interval);
    if (ValueColumn < 0)
        Grid->RepaintAllParts();
    else
        Grid->RepaintCell(ValueColumn, kTestIntervalRow);
}

void ReportPage::SetCell(int row, int column, const QString &text)
{
    if (row < 0 || column < 0 || row >= Grid->GetRowCount() || column >= Grid->GetColumnCount())
        return;
    Grid->SetCellText(column, row, text);
    Grid->RepaintCell(column, row);
}

QString ReportPage::Cell(int row, int column) const
{
    QString text;
    if (row >= 0 && column >= 0 && row < Grid->GetRowCount() && column < Grid->GetColumnCount())
        Grid->GetCellTextTo(column, row, text);
    return text;
}

// ---- Charts ----

QStringList ReportPage::barLabels(int first, int count) const
{
    QStringList labels;
    for (int bar = first; bar < first + count; ++bar)
        labels << (bar < BarLabels.size() ? BarLabels[bar] : QString());
    return labels;
}

QStringList ReportPage::axisLabels(int first, int count) const
{
    // Every step-th bar is labelled; the float 0.8 is the chart's own rounding. At least every bar
    // when fewer bars are shown than fit the view.
    const double inView = BarsInView > 0 ? BarsInView : 1.0;
    const int step = qMax(1, int(count / inView + 0.8f));
    QStringList labels = barLabels(first, count);
    for (int bar = 0; bar < labels.size(); ++bar) {
        if (bar % step != 0)
            labels[bar] = QStringLiteral("-");
    }
    return labels;
}

std::vector<double> ReportPage::slice(const std::vector<double> &series, int first, int count)
{
    std::vector<double> values;
    for (int bar = first; bar < first + count; ++bar)
        values.push_back(bar >= 0 && std::size_t(bar) < series.size() ? series[std::size_t(bar)] : 0.0);
    return values;
}

std::unique_ptr<XYChart> ReportPage::chartFrame(int width, int height, int plotWidthLess, int legendX,
                                                const char *titleKey, const char *yTitleKey) const
{
    auto chart =
        std::make_unique<XYChart>(width, height, ChartColor::kBackground, ChartColor::kTransparent, 0);
    chart->setBackground(ChartColor::linearGradient(0, 0, 0, height, 0xE1F3F6, 0xD2D6DF),
                         ChartColor::kTransparent, 1);
    // The page's own background colour outside the rounded corners.
    chart->setRoundedFrame(ChartColor(int(backgroundColor().rgb() & 0xFFFFFF)), 10);
    const ChartColor grid = ChartColor::dashLine(0xAAAAAA, 0x0202);
    chart->setPlotArea(70, 40, width - plotWidthLess, height - 120,
                       ChartColor::linearGradient(70, 40, 60, height - 80, 0xB3C3D9, 0xDFE8F2),
                       ChartColor::kNone, ChartColor::kTransparent, grid, grid);
    chart
        ->addTitle(text(titleKey), QStringLiteral("timesbi.ttf"), 15, ChartColor::kText,
                   ChartColor::kTransparent, ChartColor::kTransparent)
        .setBackground(0xCAD3E1, 0x000000, ChartEffect::glassEffect(3, 8, 5));
    chart->xAxis().setTitle(text("ResultPage_Axis_Rx_Ports"), QString(), 8);
    chart->yAxis().setTitle(text(yTitleKey), QString(), 8);
    chart->xAxis().setWidth(2);
    chart->yAxis().setWidth(2);
    chart->yAxis().setMargin(20, 0);
    chart->xAxis().setTickOffset(0.5);
    addLegend(*chart, legendX);
    return chart;
}

LegendBox &ReportPage::addLegend(XYChart &chart, int x)
{
    LegendBox &legend = chart.addLegend(x, 50, 0, QStringLiteral("arialbi.ttf"), 8);
    legend.setAlignment(TextBox::Top);
    legend.setText(QStringLiteral("{dataGroupName} {dataSetName}"));
    legend.setBackground(ChartColor::kTransparent, ChartColor::kTransparent);
    return legend;
}

BoxWhiskerLayer &ReportPage::addMarkers(XYChart &chart, const std::vector<double> &values, bool asMaximum,
                                        ChartColor color, int lineWidth, const char *tipKey)
{
    BoxWhiskerLayer &layer =
        asMaximum ? chart.addBoxWhiskerLayer({}, {}, values, {}, {}, ChartColor::kTransparent, color, color)
                  : chart.addBoxWhiskerLayer({}, {}, {}, values, {}, ChartColor::kTransparent, color, color);
    layer.setLineWidth(lineWidth);
    layer.setDataGap(0.1);
    layer.setHTMLImageMap(QStringLiteral("title='%1'").arg(text(tipKey)));
    return layer;
}

QString ReportPage::portText(const UtPortId &id)
{
    return QString::asprintf("(%d,%d,%d)", int(id.CID), int(id.BID), int(id.PID));
}

QString ReportPage::groupText(std::uint8_t pair) const
{
    if (!m_plan || pair == 0 || pair > m_plan->TestPairs.size())
        return QString();
    const std::uint8_t *ip = m_plan->TestPairs[pair - 1].GroupIP;
    return QString::asprintf("%d.%d.%d.%d", ip[0], ip[1], ip[2], ip[3]);
}

void ReportPage::DrawChart()
{
    const int bars = BarCount;
    const int first = qBound(0, int(Viewer->getViewPortLeft() * bars + 0.5), bars);
    int count = int(Viewer->getViewPortWidth() * bars + 0.5);
    if (first + count > bars)
        count = bars - first;
    // A page that was never shown has had no resize event yet.
    layOut();
    const QSize size = ChartPlaceholder->size();
    Viewer->SetChart(MakeChart(first, qMax(0, count), qMax(1, size.width()), qMax(1, size.height()), true));
}

QImage ReportPage::MakeChartImage(int width) const
{
    return MakeChart(0, BarCount, qMax(1, width), 280, false)->render();
}

QByteArray ReportPage::MakeChartImageData() const
{
    return MakeChart(0, BarCount, 800, 280, false)->encode(XYChart::Jpeg);
}

// ---- Grid ----

void ReportPage::beginReportGrid(int rows, int columns, int defaultColumnWidth,
                                 const std::vector<std::pair<int, int>> &columnWidths)
{
    CUGGridInfo *sheet = Grid->CurrentSheet();
    sheet->m_defColWidth = defaultColumnWidth;
    sheet->m_defRowHeight = 20;
    if (rows >= 0)
        Grid->SetRowCount(rows);
    Grid->SetColumnCount(columns);
    for (const auto &[column, width] : columnWidths)
        Grid->ChangeColumnWidth(column, width);
    // Nothing of an earlier run survives.
    sheet->m_dataSource->ClearAllCells();
    for (int column = -1; column < columns; ++column) {
        for (int row = -1; row < kColumnTitleRow; ++row)
            setBorder(column, row, kHeaderBorder, &WhitePen);
    }
    Grid->SetSideHeadingWidth(0);
    Grid->SetTopHeadingHeight(0);
}

void ReportPage::setBorder(int column, int row, std::uint16_t style, const QPen *pen)
{
    CUGCell cell;
    Grid->ReadCell(column, row, &cell);
    cell.m_borderStyle = style;
    cell.m_properties |= CellProp::BorderStyle;
    if (pen) {
        cell.m_borderPen = pen;
        cell.m_properties |= CellProp::BorderPen;
    }
    Grid->WriteCell(column, row, &cell);
}

void ReportPage::writeText(int column, int row, const QString &text, int lastRow)
{
    if (!text.isEmpty())
        Grid->SetCellText(column, row, text);
    if (lastRow > row)
        Grid->JoinCellRange(column, row, column, lastRow);
}

void ReportPage::writeHeaderRows(const char *titleKey, int valueColumn)
{
    const int last = Grid->GetColumnCount() - 1;
    const CIGMPTestPlan *testPlan = m_plan;
    writeText(0, 0, text(titleKey));
    Grid->JoinCellRange(0, 0, last, 0);
    Grid->SetCellAlignment(0, 0, kAlignCentreBoth);
    Grid->ChangeRowHeight(1, 10);
    Grid->JoinCellRange(0, 1, last, 1);

    ValueColumn = valueColumn;
    const QString values[] = {
        EngineHost::instance().testerName(),
        EngineHost::instance().dutName(),
        reportTime(QDateTime::currentDateTime()) + QStringLiteral(" -"),
        format("ResultPage_Secs", unsigned(testPlan ? testPlan->TestDuration : 0)),
        QString::asprintf("%u", unsigned(testPlan ? testPlan->FrameSize : 0)),
        // The plan keeps no load rate of its own until the first trial writes one.
        QString::asprintf("%u", 0u),
    };
    const char *const labels[] = {"ResultPage_Tester_Name",      "ResultPage_Device_Name",
                                  "ResultPage_Testing_Interval", "ResultPage_Test_Time",
                                  "ResultPage_Frame_Size",       "ResultPage_Load_Rate"};
    for (int i = 0; i < 6; ++i) {
        const int row = 2 + i;
        writeText(0, row, text(labels[i]));
        writeText(valueColumn, row, values[i]);
        Grid->SetCellAlignment(0, row, kAlignRight);
        Grid->SetCellAlignment(valueColumn, row, kAlignLeft);
        Grid->JoinCellRange(0, row, valueColumn - 1, row);
        Grid->JoinCellRange(valueColumn, row, last, row);
    }
    writeText(0, 8, QString(151, QLatin1Char('=')));
    Grid->JoinCellRange(0, 8, last, 8);
    writeText(0, 9, text("ResultPage_Summary"));
    Grid->JoinCellRange(0, 9, last, 9);
    writeText(0, 10, QString(160, QLatin1Char('-')));
    Grid->JoinCellRange(0, 10, last, 10);
    for (int column = 0; column <= last; ++column)
        Grid->SetCellAlignment(column, 10, kAlignLeft);
}

void ReportPage::writeColumnTitles(const QStringList &titles)
{
    for (int column = 0; column < titles.size(); ++column) {
        writeText(column, kColumnTitleRow, titles[column]);
        setBorder(column, kColumnTitleRow, kTitleBorder, nullptr);
        // A title wider than its column widens the column: a centred title would lose both ends.
        CUGCell cell;
        Grid->GetCellComposite(column, kColumnTitleRow, &cell);
        QSize needed;
        Grid->GetCellTypeOfCell(column, kColumnTitleRow)->MeasureContent(&needed, &cell);
        const int width = needed.width() + kTitleBorderWidth;
        if (width > Grid->GetColumnWidth(column))
            Grid->ChangeColumnWidth(column, width);
    }
}

void ReportPage::alignTable(int firstRow, int lastRow)
{
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int column = 0; column < Grid->GetColumnCount(); ++column)
            Grid->SetCellAlignment(column, row, kAlignCentreBoth);
    }
}

static_assert(int(ReportPage::MixClassPage) == ChartSettingOpener::MixClass &&
              int(ReportPage::FilterPage) == ChartSettingOpener::Filter &&
              int(ReportPage::PageCount) == ChartSettingOpener::PageCount);
