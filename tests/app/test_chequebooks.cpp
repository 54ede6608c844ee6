// Chequebooks from the main window: one added through "Carnets de chèques" driven by
// keys (its numbers checked as typed), cheques printed on "Fichier PDF" by F5 taking
// its numbers one by one until it is used up, the window's line following; and two
// programs printing on the same chequebook at the same time.

#include "app/frmTolvo.h"
#include "dialogs/frmMsgBox.h"
#include "platform/UserName.h"
#include "platform/forms/MessageBox.h"
#include "platform/help/HelpKey.h"
#include "register/frmCarnets.h"
#include "support/FakePrinter.h"
#include "support/Gui.h"
#include "support/PdfText.h"
#include "support/RegisterFiles.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTemporaryDir>

using namespace testsupport;

namespace {

// Replaces a field's text by typing, as a user selecting it first.
void retype(QLineEdit *field, const QString &text)
{
    field->setFocus();
    field->selectAll();
    type(text.isEmpty() ? "\b" : text);
}

// Child of the two-program test: waits for "go", then prints `count` cheques with F5
// from the main window; the exit code counts the boxes other than the leaves left.
int printMany(const QString &folder, const QString &name, int count)
{
    platform::setApplicationFolder(folder);
    platform::setPrinters(std::make_unique<PdfOnly>(folder + "/pdf-" + name));
    frmTolvo w;
    w.Form_Load();
    if (!showActive(w))
        return 100;
    platform::MessageBoxRecorder boxes;
    std::puts("ready");
    std::fflush(stdout);
    char go[8];
    if (!std::fgets(go, sizeof go, stdin))
        return 101;
    for (int i = 1; i <= count; ++i) {
        w.cboMontant->setEditText(QString("%1,00").arg(i));
        w.cboBénéficiaire->setEditText(QString("%1 %2").arg(name).arg(i));
        if (!QTest::qWaitFor([&] { return w.cboMontant->hasFocus(); }))
            return 102;
        QTest::keyClick(focused(), Qt::Key_F5);
    }
    return unexpectedBoxes(boxes);
}

} // namespace

class TestChequebooks : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void initTestCase() { platform::installHelpKey(); }

    void init()
    {
        useOwnFolder(dir);
        platform::setUserFullName(QString("Marie Dupont"));
    }

    // A chequebook 0001230-0001234 added from the "Chèques" menu, after numbers the
    // dialog refuses with the field to correct; five cheques by F5, each taking the
    // number the window showed; the sixth refused before printing, offering the
    // chequebooks; a next number already used refused.
    void fiveChequesThenUsedUp()
    {
        frmTolvo w;
        w.Form_Load();
        QVERIFY(showActive(w));
        QCOMPARE(w.lblCarnet->text(),
                 QString("Aucun carnet de chèques en usage : les chèques sont inscrits sans numéro."));
        platform::MessageBoxRecorder boxes;
        const QString outside = "Le prochain numéro doit être compris entre le premier et le dernier (ou le "
                                "suivre quand tout le carnet a servi).";
        const struct {
            QString first, last, next, message;
            int field; // the field given the focus: 2 first, 3 last, 4 next
        } refused[] = {
            {"", "0001234", "",
             "Indiquez le premier numéro du carnet, en chiffres comme sur les chèques (12 au plus).", 2},
            {"0001230", "", "",
             "Indiquez le dernier numéro du carnet, en chiffres comme sur les chèques (12 au plus).", 3},
            {"0001235", "0001234", "0001235", "Le dernier numéro ne peut pas précéder le premier.", 3},
            {"0001230", "0001234", "0001236", outside, 4},
            {"0001230", "0001234", "0001229", outside, 4},
            {"12300", "12304", "12300",
             "Les chèques portent en général un numéro à 7 chiffres ; celui-ci en a 5. Enregistrer le "
             "carnet tel quel ?",
             2}, // answered "Non"
        };
        QStringList problems;
        int help = 0;
        boxes.queueDialog([&](QDialog &d) {
            d.show();
            QApplication::setActiveWindow(&d);
            help = f1(&d);
            QTest::keyClick(&d, Qt::Key_A, Qt::AltModifier); // "Ajouter..."
            QTRY_COMPARE(boxes.dialogsRun, 2);
            QTest::keyClick(&d, Qt::Key_Escape);
        });
        boxes.queueDialog([&](QDialog &dialog) {
            auto &d = dynamic_cast<frmCarnet &>(dialog);
            d.show();
            QApplication::setActiveWindow(&d);
            type("Compte courant\t\t");
            const QWidget *fields[] = {d.txtNom, d.txtCompte, d.txtPremier, d.txtDernier, d.txtProchain};
            for (const auto &r : refused) {
                retype(d.txtPremier, r.first);
                retype(d.txtDernier, r.last);
                if (!r.next.isEmpty())
                    retype(d.txtProchain, r.next);
                if (r.message.endsWith('?'))
                    boxes.queueAnswer(QMessageBox::No);
                QTest::keyClick(focused(), Qt::Key_Return);
                problems << boxes.shown.value(problems.size()).text +
                                (focused() == fields[r.field] ? "1" : "0");
            }
            retype(d.txtPremier, "0001230");
            retype(d.txtDernier, "0001234");
            retype(d.txtProchain, "0001230");
            QCOMPARE(d.lblFeuilles->text(), QString("5 chèques, dont 5 à imprimer"));
            QTest::keyClick(focused(), Qt::Key_Return);
        });
        QTest::keyClick(&w, Qt::Key_H, Qt::AltModifier);
        QTRY_VERIFY(w.mnuChèques->isVisible());
        QTest::keyClick(w.mnuChèques, Qt::Key_C);
        QTRY_COMPARE(boxes.dialogsRun, 2);
        QStringList expected;
        for (const auto &r : refused)
            expected << r.message + "1";
        QCOMPARE(problems, expected);
        QCOMPARE(help, 1010);
        QCOMPARE(
            sql("SELECT name, first_number, last_number, next_number, digits, closed_at FROM chequebooks"),
            QString("Compte courant|1230|1234|1230|7|"));
        QCOMPARE(registre::chequebookInUse(), sql("SELECT uid FROM chequebooks"));
        boxes.shown.clear();
        QVERIFY(showActive(w));
        w.cboMontant->setFocus();

        QStringList lines;
        for (int i = 0; i < 6; ++i) {
            lines << w.lblCarnet->text();
            w.cboMontant->setEditText(QString("1%1,50").arg(i));
            w.cboBénéficiaire->setEditText(QString("Fournisseur %1").arg(i));
            if (i == 5) { // used up: "Carnets..." opens them
                boxes.queueDialog([&](QDialog &dialog) {
                    auto &box = dynamic_cast<frmMsgBox &>(dialog);
                    lines << box.Message() + " [" + box.ButtonCaption(1) + "]";
                    box.show();
                    QTest::keyClick(box.cmdAction[1], Qt::Key_Return);
                });
                boxes.queueDialog([&](QDialog &d) { lines << d.windowTitle(); });
            }
            QTRY_VERIFY(w.cboMontant->hasFocus());
            QTest::keyClick(focused(), Qt::Key_F5);
        }
        lines << w.lblCarnet->text();
        QCOMPARE(lines, QStringList({"Chèque n° 0001230 - Compte courant (5 restants)",
                                     "Chèque n° 0001231 - Compte courant (4 restants)",
                                     "Chèque n° 0001232 - Compte courant (3 restants)",
                                     "Chèque n° 0001233 - Compte courant (2 restants)",
                                     "Chèque n° 0001234 - Compte courant (le dernier)",
                                     "Le carnet « Compte courant » est épuisé : choisissez-en un autre.",
                                     "Le carnet « Compte courant » est épuisé : son dernier chèque, le n° "
                                     "0001234, a déjà été imprimé.\r\nRien n'a été imprimé. Choisissez un "
                                     "autre carnet dans « Carnets de chèques ». [Carnets...]",
                                     "Carnets de chèques",
                                     "Le carnet « Compte courant » est épuisé : choisissez-en un autre."}));
        QCOMPARE(texts(boxes), QStringList{"Il reste 4 chèques dans ce carnet."});
        QCOMPARE(w.cboMontant->currentText(), QString("15,50")); // the refused cheque is kept
        QCOMPARE(sql("SELECT printf('%07d', number), cheques.status, beneficiary, amount, who FROM cheques"
                     " JOIN history ON cheque_id = cheques.id ORDER BY number"),
                 QString("0001230|émis|Fournisseur 0|10,50|Marie Dupont\n"
                         "0001231|émis|Fournisseur 1|11,50|Marie Dupont\n"
                         "0001232|émis|Fournisseur 2|12,50|Marie Dupont\n"
                         "0001233|émis|Fournisseur 3|13,50|Marie Dupont\n"
                         "0001234|émis|Fournisseur 4|14,50|Marie Dupont"));
        const QStringList files = sql("SELECT pdf_file FROM cheques ORDER BY number").split('\n');
        QCOMPARE(QDir(platform::settingsFile("pdf")).entryList(QDir::Files).size(), 5);
        QCOMPARE(findWord(pdfPages(files.value(2)).value(0), "Fournisseur") != nullptr, true);

        // Another chequebook's leaves loaded: the next number cannot go back over a used one.
        boxes.shown.clear();
        boxes.queueDialog([&](QDialog &dialog) {
            auto &d = dynamic_cast<frmCarnets &>(dialog);
            d.show();
            QApplication::setActiveWindow(&d);
            d.grdCarnets->setFocus();
            QTest::keyClick(d.grdCarnets, Qt::Key_Return); // "Modifier..."
            QCOMPARE(d.grdCarnets->item(0, 5)->text(), QString("en usage, en service"));
            QTest::keyClick(&d, Qt::Key_Escape);
        });
        boxes.queueDialog([&](QDialog &dialog) {
            auto &d = dynamic_cast<frmCarnet &>(dialog);
            d.show();
            QApplication::setActiveWindow(&d);
            retype(d.txtDernier, "0001259");
            retype(d.txtProchain, "0001233");
            QTest::keyClick(focused(), Qt::Key_Return);
            retype(d.txtProchain, "0001240");
            QTest::keyClick(focused(), Qt::Key_Return);
        });
        QTest::keyClick(focused(), Qt::Key_E, Qt::AltModifier);
        QTRY_COMPARE(boxes.dialogsRun, 6);
        QCOMPARE(texts(boxes),
                 QStringList{"Le chèque n° 0001233 de ce carnet est déjà inscrit au registre : le "
                             "prochain numéro doit venir après lui."});
        QCOMPARE(w.lblCarnet->text(), QString("Chèque n° 0001240 - Compte courant"));
    }

    // A register held by another program for longer than Tolvo waits, while a cheque
    // prints: the user is told, and the cheque is written, with the number of its
    // leaf, before the next one prints; nothing is written twice.
    void recordWrittenLater()
    {
        useChequebook("0000001", "0000010");
        platform::FakePrinter &printer = platform::useFakePrinter();
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other");
        other.setDatabaseName(registre::filePath());
        QVERIFY(other.open());
        bool hold = false;
        printer.widthOf = [&](const QString &text, float size) {
            if (hold && !other.transaction())
                qWarning() << other.lastError();
            if (hold)
                QSqlQuery(other).exec(
                    "INSERT INTO chequebooks (uid, name, account, first_number, last_number,"
                    " next_number, digits, closed_at) VALUES ('x', 'x', '', 1, 1, 1, 1, '')");
            hold = false;
            return 0.2 * size * text.size();
        };
        frmTolvo w;
        w.Form_Load();
        QVERIFY(showActive(w));
        platform::MessageBoxRecorder boxes;
        for (const QString name : {"Avant", "Pendant", "Après"}) {
            hold = name == "Pendant";
            w.cboMontant->setEditText("10");
            w.cboBénéficiaire->setEditText(name);
            QTRY_VERIFY(w.cboMontant->hasFocus());
            QTest::keyClick(focused(), Qt::Key_F5);
            if (other.isOpen() && name == "Pendant")
                other.rollback();
        }
        other.close();
        QCOMPARE(boxes.shown.size(), 2);
        QCOMPARE(boxes.shown[0].text,
                 "Le chèque n° 0000002 a été imprimé mais n'a pas pu être inscrit au registre. Il le sera "
                 "avant le prochain chèque.\r\nLe registre est occupé par un autre programme.\r\n" +
                     registre::filePath());
        QVERIFY2(boxes.shown[1].text.startsWith("Le chèque Pendant, 10,00 €, imprimé le ") &&
                     boxes.shown[1].text.endsWith(" est maintenant inscrit au registre, n° 0000002."),
                 qPrintable(boxes.shown[1].text));
        QCOMPARE(printer.documents, 3);
        QCOMPARE(sql("SELECT number, beneficiary FROM cheques ORDER BY number"),
                 QString("1|Avant\n2|Pendant\n3|Après"));
    }

    // Two programs print 20 cheques each at the same time on the one chequebook of
    // 40 leaves: 40 rows, every number once, none missing, no failure told.
    void twoProgramsAtOnce()
    {
        useChequebook("0000001", "0000040");
        QProcess children[2];
        const char *names[] = {"Alpha", "Bravo"};
        for (int c = 0; c < 2; ++c) {
            children[c].start(QCoreApplication::applicationFilePath(),
                              {"--print", platform::settingsFolder(), names[c], "20"});
            QVERIFY(children[c].waitForReadyRead(60000) && children[c].readLine() == "ready\n");
        }
        // Both told before either is waited for: they print at the same time.
        for (QProcess &child : children) {
            child.write("go\n");
            QVERIFY(child.waitForBytesWritten(10000));
        }
        for (QProcess &child : children) {
            QVERIFY(child.waitForFinished(300000));
            QVERIFY2(child.exitCode() == 0, child.readAllStandardError().constData());
        }
        QCOMPARE(sql("SELECT COUNT(*), COUNT(DISTINCT number), MIN(number), MAX(number),"
                     " SUM(beneficiary LIKE 'Alpha %'), SUM(beneficiary LIKE 'Bravo %') FROM cheques;"
                     " SELECT next_number FROM chequebooks; SELECT COUNT(*) FROM history"),
                 QString("40|40|1|40|20|20\n41\n40"));
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc == 5 && QByteArray(argv[1]) == "--print")
        return printMany(argv[2], argv[3], QByteArray(argv[4]).toInt());
    TestChequebooks test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_chequebooks.moc"
