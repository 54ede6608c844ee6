#include "support/TestFiles.h"

#include <QFile>
#include <QProcess>

namespace testsupport {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray iniBytes(const QString &text)
{
    QByteArray out;
    for (QChar c : text)
        out += c == u'\n' ? QByteArray("\r\n") : QByteArray(1, c.unicode() < 256 ? char(c.unicode()) : '?');
    return out;
}

QString sourceDir()
{
    return QString::fromLocal8Bit(qgetenv("TOLVO_SOURCE_DIR"));
}

Run run(const QString &program, const QStringList &arguments, const QProcessEnvironment &env)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, arguments);
    const bool done = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit;
    return {done ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

} // namespace testsupport
