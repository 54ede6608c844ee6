// The register on a PostgreSQL server started by the test, loaded with the SQL file
// Tolvo ships: the same tables as the register file, what the workstations' role may
// and may not do, "Tester la connexion" and "Copier le registre de cet ordinateur
// sur le serveur" driven from "Emplacement du registre", and two programs taking
// numbers of one chequebook at the same time.

#include "platform/Application.h"
#include "platform/Keyring.h"
#include "platform/UserName.h"
#include "platform/forms/MessageBox.h"
#include "platform/help/HelpKey.h"
#include "register/Register.h"
#include "register/Server.h"
#include "register/frmEmplacement.h"
#include "settings/Settings.h"
#include "support/Gui.h"
#include "support/PrivatePostgres.h"
#include "support/TestFiles.h"
#include "support/TestKeyring.h"

#include <QSqlQuery>
#include <QtTest>
#include <QtWidgets>

using namespace testsupport;

namespace {

PrivatePostgres *server = nullptr;

registre::ServerSettings settingsOf(const PrivatePostgres &pg)
{
    registre::ServerSettings s;
    s.host = pg.host();
    s.port = pg.port();
    return s;
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
    e.paperBin = 7;
    e.orientation = 2;
    e.chequebook = chequebook;
    e.printId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    return e;
}

// Child of the concurrency test: records `count` cheques on the chequebook given,
// as fast as it can, once told to go. The exit code counts the cheques refused.
int record(const QString &host, int port, const QString &chequebook, int count)
{
    registre::ServerSettings s;
    s.host = host;
    s.port = port;
    registre::Register reg(registre::Location{true, s});
    reg.usePassword(PrivatePostgres::password);
    if (!reg.open())
        return 100;
    std::puts("ready");
    std::fflush(stdout);
    char go[8];
    if (!std::fgets(go, sizeof go, stdin))
        return 101;
    int refused = 0;
    for (int i = 0; i < count; ++i)
        if (!reg.add(entry(QString("Poste %1").arg(::getpid()), 100 + i, chequebook))) {
            std::fprintf(stderr, "%s\n", qPrintable(reg.error()));
            ++refused;
        }
    return refused;
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

class TestServer : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        platform::installHelpKey();
        QVERIFY2(server->isRunning(), qPrintable(server->errorString()));
    }

    void init()
    {
        const QString folder = dir.filePath(QTest::currentTestFunction());
        QVERIFY(QDir().mkpath(folder));
        platform::setApplicationFolder(folder);
        platform::setKeyring(std::make_unique<TestKeyring>());
        platform::setWorkstationName(QString("COMPTA-1"));
    }

    // The server holds the tables, columns and indexes of the register file; the
    // workstations' role may add and change what Tolvo changes, and nothing else:
    // no cheque, chequebook or line of history deleted, no amount changed. Even the
    // owner cannot delete a cheque. The file runs again without changing anything.
    void sameSchemaAndRights()
    {
        registre::Register file(platform::settingsFile("Registre.sqlite"));
        QVERIFY(file.open());
        QStringList local;
        QSqlQuery q(file.database());
        QVERIFY(q.exec("SELECT m.name, p.name FROM sqlite_master m, pragma_table_info(m.name) p"
                       " WHERE m.type = 'table' ORDER BY 1, 2"));
        while (q.next())
            local << q.value(0).toString() + "." + q.value(1).toString();
        QVERIFY(q.exec("SELECT name FROM sqlite_master WHERE type = 'index' AND name NOT LIKE 'sqlite_%'"
                       " ORDER BY 1"));
        while (q.next())
            local << q.value(0).toString();
        const QString served =
            server->sql("SELECT table_name || '.' || column_name FROM information_schema.columns"
                        " WHERE table_schema = 'public' AND table_name <> 'register_version' ORDER BY 1;"
                        " SELECT indexname FROM pg_indexes WHERE schemaname = 'public'"
                        " AND indexname NOT IN (SELECT conname FROM pg_constraint) ORDER BY 1");
        QCOMPARE(served.split('\n'), local);

        QCOMPARE(server->sql(
                     "INSERT INTO chequebooks (uid, name, account, first_number, last_number, next_number,"
                     " digits, closed_at) VALUES ('c1', 'Courant', '', 1, 50, 1, 7, '');"
                     " INSERT INTO cheques (printed_at, cheque_date, cheque_day, beneficiary, amount, cents,"
                     " printer, paper_bin, orientation, pdf_file, chequebook_id, number, print_id)"
                     " SELECT '2026-12-06T09:14:00', '06/12/2026', '2026-12-06', 'Durand', '12,00', 1200,"
                     " 'Fichier PDF', 7, 2, '', id, 1, 'p1' FROM chequebooks;"
                     " INSERT INTO history (cheque_id, changed_at, who, status, status_day, reason)"
                     " SELECT id, '2026-12-06T09:14:00', 'Marie', 'émis', '2026-12-06', '' FROM cheques;"
                     " UPDATE cheques SET status = 'annulé', status_day = '2026-12-07', reason = 'erreur';"
                     " UPDATE chequebooks SET next_number = 2, claimed_by = 'COMPTA-1';"
                     " INSERT INTO queue (uid, position, beneficiary, amount, cheque_date, note)"
                     " VALUES ('q1', 1, 'Martin', '5,00', '', ''), ('q2', 2, 'Petit', '6,00', '', '');"
                     " UPDATE queue SET position = 3, amount = '7,00' WHERE uid = 'q1';"
                     " DELETE FROM queue WHERE uid = 'q2';"
                     " SELECT COUNT(*) FROM cheques WHERE status = 'annulé'",
                     "tolvo", nullptr, "tolvo"),
                 QString("1"));
        const QString denied = "permission denied for table";
        for (const QString statement :
             {"DELETE FROM cheques", "DELETE FROM history", "DELETE FROM chequebooks",
              "UPDATE cheques SET cents = 1", "UPDATE cheques SET number = 2",
              "UPDATE history SET reason = 'x'", "TRUNCATE cheques",
              "UPDATE register_version SET version = 99", "UPDATE chequebooks SET uid = 'c2'",
              "UPDATE queue SET uid = 'q3'", "TRUNCATE queue"}) {
            QString error;
            server->sql(statement, "tolvo", &error, "tolvo");
            QVERIFY2(error.contains(denied), qPrintable(statement + ": " + error));
        }
        QString error;
        server->sql("DELETE FROM cheques", "tolvo", &error);
        QVERIFY2(error.contains("Un chèque n'est jamais effacé du registre."), qPrintable(error));
        QVERIFY(server->runFile(sourceDir() + "/data/registre-postgresql.sql"));
        QCOMPARE(server->sql("SELECT version FROM register_version; SELECT COUNT(*) FROM cheques"),
                 QString::number(registre::schemaVersion) + "\n1");
    }

    // "Tester la connexion" says what is wrong; OK keeps the place in Tolvo.ini and
    // the password in the keyring, never in Tolvo.ini.
    void connectionTest_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("message");
        const QString host = server->host();
        QTest::newRow("serveur absent")
            << "port" << QString::number(server->port() + 1) << ""
            << QString("Le serveur « %1 » ne répond pas (port %2) : vérifiez son nom, le "
                       "port, le réseau, et que PostgreSQL y est démarré.")
                   .arg(host)
                   .arg(server->port() + 1);
        QTest::newRow("mot de passe")
            << "password"
            << "erreur"
            << ""
            << QString("Le serveur « %1 » refuse l'utilisateur « tolvo » ou son mot de passe.").arg(host);
        QTest::newRow("base absente")
            << "database"
            << "compta"
            << "" << QString("La base « compta » n'existe pas sur le serveur « %1 ».").arg(host);
        QTest::newRow("base vide")
            << "database"
            << "vide"
            << "CREATE DATABASE vide"
            << QString("La base « vide » du serveur « %1 » ne contient pas de registre de Tolvo "
                       ": l'administrateur doit y exécuter le fichier "
                       "registre-postgresql.sql fourni avec Tolvo.")
                   .arg(host);
        QTest::newRow("plus récent")
            << ""
            << "" << QString("UPDATE register_version SET version = %1").arg(registre::schemaVersion + 1)
            << "Le registre du serveur a été créé par une version plus récente de Tolvo.";
        QTest::newRow("plus ancien")
            << ""
            << "" << QString("UPDATE register_version SET version = %1").arg(registre::schemaVersion - 1)
            << "Le registre du serveur est celui d'une version plus ancienne de Tolvo : l'administrateur "
               "doit y "
               "exécuter le fichier registre-postgresql.sql de cette version-ci.";
    }
    void connectionTest()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, setup);
        QFETCH(QString, message);
        if (!setup.isEmpty())
            server->sql(setup, setup.startsWith("CREATE") ? "postgres" : "tolvo");
        platform::MessageBoxRecorder boxes;
        frmEmplacement d;
        QVERIFY(showActive(d));
        registre::ServerSettings s = settingsOf(*server);
        QString password = PrivatePostgres::password;
        if (field == "port")
            s.port = value.toInt();
        if (field == "database")
            s.database = value;
        if (field == "password")
            password = value;
        fill(d, s, password);
        QTest::keyClick(&d, Qt::Key_T, Qt::AltModifier);
        QTRY_COMPARE(boxes.shown.size(), 1);
        server->sql(QString("UPDATE register_version SET version = %1").arg(registre::schemaVersion));
        QCOMPARE(texts(boxes).value(0).section("\r\nDétail : ", 0, 0),
                 "La connexion n'a pas réussi.\r\n" + message);

        // Right at last: the test says so, and OK keeps it all.
        fill(d, settingsOf(*server), PrivatePostgres::password);
        QTest::keyClick(&d, Qt::Key_T, Qt::AltModifier);
        QTRY_COMPARE(boxes.shown.size(), 2);
        QVERIFY2(texts(boxes).value(1).startsWith("La connexion au registre du serveur " + server->host() +
                                                  ", base tolvo réussit : il tient "),
                 qPrintable(texts(boxes).value(1)));
        QTest::keyClick(d.cmdOK, Qt::Key_Return);
        QVERIFY(!d.isVisible());
        const registre::Location where = registre::location();
        QVERIFY(where.onServer);
        QCOMPARE(where.server.keyringKey() + where.server.tls, settingsOf(*server).keyringKey());
        QVERIFY(!readAll(settings::filePath()).contains("secret"));
        QCOMPARE(platform::keyring().read(where.server.keyringKey()).secret, PrivatePostgres::password);
    }

    // The encryption follows the server's name until the user chooses it: required
    // across the network, not for this computer.
    void encryptionByDefault()
    {
        frmEmplacement d;
        QVERIFY(showActive(d));
        d.optServeur->setChecked(true);
        const QString modes[] = {"require", "verify-full", "prefer", "disable"};
        QStringList chosen;
        for (const QString host : {"compta-srv", "localhost", "/run/postgresql", "192.0.2.7"}) {
            d.txtServeur->setFocus();
            d.txtServeur->selectAll();
            type(host);
            chosen << modes[d.cboChiffrement->currentIndex()];
        }
        d.cboChiffrement->setFocus();
        QTest::keyClick(d.cboChiffrement, Qt::Key_Down); // chosen by the user: it stays
        const int picked = d.cboChiffrement->currentIndex();
        d.txtServeur->setFocus();
        type("x");
        QCOMPARE(d.cboChiffrement->currentIndex(), picked);
        QCOMPARE(chosen, QStringList({"require", "prefer", "prefer", "require"}));
        QCOMPARE(f1(d.txtServeur), 1013);
    }

    // This computer's register copied twice: the chequebooks, the cheques with their
    // numbers, statuses and history, the queue in its order, and a cheque of an older
    // Tolvo without print id,
    // all once on the server; the file left as it was; the server's next numbers
    // after those copied.
    void copyTwice()
    {
        const QString file = platform::settingsFile("Registre.sqlite");
        {
            registre::Register local(file);
            QVERIFY(local.open());
            registre::Chequebook a, b;
            QCOMPARE(registre::checkChequebook({"Copie A", "", "0000101", "0000150", "0000101"}, a).field,
                     registre::FieldProblem::None);
            QCOMPARE(registre::checkChequebook({"Copie B", "", "0009001", "0009010", "0009001"}, b).field,
                     registre::FieldProblem::None);
            QVERIFY(local.saveChequebook(a) && local.saveChequebook(b));
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
        const QString count =
            "SELECT COUNT(*) FROM cheques WHERE beneficiary LIKE 'Local %' OR beneficiary = "
            "'Sans carnet'; SELECT COUNT(*) FROM chequebooks WHERE name LIKE 'Copie %';"
            " SELECT COUNT(*) FROM history h JOIN cheques c ON c.id = h.cheque_id"
            " WHERE c.beneficiary LIKE 'Local %' OR c.beneficiary = 'Sans carnet';"
            " SELECT string_agg(beneficiary || note, ',' ORDER BY position) FROM queue"
            " WHERE beneficiary LIKE 'À payer %'";

        // Copied, one more cheque printed here on "Copie A", copied again, and a third time.
        QStringList told, counts;
        QString dump;
        for (int round = 0; round < 3; ++round) {
            if (round == 1) {
                registre::Register local(file);
                QVERIFY(local.open());
                QVERIFY(local.add(entry("Local 5", 1005, local.chequebooks().value(0).uid)));
                dump = run("sqlite3", {file, ".dump"}).out;
            }
            platform::MessageBoxRecorder boxes;
            boxes.queueAnswer(QMessageBox::Yes);
            frmEmplacement d;
            QVERIFY(showActive(d));
            fill(d, settingsOf(*server), PrivatePostgres::password);
            QTest::keyClick(&d, Qt::Key_C, Qt::AltModifier);
            QTRY_COMPARE(boxes.shown.size(), 2);
            told << texts(boxes).value(1);
            counts << server->sql(count).replace('\n', ' ');
        }
        QCOMPARE(
            told,
            QStringList(
                {"6 chèques, 2 carnets et 8 lignes d'historique copiés sur le serveur. 2 chèques à "
                 "imprimer ajoutés à la file du serveur. Le registre de cet ordinateur est gardé tel quel.",
                 "1 chèque, 0 carnet et 1 ligne d'historique copiés sur le serveur. Déjà sur le "
                 "serveur : 6 chèques et 2 carnets. Le registre de cet ordinateur est gardé tel quel.",
                 "Rien à copier : 7 chèques et 2 carnets de cet ordinateur sont déjà sur le "
                 "serveur, ainsi que 2 chèques à imprimer."}));
        QCOMPARE(counts, QStringList({"6 2 8 À payer 2,À payer 1note", "7 2 9 À payer 2,À payer 1note",
                                      "7 2 9 À payer 2,À payer 1note"}));
        QCOMPARE(
            server->sql(
                "SELECT c.number, c.status, c.status_day, b.next_number FROM cheques c JOIN chequebooks b"
                " ON b.id = c.chequebook_id WHERE b.name LIKE 'Copie %' ORDER BY c.number"),
            QString("101|débité|2026-12-10|105\n102|émis|2026-12-06|105\n103|émis|2026-12-06|105\n"
                    "104|émis|2026-12-06|105\n9001|débité|2026-12-10|9003\n9002|émis|2026-12-06|9003"));
        QCOMPARE(run("sqlite3", {file, ".dump"}).out, dump);
    }

    // Two programs take numbers of one chequebook at the same time: each number
    // once, none missing, none refused.
    void oneChequebookTwoPrograms()
    {
        registre::Register reg(registre::Location{true, settingsOf(*server)});
        reg.usePassword(PrivatePostgres::password);
        QVERIFY2(reg.open(), qPrintable(reg.error()));
        registre::Chequebook book;
        QCOMPARE(registre::checkChequebook({"Partagé", "", "1", "100", "1"}, book).field,
                 registre::FieldProblem::None);
        QVERIFY2(reg.saveChequebook(book), qPrintable(reg.error()));
        QProcess children[2];
        for (QProcess &child : children) {
            child.start(QCoreApplication::applicationFilePath(),
                        {"--record", server->host(), QString::number(server->port()), book.uid, "40"});
            QVERIFY(child.waitForReadyRead(30000) && child.readLine() == "ready\n");
        }
        // Both told before either is waited for: they print at the same time.
        for (QProcess &child : children) {
            child.write("go\n");
            QVERIFY(child.waitForBytesWritten(10000));
        }
        for (QProcess &child : children) {
            QVERIFY(child.waitForFinished(120000));
            QVERIFY2(child.exitCode() == 0, child.readAllStandardError().constData());
        }
        QCOMPARE(server->sql(
                     "SELECT COUNT(*), COUNT(DISTINCT number), MIN(number), MAX(number), MAX(b.next_number)"
                     " FROM cheques c JOIN chequebooks b ON b.id = c.chequebook_id WHERE b.name = 'Partagé'"),
                 QString("80|80|1|80|81"));

        // One batch at a time prints the shared queue.
        registre::Register other(registre::Location{true, settingsOf(*server)});
        other.usePassword(PrivatePostgres::password);
        QVERIFY(other.open() && other.takeQueue());
        QVERIFY(!reg.takeQueue());
        QVERIFY2(reg.error().startsWith("Les chèques à imprimer sont déjà en cours d'impression"),
                 qPrintable(reg.error()));
        other.releaseQueue();
        QVERIFY2(reg.takeQueue(), qPrintable(reg.error()));
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc == 6 && QByteArray(argv[1]) == "--record")
        return record(argv[2], QByteArray(argv[3]).toInt(), argv[4], QByteArray(argv[5]).toInt());
    PrivatePostgres pg;
    server = &pg;
    TestServer test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_server.moc"
