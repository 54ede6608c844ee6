// Importing cheques from CSV files written the way spreadsheets and accounting
// programs write them (made here byte for byte): what is read from each, and the
// import dialog driven by keys up to the cheques it hands back.

#include "platform/Profile.h"
#include "platform/forms/FileDialog.h"
#include "platform/forms/MessageBox.h"
#include "platform/help/HelpKey.h"
#include "platform/help/HelpViewer.h"
#include "register/frmImport.h"
#include "support/CsvFiles.h"
#include "support/Gui.h"
#include "support/TestFiles.h"

#include <QtTest>
#include <QtWidgets>

using namespace testsupport;

namespace {

QStringList texts(const QList<registre::ImportedCheque> &cheques)
{
    QStringList out;
    for (const registre::ImportedCheque &c : cheques)
        out << QStringList{c.beneficiary, c.amount, c.date, c.note}.join('|');
    return out;
}

// The rows of the import window as shown: beneficiary, amount, date and note.
QStringList shown(const frmImport &d)
{
    QStringList out;
    const QAbstractItemModel *m = d.grdLignes->model();
    for (int r = 0; r < m->rowCount(); ++r)
        out << QStringList{m->index(r, 1).data().toString(), m->index(r, 2).data().toString(),
                           m->index(r, 3).data().toString(), m->index(r, 4).data().toString()}
                   .join('|');
    return out;
}

QStringList items(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

// UTF-16 as on this machine (little-endian), after its byte-order mark.
QByteArray utf16(const QString &text)
{
    return "\xFF\xFE" + QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

// An access key; a button pressed by it clicks after a short delay.
void alt(QWidget &window, char key)
{
    QTest::keyClick(&window, key, Qt::AltModifier);
    QTest::qWait(150);
}

} // namespace

class TestImport : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QString file(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        return writeAll(path, bytes) ? path : QString();
    }

private slots:
    void initTestCase() { platform::installHelpKey(); }

    // What each kind of file gives: the encoding and separator found, the columns,
    // the good rows as the queue gets them, and every problem with its line.
    void readsWhatSpreadsheetsWrite()
    {
        const QByteArray bom("\xEF\xBB\xBF");
        const struct {
            QByteArray bytes;
            QString format; // encoding, separator, decimal, the four columns (-: none), header
            QStringList cheques, problems;
        } files[] = {
            {libreOfficeFile(), "Windows-1252 ; , 0 1 2 3 header", libreOfficeCheques(), libreOfficeProblems},
            // Quoted fields with separators, doubled quotes and line breaks: lines
            // are counted in the file, not in records.
            {bom + QString("Nom,Montant,Date,Référence\n"
                           "\"Martin, Paul\",1234.5,2026-12-05,\"Facture \"\"A-1\"\"\"\n"
                           "\"Dupont\net fils\",\"1,234.56\",2026-12-06,\"deux\r\nlignes\"\n"
                           "SARL Zoé,.5,,\n"
                           "Café du Nord,7.25,31/02/2026,x")
                       .toUtf8(),
             "UTF-8 , . 0 1 2 3 header",
             {"Martin, Paul|1234,50|05/12/2026|Facture \"A-1\"",
              "Dupont et fils|1234,56|06/12/2026|deux lignes", "SARL Zoé|0,50||"},
             {"ligne 7 : date « 31/02/2026 » invalide"}},
            // Names found whatever their case and accents; blank lines skipped; an
            // empty beneficiary allowed, as in the main window; a quote left open.
            {QString("TIERS\tMONTANT TTC\tDATE D'ÉCHÉANCE\tNote\r\n\r\n"
                     "Zoé Lefèvre\t12\u202F345,60 €\t5/1/27\tjanvier\r\n"
                     "\t50,00\t\t\r\n"
                     "Hôtel de ville\t-20,00\t01/12/2026\t\r\n"
                     "Trésor public\t0,00\t01/12/2026\t\r\n"
                     "Vide\t\t1.12.2026\t\r\n"
                     "'=SOMME(A1)\t1 000,005\t01/12/2026\t\r\n"
                     "\t \t\t\r\n"
                     "Banque\t2,5\t01/13/2026\t\r\n"
                     "\"Ouvert\t10,00\t01/12/2026\tjamais\r\nfermé\r\n")
                 .toUtf8(),
             "UTF-8 \t , 0 1 2 3 header",
             {"Zoé Lefèvre|12345,60|05/01/2027|janvier", "|50,00||", "=SOMME(A1)|1000,01|01/12/2026|"},
             {"ligne 5 : montant « -20,00 » négatif", "ligne 6 : montant nul", "ligne 7 : montant manquant",
              "ligne 10 : date « 01/13/2026 » invalide",
              "ligne 11 : guillemet jamais refermé : la suite du fichier est lue comme un seul texte",
              "ligne 11 : montant manquant"}},
            // No names: the columns are guessed from what they hold.
            {QString("F-2026-001;Durand SARL;05/12/2026;1 250,00\n"
                     "F-2026-002;Martin;06/12/2026;80,5\n"
                     "F-2026-003;Petit;;42\n")
                 .toUtf8(),
             "UTF-8 ; , 1 3 2 0 -",
             {"Durand SARL|1250,00|05/12/2026|F-2026-001", "Martin|80,50|06/12/2026|F-2026-002",
              "Petit|42,00||F-2026-003"},
             {}},
            // Spreadsheets' "Unicode text", with the line that names the separator.
            {utf16(QString::fromUtf16(u"sep=,\r\nmontant,nom\r\n\"1 000,5\",Noël\r\n")),
             "UTF-16 , , 1 0 - - header",
             {"Noël|1000,50||"},
             {}},
        };
        for (const auto &f : files) {
            const QString path = file("essai.csv", f.bytes);
            registre::CsvTable table;
            QString error;
            QVERIFY2(registre::readCsvFile(path, table, &error), qPrintable(error));
            const registre::ImportColumns columns = registre::findColumns(table.records);
            const registre::ImportReport report = registre::checkRows(table.records, columns);
            QStringList format = {table.encoding, table.separator, report.decimal};
            for (int c : columns.column)
                format << (c < 0 ? "-" : QString::number(c));
            format << (columns.header ? "header" : "-");
            QCOMPARE(format.join(' '), f.format);
            QCOMPARE(columns.named, columns.header);
            QCOMPARE(texts(report.goodCheques()), f.cheques);
            QCOMPARE(report.problems(), f.problems);
        }
    }

    // The dialog from the file chooser on: the LibreOffice file goes straight to
    // its rows; Alt+A adds the 18 good ones, Escape adds none.
    void dialogAddsTheGoodRows()
    {
        const QString path = file("paiements.csv", libreOfficeFile());
        platform::setOpenFileNameAnswer([&](const QString &) { return path; });
        for (const bool add : {true, false}) {
            platform::MessageBoxRecorder boxes;
            boxes.queueDialog([&](QDialog &dialog) {
                auto &d = dynamic_cast<frmImport &>(dialog);
                QVERIFY(showActive(d));
                QVERIFY(d.fraLignes->isVisible() && !d.cmdSuivant->isVisible());
                QCOMPARE(d.lblRésumé->text(), "20 lignes lues. À ajouter : 18 chèques, total 3 738,05 €. "
                                              "Refusées, à corriger dans le fichier : 2 lignes.");
                QCOMPARE(d.cmdAjouter->text(), "&Ajouter les 18 chèques corrects");
                QCOMPARE(items(d.lstProblèmes), libreOfficeProblems);
                const QAbstractItemModel *rows = d.grdLignes->model();
                QCOMPARE(rows->rowCount(), 20);
                QCOMPARE(rows->index(12, 5).data().toString(), "montant « 12,3,4 » illisible");
                QCOMPARE(rows->index(2, 3).data().toString(), "à l'impression");
                // Going through the problems shows their rows.
                alt(d, 'p');
                QTest::keyClick(focused(), Qt::Key_Down);
                QCOMPARE(d.grdLignes->currentIndex().row(), 18);
                QCOMPARE(f1(), 1012);
                if (add)
                    alt(d, 'a');
                else
                    QTest::keyClick(&d, Qt::Key_Escape);
            });
            const QStringList added = texts(importCheques(nullptr));
            QCOMPARE(boxes.dialogsRun, 1);
            QCOMPARE(added, add ? libreOfficeCheques() : QStringList());
        }
        platform::setOpenFileNameAnswer(nullptr);
        const auto help =
            platform::parseHelpDocument(QString::fromUtf8(readAll(sourceDir() + "/data/Tolvo.hlp")));
        QVERIFY(help.topic("1012") && platform::topicText(*help.topic("1012")).size() > 300);
    }

    // A file without column names: the columns step, keys only. The guess is
    // changed, the rows looked at, the columns changed back, and the rows added.
    void columnsMappedByKeys()
    {
        const QString path = file("sans-titres.csv", "Durand SARL;1 250,00;F-1\nMartin;80,5;F-2\n");
        platform::MessageBoxRecorder boxes;
        boxes.queueDialog([&](QDialog &dialog) {
            auto &d = dynamic_cast<frmImport &>(dialog);
            QVERIFY(showActive(d));
            QVERIFY(d.fraColonnes->isVisible() && !d.chkEnTête->isChecked());
            QCOMPARE(d.cboColonne[registre::FieldNote]->currentText(), "Colonne C");
            QCOMPARE(d.grdAperçu->item(1, 0)->text(), "Martin");
            alt(d, 'm');
            QTest::keyClick(focused(), Qt::Key_Home); // "(aucune)": no amount, no next step
            QVERIFY(!d.cmdSuivant->isEnabled() && d.lblMontantRequis->isVisible());
            QTest::keyClick(focused(), Qt::Key_Down);
            QTest::keyClick(focused(), Qt::Key_Down);
            alt(d, 'n');
            QTest::keyClick(focused(), Qt::Key_Home);
            alt(d, 's');
            QCOMPARE(shown(d),
                     QStringList({"Durand SARL|1250,00|à l'impression|", "Martin|80,50|à l'impression|"}));
            alt(d, 'c');
            QVERIFY(d.fraColonnes->isVisible());
            alt(d, 't'); // the first line as names: one row left
            alt(d, 'n');
            QTest::keyClick(focused(), Qt::Key_End);
            QCOMPARE(d.cboColonne[registre::FieldNote]->currentText(), "Colonne C : F-1");
            alt(d, 's');
            QCOMPARE(d.cmdAjouter->text(), "&Ajouter le chèque");
            QTest::keyClick(focused(), Qt::Key_Return);
        });
        QCOMPARE(texts(importFile(nullptr, path)), QStringList{"Martin|80,50||F-2"});
        QCOMPARE(boxes.dialogsRun, 1);
    }

    // Files that give nothing to look at are told in a box, without the dialog.
    void unreadableFiles()
    {
        const struct {
            QString path;
            QString message;
        } cases[] = {
            {dir.filePath("absent.csv"), "Le fichier %1 ne peut pas être lu."},
            {file("vide.csv", "\r\n;;\r\n \r\n"), "Le fichier %1 ne contient aucune ligne."},
        };
        for (const auto &c : cases) {
            platform::MessageBoxRecorder boxes;
            QVERIFY(importFile(nullptr, c.path).isEmpty());
            QCOMPARE(boxes.dialogsRun, 0);
            QCOMPARE(boxes.shown.size(), 1);
            QCOMPARE(boxes.shown[0].text.section('\r', 0, 0), c.message.arg(c.path));
            QCOMPARE(boxes.shown[0].icon, platform::MsgIcon::Exclamation);
        }
    }
};

QTEST_MAIN(TestImport)
#include "test_import.moc"
