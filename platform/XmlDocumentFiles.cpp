// Reading and writing the document's files, and the UTF-8 codec they use.
#include "platform/FileSave.h"
#include "platform/XmlDocument.h"
#include "platform/XmlDocumentText.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

using XmlDocumentText::anyMarked;
using XmlDocumentText::Bytes;
using XmlDocumentText::number;
using XmlDocumentText::toView;
using XmlDocumentText::View;
using XmlDocumentText::WideUnits;

// ---- files ----

QString XmlDocument::GetLastErrorText()
{
    const char *text = std::strerror(errno);
    return QString::fromLocal8Bit(text, static_cast<qsizetype>(std::strcspn(text, "\r\n")));
}

namespace {

// Keeps errno as the failure left it while the result text is formed.
QString failureText()
{
    const int saved = errno;
    QString text = XmlDocument::GetLastErrorText();
    errno = saved;
    return text;
}

} // namespace

bool XmlDocument::ReadTextFile(const QString &path, QString &text, QString &result, std::size_t maxBytes)
{
    std::FILE *file = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!file) {
        result = failureText();
        return false;
    }
    std::string bytes;
    // A regular file's size is known ahead: the bytes are gathered without growing the string.
    struct stat info = {};
    if (::fstat(::fileno(file), &info) == 0 && info.st_size > 0) {
        // A file known to be too long is not read at all.
        if (std::size_t(info.st_size) > maxBytes) {
            std::fclose(file);
            errno = EFBIG;
            result = failureText();
            return false;
        }
        bytes.reserve(static_cast<std::size_t>(info.st_size));
    }
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        if (got > maxBytes - bytes.size()) {
            std::fclose(file);
            errno = EFBIG;
            result = failureText();
            return false;
        }
        bytes.append(buffer, got);
    }
    // A file that opens but cannot be read (a folder, an I/O error) fails as well.
    const bool readFailed = std::ferror(file) != 0;
    const int saved = errno;
    std::fclose(file);
    if (readFailed) {
        errno = saved;
        result = failureText();
        return false;
    }
    text = DecodeUtf8(bytes);
    result = QStringLiteral("%1 bytes to %2 wide chars").arg(bytes.size()).arg(text.size());
    return true;
}

bool XmlDocument::WriteTextFile(const QString &path, QStringView text, QString &result)
{
    const View wide = toView(text);
    std::string bytes(EncodeUtf8(wide, nullptr), '\0');
    EncodeUtf8(wide, bytes.data());
    const SaveResult saved = saveFileWhole(path, QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (!saved) {
        result = saved.reason();
        errno = saved.error;
        return false;
    }
    result = QStringLiteral("%1 wide chars to %2 bytes").arg(wide.size()).arg(bytes.size());
    return true;
}

// ---- UTF-8 ----

int XmlDocument::DecodeUtf8Char(const unsigned char *&p, const unsigned char *end)
{
    const unsigned char lead = *p;
    int count = 0;
    int codePoint = 0;
    int minimum = 0;
    if (lead < 0x80) {
        ++p;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        count = 1;
        codePoint = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        count = 2;
        codePoint = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        count = 3;
        codePoint = lead & 0x07;
        minimum = 0x10000;
    } else {
        ++p;
        return -1;
    }
    if (end - p <= count) {
        ++p;
        return -1;
    }
    for (int i = 1; i <= count; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            ++p;
            return -1;
        }
        codePoint = (codePoint << 6) | (p[i] & 0x3F);
    }
    // Overlong forms, surrogates and values beyond Unicode are malformed.
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        ++p;
        return -1;
    }
    p += count + 1;
    return codePoint;
}

int XmlDocument::EncodeUtf8Char(char32_t codePoint, char *out)
{
    unsigned char bytes[4];
    int count = 0;
    if (codePoint < 0x80) {
        bytes[count++] = static_cast<unsigned char>(codePoint);
    } else if (codePoint < 0x800) {
        bytes[count++] = static_cast<unsigned char>(0xC0 | (codePoint >> 6));
        bytes[count++] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        bytes[count++] = static_cast<unsigned char>(0xE0 | (codePoint >> 12));
        bytes[count++] = static_cast<unsigned char>(0x80 | ((codePoint >> 6) & 0x3F));
        bytes[count++] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
    } else {
        bytes[count++] = static_cast<unsigned char>(0xF0 | (codePoint >> 18));
        bytes[count++] = static_cast<unsigned char>(0x80 | ((codePoint >> 12) & 0x3F));
        bytes[count++] = static_cast<unsigned char>(0x80 | ((codePoint >> 6) & 0x3F));
        bytes[count++] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
    }
    if (out)
        std::memcpy(out, bytes, static_cast<std::size_t>(count));
    return count;
}

std::size_t XmlDocument::EncodeUtf8(std::u16string_view text, char *out)
{
    std::size_t size = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t codePoint = text[i];
        if (codePoint >= 0xD800 && codePoint <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
            codePoint = 0xFFFD;
        }
        size += static_cast<std::size_t>(EncodeUtf8Char(codePoint, out ? out + size : nullptr));
    }
    return size;
}

namespace {

// Decodes UTF-8 into `out`, which has room for one unit per byte (no sequence gives more units than it
// has bytes), and returns the number of units written. Runs of plain ASCII are copied 16 bytes at a time.
std::size_t decodeUtf8Into(std::string_view bytes, char16_t *out)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    char16_t *o = out;
    while (p < end) {
        while (end - p >= 16) {
            Bytes block;
            std::memcpy(&block, p, sizeof block);
            // Less one, a NUL byte wraps to 0xFF: only bytes 1 to 0x7F stay below 0x7F.
            if (anyMarked(static_cast<Bytes>(block - 1) >= 0x7F))
                break;
            const WideUnits units = __builtin_convertvector(block, WideUnits);
            std::memcpy(o, &units, sizeof units);
            p += 16;
            o += 16;
        }
        if (p == end || *p == 0)
            break;
        const int codePoint = XmlDocument::DecodeUtf8Char(p, end);
        if (codePoint < 0) {
            *o++ = u'?';
        } else if (codePoint >= 0x10000) {
            *o++ = static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10));
            *o++ = static_cast<char16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
        } else {
            *o++ = static_cast<char16_t>(codePoint);
        }
    }
    return static_cast<std::size_t>(o - out);
}

} // namespace

QString XmlDocument::DecodeUtf8(std::string_view bytes)
{
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    text.truncate(static_cast<qsizetype>(decodeUtf8Into(bytes, reinterpret_cast<char16_t *>(text.data()))));
    return text;
}
