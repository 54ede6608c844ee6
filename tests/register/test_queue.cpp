// The queue of cheques to print: a spreadsheet's file imported and printed from the
// main window onto "Fichier PDF" (each page read back), cheques typed in place with
// the main window's rules and kept as typed, the refusals before anything prints, a
// printer that fails in the middle of a batch, a batch stopped, and a program killed
// while it prints a batch.

#include "app/frmTolvo.h"
#include "cheque/ChequeJob.h"
#include "cheque/ChequeLayout.h"
#include "cheque/frmApercu.h"
#include "cheque/frmImpression.h"
#include "dialogs/frmMsgBox.h"
#include "platform/Application.h"
#include "platform/forms/FileDialog.h"
#include "platform/forms/MessageBox.h"
#include "platform/help/HelpKey.h"
#include "platform/print/PdfPrinter.h"
#include "register/Recording.h"
#include "register/frmAImprimer.h"
#include "register/frmImport.h"
#include "support/CsvFiles.h"
#include "support/FakePrinter.h"
#include "support/Gui.h"
#include "support/PdfText.h"
#include "support/RegisterFiles.h"
#include "support/TestFiles.h"

#include <QtTest>
#include <QtWidgets>

using namespace testsupport;

namespace {

// The queue as the register holds it, in its order.
QString queued()
{
    return sql("SELECT beneficiary, amount, cheque_date, note FROM queue ORDER BY position");
}

// What the main window gives: "Fichier PDF" in landscape, its date field as given.
registre::PrintSettings mainWindow(const QString &date)
{
    return {cheque::ChequeInput{"", "", "", false, "7", "2", "90", 0, 0, "Arial"}, "Fichier PDF",
            "Bac par défaut", "Orientation Paysage", date};
}

// Cheques "<name> 1" to "<name> n" of 10, 20... euros, without a date.
void enqueue(const QString &name, int count)
{
    QList<registre::ImportedCheque> cheques;
    for (int i = 1; i <= count; ++i)
        cheques << registre::ImportedCheque{QString("%1 %2").arg(name).arg(i), QString("%1,00").arg(i * 10),
                                            "", ""};
    registre::Register reg;
    QVERIFY(reg.open() && reg.enqueue(cheques));
}

// Answers the confirmation with "Imprimer", keeping its text.
std::function<void(QDialog &)> confirm(QString *text)
{
    return [text](QDialog &dialog) {
        auto &box = dynamic_cast<frmMsgBox &>(dialog);
        *text = box.Message();
        box.show();
        QTest::keyClick(box.cmdAction[1], Qt::Key_Return);
    };
}

void activate(QDialog &dialog)
{
    dialog.show();
    QApplication::setActiveWindow(&dialog);
}

// "Fichier PDF" that does not hand over its failAt-th document, and tells each one.
class FailingPdf : public platform::Printers {
public:
    struct Printer : platform::PdfPrinter {
        using PdfPrinter::PdfPrinter;
        int documents = 0, failAt = 0;
        std::function<void(int)> delivering;
        void deliver(const QByteArray &pdf) override
        {
            ++documents;
            if (delivering)
                delivering(documents);
            if (documents == failAt)
                throw platform::PrinterError("L'imprimante ne répond pas.");
            PdfPrinter::deliver(pdf);
        }
    };
    explicit FailingPdf(const QString &folder) : printer(folder) {}
    Printer printer;
    int count() const override { return 1; }
    platform::Printer &at(int) override { return printer; }
    platform::Printer &current() override { return printer; }
    void setCurrent(int) override {}
};

FailingPdf::Printer &useFailingPdf(const QString &folder)
{
    auto printers = std::make_unique<FailingPdf>(folder);
    FailingPdf::Printer &printer = printers->printer;
    platform::setPrinters(std::move(printers));
    return printer;
}

frmImpression *printingWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *printing = qobject_cast<frmImpression *>(w); printing && printing->isVisible())
            return printing;
    return nullptr;
}

// Child of the kill test: prints the whole queue from the window, "ready" once it starts.
int printQueue(const QString &folder)
{
    platform::setApplicationFolder(folder);
    platform::setPrinters(std::make_unique<FailingPdf>(folder + "/pdf"));
    frmÀImprimer w(nullptr, [] { return mainWindow("05/12/26"); });
    platform::MessageBoxRecorder boxes;
    boxes.queueDialog([](QDialog &dialog) {
        std::puts("ready");
        std::fflush(stdout);
        QString text;
        confirm (&text)(dialog);
    });
    w.cmdImprimerTout_Click();
    return 0;
}

} // namespace

class TestQueue : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void initTestCase() { platform::installHelpKey(); }

    void init()
    {
        const QString folder = dir.filePath(QTest::currentTestFunction());
        QVERIFY(QDir().mkpath(folder));
        platform::setApplicationFolder(folder);
        platform::setToday(QDate(2026, 12, 5));
        useFailingPdf(folder + "/pdf");
    }

    // From the main window: "Chèques à imprimer", the import left by Escape, then the
    // LibreOffice file imported with its 2 bad rows told and shown, the 18 others added
    // (nothing twice) and printed with stars in one go, each on
    // its own page and number, in the queue's order; the queue is empty after.
    void importedAndPrinted()
    {
        useChequebook("0001230", "0001259");
        const QString csv = platform::settingsFile("paiements.csv");
        QVERIFY(writeAll(csv, libreOfficeFile()));
        platform::setOpenFileNameAnswer([&](const QString &) { return csv; });
        frmTolvo w;
        w.Form_Load();
        QVERIFY(showActive(w));
        w.txtDate->setText("05/12/26");
        w.chkEtoiles->setChecked(true);
        platform::MessageBoxRecorder boxes;
        QStringList seen;
        QString confirmation;
        boxes.queueDialog([&](QDialog &dialog) {
            auto &q = dynamic_cast<frmÀImprimer &>(dialog);
            activate(q);
            seen << QString::number(f1(q.grdChèques)) << q.lblTotal->text();
            alt(q, 'i'); // left by Escape
            alt(q, 'i');
            seen << QString::number(q.model()->rowCount()) << q.lblTotal->text();
            alt(q, 't');
            seen << q.lblTotal->text();
            QTest::keyClick(&q, Qt::Key_Escape);
        });
        boxes.queueDialog([&](QDialog &dialog) {
            activate(dialog);
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        boxes.queueDialog([&](QDialog &dialog) {
            auto &d = dynamic_cast<frmImport &>(dialog);
            activate(d);
            seen << QString::number(f1(d.grdLignes)) << d.lblRésumé->text() << d.cmdAjouter->text();
            for (int i = 0; i < d.lstProblèmes->count(); ++i)
                seen << d.lstProblèmes->item(i)->text();
            alt(d, 'p'); // going through the problems shows their rows
            QTest::keyClick(focused(), Qt::Key_Down);
            seen << QString::number(d.grdLignes->currentIndex().row());
            alt(d, 'a');
        });
        boxes.queueDialog(confirm(&confirmation));
        QTest::keyClick(&w, Qt::Key_H, Qt::AltModifier);
        QTRY_VERIFY(w.mnuChèques->isVisible());
        QTest::keyClick(w.mnuChèques, Qt::Key_I);
        QTRY_VERIFY2(boxes.dialogsRun == 4, qPrintable((seen + texts(boxes)).join('\n')));
        platform::setOpenFileNameAnswer(nullptr);

        QCOMPARE(seen, QStringList({"1011", "Aucun chèque en attente.", "1012",
                                    "20 lignes lues. À ajouter : 18 chèques, total 3 738,05 €. Refusées, à "
                                    "corriger dans le fichier : 2 lignes.",
                                    "&Ajouter les 18 chèques corrects", libreOfficeProblems[0],
                                    libreOfficeProblems[1], "18", "18", "18 chèques, total 3 738,05 €",
                                    "Aucun chèque en attente."}));
        QCOMPARE(confirmation,
                 "Imprimer 18 chèques, total 3 738,05 €,\r\n   sur l'imprimante : Fichier PDF\r\n"
                 "   Bac par défaut\r\n   Orientation Paysage\r\n"
                 "Ils prendront les n° 0001230 à 0001247 du carnet « Compte courant ».");
        const QString folder = platform::settingsFile("pdf");
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(boxes.shown[0].text, "18 chèques imprimés et inscrits au registre, n° 0001230 à 0001247.\r\n"
                                      "Les fichiers PDF sont dans le dossier " +
                                          folder + ".");
        QCOMPARE(queued(), QString());
        QCOMPARE(w.lblCarnet->text(), QString("Chèque n° 0001248 - Compte courant"));

        // Each cheque its own file of one page, holding its texts and nothing else.
        const QStringList rows = sql("SELECT number, beneficiary, amount, cheque_date, status, pdf_file FROM "
                                     "cheques ORDER BY number")
                                     .split('\n');
        const QStringList cheques = libreOfficeCheques();
        QCOMPARE(rows.size(), cheques.size());
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), cheques.size());
        const auto words = [](const QString &text) { return text.split(' ', Qt::SkipEmptyParts); };
        for (int i = 0; i < cheques.size(); ++i) {
            const QStringList c = cheques[i].split('|'), r = rows[i].split('|');
            const QString date = c[2].isEmpty() ? "05/12/2026" : c[2];
            QCOMPARE(r.mid(0, 5), QStringList({QString::number(1230 + i), c[0],
                                               cheque::FiguresText(c[1], false), date, "émis"}));
            const QList<PdfPage> pages = pdfPages(r[5]);
            QCOMPARE(pages.size(), 1);
            QStringList printed, expected = words(c[0]) + words(date) +
                                            words(cheque::FiguresText(c[1], true)) +
                                            words(cheque::WordsText(c[1], true));
            for (const PdfWord &word : pages[0].words)
                printed << word.text;
            printed.sort();
            expected.sort();
            QCOMPARE(printed, expected);
        }
    }

    // Typed in place: the amount through the main window's key filter and paste rule,
    // written to the register before its cell is left and normalised once it is, the
    // date as the date field takes it, Escape giving the text back; reordered and
    // removed; all of it there again in a new window.
    void typedInPlace()
    {
        enqueue("Fournisseur", 3);
        frmÀImprimer q(nullptr, [] { return mainWindow("05/12/26"); });
        QVERIFY(showActive(q));
        QStringList captions; // each access key of the window once
        for (const QWidget *o : q.findChildren<QWidget *>())
            if (const QString text = o->property("text").toString(); text.contains('&'))
                captions << text;
        QVERIFY(captions.size() == 10 && accessKeysOnce(captions));
        platform::MessageBoxRecorder boxes;
        alt(q, 'a');
        type("Zoé Lefèvre\t12a.3,45");
        QCOMPARE(queued().split('\n').value(3), QString("Zoé Lefèvre|12,345||"));
        type("\t5/1/27\tFacture 7\r");
        QApplication::processEvents();
        QCOMPARE(queued().split('\n').value(3), QString("Zoé Lefèvre|12,35|05/01/2027|Facture 7"));

        const struct {
            QString clipboard, typed, shown, tip;
        } pastes[] = {
            {"1 234,5", "\r", "1 234,50", ""},
            {"12abc", "\r", "1 234,50", ""}, // refused whole: the field keeps its text
            {"3000000000", "\r", "3000000000,00", "Le montant du chèque est trop élevé."},
            {"", "99\x1b", "3000000000,00", "Le montant du chèque est trop élevé."}, // Escape
            {"", "0\r", "0,00", "Un montant nul n'est pas autorisé."},
            {"", "80\r", "80,00", ""},
        };
        const QModelIndex amount = q.model()->index(3, registre::QueueModel::Amount);
        for (const auto &p : pastes) {
            q.grdChèques->setCurrentIndex(amount);
            QTest::keyClick(q.grdChèques, Qt::Key_F2);
            QTest::keyClick(focused(), Qt::Key_A, Qt::ControlModifier);
            if (!p.clipboard.isEmpty()) {
                QGuiApplication::clipboard()->setText(p.clipboard);
                QTest::keyClick(focused(), Qt::Key_V, Qt::ControlModifier);
            }
            type(p.typed);
            QApplication::processEvents(); // the cell is closed after its editor saw the key
            QCOMPARE(amount.data().toString(), p.shown);
            QCOMPARE(amount.data(Qt::ToolTipRole).toString(), p.tip);
        }
        QCOMPARE(q.lblTotal->text(), QString("4 chèques, total 140,00 €"));

        // Fournisseur 1, 2, 3, Zoé: the last two up twice (the second time against the
        // top), then down; Delete answered "Non", then "Oui".
        q.grdChèques->setFocus();
        q.grdChèques->selectRow(2);
        QTest::keyClick(q.grdChèques, Qt::Key_Down, Qt::ShiftModifier);
        QStringList orders;
        for (const char key : {'m', 'm', 'm', 'd'}) {
            alt(q, key);
            orders << sql(
                "SELECT group_concat(substr(beneficiary, -1), '') FROM (SELECT beneficiary FROM queue"
                " ORDER BY position)");
        }
        QCOMPARE(orders, QStringList({"13e2", "3e12", "3e12", "13e2"}));
        q.grdChèques->setFocus();
        boxes.queueAnswer(QMessageBox::No);
        QTest::keyClick(q.grdChèques, Qt::Key_Delete);
        boxes.queueAnswer(QMessageBox::Yes);
        QTest::keyClick(q.grdChèques, Qt::Key_Delete);
        QCOMPARE(boxes.shown.size(), 2);
        QCOMPARE(boxes.shown[0].text, QString("Retirer de la file les 2 chèques choisis ?"));
        QCOMPARE(queued(), QString("Fournisseur 1|10,00||\nFournisseur 2|20,00||"));

        frmÀImprimer again(nullptr, [] { return mainWindow("05/12/26"); });
        QCOMPARE(again.model()->rowCount(), 2);
        QCOMPARE(again.lblTotal->text(), QString("2 chèques, total 30,00 €"));

        // The queue out of reach (its table gone from under the window): the rows shown
        // stay, and the user is told.
        sql("ALTER TABLE queue RENAME TO queue_aside");
        QVERIFY(showActive(again));
        platform::MessageBoxRecorder lost;
        again.grdChèques->setFocus();
        again.grdChèques->selectRow(1);
        alt(again, 'm');
        QCOMPARE(texts(lost).value(1).section("\r\n", 0, 0),
                 QString("La file des chèques à imprimer ne peut pas être lue."));
        QCOMPARE(again.model()->rowCount(), 2);
        sql("ALTER TABLE queue_aside RENAME TO queue");
    }

    // Nothing prints while one cheque cannot, nor when the chequebook lacks leaves:
    // the message names the cheque, whose cell gets the focus. "Aperçu" shows a
    // cheque that can print.
    void refusedBeforePrinting()
    {
        enqueue("Fournisseur", 3);
        {
            registre::Register reg;
            QVERIFY(reg.open() &&
                    reg.enqueue({{"Trop", "3000000000,00", "", ""}, {"Daté", "5,00", "31/02/2026", ""}}));
        }
        const QString none = "\r\nRien n'a été imprimé.",
                      date = "La date du chèque n'est pas une date valide.";
        const int amount = registre::QueueModel::Amount, dateColumn = registre::QueueModel::Date;
        const struct {
            QString date;      // the main window's
            QStringList order; // rows removed first, by name
            int lastLeaf;      // of the chequebook from 1; 0: none in use
            QString message;
            int column; // of the cell given the focus
        } cases[] = {
            // clang-format off
            {"05/12/26", {}, 0, "Le chèque de la ligne 4 (Trop) ne peut pas être imprimé :\r\n"
                                "Le montant du chèque est trop élevé." + none, amount},
            {"05/12/26", {"Trop"}, 0, "Le chèque de la ligne 4 (Daté) ne peut pas être imprimé :\r\n" + date +
                                      "\r\nVeuillez la corriger." + none, dateColumn},
            {"31/02/26", {"Daté"}, 0, "Le chèque de la ligne 1 (Fournisseur 1) ne peut pas être imprimé :\r\nIl "
             "prend la date de la fenêtre principale, « 31/02/26 », qui n'est pas une date valide." + none, dateColumn},
            {"05/12/26", {}, 2, "Le carnet « Compte courant » n'a plus que 2 chèques (n° 0000001 à 0000002) pour 3 "
             "chèques." + none + " Imprimez une sélection de 2 chèques au plus, ou passez au carnet suivant dans "
             "« Carnets de chèques ».", -1},
            // clang-format on
        };
        for (const auto &c : cases) {
            for (const QString &name : c.order)
                sql(QString("DELETE FROM queue WHERE beneficiary = '%1'").arg(name));
            if (c.lastLeaf)
                useChequebook("0000001", QString("%1").arg(c.lastLeaf, 7, 10, QChar('0')));
            frmÀImprimer q(nullptr, [&] { return mainWindow(c.date); });
            QVERIFY(showActive(q));
            platform::MessageBoxRecorder boxes;
            alt(q, 't');
            QCOMPARE(boxes.shown.value(0).text, c.message);
            QCOMPARE(boxes.dialogsRun, 0);
            if (c.column >= 0)
                QCOMPARE(q.grdChèques->currentIndex().column(), c.column);
        }
        QCOMPARE(sql("SELECT COUNT(*) FROM cheques"), QString("0"));
        QCOMPARE(QDir(platform::settingsFile("pdf")).exists(), false);

        frmÀImprimer q(nullptr, [] { return mainWindow("05/12/26"); });
        QVERIFY(showActive(q));
        platform::MessageBoxRecorder boxes;
        QString preview;
        boxes.queueDialog([&](QDialog &d) { preview = dynamic_cast<frmAperçu &>(d).lblNote->text(); });
        q.grdChèques->selectRow(1);
        alt(q, 'p');
        QCOMPARE(preview, QString("Police « Arial », ajustement horizontal 0 mm, vertical 0 mm."));
    }

    // No printer at all: nothing recorded, all still queued, and said so. A printer
    // that fails on the seventh cheque of 18: six recorded with their numbers and gone
    // from the queue, twelve still in it, as the message says. The rest printed again
    // and stopped during the third: three more, nine left.
    void failureThenStop()
    {
        useChequebook("0000001", "0000100");
        enqueue("Fournisseur", 18);
        frmÀImprimer q(nullptr, [] { return mainWindow("05/12/26"); });
        QVERIFY(showActive(q));
        platform::MessageBoxRecorder boxes;
        QString confirmation;

        // No printer at all: nothing printed is no success.
        platform::setPrinters(std::make_unique<platform::FakePrinters>());
        boxes.queueDialog(confirm(&confirmation));
        alt(q, 't');
        QCOMPARE(
            boxes.shown.value(0).text.section("\r\n", 0, 2),
            "Le chèque de 10,00 € à Fournisseur 1 n'a pas été imprimé :\r\nL'imprimante « Fichier PDF » n'a "
            "rien reçu.\r\nAucun chèque n'a été imprimé.");
        QCOMPARE(q.model()->rowCount(), 18);

        // Another program prints the queue: two batches at once would print a cheque
        // twice. Refused once confirmed, before any page.
        {
            QLockFile other(registre::filePath() + "-impression.lock");
            QVERIFY(other.tryLock(0));
            boxes.shown.clear();
            boxes.queueDialog(confirm(&confirmation));
            alt(q, 't');
            QVERIFY2(boxes.shown.value(0).text.startsWith(
                         "Les chèques à imprimer sont déjà en cours d'impression dans un autre programme"),
                     qPrintable(boxes.shown.value(0).text));
            QCOMPARE(q.model()->rowCount(), 18);
        }

        boxes.shown.clear();
        auto &printer = useFailingPdf(platform::settingsFile("pdf"));
        printer.failAt = 7;
        QStringList progress;
        printer.delivering = [&](int) {
            frmImpression *printing = printingWindow();
            progress << (printing ? printing->lblImpression->text() : "none");
        };
        boxes.queueDialog(confirm(&confirmation));
        alt(q, 't');
        QCOMPARE(progress.size(), 7);
        QCOMPARE(progress.last(), QString("Chèque 7 sur 18"));
        QCOMPARE(boxes.shown.size(), 1);
        const QString folder = QDir::toNativeSeparators(platform::settingsFile("pdf"));
        QCOMPARE(
            boxes.shown[0].text,
            "Le chèque de 70,00 € à Fournisseur 7 n'a pas été imprimé :\r\nL'imprimante ne répond pas.\r\n"
            "6 chèques imprimés et inscrits au registre, n° 0000001 à 0000006.\r\n12 chèques restent dans la "
            "file : Fournisseur 7, Fournisseur 8, Fournisseur 9, Fournisseur 10, Fournisseur 11 et 7 "
            "autres.\r\n"
            "Les fichiers PDF sont dans le dossier " +
                folder + ".");
        QCOMPARE(boxes.shown[0].icon, platform::MsgIcon::Exclamation);
        QCOMPARE(
            sql("SELECT group_concat(number || ' ' || beneficiary, ', ') FROM cheques"),
            QString("1 Fournisseur 1, 2 Fournisseur 2, 3 Fournisseur 3, 4 Fournisseur 4, 5 Fournisseur 5, "
                    "6 Fournisseur 6"));
        QCOMPARE(sql("SELECT group_concat(substr(beneficiary, 13), ' ') FROM (SELECT beneficiary FROM queue"
                     " ORDER BY position)"),
                 QString("7 8 9 10 11 12 13 14 15 16 17 18"));
        QCOMPARE(q.model()->rowCount(), 12);

        // The stop is pressed while the third cheque prints: the button's click waits
        // in the event queue until the window looks at it, between two cheques.
        printer.failAt = 0;
        printer.documents = 0;
        printer.delivering = [](int document) {
            frmImpression *printing = printingWindow();
            if (document != 3 || !printing)
                return;
            const QPoint centre = printing->cmdArrêter->rect().center();
            for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
                QCoreApplication::postEvent(printing->cmdArrêter,
                                            new QMouseEvent(type, centre,
                                                            printing->cmdArrêter->mapToGlobal(centre),
                                                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        };
        boxes.shown.clear();
        boxes.queueDialog(confirm(&confirmation));
        alt(q, 't');
        QVERIFY2(confirmation.startsWith("Imprimer 12 chèques, total 1 500,00 €,"), qPrintable(confirmation));
        QVERIFY(
            confirmation.endsWith("Ils prendront les n° 0000007 à 0000018 du carnet « Compte courant »."));
        QCOMPARE(
            boxes.shown.value(0).text,
            "Impression arrêtée.\r\n3 chèques imprimés et inscrits au registre, n° 0000007 à 0000009.\r\n9 "
            "chèques restent dans la file : Fournisseur 10, Fournisseur 11, Fournisseur 12, Fournisseur 13, "
            "Fournisseur 14 et 4 autres.\r\nLes fichiers PDF sont dans le dossier " +
                folder + ".");
        QCOMPARE(sql("SELECT COUNT(*), MAX(number) FROM cheques; SELECT COUNT(*) FROM queue"),
                 QString("9|9\n9"));
    }

    // A program killed while it prints a batch, again and again: each cheque is
    // either recorded, with its number in the queue's order, or still queued, never
    // both and never neither; at most the page of the cheque being recorded was
    // handed over without its record.
    void killedWhilePrinting()
    {
        constexpr int count = 400;
        useChequebook("000001", "999999");
        enqueue("Nom", count);
        const QString pdf = platform::settingsFile("pdf");
        int last = 0;
        for (int kill = 0; kill < 5; ++kill) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(),
                        {"--print-queue", platform::settingsFolder()});
            QVERIFY(child.waitForReadyRead(60000) && child.readLine() == "ready\n");
            QThread::usleep(50000 + QRandomGenerator::global()->bounded(250000));
            child.kill();
            QVERIFY(child.waitForFinished());
            const QStringList state =
                sql("PRAGMA integrity_check; SELECT"
                    " (SELECT COUNT(*) FROM queue) + (SELECT COUNT(*) FROM cheques),"
                    " (SELECT COUNT(*) FROM queue JOIN cheques USING (beneficiary)),"
                    " (SELECT COUNT(DISTINCT beneficiary) FROM (SELECT beneficiary FROM queue UNION ALL"
                    "  SELECT beneficiary FROM cheques)),"
                    " (SELECT COUNT(*) FROM cheques WHERE number <> CAST(substr(beneficiary, 5) AS INTEGER)),"
                    " (SELECT COUNT(*) FROM queue WHERE CAST(substr(beneficiary, 5) AS INTEGER) <="
                    "  (SELECT COUNT(*) FROM cheques)),"
                    " (SELECT COUNT(*) FROM cheques)")
                    .split(QRegularExpression("[|\n]"));
            const int recorded = state.value(6).toInt();
            const qsizetype pages = QDir(pdf).entryList(QDir::Files).size();
            QVERIFY2(state.size() == 7 && state[0] == "ok" && state[1] == QString::number(count) &&
                         state[2] == "0" && state[3] == QString::number(count) && state[4] == "0" &&
                         state[5] == "0" && recorded >= last && recorded < count && pages >= recorded &&
                         pages <= recorded + kill + 1,
                     qPrintable(state.join(' ') + QString(" pages %1").arg(pages)));
            last = recorded;
            registre::Register reg;
            QVERIFY2(reg.open() && reg.setAsideAs().isEmpty(), qPrintable(reg.error()));
        }
        QVERIFY(last > 0);
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--print-queue")
        return printQueue(argv[2]);
    TestQueue test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_queue.moc"
