#include "platform/IniFile.h"

#include "platform/NumberText.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

namespace {

const QByteArray kUtf8Mark("\xEF\xBB\xBF");

// "[name]" (blanks allowed around it): the name; a null view for any other line.
QStringView sectionName(QStringView line)
{
    const QStringView trimmed = line.trimmed();
    if (!trimmed.startsWith(u'['))
        return {};
    const qsizetype close = trimmed.indexOf(u']');
    return trimmed.sliced(1, (close < 0 ? trimmed.size() : close) - 1).trimmed();
}

bool isComment(QStringView line)
{
    return line.trimmed().startsWith(u';');
}

// The key of a "key=value" line; a null view when the line holds no '='.
QStringView keyOf(QStringView line)
{
    const qsizetype equals = line.indexOf(u'=');
    return equals < 0 ? QStringView() : line.first(equals).trimmed();
}

QString valueOf(QStringView line)
{
    QStringView value = line.sliced(line.indexOf(u'=') + 1).trimmed();
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        value = value.sliced(1, value.size() - 2);
    return value.toString();
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool holdsLineBreak(QStringView text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

} // namespace

QString IniFile::getString(const QString &path, QStringView section, QStringView key,
                           const QString &defaultValue, int bufferChars)
{
    IniFile file;
    QString value;
    if (!file.load(path) || !file.find(section, key, value))
        value = defaultValue;
    if (bufferChars <= 0)
        return QString();
    if (value.size() >= bufferChars) {
        value.truncate(bufferChars - 1);
        if (!value.isEmpty() && value.back().isHighSurrogate())
            value.chop(1);
    }
    return value;
}

int IniFile::getInt(const QString &path, QStringView section, QStringView key, int defaultValue)
{
    IniFile file;
    QString text;
    qint64 value = 0;
    if (!file.load(path) || !file.find(section, key, text) || !parseDecimalPrefix(text, value))
        return defaultValue;
    return static_cast<int>(value);
}

SaveResult IniFile::putString(const QString &path, QStringView section, QStringView key, const QString &value)
{
    IniFile file;
    if (!file.load(path)) {
        const QFileInfo info(path);
        return {info.isDir()                 ? EISDIR
                : info.size() > kMaxFileSize ? EFBIG
                : !info.isReadable()         ? EACCES
                                             : EIO};
    }
    if (!file.setValue(section, key, value))
        return {EINVAL};
    return file.save(path);
}

bool IniFile::load(const QString &path)
{
    *this = IniFile();
    QFile file(path);
    if (!file.exists())
        return true;
    if (file.size() > kMaxFileSize || !file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.read(kMaxFileSize + 1);
    if (bytes.size() > kMaxFileSize)
        return false;
    *this = fromBytes(bytes);
    return true;
}

SaveResult IniFile::save(const QString &path) const
{
    return saveFileWhole(path, toBytes());
}

IniFile IniFile::fromBytes(const QByteArray &bytes)
{
    IniFile file;
    QByteArrayView text(bytes);
    if (text.startsWith(kUtf8Mark)) {
        file.m_byteOrderMark = true;
        text = text.sliced(kUtf8Mark.size());
    }
    file.m_crLf = text.contains("\r\n");
    file.m_lines = QString::fromUtf8(text).split(u'\n');
    if (file.m_lines.back().isEmpty())
        file.m_lines.removeLast(); // the file's last line end
    for (QString &line : file.m_lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    return file;
}

QByteArray IniFile::toBytes() const
{
    const QString lineEnd = m_crLf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QByteArray bytes = m_byteOrderMark ? kUtf8Mark : QByteArray();
    for (const QString &line : m_lines)
        bytes += (line + lineEnd).toUtf8();
    return bytes;
}

std::pair<qsizetype, qsizetype> IniFile::sectionBody(QStringView section) const
{
    qsizetype first = -1;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (isComment(m_lines[i]))
            continue;
        const QStringView name = sectionName(m_lines[i]);
        if (name.isNull())
            continue;
        if (first >= 0)
            return {first, i};
        if (sameName(name, section.trimmed()))
            first = i + 1;
    }
    return {first, m_lines.size()};
}

bool IniFile::find(QStringView section, QStringView key, QString &value) const
{
    const auto [first, last] = sectionBody(section);
    for (qsizetype i = first; first >= 0 && i < last; ++i) {
        const QStringView lineKey = keyOf(m_lines[i]);
        if (!lineKey.isNull() && !isComment(m_lines[i]) && sameName(lineKey, key.trimmed())) {
            value = valueOf(m_lines[i]);
            return true;
        }
    }
    return false;
}

QList<std::pair<QString, QString>> IniFile::entries(QStringView section) const
{
    QList<std::pair<QString, QString>> found;
    const auto [first, last] = sectionBody(section);
    for (qsizetype i = first; first >= 0 && i < last; ++i) {
        const QStringView key = keyOf(m_lines[i]);
        if (!isComment(m_lines[i]) && !key.isNull())
            found.append({key.toString(), valueOf(m_lines[i])});
    }
    return found;
}

bool IniFile::setValue(QStringView section, QStringView key, const QString &value)
{
    const QStringView trimmedKey = key.trimmed();
    if (section.trimmed().isEmpty() || trimmedKey.isEmpty() || holdsLineBreak(section) ||
        section.contains(u']') || holdsLineBreak(key) || key.contains(u'=') || trimmedKey.startsWith(u';') ||
        trimmedKey.startsWith(u'[') || holdsLineBreak(value))
        return false;
    const auto [first, last] = sectionBody(section);
    if (first < 0) {
        m_lines.append(u'[' + section.trimmed().toString() + u']');
        m_lines.append(trimmedKey.toString() + u'=' + value);
        return true;
    }
    qsizetype lastEntry = first - 1;
    for (qsizetype i = first; i < last; ++i) {
        const QStringView lineKey = keyOf(m_lines[i]);
        if (!isComment(m_lines[i]) && !lineKey.isNull() && sameName(lineKey, trimmedKey)) {
            m_lines[i] = lineKey.toString() + u'=' + value;
            return true;
        }
        if (!m_lines[i].trimmed().isEmpty())
            lastEntry = i;
    }
    // A new key goes after the section's last line, before the blank lines that part it from the next.
    m_lines.insert(lastEntry + 1, trimmedKey.toString() + u'=' + value);
    return true;
}
