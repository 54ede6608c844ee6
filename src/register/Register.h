#pragma once
// The cheque register: every cheque whose page reached the printer, one row each,
// in an SQLite file beside the settings file. It never stops the printing: a
// register that cannot be written is reported, a damaged one or a file that is
// not a register is set aside, and a read-only one can still be read.

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>

namespace cheque {
struct ChequeInput;
}
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
};

// The schema this program writes; older files are brought up to it on opening.
inline constexpr int schemaVersion = 2;

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
    explicit Register(const QString &path = filePath());
    ~Register();
    Register(const Register &) = delete;
    Register &operator=(const Register &) = delete;

    // To record cheques, or only to read them (a read-only register then opens
    // read-only, creating nothing beside it).
    enum class Use { Record, Read };

    // Opens the file, creating or upgrading it. A damaged file, or one that is not
    // a register, is renamed aside (setAsideAs) and a new one started. False, with
    // error(), when the register cannot be used; a read-only register is never
    // opened to record.
    bool open(Use use = Use::Record);
    // One cheque, in its own transaction; a register found damaged on the way is
    // set aside and the cheque goes to a new one. False, with error(), when not written.
    bool add(const Entry &entry);

    QString path() const { return m_path; }
    QString error() const { return m_error; }
    QString setAsideAs() const { return m_setAside; }
    // Whether the file set aside was damaged or was no register at all.
    bool setAsideForeign() const { return m_foreign; }
    Access access() const { return m_access; }
    QSqlDatabase database() const;

private:
    enum class Opened { Ok, Failed, Damaged, Foreign };
    Opened openFile();
    Opened identify(QSqlDatabase &db, int &version);
    Opened readOnlyCopy(QSqlDatabase &db, int version);
    Opened upgrade(QSqlDatabase &db, int version);
    Opened failed(const QSqlError &error);
    bool setAsideAndReopen(Opened why);
    bool insert(const Entry &entry, bool &damaged);
    bool fail(const QSqlError &error);
    void close();

    QString m_path;
    QString m_connection;
    QString m_error;
    QString m_setAside;
    bool m_foreign = false;
    Access m_access = Access::Writable;
};

// The row of a cheque printed now on a printer (file: the PDF written, if any).
Entry entryFor(const cheque::ChequeInput &input, const QString &printer, const QString &file,
               const QDateTime &now);
// Cents as the amount with a decimal comma, no grouping: "1234,50", "-0,05".
QString centsText(qint64 cents);

// Tells the user that the register was set aside, when open() did so.
void tellSetAside(QWidget *parent, const Register &reg);

// Records one printed cheque. Failures and a set-aside register are told to the
// user in a message box; the result says whether the row was written.
bool recordPrinted(QWidget *parent, const Entry &entry);

} // namespace registre
