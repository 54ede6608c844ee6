// The private-profile functions: buffer results, file format, encodings, rewrites.

#include "platform/Profile.h"
#include "support/TestFiles.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using testsupport::iniBytes;
using testsupport::readAll;
using testsupport::writeAll;

namespace {

// Entries as a listing gives them: each followed by a NUL, and one more NUL.
QString listing(const QStringList &entries)
{
    QString text;
    for (const QString &e : entries)
        text += e + QChar(0);
    return text + QChar(0);
}

// A null text stands for an absent argument.
std::optional<QString> given(const QString &text)
{
    return text.isNull() ? std::nullopt : std::optional(text);
}

} // namespace

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
    // Every byte decodes to a character that encodes back to it.
    void codePage()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QString text = platform::windows1252::decode(all);
        QCOMPARE(QString(text[0x80]) + text[0x9C] + text[0xE9], QStringLiteral("€œé"));
        QCOMPARE(platform::windows1252::encode(text), std::optional<QByteArray>(all));
        QVERIFY(!platform::windows1252::encode(QStringLiteral("Łódź")));
        QVERIFY(!platform::windows1252::encode(QString(QChar(0x80)))); // C1 control without a byte
    }

    void getString_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("defaultValue");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("text");

        const QByteArray file = iniBytes("; réglages\nFont=preamble\n[Défaut]\nFont=Arial\n"
                                         "  Imprimante  =  HP LaserJet  \nQ1=\"Arial Black\"\nQ2='x'\n"
                                         "Q3=\"x\nQ5=\"\"\nEq=a=b\nPlain\n;Encadrement=Oui\n"
                                         "Dup=first\nDup=second\n[Autre]\nK=v\n[défaut]\nLate=yes\n");
        auto row = [&](const char *name, const QString &section, const QString &key, const QString &def,
                       int size, int count, const QString &text, const QByteArray &content) {
            QTest::newRow(name) << content << section << key << def << size << count << text;
        };
        row("names ignore case", "DÉFAUT", "font", "", 255, 5, "Arial", file);
        row("spaces around key and value", "Défaut", "Imprimante", "", 255, 11, "HP LaserJet", file);
        row("double quotes", "Défaut", "Q1", "", 255, 11, "Arial Black", file);
        row("single quotes", "Défaut", "Q2", "", 255, 1, "x", file);
        row("unmatched quote kept", "Défaut", "Q3", "", 255, 2, "\"x", file);
        row("empty quotes", "Défaut", "Q5", "d", 255, 0, "", file);
        row("value holds =", "Défaut", "Eq", "", 255, 3, "a=b", file);
        row("first duplicate wins", "Défaut", "Dup", "", 255, 5, "first", file);
        row("repeated section reads as one", "Défaut", "Late", "", 255, 3, "yes", file);
        row("line without = is no key", "Défaut", "Plain", "dflt", 255, 4, "dflt", file);
        row("comment is no key", "Défaut", "Encadrement", "", 255, 0, "", file);
        row("preamble is no section", "", "Font", "", 255, 0, "", file);
        row("default cut to size-1", "Défaut", "Absent", "abcdef", 3, 2, "ab", file);
        row("size 1", "Défaut", "Font", "", 1, 0, "", file);
        row("size 0", "Défaut", "Font", "", 0, 0, "", file);
        // The file's encoding.
        row("Windows-1252", "Défaut", "Font", "", 255, 3, "€ œ",
            "[D\xE9"
            "faut]\r\nFont=\x80 \x9C\r\n");
        row("UTF-8 with BOM", "Défaut", "Font", "", 255, 4, "Łódź",
            "\xEF\xBB\xBF[D\xC3\xA9"
            "faut]\nFont=\xC5\x81\xC3\xB3"
            "d\xC5\xBA\n");
        row("UTF-8 without BOM", "Défaut", "Font", "", 255, 1, "€",
            "[D\xC3\xA9"
            "faut]\nFont=\xE2\x82\xAC\n");
        row("invalid UTF-8 is Windows-1252", "Défaut", "Font", "", 255, 3, "Ã©é",
            "[D\xE9"
            "faut]\nFont=\xC3\xA9\xE9\n");
        row("after a BOM, a Windows-1252 line", "Défaut", "Font", "", 255, 3, "été",
            "\xEF\xBB\xBF[D\xC3\xA9"
            "faut]\r\nFont=\xE9t\xE9\r\n");
        row("lone CR ends a line", "A", "b", "", 255, 1, "2", "[A]\ra=1\rb=2\r");
    }

    void getString()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, defaultValue);
        QFETCH(int, size);
        QFETCH(int, count);
        QFETCH(QString, text);
        put(content);

        QString buffer(size + 1, QChar(u'#')); // one guard character past the size
        const int n =
            platform::GetPrivateProfileString(section, key, defaultValue, buffer.data(), size, path());
        QCOMPARE(n, count);
        QCOMPARE(buffer.left(n), text);
        if (size > 0)
            QCOMPARE(buffer[n], QChar(0));
        QCOMPARE(buffer[size], QChar(u'#'));
    }

    void listings_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("section"); // null: the section names
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("entries"); // empty with a count: cut

        const QString file = QStringLiteral("[Montants]\n0=20,00\n1=1,50\n\n[Vide]\n; rien\n\n"
                                            "[Divers]\n; commentaire\n  a  =  b  \nplain line\n=\n"
                                            "a=dup\nq=\"x\"\n[MONTANTS]\n2=3,00\n");
        auto row = [&](const char *name, const QString &section, int size, int count,
                       const QStringList &entries) {
            QTest::newRow(name) << file << section << size << count << entries;
        };
        row("comments skipped, other lines kept", "Divers", 2047, 29,
            {"a=b", "plain line", "=", "a=dup", "q=\"x\""});
        row("absent section", "Nulle", 2047, 0, {});
        // 22 characters need a buffer of 24: the final NUL and one spare.
        row("fits exactly", "Montants", 24, 22, {"0=20,00", "1=1,50", "2=3,00"});
        row("one short", "Montants", 23, 21, {});

        auto names = [](const char *name, const QString &content, int size, int count,
                        const QStringList &list) {
            QTest::newRow(name) << content << QString() << size << count << list;
        };
        names("names in file order, repeats once", "x=1\n[Montants]\n[ Défaut ]\n[montants]\n[HP [A]]]\n",
              2047, 24, {"Montants", "Défaut", "HP [A]]"});
        names("empty name", "[]\n", 2047, 1, {""});
        names("unterminated bracket", "[Montants\n[A]\n", 2047, 2, {"A"});
        names("no names", "a=1\n", 2047, 0, {});
        names("one-letter name last", "[Montants]\n[P]\n", 2047, 11, {"Montants", "P"});
        names("names too small", "[Montants]\n[A]\n", 8, 6, {});
    }

    void listings()
    {
        QFETCH(QString, content);
        QFETCH(QString, section);
        QFETCH(int, size);
        QFETCH(int, count);
        QFETCH(QStringList, entries);
        put(iniBytes(content));

        QString buffer(size, QChar(u'#'));
        const int n = section.isNull()
                          ? platform::GetPrivateProfileSectionNames(buffer.data(), size, path())
                          : platform::GetPrivateProfileSection(section, buffer.data(), size, path());
        QCOMPARE(n, count);
        if (n > 0 && entries.isEmpty()) // cut: ends with two NULs
            QCOMPARE(buffer.mid(size - 2), QString(2, QChar(0)));
        else
            QCOMPARE(buffer.left(n + 1), listing(entries));
    }

    void write_data()
    {
        QTest::addColumn<QByteArray>("before"); // null: no file
        QTest::addColumn<bool>("wholeSection"); // WritePrivateProfileSection, else ...String
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after"); // null: no file
        QTest::addColumn<bool>("written");

        const QByteArray none;
        const QByteArray file =
            iniBytes("; c\n[M]\n0=1\n\n[Défaut]\n; c\nFONT = Arial\nPlain\nDup=1\nDup=2\n\n[I]\nX=Y\n");
        auto row = [&](const char *name, const QByteArray &before, const QString &section, const QString &key,
                       const QString &value, const QString &after) {
            QTest::newRow(name) << before << false << section << key << value
                                << (after.isNull() ? QByteArray() : iniBytes(after)) << true;
        };
        // A name that would read back as something else is refused; the file stays.
        auto refused = [&](const char *name, bool wholeSection, const QString &section, const QString &key,
                           const QString &value) {
            QTest::newRow(name) << file << wholeSection << section << key << value << file << false;
        };
        row("creates file", none, "Défaut", "Font", "Arial", "[Défaut]\nFont=Arial\n");
        row("replaces value, keeps the rest", file, "défaut", "font", "Times",
            "; c\n[M]\n0=1\n\n[Défaut]\n; c\nFONT=Times\nPlain\nDup=1\nDup=2\n\n[I]\nX=Y\n");
        row("new key after the section's last line", file, "M", "1", "2",
            "; c\n[M]\n0=1\n1=2\n\n[Défaut]\n; c\nFONT = Arial\nPlain\nDup=1\nDup=2\n\n[I]\nX=Y\n");
        row("new section at the end", file, "HP", "PaperBin", "7",
            "; c\n[M]\n0=1\n\n[Défaut]\n; c\nFONT = "
            "Arial\nPlain\nDup=1\nDup=2\n\n[I]\nX=Y\n[HP]\nPaperBin=7\n");
        row("duplicate keys: first set, later dropped", file, "Défaut", "Dup", "3",
            "; c\n[M]\n0=1\n\n[Défaut]\n; c\nFONT = Arial\nPlain\nDup=3\n\n[I]\nX=Y\n");
        row("value with line breaks stays one line", file, "M", "0", "1\r\n[Défaut]\nFont=X",
            "; c\n[M]\n0=1  [Défaut] Font=X\n\n[Défaut]\n; c\nFONT = "
            "Arial\nPlain\nDup=1\nDup=2\n\n[I]\nX=Y\n");
        row("value ends at NUL", none, "S", "k", QStringLiteral("ab") + QChar(0) + "cd", "[S]\nk=ab\n");
        row("empty value", none, "S", "k", "", "[S]\nk=\n");
        row("line ends become CRLF", "[A]\na=1\n", "A", "b", "2", "[A]\na=1\nb=2\n");
        row("delete key removes every copy", file, "DÉFAUT", "dup", {},
            "; c\n[M]\n0=1\n\n[Défaut]\n; c\nFONT = Arial\nPlain\n\n[I]\nX=Y\n");
        row("delete section", file, "défaut", {}, {}, "; c\n[M]\n0=1\n\n[I]\nX=Y\n");
        row("delete repeated section", "[A]\na=1\n[B]\nb=1\n[a]\na=2\n", "A", {}, {}, "[B]\nb=1\n");
        row("delete on missing file creates none", none, "A", {}, {}, {});
        QTest::newRow("flush changes nothing") << QByteArray("a=1\n") << false << QString() << QString()
                                               << QString() << QByteArray("a=1\n") << true;
        QTest::newRow("write section keeps comments")
            << file << true << "Défaut" << QString()
            << QStringLiteral("Font=Arial") + QChar(0) + "Encadrement=Oui" + QChar(0) + QChar(0)
            << iniBytes("; c\n[M]\n0=1\n\n[Défaut]\n; c\nFont=Arial\nEncadrement=Oui\n\n[I]\nX=Y\n") << true;
        QTest::newRow("write section stops at two NULs")
            << none << true << "M" << QString()
            << QStringLiteral("0=1") + QChar(0) + QChar(0) + "1=2" + QChar(0) + QChar(0)
            << iniBytes("[M]\n0=1\n") << true;

        row("lone CR: one key deleted", "[A]\ra=1\rb=2\r", "A", "a", {}, "[A]\nb=2\n");
        row("printer name holding ]", none, "HP [2]] x", "PaperBin", "4", "[HP [2]] x]\nPaperBin=4\n");
        QTest::newRow("BOM file with Windows-1252 lines: letters kept")
            << QByteArray("\xEF\xBB\xBF[A]\r\nk=\xE9t\xE9\r\nu=\xC5\x81\r\n") << false << "A"
            << "x"
            << "1" << QByteArray("\xEF\xBB\xBF[A]\r\nk=\xC3\xA9t\xC3\xA9\r\nu=\xC5\x81\r\nx=1\r\n") << true;
        QTest::newRow("Windows-1252 bytes that read as UTF-8")
            << none << false << "S"
            << "k"
            << "Ã©" << QByteArray("\xEF\xBB\xBF[S]\r\nk=\xC3\x83\xC2\xA9\r\n") << true;
        refused("key as a header", false, "M", "[Montants]", "1");
        refused("key holding =", false, "M", "a=b", "1");
        refused("key as a comment", false, "M", ";x", "1");
        refused("key and value forming a header", false, "M", "[x", "]");
        refused("section line as a header", true, "M", {},
                QStringLiteral("0=1") + QChar(0) + "[I]" + QChar(0));
    }

    void write()
    {
        QFETCH(QByteArray, before);
        QFETCH(bool, wholeSection);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        QFETCH(bool, written);
        put(before);

        QCOMPARE(wholeSection
                     ? platform::WritePrivateProfileSection(section, value, path())
                     : platform::WritePrivateProfileString(given(section), given(key), given(value), path()),
                 written);
        QCOMPARE(QFile::exists(path()), !after.isNull());
        QCOMPARE(readAll(path()), after);
        // What was written reads back as it was given.
        if (written && !wholeSection && !key.isNull() && !value.isNull() &&
            value == value.trimmed().remove(QRegularExpression("[\\r\\n\\x00]"))) {
            QString buffer(256, QChar(0));
            const int n = platform::GetPrivateProfileString(section, key, "?", buffer.data(), 256, path());
            QCOMPARE(buffer.left(n), value);
        }
    }
};

QTEST_GUILESS_MAIN(TestProfile)
#include "test_profile.moc"
