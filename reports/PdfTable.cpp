#include "reports/PdfTable.h"

#include "platform/pdf/PdfDocument.h"

#include <numeric>
#include <utility>

namespace {

constexpr float kLineWidth = 0.1f;
constexpr float kShade = 0.8f;
// A row that would leave this little room or less below it moves the rest of the table to a new
// page, whose first row starts this far from the top.
constexpr float kPageFootRoom = 35;
constexpr float kNewPageTop = 40;
// A merged block reaching this close to the foot of the page is cut short.
constexpr float kBlockFootRoom = 20;

} // namespace

void PdfTable::Create(PdfDocument *document, QPointF position, int columns, int rows, int font,
                      float fontSize, int boldFont, int rowHeight, int pageTemplate)
{
    FreeCells();
    m_columns = std::max(0, columns);
    m_rows = std::max(0, rows);
    ColumnWidths.assign(std::size_t(m_columns), 0);
    m_rowFlags.assign(std::size_t(m_rows), RowFlags());
    m_cells.assign(std::size_t(m_columns) * std::size_t(m_rows), PdfTableCell());
    m_document = document;
    m_position = position;
    m_font = font;
    m_fontSize = fontSize;
    m_boldFont = boldFont;
    m_rowHeight = rowHeight;
    m_pageTemplate = pageTemplate;
}

void PdfTable::MergeCells(int firstColumn, int firstGridRow, int lastGridRow, int lastColumn, bool merge)
{
    int firstRow = firstGridRow - kGridHeaderRows;
    int lastRow = lastGridRow - kGridHeaderRows;
    if (firstRow > lastRow)
        std::swap(firstRow, lastRow);
    if (firstColumn > lastColumn)
        std::swap(firstColumn, lastColumn);
    if (firstRow < 0 || lastRow >= m_rows || firstColumn < 0 || lastColumn >= m_columns)
        return;
    for (int r = firstRow; r <= lastRow; ++r) {
        for (int c = firstColumn; c <= lastColumn; ++c) {
            PdfTableCell &target = cell(r, c);
            target.Merged = merge ? 1 : 0;
            target.FirstRow = merge ? firstRow : -1;
            target.FirstColumn = merge ? firstColumn : -1;
            target.LastRow = merge ? lastRow : -1;
            target.LastColumn = merge ? lastColumn : -1;
        }
    }
}

void PdfTable::MergeRow(int row)
{
    if (row < 0 || row >= m_rows)
        return;
    m_rowFlags[std::size_t(row)].WholeRow = 1;
    for (int c = 0; c < m_columns; ++c) {
        PdfTableCell &target = cell(row, c);
        target.Merged = 1;
        target.FirstRow = target.LastRow = row;
        target.FirstColumn = 0;
        target.LastColumn = m_columns - 1;
    }
}

void PdfTable::SetCellText(int row, int column, const QString &text, int alignment)
{
    if (row < 0 || row >= m_rows || column < 0 || column >= m_columns)
        return;
    PdfTableCell &target = cell(row, column);
    target.Text = text;
    target.Alignment = alignment;
    if (!m_document)
        return;
    const int width = int(m_document->GetTextWidth(text));
    if (width > ColumnWidths[std::size_t(column)] && !m_rowFlags[std::size_t(row)].WholeRow)
        ColumnWidths[std::size_t(column)] = width;
}

void PdfTable::shade(float x, float y, float width)
{
    m_document->SetColor(kShade, kShade, kShade);
    m_document->DrawRectangle(x + 1, y + 1, width - 1, float(m_rowHeight) - 2);
    m_document->FillPath();
}

bool PdfTable::newPage()
{
    if (!m_document->AddPage())
        return false;
    return m_pageTemplate == -1 || m_document->PlaceTemplate(m_document->GetCurrentPage(), m_pageTemplate);
}

bool PdfTable::Draw(QPointF &end)
{
    const float x0 = float(m_position.x());
    float y = float(m_position.y());
    end = m_position;
    if (!m_document)
        return true;
    PdfDocument &doc = *m_document;
    const float rowHeight = float(m_rowHeight);
    const float pageHeight = float(doc.GetPageHeight());
    const std::vector<float> widths = drawnWidths(float(doc.GetPageWidth()) - 2 * x0);
    const float xEnd = x0 + std::accumulate(widths.begin(), widths.end(), 0.f);
    doc.SetLineWidth(kLineWidth);
    doc.MoveTo(x0, y);
    if (m_rows == 0)
        return true;

    for (int r = 0; r < m_rows; ++r) {
        const RowFlags flags = m_rowFlags[std::size_t(r)];
        float x = x0;
        for (int c = 0; c < m_columns; ++c) {
            const PdfTableCell &current = cell(r, c);
            const float width = widths[std::size_t(c)];
            // Top edge, unless the cell continues a block from the row above.
            doc.MoveTo(x, y);
            if (!(current.Merged && current.FirstRow != r))
                doc.LineTo(x + width, y);
            doc.StrokePath();
            // Left edge, unless the cell continues a block or a whole-row text from its left.
            doc.MoveTo(x, y);
            if (c == 0 || (!flags.WholeRow && !(current.Merged && current.FirstColumn != c)))
                doc.LineTo(x, y + rowHeight);
            doc.StrokePath();

            bool drawn = true;
            if (flags.WholeRow) {
                if (flags.Header)
                    shade(x, y, width);
                drawn = doc.SetFont(flags.Header ? m_boldFont : m_font, m_fontSize);
                doc.SetColor(0, 0, 0);
                doc.DrawText(x + 1, y + 1, current.Text);
            } else if (flags.Header) {
                shade(x, y, width);
                drawn = doc.SetFont(m_boldFont, m_fontSize);
                doc.SetColor(0, 0, 0);
                drawn = drawn && doc.DrawTextBox(x + 1, y + 1, x + width - 2, y + rowHeight,
                                                 current.Alignment, false, current.Text);
            } else if (current.Merged) {
                if (c == current.FirstColumn && r == current.FirstRow) {
                    drawn = doc.SetFont(m_font, m_fontSize);
                    doc.SetColor(0, 0, 0);
                    const float blockWidth =
                        std::accumulate(widths.begin() + c, widths.begin() + current.LastColumn + 1, 0.f);
                    float blockHeight = float(current.LastRow - current.FirstRow + 1) * rowHeight;
                    if (y + blockHeight + kBlockFootRoom >= pageHeight)
                        blockHeight = pageHeight - y - (kBlockFootRoom + 1) + rowHeight;
                    drawn = drawn && doc.DrawTextBox(x + 1, y + 1, x + blockWidth - 2, y + blockHeight,
                                                     current.Alignment, true, current.Text);
                }
            } else {
                drawn = doc.SetFont(m_font, m_fontSize);
                doc.SetColor(0, 0, 0);
                drawn = drawn && doc.DrawTextBox(x + 1, y + 1, x + width - 2, y + rowHeight,
                                                 current.Alignment, false, current.Text);
            }
            if (!drawn)
                return false;
            x += width;
        }
        doc.MoveTo(x, y);
        doc.LineTo(x, y + rowHeight);

        if (pageHeight - y - rowHeight > kPageFootRoom || r == m_rows - 1) {
            y += rowHeight;
            continue;
        }
        // The row's bottom edge closes the page, except under blocks that go on below it.
        float xk = x0;
        for (int k = 0; k < m_columns; ++k) {
            const PdfTableCell &below = cell(r, k);
            const float width = widths[std::size_t(k)];
            doc.MoveTo(xk, y + rowHeight);
            if (!below.Merged || below.LastRow == r)
                doc.LineTo(xk + width, y + rowHeight);
            xk += width;
        }
        doc.StrokePath();
        if (!newPage())
            return false;
        y = kNewPageTop;
    }
    doc.MoveTo(x0, y);
    doc.LineTo(xEnd, y);
    doc.StrokePath();
    end = QPointF(x0, y);
    return true;
}

std::vector<float> PdfTable::drawnWidths(float room) const
{
    std::vector<float> widths(ColumnWidths.begin(), ColumnWidths.end());
    const float total = std::accumulate(widths.begin(), widths.end(), 0.f);
    if (room > 0 && total > room) {
        for (float &width : widths)
            width *= room / total;
    }
    return widths;
}

void PdfTable::FreeCells()
{
    m_cells.clear();
    ColumnWidths.clear();
    m_rowFlags.clear();
    m_document = nullptr;
    m_columns = 0;
    m_rows = 0;
}
