// The register under a program killed while it records: the file always opens
// afterwards, with every row whole and none lost once committed.

#include "register/Register.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {

const QString kRecorder = QStringLiteral(TOLVO_RECORDER);

QString sqlite(const QString &file, const QString &sql)
{
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {file, sql});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QStringLiteral("sqlite3 failed: ") + QString::fromUtf8(p.readAllStandardError());
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

} // namespace

class TestRegisterReliability : public QObject {
    Q_OBJECT

private slots:
    void killedRecorderLeavesWholeRows()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Registre.sqlite"));
        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("seed %u", seed);
        QRandomGenerator random(seed);
        qint64 last = 0;
        for (int kill = 0; kill < 30; ++kill) {
            QProcess child;
            child.start(kRecorder, {path});
            QVERIFY2(child.waitForStarted(), qPrintable(child.errorString()));
            while (!child.canReadLine() && child.state() == QProcess::Running)
                child.waitForReadyRead(100);
            QVERIFY2(child.canReadLine(), child.readAllStandardError().constData());
            QThread::usleep(random.bounded(20000));
            child.kill();
            QVERIFY(child.waitForFinished());
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);

            // Read by another program first, as the accountant's tool would.
            QCOMPARE(sqlite(path, "PRAGMA integrity_check"), QString("ok"));
            const QStringList counts =
                sqlite(path, "SELECT COUNT(*), MAX(id), SUM(beneficiary <> 'Nom ' || cents OR id <> cents"
                             " OR amount = '' OR printed_at = '' OR printer <> 'Fichier PDF') FROM cheques")
                    .split('|');
            QCOMPARE(counts.size(), 3);
            const qint64 rows = counts[0].toLongLong();
            QVERIFY2(rows > last,
                     qPrintable(QString("kill %1: %2 rows after %3").arg(kill).arg(rows).arg(last)));
            QCOMPARE(counts[1].toLongLong(), rows); // no gap: nothing committed was lost
            QCOMPARE(counts[2], QString("0"));
            last = rows;

            registre::Register reg(path);
            QVERIFY2(reg.open(), qPrintable(reg.error()));
            QVERIFY(reg.setAsideAs().isEmpty());
        }
        qInfo("%lld cheques recorded across the kills", last);
    }
};

QTEST_GUILESS_MAIN(TestRegisterReliability)
#include "test_reliability.moc"
