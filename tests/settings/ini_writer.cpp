// Child process of the reliability test.
//   ini_writer rewrite FILE V       writes the amount list of FILE as version V+1, V+2...
//                                   (1000 entries "N,00") until killed; prints "ready"
//                                   after the first write
//   ini_writer keys FILE PREFIX     writes 40 keys PREFIX0.. one by one, and adds
//                                   PREFIX0.. to the list "Montants" as the window does
// Exit code 2 when a write failed.

#include "platform/forms/MessageBox.h"
#include "settings/CINIFile.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    platform::MessageBoxRecorder boxes; // no window here: failures go to the exit code
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 1;
    const bool rewrite = args[1] == QLatin1String("rewrite");
    QStringList shown; // this program's own list, as a window holds it
    for (int i = 0; rewrite || i < 40; ++i) {
        CINIFile ini;
        ini.setFile(args[2]);
        if (rewrite) {
            const QString amount = QString::number(args[3].toInt() + i + 1) + QLatin1String(",00");
            settings::saveList(ini, settings::section::Montants, QStringList(1000, amount));
        } else {
            ini.setSection(QStringLiteral("Concurrent"));
            ini.setValue(args[3] + QString::number(i), i);
            const QString entry = args[3] + QString::number(i);
            settings::addToList(ini, settings::section::Montants, shown, entry);
            shown << entry;
        }
        if (ini.writeFailed())
            return 2;
        if (rewrite && i == 0) {
            std::puts("ready");
            std::fflush(stdout);
        }
    }
    return 0;
}
