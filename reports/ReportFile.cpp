#include "reports/ReportFile.h"

#include "engine/EngineUtils.h"

#include <QDateTime>

namespace ReportFile {

QString folder()
{
    return GetAppDirectory() + QStringLiteral("Report/");
}

QString proposedName(const QString &tester, const QString &dut, int kind, const QDateTime &time)
{
    const QDate date = time.date();
    const QTime clock = time.time();
    QString name = tester + u'_' + dut +
                   QString::asprintf("_%d_%02d_%02d_%02d_%02d_%02d.", date.year(), date.month(), date.day(),
                                     clock.hour(), clock.minute(), clock.second()) +
                   extension(kind);
    name.replace(u'/', u'_');
    name.replace(u'\\', u'_');
    return name;
}

QString extension(int kind)
{
    return kind == kPdf ? QStringLiteral("pdf") : QStringLiteral("xls");
}

QString filterKey(int kind)
{
    return kind == kPdf ? QStringLiteral("Report_Filter_Pdf") : QStringLiteral("Report_Filter_Xls");
}

} // namespace ReportFile
