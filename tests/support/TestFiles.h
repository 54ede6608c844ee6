#pragma once
// Small helpers shared by the tests: files and folders.

#include <QByteArray>
#include <QString>

namespace testsupport {

QByteArray readAll(const QString &path);
bool writeAll(const QString &path, const QByteArray &bytes);
// The source tree, for test data.
QString sourceDir();

} // namespace testsupport
