// Child process of the reliability test.
//   ini_writer rewrite FILE VERSION    rewrites the amount list of FILE with versions
//                                      VERSION+1, +2... until killed; prints "ready"
//                                      after the first write
//   ini_writer keys FILE PREFIX COUNT  writes COUNT keys PREFIX0.. one by one
// Exit code 2 when a write failed.

#include "ini_writer.h"
#include "platform/forms/MessageBox.h"
#include "settings/CINIFile.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

int rewrite(const QString &file, int version)
{
    for (bool first = true;; first = false) {
        CINIFile ini;
        ini.setFile(file);
        settings::saveList(ini, settings::section::Montants, iniwriter::amounts(++version));
        if (ini.writeFailed())
            return 2;
        if (first) {
            std::puts("ready");
            std::fflush(stdout);
        }
    }
}

int keys(const QString &file, const QString &prefix, int count)
{
    for (int i = 0; i < count; ++i) {
        CINIFile ini;
        ini.setFile(file);
        ini.setSection(QStringLiteral("Concurrent"));
        ini.setValue(prefix + QString::number(i), i);
        if (ini.writeFailed())
            return 2;
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    platform::MessageBoxRecorder boxes; // no window here: failures go to the exit code
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("rewrite"))
        return rewrite(args[2], args[3].toInt());
    if (args.size() == 5 && args[1] == QLatin1String("keys"))
        return keys(args[2], args[3], args[4].toInt());
    return 1;
}
