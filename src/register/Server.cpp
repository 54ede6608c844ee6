#include "register/Server.h"

#include "platform/Keyring.h"
#include "register/frmEmplacement.h"
#include "settings/CINIFile.h"
#include "settings/Settings.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>

namespace registre {

namespace {

// Passwords given in this run, by their keyring name: asked once per run at most.
QHash<QString, QString> &passwords()
{
    static QHash<QString, QString> known;
    return known;
}

bool isLocal(const QString &host)
{
    return host.startsWith(QLatin1Char('/')) ||
           host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
           host.startsWith(QLatin1String("127.")) || host == QLatin1String("::1");
}

// The text before the first line break, without libpq's "connection to server ...
// failed: " and the server's severity.
QString detail(const QString &text)
{
    QString line = text.section(QLatin1Char('\n'), 0, 0).trimmed();
    if (const qsizetype failed = line.indexOf(QLatin1String(": "));
        failed >= 0 && !line.startsWith(QLatin1String("FATAL")))
        line = line.mid(failed + 2);
    if (line.startsWith(QLatin1String("FATAL:")))
        line = line.mid(6).trimmed();
    return line;
}

bool hasAny(const QString &text, std::initializer_list<const char *> parts)
{
    for (const char *part : parts)
        if (text.contains(QString::fromUtf8(part), Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace

QString ServerSettings::tlsMode() const
{
    return tlsModes.contains(tls) ? tls : defaultTls(host);
}

QString ServerSettings::description() const
{
    return QStringLiteral("serveur %1, base %2").arg(host, database);
}

QString ServerSettings::keyringKey() const
{
    return QStringLiteral("%1@%2:%3/%4").arg(user, host).arg(port).arg(database);
}

QString defaultTls(const QString &host)
{
    return isLocal(host.trimmed()) ? QStringLiteral("prefer") : QStringLiteral("require");
}

Location location()
{
    namespace key = settings::key;
    CINIFile ini;
    ini.setFile(settings::filePath());
    ini.setSection(settings::section::ServeurDuRegistre);
    Location where;
    where.onServer = ini.Value(key::Utiliser) == settings::value::Oui;
    where.server.host = ini.Value(key::Hôte).trimmed();
    if (const int port = ini.Value(key::Port).toInt(); port > 0 && port < 65536)
        where.server.port = port;
    if (const QString base = ini.Value(key::Base).trimmed(); !base.isEmpty())
        where.server.database = base;
    if (const QString user = ini.Value(key::Utilisateur).trimmed(); !user.isEmpty())
        where.server.user = user;
    where.server.tls = ini.Value(key::TLS).trimmed();
    return where;
}

bool saveLocation(const Location &where)
{
    namespace key = settings::key;
    const ServerSettings &s = where.server;
    QStringList lines = {key::Utiliser + u'=' +
                             (where.onServer ? settings::value::Oui : settings::value::Non),
                         key::Hôte + u'=' + s.host, key::Port + u'=' + QString::number(s.port),
                         key::Base + u'=' + s.database, key::Utilisateur + u'=' + s.user};
    // The host's default is not written: it follows the host when that changes.
    if (tlsModes.contains(s.tls) && s.tls != defaultTls(s.host))
        lines << key::TLS + u'=' + s.tls;
    CINIFile ini;
    ini.setFile(settings::filePath());
    ini.setSection(settings::section::ServeurDuRegistre);
    ini.writeSection(lines);
    return !ini.writeFailed();
}

std::optional<QString> serverPassword(const ServerSettings &server, bool ask)
{
    const QString key = server.keyringKey();
    if (const auto known = passwords().constFind(key); known != passwords().constEnd())
        return *known;
    const platform::KeyringRead stored = platform::keyring().read(key);
    if (stored.status == platform::KeyringRead::Found) {
        passwords().insert(key, stored.secret);
        return stored.secret;
    }
    if (!ask)
        return std::nullopt;
    const std::optional<QString> typed =
        askServerPassword(server, stored.status != platform::KeyringRead::Unavailable);
    if (typed)
        passwords().insert(key, *typed);
    return typed;
}

bool rememberPassword(const ServerSettings &server, const QString &password, QString *why)
{
    passwords().insert(server.keyringKey(), password);
    return platform::keyring().write(server.keyringKey(), password, why);
}

void forgetPassword(const ServerSettings &server)
{
    passwords().remove(server.keyringKey());
}

bool connectToServer(QSqlDatabase &db, const ServerSettings &server, const QString &password,
                     QString *problem, bool *passwordRefused)
{
    db.setHostName(server.host);
    db.setPort(server.port);
    db.setDatabaseName(server.database);
    db.setUserName(server.user);
    db.setPassword(password);
    // A server that does not answer is given up quickly, and one lost in the middle
    // of a cheque is noticed, rather than leaving the program waiting. A lock held by
    // a workstation that went silent is not waited for beyond a few seconds, and the
    // server ends such a session itself.
    db.setConnectOptions(QStringLiteral("sslmode=%1;connect_timeout=5;application_name=Tolvo;"
                                        "keepalives_idle=20;keepalives_interval=5;keepalives_count=3;"
                                        "tcp_user_timeout=15000;options='-c lock_timeout=15000 "
                                        "-c idle_in_transaction_session_timeout=60000'")
                             .arg(server.tlsMode()));
    if (db.open())
        return true;
    *problem = connectionProblem(server, db.lastError(), passwordRefused);
    return false;
}

QString connectionProblem(const ServerSettings &server, const QSqlError &error, bool *passwordRefused)
{
    // libpq says what it could not do itself; what the server refused comes after
    // "FATAL", in the server's language. Both are read in English and in French.
    const QString text = error.databaseText();
    const bool answered = text.contains(QLatin1String("FATAL"));
    const QString host = server.host;
    const auto refused = [&] {
        if (passwordRefused)
            *passwordRefused = true;
    };
    if (!answered) {
        if (hasAny(text, {"no password supplied", "aucun mot de passe"})) {
            refused();
            return QStringLiteral("Le serveur « %1 » demande le mot de passe de l'utilisateur « %2 ».")
                .arg(host, server.user);
        }
        if (hasAny(text, {"certificate", "certificat"}))
            return QStringLiteral("Le certificat du serveur « %1 » n'a pas pu être vérifié : la connexion "
                                  "chiffrée (TLS) est refusée.\r\nDétail : %2")
                .arg(host, detail(text));
        if (text.contains(QLatin1String("SSL")))
            return QStringLiteral("Le serveur « %1 » n'accepte pas les connexions chiffrées (TLS) : "
                                  "l'administrateur doit les y activer.")
                .arg(host);
        if (hasAny(text, {"translate host name", "traduire le nom"}))
            return QStringLiteral("Le serveur « %1 » est inconnu sur le réseau : vérifiez son nom.")
                .arg(host);
        return QStringLiteral("Le serveur « %1 » ne répond pas (port %2) : vérifiez son nom, le port, le "
                              "réseau, et que PostgreSQL y est démarré.\r\nDétail : %3")
            .arg(host)
            .arg(server.port)
            .arg(detail(text));
    }
    if (hasAny(text, {"password authentication", "authentification par mot de passe"})) {
        refused();
        return QStringLiteral("Le serveur « %1 » refuse l'utilisateur « %2 » ou son mot de passe.")
            .arg(host, server.user);
    }
    if (hasAny(text, {"pg_hba.conf"})) {
        if (hasAny(text, {"no encryption", "aucun chiffrement"}))
            return QStringLiteral("Le serveur « %1 » n'accepte que les connexions chiffrées (TLS) : "
                                  "choisissez « Chiffrement exigé ».")
                .arg(host);
        return QStringLiteral("Le serveur « %1 » n'accepte pas la connexion de ce poste à la base « %2 » "
                              "(réglage pg_hba.conf de l'administrateur).")
            .arg(host, server.database);
    }
    if (text.contains(QStringLiteral("\"%1\"").arg(server.database)) ||
        text.contains(QStringLiteral("« %1 »").arg(server.database)))
        if (hasAny(text, {"does not exist", "n'existe pas"}))
            return QStringLiteral("La base « %1 » n'existe pas sur le serveur « %2 ».")
                .arg(server.database, host);
    return QStringLiteral("Le serveur « %1 » refuse la connexion.\r\nDétail : %2").arg(host, detail(text));
}

} // namespace registre
