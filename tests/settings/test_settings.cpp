// Tolvo.ini through the settings-file object: files of the old program, lists,
// long listings, failed writes told to the user; and under
// stress: a writer killed at random moments, two programs writing at once, and a
// full disk.

#include "platform/Application.h"
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

using testsupport::iniBytes;
using testsupport::readAll;
using testsupport::writeAll;

namespace {

// A file as the old program wrote it: Windows-1252, CRLF.
const QByteArray kOldFile("[Montants]\r\n5=20,00\r\n9=150,00\r\n"
                          "[B\xE9n\xE9"
                          "ficiaires]\r\n0=Soci\xE9t\xE9 G\xE9n\xE9rale\r\n1=Fran\xE7oise C\x9Cur\r\n"
                          "2=\x80uro Caf\xE9\r\n"
                          "[D\xE9"
                          "faut]\r\n; r\xE9glages\r\nMontant=20,00\r\nAutoAjout1=\r\nEncadrement=Oui\r\n"
                          "Font=Times New Roman\r\nImprimante=HP LaserJet 4\r\n"
                          "[HP LaserJet 4]\r\nPaperBin=7\r\nHorAjust=-3\r\n");

const QStringList kNames{"Société Générale", "Françoise Cœur", "€uro Café"};

const QString kWriter = QStringLiteral(TOLVO_INI_WRITER);
const QByteArray kStart = "; Tolvo\r\n[D\351faut]\r\nFont=Arial\r\n"; // Windows-1252

// The files beside a settings file (lock, temporary files), with their paths.
QStringList strayFiles(const QString &file)
{
    QStringList files;
    for (const QFileInfo &f : QFileInfo(file).dir().entryInfoList(QDir::Files | QDir::Hidden | QDir::System))
        if (f.fileName() != QFileInfo(file).fileName())
            files << f.filePath();
    return files;
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path; // the stress tests' file, alone in a folder of its own

private slots:
    void initTestCase() { platform::setApplicationFolder(m_dir.path()); }
    void init()
    {
        const QString folder = m_dir.filePath(QTest::currentTestFunction());
        QVERIFY(QDir().mkpath(folder));
        m_path = folder + "/Tolvo.ini";
    }

    // Read as the old program wrote it, changed, and written back byte for byte around the change.
    void oldProgramFile()
    {
        QCOMPARE(settings::filePath(), m_dir.path() + "/Tolvo.ini");
        QVERIFY(writeAll(settings::filePath(), kOldFile));
        CINIFile ini;
        ini.setFile(settings::filePath());
        QStringList list;
        ini.enumSections(list);
        QCOMPARE(list, (QStringList{"Montants", "Bénéficiaires", "Défaut", "HP LaserJet 4"}));
        ini.setSection(settings::section::Bénéficiaires);
        ini.enumSectionValues(list);
        QCOMPARE(list, kNames);
        ini.setSection(settings::section::Défaut);
        bool failed = false, fontFailed = true;
        QCOMPARE(ini.getValue(settings::key::AutoAjout1, "x", &failed),
                 QString("x")); // empty reads as absent
        QCOMPARE(ini.getValue(settings::key::Font, "Arial", &fontFailed), QString("Times New Roman"));
        QVERIFY(failed && !fontFailed);
        QCOMPARE(ini.getValue("Absent", QString(300, u'd')), QString(254, u'd'));
        ini.setSection("HP LaserJet 4");
        QCOMPARE(settings::toInt16(ini.Value(settings::key::HorAjust)), qint16(-3));

        ini.setValue(settings::key::HorAjust, -12);
        ini.addSection("Vide", true);
        ini.deleteSection("vide"); // names ignore case; the current one stays
        QCOMPARE(ini.Section(), QString("Vide"));
        ini.setSection(settings::section::Défaut);
        ini.deleteKey(settings::key::Montant);
        ini.setValue(settings::key::Encadrement, settings::value::Non);
        settings::saveList(ini, settings::section::Montants, {"20,00", "150,00", "7,00"});
        QCOMPARE(ini.Section(), settings::section::Montants);
        settings::saveList(ini, settings::section::Bénéficiaires, kNames + QStringList{"Zoë Brasserie"});
        QVERIFY(!ini.writeFailed());
        QCOMPARE(readAll(settings::filePath()),
                 QByteArray(kOldFile)
                     .replace("5=20,00\r\n9=150,00", "0=20,00\r\n1=150,00\r\n2=7,00")
                     .replace("Caf\xE9\r\n", "Caf\xE9\r\n3=Zo\xEB Brasserie\r\n")
                     .replace("Montant=20,00\r\n", "")
                     .replace("Encadrement=Oui", "Encadrement=Non")
                     .replace("HorAjust=-3", "HorAjust=-12"));
    }

    // A name the code page cannot hold survives with everything else; once it is gone,
    // the file is the old program's again.
    void textOutsideWindows1252()
    {
        for (const QString name : {"Łódź", "chèque 😀"}) {
            QVERIFY(writeAll(settings::filePath(), kOldFile));
            CINIFile ini;
            ini.setFile(settings::filePath());
            settings::saveList(ini, settings::section::Bénéficiaires, {name, "A=B \"C\""});
            QVERIFY(readAll(settings::filePath()).startsWith("\xEF\xBB\xBF"));
            QStringList list;
            ini.enumSectionValues(list);
            QCOMPARE(list, (QStringList{name, "A=B \"C\""}));
            ini.setSection("HP LaserJet 4");
            QCOMPARE(ini.Value(settings::key::HorAjust), QString("-3"));
            settings::saveList(ini, settings::section::Bénéficiaires, kNames);
            QCOMPARE(readAll(settings::filePath()), kOldFile);
        }
    }

    // The buffer grows until a long section (or the list of names) fits.
    void longListing()
    {
        for (int size : {2045, 16381, 70000}) {
            for (bool names : {false, true}) {
                QString text = names ? QString() : QStringLiteral("[S]\n");
                int count = 0;
                for (int remaining = size; remaining > 0; ++count, remaining -= 1000) {
                    const QString item = (QString::number(count) + (names ? "" : "=")) // NUL included
                                             .leftJustified(qMin(remaining, 1000) - 1, u'x');
                    text += (names ? '[' + item + ']' : item) + '\n';
                }
                QVERIFY(writeAll(m_path, iniBytes(text)));
                CINIFile ini;
                ini.setFile(m_path);
                ini.setSection("S");
                QStringList list;
                QCOMPARE(int(names ? ini.enumSections(list) : ini.enumSectionValues(list)), count);
                QVERIFY(list.size() == count && ini.listingComplete());
            }
        }
    }

    // Every write of one object may fail; the user hears of it once, when the object
    // (the user action) ends, and again for the next action.
    void failedWriteToldOncePerObject()
    {
        const QString missing = m_dir.filePath("absent/Tolvo.ini");
        platform::MessageBoxRecorder boxes;
        for (int action = 1; action <= 2; ++action) {
            CINIFile ini;
            ini.setFile(missing);
            ini.setSection("Défaut");
            QCOMPARE(ini.Value("Font"), QString()); // reads say nothing
            ini.setValue("Font", "Arial");
            ini.writeSection(QStringList{"0=1,00"});
            ini.deleteSection("X");
            QVERIFY(ini.writeFailed());
            ini.setFile(settings::filePath()); // the message names the file that failed
            ini.setSection("Défaut");
            ini.setValue("Font", "Arial");
            QCOMPARE(boxes.shown.size(), action - 1);
        }
        QCOMPARE(boxes.shown.size(), 2);
        QCOMPARE(boxes.shown[1].text, "Impossible d'enregistrer les paramètres dans le fichier\n" + missing);
        QVERIFY(boxes.shown[1].icon == platform::MsgIcon::Exclamation && boxes.shown[1].title == "Tolvo");
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
            while (!child.canReadLine() && child.waitForReadyRead(5000)) {
            }
            QVERIFY2(child.canReadLine(), child.readAllStandardError().constData());
            QThread::usleep(random.bounded(60000));
            child.kill();
            QVERIFY(child.waitForFinished() && child.exitStatus() == QProcess::CrashExit);

            const QByteArray bytes = readAll(m_path);
            const int at = bytes.indexOf("\r\n0=") + 4;
            const int version = bytes.mid(at, bytes.indexOf(',', at) - at).toInt();
            QVERIFY2(version > lastVersion,
                     qPrintable(QStringLiteral("kill %1: version %2").arg(kill).arg(version)));
            QCOMPARE(bytes, expected(version));
            lastVersion = version;
            // A killed write leaves its lock (stale for the next writer) and maybe a
            // temporary file; both go, except a lock holding its owner's id.
            const QStringList strays = strayFiles(m_path);
            interrupted += !strays.isEmpty();
            for (const QString &stray : strays)
                if (!stray.endsWith(QLatin1String(".lock")) || QFileInfo(stray).size() == 0)
                    QFile::remove(stray);
        }
        QVERIFY2(interrupted == 2, "no kill hit a write: the test proved nothing");
    }

    // Two programs write different keys and add to one list at the same time: every
    // key and every entry arrives, and a reader meanwhile always finds the file whole.
    void concurrentWritersLoseNothing()
    {
        QVERIFY(writeAll(m_path, kStart + "[Montants]\r\n7=1,00\r\n"));
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
        ini.setSection(settings::section::Montants);
        QStringList amounts;
        QCOMPARE(int(ini.enumSectionValues(amounts)), 81);
        QVERIFY(amounts.contains(QStringLiteral("1,00")));
        QCOMPARE(QSet<QString>(amounts.begin(), amounts.end()).size(), 81);
        QVERIFY(ini.enumSectionKeys(keys) == 81 && keys.last() == QStringLiteral("80"));
        QVERIFY(strayFiles(m_path).isEmpty());
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
        QCOMPARE(strayFiles(m_path), QStringList());
    }
};

QTEST_MAIN(TestSettings)
#include "test_settings.moc"
