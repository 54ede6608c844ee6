#include "platform/UserName.h"

#include <QSysInfo>
#include <pwd.h>
#include <unistd.h>

#include <cstring>

namespace platform {

namespace {
std::optional<QString> g_name;
std::optional<QString> g_workstation;
} // namespace

QString fullNameFromGecos(const char *gecos)
{
    if (!gecos)
        return QString();
    const char *comma = std::strchr(gecos, ',');
    const qsizetype size = comma ? comma - gecos : qsizetype(std::strlen(gecos));
    return QString::fromLocal8Bit(gecos, size).trimmed();
}

QString userFullName()
{
    if (g_name)
        return *g_name;
    const passwd *entry = getpwuid(getuid());
    return entry ? fullNameFromGecos(entry->pw_gecos) : QString();
}

QString userLogin()
{
    const passwd *entry = getpwuid(getuid());
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString();
}

void setUserFullName(std::optional<QString> name)
{
    g_name = std::move(name);
}

QString workstationName()
{
    return g_workstation ? *g_workstation : QSysInfo::machineHostName();
}

void setWorkstationName(std::optional<QString> name)
{
    g_workstation = std::move(name);
}

} // namespace platform
