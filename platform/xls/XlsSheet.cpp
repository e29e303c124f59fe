#include "platform/xls/XlsSheet.h"

#include "platform/xls/BiffStream.h"
#include "platform/xls/ByteWriter.h"
#include "platform/xls/OfficeDrawing.h"
#include "platform/xls/XlsBook.h"

#include <algorithm>
#include <cmath>

namespace {

enum SheetRecord : std::uint16_t
{
    CalcMode = 0x000D,
    CalcCount = 0x000C,
    RefMode = 0x000F,
    Iteration = 0x0011,
    Delta = 0x0010,
    SaveRecalc = 0x005F,
    PrintHeaders = 0x002A,
    PrintGridLines = 0x002B,
    GridSet = 0x0082,
    Guts = 0x0080,
    DefaultRowHeight = 0x0225,
    WsBool = 0x0081,
    DefColWidth = 0x0055,
    ColInfo = 0x007D,
    Dimensions = 0x0200,
    Row = 0x0208,
    LabelSst = 0x00FD,
    Number = 0x0203,
    MsoDrawing = 0x00EC,
    Obj = 0x005D,
    Window2 = 0x023E,
    MergedCells = 0x00E5,
};

constexpr std::uint16_t kDefaultXf = 15;
constexpr int kDefaultRowTwips = 255;    // 12.75 points: the default font's row
constexpr int kDefaultColumnPixels = 64; // 8.43 characters
constexpr int kDigitPixels = 7;          // the default font's digit width at 96 dpi
constexpr int kColumnPaddingPixels = 5;
constexpr int kMergesPerRecord = 1026;

bool inSheet(int row, int column)
{
    return row >= 0 && row < XlsSheet::kMaxRows && column >= 0 && column < XlsSheet::kMaxColumns;
}

} // namespace

XlsSheet::XlsSheet(XlsBook &book, const QString &name)
    : m_book(book), m_name(name), m_columnWidths(kMaxColumns, -1.0)
{
}

bool XlsSheet::placeCell(int row, int column, const XlsFormat *format, Cell cell)
{
    const int xf = m_book.xfIndex(format);
    if (!inSheet(row, column) || xf < 0)
        return false;
    cell.column = std::uint16_t(column);
    cell.xf = std::uint16_t(xf);
    if (std::size_t(row) >= m_rows.size())
        m_rows.resize(std::size_t(row) + 1);
    std::vector<Cell> &cells = m_rows[std::size_t(row)];
    // Cells mostly arrive left to right: appending is the common case.
    if (cells.empty() || cells.back().column < cell.column) {
        cells.push_back(cell);
        return true;
    }
    auto at = std::lower_bound(cells.begin(), cells.end(), cell.column,
                               [](const Cell &c, std::uint16_t col) { return c.column < col; });
    if (at != cells.end() && at->column == cell.column)
        *at = cell;
    else
        cells.insert(at, cell);
    return true;
}

bool XlsSheet::writeStr(int row, int column, const QString &text, const XlsFormat *format)
{
    if (text.size() > kMaxTextLength || !inSheet(row, column) || m_book.xfIndex(format) < 0)
        return false;
    Cell cell{};
    cell.isText = true;
    cell.stringIndex = m_book.stringIndex(text);
    return placeCell(row, column, format, cell);
}

bool XlsSheet::writeNum(int row, int column, double value, const XlsFormat *format)
{
    Cell cell{};
    cell.isText = false;
    cell.number = value;
    return placeCell(row, column, format, cell);
}

bool XlsSheet::setCol(int first, int last, double width)
{
    if (first < 0 || last < first || last >= kMaxColumns || !(width >= 0 && width <= 255))
        return false;
    std::fill(m_columnWidths.begin() + first, m_columnWidths.begin() + last + 1, width);
    return true;
}

bool XlsSheet::setRow(int row, double height)
{
    if (row < 0 || row >= kMaxRows || !(height >= 0 && height <= 409))
        return false;
    m_rowHeights[row] = height;
    return true;
}

bool XlsSheet::setMerge(int rowFirst, int rowLast, int columnFirst, int columnLast)
{
    if (!inSheet(rowFirst, columnFirst) || !inSheet(rowLast, columnLast) || rowLast < rowFirst ||
        columnLast < columnFirst)
        return false;
    m_merges.push_back({std::uint16_t(rowFirst), std::uint16_t(rowLast), std::uint8_t(columnFirst),
                        std::uint8_t(columnLast)});
    return true;
}

bool XlsSheet::setPicture(int row, int column, int pictureId, int width, int height, int offsetX, int offsetY)
{
    const XlsBook::Picture *picture = m_book.picture(pictureId);
    if (!picture || !inSheet(row, column) || offsetX < 0 || offsetY < 0)
        return false;
    m_pictures.push_back({row, column, pictureId, width > 0 ? width : picture->width,
                          height > 0 ? height : picture->height, offsetX, offsetY});
    return true;
}

int XlsSheet::columnPixels(int column) const
{
    const double width = m_columnWidths[std::size_t(column)];
    if (width < 0)
        return kDefaultColumnPixels;
    if (width < 1)
        return int(std::lround(width * (kDigitPixels + kColumnPaddingPixels)));
    return int(std::lround(width * kDigitPixels)) + kColumnPaddingPixels;
}

int XlsSheet::rowPixels(int row) const
{
    const auto found = m_rowHeights.find(row);
    const double points = found == m_rowHeights.end() ? kDefaultRowTwips / 20.0 : found->second;
    return int(std::lround(points * 4 / 3));
}

QByteArray XlsSheet::anchorOf(const Picture &picture) const
{
    // Walks from the top-left cell until the offsets and the size are used up; a picture running past
    // the sheet's last row or column is cut there.
    auto corner = [](int index, int offset, int limit, auto pixelsOf) {
        while (index < limit - 1 && offset >= pixelsOf(index)) {
            offset -= pixelsOf(index);
            ++index;
        }
        return std::pair{index, std::min(offset, pixelsOf(index))};
    };
    auto columnPx = [this](int c) { return std::max(1, columnPixels(c)); };
    auto rowPx = [this](int r) { return std::max(1, rowPixels(r)); };
    const auto [colL, dxL] = corner(picture.column, picture.offsetX, kMaxColumns, columnPx);
    const auto [rwT, dyT] = corner(picture.row, picture.offsetY, kMaxRows, rowPx);
    const auto [colR, dxR] = corner(colL, dxL + picture.width, kMaxColumns, columnPx);
    const auto [rwB, dyB] = corner(rwT, dyT + picture.height, kMaxRows, rowPx);

    QByteArray anchor;
    ByteWriter out(anchor);
    out.u16(2); // moves with its cells, keeps its size
    out.u16(std::uint16_t(colL));
    out.u16(std::uint16_t(dxL * 1024 / columnPx(colL)));
    out.u16(std::uint16_t(rwT));
    out.u16(std::uint16_t(dyT * 256 / rowPx(rwT)));
    out.u16(std::uint16_t(colR));
    out.u16(std::uint16_t(std::min(1023, dxR * 1024 / columnPx(colR))));
    out.u16(std::uint16_t(rwB));
    out.u16(std::uint16_t(std::min(255, dyB * 256 / rowPx(rwB))));
    return anchor;
}

void XlsSheet::write(BiffStream &stream, int drawingId, bool selected) const
{
    stream.beginSubstream(BiffStream::Worksheet);

    stream.record16(CalcMode, 1);
    stream.record16(CalcCount, 100);
    stream.record16(RefMode, 1);
    stream.record16(Iteration, 0);
    QByteArray delta;
    ByteWriter(delta).f64(0.001);
    stream.record(Delta, delta);
    stream.record16(SaveRecalc, 1);
    stream.record16(PrintHeaders, 0);
    stream.record16(PrintGridLines, 0);
    stream.record16(GridSet, 1);
    stream.record(Guts, QByteArray(8, '\0'));
    QByteArray rowHeight;
    ByteWriter rowHeightOut(rowHeight);
    rowHeightOut.u16(0);
    rowHeightOut.u16(kDefaultRowTwips);
    stream.record(DefaultRowHeight, rowHeight);
    stream.record16(WsBool, 0x04C1);
    stream.record16(DefColWidth, 8);

    // One COLINFO per run of columns of the same set width.
    for (int first = 0; first < kMaxColumns;) {
        const double width = m_columnWidths[std::size_t(first)];
        int last = first;
        while (last + 1 < kMaxColumns && m_columnWidths[std::size_t(last + 1)] == width)
            ++last;
        if (width >= 0) {
            QByteArray info;
            ByteWriter out(info);
            out.u16(std::uint16_t(first));
            out.u16(std::uint16_t(last));
            // Stored in 1/256 of a character, the cell padding included.
            out.u16(std::uint16_t(std::min(65535.0, std::round(columnPixels(first) * 256.0 / kDigitPixels))));
            out.u16(kDefaultXf);
            out.u16(0);
            out.u16(0);
            stream.record(ColInfo, info);
        }
        first = last + 1;
    }

    int firstRow = -1, lastRow = -1, firstColumn = kMaxColumns, lastColumn = -1;
    for (std::size_t r = 0; r < m_rows.size(); ++r) {
        if (m_rows[r].empty())
            continue;
        if (firstRow < 0)
            firstRow = int(r);
        lastRow = int(r);
        firstColumn = std::min(firstColumn, int(m_rows[r].front().column));
        lastColumn = std::max(lastColumn, int(m_rows[r].back().column));
    }
    QByteArray dimensions;
    ByteWriter dimensionsOut(dimensions);
    dimensionsOut.u32(firstRow < 0 ? 0 : std::uint32_t(firstRow));
    dimensionsOut.u32(firstRow < 0 ? 0 : std::uint32_t(lastRow + 1));
    dimensionsOut.u16(firstRow < 0 ? 0 : std::uint16_t(firstColumn));
    dimensionsOut.u16(firstRow < 0 ? 0 : std::uint16_t(lastColumn + 1));
    dimensionsOut.u16(0);
    stream.record(Dimensions, dimensions);

    writeCells(stream);
    writeDrawing(stream, drawingId);

    QByteArray window;
    ByteWriter windowOut(window);
    windowOut.u16(selected ? 0x06B6 : 0x00B6); // grid lines, headings, zeros, outline; selected and shown
    windowOut.u16(0);
    windowOut.u16(0);
    windowOut.u32(0x40); // automatic grid-line colour
    windowOut.u16(0);
    windowOut.u16(0);
    windowOut.u32(0);
    stream.record(Window2, window);

    for (std::size_t first = 0; first < m_merges.size(); first += kMergesPerRecord) {
        const std::size_t count = std::min<std::size_t>(kMergesPerRecord, m_merges.size() - first);
        QByteArray merged;
        ByteWriter out(merged);
        out.u16(std::uint16_t(count));
        for (std::size_t i = first; i < first + count; ++i) {
            out.u16(m_merges[i].rowFirst);
            out.u16(m_merges[i].rowLast);
            out.u16(m_merges[i].columnFirst);
            out.u16(m_merges[i].columnLast);
        }
        stream.record(MergedCells, merged);
    }
    stream.endSubstream();
}

void XlsSheet::writeCells(BiffStream &stream) const
{
    // A ROW record for every row that holds cells or has its own height, then that row's cells.
    auto nextHeight = m_rowHeights.begin();
    QByteArray data;
    for (int r = 0; r < kMaxRows; ++r) {
        const bool hasCells = std::size_t(r) < m_rows.size() && !m_rows[std::size_t(r)].empty();
        while (nextHeight != m_rowHeights.end() && nextHeight->first < r)
            ++nextHeight;
        const bool hasHeight = nextHeight != m_rowHeights.end() && nextHeight->first == r;
        if (!hasCells && !hasHeight) {
            if (std::size_t(r) >= m_rows.size() && nextHeight == m_rowHeights.end())
                break;
            continue;
        }
        const std::vector<Cell> *cells = hasCells ? &m_rows[std::size_t(r)] : nullptr;
        data.clear();
        ByteWriter row(data);
        row.u16(std::uint16_t(r));
        row.u16(cells ? cells->front().column : 0);
        row.u16(cells ? std::uint16_t(cells->back().column + 1) : 0);
        row.u16(hasHeight ? std::uint16_t(std::lround(nextHeight->second * 20)) : kDefaultRowTwips);
        row.u16(0);
        row.u16(0);
        row.u32((std::uint32_t(kDefaultXf) << 16) | 0x100 | (hasHeight ? 0x40 : 0));
        stream.record(Row, data);
        if (!cells)
            continue;
        for (const Cell &cell : *cells) {
            data.clear();
            ByteWriter out(data);
            out.u16(std::uint16_t(r));
            out.u16(cell.column);
            out.u16(cell.xf);
            if (cell.isText) {
                out.u32(cell.stringIndex);
                stream.record(LabelSst, data);
            } else {
                out.f64(cell.number);
                stream.record(Number, data);
            }
        }
    }
}

void XlsSheet::writeDrawing(BiffStream &stream, int drawingId) const
{
    if (m_pictures.empty())
        return;
    std::vector<OfficeDrawing::Shape> shapes;
    for (const Picture &picture : m_pictures)
        shapes.push_back({picture.id + 1, anchorOf(picture)});
    const std::vector<QByteArray> records = OfficeDrawing::sheetDrawing(drawingId, shapes);
    for (std::size_t i = 0; i < records.size(); ++i) {
        stream.record(MsoDrawing, records[i]);
        stream.record(Obj, OfficeDrawing::pictureObject(int(i) + 1));
    }
}
