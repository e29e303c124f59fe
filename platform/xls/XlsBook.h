#pragma once

#include "platform/FileSave.h"
#include "platform/xls/XlsFont.h"
#include "platform/xls/XlsFormat.h"
#include "platform/xls/XlsSheet.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <deque>
#include <memory>
#include <vector>

// A spreadsheet workbook in the Excel 97-2003 format (.xls): BIFF8 records in a compound document.
// Fonts, formats and sheets are owned by the book and live as long as it does.
class XlsBook
{
public:
    XlsBook();
    ~XlsBook();
    XlsBook(const XlsBook &) = delete;
    XlsBook &operator=(const XlsBook &) = delete;

    XlsFont *addFont();
    XlsFormat *addFormat();
    // A new sheet after the others; null when the name is empty, longer than 31 characters, holds one
    // of : \ / ? * [ ], or is already taken (case-insensitive).
    XlsSheet *addSheet(const QString &name);
    // Adds a PNG or JPEG image; returns its id, or -1 when the data is neither.
    int addPicture(const QByteArray &data);

    int sheetCount() const { return int(m_sheets.size()); }
    // The whole file.
    QByteArray toBytes() const;
    // Writes the file whole or not at all.
    SaveResult save(const QString &path) const;

private:
    friend class XlsSheet;

    struct Picture
    {
        QByteArray data;
        bool png;
        int width, height;
    };

    std::uint32_t stringIndex(const QString &text);
    // The extended-format index of a format of this book (the default cell format for null); -1 for a
    // format of another book.
    int xfIndex(const XlsFormat *format) const;
    const Picture *picture(int id) const;
    // The workbook globals; `offsetFields` receives where each sheet's stream offset is to be written.
    QByteArray globals(std::vector<qsizetype> &offsetFields) const;

    std::deque<XlsFont> m_fonts;
    std::deque<XlsFormat> m_formats;
    QHash<const XlsFormat *, int> m_formatIndex;
    std::vector<std::unique_ptr<XlsSheet>> m_sheets;
    std::vector<Picture> m_pictures;
    QHash<QString, std::uint32_t> m_stringIndex;
    std::vector<QString> m_strings;
    std::uint32_t m_stringUses = 0;
};
