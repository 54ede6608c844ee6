#include "settings/Settings.h"

#include "platform/Application.h"
#include "platform/Conversions.h"
#include "settings/CINIFile.h"

namespace settings {

namespace {
QStringList numbered(const QStringList &entries)
{
    QStringList lines;
    lines.reserve(entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i)
        lines.append(QString::number(i) + u'=' + entries[i]);
    return lines;
}
} // namespace

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
    ini.writeSection(numbered(entries));
}

void addToList(CINIFile &ini, const QString &sectionName, const QStringList &shown, const QString &text)
{
    ini.setSection(sectionName);
    ini.editSection([&](const QStringList &lines) -> std::optional<QStringList> {
        QStringList list = shown;
        for (const QString &line : lines) {
            const QString value = line.section(u'=', 1);
            if (!list.contains(value) && value != text)
                list.append(value);
        }
        list.append(text);
        const QStringList wanted = numbered(list);
        if (wanted == lines)
            return std::nullopt;
        return wanted;
    });
}

qint16 toInt16(const QString &text)
{
    return platform::CInt16(platform::Val(text)).value_or(0);
}

} // namespace settings
