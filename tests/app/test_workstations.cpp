// Workstations of one office printing into one register on a PostgreSQL server
// started by the test: two programs printing at once, each on its own chequebook; a
// chequebook taken from another workstation only when the user says so; the server
// stopped and started again under F5 and in a batch of queued cheques, and a page
// whose record was lost on the way; the password asked once per run when there is
// no keyring.

#include "app/frmTolvo.h"
#include "dialogs/frmMsgBox.h"
#include "platform/Application.h"
#include "platform/Keyring.h"
#include "platform/UserName.h"
#include "platform/forms/MessageBox.h"
#include "platform/help/HelpKey.h"
#include "register/Recording.h"
#include "register/Register.h"
#include "register/frmAImprimer.h"
#include "register/frmCarnets.h"
#include "register/frmRegistre.h"
#include "settings/CINIFile.h"
#include "settings/Settings.h"
#include "support/FakePrinter.h"
#include "support/Gui.h"
#include "support/PrivatePostgres.h"
#include "support/TestFiles.h"
#include "support/TestKeyring.h"
#include "support/TestPrinters.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace testsupport;

namespace {

PrivatePostgres *server = nullptr;

// A workstation: its settings folder, pointing at the server, and its name.
void beWorkstation(const QString &folder, const QString &name, const QString &host, int port)
{
    QDir().mkpath(folder);
    platform::setApplicationFolder(folder);
    platform::setWorkstationName(name);
    CINIFile ini;
    ini.setFile(settings::filePath());
    ini.setSection(settings::section::ServeurDuRegistre);
    ini.setValue(settings::key::Utiliser, settings::value::Oui);
    ini.setValue(settings::key::Hôte, host);
    ini.setValue(settings::key::Port, port);
}

registre::Chequebook addChequebook(const QString &name, qint64 first, qint64 last)
{
    registre::Register reg;
    registre::Chequebook book;
    const auto typed = [](qint64 n) { return QString("%1").arg(n, 7, 10, QChar('0')); };
    registre::checkChequebook({name, "", typed(first), typed(last), typed(first)}, book);
    if (!reg.open() || !reg.saveChequebook(book))
        qWarning("%s", qPrintable(reg.error()));
    return book;
}

// Types a cheque in the main window and presses F5.
void printCheque(frmTolvo &w, const QString &amount, const QString &beneficiary)
{
    w.cboMontant->setEditText(amount);
    w.cboBénéficiaire->setEditText(beneficiary);
    // Each cheque once the window has the focus back from the printing window or a box.
    w.activateWindow();
    if (!QTest::qWaitFor([&] { return w.isActiveWindow() && w.cboMontant->hasFocus(); }))
        qWarning("the main window did not get the focus back");
    QTest::keyClick(w.cboMontant, Qt::Key_F5);
}

// Child of the two-workstation test: prints `count` cheques with F5 once told to go,
// then, once told, says the totals its register window shows. The exit code counts
// the boxes other than the leaves left.
int workstation(const QString &folder, const QString &name, const QString &host, int port, int count)
{
    beWorkstation(folder, name, host, port);
    platform::setKeyring(std::make_unique<TestKeyring>());
    registre::rememberPassword(registre::location().server, PrivatePostgres::password, nullptr);
    platform::setPrinters(std::make_unique<PdfOnly>(folder + "/pdf"));
    frmTolvo w;
    w.Form_Load();
    if (!showActive(w) || !QTest::qWaitFor([&] { return w.lblCarnet->text().startsWith("Chèque n° "); }))
        return 100;
    platform::MessageBoxRecorder boxes;
    std::puts("ready");
    std::fflush(stdout);
    char line[8];
    if (!std::fgets(line, sizeof line, stdin))
        return 101;
    for (int i = 1; i <= count; ++i)
        printCheque(w, QString("%1,00").arg(i), QString("%1 %2").arg(name).arg(i));
    std::puts("printed");
    std::fflush(stdout);
    if (!std::fgets(line, sizeof line, stdin))
        return 102;
    frmRegistre r(&w);
    std::printf("%s|%s\n", qPrintable(r.lblTotal->text()), qPrintable(r.lblADébiter->text()));
    return unexpectedBoxes(boxes);
}

} // namespace

class TestWorkstations : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QString folder(const QString &name) const
    {
        return dir.filePath(QString(QTest::currentTestFunction()) + "/" + name);
    }

private slots:
    void initTestCase()
    {
        platform::installHelpKey();
        QVERIFY2(server->isRunning(), qPrintable(server->errorString()));
    }

    void init()
    {
        // A test that failed with the server stopped leaves it so.
        QVERIFY(server->isRunning() || server->start());
        platform::setKeyring(std::make_unique<TestKeyring>());
        platform::setToday(QDate());
        beWorkstation(folder("COMPTA-2"), "COMPTA-2", server->host(), server->port());
        registre::rememberPassword(registre::location().server, PrivatePostgres::password, nullptr);
    }

    // Two workstations print 20 cheques each at the same time, each on its own
    // chequebook: 40 rows, each chequebook's numbers in order without a gap, the same
    // totals in both register windows. The second one is refused the first one's
    // chequebook until it takes it over; then the first is refused it, before printing.
    void twoWorkstations()
    {
        const registre::Chequebook books[] = {addChequebook("Poste 1", 1, 100),
                                              addChequebook("Poste 2", 101, 200)};
        const QString names[] = {"COMPTA-1", "COMPTA-2"};
        QProcess children[2];
        for (int c = 0; c < 2; ++c) {
            beWorkstation(folder(names[c]), names[c], server->host(), server->port());
            registre::setChequebookInUse(books[c].uid);
            children[c].start(QCoreApplication::applicationFilePath(),
                              {"--workstation", folder(names[c]), names[c], server->host(),
                               QString::number(server->port()), "20"});
            QVERIFY(children[c].waitForReadyRead(60000));
            QCOMPARE(children[c].readLine(), QByteArray("ready\n"));
        }
        // Both told before either is waited for: they print at the same time.
        for (QProcess &child : children) {
            child.write("go\n");
            QVERIFY(child.waitForBytesWritten(10000));
        }
        for (QProcess &child : children) {
            QVERIFY(child.waitForReadyRead(300000));
            QCOMPARE(child.readLine(), QByteArray("printed\n"));
        }
        QStringList totals;
        for (QProcess &child : children) {
            child.write("show\n");
            QVERIFY(child.waitForFinished(60000));
            QVERIFY2(child.exitCode() == 0, child.readAllStandardError().constData());
            totals << QString::fromUtf8(child.readAllStandardOutput()).trimmed();
        }
        const QString both = "40 chèques, total 420,00 €|À débiter : 40 chèques, 420,00 €";
        QCOMPARE(totals, QStringList({both, both}));
        QCOMPARE(
            server->sql(
                "SELECT b.name, string_agg(c.number::text, ' ' ORDER BY c.id), MIN(c.beneficiary),"
                " b.next_number, b.claimed_by FROM cheques c JOIN chequebooks b ON b.id = c.chequebook_id"
                " WHERE b.name LIKE 'Poste %' GROUP BY b.name, b.next_number, b.claimed_by ORDER BY 1"),
            QString("Poste 1|1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20|COMPTA-1 1|21|COMPTA-1\n"
                    "Poste 2|101 102 103 104 105 106 107 108 109 110 111 112 113 114 115 116 117 118 119 120|"
                    "COMPTA-2 1|121|COMPTA-2"));

        // COMPTA-2 asks for COMPTA-1's chequebook: told where it is, it keeps its own;
        // then takes it over.
        beWorkstation(folder("COMPTA-2"), "COMPTA-2", server->host(), server->port());
        platform::setPrinters(std::make_unique<PdfOnly>(folder("COMPTA-2") + "/pdf"));
        const auto claimOf = [](const QString &name) {
            const QDateTime at = QDateTime::fromString(
                server->sql("SELECT claimed_at FROM chequebooks WHERE name = 'Poste 1'"), Qt::ISODate);
            return QString("Ce carnet est utilisé sur le poste %1 depuis le %2 à %3.")
                .arg(name, at.toString("dd/MM/yyyy"), at.toString("HH:mm"));
        };
        const QString claimed = claimOf("COMPTA-1");
        QStringList asked;
        for (const bool take : {false, true}) {
            platform::MessageBoxRecorder boxes;
            boxes.queueDialog([&](QDialog &dialog) {
                auto &d = dynamic_cast<frmCarnets &>(dialog);
                d.show();
                const QList<QTableWidgetItem *> row = d.grdCarnets->findItems("Poste 1", Qt::MatchExactly);
                QCOMPARE(row.size(), 1);
                d.grdCarnets->selectRow(row[0]->row());
                QCOMPARE(d.grdCarnets->item(row[0]->row(), 5)->text(),
                         QString("sur le poste COMPTA-1, en service"));
                d.cmdUtiliser->click();
            });
            boxes.queueDialog([&](QDialog &dialog) {
                auto &box = dynamic_cast<frmMsgBox &>(dialog);
                asked << box.Message() + " [" + box.ButtonCaption(1) + "]";
                box.show();
                QTest::keyClick(box.cmdAction[take ? 1 : 2], Qt::Key_Return);
            });
            showChequebooks(nullptr);
            QCOMPARE(boxes.dialogsRun, 2);
            QCOMPARE(registre::chequebookInUse(), books[take ? 0 : 1].uid);
        }
        const QString question =
            "\r\nLe prendre pour ce poste ? Le poste COMPTA-1 ne pourra plus imprimer sur ce "
            "carnet. [Le prendre]";
        QCOMPARE(asked, QStringList({claimed + question, claimed + question}));
        QCOMPARE(
            server->sql(
                "SELECT name || ':' || claimed_by FROM chequebooks WHERE name LIKE 'Poste %' ORDER BY name"),
            QString("Poste 1:COMPTA-2\nPoste 2:"));
        {
            frmTolvo w;
            w.Form_Load(); // nothing reaches the server before the window is on screen
            QCOMPARE(w.lblCarnet->text(),
                     QString("Registre des chèques sur le serveur %1, base tolvo.").arg(server->host()));
            QVERIFY(showActive(w));
            QTRY_COMPARE(w.lblCarnet->text(), QString("Chèque n° 0000021 - Poste 1"));
            platform::MessageBoxRecorder boxes;
            printCheque(w, "21,00", "Repris");
            QCOMPARE(texts(boxes), QStringList());
        }

        // COMPTA-1 is refused its former chequebook before anything is printed.
        beWorkstation(folder("COMPTA-1"), "COMPTA-1", server->host(), server->port());
        platform::setPrinters(std::make_unique<PdfOnly>(folder("COMPTA-1") + "/pdf"));
        frmTolvo w;
        w.Form_Load();
        QVERIFY(showActive(w));
        QTRY_COMPARE(
            w.lblCarnet->text(),
            QString("Le carnet « Poste 1 » est utilisé sur le poste COMPTA-2 : choisissez-en un autre."));
        platform::MessageBoxRecorder boxes;
        QString refused, offered;
        boxes.queueDialog([&](QDialog &dialog) { // "Carnets..." opens them
            auto &box = dynamic_cast<frmMsgBox &>(dialog);
            refused = box.Message();
            box.show();
            QTest::keyClick(box.cmdAction[1], Qt::Key_Return);
        });
        boxes.queueDialog([&](QDialog &dialog) {
            auto &d = dynamic_cast<frmCarnets &>(dialog);
            offered = d.lblEnUsage->text() + " [" + d.cmdUtiliser->text() + "]";
        });
        printCheque(w, "22,00", "Refusé");
        QCOMPARE(offered,
                 QString("Le carnet « Poste 1 » est maintenant utilisé sur le poste COMPTA-2 : choisissez un "
                         "carnet pour ce poste (COMPTA-1). [&Utiliser ce carnet]"));
        QCOMPARE(refused,
                 claimOf("COMPTA-2") +
                     "\r\nRien n'a été imprimé. Pour imprimer sur ce carnet depuis ce poste, prenez-le dans "
                     "« Carnets de chèques ».");
        QCOMPARE(w.cboMontant->currentText(), QString("22,00"));
        QCOMPARE(QDir(folder("COMPTA-1") + "/pdf").entryList(QDir::Files).size(), 20);
        QCOMPARE(server->sql("SELECT COUNT(*), MAX(number) FROM cheques WHERE chequebook_id = " +
                             QString::number(books[0].id)),
                 QString("21|21"));
    }

    // The server stopped: F5 is refused with the reason before anything is printed,
    // the cheque kept; started again, the next F5 prints. A page whose record was
    // lost (the server stopped while it printed) is told with its number, kept in the
    // journal through a restart of the program, and written once when the server is
    // back, before the next cheque.
    void serverLost()
    {
        const registre::Chequebook book = addChequebook("Perte", 1, 50);
        registre::setChequebookInUse(book.uid);
        platform::FakePrinter &printer = platform::useFakePrinter();
        const QString where = QString("serveur %1, base tolvo").arg(server->host());
        auto window = std::make_unique<frmTolvo>();
        window->Form_Load();
        QVERIFY(showActive(*window));
        platform::MessageBoxRecorder boxes;
        printCheque(*window, "10", "Un");
        QVERIFY(server->stop());
        printCheque(*window, "20", "Deux");
        QCOMPARE(boxes.shown.size(), 1);
        QVERIFY2(boxes.shown[0].text.startsWith(
                     QString("Le chèque ne peut pas être inscrit au registre : rien n'a été "
                             "imprimé.\r\nLe serveur « %1 » ne répond pas (port %2)")
                         .arg(server->host())
                         .arg(server->port())) &&
                     boxes.shown[0].text.endsWith("\r\n" + where),
                 qPrintable(boxes.shown[0].text));
        QCOMPARE(printer.documents, 1);
        QCOMPARE(window->cboMontant->currentText(), QString("20,00"));
        QCOMPARE(window->cboBénéficiaire->currentText(), QString("Deux"));
        QVERIFY(server->start());
        printCheque(*window, "20", "Deux");
        QCOMPARE(printer.documents, 2);

        // The server goes while the third page is being drawn.
        bool stopWhilePrinting = true;
        printer.widthOf = [&](const QString &text, float size) {
            if (std::exchange(stopWhilePrinting, false))
                server->stop();
            return 0.2 * size * text.size();
        };
        boxes.shown.clear();
        printCheque(*window, "30", "Trois");
        QCOMPARE(printer.documents, 3);
        QCOMPARE(boxes.shown.size(), 1);
        QVERIFY2(boxes.shown[0].text.startsWith(
                     "Le chèque n° 0000003 a été imprimé mais n'a pas pu être inscrit au "
                     "registre. Il le sera avant le prochain chèque.\r\n") &&
                     boxes.shown[0].text.endsWith("\r\n" + where),
                 qPrintable(boxes.shown[0].text));
        const QString journal = platform::settingsFile("Registre-en-attente.json");
        const QByteArray waiting = readAll(journal);
        QVERIFY(waiting.contains("Trois"));

        // Tolvo closed and started again, the server back.
        window.reset();
        QVERIFY(server->start());
        window = std::make_unique<frmTolvo>();
        window->Form_Load();
        QVERIFY(showActive(*window));
        boxes.shown.clear();
        printCheque(*window, "40", "Quatre");
        QCOMPARE(boxes.shown.size(), 1);
        QVERIFY2(boxes.shown[0].text.startsWith("Le chèque Trois, 30,00 €, imprimé le ") &&
                     boxes.shown[0].text.endsWith(" est maintenant inscrit au registre, n° 0000003."),
                 qPrintable(boxes.shown[0].text));
        QVERIFY(!QFile::exists(journal));
        // The same record found again (its commit had gone through): not written twice.
        QVERIFY(writeAll(journal, waiting));
        printCheque(*window, "50", "Cinq");
        QCOMPARE(
            server->sql("SELECT string_agg(number || ' ' || beneficiary, ', ' ORDER BY number) FROM cheques"
                        " WHERE chequebook_id = " +
                        QString::number(book.id)),
            QString("1 Un, 2 Deux, 3 Trois, 4 Quatre, 5 Cinq"));
        QVERIFY(!QFile::exists(journal));
    }

    // The server stopped between two pages of a batch of queued cheques: the batch
    // stops before the next page with the reason, the rest kept in the queue. Started
    // again, the batch carries on in the same window; the server stopped while a page
    // prints: the page is told with its number and written when the server is back,
    // before the rest prints; a cheque printed meanwhile by another workstation is not
    // printed again. Each cheque printed once, recorded once, in order.
    void batchServerLost()
    {
        const registre::Chequebook book = addChequebook("Lot", 1, 50);
        registre::setChequebookInUse(book.uid);
        {
            QList<registre::ImportedCheque> cheques;
            for (int i = 1; i <= 6; ++i)
                cheques << registre::ImportedCheque{QString("Lot %1").arg(i), QString("%1,00").arg(i), "",
                                                    ""};
            registre::Register reg;
            QVERIFY2(reg.open() && reg.enqueue(cheques), qPrintable(reg.error()));
        }
        platform::FakePrinter &printer = platform::useFakePrinter();
        const QString where = QString("serveur %1, base tolvo").arg(server->host());
        frmÀImprimer q(nullptr, [] {
            return registre::PrintSettings{
                cheque::ChequeInput{"", "", "", false, "7", "2", "90", 0, 0, "Arial"}, "Fichier PDF",
                "Bac par défaut", "Orientation Paysage", "06/12/26"};
        });
        QVERIFY(showActive(q));
        platform::MessageBoxRecorder boxes;
        // Stops the server once, while the given document is drawn, or just after it
        // was recorded (before the next page is looked at).
        const auto stopAt = [&](int document, bool afterIt) {
            printer.widthOf = [&, document, afterIt, done = false](const QString &text, float size) mutable {
                if (!done && printer.documents + 1 == document) {
                    done = true;
                    if (afterIt)
                        QTimer::singleShot(0, [] { server->stop(); });
                    else
                        server->stop();
                }
                return 0.2 * size * text.size();
            };
        };
        const auto printAll = [&] {
            boxes.queueDialog([](QDialog &d) {
                d.show();
                QTest::keyClick(dynamic_cast<frmMsgBox &>(d).cmdAction[1], Qt::Key_Return);
            });
            QApplication::setActiveWindow(&q);
            QTest::keyClick(&q, 't', Qt::AltModifier);
            QTest::qWait(150);
        };
        const auto numbers = [&] {
            return server->sql("SELECT string_agg(number || ' ' || beneficiary, ', ' ORDER BY number) FROM "
                               "cheques WHERE chequebook_id = " +
                               QString::number(book.id));
        };

        stopAt(2, true);
        printAll();
        QCOMPARE(printer.documents, 2);
        QCOMPARE(boxes.shown.size(), 1);
        const QString stopped = boxes.shown[0].text;
        QVERIFY2(stopped.startsWith(QString("Le chèque de 3,00 € à Lot 3 n'a pas été imprimé :\r\nLe serveur "
                                            "« %1 » ne répond pas (port %2)")
                                        .arg(server->host())
                                        .arg(server->port())) &&
                     stopped.endsWith("\r\n" + where +
                                      "\r\n2 chèques imprimés et inscrits au registre, n° "
                                      "0000001, 0000002.\r\n4 chèques restent dans la file "
                                      ": Lot 3, Lot 4, Lot 5, Lot 6."),
                 qPrintable(stopped));
        QCOMPARE(q.model()->rowCount(), 4);
        QVERIFY2(q.lblCarnet->text().startsWith("Registre des chèques indisponible : "),
                 qPrintable(q.lblCarnet->text()));

        // Back: the next page is the fourth, and the server goes while it prints.
        QVERIFY(server->start());
        boxes.shown.clear();
        stopAt(4, false);
        printAll();
        QCOMPARE(printer.documents, 4);
        QCOMPARE(boxes.shown.size(), 2);
        QVERIFY2(
            boxes.shown[0].text.startsWith("Le chèque n° 0000004 a été imprimé mais n'a pas pu être inscrit "
                                           "au registre. Il le sera avant le prochain chèque.\r\n"),
            qPrintable(boxes.shown[0].text));
        QVERIFY2(
            boxes.shown[1].text.startsWith("Le chèque de 4,00 € à Lot 4 a été imprimé, mais il n'est pas "
                                           "encore inscrit au registre : il reste dans la file jusque-là."
                                           "\r\n1 chèque imprimé et inscrit au registre, n° 0000003.\r\n3 "
                                           "chèques restent dans la file : Lot 4, Lot 5, Lot 6."),
            qPrintable(boxes.shown[1].text));

        // Back again: the fourth written first, then the fifth prints; the sixth, printed
        // meanwhile by another workstation, is not printed again.
        QVERIFY(server->start());
        boxes.shown.clear();
        printer.widthOf = [&](const QString &text, float size) {
            server->sql("DELETE FROM queue WHERE beneficiary = 'Lot 6'");
            return 0.2 * size * text.size();
        };
        printAll();
        QCOMPARE(printer.documents, 5);
        QVERIFY2(texts(boxes).value(0).endsWith(" est maintenant inscrit au registre, n° 0000004.") &&
                     texts(boxes).value(1).startsWith(
                         "Le chèque de 6,00 € à Lot 6 n'a pas été imprimé :\r\nCe chèque n'est plus dans la "
                         "file : il a été imprimé ou retiré par un autre programme.\r\n" +
                         where + "\r\n1 chèque imprimé et inscrit au registre, n° 0000005."),
                 qPrintable(texts(boxes).join(" / ")));
        QCOMPARE(numbers(), QString("1 Lot 1, 2 Lot 2, 3 Lot 3, 4 Lot 4, 5 Lot 5"));
        QCOMPARE(server->sql("SELECT COUNT(*) FROM queue WHERE beneficiary LIKE 'Lot %'"), QString("0"));
        QCOMPARE(q.model()->rowCount(), 0);
        QVERIFY(!QFile::exists(platform::settingsFile("Registre-en-attente.json")));
    }

    // Without a keyring the password is asked at the first cheque, once per run; a
    // password refused is asked again. It is never written in Tolvo.ini.
    void passwordOncePerRun()
    {
        // The desktop's keyring, where there is no session bus to reach one (as in CI).
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        platform::setKeyring(nullptr);
        beWorkstation(folder("sans-trousseau"), "COMPTA-3", server->host(), server->port());
        QCOMPARE(platform::keyring().read(registre::location().server.keyringKey()).status,
                 platform::KeyringRead::Unavailable);
        platform::setKeyring(std::make_unique<TestKeyring>(false));
        registre::forgetPassword(registre::location().server);
        platform::useFakePrinter();
        frmTolvo w;
        w.Form_Load();
        QVERIFY(showActive(w));
        platform::MessageBoxRecorder boxes;
        QStringList prompts;
        const auto answer = [&](const QString &password) {
            boxes.queueDialog([&, password](QDialog &d) {
                d.show();
                QApplication::setActiveWindow(&d);
                prompts << d.windowTitle() + ": " + d.findChild<QLabel *>()->text();
                d.findChild<QLineEdit *>()->setText(password);
                QTest::keyClick(d.findChild<QLineEdit *>(), Qt::Key_Return);
            });
        };
        answer("faux");
        printCheque(w, "10", "Premier");
        QCOMPARE(texts(boxes),
                 QStringList(QString("Le chèque ne peut pas être inscrit au registre : rien n'a été "
                                     "imprimé.\r\nLe serveur « %1 » refuse l'utilisateur « tolvo » ou "
                                     "son mot de passe.\r\nserveur %1, base tolvo")
                                 .arg(server->host())));
        answer(PrivatePostgres::password);
        printCheque(w, "10", "Premier");
        printCheque(w, "20", "Second");
        QCOMPARE(boxes.dialogsRun, 2);
        QCOMPARE(prompts.size(), 2);
        QCOMPARE(prompts[0],
                 QString("Mot de passe du registre: Le registre des chèques est sur le serveur %1, base "
                         "tolvo.\r\nMot de passe de l'utilisateur « tolvo » :")
                     .arg(server->host()));
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(server->sql("SELECT COUNT(*) FROM cheques WHERE beneficiary IN ('Premier', 'Second')"),
                 QString("2"));
        QVERIFY(!readAll(settings::filePath()).contains("secret"));
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc == 7 && QByteArray(argv[1]) == "--workstation")
        return workstation(argv[2], argv[3], argv[4], QByteArray(argv[5]).toInt(),
                           QByteArray(argv[6]).toInt());
    PrivatePostgres pg;
    server = &pg;
    TestWorkstations test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_workstations.moc"
