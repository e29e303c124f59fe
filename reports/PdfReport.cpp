// The PDF test report: a title page with the tests that ran and the start time, one section per test
// that ran (its chart and result table, or its result lines and table), the counter log, and the
// chassis, system and port information. Every page carries the watermark. The document is built in
// memory and written whole at the end.
#include "engine/LanguageText.h"
#include "reports/CounterLog.h"

#include "controls/grid/MyCug.h"
#include "controls/widgets/SkinListCtrl.h"
#include "engine/EngineHost.h"
#include "engine/EngineUtils.h"
#include "platform/pdf/PdfDocument.h"
#include "ports/ModuleInfodlg.h"
#include "ports/PortInfoConfig.h"
#include "ports/SysInfoDlg.h"
#include "reports/PdfTable.h"
#include "reports/ReportAggregate.h"
#include "reports/ReportFilter.h"
#include "reports/ReportLatency.h"
#include "reports/ReportMixClass.h"
#include "reports/ReportScale.h"
#include "reports/ReportSources.h"
#include "testpages/DlgCapacity.h"
#include "testpages/DlgJoinLeave.h"

#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QTableWidget>
#include <algorithm>
#include <array>
#include <cerrno>

namespace {

// Margins and steps of the layout, in points.
constexpr float kPdfMargin = 15;
constexpr float kPdfSectionTitleTop = 35;
constexpr float kPdfSectionTitleBottom = 57;
constexpr float kPdfSectionBodyTop = 75;
constexpr float kPdfHeadingHeight = 16;
constexpr float kPdfHeadingStep = 19;
constexpr float kPdfLineStep = 24;
constexpr float kPdfChartStep = 290;
// The Capacity and Join/Leave tables are this wide, centred.
constexpr int kPdfCentredTableWidth = 812;
constexpr int kPdfCounterColumnWidth = 58;
constexpr int kPdfCounterColumns = 14;
// The counter table's last column shows this list column.
constexpr int kPdfCounterLastListColumn = 17;
// The page is 72 units an inch; a picture without a resolution of its own is taken as 96 dots an inch.
constexpr double kPdfUnitsPerInch = 72;
constexpr double kPdfDefaultImageDpi = 96;

// A language text with one "%s" or "%d" filled in.
QString pdfFormat(const char *key, const QString &value)
{
    QString pattern = languageText(key);
    const qsizetype at = pattern.indexOf(u'%');
    return at >= 0 && at + 1 < pattern.size() ? pattern.replace(at, 2, value) : pattern + value;
}

// The watermark when the program folder has no picture of its own: the product name, large, pale and
// slanted across a page-sized transparent picture of 96 dots an inch.
QImage pdfDrawnWatermark()
{
    QImage image(1123, 794, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const int dotsPerMetre = int(kPdfDefaultImageDpi / 0.0254 + 0.5);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(image.width() / 2.0, image.height() / 2.0);
    painter.rotate(-30);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setBold(true);
    font.setPixelSize(110);
    painter.setFont(font);
    painter.setPen(QColor(0, 0, 0, 18));
    painter.drawText(QRectF(-700, -100, 1400, 200), Qt::AlignCenter, QStringLiteral("Tavrix-IGMP-TQ"));
    return image;
}

class PdfReportWriter
{
public:
    explicit PdfReportWriter(CCounterLog &counterPage) : m_counterPage(counterPage) {}

    SaveResult write(const QString &path)
    {
        const bool composed = setUp() && titlePage() && resultSections() && counterSection() &&
                              chassisSection() && systemSection() && portSection();
        // A report that could not be drawn is not written at all.
        const SaveResult written = composed ? m_doc.SaveToFile(path) : SaveResult{EIO};
        m_table.FreeCells();
        return written;
    }

private:
    bool setUp()
    {
        m_bold = m_doc.AddFont(QStringLiteral("Arial"), true);
        m_regular = m_doc.AddFont(QStringLiteral("Arial"), false);
        m_unicode = m_doc.AddFont(QStringLiteral("Arial Unicode MS"), false);
        m_width = m_doc.GetPageWidth();
        m_height = m_doc.GetPageHeight();
        return makeWatermark();
    }

    // The picture "watermark_h.png" of the program folder at its own size in inches, else the drawn one.
    bool makeWatermark()
    {
        m_watermark = m_doc.AddTemplate();
        const QString file = GetAppDirectory() + QStringLiteral("watermark_h.png");
        const QImage picture = QFileInfo::exists(file) ? QImage(file) : QImage();
        const QImage image = picture.isNull() ? pdfDrawnWatermark() : picture;
        const int imageId = m_doc.AddImage(image);
        const double dpi = image.dotsPerMeterX() > 0 ? image.dotsPerMeterX() * 0.0254 : kPdfDefaultImageDpi;
        const double scale = kPdfUnitsPerInch / dpi;
        const bool drawn =
            m_doc.BeginTemplate(m_watermark) &&
            m_doc.DrawImage(imageId, 0, 0, float(image.width() * scale), float(image.height() * scale));
        m_doc.EndTemplate();
        return drawn;
    }

    bool titlePage()
    {
        static constexpr std::array<const char *, 7> kContentKeys{
            "PdfReport_Content_Mix_Class", "PdfReport_Content_Aggregate", "PdfReport_Content_Scale",
            "PdfReport_Content_Latency",   "PdfReport_Content_Capacity",  "PdfReport_Content_Join_Leave",
            "PdfReport_Content_Filter"};
        float x = float(m_width / 5);
        float y = float(m_height / 4);
        if (!m_doc.SetFont(m_bold, 25))
            return false;
        m_doc.DrawText(x, y, languageText("PdfReport_Title"));
        y += 50;
        if (!m_doc.SetFont(m_bold, 20))
            return false;
        m_doc.DrawText(x, y, languageText("PdfReport_Test_Content"));
        y += 30;
        if (!m_doc.SetFont(m_bold, 15))
            return false;
        int number = 1;
        for (std::size_t test = 0; test < kContentKeys.size(); ++test) {
            if (!ran(int(test)))
                continue;
            m_doc.DrawText(x + 20, y, pdfFormat(kContentKeys[test], QString::number(number++)));
            y += 25;
        }
        y += 15;
        if (!m_doc.SetFont(m_bold, 20))
            return false;
        // The time follows the label after a few blanks.
        const QString label = languageText("PdfReport_Test_Time") + QStringLiteral("    ");
        m_doc.DrawText(x, y, label);
        const float labelWidth = float(int(m_doc.GetTextWidth(label)));
        const ReportSources &sources = ReportSources::instance();
        const QDateTime start = sources.runStartTime ? sources.runStartTime() : QDateTime();
        const QDate date = start.date();
        const QTime time = start.time();
        if (!m_doc.SetFont(m_bold, 15))
            return false;
        m_doc.DrawText(x + labelWidth, y + 5,
                       QString::asprintf("%04d/%02d/%02d  -  %02d:%02d:%02d",
                                         date.isValid() ? date.year() : 0, date.isValid() ? date.month() : 0,
                                         date.isValid() ? date.day() : 0, time.isValid() ? time.hour() : 0,
                                         time.isValid() ? time.minute() : 0,
                                         time.isValid() ? time.second() : 0));
        // Placed after the text, as on every other page where the page's first drawing is the mark.
        return m_doc.PlaceTemplate(0, m_watermark);
    }

    bool ran(int test) const { return m_counterPage.ResultPages().ran(test); }

    bool sectionPage(const char *titleKey)
    {
        if (!m_doc.AddPage() || !m_doc.PlaceTemplate(m_doc.GetCurrentPage(), m_watermark) ||
            !m_doc.SetFont(m_bold, 20) ||
            !m_doc.DrawTextBox(0, kPdfSectionTitleTop, float(m_width), kPdfSectionTitleBottom,
                               PdfDocument::AlignCentre, false, languageText(titleKey)))
            return false;
        m_y = kPdfSectionBodyTop;
        return true;
    }

    // A centred line in the current font.
    bool heading(const char *key)
    {
        if (!m_doc.DrawTextBox(kPdfMargin, m_y, float(m_width), m_y + kPdfHeadingHeight,
                               PdfDocument::AlignCentre, false, languageText(key)))
            return false;
        m_y += kPdfHeadingStep;
        return true;
    }

    bool drawTable()
    {
        QPointF end;
        if (!m_table.Draw(end))
            return false;
        m_y = float(end.y());
        return true;
    }

    void setColumnWidths(int width)
    {
        std::fill(m_table.ColumnWidths.begin(), m_table.ColumnWidths.end(), std::max(0, width));
    }

    // Column 0 of the Capacity and Join/Leave tables: ports right, test rows left, the rest centred.
    static int firstColumnAlignment(const QString &text)
    {
        if (text.contains(u'('))
            return PdfDocument::AlignRight;
        if (text.contains(QStringLiteral("Test")))
            return PdfDocument::AlignLeft;
        return PdfDocument::AlignCentre;
    }

    bool resultSections()
    {
        const ReportResultPages &report = m_counterPage.ResultPages();
        return (!ran(TestMixClass) || resultSection(*report.MixClass, "PdfReport_Section_Mix_Class")) &&
               (!ran(TestAggregate) || resultSection(*report.Aggregate, "PdfReport_Section_Aggregate")) &&
               (!ran(TestScale) || resultSection(*report.Scale, "PdfReport_Section_Scale")) &&
               (!ran(TestLatency) || resultSection(*report.Latency, "PdfReport_Section_Latency")) &&
               (!ran(TestCapacity) || capacitySection()) && (!ran(TestJoinLeave) || joinLeaveSection()) &&
               (!ran(TestSourceFilter) || resultSection(*report.Filter, "PdfReport_Section_Filter"));
    }

    // The page's chart over the whole width, then its result table from the column titles on, with the
    // grid's joined blocks merged.
    bool resultSection(const ReportPage &page, const char *titleKey)
    {
        if (!sectionPage(titleKey) || !m_doc.SetFont(m_regular, 14) || !heading("PdfReport_Chart_Report"))
            return false;
        const int chartId = m_doc.AddImage(page.MakeChartImage(m_width - 2 * int(kPdfMargin)));
        if (chartId < 0 || !m_doc.DrawImageAt(chartId, kPdfMargin, m_y))
            return false;
        m_y += kPdfChartStep;
        if (!heading("PdfReport_Result") || !m_doc.SetFont(m_regular, 7))
            return false;

        CUGCtrl &grid = *page.Grid;
        const int columns = grid.GetColumnCount();
        const int rows = grid.GetRowCount() - PdfTable::kGridHeaderRows;
        m_table.Create(&m_doc, {kPdfMargin, m_y}, columns, rows, m_regular, 12, m_bold, 15, m_watermark);
        if (columns > 0)
            setColumnWidths((m_width - 2 * int(kPdfMargin)) / columns);
        if (rows > 0)
            m_table.SetHeaderRow(0);
        for (int r = PdfTable::kGridHeaderRows; r < grid.GetRowCount(); ++r) {
            for (int c = 0; c < columns; ++c) {
                int firstColumn = c, firstRow = r, lastColumn = c, lastRow = r;
                if (grid.FindJoinedBlock(&firstColumn, &firstRow, &lastColumn, &lastRow) == 0) {
                    if (firstColumn != c || firstRow != r)
                        continue;
                    m_table.MergeCells(c, r, lastRow, lastColumn, true);
                }
                QString text;
                grid.GetCellTextTo(c, r, text);
                m_table.SetCellText(r - PdfTable::kGridHeaderRows, c, text, PdfDocument::AlignCentre);
            }
        }
        return drawTable();
    }

    // A two-level table of a test page's result grid: the headings, then one row per grid row.
    bool pageGridTable(const QTableWidget &grid, int columnWidth)
    {
        const int columns = grid.columnCount();
        m_table.Create(&m_doc, {float((m_width - kPdfCentredTableWidth) / 2), m_y}, columns,
                       grid.rowCount() + 1, m_regular, 17, m_bold, 20, m_watermark);
        setColumnWidths(columnWidth);
        m_table.SetHeaderRow(0);
        for (int c = 0; c < columns; ++c) {
            const QTableWidgetItem *title = grid.horizontalHeaderItem(c);
            m_table.SetCellText(0, c, title ? title->text() : QString(), PdfDocument::AlignCentre);
        }
        for (int r = 0; r < grid.rowCount(); ++r) {
            for (int c = 0; c < columns; ++c) {
                const QTableWidgetItem *item = grid.item(r, c);
                const QString text = item ? item->text() : QString();
                m_table.SetCellText(r + 1, c, text,
                                    c == 0 ? firstColumnAlignment(text) : PdfDocument::AlignCentre);
            }
        }
        return drawTable();
    }

    bool capacitySection()
    {
        const auto *capacity = dynamic_cast<const CDlgCapacity *>(EngineHost::instance().capacityPage);
        if (!sectionPage("PdfReport_Section_Capacity") || !m_doc.SetFont(m_regular, 14))
            return false;
        m_doc.DrawText(
            kPdfMargin, m_y,
            pdfFormat("PdfReport_Last_Pass", capacity ? capacity->CapacityLabel->text() : QString()));
        m_y += kPdfLineStep;
        if (!heading("PdfReport_Result_Report") || !m_doc.SetFont(m_regular, 14))
            return false;
        return !capacity || pageGridTable(*capacity->ResultGrid, kPdfCentredTableWidth / 2);
    }

    bool joinLeaveSection()
    {
        const auto *joinLeave = dynamic_cast<const CDlgJoinLeave *>(EngineHost::instance().joinLeavePage);
        if (!sectionPage("PdfReport_Section_Join_Leave") || !m_doc.SetFont(m_regular, 14))
            return false;
        m_doc.DrawText(
            kPdfMargin, m_y,
            pdfFormat("PdfReport_Join_Average", joinLeave ? joinLeave->JoinAverageLabel->text() : QString()));
        m_y += kPdfLineStep;
        m_doc.DrawText(kPdfMargin, m_y,
                       pdfFormat("PdfReport_Leave_Average",
                                 joinLeave ? joinLeave->LeaveAverageLabel->text() : QString()));
        m_y += kPdfLineStep;
        if (!heading("PdfReport_Result_Report") || !m_doc.SetFont(m_regular, 14))
            return false;
        if (!joinLeave)
            return true;
        const int columns = std::max(1, joinLeave->ResultGrid->columnCount());
        return pageGridTable(*joinLeave->ResultGrid, (m_width - 2 * int(kPdfMargin)) / columns);
    }

    // The counter log: a trial header runs across its row, a latency caption row is a header row.
    bool counterSection()
    {
        if (!sectionPage("PdfReport_Section_Counter") || !m_doc.SetFont(m_regular, 7))
            return false;
        const CSkinListCtrl &list = *m_counterPage.List;
        const int items = list.GetItemCount();
        m_table.Create(&m_doc, {kPdfMargin, m_y}, kPdfCounterColumns, items + 1, m_regular, 7, m_bold, 10,
                       m_watermark);
        setColumnWidths(kPdfCounterColumnWidth);
        m_table.SetHeaderRow(0);
        const auto listColumn = [](int column) {
            return column == kPdfCounterColumns - 1 ? kPdfCounterLastListColumn : column;
        };
        for (int c = 0; c < kPdfCounterColumns; ++c)
            m_table.SetCellText(0, c, list.GetColumnCaption(listColumn(c)), PdfDocument::AlignCentre);
        for (int i = 0; i < items; ++i) {
            const int row = i + 1;
            const UtListRowStyle *style = list.Style(i);
            if (style && style->HeaderRow) {
                m_table.MergeRow(row);
                m_table.SetCellText(row, 0, list.GetItemText(i, 0), PdfDocument::AlignLeft);
                continue;
            }
            const bool captionRow = list.GetItemText(i, 3).contains(QStringLiteral("Max"));
            if (captionRow)
                m_table.SetHeaderRow(row);
            for (int c = 0; c < kPdfCounterColumns; ++c) {
                const QString text = list.GetItemText(i, listColumn(c));
                int alignment = PdfDocument::AlignRight;
                if (c == 0 && !text.contains(u'('))
                    alignment = PdfDocument::AlignLeft;
                else if (captionRow && c >= 3 && c <= 5)
                    alignment = PdfDocument::AlignCentre;
                m_table.SetCellText(row, c, text, alignment);
            }
        }
        return drawTable();
    }

    // A grid with its headings: the heading row is the table's header row, the side headings its first
    // column; grid rows from firstRow on follow.
    bool headedGridTable(CUGCtrl &grid, int firstRow)
    {
        const int columns = grid.GetColumnCount() + 1;
        const int rows = std::max(0, grid.GetRowCount() - firstRow) + 1;
        m_table.Create(&m_doc, {kPdfMargin, m_y}, columns, rows, m_regular, 12, m_bold, 15, m_watermark);
        // Every column shares the width, the side headings' column included.
        setColumnWidths((m_width - 2 * int(kPdfMargin)) / columns);
        m_table.SetHeaderRow(0);
        for (int r = -1; r < grid.GetRowCount(); ++r) {
            if (r >= 0 && r < firstRow)
                continue;
            const int row = r < 0 ? 0 : r - firstRow + 1;
            for (int c = -1; c < grid.GetColumnCount(); ++c) {
                QString text;
                grid.GetCellTextTo(c, r, text);
                m_table.SetCellText(row, c + 1, text, PdfDocument::AlignCentre);
            }
        }
        return drawTable();
    }

    bool chassisSection()
    {
        if (!sectionPage("PdfReport_Section_Chassis"))
            return false;
        CModuleInfodlg *modules = ReportSources::instance().readModuleInfo(&m_counterPage);
        if (!modules)
            return true;
        return m_doc.SetFont(m_regular, 12) && headedGridTable(*modules->Grid(), 0);
    }

    bool systemSection()
    {
        if (!sectionPage("PdfReport_Section_System") || !m_doc.SetFont(m_unicode, 15))
            return false;
        const ReportSources &sources = ReportSources::instance();
        const CSysInfoDlg *system = sources.systemInfoPage ? sources.systemInfoPage() : nullptr;
        m_table.Create(&m_doc, {kPdfMargin, m_y}, 2, CSysInfoDlg::FieldCount, m_unicode, 15, m_unicode, 20,
                       m_watermark);
        setColumnWidths((m_width - 2 * int(kPdfMargin)) / 2);
        for (int field = 0; system && field < CSysInfoDlg::FieldCount; ++field) {
            m_table.SetCellText(field, 0, system->labelText(field), PdfDocument::AlignLeft);
            m_table.SetCellText(field, 1, system->valueText(field), PdfDocument::AlignLeft);
        }
        return drawTable();
    }

    // The port settings grid without its all-ports row.
    bool portSection()
    {
        if (!sectionPage("PdfReport_Section_Port") || !m_doc.SetFont(m_regular, 12))
            return false;
        const ReportSources &sources = ReportSources::instance();
        CPortInfoConfig *ports = sources.portInfoPage ? sources.portInfoPage() : nullptr;
        return !ports || !ports->SettingsGrid || headedGridTable(*ports->SettingsGrid, 1);
    }

    CCounterLog &m_counterPage;
    PdfDocument m_doc;
    PdfTable m_table;
    int m_bold = 0;
    int m_regular = 0;
    int m_unicode = 0;
    int m_watermark = -1;
    int m_width = 0;
    int m_height = 0;
    float m_y = 0;
};

} // namespace

SaveResult CCounterLog::SavePdfReport(const QString &path)
{
    return PdfReportWriter(*this).write(path);
}
