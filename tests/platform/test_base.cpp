// Numbers, dates, the user's name and the opener of links and mail.
#include "platform/Application.h"
#include "platform/Conversions.h"
#include "platform/Shell.h"
#include "platform/UserName.h"
#include "support/TestFiles.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>
#include <limits>

using namespace platform;

class TestBase : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    // Puts a script named xdg-open first on the PATH; empty: no opener at all.
    void useOpener(const QByteArray &body)
    {
        const QString path = m_dir.filePath("xdg-open");
        QFile::remove(path);
        qputenv("PATH", QFile::encodeName(m_dir.path()) + (body.isEmpty() ? "" : ":/usr/bin:/bin"));
        if (!body.isEmpty()) {
            QVERIFY(testsupport::writeAll(path, "#!/bin/sh\n" + body + "\n"));
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        }
    }

private slots:
    void amounts()
    {
        // The amount as typed, as stored and printed with two decimals, and grouped by thousands.
        const char *rows[][3] = {
            {"5", "5,00", "5,00"},
            {"2,675", "2,68", "2,68"}, // half a cent goes up
            {"1234.5", "1234,50", "1 234,50"},
            {"1234567890", "1234567890,00", "1234 567 890,00"},
            {"999999,995", "1000000,00", "1 000 000,00"},
            {",5", "0,50", "0,50"},
            {"-1234,5", "-1234,50", "-1 234,50"},
            {"-0,001", "0,00", "0,00"},
            {"", "?", "?"}, {"1,2,3", "?", "?"}, {"12a", "?", "?"}, {"1e5", "?", "?"},
        };
        for (const auto &[number, fixed, grouped] : rows) {
            QCOMPARE(FormatFixed2(number).value_or("?"), QString(fixed));
            QCOMPARE(FormatGrouped(number).value_or("?"), QString(grouped));
        }
        QVERIFY(Val(" -12,5abc") == -12.0 && Val("4.5e1x") == 45.0); // the comma is no decimal separator here
        QVERIFY(CInt16(2.5) == 2 && CInt16(-3.5) == -4); // half to even
        QVERIFY(!CInt16(32767.5) && !CInt16(std::numeric_limits<double>::quiet_NaN()));
    }

    void dates()
    {
        const char *rows[][2] = {
            {"05/12/26", "05/12/2026"}, {"5-1-2026", "05/01/2026"}, {" 05.01.26 ", "05/01/2026"},
            {"31/12/49", "31/12/2049"}, {"01/01/50", "01/01/1950"}, {"29/02/2000", "29/02/2000"},
            {"29/02/2025", ""}, {"29/02/1900", ""}, {"01/13/2026", ""}, {"01/01/202", ""}, {"01/01-2026", ""}, {"", ""},
        };
        for (const auto &[text, shortDate] : rows) {
            const auto date = CDate(text);
            QCOMPARE(date ? ShortDate(*date) : QString(), QString(shortDate));
            QCOMPARE(IsDate(text), date.has_value());
        }
        setToday(QDate(2026, 12, 5));
        QCOMPARE(TodayText(), QString("05/12/26"));
    }

    void opener()
    {
        const QString url = "https://tolvo.example.org";
        const struct { const char *operation; QString file; QByteArray opener; int result; } rows[] = {
            {"OPEN", url, "exit 0", int(kShellOpened)},
            {"open", url, "exit 2", 2},  // no such file
            {"print", url, "exit 0", 31},
            {"open", url, "", 31},       // no opener installed
            {"open", url, "exec sleep 8 >/dev/null 2>&1", int(kShellOpened)}, // a browser that stays: not waited for
        };
        const QByteArray path = qgetenv("PATH");
        QElapsedTimer clock;
        clock.start();
        for (const auto &row : rows) {
            useOpener(row.opener);
            QCOMPARE(shellExecute(nullptr, row.operation, row.file, "", "", 10), row.result);
        }
        QVERIFY(clock.elapsed() < 5000);
        qputenv("PATH", path);
        QCOMPARE(fullNameFromGecos("  Jeanne Dupré ,Bureau 12,0102030405,,"), QString("Jeanne Dupré"));
        QCOMPARE(fullNameFromGecos(nullptr), QString());
    }

    // The address reaches the opener as one argument, never through a shell.
    void argumentsAsGiven()
    {
        const QByteArray log = QFile::encodeName(m_dir.filePath("args.txt"));
        const QByteArray path = qgetenv("PATH");
        useOpener("for a in \"$@\"; do printf '%s\\n' \"$a\" >> '" + log + "'; done\npwd >> '" + log + "'");
        const QString tricky = "mailto: support@tolvo.example.org; $(touch x) \"quoted\" `id`";
        QCOMPARE(shellExecute(nullptr, "", tricky, "", m_dir.path(), 10), int(kShellOpened));
        QCOMPARE(QString::fromUtf8(testsupport::readAll(log)), tricky + "\n" + m_dir.path() + "\n");
        qputenv("PATH", path);
    }
};

QTEST_MAIN(TestBase)
#include "test_base.moc"
