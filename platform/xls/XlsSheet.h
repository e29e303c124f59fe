#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <map>
#include <vector>

class BiffStream;
class XlsBook;
class XlsFormat;

// One worksheet of an `XlsBook`: cells, column widths, row heights, merged ranges and placed pictures.
// Rows and columns count from 0; a sheet holds 65,536 rows and 256 columns. Every call outside those
// bounds, or naming an unknown format or picture, changes nothing and returns false.
class XlsSheet
{
public:
    static constexpr int kMaxRows = 65536;
    static constexpr int kMaxColumns = 256;
    static constexpr int kMaxTextLength = 32767;

    bool writeStr(int row, int column, const QString &text, const XlsFormat *format = nullptr);
    bool writeNum(int row, int column, double value, const XlsFormat *format = nullptr);
    // Width in characters of the default font, for columns first to last.
    bool setCol(int first, int last, double width);
    // Height in points.
    bool setRow(int row, double height);
    bool setMerge(int rowFirst, int rowLast, int columnFirst, int columnLast);
    // Places picture `pictureId` of the book with its top-left corner at the cell's corner moved by the
    // offsets, scaled to width x height pixels.
    bool setPicture(int row, int column, int pictureId, int width, int height, int offsetX = 0,
                    int offsetY = 0);

    const QString &name() const { return m_name; }
    int pictureCount() const { return int(m_pictures.size()); }

private:
    friend class XlsBook;

    struct Cell
    {
        std::uint16_t column;
        std::uint16_t xf;
        bool isText;
        union {
            double number;
            std::uint32_t stringIndex;
        };
    };
    struct Merge
    {
        std::uint16_t rowFirst, rowLast;
        std::uint8_t columnFirst, columnLast;
    };
    struct Picture
    {
        int row, column, id, width, height, offsetX, offsetY;
    };

    XlsSheet(XlsBook &book, const QString &name);
    bool placeCell(int row, int column, const XlsFormat *format, Cell cell);
    // The picture's anchor in the drawing layer: cells and fractions (1/1024 of a column, 1/256 of a row).
    QByteArray anchorOf(const Picture &picture) const;
    int columnPixels(int column) const;
    int rowPixels(int row) const;
    // Writes the sheet's substream; `drawingId` numbers its drawing among the book's.
    void write(BiffStream &stream, int drawingId, bool selected) const;
    void writeCells(BiffStream &stream) const;
    void writeDrawing(BiffStream &stream, int drawingId) const;

    XlsBook &m_book;
    QString m_name;
    std::vector<std::vector<Cell>> m_rows;
    std::map<int, double> m_rowHeights;
    std::vector<double> m_columnWidths;
    std::vector<Merge> m_merges;
    std::vector<Picture> m_pictures;
};
