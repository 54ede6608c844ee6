#pragma once
// The cheque register: every cheque whose page reached the printer, one row each,
// in an SQLite file beside the settings file. It never stops the printing: a
// register that cannot be written is reported, a damaged one is set aside.

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
inline constexpr int schemaVersion = 1;

// "Registre.sqlite" in the folder of the settings file.
QString filePath();

class Register {
public:
    explicit Register(const QString &path = filePath());
    ~Register();
    Register(const Register &) = delete;
    Register &operator=(const Register &) = delete;

    // Opens the file, creating or upgrading it. A file that is not a sound register
    // is renamed aside (setAsideAs) and a new one started. False, with error(),
    // when the register cannot be used.
    bool open();
    // One cheque, in its own transaction; a register found damaged on the way is
    // set aside and the cheque goes to a new one. False, with error(), when not written.
    bool add(const Entry &entry);

    QString path() const { return m_path; }
    QString error() const { return m_error; }
    QString setAsideAs() const { return m_setAside; }
    QSqlDatabase database() const;

private:
    bool openFile();
    bool setAsideAndReopen();
    bool insert(const Entry &entry, bool &damaged);
    bool fail(const QSqlError &error);
    void close();

    QString m_path;
    QString m_connection;
    QString m_error;
    QString m_setAside;
};

// The row of a cheque printed now on a printer (file: the PDF written, if any).
Entry entryFor(const cheque::ChequeInput &input, const QString &printer, const QString &file,
               const QDateTime &now);
// Cents as the amount with a decimal comma, no grouping: "1234,50", "-0,05".
QString centsText(qint64 cents);

// Tells the user that a damaged register was set aside, when open() did so.
void tellSetAside(QWidget *parent, const Register &reg);

// Records one printed cheque. Failures and a set-aside register are told to the
// user in a message box; the result says whether the row was written.
bool recordPrinted(QWidget *parent, const Entry &entry);

} // namespace registre
