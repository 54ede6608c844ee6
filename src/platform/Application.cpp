#include "platform/Application.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform {

namespace {
QString g_folder;
QString g_helpFile;
QDate g_today;
} // namespace

Folders locateFolders(const QString &executableFolder, const QString &configHome, const QString &home)
{
    QString folder = QDir::cleanPath(executableFolder);
    if (QFileInfo::exists(folder + QStringLiteral("/Tolvo.hlp")))
        return {folder, folder};
    // Relative values of XDG_CONFIG_HOME are to be ignored.
    const QString config = QDir::isAbsolutePath(configHome)
                               ? QDir::cleanPath(configHome)
                               : QDir::cleanPath(home + QStringLiteral("/.config"));
    return {QDir::cleanPath(folder + QStringLiteral("/../share/tolvo")), config + QStringLiteral("/tolvo")};
}

namespace {
Folders realFolders()
{
    QString executable = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    if (executable.isEmpty())
        executable = QDir::currentPath();
    return locateFolders(executable, qEnvironmentVariable("XDG_CONFIG_HOME"), QDir::homePath());
}
} // namespace

QString applicationFolder()
{
    return g_folder.isEmpty() ? realFolders().data : g_folder;
}

QString settingsFolder()
{
    if (!g_folder.isEmpty())
        return g_folder;
    const QString folder = realFolders().settings;
    // A failure shows later, when the settings file cannot be written.
    QDir().mkpath(folder);
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

QString settingsFile(const QString &name)
{
    return settingsFolder() + QLatin1Char('/') + name;
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
