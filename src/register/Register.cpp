#include "register/Register.h"

#include "cheque/ChequeJob.h"
#include "cheque/ChequeLayout.h"
#include "platform/Application.h"
#include "platform/forms/MessageBox.h"
#include "settings/Settings.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace registre {

namespace {

QAtomicInt connections;

// Each version's step, applied in order to bring a file from version i to i + 1.
const char *const upgrades[] = {
    "CREATE TABLE cheques ("
    " id INTEGER PRIMARY KEY,"
    " printed_at TEXT NOT NULL,"  // local time, ISO 8601
    " cheque_date TEXT NOT NULL," // as printed
    " cheque_day TEXT NOT NULL,"  // the cheque's date as yyyy-mm-dd, for periods
    " beneficiary TEXT NOT NULL,"
    " amount TEXT NOT NULL,"
    " cents INTEGER NOT NULL,"
    " printer TEXT NOT NULL,"
    " paper_bin INTEGER NOT NULL,"
    " orientation INTEGER NOT NULL,"
    " pdf_file TEXT NOT NULL)",
};
static_assert(std::size(upgrades) == schemaVersion);

// SQLite's primary result codes that mean the file is not a usable database.
bool isDamage(const QSqlError &error)
{
    const int code = error.nativeErrorCode().toInt() & 0xff;
    return code == 11 /* CORRUPT */ || code == 26 /* NOTADB */;
}

QString reason(const QSqlError &error)
{
    switch (error.nativeErrorCode().toInt() & 0xff) {
    case 5:
    case 6: return QStringLiteral("Le registre est occupé par un autre programme.");
    case 8: return QStringLiteral("Le fichier du registre est en lecture seule.");
    case 10: return QStringLiteral("Erreur d'écriture sur le disque.");
    case 13: return QStringLiteral("Le disque est plein.");
    case 14: return QStringLiteral("Le fichier du registre ne peut pas être ouvert.");
    default: return QStringLiteral("Erreur de la base de données : %1").arg(error.text());
    }
}

} // namespace

QString filePath()
{
    return platform::settingsFile(QStringLiteral("Registre.sqlite"));
}

Register::Register(const QString &path)
    : m_path(path), m_connection(QStringLiteral("registre-%1").arg(connections.fetchAndAddRelaxed(1)))
{
}

Register::~Register()
{
    close();
}

QSqlDatabase Register::database() const
{
    return QSqlDatabase::database(m_connection, false);
}

void Register::close()
{
    if (!QSqlDatabase::contains(m_connection))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

bool Register::fail(const QSqlError &error)
{
    m_error = reason(error);
    return false;
}

bool Register::open()
{
    m_error.clear();
    m_setAside.clear();
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        m_error = QStringLiteral("Le pilote SQLite de Qt n'est pas installé (paquet libqt6sql6-sqlite).");
        return false;
    }
    if (openFile())
        return true;
    if (!m_error.isEmpty())
        return false;
    return setAsideAndReopen();
}

// Damaged: keep it, under a dated name, with its journal, and start afresh.
bool Register::setAsideAndReopen()
{
    close();
    const QFileInfo info(m_path);
    const QString stem = info.absolutePath() + QLatin1Char('/') + info.completeBaseName() +
                         QStringLiteral("-endommagé-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = stem + QStringLiteral(".sqlite");
    for (int n = 2; QFile::exists(aside); ++n)
        aside = stem + QStringLiteral("-%1.sqlite").arg(n);
    if (!QFile::rename(m_path, aside)) {
        m_error = QStringLiteral("Le registre est endommagé et n'a pas pu être mis de côté.");
        return false;
    }
    for (const char *suffix : {"-wal", "-shm"})
        if (QFile::exists(m_path + QLatin1String(suffix)))
            QFile::rename(m_path + QLatin1String(suffix), aside + QLatin1String(suffix));
    m_setAside = aside;
    if (openFile())
        return true;
    if (m_error.isEmpty())
        m_error = QStringLiteral("Le nouveau registre n'a pas pu être créé.");
    return false;
}

// False with an empty error when the file is damaged.
bool Register::openFile()
{
    close();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open())
        return fail(db.lastError());

    // Reading the header tells a file that is no database; deeper damage shows on
    // the first write, which add() handles. (A full check would cost every cheque
    // a read of the whole register.)
    QSqlQuery q(db);
    // The write-ahead log keeps the file whole when the program is killed mid-write.
    if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL")) ||
        !q.exec(QStringLiteral("PRAGMA synchronous=FULL")))
        return isDamage(q.lastError()) ? false : fail(q.lastError());

    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next())
        return isDamage(q.lastError()) ? false : fail(q.lastError());
    const int version = q.value(0).toInt();
    if (version > schemaVersion) {
        m_error = QStringLiteral("Le registre a été créé par une version plus récente de Tolvo.");
        return false;
    }
    if (version < schemaVersion) {
        if (!db.transaction())
            return fail(db.lastError());
        for (int v = version; v < schemaVersion; ++v) {
            if (!q.exec(QLatin1String(upgrades[v]))) {
                const QSqlError error = q.lastError();
                db.rollback();
                return isDamage(error) ? false : fail(error);
            }
        }
        if (!q.exec(QStringLiteral("PRAGMA user_version = %1").arg(schemaVersion)) || !db.commit()) {
            const QSqlError error = q.lastError().isValid() ? q.lastError() : db.lastError();
            db.rollback();
            return fail(error);
        }
    }
    return true;
}

bool Register::add(const Entry &entry)
{
    bool damaged = false;
    if (insert(entry, damaged))
        return true;
    if (!damaged || !m_setAside.isEmpty())
        return false;
    m_error.clear();
    return setAsideAndReopen() && insert(entry, damaged);
}

bool Register::insert(const Entry &entry, bool &damaged)
{
    m_error.clear();
    QSqlDatabase db = database();
    if (!db.isOpen()) {
        m_error = QStringLiteral("Le registre n'est pas ouvert.");
        return false;
    }
    if (!db.transaction())
        return fail(db.lastError());
    QSqlQuery q(db);
    q.prepare(QStringLiteral(
        "INSERT INTO cheques (printed_at, cheque_date, cheque_day, beneficiary, amount, cents, printer,"
        " paper_bin, orientation, pdf_file) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    const QDate day = QDate::fromString(entry.chequeDate, QStringLiteral("dd/MM/yyyy"));
    q.addBindValue(entry.printedAt.toString(Qt::ISODate));
    q.addBindValue(entry.chequeDate);
    q.addBindValue(day.isValid() ? day.toString(Qt::ISODate) : QString(QLatin1String("")));
    q.addBindValue(entry.beneficiary.isNull() ? QString(QLatin1String("")) : entry.beneficiary);
    q.addBindValue(entry.amount);
    q.addBindValue(entry.cents);
    q.addBindValue(entry.printer.isNull() ? QString(QLatin1String("")) : entry.printer);
    q.addBindValue(int(entry.paperBin));
    q.addBindValue(int(entry.orientation));
    q.addBindValue(entry.pdfFile.isNull() ? QString(QLatin1String("")) : entry.pdfFile);
    if (!q.exec() || !db.commit()) {
        const QSqlError error = q.lastError().isValid() ? q.lastError() : db.lastError();
        db.rollback();
        damaged = isDamage(error);
        return fail(error);
    }
    return true;
}

Entry entryFor(const cheque::ChequeInput &input, const QString &printer, const QString &file,
               const QDateTime &now)
{
    Entry e;
    e.printedAt = now;
    e.chequeDate = input.date;
    e.beneficiary = input.beneficiary;
    // The job refuses amounts these cannot read, so both hold for a printed cheque.
    try {
        e.amount = cheque::FiguresText(input.amount, false);
    } catch (const std::exception &) {
        e.amount = input.amount;
    }
    if (const auto parts = cheque::AmountParts(input.amount))
        e.cents = qint64(parts->whole) * 100 + parts->cents;
    e.printer = printer;
    e.paperBin = settings::toInt16(input.paperBinTag);
    e.orientation = settings::toInt16(input.orientationTag);
    e.pdfFile = file;
    return e;
}

QString centsText(qint64 cents)
{
    const bool negative = cents < 0;
    const quint64 magnitude = negative ? quint64(0) - quint64(cents) : quint64(cents);
    return QStringLiteral("%1%2,%3")
        .arg(negative ? QStringLiteral("-") : QString())
        .arg(magnitude / 100)
        .arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

void tellSetAside(QWidget *parent, const Register &reg)
{
    if (reg.setAsideAs().isEmpty())
        return;
    platform::messageBox(
        parent,
        QStringLiteral("Le registre des chèques était endommagé. Il a été mis de côté sous le nom\r\n%1\r\n"
                       "et un nouveau registre a été commencé.")
            .arg(QDir::toNativeSeparators(reg.setAsideAs())),
        platform::MsgIcon::Exclamation);
}

bool recordPrinted(QWidget *parent, const Entry &entry)
{
    Register reg;
    const bool recorded = reg.open() && reg.add(entry);
    tellSetAside(parent, reg);
    if (recorded)
        return true;
    platform::messageBox(
        parent,
        QStringLiteral("Le chèque a été imprimé mais n'a pas pu être inscrit au registre.\r\n%1\r\n%2")
            .arg(reg.error(), QDir::toNativeSeparators(reg.path())),
        platform::MsgIcon::Exclamation);
    return false;
}

} // namespace registre
