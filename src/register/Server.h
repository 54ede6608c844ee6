#pragma once
// The register shared by the workstations of an office on a PostgreSQL server:
// where it is (chosen per computer, in Tolvo.ini), its password (in the desktop's
// keyring, or asked once per run when there is none), the connection, and what a
// refused connection means, in French.

#include <QString>
#include <QStringList>
#include <optional>

class QSqlDatabase;
class QSqlError;

namespace registre {

struct ServerSettings {
    QString host; // a name, an address, or the folder of the server's socket
    int port = 5432;
    QString database = QStringLiteral("tolvo");
    QString user = QStringLiteral("tolvo");
    QString tls; // one of tlsModes; empty: the host's default

    QString tlsMode() const;
    // "serveur compta-srv, base tolvo", as messages name it.
    QString description() const;
    // The name of its password in the keyring: "tolvo@compta-srv:5432/tolvo".
    QString keyringKey() const;
    bool operator==(const ServerSettings &) const = default;
};

// PostgreSQL's names of the ways to connect, from the safest: encrypted (TLS)
// whatever happens, encrypted with the server's certificate checked, encrypted
// when the server offers it, never.
inline const QStringList tlsModes = {QStringLiteral("require"), QStringLiteral("verify-full"),
                                     QStringLiteral("prefer"), QStringLiteral("disable")};
// Encryption is required unless the server is this computer (its socket folder,
// or the loopback address), where nothing crosses the network.
QString defaultTls(const QString &host);

// Where this computer's register lives.
struct Location {
    bool onServer = false; // false: Registre.sqlite beside Tolvo.ini
    ServerSettings server;
    bool operator==(const Location &) const = default;
};
Location location();
// Saves it in Tolvo.ini in one replacement of its section; a failed write is told
// to the user. False then.
bool saveLocation(const Location &where);

// The server's password for this run: the one given earlier in this run, or the
// keyring's, or (with `ask`) the one the user types. Nothing when none is known.
std::optional<QString> serverPassword(const ServerSettings &server, bool ask);
// Remembers it for this run and keeps it in the keyring. False, with *why, when
// there is no keyring to keep it: it will be asked again at the next run.
bool rememberPassword(const ServerSettings &server, const QString &password, QString *why);
// Forgets the password of this run, after the server refused it.
void forgetPassword(const ServerSettings &server);

// Opens `db` (a QPSQL connection) on the server. False with *problem in French, and
// *passwordRefused when the user or password was refused.
bool connectToServer(QSqlDatabase &db, const ServerSettings &server, const QString &password,
                     QString *problem, bool *passwordRefused = nullptr);

// What a failed connection means, for the user.
QString connectionProblem(const ServerSettings &server, const QSqlError &error,
                          bool *passwordRefused = nullptr);

} // namespace registre
