#include "platform/Application.h"

#include <QCoreApplication>
#include <QDir>

namespace platform {

namespace {
QString g_folder;
QString g_helpFile;
QDate g_today;
} // namespace

QString applicationFolder()
{
    if (!g_folder.isEmpty())
        return g_folder;
    QString folder = QCoreApplication::applicationDirPath();
    if (folder.isEmpty())
        folder = QDir::currentPath();
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

void setApplicationFolder(const QString &folder)
{
    g_folder = folder;
}

QString applicationFile(const QString &name)
{
    return applicationFolder() + QLatin1Char('/') + name;
}

QString applicationTitle()
{
    return QStringLiteral("Tolvo");
}

QString applicationVersion()
{
    return QStringLiteral(TOLVO_VERSION);
}

QString helpFile()
{
    return g_helpFile;
}

void setHelpFile(const QString &path)
{
    g_helpFile = path;
}

QDate today()
{
    return g_today.isValid() ? g_today : QDate::currentDate();
}

void setToday(const QDate &date)
{
    g_today = date;
}

} // namespace platform
