// The private-profile functions: buffer results, file format, encodings, rewrites.

#include "platform/Profile.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using testsupport::readAll;
using testsupport::writeAll;

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

// Test texts are written in UTF-8 source; the files hold Windows-1252.
QByteArray cp1252(const QString &text)
{
    const auto bytes = platform::windows1252::encode(text);
    if (!bytes)
        qFatal("test text not in Windows-1252");
    return *bytes;
}

// Entries as a listing gives them: each followed by a NUL.
QString listing(const QStringList &entries)
{
    QString text;
    for (const QString &e : entries)
        text += e + QChar(0);
    return text;
}

enum class Op { Set, DeleteKey, DeleteSection, Flush, WriteSection };

} // namespace

class TestProfile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path() const { return m_dir.filePath(QStringLiteral("Tolvo.ini")); }
    void put(const QByteArray &bytes)
    {
        QFile::remove(path());
        if (!bytes.isNull())
            QVERIFY(writeAll(path(), bytes));
    }

private slots:
    void codePage();
    void getString_data();
    void getString();
    void getSection_data();
    void getSection();
    void sectionNames_data();
    void sectionNames();
    void write_data();
    void write();
    void encoding_data();
    void encoding();
    void readsFileEncodings_data();
    void readsFileEncodings();
    void writeFailure();
};

// Every byte decodes to a character that encodes back to it.
void TestProfile::codePage()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = platform::windows1252::decode(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(text[0x80], QChar(0x20AC));
    QCOMPARE(text[0x9C], QChar(0x0153)); // œ
    QCOMPARE(text[0xE9], QChar(0x00E9)); // é
    QCOMPARE(platform::windows1252::encode(text), std::optional<QByteArray>(all));
    QVERIFY(!platform::windows1252::encode(QStringLiteral("Łódź")));
    QVERIFY(!platform::windows1252::encode(QString(QChar(0x80)))); // C1 control without a byte
}

void TestProfile::getString_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("defaultValue");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("text");

    const QString file =
        QStringLiteral("; réglages\r\nFont=preamble\r\n[Défaut]\r\nFont=Arial\r\nMontant=\r\n"
                       "  Imprimante  =  HP LaserJet  \r\nQ1=\"Arial Black\"\r\nQ2='x'\r\n"
                       "Q3=\"x\r\nQ4=\"\r\nQ5=\"\"\r\nEq=a=b\r\nPlain\r\n;Encadrement=Oui\r\n"
                       "Dup=first\r\nDup=second\r\n[Autre]\r\nK=v\r\n[défaut]\r\nLate=yes\r\n");
    auto row = [&](const char *name, const QString &section, const QString &key, const QString &def, int size,
                   int count, const QString &text) {
        QTest::newRow(name) << file << section << key << def << size << count << text;
    };
    row("value", "Défaut", "Font", "", 255, 5, "Arial");
    row("names ignore case", "DÉFAUT", "font", "", 255, 5, "Arial");
    row("spaces around key and value", "Défaut", "Imprimante", "", 255, 11, "HP LaserJet");
    row("double quotes", "Défaut", "Q1", "", 255, 11, "Arial Black");
    row("single quotes", "Défaut", "Q2", "", 255, 1, "x");
    row("unmatched quote kept", "Défaut", "Q3", "", 255, 2, "\"x");
    row("lone quote kept", "Défaut", "Q4", "", 255, 1, "\"");
    row("empty quotes", "Défaut", "Q5", "d", 255, 0, "");
    row("value holds =", "Défaut", "Eq", "", 255, 3, "a=b");
    row("first duplicate wins", "Défaut", "Dup", "", 255, 5, "first");
    row("repeated section reads as one", "Défaut", "Late", "", 255, 3, "yes");
    row("empty value gives 0", "Défaut", "Montant", "dflt", 255, 0, "");
    row("absent key gives default", "Défaut", "Absent", "dflt", 255, 4, "dflt");
    row("absent section gives default", "Nulle", "Font", "dflt", 255, 4, "dflt");
    row("line without = is no key", "Défaut", "Plain", "dflt", 255, 4, "dflt");
    row("comment is no key", "Défaut", "Encadrement", "", 255, 0, "");
    row("preamble is no section", "", "Font", "", 255, 0, "");
    row("value cut to size-1", "Défaut", "Font", "", 4, 3, "Ari");
    row("default cut to size-1", "Défaut", "Absent", "abcdef", 3, 2, "ab");
    row("size 1", "Défaut", "Font", "", 1, 0, "");
    row("size 0", "Défaut", "Font", "", 0, 0, "");
    QTest::newRow("missing file") << QString() << "Défaut"
                                  << "Font"
                                  << "dflt" << 255 << 4 << "dflt";
}

void TestProfile::getString()
{
    QFETCH(QString, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, defaultValue);
    QFETCH(int, size);
    QFETCH(int, count);
    QFETCH(QString, text);
    put(content.isNull() ? QByteArray() : cp1252(content));

    QString buffer(size + 1, QChar(u'#')); // one guard character past the size
    const int n = platform::GetPrivateProfileString(section, key, defaultValue, buffer.data(), size, path());
    QCOMPARE(n, count);
    QCOMPARE(buffer.left(n), text);
    if (size > 0)
        QCOMPARE(buffer[n], QChar(0));
    QCOMPARE(buffer[size], QChar(u'#'));
}

void TestProfile::getSection_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("entries");

    const QString file = QStringLiteral("[Montants]\r\n0=20,00\r\n1=1,50\r\n\r\n[Vide]\r\n; rien\r\n\r\n"
                                        "[Divers]\r\n; commentaire\r\n  a  =  b  \r\nplain line\r\n=\r\n"
                                        "a=dup\r\nq=\"x\"\r\n[MONTANTS]\r\n2=3,00\r\n");
    auto row = [&](const char *name, const QString &section, int size, int count,
                   const QStringList &entries) {
        QTest::newRow(name) << file << section << size << count << entries;
    };
    row("entries", "Montants", 2047, 22, {"0=20,00", "1=1,50", "2=3,00"});
    row("comments skipped, other lines kept", "Divers", 2047, 29,
        {"a=b", "plain line", "=", "a=dup", "q=\"x\""});
    row("empty section", "Vide", 2047, 0, {});
    row("absent section", "Nulle", 2047, 0, {});
    // 22 characters need a buffer of 24: the final NUL and one spare.
    row("fits exactly", "Montants", 24, 22, {"0=20,00", "1=1,50", "2=3,00"});
    row("one short", "Montants", 23, 21, {});
    row("much too small", "Montants", 10, 8, {});
    QTest::newRow("missing file") << QString() << "Montants" << 2047 << 0 << QStringList();
}

void TestProfile::getSection()
{
    QFETCH(QString, content);
    QFETCH(QString, section);
    QFETCH(int, size);
    QFETCH(int, count);
    QFETCH(QStringList, entries);
    put(content.isNull() ? QByteArray() : cp1252(content));

    QString buffer(size, QChar(u'#'));
    const int n = platform::GetPrivateProfileSection(section, buffer.data(), size, path());
    QCOMPARE(n, count);
    if (n == size - 2 && entries.isEmpty()) { // cut: ends with two NULs
        QCOMPARE(buffer[size - 2], QChar(0));
        QCOMPARE(buffer[size - 1], QChar(0));
    } else {
        QCOMPARE(buffer.left(n + 1), listing(entries) + QChar(0));
    }
}

void TestProfile::sectionNames_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("in file order, repeats once")
        << "x=1\r\n[Montants]\r\n[ Défaut ]\r\n[montants]\r\n[HP [A]]]\r\n"
        << 2047 << 24 << QStringList{"Montants", "Défaut", "HP [A]]"};
    QTest::newRow("empty name") << "[]\r\n" << 2047 << 1 << QStringList{""};
    QTest::newRow("unterminated bracket") << "[Montants\r\n[A]\r\n" << 2047 << 2 << QStringList{"A"};
    QTest::newRow("none") << "a=1\r\n" << 2047 << 0 << QStringList();
    QTest::newRow("too small") << "[Montants]\r\n[A]\r\n" << 8 << 6 << QStringList();
}

void TestProfile::sectionNames()
{
    QFETCH(QString, content);
    QFETCH(int, size);
    QFETCH(int, count);
    QFETCH(QStringList, names);
    put(cp1252(content));

    QString buffer(size, QChar(u'#'));
    const int n = platform::GetPrivateProfileSectionNames(buffer.data(), size, path());
    QCOMPARE(n, count);
    if (names.isEmpty() && n > 0)
        QCOMPARE(buffer.mid(size - 2), QString(2, QChar(0)));
    else
        QCOMPARE(buffer.left(n + 1), listing(names) + QChar(0));
}

void TestProfile::write_data()
{
    QTest::addColumn<QByteArray>("before"); // null: no file
    QTest::addColumn<Op>("op");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after"); // null: no file

    const QByteArray none;
    const QByteArray file = cp1252(QStringLiteral("; fichier de Tolvo\r\n[Montants]\r\n0=20,00\r\n\r\n"
                                                  "[Défaut]\r\n; police\r\nFONT = Arial\r\nPlain\r\n"
                                                  "Dup=1\r\nDup=2\r\n\r\n[Inconnue]\r\nX=Y\r\n"));
    auto row = [&](const char *name, const QByteArray &before, Op op, const QString &section,
                   const QString &key, const QString &value, const QString &after) {
        QTest::newRow(name) << before << op << section << key << value
                            << (after.isNull() ? QByteArray() : cp1252(after));
    };
    row("creates file", none, Op::Set, "Défaut", "Font", "Arial", "[Défaut]\r\nFont=Arial\r\n");
    row("replaces value, keeps the rest", file, Op::Set, "défaut", "font", "Times",
        "; fichier de Tolvo\r\n[Montants]\r\n0=20,00\r\n\r\n[Défaut]\r\n; police\r\nFONT=Times\r\nPlain\r\n"
        "Dup=1\r\nDup=2\r\n\r\n[Inconnue]\r\nX=Y\r\n");
    row("new key after the section's last line", file, Op::Set, "Montants", "1", "1,50",
        "; fichier de Tolvo\r\n[Montants]\r\n0=20,00\r\n1=1,50\r\n\r\n[Défaut]\r\n; police\r\nFONT = "
        "Arial\r\n"
        "Plain\r\nDup=1\r\nDup=2\r\n\r\n[Inconnue]\r\nX=Y\r\n");
    row("new section at the end", file, Op::Set, "HP", "PaperBin", "7",
        "; fichier de Tolvo\r\n[Montants]\r\n0=20,00\r\n\r\n[Défaut]\r\n; police\r\nFONT = Arial\r\nPlain\r\n"
        "Dup=1\r\nDup=2\r\n\r\n[Inconnue]\r\nX=Y\r\n[HP]\r\nPaperBin=7\r\n");
    row("duplicate keys: first set, later dropped", file, Op::Set, "Défaut", "Dup", "3",
        "; fichier de Tolvo\r\n[Montants]\r\n0=20,00\r\n\r\n[Défaut]\r\n; police\r\nFONT = Arial\r\nPlain\r\n"
        "Dup=3\r\n\r\n[Inconnue]\r\nX=Y\r\n");
    row("value with line breaks stays one line", file, Op::Set, "Montants", "0", "1\r\n[Défaut]\nFont=X",
        "; fichier de Tolvo\r\n[Montants]\r\n0=1  [Défaut] Font=X\r\n\r\n[Défaut]\r\n; police\r\nFONT = "
        "Arial\r\n"
        "Plain\r\nDup=1\r\nDup=2\r\n\r\n[Inconnue]\r\nX=Y\r\n");
    row("value ends at NUL", none, Op::Set, "S", "k", QStringLiteral("ab") + QChar(0) + "cd",
        "[S]\r\nk=ab\r\n");
    row("empty value", none, Op::Set, "S", "k", "", "[S]\r\nk=\r\n");
    row("delete key removes every copy", file, Op::DeleteKey, "DÉFAUT", "dup", {},
        "; fichier de Tolvo\r\n[Montants]\r\n0=20,00\r\n\r\n[Défaut]\r\n; police\r\nFONT = Arial\r\nPlain\r\n"
        "\r\n[Inconnue]\r\nX=Y\r\n");
    row("delete section", file, Op::DeleteSection, "défaut", {}, {},
        "; fichier de Tolvo\r\n[Montants]\r\n0=20,00\r\n\r\n[Inconnue]\r\nX=Y\r\n");
    row("delete repeated section", cp1252("[A]\r\na=1\r\n[B]\r\nb=1\r\n[a]\r\na=2\r\n"), Op::DeleteSection,
        "A", {}, {}, "[B]\r\nb=1\r\n");
    row("delete on missing file creates none", none, Op::DeleteSection, "A", {}, {}, {});
    row("flush changes nothing", cp1252("a=1\n"), Op::Flush, {}, {}, {}, "a=1\n");
    row("write section keeps comments", file, Op::WriteSection, "Défaut", {},
        QStringLiteral("Font=Arial") + QChar(0) + "Encadrement=Oui" + QChar(0) + QChar(0),
        "; fichier de Tolvo\r\n[Montants]\r\n0=20,00\r\n\r\n[Défaut]\r\n; police\r\nFont=Arial\r\n"
        "Encadrement=Oui\r\n\r\n[Inconnue]\r\nX=Y\r\n");
    row("write section stops at two NULs", none, Op::WriteSection, "Montants", {},
        QStringLiteral("0=1,00") + QChar(0) + QChar(0) + "1=2,00" + QChar(0) + QChar(0),
        "[Montants]\r\n0=1,00\r\n");
    row("write empty section", file, Op::WriteSection, "Montants", {}, QString(2, QChar(0)),
        "; fichier de Tolvo\r\n[Montants]\r\n\r\n[Défaut]\r\n; police\r\nFONT = Arial\r\nPlain\r\n"
        "Dup=1\r\nDup=2\r\n\r\n[Inconnue]\r\nX=Y\r\n");
    row("line ends become CRLF", cp1252("[A]\na=1\n"), Op::Set, "A", "b", "2", "[A]\r\na=1\r\nb=2\r\n");
}

void TestProfile::write()
{
    QFETCH(QByteArray, before);
    QFETCH(Op, op);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    put(before);

    bool ok = false;
    switch (op) {
    case Op::Set: ok = platform::WritePrivateProfileString(section, key, value, path()); break;
    case Op::DeleteKey: ok = platform::WritePrivateProfileString(section, key, std::nullopt, path()); break;
    case Op::DeleteSection:
        ok = platform::WritePrivateProfileString(section, std::nullopt, std::nullopt, path());
        break;
    case Op::Flush:
        ok = platform::WritePrivateProfileString(std::nullopt, std::nullopt, std::nullopt, path());
        break;
    case Op::WriteSection: ok = platform::WritePrivateProfileSection(section, value, path()); break;
    }
    QVERIFY(ok);
    QCOMPARE(QFile::exists(path()), !after.isNull());
    QCOMPARE(readAll(path()), after);
    // Nothing but the file is left in the folder (no lock, no temporary file).
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).size(), after.isNull() ? 0 : 1);
}

void TestProfile::encoding_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("utf8");

    QTest::newRow("Windows-1252, euro included") << QStringLiteral("Zoë € œ") << false;
    QTest::newRow("Polish") << QStringLiteral("Łódź") << true;
    QTest::newRow("Japanese") << QStringLiteral("日本") << true;
    QTest::newRow("outside the basic plane") << QStringLiteral("chèque 😀") << true;
}

// A text Windows-1252 cannot hold turns the whole file into UTF-8 with a BOM;
// once it is gone, the file goes back to Windows-1252 for the old program.
void TestProfile::encoding()
{
    QFETCH(QString, value);
    QFETCH(bool, utf8);
    put(cp1252(QStringLiteral("[Bénéficiaires]\r\n0=Société Générale\r\n")));

    QVERIFY(platform::WritePrivateProfileString(QStringLiteral("Défaut"), QStringLiteral("Bénéficiaire"),
                                                value, path()));
    const QString text =
        QStringLiteral("[Bénéficiaires]\r\n0=Société Générale\r\n[Défaut]\r\nBénéficiaire=") + value +
        QStringLiteral("\r\n");
    QCOMPARE(readAll(path()), utf8 ? kBom + text.toUtf8() : cp1252(text));

    QString buffer(255, QChar(0));
    int n = platform::GetPrivateProfileString(QStringLiteral("défaut"), QStringLiteral("bénéficiaire"), {},
                                              buffer.data(), 255, path());
    QCOMPARE(buffer.left(n), value);
    n = platform::GetPrivateProfileString(QStringLiteral("Bénéficiaires"), QStringLiteral("0"), {},
                                          buffer.data(), 255, path());
    QCOMPARE(buffer.left(n), QStringLiteral("Société Générale"));

    QVERIFY(
        platform::WritePrivateProfileString(QStringLiteral("Défaut"), std::nullopt, std::nullopt, path()));
    QCOMPARE(readAll(path()), cp1252(QStringLiteral("[Bénéficiaires]\r\n0=Société Générale\r\n")));
}

void TestProfile::readsFileEncodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("value");

    QTest::newRow("Windows-1252") << QByteArray("[D\xE9"
                                                "faut]\r\nFont=\x80 \x9C\r\n")
                                  << QStringLiteral("€ œ");
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF[D\xC3\xA9"
                                                  "faut]\r\nFont=\xC5\x81\xC3\xB3"
                                                  "d\xC5\xBA\r\n")
                                    << QStringLiteral("Łódź");
    QTest::newRow("UTF-8 without BOM") << QByteArray("[D\xC3\xA9"
                                                     "faut]\nFont=\xE2\x82\xAC\n")
                                       << QStringLiteral("€");
    QTest::newRow("invalid UTF-8 is Windows-1252") << QByteArray("[D\xE9"
                                                                 "faut]\r\nFont=\xC3\xA9\xE9\r\n")
                                                   << QStringLiteral("Ã©é");
}

void TestProfile::readsFileEncodings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, value);
    put(bytes);
    QString buffer(255, QChar(0));
    const int n = platform::GetPrivateProfileString(QStringLiteral("Défaut"), QStringLiteral("Font"), {},
                                                    buffer.data(), 255, path());
    QCOMPARE(buffer.left(n), value);
}

// The path's folder does not exist: the write says so.
void TestProfile::writeFailure()
{
    const QString missing = m_dir.filePath(QStringLiteral("absent/Tolvo.ini"));
    QVERIFY(!platform::WritePrivateProfileString(QStringLiteral("A"), QStringLiteral("k"),
                                                 QStringLiteral("v"), missing));
    QVERIFY(!platform::WritePrivateProfileSection(QStringLiteral("A"), QString(2, QChar(0)), missing));
    QVERIFY(!platform::WritePrivateProfileString(QStringLiteral("A"), QStringLiteral("k"),
                                                 QStringLiteral("v"), QString()));
    QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("absent"))));
}

QTEST_GUILESS_MAIN(TestProfile)
#include "test_profile.moc"
