// The register on a PostgreSQL server started by the test, loaded with the SQL file Tolvo ships,
// shared by workstations of one office: programs printing at once, a chequebook taken from another
// workstation only when the user says so, the server stopped and started again under F5 and in a
// batch, what the workstations' role may not do, "Emplacement du registre" (its connection test and
// its copy of this computer's register), and the password asked once per run without a keyring.

#include "app/frmTolvo.h"
#include "dialogs/frmMsgBox.h"
#include "platform/Application.h"
#include "platform/Keyring.h"
#include "platform/UserName.h"
#include "platform/forms/MessageBox.h"
#include "platform/help/HelpKey.h"
#include "register/Recording.h"
#include "register/Register.h"
#include "register/Server.h"
#include "register/frmAImprimer.h"
#include "register/frmCarnets.h"
#include "register/frmEmplacement.h"
#include "register/frmRegistre.h"
#include "settings/CINIFile.h"
#include "settings/Settings.h"
#include "support/FakePrinter.h"
#include "support/Gui.h"
#include "support/PrivatePostgres.h"
#include "support/TestFiles.h"
#include "support/TestPrinters.h"

#include <QtTest>
#include <QtWidgets>

using namespace testsupport;

namespace {

PrivatePostgres *server = nullptr;

// A keyring in memory in place of the desktop's, or none at all (as on a computer without one).
class TestKeyring : public platform::Keyring {
public:
    explicit TestKeyring(bool available = true) : m_available(available) {}
    platform::KeyringRead read(const QString &key) override
    {
        using R = platform::KeyringRead;
        return !m_available ? R{R::Unavailable, {}, "no keyring"}
                            : R{m_secrets.contains(key) ? R::Found : R::Missing, m_secrets.value(key), {}};
    }
    bool write(const QString &key, const QString &secret, QString *error) override
    {
        if (m_available)
            m_secrets.insert(key, secret);
        else
            *error = "no keyring";
        return m_available;
    }

private:
    bool m_available;
    QHash<QString, QString> m_secrets;
};

registre::ServerSettings served()
{
    registre::ServerSettings s;
    s.host = server->host();
    s.port = server->port();
    return s;
}

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

registre::Chequebook addChequebook(const QString &name, qint64 first, qint64 last,
                                   registre::Register &&reg = registre::Register())
{
    registre::Chequebook book;
    const auto typed = [](qint64 n) { return QString("%1").arg(n, 7, 10, QChar('0')); };
    registre::checkChequebook({name, "", typed(first), typed(last), typed(first)}, book);
    if (!reg.open() || !reg.saveChequebook(book))
        qWarning("%s", qPrintable(reg.error()));
    return book;
}

registre::Entry entry(const QString &name, qint64 cents, const QString &chequebook = QString())
{
    registre::Entry e;
    e.printedAt = QDateTime(QDate(2026, 12, 6), QTime(9, 14));
    e.chequeDate = "06/12/2026";
    e.beneficiary = name;
    e.amount = registre::centsText(cents);
    e.cents = cents;
    e.printer = "Fichier PDF";
    e.chequebook = chequebook;
    e.printId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    return e;
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

// Another program of the office (folder, name, host, port, count[, chequebook]): once told to go,
// prints `count` cheques with F5 in its main window, or with a chequebook given records them
// straight into the register on it; once told again, says the totals of its register window. The
// exit code counts the cheques refused and the boxes other than the leaves left.
int child(const QStringList &a)
{
    beWorkstation(a[0], a[1], a[2], a[3].toInt());
    platform::setKeyring(std::make_unique<TestKeyring>());
    registre::rememberPassword(registre::location().server, PrivatePostgres::password, nullptr);
    platform::setPrinters(std::make_unique<PdfOnly>(a[0] + "/pdf"));
    const QString book = a.value(5);
    registre::Register reg;
    std::unique_ptr<frmTolvo> w;
    if (book.isEmpty()) {
        w = std::make_unique<frmTolvo>();
        w->Form_Load();
        if (!showActive(*w) ||
            !QTest::qWaitFor([&] { return w->lblCarnet->text().startsWith("Chèque n° "); }))
            return 100;
    } else if (!reg.open())
        return 100;
    platform::MessageBoxRecorder boxes;
    int refused = 0;
    char line[8];
    std::puts("ready");
    std::fflush(stdout);
    if (!std::fgets(line, sizeof line, stdin))
        return 101;
    for (int i = 1; i <= a[4].toInt(); ++i)
        if (w)
            printCheque(*w, QString("%1,00").arg(i), QString("%1 %2").arg(a[1]).arg(i));
        else if (!reg.add(entry(a[1], 100 + i, book)) && ++refused)
            std::fprintf(stderr, "%s\n", qPrintable(reg.error()));
    std::puts("printed");
    std::fflush(stdout);
    if (!std::fgets(line, sizeof line, stdin))
        return 102;
    if (w) {
        frmRegistre r(w.get());
        std::printf("%s|%s\n", qPrintable(r.lblTotal->text()), qPrintable(r.lblADébiter->text()));
    }
    return refused + unexpectedBoxes(boxes);
}

// Runs two such programs at the same time (each told to go before either is waited for); what
// each said at the end after its exit code, and its errors.
QStringList together(const QStringList (&arguments)[2])
{
    QProcess children[2];
    for (int c = 0; c < 2; ++c) {
        children[c].start(QCoreApplication::applicationFilePath(), QStringList("--child") + arguments[c]);
        if (!children[c].waitForReadyRead(60000) || children[c].readLine() != "ready\n")
            return {"not started"};
    }
    for (QProcess &child : children) {
        child.write("go\n");
        child.waitForBytesWritten(10000);
    }
    for (QProcess &child : children)
        if (!child.waitForReadyRead(300000) || child.readLine() != "printed\n")
            return {"not printed: " + child.readAllStandardError()};
    QStringList said;
    for (QProcess &child : children) {
        child.write("show\n");
        child.waitForFinished(120000);
        said << QString::number(child.exitCode()) + " " + child.readAllStandardOutput().trimmed() +
                    (child.exitCode() ? child.readAllStandardError() : QByteArray());
    }
    return said;
}

// Fills the server's fields of "Emplacement du registre" as typed.
void fill(frmEmplacement &d, const registre::ServerSettings &s, const QString &password)
{
    d.optServeur->setChecked(true);
    d.txtServeur->setText(s.host);
    d.txtPort->setText(QString::number(s.port));
    d.txtBase->setText(s.database);
    d.txtUtilisateur->setText(s.user);
    d.txtMotDePasse->setText(password);
}

} // namespace

class TestWorkstations : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QString folder(const QString &name) const
    {
        return dir.filePath(QString(QTest::currentTestFunction()) + "/" + name);
    }
    QStringList workstation(const QString &name, const QString &count, const QString &book = QString()) const
    {
        return {folder(name), name, server->host(), QString::number(server->port()), count, book};
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

    // Two workstations print 20 cheques each at the same time, each on its own chequebook: 40 rows,
    // each chequebook's numbers in order without a gap, the same totals in both register windows
    // (the first cheques of the server). The second one is refused the first one's chequebook until
    // it takes it over; then the first is refused it, before printing. Two programs taking numbers
    // of one chequebook at once: each number once, none refused.
    void workstationsAtOnce()
    {
        const registre::Chequebook books[] = {addChequebook("Poste 1", 1, 100),
                                              addChequebook("Poste 2", 101, 200)};
        const QString names[] = {"COMPTA-1", "COMPTA-2"};
        for (int c = 0; c < 2; ++c) {
            beWorkstation(folder(names[c]), names[c], server->host(), server->port());
            registre::setChequebookInUse(books[c].uid);
        }
        const QString both = "0 40 chèques, total 420,00 €|À débiter : 40 chèques, 420,00 €";
        QCOMPARE(together({workstation(names[0], "20"), workstation(names[1], "20")}),
                 QStringList({both, both}));
        QCOMPARE(
            server->sql(
                "SELECT b.name, string_agg(c.number::text, ' ' ORDER BY c.id), MIN(c.beneficiary),"
                " b.next_number, b.claimed_by FROM cheques c JOIN chequebooks b ON b.id = c.chequebook_id"
                " GROUP BY b.name, b.next_number, b.claimed_by ORDER BY 1"),
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
        const QString asked =
            claimOf("COMPTA-1") +
            "\r\nLe prendre pour ce poste ? Le poste COMPTA-1 ne pourra plus imprimer sur ce "
            "carnet. [Le prendre]";
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
                QCOMPARE(box.Message() + " [" + box.ButtonCaption(1) + "]", asked);
                box.show();
                QTest::keyClick(box.cmdAction[take ? 1 : 2], Qt::Key_Return);
            });
            showChequebooks(nullptr);
            QCOMPARE(boxes.dialogsRun, 2);
            QCOMPARE(registre::chequebookInUse(), books[take ? 0 : 1].uid);
        }
        QCOMPARE(
            server->sql("SELECT string_agg(name || ':' || claimed_by, ' ' ORDER BY name) FROM chequebooks"),
            QString("Poste 1:COMPTA-2 Poste 2:"));
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

        // Two programs on one chequebook.
        const registre::Chequebook shared = addChequebook("Partagé", 1, 100);
        QCOMPARE(together({workstation("A", "40", shared.uid), workstation("B", "40", shared.uid)}),
                 QStringList({"0 ", "0 "}));
        QCOMPARE(server->sql(
                     "SELECT COUNT(*), COUNT(DISTINCT number), MIN(number), MAX(number), MAX(next_number)"
                     " FROM cheques c JOIN chequebooks b ON b.id = c.chequebook_id WHERE b.name = 'Partagé'"),
                 QString("80|80|1|80|81"));

        // One batch at a time prints the shared queue.
        registre::Register one, other;
        QVERIFY2(one.open() && one.takeQueue(), qPrintable(one.error()));
        QVERIFY(other.open() && !other.takeQueue());
        QVERIFY2(other.error().startsWith("Les chèques à imprimer sont déjà en cours d'impression"),
                 qPrintable(other.error()));
        one.releaseQueue();
        QVERIFY2(other.takeQueue(), qPrintable(other.error()));
    }

    // The server stopped: F5 is refused with the reason before anything is printed, the cheque kept;
    // started again, the next F5 prints. A page whose record was lost (the server stopped while it
    // printed) is told with its number, kept in the journal through a restart of the program, and
    // written once when the server is back, before the next cheque. Then a batch of queued cheques:
    // the server stopped between two pages stops it before the next page with the reason, the rest
    // kept in the queue; started again, it carries on in the same window; the server stopped while a
    // page prints: the page is told with its number and written when the server is back, before the
    // rest prints; a cheque printed meanwhile by another workstation is not printed again. Each
    // cheque printed once, recorded once, in order.
    void serverLost()
    {
        const registre::Chequebook book = addChequebook("Perte", 1, 50);
        registre::setChequebookInUse(book.uid);
        platform::FakePrinter *printer = &platform::useFakePrinter();
        const QString where = QString("\r\nserveur %1, base tolvo").arg(server->host());
        const QString notAnswering =
            QString("\r\nLe serveur « %1 » ne répond pas (port %2)").arg(server->host()).arg(server->port());
        // Stops the server once, while the given document is drawn, or just after it was recorded
        // (before the next page is looked at).
        const auto stopAt = [&](int document, bool afterIt) {
            printer->widthOf = [&, document, afterIt, done = false](const QString &text, float size) mutable {
                if (!done && printer->documents + 1 == document) {
                    done = true;
                    if (afterIt)
                        QTimer::singleShot(0, [] { server->stop(); });
                    else
                        server->stop();
                }
                return 0.2 * size * text.size();
            };
        };
        auto window = std::make_unique<frmTolvo>();
        window->Form_Load();
        QVERIFY(showActive(*window));
        platform::MessageBoxRecorder boxes;
        printCheque(*window, "10", "Un");
        QVERIFY(server->stop());
        printCheque(*window, "20", "Deux");
        QCOMPARE(texts(boxes).size(), 1);
        QVERIFY2(texts(boxes)[0].startsWith("Le chèque ne peut pas être inscrit au registre : rien n'a été "
                                            "imprimé." +
                                            notAnswering) &&
                     texts(boxes)[0].endsWith(where),
                 qPrintable(texts(boxes)[0]));
        QCOMPARE(printer->documents, 1);
        QCOMPARE(window->cboMontant->currentText() + window->cboBénéficiaire->currentText(),
                 QString("20,00Deux"));
        QVERIFY(server->start());
        printCheque(*window, "20", "Deux");
        QCOMPARE(printer->documents, 2);

        // The server goes while the third page is being drawn.
        stopAt(3, false);
        boxes.shown.clear();
        printCheque(*window, "30", "Trois");
        QCOMPARE(printer->documents, 3);
        QCOMPARE(texts(boxes).size(), 1);
        QVERIFY2(
            texts(boxes)[0].startsWith("Le chèque n° 0000003 a été imprimé mais n'a pas pu être inscrit au "
                                       "registre. Il le sera avant le prochain chèque.\r\n") &&
                texts(boxes)[0].endsWith(where),
            qPrintable(texts(boxes)[0]));
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
        QCOMPARE(texts(boxes).size(), 1);
        QVERIFY2(texts(boxes)[0].startsWith("Le chèque Trois, 30,00 €, imprimé le ") &&
                     texts(boxes)[0].endsWith(" est maintenant inscrit au registre, n° 0000003."),
                 qPrintable(texts(boxes)[0]));
        QVERIFY(!QFile::exists(journal));
        // The same record found again (its commit had gone through): not written twice.
        QVERIFY(writeAll(journal, waiting));
        printCheque(*window, "50", "Cinq");
        QVERIFY(!QFile::exists(journal));
        window.reset();

        // The batch, from number 6 on.
        QList<registre::ImportedCheque> cheques;
        for (int i = 1; i <= 6; ++i)
            cheques << registre::ImportedCheque{QString("Lot %1").arg(i), QString("%1,00").arg(i), "", ""};
        registre::Register reg;
        QVERIFY2(reg.open() && reg.enqueue(cheques), qPrintable(reg.error()));
        printer = &platform::useFakePrinter();
        frmÀImprimer q(nullptr, [] {
            return registre::PrintSettings{
                cheque::ChequeInput{"", "", "", false, "7", "2", "90", 0, 0, "Arial"}, "Fichier PDF",
                "Bac par défaut", "Orientation Paysage", "06/12/26"};
        });
        QVERIFY(showActive(q));
        const auto printAll = [&] {
            boxes.shown.clear();
            boxes.queueDialog([](QDialog &d) {
                d.show();
                QTest::keyClick(dynamic_cast<frmMsgBox &>(d).cmdAction[1], Qt::Key_Return);
            });
            QApplication::setActiveWindow(&q);
            QTest::keyClick(&q, 't', Qt::AltModifier);
            QTest::qWait(150);
        };
        stopAt(2, true);
        printAll();
        QCOMPARE(printer->documents, 2);
        QCOMPARE(texts(boxes).size(), 1);
        QVERIFY2(
            texts(boxes)[0].startsWith("Le chèque de 3,00 € à Lot 3 n'a pas été imprimé :" + notAnswering) &&
                texts(boxes)[0].endsWith(where +
                                         "\r\n2 chèques imprimés et inscrits au registre, n° 0000006, "
                                         "0000007.\r\n4 chèques restent dans la file : Lot 3, Lot 4, Lot "
                                         "5, Lot 6."),
            qPrintable(texts(boxes)[0]));
        QCOMPARE(q.model()->rowCount(), 4);
        QVERIFY2(q.lblCarnet->text().startsWith("Registre des chèques indisponible : "),
                 qPrintable(q.lblCarnet->text()));

        // Back: the next page is the fourth, and the server goes while it prints.
        QVERIFY(server->start());
        stopAt(4, false);
        printAll();
        QCOMPARE(printer->documents, 4);
        QCOMPARE(texts(boxes).size(), 2);
        QVERIFY2(
            texts(boxes)[0].startsWith("Le chèque n° 0000009 a été imprimé mais n'a pas pu être inscrit au "
                                       "registre. Il le sera avant le prochain chèque.\r\n") &&
                texts(boxes)[1].startsWith(
                    "Le chèque de 4,00 € à Lot 4 a été imprimé, mais il n'est pas encore inscrit au "
                    "registre : il reste dans la file jusque-là.\r\n1 chèque imprimé et inscrit au "
                    "registre, n° 0000008.\r\n3 chèques restent dans la file : Lot 4, Lot 5, Lot 6."),
            qPrintable(texts(boxes).join(" / ")));

        // Back again: the fourth written first, then the fifth prints; the sixth, printed
        // meanwhile by another workstation, is not printed again.
        QVERIFY(server->start());
        printer->widthOf = [&](const QString &text, float size) {
            server->sql("DELETE FROM queue WHERE beneficiary = 'Lot 6'");
            return 0.2 * size * text.size();
        };
        printAll();
        QCOMPARE(printer->documents, 5);
        QVERIFY2(texts(boxes).value(0).endsWith(" est maintenant inscrit au registre, n° 0000009.") &&
                     texts(boxes).value(1).startsWith(
                         "Le chèque de 6,00 € à Lot 6 n'a pas été imprimé :\r\nCe chèque n'est plus dans la "
                         "file : il a été imprimé ou retiré par un autre programme." +
                         where + "\r\n1 chèque imprimé et inscrit au registre, n° 0000010."),
                 qPrintable(texts(boxes).join(" / ")));
        QCOMPARE(
            server->sql("SELECT string_agg(number || ' ' || beneficiary, ', ' ORDER BY number) FROM cheques"
                        " WHERE chequebook_id = " +
                        QString::number(book.id)),
            QString("1 Un, 2 Deux, 3 Trois, 4 Quatre, 5 Cinq, 6 Lot 1, 7 Lot 2, 8 Lot 3, 9 Lot 4, 10 Lot 5"));
        QCOMPARE(server->sql("SELECT COUNT(*) FROM queue"), QString("0"));
        QCOMPARE(q.model()->rowCount(), 0);
        QVERIFY(!QFile::exists(journal));
    }

    // The workstations' role may not delete a cheque or a line of history, nor change an amount;
    // even the owner cannot delete a cheque. The file runs again without changing anything.
    void rights()
    {
        for (const QString statement : {"DELETE FROM cheques", "DELETE FROM history", "TRUNCATE cheques",
                                        "UPDATE cheques SET cents = 1", "UPDATE history SET reason = 'x'"}) {
            QString error;
            server->sql(statement, "tolvo", &error, "tolvo");
            QVERIFY2(error.contains("permission denied for table"), qPrintable(statement + ": " + error));
        }
        QString error;
        server->sql("DELETE FROM cheques", "tolvo", &error);
        QVERIFY2(error.contains("Un chèque n'est jamais effacé du registre."), qPrintable(error));
        const QString before = server->sql("SELECT COUNT(*) FROM cheques");
        QVERIFY(server->runFile(sourceDir() + "/data/registre-postgresql.sql"));
        QCOMPARE(server->sql("SELECT version FROM register_version; SELECT COUNT(*) FROM cheques"),
                 QString::number(registre::schemaVersion) + "\n" + before);
    }

    // "Tester la connexion" says what is wrong; OK keeps the place in Tolvo.ini and the password in
    // the keyring, never in Tolvo.ini.
    void connectionTest_data()
    {
        QTest::addColumn<registre::ServerSettings>("settings");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("message");
        const QString host = server->host();
        registre::ServerSettings away = served(), missing = served();
        ++away.port;
        missing.database = "compta";
        const QString password = PrivatePostgres::password;
        const int now = registre::schemaVersion;
        QTest::newRow("serveur absent")
            << away << password << now
            << QString("Le serveur « %1 » ne répond pas (port %2) : vérifiez son nom, le port, le réseau, et "
                       "que PostgreSQL y est démarré.")
                   .arg(host)
                   .arg(away.port);
        QTest::newRow("mot de passe")
            << served() << "erreur" << now
            << QString("Le serveur « %1 » refuse l'utilisateur « tolvo » ou son mot de passe.").arg(host);
        QTest::newRow("base absente")
            << missing << password << now
            << QString("La base « compta » n'existe pas sur le serveur « %1 ».").arg(host);
        QTest::newRow("plus récent")
            << served() << password << now + 1
            << "Le registre du serveur a été créé par une version plus récente de Tolvo.";
        QTest::newRow("plus ancien")
            << served() << password << now - 1
            << "Le registre du serveur est celui d'une version plus ancienne de Tolvo : "
               "l'administrateur doit y exécuter le fichier registre-postgresql.sql de "
               "cette version-ci.";
    }
    void connectionTest()
    {
        QFETCH(registre::ServerSettings, settings);
        QFETCH(QString, password);
        QFETCH(int, version);
        QFETCH(QString, message);
        const auto setVersion = [](int v) {
            server->sql(QString("UPDATE register_version SET version = %1").arg(v));
        };
        setVersion(version);
        platform::MessageBoxRecorder boxes;
        frmEmplacement d;
        QVERIFY(showActive(d));
        fill(d, settings, password);
        QTest::keyClick(&d, Qt::Key_T, Qt::AltModifier);
        QTRY_COMPARE(boxes.shown.size(), 1);
        setVersion(registre::schemaVersion);
        QCOMPARE(texts(boxes).value(0).section("\r\nDétail : ", 0, 0),
                 "La connexion n'a pas réussi.\r\n" + message);

        // Right at last: the test says so, and OK keeps it all.
        fill(d, served(), PrivatePostgres::password);
        QTest::keyClick(&d, Qt::Key_T, Qt::AltModifier);
        QTRY_COMPARE(boxes.shown.size(), 2);
        QVERIFY2(texts(boxes).value(1).startsWith("La connexion au registre du serveur " + server->host() +
                                                  ", base tolvo réussit : il tient "),
                 qPrintable(texts(boxes).value(1)));
        QTest::keyClick(d.cmdOK, Qt::Key_Return);
        QVERIFY(!d.isVisible());
        const registre::Location where = registre::location();
        QVERIFY(where.onServer);
        QCOMPARE(where.server.keyringKey() + where.server.tls, served().keyringKey());
        QVERIFY(!readAll(settings::filePath()).contains("secret"));
        QCOMPARE(platform::keyring().read(where.server.keyringKey()).secret, PrivatePostgres::password);
    }

    // The encryption follows the server's name until the user chooses it: required across the
    // network, not for this computer.
    void encryptionByDefault()
    {
        frmEmplacement d;
        QVERIFY(showActive(d));
        d.optServeur->setChecked(true);
        QStringList chosen;
        for (const QString host : {"compta-srv", "localhost", "/run/postgresql", "192.0.2.7"}) {
            d.txtServeur->setFocus();
            d.txtServeur->selectAll();
            type(host);
            chosen << registre::tlsModes.value(d.cboChiffrement->currentIndex());
        }
        QCOMPARE(chosen, QStringList({"require", "prefer", "prefer", "require"}));
        d.cboChiffrement->setFocus();
        QTest::keyClick(d.cboChiffrement, Qt::Key_Down); // chosen by the user: it stays
        const int picked = d.cboChiffrement->currentIndex();
        d.txtServeur->setFocus();
        type("x");
        QCOMPARE(d.cboChiffrement->currentIndex(), picked);
        QCOMPARE(f1(d.txtServeur), 1013);
    }

    // This computer's register copied twice: the chequebooks, the cheques with their numbers,
    // statuses and history, one of an older Tolvo without print id, the queue in its order, all
    // once on the server; the file left as it was; the server's next numbers after those copied.
    void copyTwice()
    {
        const QString file = platform::settingsFile("Registre.sqlite");
        {
            const registre::Chequebook a = addChequebook("Copie A", 101, 150, registre::Register(file)),
                                       b = addChequebook("Copie B", 9001, 9010, registre::Register(file));
            registre::Register local(file);
            QVERIFY(local.open());
            for (int i = 0; i < 5; ++i)
                QVERIFY(local.add(entry(QString("Local %1").arg(i), 1000 + i, i < 3 ? a.uid : b.uid)));
            QVERIFY(local.add(entry("Sans carnet", 99)));
            QCOMPARE(local.setStatus({1, 4}, registre::status::Débité, QDate(2026, 12, 10), ""), 2);
            QVERIFY(local.enqueue({{"À payer 2", "20,00", "", ""}, {"À payer 1", "10,00", "", "note"}}));
        }
        QCOMPARE(
            run("sqlite3", {file, "UPDATE cheques SET print_id = NULL WHERE beneficiary = 'Sans carnet'"})
                .code,
            0);
        // Copied, one more cheque printed here on "Copie A", copied again, and a third time.
        QString dump;
        QStringList told, counts;
        for (int round = 0; round < 3; ++round) {
            if (round == 1) {
                registre::Register local(file);
                QVERIFY(local.open() && local.add(entry("Local 5", 1005, local.chequebooks().value(0).uid)));
                dump = run("sqlite3", {file, ".dump"}).out;
            }
            platform::MessageBoxRecorder boxes;
            boxes.queueAnswer(QMessageBox::Yes);
            frmEmplacement d;
            QVERIFY(showActive(d));
            fill(d, served(), PrivatePostgres::password);
            QTest::keyClick(&d, Qt::Key_C, Qt::AltModifier);
            QTRY_COMPARE(boxes.shown.size(), 2);
            told << texts(boxes).value(1);
            counts << server
                          ->sql("SELECT COUNT(*) FROM cheques WHERE beneficiary LIKE 'Local %' OR "
                                "beneficiary = 'Sans carnet'; SELECT COUNT(*) FROM history h JOIN cheques c"
                                " ON c.id = h.cheque_id WHERE c.beneficiary LIKE 'Local %'; SELECT"
                                " string_agg(beneficiary || note, ',' ORDER BY position) FROM queue"
                                " WHERE beneficiary LIKE 'À payer %'")
                          .replace('\n', ' ');
        }
        QCOMPARE(
            told,
            QStringList(
                {"6 chèques, 2 carnets et 8 lignes d'historique copiés sur le serveur. 2 chèques à imprimer "
                 "ajoutés à la file du serveur. Le registre de cet ordinateur est gardé tel quel.",
                 "1 chèque, 0 carnet et 1 ligne d'historique copiés sur le serveur. Déjà sur le serveur : 6 "
                 "chèques et 2 carnets. Le registre de cet ordinateur est gardé tel quel.",
                 "Rien à copier : 7 chèques et 2 carnets de cet ordinateur sont déjà sur le serveur, ainsi "
                 "que 2 chèques à imprimer."}));
        QCOMPARE(counts, QStringList({"6 7 À payer 2,À payer 1note", "7 8 À payer 2,À payer 1note",
                                      "7 8 À payer 2,À payer 1note"}));
        QCOMPARE(
            server->sql(
                "SELECT c.number, c.status, c.status_day, b.next_number FROM cheques c JOIN chequebooks b"
                " ON b.id = c.chequebook_id WHERE b.name LIKE 'Copie %' ORDER BY c.number"),
            QString("101|débité|2026-12-10|105\n102|émis|2026-12-06|105\n103|émis|2026-12-06|105\n"
                    "104|émis|2026-12-06|105\n"
                    "9001|débité|2026-12-10|9003\n9002|émis|2026-12-06|9003"));
        QCOMPARE(run("sqlite3", {file, ".dump"}).out, dump);
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
    if (argc > 1 && QByteArray(argv[1]) == "--child")
        return child(app.arguments().mid(2));
    PrivatePostgres pg;
    server = &pg;
    TestWorkstations test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_workstations.moc"
