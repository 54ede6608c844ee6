// The schema of Tolvo.ini: files of the old program, lists, stored numbers.

#include "platform/Application.h"
#include "settings/CINIFile.h"
#include "settings/Settings.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QtTest>

using testsupport::iniBytes;
using testsupport::readAll;
using testsupport::writeAll;

namespace {

// A file as the old program wrote it: Windows-1252, CRLF.
const QByteArray kOldFile("[Montants]\r\n0=20,00\r\n1=150,00\r\n"
                          "[B\xE9n\xE9"
                          "ficiaires]\r\n0=Soci\xE9t\xE9 G\xE9n\xE9rale\r\n1=Fran\xE7oise C\x9Cur\r\n"
                          "2=\x80uro Caf\xE9\r\n"
                          "[D\xE9"
                          "faut]\r\nMontant=20,00\r\nB\xE9n\xE9"
                          "ficiaire=Soci\xE9t\xE9 G\xE9n\xE9rale\r\n"
                          "AutoAjout1=\r\nAutoAjout2=Non\r\nEncadrement=Oui\r\nFont=Times New Roman\r\n"
                          "Imprimante=HP LaserJet 4\r\n"
                          "[HP LaserJet 4]\r\nPaperBin=7\r\nOrientation=2\r\nHorAjust=-3\r\nVerAjust=2\r\n");

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase() { platform::setApplicationFolder(m_dir.path()); }
    void init() { QFile::remove(settings::filePath()); }

    void readsOldProgramFile()
    {
        QCOMPARE(settings::filePath(), m_dir.path() + QStringLiteral("/Tolvo.ini"));
        QVERIFY(writeAll(settings::filePath(), kOldFile));
        CINIFile ini;
        ini.setFile(settings::filePath());

        QStringList names;
        QCOMPARE(int(ini.enumSections(names)), 4);
        QCOMPARE(names, (QStringList{"Montants", "Bénéficiaires", "Défaut", "HP LaserJet 4"}));

        QStringList list;
        ini.setSection(settings::section::Montants);
        QCOMPARE(int(ini.enumSectionValues(list)), 2);
        QCOMPARE(list, (QStringList{"20,00", "150,00"}));
        ini.setSection(settings::section::Bénéficiaires);
        QCOMPARE(int(ini.enumSectionValues(list)), 3);
        QCOMPARE(list, (QStringList{"Société Générale", "Françoise Cœur", "€uro Café"}));

        ini.setSection(settings::section::Défaut);
        QCOMPARE(ini.Value(settings::key::Montant), QStringLiteral("20,00"));
        QCOMPARE(ini.Value(settings::key::Bénéficiaire), QStringLiteral("Société Générale"));
        QCOMPARE(ini.Value(settings::key::AutoAjout1), QString());
        QCOMPARE(ini.Value(settings::key::AutoAjout2), settings::value::Non);
        QCOMPARE(ini.Value(settings::key::Encadrement), settings::value::Oui);
        QCOMPARE(ini.Value(settings::key::Font), QStringLiteral("Times New Roman"));
        QCOMPARE(ini.Value(settings::key::Imprimante), QStringLiteral("HP LaserJet 4"));

        ini.setSection(QStringLiteral("HP LaserJet 4"));
        QCOMPARE(ini.getValue(settings::key::PaperBin, settings::value::PaperBin), QStringLiteral("7"));
        QCOMPARE(ini.getValue(settings::key::Orientation, settings::value::Orientation), QStringLiteral("2"));
        QCOMPARE(settings::toInt16(ini.Value(settings::key::HorAjust)), qint16(-3));
        QCOMPARE(settings::toInt16(ini.Value(settings::key::VerAjust)), qint16(2));
        QVERIFY(!ini.writeFailed());
    }

    // What we write is still Windows-1252 with CRLF, every other line byte for byte.
    void writesWhatOldProgramReads()
    {
        QVERIFY(writeAll(settings::filePath(), kOldFile));
        {
            CINIFile ini;
            ini.setFile(settings::filePath());
            ini.setSection(settings::section::Défaut);
            ini.setValue(settings::key::Encadrement, settings::value::Non);
            ini.setValue(settings::key::Bénéficiaire, QStringLiteral("Zoë Brasserie"));
            settings::saveList(ini, settings::section::Bénéficiaires,
                               {QStringLiteral("Société Générale"), QStringLiteral("Françoise Cœur"),
                                QStringLiteral("€uro Café"), QStringLiteral("Zoë Brasserie")});
            ini.setSection(QStringLiteral("HP LaserJet 4"));
            ini.setValue(settings::key::HorAjust, -12);
            QVERIFY(!ini.writeFailed());
        }
        const QByteArray expected(
            "[Montants]\r\n0=20,00\r\n1=150,00\r\n"
            "[B\xE9n\xE9"
            "ficiaires]\r\n0=Soci\xE9t\xE9 G\xE9n\xE9rale\r\n1=Fran\xE7oise C\x9Cur\r\n"
            "2=\x80uro Caf\xE9\r\n3=Zo\xEB Brasserie\r\n"
            "[D\xE9"
            "faut]\r\nMontant=20,00\r\nB\xE9n\xE9"
            "ficiaire=Zo\xEB Brasserie\r\n"
            "AutoAjout1=\r\nAutoAjout2=Non\r\nEncadrement=Non\r\nFont=Times New Roman\r\n"
            "Imprimante=HP LaserJet 4\r\n"
            "[HP LaserJet 4]\r\nPaperBin=7\r\nOrientation=2\r\nHorAjust=-12\r\nVerAjust=2\r\n");
        QCOMPARE(readAll(settings::filePath()), expected);
    }

    void textOutsideWindows1252_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("utf8");
        QTest::newRow("Windows-1252 holds it") << QStringLiteral("Zoë € Œuvre") << false;
        QTest::newRow("Polish") << QStringLiteral("Łódź") << true;
        QTest::newRow("outside the basic plane") << QStringLiteral("chèque 😀") << true;
    }

    // A beneficiary the code page cannot hold survives, and so does everything else;
    // once it is gone, the file is the old program's again.
    void textOutsideWindows1252()
    {
        QFETCH(QString, name);
        QFETCH(bool, utf8);
        QVERIFY(writeAll(settings::filePath(), kOldFile));
        CINIFile ini;
        ini.setFile(settings::filePath());
        settings::saveList(ini, settings::section::Bénéficiaires, {name, QStringLiteral("Société Générale")});
        const QByteArray bytes = readAll(settings::filePath());
        QCOMPARE(bytes.startsWith("\xEF\xBB\xBF"), utf8);
        QVERIFY(!bytes.contains('?'));

        QStringList list;
        QCOMPARE(int(ini.enumSectionValues(list)), 2);
        QCOMPARE(list, (QStringList{name, "Société Générale"}));
        ini.setSection(settings::section::Défaut);
        QCOMPARE(ini.Value(settings::key::Bénéficiaire), QStringLiteral("Société Générale"));
        QStringList names;
        ini.enumSections(names);
        QCOMPARE(names, (QStringList{"Montants", "Bénéficiaires", "Défaut", "HP LaserJet 4"}));

        settings::saveList(ini, settings::section::Bénéficiaires,
                           {QStringLiteral("Société Générale"), QStringLiteral("Françoise Cœur"),
                            QStringLiteral("€uro Café")});
        QCOMPARE(readAll(settings::filePath()), kOldFile);
        QVERIFY(!ini.writeFailed());
    }

    void saveList_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("sectionAfter");
        auto row = [](const char *name, const char *before, const QStringList &list, const char *after,
                      const char *sectionAfter = "Montants") {
            QTest::newRow(name) << QString(before) << list << QString(after) << QString(sectionAfter);
        };
        row("hand-written keys renumbered", "[Montants]\n5=1,00\n9=2,00\n[Défaut]\nFont=Arial\n",
            {"1,00", "2,00", "3,00"}, "[Montants]\n0=1,00\n1=2,00\n2=3,00\n[Défaut]\nFont=Arial\n");
        row("created", "[Défaut]\nFont=Arial\n", {"1,00"}, "[Défaut]\nFont=Arial\n[Montants]\n0=1,00\n");
        row("empty list removes the section", "[Montants]\n0=1,00\n[Défaut]\nFont=Arial\n", {},
            "[Défaut]\nFont=Arial\n", "");
        row("text holding = and quotes", "", {"A=B", "\"C\""}, "[Montants]\n0=A=B\n1=\"C\"\n");
    }

    void saveList()
    {
        QFETCH(QString, before);
        QFETCH(QStringList, list);
        QFETCH(QString, after);
        QFETCH(QString, sectionAfter);
        QVERIFY(writeAll(settings::filePath(), iniBytes(before)));

        CINIFile ini;
        ini.setFile(settings::filePath());
        ini.setSection(settings::section::Défaut);
        settings::saveList(ini, settings::section::Montants, list);
        QCOMPARE(readAll(settings::filePath()), iniBytes(after));
        QCOMPARE(ini.Section(), sectionAfter);

        QStringList read;
        ini.setSection(settings::section::Montants);
        ini.enumSectionValues(read);
        QCOMPARE(read, list); // read back as it was saved
    }

    // A stored number: the leading number, half to even; out of range (a hand-edited
    // file) it reads as 0.
    void toInt16()
    {
        QCOMPARE(settings::toInt16(" 7abc"), qint16(7));
        QCOMPARE(settings::toInt16("2.5"), qint16(2));
        QCOMPARE(settings::toInt16("abc"), qint16(0));
        QCOMPARE(settings::toInt16("32767"), qint16(32767));
        QCOMPARE(settings::toInt16("32767.5"), qint16(0));
        QCOMPARE(settings::toInt16("-32769"), qint16(0));
        QCOMPARE(settings::toInt16("1e300"), qint16(0));
    }
};

QTEST_MAIN(TestSettings)
#include "test_settings.moc"
