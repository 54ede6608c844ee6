#pragma once
// The cheque register: every cheque whose page reached the printer, one row each,
// with its chequebook, its number and its status, in an SQLite file beside the
// settings file, or shared by the workstations of an office on a PostgreSQL server.
// Both hold the same tables and run the same SQL. A damaged register file or a file
// that is not a register is set aside, and a read-only one can still be read.
// Nothing is ever deleted from it: a status changes, and each change is kept with
// who made it, when and why.

#include "register/ChequeImport.h"
#include "register/Chequebook.h"
#include "register/Server.h"

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <memory>

namespace cheque {
struct ChequeInput;
}
class QLockFile;
class QSqlError;
class QWidget;

namespace registre {

struct Entry {
    QDateTime printedAt;
    QString chequeDate; // as printed, "05/12/2026"
    QString beneficiary;
    QString amount; // as printed, "1 234,50"
    qint64 cents = 0;
    QString printer;
    qint16 paperBin = 0;
    qint16 orientation = 0;
    QString pdfFile; // only for "Fichier PDF"
    // The chequebook (its uid) whose next number the cheque takes; empty: none.
    QString chequebook;
    // Made when the page was handed over: a record tried again after its commit
    // went through finds itself, and is never written twice.
    QString printId;
    // "émis" for a printed cheque; "annulé" or "hors Tolvo" for a leaf skipped, which
    // must take a number.
    QString status = status::Émis;
    QString reason;
    // The cheque that this one prints again: it is cancelled in the same transaction.
    qint64 replaces = 0;
    // The number of the leaf printed, as announced before printing ("0001234"):
    // what the user is told of a record that has to wait. Empty: none.
    QString leaf;
    // The queued cheque this one is: it leaves the queue in the same transaction, so
    // that it is never both recorded and still waiting, nor neither.
    qint64 queued = 0;
};

// A cheque waiting in the queue of cheques to print, as typed or imported.
struct QueuedCheque : ImportedCheque {
    qint64 id = 0;
};

// What recording a cheque gave it.
struct Recorded {
    qint64 id = 0;
    qint64 number = -1;  // -1: no number
    QString numberText;  // "0001234"
    qint64 left = -1;    // leaves left in the chequebook after it; -1: no chequebook
    bool noLeaf = false; // a chequebook was given but had no number left
};

// The schema this program writes; older files are brought up to it on opening. A
// server's is brought up by its administrator, with the SQL file shipped with Tolvo.
inline constexpr int schemaVersion = 5;
// That file, in share/tolvo/.
inline constexpr const char *serverSqlFile = "registre-postgresql.sql";

// A name as the search compares it: letter case, accents and ligatures aside
// ("Émile Zoé" gives "emile zoe"). Stored with each row, so that the search is
// a plain comparison any database runs.
QString searchKey(const QString &text);

// Whether new cheques can be written where the register lives.
enum class Access { Writable, ReadOnlyFile, ReadOnlyFolder };
// "Le dossier du registre est en lecture seule.", empty when writable.
QString accessText(Access access);

// "Registre.sqlite" in the folder of the settings file.
QString filePath();

class Register {
public:
    // Where this computer's register lives (Tolvo.ini).
    Register();
    explicit Register(const QString &path);
    explicit Register(const Location &where);
    ~Register();
    Register(const Register &) = delete;
    Register &operator=(const Register &) = delete;

    // To record cheques, or only to read them (a read-only register then opens
    // read-only, creating nothing beside it).
    enum class Use { Record, Read };

    // Opens the file, creating or upgrading it. A damaged file, or one that is not
    // a register, is renamed aside (setAsideAs) and a new one started. False, with
    // error(), when the register cannot be used; a read-only register is never
    // opened to record. On a server: connects, with the password given or else
    // serverPassword(), and checks the version of its schema.
    bool open(Use use = Use::Record);
    // Closes it, to be opened again where the register now is.
    void relocate(const Location &where);
    // The password to connect with, instead of the one this run knows.
    void usePassword(const QString &password) { m_password = password; }
    // Whether the register is on a server, shared with other workstations.
    bool onServer() const { return m_server.has_value(); }
    // Whether the server still answers; when it stopped answering, the connection is
    // made again. Always true for a file that is open.
    bool reachable();
    // One cheque, in its own transaction that takes the chequebook's next number; a
    // register found damaged on the way is set aside and the cheque goes to a new one.
    // False, with error(), when not written.
    bool add(const Entry &entry, Recorded *recorded = nullptr);

    // The chequebooks, those in service first, by name.
    QList<Chequebook> chequebooks();
    std::optional<Chequebook> chequebook(const QString &uid);
    // Adds (id 0: given a new uid) or changes a chequebook. Its range must keep every
    // number already recorded, and its next number must be free from there on.
    bool saveChequebook(Chequebook &book);
    bool setChequebookClosed(const QString &uid, bool closed);

    // A chequebook's leaves sit in one workstation's printer: on a server, choosing
    // it claims it for this workstation. Taken when it is free or already this
    // workstation's, or when `takeOver` says to take it from the one that has it;
    // otherwise *book says which one has it and since when. A file belongs to one
    // computer: nothing to claim there.
    enum class Claim { Taken, HeldElsewhere, Failed };
    Claim claimChequebook(const QString &uid, bool takeOver, Chequebook *book = nullptr);
    // Gives it back, when this workstation has it.
    bool releaseChequebook(const QString &uid);

    // The queue of cheques to print, in its order. A queued cheque leaves it when it
    // is recorded (Entry::queued). False, with error(), when it cannot be read.
    bool queue(QList<QueuedCheque> &cheques);
    // Adds cheques at the end of the queue, all of them or none; their ids, in order.
    bool enqueue(const QList<ImportedCheque> &cheques, QList<qint64> *ids = nullptr);
    // Writes a queued cheque's texts; refused when it is no longer queued.
    bool updateQueued(const QueuedCheque &cheque);
    bool removeQueued(const QList<qint64> &ids);
    // Two queued cheques change places.
    bool swapQueued(qint64 first, qint64 second);
    // Whether a queued cheque still waits, asked before each page of a batch: a
    // server lost, or the cheque printed meanwhile by another program or workstation,
    // stops the batch before the page prints. False, with error(), when not.
    bool stillQueued(qint64 id);
    // One batch at a time prints a register's queue: two programs or workstations
    // printing it together would both print a cheque before either records it. Held
    // for the length of a batch; false, with error(), when another one holds it. A
    // program that ends or a connection that is lost gives it back.
    bool takeQueue();
    void releaseQueue();

    // Changes the status of the cheques given, with their history, in one
    // transaction. Cheques that cannot take that status are left as they are.
    // The number changed, or -1 with error().
    int setStatus(const QList<qint64> &ids, const QString &status, const QDate &day, const QString &reason);
    // "05/12/2026 14:03 émis (Marie Dupont)", oldest first, with the reason.
    QStringList history(qint64 id);

    QString path() const { return m_path; }
    // Where it is, for messages: the file's path, or "serveur compta-srv, base tolvo".
    QString where() const;
    // Which register it is, the same at every run: its file, or its server and user.
    QString key() const;
    QString error() const { return m_error; }
    QString setAsideAs() const { return m_setAside; }
    // Whether the file set aside was damaged or was no register at all.
    bool setAsideForeign() const { return m_foreign; }
    Access access() const { return m_access; }
    QSqlDatabase database() const;

private:
    enum class Opened { Ok, Failed, Damaged, Foreign };
    Opened openFile();
    bool openServer();
    Opened identify(QSqlDatabase &db, int &version);
    Opened readOnlyCopy(QSqlDatabase &db, int version);
    Opened upgrade(QSqlDatabase &db, int version);
    Opened failed(const QSqlError &error);
    bool setAsideAndReopen(Opened why);
    bool insert(const Entry &entry, Recorded *recorded, bool &damaged);
    bool writable();
    // Opens a transaction that writes, on a register that can be written; false, with
    // error(), when it cannot.
    bool beginWrite(QSqlDatabase &db);
    // Gives the transaction up and keeps the error: false.
    bool rollBack(QSqlDatabase &db, const QSqlError &error);
    bool fail(const QSqlError &error);
    bool failWith(const QString &error);
    void close();

    QString m_path;
    std::optional<ServerSettings> m_server;
    std::optional<QString> m_password;
    QString m_connection;
    QString m_error;
    QString m_setAside;
    bool m_foreign = false;
    Access m_access = Access::Writable;
    std::unique_ptr<QLockFile> m_queueLock; // the file's; a server's is its session's
    bool m_queueTaken = false;
};

// The row of a cheque printed now on a printer (file: the PDF written, if any),
// from the chequebook given (its uid; empty: none).
Entry entryFor(const cheque::ChequeInput &input, const QString &printer, const QString &file,
               const QDateTime &now, const QString &chequebook = QString());
// Cents as the amount with a decimal comma, no grouping: "1234,50", "-0,05".
QString centsText(qint64 cents);

// Tells the user that the register was set aside, when open() did so.
void tellSetAside(QWidget *parent, const Register &reg);

// Who changes a status: the user's full name, or the login name when there is none.
QString who();

} // namespace registre
