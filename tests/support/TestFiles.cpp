#include "support/TestFiles.h"

#include <QFile>

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

} // namespace testsupport
