#pragma once

// Reads a written .xls file back with an independent reader (python3-xlrd) and hands over what it saw.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <gtest/gtest.h>

inline QJsonObject readXlsBack(const QString &path)
{
    QProcess reader;
    // Debian's interpreter, which has python3-xlrd; another python3 may come first on the path.
    reader.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(KV_FIXTURE_DIR "/xls_dump.py"), path});
    if (!reader.waitForFinished(120000) || reader.exitCode() != 0) {
        ADD_FAILURE() << "xlrd could not read " << path.toStdString() << ": "
                      << reader.readAllStandardError().toStdString();
        return {};
    }
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
}

// The cell at (row, column) of a read-back sheet: [row, column, "text"|"number", value, format]; empty
// when the cell holds nothing.
inline QJsonArray xlsCell(const QJsonObject &sheet, int row, int column)
{
    for (const QJsonValue &cell : sheet[QStringLiteral("cells")].toArray()) {
        const QJsonArray fields = cell.toArray();
        if (fields[0].toInt() == row && fields[1].toInt() == column)
            return fields;
    }
    return {};
}
