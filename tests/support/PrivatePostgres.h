#pragma once
// A PostgreSQL server of the test's own: a cluster made by initdb in a temporary
// folder, listening only on a socket in that folder, run by an unprivileged user
// (the "postgres" account when the test runs as root, as CI does). The database
// "tolvo" holds the register made by the SQL file Tolvo ships, for the role "tolvo"
// whose password is `password`. The machine's own PostgreSQL is never touched.

#include "support/TestFiles.h"

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace testsupport {

class PrivatePostgres {
public:
    static inline const QString password = QStringLiteral("mot de passe 'à' \\ secret");

    PrivatePostgres();
    ~PrivatePostgres() { stop(); }

    bool isRunning() const { return m_server.state() == QProcess::Running && m_error.isEmpty(); }
    QString errorString() const { return m_error; }
    // What Tolvo is given as the server's name, and its port.
    QString host() const { return m_dir.path(); }
    int port() const { return m_port; }

    // Stops it at once, as a crash or a power cut would (every connection dropped).
    bool stop();
    bool start();

    // Runs SQL with psql as the administrator (or as `role`, with its password), in a
    // database; the rows as psql -At prints them, or the error when `error` is given.
    QString sql(const QString &statements, const QString &database = QStringLiteral("tolvo"),
                QString *error = nullptr, const QString &role = QStringLiteral("postgres"));
    // Runs a file with psql as the administrator, as the README tells it.
    bool runFile(const QString &path);

private:
    Run psql(const QString &role, const QString &database, const QStringList &arguments) const;
    QStringList asServerUser(const QString &program, const QStringList &arguments) const;

    QTemporaryDir m_dir{QDir::tempPath() + QStringLiteral("/tolvo-pg-XXXXXX")};
    QString m_bin;
    int m_port = 0;
    bool m_root = false;
    QProcess m_server;
    QString m_error;
};

} // namespace testsupport
