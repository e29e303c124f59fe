#pragma once

#include <QPointF>
#include <QString>

#include <cstdint>
#include <vector>

class PdfDocument;

struct PdfTableCell
{
    QString Text;
    int Alignment = 0;
    std::uint8_t Merged = 0;
    // The merged block holding the cell, in table rows and columns; -1 when not merged.
    int FirstRow = -1, FirstColumn = -1, LastRow = -1, LastColumn = -1;
};

// A grid of text cells drawn on the pages of a PDF report: borders, merged blocks, shaded header
// rows, whole-row texts and page breaks. One table object serves a whole report: `Create` sets it up
// again for each table.
class PdfTable
{
public:
    // Rows above the data in the result grids that feed the tables: `MergeCells` takes grid rows.
    static constexpr int kGridHeaderRows = 11;

    ~PdfTable() { FreeCells(); }

    void Create(PdfDocument *document, QPointF position, int columns, int rows, int font, float fontSize,
                int boldFont, int rowHeight, int pageTemplate);
    // Marks (merge) or clears the rectangle given in grid rows; reversed bounds are put in order.
    void MergeCells(int firstColumn, int firstGridRow, int lastGridRow, int lastColumn, bool merge);
    // The whole row becomes one cell whose text (in column 0) runs across it.
    void MergeRow(int row);
    void SetHeaderRow(int row) { m_rowFlags[std::size_t(row)].Header = 1; }
    // Stores the text and widens the column to the text's width in the document's current font.
    void SetCellText(int row, int column, const QString &text, int alignment);
    QString GetCellText(int row, int column) const { return cell(row, column).Text; }
    bool IsMerged(int row, int column) const { return cell(row, column).Merged != 0; }
    // Draws the table below its position and gives the point where it ended. A table wider than the
    // page less its left margin on either side is drawn with every column narrowed in proportion (the
    // texts shrink to their boxes), so that it always fits the page.
    bool Draw(QPointF &end);
    void FreeCells();

    int ColumnCount() const { return m_columns; }
    int RowCount() const { return m_rows; }
    std::vector<int> ColumnWidths;

private:
    struct RowFlags
    {
        std::uint8_t WholeRow = 0;
        std::uint8_t Header = 0;
    };

    PdfTableCell &cell(int row, int column) { return m_cells[std::size_t(row * m_columns + column)]; }
    const PdfTableCell &cell(int row, int column) const
    {
        return m_cells[std::size_t(row * m_columns + column)];
    }
    void shade(float x, float y, float width);
    // The column widths as drawn: the widths, narrowed in proportion to fit the room when wider.
    std::vector<float> drawnWidths(float room) const;
    bool newPage();

    int m_columns = 0;
    int m_rows = 0;
    std::vector<RowFlags> m_rowFlags;
    PdfDocument *m_document = nullptr;
    std::vector<PdfTableCell> m_cells;
    QPointF m_position;
    int m_font = 0;
    float m_fontSize = 7.0f;
    int m_boldFont = 0;
    int m_rowHeight = 0;
    int m_pageTemplate = -1;
};
