// The settings-file object: values, listings with their buffer rules, sections,
// and failed writes told to the user.

#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "settings/CINIFile.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QtTest>

using testsupport::readAll;
using testsupport::writeAll;

namespace {

QByteArray cp1252(const QString &text)
{
    const auto bytes = platform::windows1252::encode(text);
    if (!bytes)
        qFatal("test text not in Windows-1252");
    return *bytes;
}

enum class Member { Keys, Values, Sections, Pairs, KeysAndValues };

// Calls one listing on a list that already holds `before`; pairs come back as "key|value".
qint16 callListing(CINIFile &ini, Member member, const QStringList &before, QStringList &result)
{
    result = before;
    switch (member) {
    case Member::Keys: return ini.enumSectionKeys(result);
    case Member::Values: return ini.enumSectionValues(result);
    case Member::Sections: return ini.enumSections(result);
    case Member::KeysAndValues: return ini.enumSectionKeysAndValues(result);
    case Member::Pairs: break;
    }
    QList<QStringList> pairs{before, before};
    const qint16 count = ini.enumSectionValuePairs(pairs);
    result.clear();
    if (pairs.size() != 2 || pairs[0].size() != pairs[1].size())
        return -1;
    for (qsizetype i = 0; i < pairs[0].size(); ++i)
        result.append(pairs[0][i] + u'|' + pairs[1][i]);
    return count;
}

// Lines "[S]", then "<i>=xxx..." (or "[<i>xxx...]" for section names) whose
// listing text, NULs included, is exactly `size` characters; their number goes to
// `count`.
QString fileOfListingSize(int size, bool names, int &count)
{
    QString text = names ? QString() : QStringLiteral("[S]\r\n");
    count = 0;
    for (int remaining = size; remaining > 0; ++count) {
        const int length = remaining > 1100 ? 1000 : remaining; // NUL included
        const QString start = QString::number(count) + (names ? QString() : QStringLiteral("="));
        const QString item = start + QString(length - 1 - start.size(), u'x');
        text += (names ? u'[' + item + u']' : item) + QStringLiteral("\r\n");
        remaining -= length;
    }
    return text;
}

} // namespace

class TestCINIFile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path() const { return m_dir.filePath(QStringLiteral("Tolvo.ini")); }
    void put(const QString &content)
    {
        QFile::remove(path());
        if (!content.isNull())
            QVERIFY(writeAll(path(), cp1252(content)));
    }
    QString fileText() const { return platform::windows1252::decode(readAll(path())); }

private slots:
    void getValue_data();
    void getValue();
    void setValue_data();
    void setValue();
    void deleteKey();
    void listings_data();
    void listings();
    void listingsKeepCallerList_data();
    void listingsKeepCallerList();
    void listingSizeLimit_data();
    void listingSizeLimit();
    void deleteSection_data();
    void deleteSection();
    void setFileForgetsSection();
    void addSection_data();
    void addSection();
    void writeSection_data();
    void writeSection();
    void flush();
    void failedWriteToldOncePerObject();
};

void TestCINIFile::getValue_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("defaultValue");
    QTest::addColumn<QString>("result");
    QTest::addColumn<bool>("failed");
    QTest::addColumn<QString>("value"); // what Value gives

    const QString longText = QString(200, u'a') + QString(100, u'b');
    QTest::newRow("value") << "Font"
                           << "Arial"
                           << "Times" << false << "Times";
    QTest::newRow("longer than 254 is cut") << "Long"
                                            << "" << longText.left(254) << false << longText.left(254);
    QTest::newRow("empty value reads as absent") << "Vide"
                                                 << "dflt"
                                                 << "dflt" << true << "";
    QTest::newRow("absent with a default") << "Absent"
                                           << "dflt"
                                           << "dflt" << false << "";
    QTest::newRow("absent without default") << "Absent"
                                            << ""
                                            << "" << true << "";
    QTest::newRow("long default is cut") << "Absent" << longText << longText.left(254) << false << "";
}

void TestCINIFile::getValue()
{
    QFETCH(QString, key);
    QFETCH(QString, defaultValue);
    QFETCH(QString, result);
    QFETCH(bool, failed);
    QFETCH(QString, value);
    put(QStringLiteral("[Défaut]\r\nFont=Times\r\nVide=\r\nLong=") + QString(200, u'a') + QString(100, u'b') +
        QStringLiteral("\r\n"));

    CINIFile ini;
    ini.setFile(path());
    ini.setSection(QStringLiteral("Défaut"));
    bool isFailed = !failed; // must be assigned either way
    QCOMPARE(ini.getValue(key, defaultValue, &isFailed), result);
    QCOMPARE(isFailed, failed);
    QCOMPARE(ini.Value(key), value);
    QVERIFY(!ini.writeFailed());
}

void TestCINIFile::setValue_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("line");

    QTest::newRow("text") << QVariant(QStringLiteral("Oui")) << "Encadrement=Oui";
    QTest::newRow("negative number") << QVariant(-3) << "Encadrement=-3";
    QTest::newRow("largest 16-bit") << QVariant(32767) << "Encadrement=32767";
    QTest::newRow("empty text keeps the key") << QVariant(QString()) << "Encadrement=";
}

void TestCINIFile::setValue()
{
    QFETCH(QVariant, value);
    QFETCH(QString, line);
    put(QStringLiteral("[Défaut]\r\nEncadrement=Non\r\nFont=Arial\r\n"));

    CINIFile ini;
    ini.setFile(path());
    ini.setSection(QStringLiteral("Défaut"));
    if (value.metaType().id() == QMetaType::Int)
        ini.setValue(QStringLiteral("Encadrement"), value.toInt());
    else
        ini.setValue(QStringLiteral("Encadrement"), value.toString());
    QCOMPARE(fileText(), QStringLiteral("[Défaut]\r\n") + line + QStringLiteral("\r\nFont=Arial\r\n"));
    QVERIFY(!ini.writeFailed());
}

void TestCINIFile::deleteKey()
{
    put(QStringLiteral("[Défaut]\r\nEncadrement=Non\r\nFont=Arial\r\n"));
    CINIFile ini;
    ini.setFile(path());
    ini.setSection(QStringLiteral("Défaut"));
    ini.deleteKey(QStringLiteral("Encadrement"));
    ini.deleteKey(QStringLiteral("Absent"));
    QCOMPARE(fileText(), QStringLiteral("[Défaut]\r\nFont=Arial\r\n"));
    QCOMPARE(ini.Section(), QStringLiteral("Défaut"));
}

void TestCINIFile::listings_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<Member>("member");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("list");

    const QString list = QStringLiteral("[S]\r\n0=20,00\r\n1=1,50\r\nplain\r\n1=dup\r\n2=3,00\r\n");
    QTest::newRow("keys") << list << Member::Keys << 5 << QStringList{"0", "1", "", "1", "2"};
    QTest::newRow("values") << list << Member::Values << 5 << QStringList{"20,00", "1,50", "", "dup", "3,00"};
    QTest::newRow("pairs") << list << Member::Pairs << 5
                           << QStringList{"0|20,00", "1|1,50", "|", "1|dup", "2|3,00"};
    QTest::newRow("keys and values") << list << Member::KeysAndValues << 5
                                     << QStringList{"0=20,00", "1=1,50", "plain", "1=dup", "2=3,00"};

    // The loop stops when 3 characters or fewer remain.
    const QString emptyLast = QStringLiteral("[S]\r\n0=a\r\n1=\r\n");
    QTest::newRow("keys: 2-char last entry listed")
        << emptyLast << Member::Keys << 2 << QStringList{"0", "1"};
    QTest::newRow("values: 2-char last entry dropped")
        << emptyLast << Member::Values << 1 << QStringList{"a"};
    QTest::newRow("pairs: 2-char last entry dropped")
        << emptyLast << Member::Pairs << 1 << QStringList{"0|a"};
    QTest::newRow("keys and values: 2-char last entry dropped")
        << emptyLast << Member::KeysAndValues << 1 << QStringList{"0=a"};
    QTest::newRow("values: 3-char last entry listed")
        << QStringLiteral("[S]\r\n0=a\r\n1=x\r\n") << Member::Values << 2 << QStringList{"a", "x"};
    QTest::newRow("keys: 1-char last entry dropped")
        << QStringLiteral("[S]\r\n0=a\r\nb\r\n") << Member::Keys << 1 << QStringList{"0"};
    QTest::newRow("keys: single 1-char entry")
        << QStringLiteral("[S]\r\nb\r\n") << Member::Keys << 1 << QStringList{""};

    QTest::newRow("sections") << QStringLiteral("[Montants]\r\n[Défaut]\r\n") << Member::Sections << 2
                              << QStringList{"Montants", "Défaut"};
    QTest::newRow("sections: 1-char last name dropped")
        << QStringLiteral("[Montants]\r\n[B]\r\n") << Member::Sections << 1 << QStringList{"Montants"};
    QTest::newRow("sections: 1-char first name listed")
        << QStringLiteral("[B]\r\n[Montants]\r\n") << Member::Sections << 2 << QStringList{"B", "Montants"};
    QTest::newRow("sections: only an empty name")
        << QStringLiteral("[]\r\n") << Member::Sections << 0 << QStringList{"avant"};
}

void TestCINIFile::listings()
{
    QFETCH(QString, content);
    QFETCH(Member, member);
    QFETCH(int, count);
    QFETCH(QStringList, list);
    put(content);

    CINIFile ini;
    ini.setFile(path());
    ini.setSection(QStringLiteral("S"));
    QStringList result;
    QCOMPARE(int(callListing(ini, member, {QStringLiteral("avant")}, result)), count);
    QCOMPARE(result, list);
}

void TestCINIFile::listingsKeepCallerList_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<Member>("member");

    const QList<std::pair<const char *, Member>> members{{"keys", Member::Keys},
                                                         {"values", Member::Values},
                                                         {"pairs", Member::Pairs},
                                                         {"keys and values", Member::KeysAndValues}};
    for (const auto &[name, member] : members) {
        QTest::addRow("%s, empty section", name)
            << QStringLiteral("[S]\r\n; rien\r\n[T]\r\na=1\r\n") << member;
        QTest::addRow("%s, absent section", name) << QStringLiteral("[T]\r\na=1\r\n") << member;
        QTest::addRow("%s, no file", name) << QString() << member;
    }
    QTest::newRow("sections, no section") << QStringLiteral("a=1\r\n") << Member::Sections;
    QTest::newRow("sections, no file") << QString() << Member::Sections;
}

void TestCINIFile::listingsKeepCallerList()
{
    QFETCH(QString, content);
    QFETCH(Member, member);
    put(content);

    CINIFile ini;
    ini.setFile(path());
    ini.setSection(QStringLiteral("S"));
    QStringList result;
    QCOMPARE(int(callListing(ini, member, {QStringLiteral("avant")}, result)), 0);
    QCOMPARE(result, member == Member::Pairs ? QStringList{"avant|avant"} : QStringList{"avant"});
}

void TestCINIFile::listingSizeLimit_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("listed");

    QTest::newRow("2045: cut at 2047, fits at 4095") << 2045 << true;
    QTest::newRow("8190") << 8190 << true;
    QTest::newRow("16380: the largest") << 16380 << true;
    QTest::newRow("16381") << 16381 << false;
    QTest::newRow("16382") << 16382 << false;
    QTest::newRow("20000") << 20000 << false;
}

void TestCINIFile::listingSizeLimit()
{
    QFETCH(int, size);
    QFETCH(bool, listed);
    int entries = 0;
    put(fileOfListingSize(size, false, entries));

    CINIFile ini;
    ini.setFile(path());
    ini.setSection(QStringLiteral("S"));
    for (Member member : {Member::Values, Member::KeysAndValues, Member::Keys}) {
        QStringList result;
        const qint16 count = callListing(ini, member, {QStringLiteral("avant")}, result);
        QCOMPARE(int(count), listed ? entries : 0);
        QCOMPARE(result.size(), listed ? entries : 1);
    }

    // The same limit for the names of the sections.
    put(fileOfListingSize(size, true, entries));
    QStringList names{QStringLiteral("avant")};
    QCOMPARE(int(ini.enumSections(names)), listed ? entries : 0);
    QCOMPARE(names.size(), listed ? entries : 1);
}

void TestCINIFile::deleteSection_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("sectionAfter");
    QTest::addColumn<QString>("fileAfter");

    QTest::newRow("current") << "Défaut"
                             << ""
                             << "[Montants]\r\n0=1,00\r\n";
    QTest::newRow("another") << "Montants"
                             << "Défaut"
                             << "[Défaut]\r\nFont=Arial\r\n";
    // The file's names ignore case; the current section is compared exactly.
    QTest::newRow("current, other case") << "DÉFAUT"
                                         << "Défaut"
                                         << "[Montants]\r\n0=1,00\r\n";
    QTest::newRow("absent") << "Nulle"
                            << "Défaut"
                            << "[Montants]\r\n0=1,00\r\n[Défaut]\r\nFont=Arial\r\n";
}

void TestCINIFile::deleteSection()
{
    QFETCH(QString, name);
    QFETCH(QString, sectionAfter);
    QFETCH(QString, fileAfter);
    put(QStringLiteral("[Montants]\r\n0=1,00\r\n[Défaut]\r\nFont=Arial\r\n"));

    CINIFile ini;
    ini.setFile(path());
    ini.setSection(QStringLiteral("Défaut"));
    ini.deleteSection(name);
    QCOMPARE(ini.Section(), sectionAfter);
    QCOMPARE(fileText(), fileAfter);
    QVERIFY(!ini.writeFailed());
}

void TestCINIFile::setFileForgetsSection()
{
    CINIFile ini;
    ini.setSection(QStringLiteral("Défaut"));
    ini.setFile(path());
    QCOMPARE(ini.File(), path());
    QCOMPARE(ini.Section(), QString());
    ini.setSection(QStringLiteral("Défaut"));
    ini.setFile(path()); // even the same path
    QCOMPARE(ini.Section(), QString());
}

void TestCINIFile::addSection_data()
{
    QTest::addColumn<bool>("setAsCurrent");
    QTest::newRow("kept current") << false;
    QTest::newRow("made current") << true;
}

void TestCINIFile::addSection()
{
    QFETCH(bool, setAsCurrent);
    put(QStringLiteral("[Défaut]\r\nFont=Arial\r\n"));

    CINIFile ini;
    ini.setFile(path());
    ini.setSection(QStringLiteral("Défaut"));
    ini.addSection(QStringLiteral("Bénéficiaires"), setAsCurrent);
    QCOMPARE(fileText(), QStringLiteral("[Défaut]\r\nFont=Arial\r\n[Bénéficiaires]\r\n"));
    QCOMPARE(ini.Section(), setAsCurrent ? QStringLiteral("Bénéficiaires") : QStringLiteral("Défaut"));
    QStringList names;
    QCOMPARE(int(ini.enumSections(names)), 2);
    QCOMPARE(names, (QStringList{"Défaut", "Bénéficiaires"}));
}

void TestCINIFile::writeSection_data()
{
    QTest::addColumn<QVariant>("lines");
    QTest::addColumn<QString>("section"); // the section's text after the call

    const QString unchanged = QStringLiteral("[S]\r\nold=1\r\n");
    QTest::newRow("string list") << QVariant(QStringList{"0=a", "1=b"}) << "[S]\r\n0=a\r\n1=b\r\n";
    QTest::newRow("list of texts") << QVariant(QVariantList{QStringLiteral("0=a")}) << "[S]\r\n0=a\r\n";
    QTest::newRow("empty list") << QVariant(QStringList()) << "[S]\r\n";
    QTest::newRow("single text") << QVariant(QStringLiteral("0=a")) << unchanged;
    QTest::newRow("list holding a number") << QVariant(QVariantList{QStringLiteral("0=a"), 1}) << unchanged;
    QTest::newRow("number") << QVariant(5) << unchanged;
    QTest::newRow("nothing") << QVariant() << unchanged;
}

void TestCINIFile::writeSection()
{
    QFETCH(QVariant, lines);
    QFETCH(QString, section);
    put(QStringLiteral("[S]\r\nold=1\r\n[T]\r\nt=1\r\n"));

    CINIFile ini;
    ini.setFile(path());
    ini.setSection(QStringLiteral("S"));
    ini.writeSection(lines);
    QCOMPARE(fileText(), section + QStringLiteral("[T]\r\nt=1\r\n"));
    QVERIFY(!ini.writeFailed());
}

void TestCINIFile::flush()
{
    put(QStringLiteral("[S]\r\na=1\r\n"));
    CINIFile ini;
    ini.setFile(path());
    ini.flush();
    QVERIFY(!ini.writeFailed());
    QCOMPARE(fileText(), QStringLiteral("[S]\r\na=1\r\n"));
}

// Every write of one object may fail; the user hears of it once, when the object
// (the user action) ends.
void TestCINIFile::failedWriteToldOncePerObject()
{
    const QString missing = m_dir.filePath(QStringLiteral("absent/Tolvo.ini"));
    platform::MessageBoxRecorder boxes;
    {
        CINIFile ini;
        ini.setFile(missing);
        ini.setSection(QStringLiteral("Défaut"));
        ini.setValue(QStringLiteral("Font"), QStringLiteral("Arial"));
        ini.setValue(QStringLiteral("Encadrement"), 1);
        ini.writeSection(QStringList{QStringLiteral("0=1,00")});
        ini.addSection(QStringLiteral("X"));
        QVERIFY(ini.writeFailed());
        ini.setFile(path()); // the message names the file that failed
        ini.setSection(QStringLiteral("Défaut"));
        ini.setValue(QStringLiteral("Font"), QStringLiteral("Arial"));
        QVERIFY(boxes.shown.isEmpty());
    }
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].text,
             QStringLiteral("Impossible d'enregistrer les paramètres dans le fichier\n") + missing);
    QCOMPARE(boxes.shown[0].icon, platform::MsgIcon::Exclamation);
    QCOMPARE(boxes.shown[0].title, QStringLiteral("Tolvo"));

    { // a second action is told again
        CINIFile ini;
        ini.setFile(missing);
        ini.deleteSection(QStringLiteral("Défaut"));
    }
    QCOMPARE(boxes.shown.size(), 2);

    { // reads and successful writes say nothing
        CINIFile ini;
        ini.setFile(missing);
        ini.setSection(QStringLiteral("Défaut"));
        QCOMPARE(ini.Value(QStringLiteral("Font")), QString());
        ini.setFile(path());
        ini.setSection(QStringLiteral("Défaut"));
        ini.setValue(QStringLiteral("Font"), QStringLiteral("Times"));
        QVERIFY(!ini.writeFailed());
    }
    QCOMPARE(boxes.shown.size(), 2);
}

QTEST_MAIN(TestCINIFile)
#include "test_cinifile.moc"
