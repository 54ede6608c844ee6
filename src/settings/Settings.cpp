#include "settings/Settings.h"

#include "platform/Application.h"
#include "platform/Conversions.h"
#include "settings/CINIFile.h"

namespace settings {

QString ajustRangeMessage()
{
    return QStringLiteral("L'ajustement doit être compris entre -%1 et %1 millimètres.").arg(ajustLimit);
}

QString filePath()
{
    return platform::settingsFile(QStringLiteral("Tolvo.ini"));
}

void saveList(CINIFile &ini, const QString &sectionName, const QStringList &entries)
{
    ini.setSection(sectionName);
    if (entries.isEmpty()) {
        ini.deleteSection(sectionName);
        return;
    }
    QStringList lines;
    lines.reserve(entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i)
        lines.append(QString::number(i) + u'=' + entries[i]);
    ini.writeSection(lines);
}

qint16 toInt16(const QString &text)
{
    return platform::CInt16(platform::Val(text)).value_or(0);
}

} // namespace settings
