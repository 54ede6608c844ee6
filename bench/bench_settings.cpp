// Time of adding one amount to a list of 1000 as the user action does it (list the
// section, rewrite it in one locked, synced, atomic replacement), beside one plain
// synced write of the same bytes, the floor any safe save pays.

#include "settings/CINIFile.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kRuns = 300;

struct Figures {
    double median = 0, p90 = 0;
};

Figures figures(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms[ms.size() * 9 / 10]};
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// open, write, fsync, close: what one durable write costs at the least.
bool syncedWrite(const QString &path, const QByteArray &bytes)
{
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size() && ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tolvo.ini"));

    // A full settings file with 1000 amounts.
    QStringList amounts;
    for (int i = 0; i < 1000; ++i)
        amounts.append(QStringLiteral("%1,%2").arg(10 + i * 7).arg(i % 100, 2, 10, QChar(u'0')));
    {
        CINIFile ini;
        ini.setFile(path);
        ini.setSection(settings::section::Défaut);
        ini.setValue(settings::key::Font, QStringLiteral("Arial"));
        ini.setValue(settings::key::Imprimante, QStringLiteral("Fichier PDF"));
        settings::saveList(
            ini, settings::section::Bénéficiaires,
            {QStringLiteral("Société Générale"), QStringLiteral("EDF"), QStringLiteral("Zoë")});
        settings::saveList(ini, settings::section::Montants, amounts);
        if (ini.writeFailed())
            return 1;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray start = file.readAll();
    file.close();

    std::vector<double> action, listing, floor;
    QByteArray after;
    for (int run = 0; run < kRuns + 10; ++run) { // the first 10 warm up
        if (!writeFile(path, start))
            return 1;
        QElapsedTimer timer;
        timer.start();
        CINIFile ini;
        ini.setFile(path);
        ini.setSection(settings::section::Montants);
        QStringList list;
        ini.enumSectionValues(list);
        const double listed = timer.nsecsElapsed() / 1e6;
        list.append(QStringLiteral("%1,00").arg(20000 + run));
        settings::saveList(ini, settings::section::Montants, list);
        const double done = timer.nsecsElapsed() / 1e6;
        if (ini.writeFailed() || list.size() != 1001)
            return 1;

        QFile result(path);
        if (!result.open(QIODevice::ReadOnly))
            return 1;
        after = result.readAll();
        timer.restart();
        if (!syncedWrite(dir.filePath(QStringLiteral("plain.ini")), after))
            return 1;
        const double plain = timer.nsecsElapsed() / 1e6;
        if (run >= 10) {
            action.push_back(done);
            listing.push_back(listed);
            floor.push_back(plain);
        }
    }

    const Figures a = figures(action), l = figures(listing), f = figures(floor);
    std::printf("Settings: add one amount to a list of 1000 (%lld bytes), %d runs, in %s\n",
                static_cast<long long>(after.size()), kRuns, qPrintable(dir.path()));
    std::printf("  user action (list + locked atomic rewrite) median %.3f ms  p90 %.3f ms  (goal < 5 ms)\n",
                a.median, a.p90);
    std::printf("    of which listing the section           median %.3f ms  p90 %.3f ms\n", l.median, l.p90);
    std::printf("  plain fsync'ed write of the same bytes    median %.3f ms  p90 %.3f ms  (floor)\n",
                f.median, f.p90);
    return 0;
}
