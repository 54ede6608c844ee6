// Tolvo.ini through the settings-file object: files of the old program, lists,
// listings with their buffer rules, stored numbers, failed writes told to the user.

#include "platform/Application.h"
#include "platform/forms/MessageBox.h"
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
const QByteArray kOldFile("[Montants]\r\n5=20,00\r\n9=150,00\r\n"
                          "[B\xE9n\xE9" "ficiaires]\r\n0=Soci\xE9t\xE9 G\xE9n\xE9rale\r\n1=Fran\xE7oise C\x9Cur\r\n"
                          "2=\x80uro Caf\xE9\r\n"
                          "[D\xE9" "faut]\r\n; r\xE9glages\r\nMontant=20,00\r\nAutoAjout1=\r\nEncadrement=Oui\r\n"
                          "Font=Times New Roman\r\nImprimante=HP LaserJet 4\r\n"
                          "[HP LaserJet 4]\r\nPaperBin=7\r\nHorAjust=-3\r\n");

const QStringList kNames{"Société Générale", "Françoise Cœur", "€uro Café"};

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    CINIFile *open(const QString &text) // a fresh object on a fresh file (null: none), in section S
    {
        m_ini = std::make_unique<CINIFile>();
        QFile::remove(settings::filePath());
        if (!text.isNull())
            writeAll(settings::filePath(), iniBytes(text));
        m_ini->setFile(settings::filePath());
        m_ini->setSection("S");
        return m_ini.get();
    }
    std::unique_ptr<CINIFile> m_ini;

private slots:
    void initTestCase() { platform::setApplicationFolder(m_dir.path()); }

    // Read as the old program wrote it, changed, and written back byte for byte around the change.
    void oldProgramFile()
    {
        QCOMPARE(settings::filePath(), m_dir.path() + "/Tolvo.ini");
        QVERIFY(writeAll(settings::filePath(), kOldFile));
        CINIFile ini;
        ini.setFile(settings::filePath());
        QStringList list;
        ini.enumSections(list);
        QCOMPARE(list, (QStringList{"Montants", "Bénéficiaires", "Défaut", "HP LaserJet 4"}));
        ini.setSection(settings::section::Bénéficiaires);
        ini.enumSectionValues(list);
        QCOMPARE(list, kNames);
        ini.setSection(settings::section::Défaut);
        bool failed = false, fontFailed = true;
        QCOMPARE(ini.getValue(settings::key::AutoAjout1, "x", &failed), QString("x")); // empty reads as absent
        QCOMPARE(ini.getValue(settings::key::Font, "Arial", &fontFailed), QString("Times New Roman"));
        QVERIFY(failed && !fontFailed);
        QCOMPARE(ini.getValue("Absent", QString(300, u'd')), QString(254, u'd'));
        ini.setSection("HP LaserJet 4");
        QCOMPARE(settings::toInt16(ini.Value(settings::key::HorAjust)), qint16(-3));

        ini.setValue(settings::key::HorAjust, -12);
        ini.addSection("Vide", true);
        ini.deleteSection("vide"); // names ignore case; the current one stays
        QCOMPARE(ini.Section(), QString("Vide"));
        ini.setSection(settings::section::Défaut);
        ini.deleteKey(settings::key::Montant);
        ini.setValue(settings::key::Encadrement, settings::value::Non);
        settings::saveList(ini, settings::section::Montants, {"20,00", "150,00", "7,00"});
        QCOMPARE(ini.Section(), settings::section::Montants);
        settings::saveList(ini, settings::section::Bénéficiaires, kNames + QStringList{"Zoë Brasserie"});
        QVERIFY(!ini.writeFailed());
        QCOMPARE(readAll(settings::filePath()),
                 QByteArray(kOldFile)
                     .replace("5=20,00\r\n9=150,00", "0=20,00\r\n1=150,00\r\n2=7,00")
                     .replace("Caf\xE9\r\n", "Caf\xE9\r\n3=Zo\xEB Brasserie\r\n")
                     .replace("Montant=20,00\r\n", "")
                     .replace("Encadrement=Oui", "Encadrement=Non")
                     .replace("HorAjust=-3", "HorAjust=-12"));
    }

    // A name the code page cannot hold survives with everything else; once it is gone,
    // the file is the old program's again.
    void textOutsideWindows1252()
    {
        for (const QString name : {"Łódź", "chèque 😀"}) {
            QVERIFY(writeAll(settings::filePath(), kOldFile));
            CINIFile ini;
            ini.setFile(settings::filePath());
            settings::saveList(ini, settings::section::Bénéficiaires, {name, "A=B \"C\""});
            QVERIFY(readAll(settings::filePath()).startsWith("\xEF\xBB\xBF"));
            QStringList list;
            ini.enumSectionValues(list);
            QCOMPARE(list, (QStringList{name, "A=B \"C\""}));
            ini.setSection("HP LaserJet 4");
            QCOMPARE(ini.Value(settings::key::HorAjust), QString("-3"));
            settings::saveList(ini, settings::section::Bénéficiaires, kNames);
            QCOMPARE(readAll(settings::filePath()), kOldFile);
        }
    }

    void listings()
    {
        // Pairs come back as "key|value"; the loop stops when 3 characters or fewer remain.
        const struct { QString content; int keys, values, pairs, keysAndValues; QString last; } rows[] = {
            {"[S]\n0=20,00\nplain\n1=dup\n", 3, 3, 3, 3, "1|dup"},
            {"[S]\n0=a\n1=\n", 2, 1, 1, 1, "0|a"},
            {"[S]\n0=a\nb\n", 1, 1, 1, 1, "0|a"},
            {"[S]\n; rien\n[T]\na=1\n", 0, 0, 0, 0, "avant|avant"},
            {QString(), 0, 0, 0, 0, "avant|avant"},
        };
        for (const auto &row : rows) {
            CINIFile *ini = open(row.content);
            QStringList list{"avant"};
            QList<QStringList> pairs{list, list};
            QCOMPARE(int(ini->enumSectionKeys(list)), row.keys);
            QCOMPARE(int(ini->enumSectionValues(list)), row.values);
            QCOMPARE(int(ini->enumSectionKeysAndValues(list)), row.keysAndValues);
            QCOMPARE(int(ini->enumSectionValuePairs(pairs)), row.pairs);
            QCOMPARE(pairs[0].last() + '|' + pairs[1].last(), row.last);
        }
        for (const auto &[text, expected] : {std::pair{"[Montants]\n[B]\n", QStringList{"Montants", "B"}},
                                             std::pair{"[]\na=1\n", QStringList{"avant"}}}) {
            QStringList names{"avant"};
            open(text)->enumSections(names);
            QCOMPARE(names, expected);
        }
    }

    // The buffer grows until a long section (or the list of names) fits.
    void longListing()
    {
        for (int size : {2045, 16381, 70000}) {
            for (bool names : {false, true}) {
                QString text = names ? QString() : QStringLiteral("[S]\n");
                int count = 0;
                for (int remaining = size; remaining > 0; ++count, remaining -= 1000) {
                    const QString item = (QString::number(count) + (names ? "" : "=")) // NUL included
                                             .leftJustified(qMin(remaining, 1000) - 1, u'x');
                    text += (names ? '[' + item + ']' : item) + '\n';
                }
                CINIFile *ini = open(text);
                QStringList list;
                QCOMPARE(int(names ? ini->enumSections(list) : ini->enumSectionValues(list)), count);
                QVERIFY(list.size() == count && ini->listingComplete());
            }
        }
        m_ini.reset();
    }

    // Every write of one object may fail; the user hears of it once, when the object
    // (the user action) ends, and again for the next action.
    void failedWriteToldOncePerObject()
    {
        const QString missing = m_dir.filePath("absent/Tolvo.ini");
        platform::MessageBoxRecorder boxes;
        for (int action = 1; action <= 2; ++action) {
            CINIFile ini;
            ini.setFile(missing);
            ini.setSection("Défaut");
            QCOMPARE(ini.Value("Font"), QString()); // reads say nothing
            ini.setValue("Font", "Arial");
            ini.writeSection(QStringList{"0=1,00"});
            ini.deleteSection("X");
            QVERIFY(ini.writeFailed());
            ini.setFile(settings::filePath()); // the message names the file that failed
            ini.setSection("Défaut");
            ini.setValue("Font", "Arial");
            QCOMPARE(boxes.shown.size(), action - 1);
        }
        QCOMPARE(boxes.shown.size(), 2);
        QCOMPARE(boxes.shown[1].text, "Impossible d'enregistrer les paramètres dans le fichier\n" + missing);
        QVERIFY(boxes.shown[1].icon == platform::MsgIcon::Exclamation && boxes.shown[1].title == "Tolvo");
    }

    // A stored number: the leading number, half to even; out of range (a hand-edited
    // file) it reads as 0.
    void toInt16()
    {
        const std::pair<const char *, int> rows[] = {{" 7abc", 7}, {"2.5", 2},         {"abc", 0},
                                                     {"32767", 32767}, {"32767.5", 0}, {"-32769", 0}};
        for (const auto &[text, value] : rows)
            QCOMPARE(settings::toInt16(text), qint16(value));
    }
};

QTEST_MAIN(TestSettings)
#include "test_settings.moc"
