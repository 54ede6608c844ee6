// The settings-file object: values, edits, listings with their buffer rules, and
// failed writes told to the user.

#include "platform/forms/MessageBox.h"
#include "settings/CINIFile.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QtTest>
#include <functional>

using testsupport::iniBytes;
using testsupport::readAll;
using testsupport::writeAll;

using Edit = std::function<void(CINIFile &)>;
Q_DECLARE_METATYPE(Edit)

namespace {

enum class Member { Keys, Values, Sections, Pairs, KeysAndValues };

// Calls one listing on a list that already holds "avant"; pairs come back as "key|value".
qint16 callListing(CINIFile &ini, Member member, QStringList &result)
{
    result = QStringList{QStringLiteral("avant")};
    switch (member) {
    case Member::Keys: return ini.enumSectionKeys(result);
    case Member::Values: return ini.enumSectionValues(result);
    case Member::Sections: return ini.enumSections(result);
    case Member::KeysAndValues: return ini.enumSectionKeysAndValues(result);
    case Member::Pairs: break;
    }
    QList<QStringList> pairs{result, result};
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
    QString text = names ? QString() : QStringLiteral("[S]\n");
    count = 0;
    for (int remaining = size; remaining > 0; ++count) {
        const int length = remaining > 1100 ? 1000 : remaining; // NUL included
        const QString start = QString::number(count) + (names ? QString() : QStringLiteral("="));
        const QString item = start + QString(length - 1 - start.size(), u'x');
        text += (names ? u'[' + item + u']' : item) + u'\n';
        remaining -= length;
    }
    return text;
}

} // namespace

class TestCINIFile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path() const { return m_dir.filePath(QStringLiteral("Tolvo.ini")); }
    // Writes the file (CRLF, Windows-1252; null: no file) and opens it on `section`.
    void open(CINIFile &ini, const QString &text, const QString &section)
    {
        QFile::remove(path());
        if (!text.isNull())
            QVERIFY(writeAll(path(), iniBytes(text)));
        ini.setFile(path());
        ini.setSection(section);
    }

private slots:
    void getValue_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("defaultValue");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("failed");
        QTest::addColumn<QString>("value"); // what Value gives

        auto row = [](const char *name, const QString &key, const QString &defaultValue,
                      const QString &result, bool failed, const QString &value) {
            QTest::newRow(name) << key << defaultValue << result << failed << value;
        };
        const QString cut = QString(200, u'a') + QString(54, u'b');
        row("value", "Font", "Arial", "Times", false, "Times");
        row("longer than 254 is cut", "Long", "", cut, false, cut);
        row("empty value reads as absent", "Vide", "dflt", "dflt", true, "");
        row("absent with a default", "Absent", "dflt", "dflt", false, "");
        row("absent without default", "Absent", "", "", true, "");
        row("long default is cut", "Absent", QString(300, u'd'), QString(254, u'd'), false, "");
    }

    void getValue()
    {
        QFETCH(QString, key);
        QFETCH(QString, defaultValue);
        QFETCH(QString, result);
        QFETCH(bool, failed);
        QFETCH(QString, value);
        CINIFile ini;
        open(ini, "[Défaut]\nFont=Times\nVide=\nLong=" + QString(200, u'a') + QString(100, u'b') + u'\n',
             QStringLiteral("Défaut"));

        bool isFailed = !failed; // must be assigned either way
        QCOMPARE(ini.getValue(key, defaultValue, &isFailed), result);
        QCOMPARE(isFailed, failed);
        QCOMPARE(ini.Value(key), value);
        QVERIFY(!ini.writeFailed());
    }

    void edits_data()
    {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QString>("fileAfter");
        QTest::addColumn<QString>("sectionAfter");

        auto row = [](const char *name, const QString &file, const Edit &edit) {
            QTest::newRow(name) << edit << file << QStringLiteral("Défaut");
        };
        auto deleteSection = [](const char *name) -> Edit {
            return [=](CINIFile &ini) { ini.deleteSection(name); };
        };
        auto writeSection = [](const QVariant &lines) -> Edit {
            return [=](CINIFile &ini) { ini.writeSection(lines); };
        };
        const QString unchanged = QStringLiteral("[M]\n0=1\n[Défaut]\nFont=Arial\n");

        row("setValue text", "[M]\n0=1\n[Défaut]\nFont=Times\n",
            [](CINIFile &ini) { ini.setValue("Font", "Times"); });
        row("setValue number", "[M]\n0=1\n[Défaut]\nFont=Arial\nEncadrement=-3\n",
            [](CINIFile &ini) { ini.setValue("Encadrement", -3); });
        row("setValue empty text keeps the key", "[M]\n0=1\n[Défaut]\nFont=\n",
            [](CINIFile &ini) { ini.setValue("Font", QString()); });
        row("deleteKey", "[M]\n0=1\n[Défaut]\n", [](CINIFile &ini) {
            ini.deleteKey("Font");
            ini.deleteKey("Absent");
        });
        QTest::newRow("deleteSection current") << deleteSection("Défaut") << "[M]\n0=1\n" << QString();
        row("deleteSection another", "[Défaut]\nFont=Arial\n", deleteSection("M"));
        // The file's names ignore case; the current section is compared exactly.
        row("deleteSection current, other case", "[M]\n0=1\n", deleteSection("DÉFAUT"));
        row("deleteSection absent", unchanged, deleteSection("Nulle"));
        row("addSection", unchanged + "[Bénéficiaires]\n",
            [](CINIFile &ini) { ini.addSection("Bénéficiaires"); });
        QTest::newRow("addSection made current")
            << Edit([](CINIFile &ini) { ini.addSection("Bénéficiaires", true); })
            << unchanged + "[Bénéficiaires]\n"
            << "Bénéficiaires";
        row("writeSection string list", "[M]\n0=1\n[Défaut]\n0=a\n1=b\n",
            writeSection(QStringList{"0=a", "1=b"}));
        row("writeSection list of texts", "[M]\n0=1\n[Défaut]\n0=a\n",
            writeSection(QVariantList{QStringLiteral("0=a")}));
        row("writeSection empty list", "[M]\n0=1\n[Défaut]\n", writeSection(QStringList()));
        row("writeSection single text", unchanged, writeSection(QStringLiteral("0=a")));
        row("writeSection list holding a number", unchanged,
            writeSection(QVariantList{QStringLiteral("0=a"), 1}));
        row("writeSection number", unchanged, writeSection(5));
        row("writeSection nothing", unchanged, writeSection(QVariant()));
        row("flush", unchanged, [](CINIFile &ini) { ini.flush(); });
        QTest::newRow("setFile forgets the section, even for the same file")
            << Edit([](CINIFile &ini) { ini.setFile(ini.File()); }) << unchanged << QString();
    }

    void edits()
    {
        QFETCH(Edit, edit);
        QFETCH(QString, fileAfter);
        QFETCH(QString, sectionAfter);
        CINIFile ini;
        open(ini, QStringLiteral("[M]\n0=1\n[Défaut]\nFont=Arial\n"), QStringLiteral("Défaut"));
        edit(ini);
        QCOMPARE(readAll(path()), iniBytes(fileAfter));
        QCOMPARE(ini.File(), path());
        QCOMPARE(ini.Section(), sectionAfter);
        QVERIFY(!ini.writeFailed());
    }

    void listings_data()
    {
        QTest::addColumn<QString>("content"); // null: no file
        QTest::addColumn<Member>("member");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("list");

        auto row = [](const char *name, const QString &content, Member member, int count,
                      const QStringList &list) { QTest::newRow(name) << content << member << count << list; };
        const QString list = QStringLiteral("[S]\n0=20,00\n1=1,50\nplain\n1=dup\n2=3,00\n");
        row("keys", list, Member::Keys, 5, {"0", "1", "", "1", "2"});
        row("values", list, Member::Values, 5, {"20,00", "1,50", "", "dup", "3,00"});
        row("pairs", list, Member::Pairs, 5, {"0|20,00", "1|1,50", "|", "1|dup", "2|3,00"});
        row("keys and values", list, Member::KeysAndValues, 5,
            {"0=20,00", "1=1,50", "plain", "1=dup", "2=3,00"});

        // The loop stops when 3 characters or fewer remain.
        const QString emptyLast = QStringLiteral("[S]\n0=a\n1=\n");
        row("keys: 2-char last entry listed", emptyLast, Member::Keys, 2, {"0", "1"});
        row("values: 2-char last entry dropped", emptyLast, Member::Values, 1, {"a"});
        row("pairs: 2-char last entry dropped", emptyLast, Member::Pairs, 1, {"0|a"});
        row("keys and values: 2-char last entry dropped", emptyLast, Member::KeysAndValues, 1, {"0=a"});
        row("values: 3-char last entry listed", "[S]\n0=a\n1=x\n", Member::Values, 2, {"a", "x"});
        row("keys: 1-char last entry dropped", "[S]\n0=a\nb\n", Member::Keys, 1, {"0"});
        row("keys: single 1-char entry", "[S]\nb\n", Member::Keys, 1, {""});
        row("sections: 1-char last name listed", "[Montants]\n[B]\n", Member::Sections, 2, {"Montants", "B"});
        row("sections: 1-char first name listed", "[B]\n[Montants]\n", Member::Sections, 2,
            {"B", "Montants"});

        // Nothing to list: 0, and the caller's list is left as it was.
        row("sections: only an empty name", "[]\n", Member::Sections, 0, {"avant"});
        row("sections: none", "a=1\n", Member::Sections, 0, {"avant"});
        row("sections: no file", QString(), Member::Sections, 0, {"avant"});
        const QList<std::pair<const char *, Member>> members{{"keys", Member::Keys},
                                                             {"values", Member::Values},
                                                             {"pairs", Member::Pairs},
                                                             {"keys and values", Member::KeysAndValues}};
        for (const auto &[name, member] : members) {
            const QStringList before{member == Member::Pairs ? "avant|avant" : "avant"};
            QTest::addRow("%s: empty section", name) << "[S]\n; rien\n[T]\na=1\n" << member << 0 << before;
            QTest::addRow("%s: absent section", name) << "[T]\na=1\n" << member << 0 << before;
            QTest::addRow("%s: no file", name) << QString() << member << 0 << before;
        }
    }

    void listings()
    {
        QFETCH(QString, content);
        QFETCH(Member, member);
        QFETCH(int, count);
        QFETCH(QStringList, list);
        CINIFile ini;
        open(ini, content, QStringLiteral("S"));
        QStringList result;
        QCOMPARE(int(callListing(ini, member, result)), count);
        QCOMPARE(result, list);
    }

    void listingSize_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("2045: cut at 2047, fits at 4095") << 2045;
        QTest::newRow("16381: past four doublings") << 16381;
        QTest::newRow("70000") << 70000;
    }

    // The buffer grows until a section (or the list of names) fits.
    void listingSize()
    {
        QFETCH(int, size);
        for (Member member : {Member::Values, Member::KeysAndValues, Member::Keys, Member::Sections}) {
            int entries = 0;
            CINIFile ini;
            open(ini, fileOfListingSize(size, member == Member::Sections, entries), QStringLiteral("S"));
            QStringList result;
            QCOMPARE(int(callListing(ini, member, result)), entries);
            QCOMPARE(result.size(), entries);
            QVERIFY(ini.listingComplete());
        }
    }

    // Every write of one object may fail; the user hears of it once, when the object
    // (the user action) ends, and again for the next action.
    void failedWriteToldOncePerObject()
    {
        const QString missing = m_dir.filePath(QStringLiteral("absent/Tolvo.ini"));
        platform::MessageBoxRecorder boxes;
        for (int action = 1; action <= 2; ++action) {
            CINIFile ini;
            ini.setFile(missing);
            ini.setSection(QStringLiteral("Défaut"));
            ini.setValue(QStringLiteral("Font"), QStringLiteral("Arial"));
            ini.setValue(QStringLiteral("Encadrement"), 1);
            ini.writeSection(QStringList{QStringLiteral("0=1,00")});
            ini.addSection(QStringLiteral("X"));
            ini.deleteSection(QStringLiteral("X"));
            QVERIFY(ini.writeFailed());
            ini.setFile(path()); // the message names the file that failed
            ini.setSection(QStringLiteral("Défaut"));
            ini.setValue(QStringLiteral("Font"), QStringLiteral("Arial"));
            QCOMPARE(boxes.shown.size(), action - 1);
        }
        QCOMPARE(boxes.shown.size(), 2);
        QCOMPARE(boxes.shown[1].text,
                 QStringLiteral("Impossible d'enregistrer les paramètres dans le fichier\n") + missing);
        QCOMPARE(boxes.shown[1].icon, platform::MsgIcon::Exclamation);
        QCOMPARE(boxes.shown[1].title, QStringLiteral("Tolvo"));

        { // reads and successful writes say nothing
            CINIFile ini;
            ini.setFile(missing);
            QCOMPARE(ini.Value(QStringLiteral("Font")), QString());
            ini.setFile(path());
            ini.setSection(QStringLiteral("Défaut"));
            ini.setValue(QStringLiteral("Font"), QStringLiteral("Times"));
            QVERIFY(!ini.writeFailed());
        }
        QCOMPARE(boxes.shown.size(), 2);
    }
};

QTEST_MAIN(TestCINIFile)
#include "test_cinifile.moc"
