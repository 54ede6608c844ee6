#include "support/TestFiles.h"

#include <QFile>

namespace testsupport {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

QByteArray iniBytes(const QString &text)
{
    QByteArray out;
    for (QChar c : text) {
        if (c == QLatin1Char('\n'))
            out += "\r\n";
        else
            out += c.unicode() < 256 ? char(c.unicode()) : '?';
    }
    return out;
}

QString sourceDir()
{
    return QString::fromLocal8Bit(qgetenv("TOLVO_SOURCE_DIR"));
}

} // namespace testsupport
