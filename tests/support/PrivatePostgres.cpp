#include "support/PrivatePostgres.h"

#include <QDir>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <csignal>
#include <pwd.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace testsupport {

PrivatePostgres::PrivatePostgres()
{
    // The newest server Debian installed.
    QStringList versions = QDir("/usr/lib/postgresql").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(),
              [](const QString &a, const QString &b) { return a.toInt() < b.toInt(); });
    m_bin = "/usr/lib/postgresql/" + versions.value(versions.size() - 1) + "/bin/";
    if (versions.isEmpty() || !QFile::exists(m_bin + "initdb")) {
        m_error = "no PostgreSQL server here (Debian package postgresql)";
        return;
    }
    m_root = ::geteuid() == 0;
    m_port = 20000 + int(::getpid() % 20000);
    // PostgreSQL refuses to run as root: the folder goes to its own account then.
    const passwd *pw = m_root ? ::getpwnam("postgres") : nullptr;
    if (m_root &&
        (!pw || ::chown(QFile::encodeName(m_dir.path()).constData(), pw->pw_uid, pw->pw_gid) != 0)) {
        m_error = "no \"postgres\" account to run the server as";
        return;
    }
    const QStringList initdb =
        asServerUser(m_bin + "initdb", {"-D", m_dir.filePath("data"), "-U", "postgres", "-A", "trust", "-E",
                                        "UTF8", "--locale=C", "--no-sync"});
    const Run made = run(initdb.first(), initdb.mid(1));
    if (made.code != 0) {
        m_error = "initdb: " + made.out + made.err;
        return;
    }
    // The administrator comes in without a password; every other role with its own.
    if (!writeAll(m_dir.filePath("data/pg_hba.conf"),
                  "local all postgres trust\nlocal all all scram-sha-256\n"))
        m_error = "pg_hba.conf not written";
    else if (start()) {
        sql("CREATE ROLE tolvo LOGIN PASSWORD '" + QString(password).replace("'", "''") + "'", "postgres",
            &m_error);
        if (m_error.isEmpty())
            sql("CREATE DATABASE tolvo", "postgres", &m_error);
        if (m_error.isEmpty() && !runFile(sourceDir() + "/data/registre-postgresql.sql"))
            m_error = "the register's SQL file did not load";
    }
}

QStringList PrivatePostgres::asServerUser(const QString &program, const QStringList &arguments) const
{
    if (!m_root)
        return QStringList{program} + arguments;
    return QStringList{"setpriv",       "--reuid=postgres", "--regid=postgres",
                       "--init-groups", "--pdeathsig=QUIT", "--",
                       program} +
           arguments;
}

bool PrivatePostgres::start()
{
    if (m_server.state() != QProcess::NotRunning)
        return true;
    const QStringList command = asServerUser(
        m_bin + "postgres",
        {"-D", m_dir.filePath("data"), "-k", m_dir.path(), "-p", QString::number(m_port), "-c",
         "listen_addresses=", "-c", "fsync=off", "-c", "max_connections=40", "-c", "shared_buffers=16MB"});
    m_server.setStandardOutputFile(QProcess::nullDevice());
    m_server.setStandardErrorFile(m_dir.filePath("server.log"), QIODevice::Append);
    // A test that dies takes its server with it, at once.
    if (!m_root)
        m_server.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGQUIT); });
    m_server.start(command.first(), command.mid(1));
    QElapsedTimer timer;
    timer.start();
    while (m_server.waitForStarted(5000) && m_server.state() == QProcess::Running &&
           timer.elapsed() < 60000) {
        if (run(m_bin + "pg_isready", {"-q", "-h", host(), "-p", QString::number(m_port)}).code == 0) {
            m_error.clear();
            return true;
        }
        QThread::msleep(50);
    }
    m_error = "the server did not start: " + QString::fromLocal8Bit(readAll(m_dir.filePath("server.log")));
    return false;
}

bool PrivatePostgres::stop()
{
    // An immediate shutdown: what the workstations see of a server that goes away.
    if (m_server.state() != QProcess::NotRunning &&
        !(::kill(pid_t(m_server.processId()), SIGQUIT) == 0 && m_server.waitForFinished(20000))) {
        m_server.kill();
        return m_server.waitForFinished(5000);
    }
    return true;
}

Run PrivatePostgres::psql(const QString &role, const QString &database, const QStringList &arguments) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PGPASSWORD", password);
    env.insert("PGCONNECT_TIMEOUT", "5");
    return run(m_bin + "psql",
               QStringList{"-X", "-q", "-v", "ON_ERROR_STOP=1", "-h", host(), "-p", QString::number(m_port),
                           "-U", role, "-d", database} +
                   arguments,
               env);
}

QString PrivatePostgres::sql(const QString &statements, const QString &database, QString *error,
                             const QString &role)
{
    const Run done = psql(role, database, {"-At", "-c", statements});
    if (done.code != 0 && error)
        *error = done.err.trimmed().isEmpty() ? "psql did not run" : done.err.trimmed();
    else if (done.code != 0)
        qWarning("%s", qPrintable(statements + ": " + done.err));
    return done.out.trimmed();
}

bool PrivatePostgres::runFile(const QString &path)
{
    const Run done = psql("postgres", "tolvo", {"-f", path});
    if (done.code != 0)
        qWarning("%s", qPrintable(path + ": " + done.out + done.err));
    return done.code == 0;
}

} // namespace testsupport
