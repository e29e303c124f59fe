#pragma once

// Reads a written report back with an independent reader (python3-xlrd, and its compound-file reader
// for the pictures' anchors) and hands over what it saw.

#include "common/XlsReadBack.h"

// Every sheet with its cells (only the rows of `rows`, "first-last,..." when given), merged ranges,
// widths, heights and the top-left cells of its pictures.
inline QJsonObject readReportBack(const QString &path, const QString &rows = QString())
{
    QProcess reader;
    QStringList arguments{QStringLiteral(KV_FIXTURE_DIR "/xls_report_dump.py"), path};
    if (!rows.isEmpty())
        arguments << rows;
    // Debian's interpreter, which has python3-xlrd; another python3 may come first on the path.
    reader.start(QStringLiteral("/usr/bin/python3"), arguments);
    if (!reader.waitForFinished(240000) || reader.exitCode() != 0) {
        ADD_FAILURE() << "xlrd could not read " << path.toStdString() << ": "
                      << reader.readAllStandardError().toStdString();
        return {};
    }
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
}

// Failure messages show texts as text.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
