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
    void initTestCase();
    void cleanupTestCase() { qputenv("PATH", m_path); }
    void exitCodes_data();
    void exitCodes();
    void argumentsAsGiven();
    void openerThatStays();
    void refusedWithoutOpener_data();
    void refusedWithoutOpener();

private:
    void useOpener(const QByteArray &body);
    QTemporaryDir m_dir;
    QByteArray m_path;
};

void TestShell::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(m_dir.path()) + ":" + m_path);
}

void TestShell::useOpener(const QByteArray &body)
{
    const QString path = m_dir.filePath("xdg-open");
    QFile::remove(path);
    QVERIFY(testsupport::writeAll(path, "#!/bin/sh\n" + body + "\n"));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

void TestShell::exitCodes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("result");
    QTest::newRow("opened") << 0 << int(platform::kShellOpened);
    QTest::newRow("bad command line") << 1 << 1;
    QTest::newRow("no such file") << 2 << 2;
    QTest::newRow("tool missing") << 3 << 31;
    QTest::newRow("nothing can open it") << 4 << 31;
    QTest::newRow("other") << 7 << 1;
}

void TestShell::exitCodes()
{
    QFETCH(int, code);
    QFETCH(int, result);
    useOpener("exit " + QByteArray::number(code));
    QCOMPARE(platform::shellExecute(nullptr, "open", "https://tolvo.example.org", "", "", 10), result);
}

void TestShell::argumentsAsGiven()
{
    const QString log = m_dir.filePath("args.txt");
    useOpener("for a in \"$@\"; do printf '%s\\n' \"$a\" >> '" + QFile::encodeName(log) +
              "'; done\npwd >> '" + QFile::encodeName(log) + "'");
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

void TestShell::refusedWithoutOpener_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("opener");
    QTest::addColumn<int>("result");
    QTest::newRow("verb print") << "print"
                                << "/tmp/a.pdf" << true << 31;
    QTest::newRow("no file") << "open"
                             << "" << true << 2;
    QTest::newRow("no opener installed") << "open"
                                         << "/tmp/a.pdf" << false << 31;
    QTest::newRow("OPEN in capitals") << "OPEN"
                                      << "/tmp/a.pdf" << true << int(platform::kShellOpened);
}

void TestShell::refusedWithoutOpener()
{
    QFETCH(QString, operation);
    QFETCH(QString, file);
    QFETCH(bool, opener);
    QFETCH(int, result);
    useOpener("exit 0");
    if (!opener) {
        QFile::remove(m_dir.filePath("xdg-open"));
        qputenv("PATH", QFile::encodeName(m_dir.path()));
    }
    const int got = platform::shellExecute(nullptr, operation, file, "", "", 10);
    qputenv("PATH", QFile::encodeName(m_dir.path()) + ":" + m_path);
    QCOMPARE(got, result);
}

QTEST_MAIN(TestShell)
#include "test_shell.moc"
