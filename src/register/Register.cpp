#include "register/Register.h"

#include "cheque/ChequeJob.h"
#include "cheque/ChequeLayout.h"
#include "platform/Application.h"
#include "platform/UserName.h"
#include "platform/forms/MessageBox.h"
#include "register/RegisterList.h"
#include "settings/Settings.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUuid>
#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

namespace registre {

namespace {

QAtomicInt connections;

// Marks the file as a Tolvo register ("Tolv"); files of the first schema lack it.
constexpr qint64 applicationId = 0x546f6c76;

// The columns of the first schema, by which a file written before the mark is known.
const QStringList firstColumns = {"id",          "printed_at",  "cheque_date", "cheque_day",
                                  "beneficiary", "amount",      "cents",       "printer",
                                  "paper_bin",   "orientation", "pdf_file"};

// What differs between database engines, in one place: the register's own SQL runs
// on both. SQLite's file handling is Register's; the server's connection, Server's.
namespace engine {

// Opens a transaction that writes. SQLite takes the write lock at once, so that two
// programs taking numbers wait for each other instead of failing when their reads
// turn into writes; a server locks the rows the transaction writes. The error, if
// it could not.
QSqlError beginWrite(QSqlDatabase &db, bool server)
{
    if (server)
        return db.transaction() ? QSqlError() : db.lastError();
    QSqlQuery q(db);
    q.exec(QStringLiteral("BEGIN IMMEDIATE"));
    return q.lastError();
}

// Ends the read of a chequebook whose next number is taken: SQLite's write lock
// already holds the whole file; on a server, the chequebook's row is locked until
// the cheque is written, so that two workstations never take the same number.
QString lockRow(bool server)
{
    return server ? QStringLiteral(" FOR UPDATE") : QString();
}

// A server's error that means the connection is gone (no answer, the server
// stopping): the next action connects again.
bool lost(const QSqlError &error)
{
    const QString code = error.nativeErrorCode();
    return code.isEmpty() || code.startsWith(QLatin1String("08")) || code.startsWith(QLatin1String("57P"));
}

QString serverReason(const QSqlError &error)
{
    const QString code = error.nativeErrorCode();
    if (lost(error))
        return QStringLiteral("La connexion au serveur du registre a été perdue.");
    if (code == QLatin1String("42501"))
        return QStringLiteral("Le serveur du registre refuse cette opération à cet utilisateur.");
    if (code == QLatin1String("55P03"))
        return QStringLiteral("Le registre est occupé par un autre poste.");
    return QStringLiteral("Erreur du serveur du registre : %1")
        .arg(error.databaseText().section(QLatin1Char('\n'), 0, 0).trimmed());
}

// Guards SQLite offers beside the schema: rows of cheques and of their history are
// never deleted, and a history line never changes.
const char *const keepRows[] = {
    "CREATE TRIGGER cheques_kept BEFORE DELETE ON cheques"
    " BEGIN SELECT RAISE(ABORT, 'Un chèque n''est jamais effacé du registre.'); END",
    "CREATE TRIGGER history_kept BEFORE DELETE ON history"
    " BEGIN SELECT RAISE(ABORT, 'L''historique du registre n''est jamais effacé.'); END",
    "CREATE TRIGGER history_unchanged BEFORE UPDATE ON history"
    " BEGIN SELECT RAISE(ABORT, 'L''historique du registre n''est jamais modifié.'); END",
};

} // namespace engine

// An upgrade step runs on the file, or, for a register that can only be read, on
// temporary copies of its tables, which hide the file's own.
struct Step {
    QSqlQuery &q;
    bool copy;

    bool exec(const QString &sql)
    {
        if (!copy)
            return q.exec(sql);
        if (sql.startsWith(QLatin1String("CREATE TRIGGER")))
            return true; // nothing is written to a copy
        QString temporary = sql;
        temporary.replace(QLatin1String("CREATE TABLE "), QLatin1String("CREATE TEMP TABLE "));
        return q.exec(temporary);
    }
    bool exec(std::initializer_list<const char *> statements)
    {
        for (const char *sql : statements)
            if (!exec(QString::fromUtf8(sql)))
                return false;
        return true;
    }
};

bool createTable(Step &s)
{
    return s.exec({"CREATE TABLE cheques ("
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
                   " pdf_file TEXT NOT NULL)"});
}

// The search key of every row written before it existed, and what the window sorts by.
bool addSearchKey(Step &s)
{
    QSqlQuery &q = s.q;
    if (!s.exec({"ALTER TABLE cheques ADD COLUMN beneficiary_key TEXT NOT NULL DEFAULT ''",
                 "SELECT id, beneficiary FROM cheques"}))
        return false;
    QList<std::pair<qint64, QString>> rows;
    while (q.next())
        rows.append({q.value(0).toLongLong(), searchKey(q.value(1).toString())});
    if (q.lastError().isValid())
        return false;
    q.prepare(QStringLiteral("UPDATE cheques SET beneficiary_key = ? WHERE id = ?"));
    for (const auto &[id, key] : rows) {
        q.addBindValue(key);
        q.addBindValue(id);
        if (!q.exec())
            return false;
    }
    // The amounts ride along, so that the count and total of a search read the index alone.
    return s.exec({"CREATE INDEX cheques_beneficiary_key ON cheques (beneficiary_key, cents)",
                   "CREATE INDEX cheques_cheque_day ON cheques (cheque_day, cents)",
                   "CREATE INDEX cheques_cents ON cheques (cents)"});
}

// Chequebooks, the number and status of each cheque, and the history of the statuses.
// The cheques already there keep no number and are issued, since the day they were
// printed.
bool addChequebooks(Step &s)
{
    if (!s.exec({"CREATE TABLE chequebooks ("
                 " id INTEGER PRIMARY KEY,"
                 " uid TEXT NOT NULL UNIQUE,"
                 " name TEXT NOT NULL,"
                 " account TEXT NOT NULL,"
                 " first_number INTEGER NOT NULL,"
                 " last_number INTEGER NOT NULL,"
                 " next_number INTEGER NOT NULL," // last_number + 1 once every leaf is used
                 " digits INTEGER NOT NULL,"      // the width of the numbers, leading zeros included
                 " closed_at TEXT NOT NULL,"      // ISO 8601; empty while in service
                 " CHECK (first_number >= 0 AND first_number <= last_number"
                 " AND next_number >= first_number AND next_number <= last_number + 1))",
                 "ALTER TABLE cheques ADD COLUMN chequebook_id INTEGER REFERENCES chequebooks (id)",
                 "ALTER TABLE cheques ADD COLUMN number INTEGER",
                 "ALTER TABLE cheques ADD COLUMN status TEXT NOT NULL DEFAULT 'émis'",
                 "ALTER TABLE cheques ADD COLUMN status_day TEXT NOT NULL DEFAULT ''", // yyyy-mm-dd
                 "ALTER TABLE cheques ADD COLUMN reason TEXT NOT NULL DEFAULT ''",
                 "ALTER TABLE cheques ADD COLUMN print_id TEXT",
                 "UPDATE cheques SET status_day = substr(printed_at, 1, 10)",
                 // A number is never given twice in a chequebook, whatever the code does.
                 "CREATE UNIQUE INDEX cheques_number ON cheques (chequebook_id, number)",
                 "CREATE UNIQUE INDEX cheques_print_id ON cheques (print_id)",
                 // The window's totals, by status, read from the index alone whatever
                 // the filter; the rows of a status or of a chequebook in their order.
                 "CREATE INDEX cheques_status ON cheques (status, cents, cheque_day, beneficiary_key)",
                 "CREATE INDEX cheques_status_order ON cheques (status)",
                 "CREATE INDEX cheques_chequebook ON cheques (chequebook_id)",
                 "CREATE INDEX cheques_chequebook_status ON cheques (chequebook_id, status, cents)",
                 "CREATE TABLE history ("
                 " id INTEGER PRIMARY KEY,"
                 " cheque_id INTEGER NOT NULL REFERENCES cheques (id),"
                 " changed_at TEXT NOT NULL," // local time, ISO 8601
                 " who TEXT NOT NULL,"
                 " status TEXT NOT NULL,"
                 " status_day TEXT NOT NULL,"
                 " reason TEXT NOT NULL)",
                 "CREATE INDEX history_cheque ON history (cheque_id)"}))
        return false;
    for (const char *guard : engine::keepRows)
        if (!s.exec(QString::fromUtf8(guard)))
            return false;
    return true;
}

// The cheques waiting to be printed, typed or imported, in the user's order. Each
// leaves the queue in the transaction that records it.
bool addQueue(Step &s)
{
    return s.exec({"CREATE TABLE queue ("
                   " id INTEGER PRIMARY KEY,"
                   " uid TEXT NOT NULL UNIQUE,"
                   " position INTEGER NOT NULL,"
                   " beneficiary TEXT NOT NULL,"
                   " amount TEXT NOT NULL,"      // as typed, normalised once the field is left
                   " cheque_date TEXT NOT NULL," // empty: the date typed when it is printed
                   " note TEXT NOT NULL)",
                   "CREATE INDEX queue_position ON queue (position)"});
}

// Which workstation of a shared register has each chequebook in its printer.
bool addClaims(Step &s)
{
    return s.exec({"ALTER TABLE chequebooks ADD COLUMN claimed_by TEXT NOT NULL DEFAULT ''",
                   "ALTER TABLE chequebooks ADD COLUMN claimed_at TEXT NOT NULL DEFAULT ''"}); // ISO 8601
}

// Each version's step, applied in order within one transaction to bring a file from
// version i to i + 1.
bool (*const upgrades[])(Step &) = {createTable, addSearchKey, addChequebooks, addQueue, addClaims};
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

// Asked with the program's effective user, as the files will be written.
bool canWrite(const QString &path)
{
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) == 0;
}

// A folder that does not exist is no read-only one: opening tells what is wrong.
Access accessOf(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (QFileInfo::exists(folder) && !canWrite(folder))
        return Access::ReadOnlyFolder;
    if (QFile::exists(path) && !canWrite(path))
        return Access::ReadOnlyFile;
    return Access::Writable;
}

// A text column's value: never NULL.
QString text(const QString &value)
{
    return value.isNull() ? QString(QLatin1String("")) : value;
}

QString notQueued()
{
    return QStringLiteral("Ce chèque n'est plus dans la file : il a été imprimé ou retiré par un autre "
                          "programme.");
}

// Runs a statement with its values bound in order.
bool exec(QSqlQuery &q, const QString &sql, const QVariantList &values)
{
    q.prepare(sql);
    for (const QVariant &v : values)
        q.addBindValue(v);
    return q.exec();
}

QString newUid()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

// One line of a cheque's history: the status it took, by whom, when and why.
bool addHistory(QSqlQuery &q, qint64 chequeId, const QString &status, const QString &statusDay,
                const QString &reason)
{
    return exec(q,
                QStringLiteral("INSERT INTO history (cheque_id, changed_at, who, status, status_day, reason)"
                               " VALUES (?, ?, ?, ?, ?, ?)"),
                {chequeId, QDateTime::currentDateTime().toString(Qt::ISODate), who(), status, statusDay,
                 text(reason)});
}

// The files SQLite keeps beside the register.
const char *const companions[] = {"-wal", "-shm", "-journal"};

} // namespace

QString searchKey(const QString &text)
{
    // Letters that carry no accent to drop but are written otherwise in plain text.
    static const std::pair<char16_t, const char *> plain[] = {
        {u'œ', "oe"}, {u'æ', "ae"}, {u'ß', "ss"}, {u'ø', "o"}, {u'ł', "l"}, {u'đ', "d"},
        {u'ð', "d"},  {u'þ', "th"}, {u'ı', "i"},  {u'’', "'"}, {u'‘', "'"}};
    QString key;
    key.reserve(text.size());
    for (const QChar c : text.toCaseFolded().normalized(QString::NormalizationForm_KD)) {
        const QChar::Category category = c.category();
        if (category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
            category == QChar::Mark_Enclosing)
            continue;
        const auto *found = std::find_if(std::begin(plain), std::end(plain),
                                         [c](const auto &p) { return p.first == c.unicode(); });
        if (found != std::end(plain))
            key += QLatin1String(found->second);
        else
            key += c;
    }
    return key;
}

QString accessText(Access access)
{
    switch (access) {
    case Access::ReadOnlyFolder: return QStringLiteral("Le dossier du registre est en lecture seule.");
    case Access::ReadOnlyFile: return QStringLiteral("Le fichier du registre est en lecture seule.");
    case Access::Writable: break;
    }
    return {};
}

QString filePath()
{
    return platform::settingsFile(QStringLiteral("Registre.sqlite"));
}

Register::Register() : Register(location()) {}

Register::Register(const QString &path)
    : m_path(path), m_connection(QStringLiteral("registre-%1").arg(connections.fetchAndAddRelaxed(1)))
{
}

Register::Register(const Location &where) : Register(filePath())
{
    if (where.onServer)
        m_server = where.server;
}

void Register::relocate(const Location &where)
{
    close();
    m_server.reset();
    if (where.onServer)
        m_server = where.server;
    m_password.reset();
}

QString Register::where() const
{
    return m_server ? m_server->description() : QDir::toNativeSeparators(m_path);
}

QString Register::key() const
{
    return m_server ? QStringLiteral("postgresql://") + m_server->keyringKey()
                    : QStringLiteral("file://") + QFileInfo(m_path).absoluteFilePath();
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
    m_queueLock.reset();
    m_queueTaken = false;
    if (!QSqlDatabase::contains(m_connection))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

bool Register::beginWrite(QSqlDatabase &db)
{
    if (!writable())
        return false;
    db = database();
    if (const QSqlError error = engine::beginWrite(db, onServer()); error.isValid())
        return fail(error);
    return true;
}

bool Register::rollBack(QSqlDatabase &db, const QSqlError &error)
{
    db.rollback();
    return fail(error);
}

bool Register::fail(const QSqlError &error)
{
    m_error = m_server ? engine::serverReason(error) : reason(error);
    return false;
}

Register::Opened Register::failed(const QSqlError &error)
{
    fail(error);
    return Opened::Failed;
}

bool Register::open(Use use)
{
    m_error.clear();
    m_setAside.clear();
    m_foreign = false;
    if (m_server)
        return openServer();
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        m_error = QStringLiteral("Le pilote SQLite de Qt n'est pas installé (paquet libqt6sql6-sqlite).");
        return false;
    }
    m_access = accessOf(m_path);
    if (m_access != Access::Writable && use == Use::Record) {
        // Opening would leave read-only companion files that outlive the cause.
        m_error = accessText(m_access);
        return false;
    }
    if (m_access == Access::Writable) {
        // Companions left read-only (by an earlier version) would keep refusing every
        // cheque once the register is writable again; they take the register's rights.
        for (const char *suffix : companions) {
            const QString companion = m_path + QLatin1String(suffix);
            if (QFile::exists(companion) && !canWrite(companion))
                QFile::setPermissions(companion, QFile::permissions(m_path));
        }
    }
    const Opened opened = openFile();
    if (opened == Opened::Ok)
        return true;
    if (opened == Opened::Failed)
        return false;
    if (m_access != Access::Writable) {
        // Someone who may not write it never moves it away (it may be another user's,
        // caught in the middle of a write).
        m_error = opened == Opened::Foreign
                      ? QStringLiteral("Le fichier du registre n'est pas un registre de Tolvo.")
                      : QStringLiteral("Le registre est endommagé.");
        return false;
    }
    return setAsideAndReopen(opened);
}

// Damaged or foreign: keep it untouched under a dated name, with its companions,
// and start afresh.
bool Register::setAsideAndReopen(Opened why)
{
    close();
    m_foreign = why == Opened::Foreign;
    const QFileInfo info(m_path);
    const QString stem = info.absolutePath() + QLatin1Char('/') + info.completeBaseName() +
                         (m_foreign ? QStringLiteral("-inconnu-") : QStringLiteral("-endommagé-")) +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = stem + QStringLiteral(".sqlite");
    for (int n = 2; QFile::exists(aside); ++n)
        aside = stem + QStringLiteral("-%1.sqlite").arg(n);
    if (!QFile::rename(m_path, aside)) {
        m_error = m_foreign
                      ? QStringLiteral("Le fichier du registre n'est pas un registre de Tolvo et n'a pas "
                                       "pu être mis de côté.")
                      : QStringLiteral("Le registre est endommagé et n'a pas pu être mis de côté.");
        return false;
    }
    for (const char *suffix : companions)
        if (QFile::exists(m_path + QLatin1String(suffix)))
            QFile::rename(m_path + QLatin1String(suffix), aside + QLatin1String(suffix));
    m_setAside = aside;
    m_access = accessOf(m_path);
    if (openFile() == Opened::Ok)
        return true;
    if (m_error.isEmpty())
        m_error = QStringLiteral("Le nouveau registre n'a pas pu être créé.");
    return false;
}

Register::Opened Register::openFile()
{
    close();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    const QFileInfo file(m_path);
    if (m_access == Access::Writable) {
        db.setDatabaseName(m_path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    } else if (!file.exists()) {
        db.setDatabaseName(QStringLiteral(":memory:"));
    } else {
        // Reading a register in write-ahead mode makes SQLite create its companion
        // files, read-only here and in the way once the register is writable again.
        // With no pending log the file alone holds every row, and is read as it stands.
        const QFileInfo log(m_path + QStringLiteral("-wal"));
        db.setDatabaseName(
            QUrl::fromLocalFile(file.absoluteFilePath()).toString(QUrl::FullyEncoded) +
            (log.exists() && log.size() > 0 ? QStringLiteral("?mode=ro") : QStringLiteral("?immutable=1")));
        db.setConnectOptions(
            QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
    }
    if (!db.open())
        return failed(db.lastError());

    int version = 0;
    if (const Opened known = identify(db, version); known != Opened::Ok)
        return known;
    if (version > schemaVersion) {
        m_error = QStringLiteral("Le registre a été créé par une version plus récente de Tolvo.");
        return Opened::Failed;
    }
    if (m_access != Access::Writable)
        return version < schemaVersion ? readOnlyCopy(db, version) : Opened::Ok;

    QSqlQuery q(db);
    // The write-ahead log keeps the file whole when the program is killed mid-write.
    if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL")) ||
        !q.exec(QStringLiteral("PRAGMA synchronous=FULL")) ||
        !q.exec(QStringLiteral("PRAGMA foreign_keys=ON")))
        return isDamage(q.lastError()) ? Opened::Damaged : failed(q.lastError());
    return version < schemaVersion ? upgrade(db, version) : Opened::Ok;
}

// Only reads, so that a file that turns out not to be a register is left as it was.
// Reading the header tells a file that is no database; deeper damage shows on the
// first write, which add() handles. (A full check would cost every cheque a read
// of the whole register.)
Register::Opened Register::identify(QSqlDatabase &db, int &version)
{
    QSqlQuery q(db);
    const auto number = [&](const QString &sql, qint64 &value) {
        if (!q.exec(sql) || !q.next())
            return false;
        value = q.value(0).toLongLong();
        return true;
    };
    qint64 id = 0, user = 0, tables = 0;
    if (!number(QStringLiteral("PRAGMA application_id"), id) ||
        !number(QStringLiteral("PRAGMA user_version"), user) ||
        !number(QStringLiteral("SELECT COUNT(*) FROM sqlite_master"), tables))
        return isDamage(q.lastError()) ? Opened::Damaged : failed(q.lastError());
    version = int(std::clamp<qint64>(user, 0, schemaVersion + 1));
    if (id == applicationId)
        return Opened::Ok;
    if (id != 0 || user != 1)
        return id == 0 && user == 0 && tables == 0 ? Opened::Ok : Opened::Foreign;
    // The first schema carried no mark: known by its table.
    if (!q.exec(QStringLiteral("PRAGMA table_info(cheques)")))
        return isDamage(q.lastError()) ? Opened::Damaged : failed(q.lastError());
    QStringList columns;
    while (q.next())
        columns << q.value(1).toString();
    return columns == firstColumns ? Opened::Ok : Opened::Foreign;
}

Register::Opened Register::upgrade(QSqlDatabase &db, int version)
{
    QSqlQuery q(db);
    Step step{q, false};
    if (!db.transaction())
        return failed(db.lastError());
    for (int v = version; v < schemaVersion; ++v) {
        if (!upgrades[v](step)) {
            const QSqlError error = q.lastError();
            db.rollback();
            return isDamage(error) ? Opened::Damaged : failed(error);
        }
    }
    if (!q.exec(QStringLiteral("PRAGMA application_id = %1").arg(applicationId)) ||
        !q.exec(QStringLiteral("PRAGMA user_version = %1").arg(schemaVersion)) || !db.commit()) {
        const QSqlError error = q.lastError().isValid() ? q.lastError() : db.lastError();
        db.rollback();
        return failed(error);
    }
    return Opened::Ok;
}

// A register of an older schema that cannot be upgraded: the same steps, on a copy
// in the connection's temporary tables, which hide the file's own.
Register::Opened Register::readOnlyCopy(QSqlDatabase &db, int version)
{
    if (version == 0) {
        // Nothing recorded yet, and nothing can be: an empty register in memory.
        db.close();
        db.setDatabaseName(QStringLiteral(":memory:"));
        db.setConnectOptions();
        if (!db.open())
            return failed(db.lastError());
    }
    QSqlQuery q(db);
    // The tables that later steps change, as the file has them.
    const bool copied =
        (version < 1 || q.exec(QStringLiteral("CREATE TEMP TABLE cheques AS SELECT * FROM main.cheques"))) &&
        (version < 3 ||
         q.exec(QStringLiteral("CREATE TEMP TABLE chequebooks AS SELECT * FROM main.chequebooks")));
    if (!copied)
        return isDamage(q.lastError()) ? Opened::Damaged : failed(q.lastError());
    Step step{q, true};
    for (int v = version; v < schemaVersion; ++v)
        if (!upgrades[v](step))
            return isDamage(q.lastError()) ? Opened::Damaged : failed(q.lastError());
    return Opened::Ok;
}

bool Register::openServer()
{
    // Connecting again keeps the connection's name, so that a window's rows on the
    // old one just end.
    if (QSqlDatabase::contains(m_connection) && database().driverName() != QLatin1String("QPSQL"))
        close();
    m_access = Access::Writable; // what may be written there is the server's to say
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        return failWith(
            QStringLiteral("Le pilote PostgreSQL de Qt n'est pas installé (paquet libqt6sql6-psql)."));
    const std::optional<QString> password = m_password ? m_password : serverPassword(*m_server, true);
    if (!password)
        return failWith(QStringLiteral("Le mot de passe du registre n'a pas été donné."));
    QSqlDatabase db = QSqlDatabase::contains(m_connection)
                          ? database()
                          : QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_connection);
    db.close();
    QString problem;
    bool refused = false;
    if (!connectToServer(db, *m_server, *password, &problem, &refused)) {
        // A password typed wrong is asked again at the next action.
        if (refused && !m_password)
            forgetPassword(*m_server);
        return failWith(problem);
    }
    // The schema's version, in a table of one row, checked as on the file.
    QSqlQuery q(db);
    const QString sqlFile = QString::fromLatin1(serverSqlFile);
    if (!q.exec(QStringLiteral("SELECT version FROM register_version")) || !q.next()) {
        const QString code = q.lastError().nativeErrorCode();
        if (code == QLatin1String("42P01"))
            return failWith(QStringLiteral("La base « %1 » du serveur « %2 » ne contient pas de registre de "
                                           "Tolvo : l'administrateur doit y exécuter le fichier %3 fourni "
                                           "avec Tolvo.")
                                .arg(m_server->database, m_server->host, sqlFile));
        if (code == QLatin1String("42501"))
            return failWith(
                QStringLiteral("L'utilisateur « %1 » n'a pas accès au registre du serveur « %2 » : "
                               "l'administrateur doit exécuter le fichier %3 pour lui.")
                    .arg(m_server->user, m_server->host, sqlFile));
        return fail(q.lastError());
    }
    const int version = q.value(0).toInt();
    if (version > schemaVersion)
        return failWith(QStringLiteral("Le registre du serveur a été créé par une version plus récente de "
                                       "Tolvo."));
    if (version < schemaVersion)
        return failWith(
            QStringLiteral("Le registre du serveur est celui d'une version plus ancienne de Tolvo : "
                           "l'administrateur doit y exécuter le fichier %1 de cette version-ci.")
                .arg(sqlFile));
    return true;
}

bool Register::reachable()
{
    if (!m_server)
        return database().isOpen();
    if (database().isOpen() && QSqlQuery(database()).exec(QStringLiteral("SELECT 1")))
        return true;
    return openServer();
}

bool Register::add(const Entry &entry, Recorded *recorded)
{
    bool damaged = false;
    if (insert(entry, recorded, damaged))
        return true;
    if (m_server || !damaged || !m_setAside.isEmpty())
        return false;
    m_error.clear();
    return setAsideAndReopen(Opened::Damaged) && insert(entry, recorded, damaged);
}

bool Register::writable()
{
    m_error.clear();
    if (m_server)
        return reachable();
    if (!database().isOpen())
        return failWith(QStringLiteral("Le registre n'est pas ouvert."));
    if (m_access != Access::Writable)
        return failWith(accessText(m_access));
    return true;
}

bool Register::failWith(const QString &error)
{
    m_error = error;
    return false;
}

bool Register::insert(const Entry &entry, Recorded *recorded, bool &damaged)
{
    if (!writable())
        return false;
    QSqlDatabase db = database();
    const bool server = m_server.has_value();
    if (const QSqlError error = engine::beginWrite(db, server); error.isValid()) {
        damaged = !server && isDamage(error);
        return fail(error);
    }
    QSqlQuery q(db);
    const auto failed = [&](const QSqlError &error) {
        db.rollback();
        damaged = !server && isDamage(error);
        return fail(error);
    };
    Recorded done;
    const QString printId = entry.printId.isEmpty() ? newUid() : entry.printId;

    // Tried again after a commit whose answer was lost: it is there already.
    if (!exec(q,
              QStringLiteral("SELECT c.id, c.number, b.digits, b.last_number FROM cheques c"
                             " LEFT JOIN chequebooks b ON b.id = c.chequebook_id WHERE c.print_id = ?"),
              {printId}))
        return failed(q.lastError());
    if (q.next()) {
        done.id = q.value(0).toLongLong();
        if (!q.value(1).isNull()) {
            done.number = q.value(1).toLongLong();
            done.numberText = numberText(done.number, q.value(2).toInt());
            done.left = q.value(3).toLongLong() - done.number;
        }
        db.rollback();
        if (recorded)
            *recorded = done;
        return true;
    }

    QVariant chequebookId(QMetaType::fromType<qint64>()), number(QMetaType::fromType<qint64>());
    if (!entry.chequebook.isEmpty()) {
        if (!exec(
                q,
                QStringLiteral("SELECT id, next_number, last_number, digits FROM chequebooks WHERE uid = ?") +
                    engine::lockRow(server),
                {entry.chequebook}))
            return failed(q.lastError());
        if (q.next()) {
            chequebookId = q.value(0);
            const qint64 next = q.value(1).toLongLong(), last = q.value(2).toLongLong();
            if (next <= last) {
                number = next;
                done.number = next;
                done.numberText = numberText(next, q.value(3).toInt());
                done.left = last - next;
            }
        }
        if (number.isNull()) {
            done.noLeaf = true;
            // A leaf skipped is a number; a printed page is recorded all the same.
            if (entry.status != status::Émis) {
                db.rollback();
                return failWith(QStringLiteral("Ce carnet n'a plus de chèque."));
            }
        } else if (!exec(q, QStringLiteral("UPDATE chequebooks SET next_number = ? WHERE id = ?"),
                         {done.number + 1, chequebookId})) {
            return failed(q.lastError());
        }
    }

    const QDate day = QDate::fromString(entry.chequeDate, QStringLiteral("dd/MM/yyyy"));
    // A printed cheque is issued the day it is printed; a leaf skipped takes its status today.
    const QString statusDay =
        (entry.status == status::Émis ? entry.printedAt.date() : platform::today()).toString(Qt::ISODate);
    if (!exec(q,
              QStringLiteral("INSERT INTO cheques (printed_at, cheque_date, cheque_day, beneficiary,"
                             " beneficiary_key, amount, cents, printer, paper_bin, orientation, pdf_file,"
                             " chequebook_id, number, status, status_day, reason, print_id)"
                             " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
              {entry.printedAt.toString(Qt::ISODate), text(entry.chequeDate),
               text(day.isValid() ? day.toString(Qt::ISODate) : QString()), text(entry.beneficiary),
               searchKey(entry.beneficiary), text(entry.amount), entry.cents, text(entry.printer),
               int(entry.paperBin), int(entry.orientation), text(entry.pdfFile), chequebookId, number,
               entry.status, statusDay, text(entry.reason), printId}) ||
        !exec(q, QStringLiteral("SELECT id FROM cheques WHERE print_id = ?"), {printId}) || !q.next())
        return failed(q.lastError());
    done.id = q.value(0).toLongLong();
    if (!addHistory(q, done.id, entry.status, statusDay, entry.reason))
        return failed(q.lastError());
    if (entry.queued && !exec(q, QStringLiteral("DELETE FROM queue WHERE id = ?"), {entry.queued}))
        return failed(q.lastError());

    if (entry.replaces) {
        const QString why = done.number < 0 ? QStringLiteral("réimprimé")
                                            : QStringLiteral("remplacé par n° ") + done.numberText;
        const QString today = platform::today().toString(Qt::ISODate);
        if (!exec(q,
                  QStringLiteral("UPDATE cheques SET status = ?, status_day = ?, reason = ?"
                                 " WHERE id = ? AND status IN (?, ?)"),
                  {status::Annulé, today, why, entry.replaces, status::Émis, status::HorsTolvo}))
            return failed(q.lastError());
        if (q.numRowsAffected() == 1 && !addHistory(q, entry.replaces, status::Annulé, today, why))
            return failed(q.lastError());
    }
    if (!db.commit())
        return failed(db.lastError());
    if (recorded)
        *recorded = done;
    return true;
}

int Register::setStatus(const QList<qint64> &ids, const QString &status, const QDate &day,
                        const QString &reason)
{
    if (!writable())
        return -1;
    QSqlDatabase db = database();
    if (const QSqlError error = engine::beginWrite(db, onServer()); error.isValid()) {
        fail(error);
        return -1;
    }
    QStringList from;
    for (const QString &s : {status::Émis, status::HorsTolvo, status::Débité, status::Annulé})
        if (statusMayChange(s, status))
            from << QStringLiteral("'%1'").arg(s);
    QSqlQuery q(db);
    int changed = 0;
    const QString statusDay = day.toString(Qt::ISODate);
    for (const qint64 id : ids) {
        bool ok = exec(q,
                       QStringLiteral("UPDATE cheques SET status = ?, status_day = ?, reason = ? WHERE id = ?"
                                      " AND status IN (%1)")
                           .arg(from.join(QStringLiteral(", "))),
                       {status, statusDay, text(reason), id});
        const bool hit = ok && q.numRowsAffected() == 1;
        ok = ok && (!hit || addHistory(q, id, status, statusDay, reason));
        if (!ok) {
            const QSqlError error = q.lastError();
            db.rollback();
            fail(error);
            return -1;
        }
        changed += hit ? 1 : 0;
    }
    if (!db.commit()) {
        fail(db.lastError());
        db.rollback();
        return -1;
    }
    return changed;
}

namespace {

const QString chequebookColumns = QStringLiteral("SELECT id, uid, name, account, first_number, last_number, "
                                                 "next_number, digits, closed_at, claimed_by, claimed_at "
                                                 "FROM chequebooks");

Chequebook chequebookOf(const QSqlQuery &q)
{
    Chequebook b;
    b.id = q.value(0).toLongLong();
    b.uid = q.value(1).toString();
    b.name = q.value(2).toString();
    b.account = q.value(3).toString();
    b.first = q.value(4).toLongLong();
    b.last = q.value(5).toLongLong();
    b.next = q.value(6).toLongLong();
    b.digits = q.value(7).toInt();
    b.closedAt = q.value(8).toString();
    b.claimedBy = q.value(9).toString();
    b.claimedAt = q.value(10).toString();
    return b;
}

} // namespace

QList<Chequebook> Register::chequebooks()
{
    m_error.clear();
    QList<Chequebook> all;
    QSqlQuery q(database());
    if (!q.exec(chequebookColumns + QStringLiteral(" ORDER BY closed_at, name, id"))) {
        fail(q.lastError());
        return all;
    }
    while (q.next())
        all.append(chequebookOf(q));
    return all;
}

std::optional<Chequebook> Register::chequebook(const QString &uid)
{
    m_error.clear();
    QSqlQuery q(database());
    q.prepare(chequebookColumns + QStringLiteral(" WHERE uid = ?"));
    q.addBindValue(uid);
    if (!q.exec()) {
        fail(q.lastError());
        return std::nullopt;
    }
    if (!q.next())
        return std::nullopt;
    return chequebookOf(q);
}

bool Register::saveChequebook(Chequebook &book)
{
    QSqlDatabase db;
    if (!beginWrite(db))
        return false;
    QSqlQuery q(db);
    if (book.id != 0) {
        // The numbers already recorded stay inside the chequebook, and none of them
        // would be given again.
        if (!exec(q,
                  QStringLiteral("SELECT number FROM cheques WHERE chequebook_id = ? AND number IS NOT NULL"
                                 " AND (number < ? OR number > ? OR number >= ?) ORDER BY number LIMIT 1"),
                  {book.id, book.first, book.last, book.next}))
            return rollBack(db, q.lastError());
        if (q.next()) {
            const qint64 used = q.value(0).toLongLong();
            db.rollback();
            return failWith(
                used < book.first || used > book.last
                    ? QStringLiteral("Le chèque n° %1 de ce carnet est inscrit au registre : il doit rester "
                                     "entre le premier et le dernier numéro.")
                          .arg(book.numberText(used))
                    : QStringLiteral("Le chèque n° %1 de ce carnet est déjà inscrit au registre : le "
                                     "prochain numéro doit venir après lui.")
                          .arg(book.numberText(used)));
        }
        if (!exec(q,
                  QStringLiteral("UPDATE chequebooks SET name = ?, account = ?, first_number = ?,"
                                 " last_number = ?, next_number = ?, digits = ? WHERE id = ?"),
                  {book.name, text(book.account), book.first, book.last, book.next, book.digits, book.id}))
            return rollBack(db, q.lastError());
    } else {
        book.uid = newUid();
        book.closedAt.clear();
        if (!exec(q,
                  QStringLiteral("INSERT INTO chequebooks (uid, name, account, first_number, last_number,"
                                 " next_number, digits, closed_at) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                  {book.uid, book.name, text(book.account), book.first, book.last, book.next, book.digits,
                   text(QString())}) ||
            !exec(q, QStringLiteral("SELECT id FROM chequebooks WHERE uid = ?"), {book.uid}) || !q.next())
            return rollBack(db, q.lastError());
        book.id = q.value(0).toLongLong();
    }
    if (!db.commit())
        return rollBack(db, db.lastError());
    return true;
}

bool Register::setChequebookClosed(const QString &uid, bool closed)
{
    if (!writable())
        return false;
    // A chequebook closed is in no workstation's printer any more.
    QSqlQuery q(database());
    return exec(q,
                QStringLiteral(
                    "UPDATE chequebooks SET closed_at = ?, claimed_by = '', claimed_at = '' WHERE uid = ?"),
                {closed ? QDateTime::currentDateTime().toString(Qt::ISODate) : text(QString()), uid}) ||
           fail(q.lastError());
}

Register::Claim Register::claimChequebook(const QString &uid, bool takeOver, Chequebook *book)
{
    if (!m_server)
        return Claim::Taken;
    if (!writable())
        return Claim::Failed;
    const QString me = platform::workstationName();
    QSqlQuery q(database());
    // The time it was taken stays while it stays here.
    q.prepare(
        QStringLiteral("UPDATE chequebooks SET claimed_at = CASE WHEN claimed_by = ? THEN claimed_at ELSE ? "
                       "END, claimed_by = ? WHERE uid = ?") +
        (takeOver ? QString() : QStringLiteral(" AND (claimed_by = '' OR claimed_by = ?)")));
    for (const QString &value : {me, QDateTime::currentDateTime().toString(Qt::ISODate), me, uid})
        q.addBindValue(value);
    if (!takeOver)
        q.addBindValue(me);
    if (!q.exec()) {
        fail(q.lastError());
        return Claim::Failed;
    }
    const bool taken = q.numRowsAffected() == 1;
    const std::optional<Chequebook> now = chequebook(uid);
    if (!now) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("Ce carnet n'est plus dans le registre.");
        return Claim::Failed;
    }
    if (book)
        *book = *now;
    return taken ? Claim::Taken : Claim::HeldElsewhere;
}

bool Register::releaseChequebook(const QString &uid)
{
    if (!m_server)
        return true;
    if (!writable())
        return false;
    QSqlQuery q(database());
    return exec(q,
                QStringLiteral("UPDATE chequebooks SET claimed_by = '', claimed_at = '' WHERE uid = ? AND "
                               "claimed_by = ?"),
                {uid, platform::workstationName()}) ||
           fail(q.lastError());
}

bool Register::queue(QList<QueuedCheque> &cheques)
{
    m_error.clear();
    cheques.clear();
    QSqlQuery q(database());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT id, beneficiary, amount, cheque_date, note FROM queue"
                               " ORDER BY position, id")))
        return fail(q.lastError());
    while (q.next()) {
        QueuedCheque c;
        c.id = q.value(0).toLongLong();
        c.beneficiary = q.value(1).toString();
        c.amount = q.value(2).toString();
        c.date = q.value(3).toString();
        c.note = q.value(4).toString();
        cheques.append(c);
    }
    return !q.lastError().isValid() || fail(q.lastError());
}

bool Register::enqueue(const QList<ImportedCheque> &cheques, QList<qint64> *ids)
{
    QSqlDatabase db;
    if (!beginWrite(db))
        return false;
    QSqlQuery q(db), insert(db), id(db);
    if (!q.exec(QStringLiteral("SELECT COALESCE(MAX(position), 0) FROM queue")) || !q.next())
        return rollBack(db, q.lastError());
    qint64 position = q.value(0).toLongLong();
    insert.prepare(QStringLiteral("INSERT INTO queue (uid, position, beneficiary, amount, cheque_date, note)"
                                  " VALUES (?, ?, ?, ?, ?, ?)"));
    id.prepare(QStringLiteral("SELECT id FROM queue WHERE uid = ?"));
    QList<qint64> added;
    added.reserve(cheques.size());
    for (const ImportedCheque &c : cheques) {
        const QString uid = newUid();
        for (const QVariant &v : {QVariant(uid), QVariant(++position), QVariant(text(c.beneficiary)),
                                  QVariant(text(c.amount)), QVariant(text(c.date)), QVariant(text(c.note))})
            insert.addBindValue(v);
        id.addBindValue(uid);
        if (!insert.exec())
            return rollBack(db, insert.lastError());
        if (!id.exec() || !id.next())
            return rollBack(db, id.lastError());
        added << id.value(0).toLongLong();
        id.finish();
    }
    if (!db.commit())
        return rollBack(db, db.lastError());
    if (ids)
        *ids = added;
    return true;
}

bool Register::updateQueued(const QueuedCheque &cheque)
{
    if (!writable())
        return false;
    QSqlQuery q(database());
    if (!exec(
            q,
            QStringLiteral("UPDATE queue SET beneficiary = ?, amount = ?, cheque_date = ?, note = ?"
                           " WHERE id = ?"),
            {text(cheque.beneficiary), text(cheque.amount), text(cheque.date), text(cheque.note), cheque.id}))
        return fail(q.lastError());
    if (q.numRowsAffected() != 1)
        return failWith(notQueued());
    return true;
}

bool Register::removeQueued(const QList<qint64> &ids)
{
    QSqlDatabase db;
    if (!beginWrite(db))
        return false;
    QSqlQuery q(db);
    q.prepare(QStringLiteral("DELETE FROM queue WHERE id = ?"));
    for (const qint64 id : ids) {
        q.addBindValue(id);
        if (!q.exec())
            return rollBack(db, q.lastError());
    }
    if (!db.commit()) {
        fail(db.lastError());
        db.rollback();
        return false;
    }
    return true;
}

bool Register::stillQueued(qint64 id)
{
    // On a server, writable() reaches it again when the connection was lost.
    if (!writable())
        return false;
    QSqlQuery q(database());
    if (!exec(q, QStringLiteral("SELECT 1 FROM queue WHERE id = ?"), {id}))
        return fail(q.lastError());
    return q.next() || failWith(notQueued());
}

namespace {
// The key of the server's session lock on the queue ("Tolv").
constexpr qint64 queueLockKey = 0x546f6c76;

QString queueBusy()
{
    return QStringLiteral("Les chèques à imprimer sont déjà en cours d'impression dans un autre programme "
                          "Tolvo, sur ce poste ou sur un autre. Attendez la fin de cette impression.");
}
} // namespace

bool Register::takeQueue()
{
    if (m_queueTaken)
        return true;
    if (!writable())
        return false;
    if (m_server) {
        QSqlQuery q(database());
        if (!exec(q, QStringLiteral("SELECT pg_try_advisory_lock(?)"), {queueLockKey}) || !q.next())
            return fail(q.lastError());
        if (!q.value(0).toBool())
            return failWith(queueBusy());
        // A workstation cut off from the network mid-batch holds the lock until the
        // server notices: within a minute or so rather than the system's two hours.
        for (const char *keepAlive : {"SET tcp_keepalives_idle = 30", "SET tcp_keepalives_interval = 10",
                                      "SET tcp_keepalives_count = 3"})
            q.exec(QLatin1String(keepAlive));
    } else {
        // A lock file beside the register; one left by a program that died is taken over.
        auto lock = std::make_unique<QLockFile>(m_path + QStringLiteral("-impression.lock"));
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0))
            return failWith(lock->error() == QLockFile::LockFailedError
                                ? queueBusy()
                                : QStringLiteral("Le verrou de la file ne peut pas être posé à côté du "
                                                 "registre (%1).")
                                      .arg(QDir::toNativeSeparators(lock->fileName())));
        m_queueLock = std::move(lock);
    }
    m_queueTaken = true;
    return true;
}

void Register::releaseQueue()
{
    if (!m_queueTaken)
        return;
    m_queueTaken = false;
    if (m_queueLock) {
        m_queueLock.reset();
        return;
    }
    // A connection lost meanwhile took the lock with it.
    QSqlQuery q(database());
    exec(q, QStringLiteral("SELECT pg_advisory_unlock(?)"), {queueLockKey});
}

bool Register::swapQueued(qint64 first, qint64 second)
{
    QSqlDatabase db;
    if (!beginWrite(db))
        return false;
    QSqlQuery q(db);
    if (!exec(q, QStringLiteral("SELECT id, position FROM queue WHERE id IN (?, ?)"), {first, second}))
        return rollBack(db, q.lastError());
    QHash<qint64, qint64> positions;
    while (q.next())
        positions.insert(q.value(0).toLongLong(), q.value(1).toLongLong());
    if (positions.size() != 2) {
        db.rollback();
        return failWith(notQueued());
    }
    if (!exec(q, QStringLiteral("UPDATE queue SET position = ? WHERE id = ?"), {positions[second], first}) ||
        !exec(q, QStringLiteral("UPDATE queue SET position = ? WHERE id = ?"), {positions[first], second}) ||
        !db.commit())
        return rollBack(db, q.lastError().isValid() ? q.lastError() : db.lastError());
    return true;
}

QStringList Register::history(qint64 id)
{
    QStringList lines;
    QSqlQuery q(database());
    q.prepare(QStringLiteral("SELECT changed_at, who, status, status_day, reason FROM history"
                             " WHERE cheque_id = ? ORDER BY id"));
    q.addBindValue(id);
    if (!q.exec())
        return lines;
    while (q.next()) {
        QString line = printedAtText(q.value(0).toString()) + QLatin1Char(' ') +
                       statusText(q.value(2).toString(), q.value(3).toString());
        if (!q.value(1).toString().isEmpty())
            line += QStringLiteral(" (%1)").arg(q.value(1).toString());
        if (!q.value(4).toString().isEmpty())
            line += QStringLiteral(" : ") + q.value(4).toString();
        lines << line;
    }
    return lines;
}

Entry entryFor(const cheque::ChequeInput &input, const QString &printer, const QString &file,
               const QDateTime &now, const QString &chequebook)
{
    Entry e;
    e.chequebook = chequebook;
    e.printId = newUid();
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
        (reg.setAsideForeign()
             ? QStringLiteral("Le fichier du registre des chèques n'est pas un registre de Tolvo.")
             : QStringLiteral("Le registre des chèques était endommagé.")) +
            QStringLiteral(" Il a été mis de côté sous le nom\r\n%1\r\n"
                           "et un nouveau registre a été commencé.")
                .arg(QDir::toNativeSeparators(reg.setAsideAs())),
        platform::MsgIcon::Exclamation);
}

QString who()
{
    const QString name = platform::userFullName();
    return name.isEmpty() ? platform::userLogin() : name;
}

} // namespace registre
