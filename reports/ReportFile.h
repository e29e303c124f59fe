// Where a test report is saved and the name proposed for it: the folder Report/ beside the program,
// "<tester>_<device>_<year>_<month>_<day>_<hour>_<minute>_<second>" with the kind's extension.
#pragma once

#include <QString>

class QDateTime;

namespace ReportFile {
// Report kinds, as the export bars give them.
constexpr int kSpreadsheet = 0;
constexpr int kPdf = 1;

// The program folder's "Report/".
QString folder();
// The proposed file name (no folder) of a report of the kind written at the time. A '/' or '\' in
// the names would lead into another folder and becomes '_'.
QString proposedName(const QString &tester, const QString &dut, int kind, const QDateTime &time);
// "xls" or "pdf".
QString extension(int kind);
// The language key of the save dialog's filter.
QString filterKey(int kind);
} // namespace ReportFile
