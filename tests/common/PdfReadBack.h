#pragma once

// Reads a written PDF file back with poppler's pdftotext and hands over every word with its page and
// box (units of 1/72 inch, y from the top of the page).

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <gtest/gtest.h>

#include <vector>

struct PdfWord
{
    int Page; // from 0
    QString Text;
    double Left, Top, Right, Bottom;
};

struct PdfReadBack
{
    std::vector<PdfWord> Words;
    int Pages = 0;
    double PageWidth = 0, PageHeight = 0;

    // The first word with this text, or null.
    const PdfWord *find(const QString &text) const
    {
        for (const PdfWord &word : Words)
            if (word.Text == text)
                return &word;
        return nullptr;
    }
};

inline PdfReadBack readPdfBack(const QString &path)
{
    QProcess reader;
    reader.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    PdfReadBack result;
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext could not read " << path.toStdString() << ": "
                      << reader.readAllStandardError().toStdString();
        return result;
    }
    const QString text = QString::fromUtf8(reader.readAllStandardOutput());
    static const QRegularExpression element(QStringLiteral(
        "<page width=\"([\\d.]+)\" height=\"([\\d.]+)\">|<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" "
        "xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    for (auto match = element.globalMatch(text); match.hasNext();) {
        const QRegularExpressionMatch found = match.next();
        if (!found.captured(1).isEmpty()) {
            ++result.Pages;
            result.PageWidth = found.captured(1).toDouble();
            result.PageHeight = found.captured(2).toDouble();
            continue;
        }
        QString word = found.captured(7);
        word.replace(QStringLiteral("&amp;"), QStringLiteral("&"))
            .replace(QStringLiteral("&lt;"), QStringLiteral("<"))
            .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
            .replace(QStringLiteral("&quot;"), QStringLiteral("\""));
        result.Words.push_back({result.Pages - 1, word, found.captured(3).toDouble(),
                                found.captured(4).toDouble(), found.captured(5).toDouble(),
                                found.captured(6).toDouble()});
    }
    return result;
}
