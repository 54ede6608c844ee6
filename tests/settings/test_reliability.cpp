// The settings file under stress: a writer killed at random moments, two programs
// writing at once, and a full disk.

#include "platform/forms/MessageBox.h"
#include "settings/CINIFile.h"
#include "settings/Settings.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using testsupport::readAll;
using testsupport::writeAll;

namespace {

const QString kWriter = QStringLiteral(TOLVO_INI_WRITER);
const QByteArray kStart = "; Tolvo\r\n[D\351faut]\r\nFont=Arial\r\n"; // Windows-1252

// Files of the folder besides the settings file (lock, temporary files).
QStringList strayFiles(const QString &folder)
{
    QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    files.removeAll(QStringLiteral("Tolvo.ini"));
    return files;
}

} // namespace

class TestReliability : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;

private slots:
    void init() // each test in a folder of its own
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_path = m_dir->filePath(QStringLiteral("Tolvo.ini"));
    }

    // A program killed at any moment of a write leaves the file exactly as it was
    // before or after that write: never a mix, never missing.
    void killedWriterLeavesOldOrNewFile()
    {
        auto expected = [](int version) {
            QByteArray bytes = kStart + "[Montants]\r\n";
            for (int i = 0; i < 1000; ++i)
                bytes += QByteArray::number(i) + '=' + QByteArray::number(version) + ",00\r\n";
            return bytes;
        };
        QVERIFY(writeAll(m_path, expected(0)));
        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("seed %u", seed);
        QRandomGenerator random(seed);
        int lastVersion = 0, interrupted = 0; // kills that left a write half done
        for (int kill = 0; kill < 80 && interrupted < 2; ++kill) {
            QProcess child;
            child.start(kWriter, {QStringLiteral("rewrite"), m_path, QString::number(lastVersion)});
            while (!child.canReadLine() && child.waitForReadyRead(5000)) {}
            QVERIFY2(child.canReadLine(), child.readAllStandardError().constData());
            QThread::usleep(random.bounded(60000));
            child.kill();
            QVERIFY(child.waitForFinished() && child.exitStatus() == QProcess::CrashExit);

            const QByteArray bytes = readAll(m_path);
            const int at = bytes.indexOf("\r\n0=") + 4;
            const int version = bytes.mid(at, bytes.indexOf(',', at) - at).toInt();
            QVERIFY2(version > lastVersion, qPrintable(QStringLiteral("kill %1: version %2").arg(kill).arg(version)));
            QCOMPARE(bytes, expected(version));
            lastVersion = version;
            // A killed write leaves its lock (stale for the next writer) and maybe a
            // temporary file; both go, except a lock holding its owner's id.
            const QStringList strays = strayFiles(m_dir->path());
            interrupted += !strays.isEmpty();
            for (const QString &stray : strays)
                if (!stray.endsWith(QLatin1String(".lock")) || QFileInfo(m_dir->filePath(stray)).size() == 0)
                    QFile::remove(m_dir->filePath(stray));
        }
        QVERIFY2(interrupted == 2, "no kill hit a write: the test proved nothing");
    }

    // Two programs write different keys at the same time: every key arrives, and a
    // reader meanwhile always finds the file whole.
    void concurrentWritersLoseNothing()
    {
        QVERIFY(writeAll(m_path, kStart));
        QProcess a, b;
        a.start(kWriter, {QStringLiteral("keys"), m_path, QStringLiteral("A")});
        b.start(kWriter, {QStringLiteral("keys"), m_path, QStringLiteral("B")});
        QVERIFY(a.waitForStarted() && b.waitForStarted());
        while (a.state() != QProcess::NotRunning || b.state() != QProcess::NotRunning) {
            CINIFile ini;
            ini.setFile(m_path);
            ini.setSection(settings::section::Défaut);
            QCOMPARE(ini.Value(settings::key::Font), QStringLiteral("Arial"));
            a.waitForFinished(1);
            b.waitForFinished(1);
        }
        QVERIFY(a.exitCode() == 0 && b.exitCode() == 0);
        CINIFile ini;
        ini.setFile(m_path);
        ini.setSection(QStringLiteral("Concurrent"));
        QStringList keys;
        QCOMPARE(int(ini.enumSectionKeys(keys)), 80);
        for (int i = 0; i < 40; ++i)
            QVERIFY(ini.Value(QStringLiteral("A%1").arg(i)) == QString::number(i) &&
                    ini.Value(QStringLiteral("B%1").arg(i)) == QString::number(i));
        QVERIFY(strayFiles(m_dir->path()).isEmpty());
    }

    // On a full disk (no file may grow past 1 KB) the user hears of it once, and the
    // file on disk stays as it was.
    void fullDisk()
    {
        QVERIFY(writeAll(m_path, kStart));
        platform::MessageBoxRecorder boxes;
        rlimit old{};
        ::getrlimit(RLIMIT_FSIZE, &old);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old;
        limit.rlim_cur = 1024;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        {
            CINIFile ini;
            ini.setFile(m_path);
            ini.setSection(settings::section::Défaut);
            ini.setValue(settings::key::Font, QString(5000, u'x'));
            settings::saveList(ini, settings::section::Montants, QStringList(1000, QStringLiteral("1,00")));
            QVERIFY(ini.writeFailed());
        }
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(readAll(m_path), kStart);
        QCOMPARE(strayFiles(m_dir->path()), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestReliability)
#include "test_reliability.moc"
