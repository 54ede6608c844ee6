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
#include <QUrl>
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

bool createTable(QSqlQuery &q)
{
    return q.exec(QStringLiteral("CREATE TABLE cheques ("
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
                                 " pdf_file TEXT NOT NULL)"));
}

// The search key of every row written before it existed, and what the window sorts by.
bool addSearchKey(QSqlQuery &q)
{
    if (!q.exec(QStringLiteral("ALTER TABLE cheques ADD COLUMN beneficiary_key TEXT NOT NULL DEFAULT ''")) ||
        !q.exec(QStringLiteral("SELECT id, beneficiary FROM cheques")))
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
    for (const char *index :
         {"cheques_beneficiary_key ON cheques (beneficiary_key, cents)",
          "cheques_cheque_day ON cheques (cheque_day, cents)", "cheques_cents ON cheques (cents)"})
        if (!q.exec(QStringLiteral("CREATE INDEX ") + QLatin1String(index)))
            return false;
    return true;
}

// Each version's step, applied in order within one transaction to bring a file from
// version i to i + 1.
bool (*const upgrades[])(QSqlQuery &) = {createTable, addSearchKey};
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
        !q.exec(QStringLiteral("PRAGMA synchronous=FULL")))
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
    if (!db.transaction())
        return failed(db.lastError());
    for (int v = version; v < schemaVersion; ++v) {
        if (!upgrades[v](q)) {
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
    if (version > 0 && !q.exec(QStringLiteral("CREATE TEMP TABLE cheques AS SELECT * FROM main.cheques")))
        return isDamage(q.lastError()) ? Opened::Damaged : failed(q.lastError());
    for (int v = version; v < schemaVersion; ++v)
        if (!upgrades[v](q))
            return isDamage(q.lastError()) ? Opened::Damaged : failed(q.lastError());
    return Opened::Ok;
}

bool Register::add(const Entry &entry)
{
    bool damaged = false;
    if (insert(entry, damaged))
        return true;
    if (!damaged || !m_setAside.isEmpty())
        return false;
    m_error.clear();
    return setAsideAndReopen(Opened::Damaged) && insert(entry, damaged);
}

bool Register::insert(const Entry &entry, bool &damaged)
{
    m_error.clear();
    QSqlDatabase db = database();
    if (!db.isOpen()) {
        m_error = QStringLiteral("Le registre n'est pas ouvert.");
        return false;
    }
    if (m_access != Access::Writable) {
        m_error = accessText(m_access);
        return false;
    }
    if (!db.transaction())
        return fail(db.lastError());
    QSqlQuery q(db);
    q.prepare(QStringLiteral(
        "INSERT INTO cheques (printed_at, cheque_date, cheque_day, beneficiary, beneficiary_key, amount, "
        "cents,"
        " printer, paper_bin, orientation, pdf_file) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    const QDate day = QDate::fromString(entry.chequeDate, QStringLiteral("dd/MM/yyyy"));
    q.addBindValue(entry.printedAt.toString(Qt::ISODate));
    q.addBindValue(entry.chequeDate);
    q.addBindValue(day.isValid() ? day.toString(Qt::ISODate) : QString(QLatin1String("")));
    q.addBindValue(entry.beneficiary.isNull() ? QString(QLatin1String("")) : entry.beneficiary);
    q.addBindValue(searchKey(entry.beneficiary));
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
        (reg.setAsideForeign()
             ? QStringLiteral("Le fichier du registre des chèques n'est pas un registre de Tolvo.")
             : QStringLiteral("Le registre des chèques était endommagé.")) +
            QStringLiteral(" Il a été mis de côté sous le nom\r\n%1\r\n"
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
