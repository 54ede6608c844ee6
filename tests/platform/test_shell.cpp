// The opener is replaced by small scripts named xdg-open, first on the PATH.
#include "platform/Shell.h"

#include "support/TestFiles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestShell : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_path = qgetenv("PATH");
    }
    void init() { qputenv("PATH", QFile::encodeName(m_dir.path()) + ":" + m_path); }
    void cleanupTestCase() { qputenv("PATH", m_path); }
    void results_data();
    void results();
    void argumentsAsGiven();
    void openerThatStays();

private:
    void useOpener(const QByteArray &body);
    QTemporaryDir m_dir;
    QByteArray m_path;
};

void TestShell::useOpener(const QByteArray &body)
{
    const QString path = m_dir.filePath("xdg-open");
    QFile::remove(path);
    if (body.isEmpty()) { // no opener anywhere
        qputenv("PATH", QFile::encodeName(m_dir.path()));
        return;
    }
    QVERIFY(testsupport::writeAll(path, "#!/bin/sh\n" + body + "\n"));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

void TestShell::results_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("opener"); // script body; empty: none installed
    QTest::addColumn<int>("result");
    const QString url = "https://tolvo.example.org";
    QTest::newRow("opened") << "open" << url << QByteArray("exit 0") << int(platform::kShellOpened);
    QTest::newRow("no such file") << "open" << url << QByteArray("exit 2") << 2;
    QTest::newRow("tool missing") << "open" << url << QByteArray("exit 3") << 31;
    QTest::newRow("other exit") << "open" << url << QByteArray("exit 7") << 1;
    QTest::newRow("opener killed") << "open" << url << QByteArray("kill -KILL $$") << 1;
    QTest::newRow("OPEN in capitals") << "OPEN" << url << QByteArray("exit 0") << int(platform::kShellOpened);
    QTest::newRow("verb print") << "print" << url << QByteArray("exit 0") << 31;
    QTest::newRow("no file") << "open"
                             << "" << QByteArray("exit 0") << 2;
    QTest::newRow("no opener installed") << "open" << url << QByteArray() << 31;
}

void TestShell::results()
{
    QFETCH(QString, operation);
    QFETCH(QString, file);
    QFETCH(QByteArray, opener);
    QFETCH(int, result);
    useOpener(opener);
    QCOMPARE(platform::shellExecute(nullptr, operation, file, "", "", 10), result);
}

void TestShell::argumentsAsGiven()
{
    const QByteArray log = QFile::encodeName(m_dir.filePath("args.txt"));
    useOpener("for a in \"$@\"; do printf '%s\\n' \"$a\" >> '" + log + "'; done\npwd >> '" + log + "'");
    const QString tricky = "mailto: support@tolvo.example.org; $(touch /tmp/x) \"quoted\" `id`";
    QCOMPARE(platform::shellExecute(nullptr, "", tricky, "", m_dir.path(), 10), int(platform::kShellOpened));
    QCOMPARE(QString::fromUtf8(testsupport::readAll(log)), tricky + "\n" + m_dir.path() + "\n");
}

void TestShell::openerThatStays()
{
    useOpener("exec sleep 8 >/dev/null 2>&1");
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(platform::shellExecute(nullptr, "open", "https://tolvo.example.org", "", "", 10),
             int(platform::kShellOpened));
    QVERIFY(clock.elapsed() < 5000);
}

QTEST_MAIN(TestShell)
#include "test_shell.moc"
