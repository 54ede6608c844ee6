#pragma once
// What the reliability test's child process writes, shared by both sides.

#include <QString>
#include <QStringList>

namespace iniwriter {

// Version v of the amount list: 1000 entries that all name their version.
inline QStringList amounts(int version)
{
    QStringList list;
    for (int i = 0; i < 1000; ++i)
        list.append(QStringLiteral("%1,%2").arg(version).arg(i % 100, 2, 10, QChar(u'0')));
    return list;
}

// The version a list was written with; -1 when it is not such a list.
inline int versionOf(const QStringList &list)
{
    bool ok = false;
    const int version = list.isEmpty() ? -1 : list[0].section(u',', 0, 0).toInt(&ok);
    return ok && list == amounts(version) ? version : -1;
}

} // namespace iniwriter
