#pragma once
// A month's payments as a spreadsheet saves them, for the tests that import cheques.

#include <QByteArray>
#include <QStringList>

namespace testsupport {

// 20 suppliers as LibreOffice saves them on Windows: Windows-1252, ";", decimal
// commas, non-breaking spaces between thousands, CR LF. The rows at lines 14 and
// 20 are wrong.
QByteArray libreOfficeFile();
// The 18 good rows of that file, as the queue gets them: "beneficiary|amount|date|note".
QStringList libreOfficeCheques();
// The problems of the 2 others.
extern const QStringList libreOfficeProblems;

} // namespace testsupport
