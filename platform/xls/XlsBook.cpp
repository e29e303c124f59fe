#include "platform/xls/XlsBook.h"

#include "platform/xls/BiffStream.h"
#include "platform/xls/ByteWriter.h"
#include "platform/xls/CompoundFile.h"
#include "platform/xls/OfficeDrawing.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>

namespace {

enum GlobalsRecord : std::uint16_t
{
    InterfaceHdr = 0x00E1,
    Mms = 0x00C1,
    InterfaceEnd = 0x00E2,
    WriteAccess = 0x005C,
    CodePage = 0x0042,
    Dsf = 0x0161,
    TabId = 0x013D,
    FnGroupCount = 0x009C,
    WindowProtect = 0x0019,
    Protect = 0x0012,
    Password = 0x0013,
    Prot4Rev = 0x01AF,
    Prot4RevPass = 0x01BC,
    Window1 = 0x003D,
    Backup = 0x0040,
    HideObj = 0x008D,
    DateMode = 0x0022,
    Precision = 0x000E,
    RefreshAll = 0x01B7,
    BookBool = 0x00DA,
    Font = 0x0031,
    Xf = 0x00E0,
    Style = 0x0293,
    UsesElfs = 0x0160,
    BoundSheet = 0x0085,
    Country = 0x008C,
    MsoDrawingGroup = 0x00EB,
    Sst = 0x00FC,
    ExtSst = 0x00FF,
};

constexpr int kFirstCellXf = 16; // 15 style formats and the default cell format come first
constexpr int kFirstOwnFont = 5; // font index 4 is never used: the fifth font record is number 5

QByteArray fontRecord(bool bold, int points)
{
    QByteArray data;
    ByteWriter out(data);
    out.u16(std::uint16_t(points * 20)); // in twentieths of a point
    out.u16(bold ? 1 : 0);               // readers take the bold flag from here, writers also set the weight
    out.u16(0x7FFF);                     // automatic colour
    out.u16(bold ? 700 : 400);
    out.u16(0);
    out.u8(0);
    out.u8(0);
    out.u8(0);
    out.u8(0);
    out.bytes(BiffStream::unicodeString(QStringLiteral("Arial"), 1));
    return data;
}

QByteArray xfRecord(int font, const XlsFormat *format, bool style)
{
    QByteArray data;
    ByteWriter out(data);
    out.u16(std::uint16_t(font));
    out.u16(format ? format->numFormat() : 0);
    out.u16(style ? 0xFFF5 : 0x0001); // locked; a style has no parent
    const int alignH = format ? format->alignH() : XlsFormat::AlignHGeneral;
    const int alignV = format ? format->alignV() : XlsFormat::AlignVBottom;
    out.u8(std::uint8_t(alignH | (alignV << 4)));
    out.u8(0);
    out.u8(0);
    out.u8(style ? 0xF4 : format ? 0xFC : 0x00);
    const std::uint32_t border = format ? format->border() : 0;
    const std::uint32_t borderColour = format && format->border() ? format->borderColour() : 0;
    out.u32(border | border << 4 | border << 8 | border << 12 | borderColour << 16 | borderColour << 23);
    const std::uint32_t fill = format ? format->fill() : 0;
    out.u32(borderColour | borderColour << 7 | fill << 26);
    const std::uint16_t fillColour = format && format->fill() ? format->fillColour() : 0x40;
    out.u16(std::uint16_t(fillColour | 0x41 << 7));
    return data;
}

} // namespace

XlsBook::XlsBook() = default;
XlsBook::~XlsBook() = default;

XlsFont *XlsBook::addFont()
{
    return &m_fonts.emplace_back();
}

XlsFormat *XlsBook::addFormat()
{
    // The extended-format index is 16 bits wide.
    if (kFirstCellXf + m_formats.size() >= 0xFFF)
        return nullptr;
    XlsFormat *format = &m_formats.emplace_back();
    m_formatIndex.insert(format, int(m_formats.size()) - 1);
    return format;
}

XlsSheet *XlsBook::addSheet(const QString &name)
{
    static const QString forbidden = QStringLiteral(":\\/?*[]");
    if (name.isEmpty() || name.size() > 31 ||
        std::any_of(name.begin(), name.end(), [](QChar c) { return forbidden.contains(c); }) ||
        std::any_of(m_sheets.begin(), m_sheets.end(), [&](const std::unique_ptr<XlsSheet> &sheet) {
            return sheet->name().compare(name, Qt::CaseInsensitive) == 0;
        }))
        return nullptr;
    m_sheets.push_back(std::unique_ptr<XlsSheet>(new XlsSheet(*this, name)));
    return m_sheets.back().get();
}

int XlsBook::addPicture(const QByteArray &data)
{
    const bool png = data.startsWith("\x89PNG\r\n\x1A\n");
    const bool jpeg = data.startsWith("\xFF\xD8\xFF");
    if (!png && !jpeg)
        return -1;
    QBuffer buffer;
    buffer.setData(data);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid())
        return -1;
    m_pictures.push_back({data, png, size.width(), size.height()});
    return int(m_pictures.size()) - 1;
}

const XlsBook::Picture *XlsBook::picture(int id) const
{
    return id >= 0 && std::size_t(id) < m_pictures.size() ? &m_pictures[std::size_t(id)] : nullptr;
}

std::uint32_t XlsBook::stringIndex(const QString &text)
{
    ++m_stringUses;
    const auto found = m_stringIndex.constFind(text);
    if (found != m_stringIndex.constEnd())
        return found.value();
    const auto index = std::uint32_t(m_strings.size());
    m_strings.push_back(text);
    m_stringIndex.insert(text, index);
    return index;
}

int XlsBook::xfIndex(const XlsFormat *format) const
{
    if (!format)
        return 15;
    const auto found = m_formatIndex.constFind(format);
    return found == m_formatIndex.constEnd() ? -1 : kFirstCellXf + found.value();
}

QByteArray XlsBook::globals(std::vector<qsizetype> &offsetFields) const
{
    BiffStream stream;
    stream.beginSubstream(BiffStream::WorkbookGlobals);
    stream.record16(InterfaceHdr, 1200);
    stream.record16(Mms, 0);
    stream.record(InterfaceEnd, {});
    QByteArray access = BiffStream::unicodeString(QStringLiteral("KvIGMPTQ"), 2);
    access.resize(112, ' ');
    stream.record(WriteAccess, access);
    stream.record16(CodePage, 1200);
    stream.record16(Dsf, 0);
    QByteArray tabs;
    ByteWriter tabsOut(tabs);
    for (std::size_t i = 0; i < m_sheets.size(); ++i)
        tabsOut.u16(std::uint16_t(i + 1));
    if (!tabs.isEmpty())
        stream.record(TabId, tabs);
    stream.record16(FnGroupCount, 14);
    stream.record16(WindowProtect, 0);
    stream.record16(Protect, 0);
    stream.record16(Password, 0);
    stream.record16(Prot4Rev, 0);
    stream.record16(Prot4RevPass, 0);
    QByteArray window;
    ByteWriter windowOut(window);
    windowOut.u16(0x0168);
    windowOut.u16(0x001E);
    windowOut.u16(0x3A5C);
    windowOut.u16(0x2328);
    windowOut.u16(0x0038); // horizontal and vertical scroll bars, sheet tabs
    windowOut.u16(0);
    windowOut.u16(0);
    windowOut.u16(1);
    windowOut.u16(0x0258);
    stream.record(Window1, window);
    stream.record16(Backup, 0);
    stream.record16(HideObj, 0);
    stream.record16(DateMode, 0);
    stream.record16(Precision, 1);
    stream.record16(RefreshAll, 0);
    stream.record16(BookBool, 0);

    for (int i = 0; i < 4; ++i)
        stream.record(Font, fontRecord(false, 10));
    QHash<const XlsFont *, int> fontIndex;
    for (const XlsFont &font : m_fonts) {
        fontIndex.insert(&font, kFirstOwnFont + int(fontIndex.size()));
        stream.record(Font, fontRecord(font.bold(), font.size()));
    }

    for (int i = 0; i < 15; ++i)
        stream.record(Xf, xfRecord(i == 1 || i == 2 ? 1 : i == 3 || i == 4 ? 2 : 0, nullptr, true));
    stream.record(Xf, xfRecord(0, nullptr, false));
    for (const XlsFormat &format : m_formats)
        stream.record(Xf, xfRecord(format.font() ? fontIndex.value(format.font(), 0) : 0, &format, false));

    QByteArray normal;
    ByteWriter normalOut(normal);
    normalOut.u16(0x8000); // built-in style "Normal" on format 0
    normalOut.u8(0);
    normalOut.u8(0xFF);
    stream.record(Style, normal);
    stream.record16(UsesElfs, 0);

    for (const auto &sheetEntry : m_sheets) {
        offsetFields.push_back(stream.size() + 4);
        QByteArray sheet;
        ByteWriter out(sheet);
        out.u32(0); // the sheet's offset, filled in once the globals' size is known
        out.u8(0);  // visible
        out.u8(0);  // worksheet
        out.bytes(BiffStream::unicodeString(sheetEntry->name(), 1));
        stream.record(BoundSheet, sheet);
    }
    QByteArray country;
    ByteWriter countryOut(country);
    countryOut.u16(1);
    countryOut.u16(1);
    stream.record(Country, country);

    std::vector<OfficeDrawing::Image> images;
    for (const Picture &picture : m_pictures)
        images.push_back({picture.data, picture.png, 0});
    std::vector<int> shapesPerDrawing;
    for (const auto &sheet : m_sheets) {
        for (const XlsSheet::Picture &placed : sheet->m_pictures)
            ++images[std::size_t(placed.id)].placements;
        if (sheet->pictureCount() > 0)
            shapesPerDrawing.push_back(sheet->pictureCount());
    }
    if (!shapesPerDrawing.empty())
        stream.record(MsoDrawingGroup, OfficeDrawing::drawingGroup(images, shapesPerDrawing));

    // The shared strings: a string's header is never split between records, and its characters go on
    // in a CONTINUE record that starts with the character-size flag again.
    const std::uint32_t bucketSize = std::max<std::uint32_t>(8, std::uint32_t(m_strings.size() / 128 + 1));
    QByteArray extSst;
    ByteWriter extOut(extSst);
    extOut.u16(std::uint16_t(bucketSize));
    QByteArray record;
    ByteWriter out(record);
    out.u32(m_stringUses);
    out.u32(std::uint32_t(m_strings.size()));
    bool firstRecord = true;
    auto flush = [&] {
        stream.record(firstRecord ? std::uint16_t(Sst) : BiffStream::kContinue, record);
        firstRecord = false;
        record.clear();
    };
    for (std::size_t i = 0; i < m_strings.size(); ++i) {
        const QString &text = m_strings[i];
        const bool latin1 = BiffStream::fitsInLatin1(text);
        const int charSize = latin1 ? 1 : 2;
        if (record.size() + 3 + (text.isEmpty() ? 0 : charSize) > BiffStream::kMaxRecordData)
            flush();
        if (i % bucketSize == 0) {
            extOut.u32(std::uint32_t(stream.size() + 4 + record.size()));
            extOut.u16(std::uint16_t(4 + record.size()));
            extOut.u16(0);
        }
        out.u16(std::uint16_t(text.size()));
        out.u8(latin1 ? 0 : 1);
        for (qsizetype c = 0; c < text.size(); ++c) {
            if (record.size() + charSize > BiffStream::kMaxRecordData) {
                flush();
                out.u8(latin1 ? 0 : 1);
            }
            if (latin1)
                out.u8(std::uint8_t(text[c].unicode()));
            else
                out.u16(text[c].unicode());
        }
    }
    flush();
    stream.record(ExtSst, extSst);
    stream.endSubstream();
    return stream.bytes();
}

QByteArray XlsBook::toBytes() const
{
    std::vector<qsizetype> offsetFields;
    QByteArray workbook = globals(offsetFields);
    BiffStream sheets;
    int drawingId = 0;
    for (std::size_t i = 0; i < m_sheets.size(); ++i) {
        ByteWriter::patch32(workbook, offsetFields[i], std::uint32_t(workbook.size() + sheets.size()));
        const XlsSheet &sheet = *m_sheets[i];
        sheet.write(sheets, sheet.pictureCount() > 0 ? ++drawingId : 0, i == 0);
    }
    workbook.append(sheets.bytes());
    return CompoundFile::build(QStringLiteral("Workbook"), workbook);
}

SaveResult XlsBook::save(const QString &path) const
{
    return saveFileWhole(path, toBytes());
}
