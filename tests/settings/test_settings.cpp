// The schema of Tolvo.ini: files of the old program, lists, stored numbers.

#include "platform/Application.h"
#include "settings/CINIFile.h"
#include "settings/Settings.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QtTest>

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
    void filePath();
    void readsOldProgramFile();
    void writesWhatOldProgramReads();
    void textOutsideWindows1252_data();
    void textOutsideWindows1252();
    void saveList_data();
    void saveList();
    void toInt16_data();
    void toInt16();
};

void TestSettings::filePath()
{
    QCOMPARE(settings::filePath(), m_dir.path() + QStringLiteral("/Tolvo.ini"));
}

void TestSettings::readsOldProgramFile()
{
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
void TestSettings::writesWhatOldProgramReads()
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

void TestSettings::textOutsideWindows1252_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("utf8");
    QTest::newRow("Windows-1252 holds it") << QStringLiteral("Zoë € Œuvre") << false;
    QTest::newRow("Polish") << QStringLiteral("Łódź") << true;
    QTest::newRow("Japanese") << QStringLiteral("日本") << true;
}

// A beneficiary the code page cannot hold survives, and so does everything else.
void TestSettings::textOutsideWindows1252()
{
    QFETCH(QString, name);
    QFETCH(bool, utf8);
    QVERIFY(writeAll(settings::filePath(), kOldFile));
    {
        CINIFile ini;
        ini.setFile(settings::filePath());
        settings::saveList(ini, settings::section::Bénéficiaires, {name, QStringLiteral("Société Générale")});
    }
    const QByteArray bytes = readAll(settings::filePath());
    QCOMPARE(bytes.startsWith("\xEF\xBB\xBF"), utf8);
    QVERIFY(!bytes.contains('?'));

    CINIFile ini;
    ini.setFile(settings::filePath());
    ini.setSection(settings::section::Bénéficiaires);
    QStringList list;
    QCOMPARE(int(ini.enumSectionValues(list)), 2);
    QCOMPARE(list, (QStringList{name, "Société Générale"}));
    ini.setSection(settings::section::Défaut);
    QCOMPARE(ini.Value(settings::key::Bénéficiaire), QStringLiteral("Société Générale"));
    QStringList names;
    QCOMPARE(int(ini.enumSections(names)), 4);
    QCOMPARE(names, (QStringList{"Montants", "Bénéficiaires", "Défaut", "HP LaserJet 4"}));
}

void TestSettings::saveList_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("sectionAfter");

    QTest::newRow("hand-written keys renumbered")
        << "[Montants]\r\n5=1,00\r\n9=2,00\r\n[Défaut]\r\nFont=Arial\r\n"
        << QStringList{"1,00", "2,00", "3,00"}
        << "[Montants]\r\n0=1,00\r\n1=2,00\r\n2=3,00\r\n[Défaut]\r\nFont=Arial\r\n"
        << "Montants";
    QTest::newRow("comment kept") << "; mes montants\r\n[Montants]\r\n; à garder\r\n0=1,00\r\n"
                                  << QStringList{"4,00"}
                                  << "; mes montants\r\n[Montants]\r\n; à garder\r\n0=4,00\r\n"
                                  << "Montants";
    QTest::newRow("created") << "[Défaut]\r\nFont=Arial\r\n"
                             << QStringList{"1,00"} << "[Défaut]\r\nFont=Arial\r\n[Montants]\r\n0=1,00\r\n"
                             << "Montants";
    QTest::newRow("empty list removes the section") << "[Montants]\r\n0=1,00\r\n[Défaut]\r\nFont=Arial\r\n"
                                                    << QStringList() << "[Défaut]\r\nFont=Arial\r\n"
                                                    << "";
    QTest::newRow("text holding = and quotes")
        << "" << QStringList{"A=B", "\"C\""} << "[Montants]\r\n0=A=B\r\n1=\"C\"\r\n"
        << "Montants";
}

void TestSettings::saveList()
{
    QFETCH(QString, before);
    QFETCH(QStringList, list);
    QFETCH(QString, after);
    QFETCH(QString, sectionAfter);
    QVERIFY(writeAll(settings::filePath(), before.toLatin1()));

    CINIFile ini;
    ini.setFile(settings::filePath());
    ini.setSection(settings::section::Défaut);
    settings::saveList(ini, settings::section::Montants, list);
    QCOMPARE(QString::fromLatin1(readAll(settings::filePath())), after);
    QCOMPARE(ini.Section(), sectionAfter);

    QStringList read;
    ini.setSection(settings::section::Montants);
    ini.enumSectionValues(read);
    QCOMPARE(read, list); // read back as it was saved
}

void TestSettings::toInt16_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");
    QTest::newRow("plain") << "12" << 12;
    QTest::newRow("negative") << "-3" << -3;
    QTest::newRow("leading number") << "7abc" << 7;
    QTest::newRow("spaces") << " 5 " << 5;
    QTest::newRow("half to even, down") << "2.5" << 2;
    QTest::newRow("half to even, up") << "3.5" << 4;
    QTest::newRow("not a number") << "abc" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("smallest") << "-32768" << -32768;
    QTest::newRow("largest") << "32767" << 32767;
    QTest::newRow("too large") << "40000" << 0;
    QTest::newRow("rounds out of range") << "32767.5" << 0;
    QTest::newRow("too small") << "-32769" << 0;
    QTest::newRow("huge") << "1e300" << 0;
}

void TestSettings::toInt16()
{
    QFETCH(QString, text);
    QFETCH(int, number);
    QCOMPARE(int(settings::toInt16(text)), number);
}

QTEST_MAIN(TestSettings)
#include "test_settings.moc"
