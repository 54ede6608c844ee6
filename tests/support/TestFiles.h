#pragma once
// Small helpers shared by the tests: files, folders and the programs that read them back.

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>

namespace testsupport {

QByteArray readAll(const QString &path);
bool writeAll(const QString &path, const QByteArray &bytes);
// A settings file as the old program wrote it: "\n" becomes CRLF and the text is
// stored in Windows-1252 (accented Latin letters are the same bytes as Latin-1).
QByteArray iniBytes(const QString &text);
// The source tree, for test data.
QString sourceDir();

struct Run {
    int code = -1; // -1: did not end normally within two minutes
    QString out, err;
};
Run run(const QString &program, const QStringList &arguments,
        const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment());

} // namespace testsupport
