#pragma once
// Small helpers shared by the tests: files and folders.

#include <QByteArray>
#include <QString>

namespace testsupport {

QByteArray readAll(const QString &path);
bool writeAll(const QString &path, const QByteArray &bytes);
// A settings file as the old program wrote it: "\n" becomes CRLF and the text is
// stored in Windows-1252 (accented Latin letters are the same bytes as Latin-1).
QByteArray iniBytes(const QString &text);
// The source tree, for test data.
QString sourceDir();

} // namespace testsupport
