// The settings file under stress: a writer killed at random moments, two programs
// writing at once, writes that cannot succeed, and garbage files.

#include "ini_writer.h"
#include "platform/forms/MessageBox.h"
#include "settings/CINIFile.h"
#include "settings/Settings.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using testsupport::readAll;
using testsupport::writeAll;

namespace {

const QString kWriter = QStringLiteral(TOLVO_INI_WRITER);
const QByteArray kDefaut("[D\351faut]"); // Windows-1252
const QByteArray kStart = "; Tolvo\r\n" + kDefaut + "\r\nFont=Arial\r\n";

// Files of the folder besides the settings file (lock, temporary files).
QStringList strayFiles(const QString &folder)
{
    QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    files.removeAll(QStringLiteral("Tolvo.ini"));
    return files;
}

// Runs `undo` at the end of the scope, however the test leaves it.
struct Undo {
    std::function<void()> undo;
    ~Undo() { undo(); }
};

enum class Failure { ReadOnlyFolder, DiskFull };

} // namespace

class TestReliability : public QObject {
    Q_OBJECT

private slots:
    // A program killed at any moment of a write leaves the file exactly as it was
    // before or after that write: never a mix, never missing.
    void killedWriterLeavesOldOrNewFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Tolvo.ini"));
        // The file after writing version v.
        auto expected = [](int version) {
            QByteArray bytes = kStart + "[Montants]\r\n";
            const QStringList amounts = iniwriter::amounts(version);
            for (qsizetype i = 0; i < amounts.size(); ++i)
                bytes += QByteArray::number(i) + '=' + amounts[i].toLatin1() + "\r\n";
            return bytes;
        };
        QVERIFY(writeAll(path, expected(0)));

        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("seed %u", seed);
        QRandomGenerator random(seed);
        int lastVersion = 0;
        int interrupted = 0; // kills that left a write half done
        int kill = 0;
        for (; kill < 80 && interrupted < 2; ++kill) {
            QProcess child;
            child.start(kWriter, {QStringLiteral("rewrite"), path, QString::number(lastVersion)});
            QVERIFY2(child.waitForStarted(), qPrintable(child.errorString()));
            while (!child.canReadLine() && child.state() == QProcess::Running)
                child.waitForReadyRead(100);
            QVERIFY2(child.canReadLine(), child.readAllStandardError().constData());
            QThread::usleep(random.bounded(60000));
            child.kill();
            QVERIFY(child.waitForFinished());
            QCOMPARE(child.exitStatus(), QProcess::CrashExit); // killed, not failed

            const QByteArray bytes = readAll(path);
            CINIFile ini;
            ini.setFile(path);
            ini.setSection(settings::section::Montants);
            QStringList list;
            ini.enumSectionValues(list);
            const int version = iniwriter::versionOf(list);
            QVERIFY2(version > lastVersion,
                     qPrintable(QStringLiteral("kill %1: version %2").arg(kill).arg(version)));
            QCOMPARE(bytes, expected(version));
            lastVersion = version;

            // A kill during a write leaves its lock (stale for the next writer) and maybe
            // a temporary file; both go, except a lock holding its owner's id.
            const QStringList strays = strayFiles(dir.path());
            if (!strays.isEmpty())
                ++interrupted;
            for (const QString &stray : strays)
                if (!stray.endsWith(QLatin1String(".lock")) || QFileInfo(dir.filePath(stray)).size() == 0)
                    QFile::remove(dir.filePath(stray));
        }
        qInfo("%d kills, %d during a write, %d versions written", kill, interrupted, lastVersion);
        QVERIFY2(interrupted == 2, "no kill hit a write: the test proved nothing");
    }

    // Two programs write different keys at the same time: every key arrives, and a
    // reader meanwhile always finds the file whole.
    void concurrentWritersLoseNothing()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Tolvo.ini"));
        QVERIFY(writeAll(path, kStart));
        constexpr int kKeys = 40;

        QProcess a, b;
        a.start(kWriter, {QStringLiteral("keys"), path, QStringLiteral("A"), QString::number(kKeys)});
        b.start(kWriter, {QStringLiteral("keys"), path, QStringLiteral("B"), QString::number(kKeys)});
        QVERIFY(a.waitForStarted() && b.waitForStarted());
        QElapsedTimer timer;
        timer.start();
        while (a.state() != QProcess::NotRunning || b.state() != QProcess::NotRunning) {
            CINIFile ini;
            ini.setFile(path);
            ini.setSection(settings::section::Défaut);
            QCOMPARE(ini.Value(settings::key::Font), QStringLiteral("Arial"));
            a.waitForFinished(1);
            b.waitForFinished(1);
            QVERIFY2(timer.elapsed() < 60000, "writers hang");
        }
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);

        CINIFile ini;
        ini.setFile(path);
        ini.setSection(QStringLiteral("Concurrent"));
        QStringList keys;
        QCOMPARE(int(ini.enumSectionKeys(keys)), 2 * kKeys);
        for (int i = 0; i < kKeys; ++i) {
            QCOMPARE(ini.Value(QStringLiteral("A%1").arg(i)), QString::number(i));
            QCOMPARE(ini.Value(QStringLiteral("B%1").arg(i)), QString::number(i));
        }
        QVERIFY(strayFiles(dir.path()).isEmpty());
    }

    void failedWrite_data()
    {
        QTest::addColumn<Failure>("failure");
        QTest::newRow("read-only folder") << Failure::ReadOnlyFolder;
        QTest::newRow("disk full") << Failure::DiskFull;
    }

    // A write that cannot be done is told to the user once, and the file on disk stays
    // as it was.
    void failedWrite()
    {
        QFETCH(Failure, failure);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Tolvo.ini"));
        QVERIFY(writeAll(path, kStart));

        platform::MessageBoxRecorder boxes;
        {
            CINIFile ini;
            ini.setFile(path);
            std::optional<Undo> undo;
            if (failure == Failure::ReadOnlyFolder) {
                // As root, permissions stop nothing: the writes then run as "nobody".
                const QByteArray folder = QFile::encodeName(dir.path());
                ::chmod(folder.constData(), 0555);
                const bool asNobody = ::geteuid() == 0 && ::seteuid(65534) == 0;
                undo.emplace([=] {
                    if (asNobody && ::seteuid(0) != 0)
                        qFatal("cannot get root back");
                    ::chmod(folder.constData(), 0755);
                });
                if (QFile probe(dir.filePath(QStringLiteral("probe"))); probe.open(QIODevice::WriteOnly)) {
                    probe.remove();
                    QSKIP("the folder stays writable (root without a user to switch to)");
                }
            } else { // a full disk: no file of this process may grow past 1 KB
                rlimit old{};
                ::getrlimit(RLIMIT_FSIZE, &old);
                const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
                rlimit limit = old;
                limit.rlim_cur = 1024;
                ::setrlimit(RLIMIT_FSIZE, &limit);
                undo.emplace([=] {
                    ::setrlimit(RLIMIT_FSIZE, &old);
                    std::signal(SIGXFSZ, oldHandler);
                });
            }
            ini.setSection(settings::section::Défaut);
            // Each write makes the file larger than the full disk allows.
            ini.setValue(settings::key::Font, QString(5000, u'x'));
            settings::saveList(ini, settings::section::Montants, iniwriter::amounts(1));
            ini.setSection(settings::section::Défaut);
            ini.setValue(settings::key::Imprimante, QString(2000, u'y'));
            QVERIFY(ini.writeFailed());
        }
        QCOMPARE(boxes.shown.size(), 1);

        QCOMPARE(readAll(path), kStart);
        QCOMPARE(strayFiles(dir.path()), QStringList());
    }

    void garbageFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray everyByte;
        for (int i = 0; i < 4096; ++i)
            everyByte.append(char(i % 256));
        static const char nuls[] = "[D\351faut]\0\r\nFo\0nt=\0Times\r\n\0\0";
        QTest::newRow("binary bytes") << everyByte;
        QTest::newRow("1 MB line") << QByteArray(1024 * 1024, 'x');
        QByteArray manySections;
        for (int i = 0; i < 10000; ++i)
            manySections += "[s" + QByteArray::number(i) + "]\r\n";
        QTest::newRow("10000 sections") << manySections;
        QTest::newRow("NUL bytes, = alone, unterminated [")
            << QByteArray(nuls, sizeof nuls - 1) + "=\r\n==\r\n\xEF\xBB\xBF\xFF\xC3\r\n[D\351faut\r\n[";
    }

    // Any file reads without crash or hang, and can still be written.
    void garbageFile()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Tolvo.ini"));
        QVERIFY(writeAll(path, bytes));

        QElapsedTimer timer;
        timer.start();
        CINIFile ini;
        ini.setFile(path);
        ini.setSection(settings::section::Défaut);
        ini.Value(settings::key::Font);
        QStringList list;
        ini.enumSections(list);
        ini.enumSectionKeys(list);   // keeps the final NUL
        ini.enumSectionValues(list); // drops it, like the other listings
        ini.setValue(QStringLiteral("Test"), QStringLiteral("écrit"));
        QVERIFY(!ini.writeFailed());
        QCOMPARE(ini.Value(QStringLiteral("Test")), QStringLiteral("écrit"));
        QVERIFY(timer.elapsed() < 20000);
    }
};

QTEST_GUILESS_MAIN(TestReliability)
#include "test_reliability.moc"
