// Dates, the user's name, the opener of links and mail; and the
// private-profile functions: what a hand-edited or old file reads as, buffer
// results, and rewrites that keep the rest of the file.
#include "platform/Application.h"
#include "platform/Conversions.h"
#include "platform/Profile.h"
#include "platform/Shell.h"
#include "platform/UserName.h"
#include "support/TestFiles.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

using namespace platform;
using testsupport::iniBytes;
using testsupport::readAll;
using testsupport::writeAll;

class TestBase : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path() const { return m_dir.filePath(QStringLiteral("Tolvo.ini")); }
    void put(const QByteArray &bytes) // null: no file
    {
        QFile::remove(path());
        if (!bytes.isNull())
            QVERIFY(writeAll(path(), bytes));
    }

    // Puts a script named xdg-open first on the PATH; empty: no opener at all.
    void useOpener(const QByteArray &body)
    {
        const QString path = m_dir.filePath("xdg-open");
        QFile::remove(path);
        qputenv("PATH", QFile::encodeName(m_dir.path()) + (body.isEmpty() ? "" : ":/usr/bin:/bin"));
        if (!body.isEmpty()) {
            QVERIFY(writeAll(path, "#!/bin/sh\n" + body + "\n"));
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        }
    }

private slots:
    void dates()
    {
        // clang-format off
        const char *rows[][2] = {
            {"05/12/26", "05/12/2026"}, {"5-1-2026", "05/01/2026"}, {" 05.01.26 ", "05/01/2026"},
            {"31/12/49", "31/12/2049"}, {"01/01/50", "01/01/1950"}, {"29/02/2000", "29/02/2000"},
            {"29/02/2025", ""}, {"29/02/1900", ""}, {"01/13/2026", ""}, {"01/01/202", ""}, {"01/01-2026", ""}, {"", ""},
        };
        // clang-format on
        for (const auto &[text, shortDate] : rows) {
            const auto date = CDate(text);
            QCOMPARE(date ? ShortDate(*date) : QString(), QString(shortDate));
            QCOMPARE(IsDate(text), date.has_value());
        }
        setToday(QDate(2026, 12, 5));
        QCOMPARE(TodayText(), QString("05/12/26"));
    }

    // The address reaches the opener as one argument, never through a shell.
    void opener()
    {
        const QString url = "https://tolvo.example.org";
        const QString tricky = "mailto: support@tolvo.example.org; $(touch x) \"quoted\" `id`";
        const QByteArray log = QFile::encodeName(m_dir.filePath("args.txt"));
        // clang-format off
        const struct { const char *operation; QString file; QByteArray opener; int result; } rows[] = {
            {"OPEN", url, "exit 0", int(kShellOpened)},
            {"open", url, "exit 2", 2},  // no such file
            {"print", url, "exit 0", 31},
            {"open", url, "", 31},       // no opener installed
            {"open", url, "exec sleep 8 >/dev/null 2>&1", int(kShellOpened)}, // a browser that stays: not waited for
            {"", tricky, "for a in \"$@\"; do printf '%s\\n' \"$a\" >> '" + log + "'; done\npwd >> '" + log + "'",
             int(kShellOpened)},
        };
        // clang-format on
        const QByteArray path = qgetenv("PATH");
        QElapsedTimer clock;
        clock.start();
        for (const auto &row : rows) {
            useOpener(row.opener);
            QCOMPARE(shellExecute(nullptr, row.operation, row.file, "", m_dir.path(), 10), row.result);
        }
        QVERIFY(clock.elapsed() < 5000);
        qputenv("PATH", path);
        QCOMPARE(QString::fromUtf8(readAll(log)), tricky + "\n" + m_dir.path() + "\n");
        QCOMPARE(fullNameFromGecos("  Jeanne Dupré ,Bureau 12,0102030405,,"), QString("Jeanne Dupré"));
        QCOMPARE(fullNameFromGecos(nullptr), QString());
    }

    void read()
    {
        const QByteArray file =
            iniBytes("; réglages\nFont=preamble\n[Défaut]\nFont=Arial\n"
                     "  Imprimante  =  HP LaserJet  \nQ1=\"Arial Black\"\nQ3=\"x\n"
                     "Plain\n;Encadrement=Oui\nDup=first\nDup=second\n[défaut]\nLate=yes\n");
        // clang-format off
        const struct {
            QByteArray content;
            const char *section, *key, *defaultValue;
            int size;
            QString text;
        } rows[] = {
            {file, "DÉFAUT", "font", "", 255, "Arial"},
            {file, "Défaut", "Imprimante", "", 255, "HP LaserJet"},
            {file, "Défaut", "Q1", "", 255, "Arial Black"},
            {file, "Défaut", "Dup", "", 255, "first"},
            {file, "Défaut", "Plain", "dflt", 255, "dflt"},
            {file, "Défaut", "Encadrement", "", 255, ""},
            {file, "Défaut", "Absent", "abcdef", 3, "ab"},
            {file, "Défaut", "Font", "", 0, ""},
            {"[D\xE9" "faut]\r\nFont=\x80 \x9C\r\n", "Défaut", "Font", "", 255, "€ œ"},
            {"\xEF\xBB\xBF[D\xC3\xA9" "faut]\nFont=\xC5\x81\xC3\xB3" "d\xC5\xBA\n", "Défaut", "Font", "", 255, "Łódź"},
            {"[D\xE9" "faut]\nFont=\xC3\xA9\xE9\n", "Défaut", "Font", "", 255, "Ã©é"},
            {"\xEF\xBB\xBF[D\xC3\xA9" "faut]\r\nFont=\xE9t\xE9\r\n", "Défaut", "Font", "", 255, "été"},
            {"[A]\ra=1\rb=2\r", "A", "b", "", 255, "2"}, // lone CR ends a line
        };
        // clang-format on
        for (const auto &row : rows) {
            put(row.content);
            QString buffer(row.size + 1, QChar(u'#')); // one guard character past the size
            const int n = GetPrivateProfileString(row.section, row.key, row.defaultValue, buffer.data(),
                                                  row.size, path());
            QCOMPARE(buffer.left(n), row.text);
            QCOMPARE(n, row.text.size());
            QCOMPARE(buffer[row.size], QChar(u'#'));
        }
    }

    void listings()
    {
        put(iniBytes("[Divers]\n; c\n  a  =  b  \nplain line\n=\n[HP [A]]]\n"));
        const QString nul(QChar(0));
        QString buffer(2047, u'#');
        QCOMPARE(GetPrivateProfileSection("Divers", buffer.data(), 2047, path()), 17);
        QCOMPARE(buffer.left(18), "a=b" + nul + "plain line" + nul + "=" + nul + nul);
        QCOMPARE(GetPrivateProfileSectionNames(buffer.data(), 2047, path()), 15);
        QCOMPARE(buffer.left(16), "Divers" + nul + "HP [A]]" + nul + nul);

        // A section written whole keeps its comments; a line that would read as a header is refused.
        put(iniBytes("[D]\n; c\nA=1\n[I]\n"));
        QVERIFY(!WritePrivateProfileSection("D", "B=2" + nul + "[I]" + nul + nul, path()));
        QVERIFY(WritePrivateProfileSection("D", "B=2" + nul + "C=3" + nul + nul + "X=1" + nul, path()));
        QCOMPARE(readAll(path()), iniBytes("[D]\n; c\nB=2\nC=3\n[I]\n"));
    }

    void write()
    {
        const QString text =
            "; c\n[M]\n0=1\n\n[Défaut]\n; c\nFONT = Arial\nPlain\nDup=1\nDup=2\n\n[I]\nX=Y\n";
        const QByteArray file = iniBytes(text);
        auto ini = [](const QString &t) { return t.isNull() ? QByteArray() : iniBytes(t); }; // null: no file
        // clang-format off
        const struct { QByteArray before; QString section, key, value; QByteArray after; } rows[] = {
            {{}, "Défaut", "Font", "Arial", ini("[Défaut]\nFont=Arial\n")},
            {file, "défaut", "font", "Times", ini(QString(text).replace("FONT = Arial", "FONT=Times"))},
            {file, "M", "1", "2", ini(QString(text).replace("0=1\n", "0=1\n1=2\n"))}, // after the section's last line
            {file, "HP [2]] x", "PaperBin", "7", ini(text + "[HP [2]] x]\nPaperBin=7\n")},
            {file, "Défaut", "Dup", "3", ini(QString(text).replace("Dup=1\nDup=2", "Dup=3"))},
            {file, "M", "0", "1\r\n[Défaut]\nFont=X", ini(QString(text).replace("0=1\n", "0=1  [Défaut] Font=X\n"))},
            {file, "DÉFAUT", "dup", {}, ini(QString(text).remove("Dup=1\nDup=2\n"))}, // every copy
            {file, "défaut", {}, {}, ini("; c\n[M]\n0=1\n\n[I]\nX=Y\n")},
            {"[A]\ra=1\rb=2\r", "A", "a", {}, ini("[A]\nb=2\n")}, // lone CR ends a line
            {{}, "A", {}, {}, {}},                                   // deleting creates no file
            // A key that would read back as something else is refused; the file stays.
            {file, "M", "[Montants]", "1", file},
            {file, "M", "a=b", "1", file},
            // After a BOM, Windows-1252 lines become UTF-8; so do Windows-1252 bytes that would read as UTF-8.
            {"\xEF\xBB\xBF[A]\r\nk=\xE9t\xE9\r\nu=\xC5\x81\r\n", "A", "x", "1",
             "\xEF\xBB\xBF[A]\r\nk=\xC3\xA9t\xC3\xA9\r\nu=\xC5\x81\r\nx=1\r\n"},
            {{}, "S", "k", "Ã©", "\xEF\xBB\xBF[S]\r\nk=\xC3\x83\xC2\xA9\r\n"},
        };
        // clang-format on
        auto given = [](const QString &s) { return s.isNull() ? std::nullopt : std::optional(s); };
        for (const auto &row : rows) {
            put(row.before);
            QCOMPARE(WritePrivateProfileString(row.section, given(row.key), given(row.value), path()),
                     row.after != row.before || row.before.isNull());
            QCOMPARE(readAll(path()), row.after);
            QCOMPARE(QFile::exists(path()), !row.after.isNull());
        }
    }
};

QTEST_MAIN(TestBase)
#include "test_base.moc"
