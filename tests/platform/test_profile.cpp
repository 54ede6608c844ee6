// The private-profile functions: what a hand-edited or old file reads as, buffer
// results, and rewrites that keep the rest of the file.

#include "platform/Profile.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QtTest>

using testsupport::iniBytes;
using testsupport::readAll;
using testsupport::writeAll;

class TestProfile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path() const { return m_dir.filePath(QStringLiteral("Tolvo.ini")); }
    void put(const QByteArray &bytes) // null: no file
    {
        QFile::remove(path());
        if (!bytes.isNull())
            QVERIFY(writeAll(path(), bytes));
    }

private slots:
    void read()
    {
        const QByteArray file = iniBytes("; réglages\nFont=preamble\n[Défaut]\nFont=Arial\n"
                                         "  Imprimante  =  HP LaserJet  \nQ1=\"Arial Black\"\nQ3=\"x\n"
                                         "Plain\n;Encadrement=Oui\nDup=first\nDup=second\n[défaut]\nLate=yes\n");
        const struct {
            QByteArray content;
            const char *section, *key, *defaultValue;
            int size;
            QString text;
        } rows[] = {
            {file, "DÉFAUT", "font", "", 255, "Arial"},
            {file, "Défaut", "Imprimante", "", 255, "HP LaserJet"},
            {file, "Défaut", "Q1", "", 255, "Arial Black"},
            {file, "Défaut", "Q3", "", 255, "\"x"},
            {file, "Défaut", "Dup", "", 255, "first"},
            {file, "Défaut", "Late", "", 255, "yes"},
            {file, "Défaut", "Plain", "dflt", 255, "dflt"},
            {file, "Défaut", "Encadrement", "", 255, ""},
            {file, "", "Font", "", 255, ""},
            {file, "Défaut", "Absent", "abcdef", 3, "ab"},
            {file, "Défaut", "Font", "", 0, ""},
            {"[D\xE9" "faut]\r\nFont=\x80 \x9C\r\n", "Défaut", "Font", "", 255, "€ œ"},
            {"\xEF\xBB\xBF[D\xC3\xA9" "faut]\nFont=\xC5\x81\xC3\xB3" "d\xC5\xBA\n", "Défaut", "Font", "", 255, "Łódź"},
            {"[D\xE9" "faut]\nFont=\xC3\xA9\xE9\n", "Défaut", "Font", "", 255, "Ã©é"},
            {"\xEF\xBB\xBF[D\xC3\xA9" "faut]\r\nFont=\xE9t\xE9\r\n", "Défaut", "Font", "", 255, "été"},
            {"[A]\ra=1\rb=2\r", "A", "b", "", 255, "2"}, // lone CR ends a line
        };
        for (const auto &row : rows) {
            put(row.content);
            QString buffer(row.size + 1, QChar(u'#')); // one guard character past the size
            const int n = platform::GetPrivateProfileString(row.section, row.key, row.defaultValue,
                                                            buffer.data(), row.size, path());
            QCOMPARE(buffer.left(n), row.text);
            QCOMPARE(n, row.text.size());
            QCOMPARE(buffer[row.size], QChar(u'#'));
        }
    }

    void listings()
    {
        put(iniBytes("[Montants]\n0=20,00\n1=1,50\n\n[Divers]\n; c\n  a  =  b  \nplain line\n=\n"
                     "[MONTANTS]\n2=3,00\n[HP [A]]]\n[Montants\n"));
        const QString nul(QChar(0));
        QString buffer(2047, u'#');
        QCOMPARE(platform::GetPrivateProfileSection("Divers", buffer.data(), 2047, path()), 17);
        QCOMPARE(buffer.left(18), "a=b" + nul + "plain line" + nul + "=" + nul + nul);
        QCOMPARE(platform::GetPrivateProfileSection("Nulle", buffer.data(), 2047, path()), 0);
        // 22 characters need a buffer of 24: the final NUL and one spare; one short is cut.
        QCOMPARE(platform::GetPrivateProfileSection("Montants", buffer.data(), 24, path()), 22);
        QCOMPARE(buffer.left(23), "0=20,00" + nul + "1=1,50" + nul + "2=3,00" + nul + nul);
        QCOMPARE(platform::GetPrivateProfileSection("Montants", buffer.data(), 23, path()), 21);
        QCOMPARE(buffer.mid(21, 2), nul + nul);
        QCOMPARE(platform::GetPrivateProfileSectionNames(buffer.data(), 2047, path()), 24);
        QCOMPARE(buffer.left(25), "Montants" + nul + "Divers" + nul + "HP [A]]" + nul + nul);

        // A section written whole keeps its comments; a line that would read as a header is refused.
        put(iniBytes("[D]\n; c\nA=1\n[I]\n"));
        QVERIFY(!platform::WritePrivateProfileSection("D", "B=2" + nul + "[I]" + nul + nul, path()));
        QVERIFY(platform::WritePrivateProfileSection("D", "B=2" + nul + "C=3" + nul + nul + "X=1" + nul, path()));
        QCOMPARE(readAll(path()), iniBytes("[D]\n; c\nB=2\nC=3\n[I]\n"));
    }

    void write_data()
    {
        QTest::addColumn<QByteArray>("before"); // null: no file
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after"); // null: no file

        const QString text = "; c\n[M]\n0=1\n\n[Défaut]\n; c\nFONT = Arial\nPlain\nDup=1\nDup=2\n\n[I]\nX=Y\n";
        const QByteArray file = iniBytes(text);
        auto row = [&](const char *name, const QByteArray &before, const QString &section, const QString &key,
                       const QString &value, const QString &after) {
            QTest::newRow(name) << before << section << key << value
                                << (after.isNull() ? QByteArray() : iniBytes(after));
        };
        row("creates file", {}, "Défaut", "Font", "Arial", "[Défaut]\nFont=Arial\n");
        row("replaces value, keeps the rest", file, "défaut", "font", "Times",
            QString(text).replace("FONT = Arial", "FONT=Times"));
        row("new key after the section's last line", file, "M", "1", "2", QString(text).replace("0=1\n", "0=1\n1=2\n"));
        row("new section at the end", file, "HP [2]] x", "PaperBin", "7", text + "[HP [2]] x]\nPaperBin=7\n");
        row("duplicate keys: first set, later dropped", file, "Défaut", "Dup", "3",
            QString(text).replace("Dup=1\nDup=2", "Dup=3"));
        row("line breaks in a value stay on its line", file, "M", "0", "1\r\n[Défaut]\nFont=X",
            QString(text).replace("0=1\n", "0=1  [Défaut] Font=X\n"));
        row("delete key removes every copy", file, "DÉFAUT", "dup", {}, QString(text).remove("Dup=1\nDup=2\n"));
        row("delete section", file, "défaut", {}, {}, "; c\n[M]\n0=1\n\n[I]\nX=Y\n");
        row("lone CR: one key deleted", "[A]\ra=1\rb=2\r", "A", "a", {}, "[A]\nb=2\n");
        row("delete on missing file creates none", {}, "A", {}, {}, {});
        // A key that would read back as something else is refused; the file stays.
        row("key as a header", file, "M", "[Montants]", "1", text);
        row("key holding =", file, "M", "a=b", "1", text);
        QTest::newRow("after a BOM, Windows-1252 lines become UTF-8")
            << QByteArray("\xEF\xBB\xBF[A]\r\nk=\xE9t\xE9\r\nu=\xC5\x81\r\n") << "A" << "x" << "1"
            << QByteArray("\xEF\xBB\xBF[A]\r\nk=\xC3\xA9t\xC3\xA9\r\nu=\xC5\x81\r\nx=1\r\n");
        QTest::newRow("Windows-1252 bytes that would read as UTF-8")
            << QByteArray() << "S" << "k" << "Ã©" << QByteArray("\xEF\xBB\xBF[S]\r\nk=\xC3\x83\xC2\xA9\r\n");
    }

    void write()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        put(before);
        auto given = [](const QString &s) { return s.isNull() ? std::nullopt : std::optional(s); };
        QCOMPARE(platform::WritePrivateProfileString(section, given(key), given(value), path()),
                 after != before || before.isNull());
        QCOMPARE(readAll(path()), after);
        QCOMPARE(QFile::exists(path()), !after.isNull());
    }
};

QTEST_GUILESS_MAIN(TestProfile)
#include "test_profile.moc"
