#include "support/PrivateCups.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QThread>

#include <cups/cups.h>
#include <grp.h>
#include <pwd.h>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace testsupport {

namespace {

using Http = std::unique_ptr<http_t, decltype(&httpClose)>;

Http connectTo(const QString &socket)
{
    return Http(httpConnect2(QFile::encodeName(socket).constData(), 0, nullptr, AF_UNSPEC,
                             HTTP_ENCRYPTION_NEVER, 1, 1000, nullptr),
                &httpClose);
}

QByteArray makePpd(const TestPpd &ppd)
{
    QString text = "*PPD-Adobe: \"4.3\"\n*LanguageEncoding: ISOLatin1\n*Manufacturer: \"Tolvo\"\n"
                   "*ModelName: \"Tolvo test printer\"\n*NickName: \"Tolvo test printer\"\n"
                   "*cupsFilter: \"application/vnd.cups-pdf 0 -\"\n*OpenUI *PageSize/Media Size: PickOne\n"
                   "*DefaultPageSize: A4\n*PageSize A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n"
                   "*CloseUI: *PageSize\n*PaperDimension A4/A4: \"595 842\"\n*ImageableArea A4/A4: \"" +
                   ppd.a4ImageableArea + "\"\n";
    text += ppd.more;
    if (!ppd.landscape.isEmpty())
        text += "*LandscapeOrientation: " + ppd.landscape + "\n";
    if (!ppd.inputSlots.isEmpty())
        text += "*OpenUI *InputSlot/Media Source: PickOne\n*DefaultInputSlot: " + ppd.defaultSlot +
                "\n*InputSlot " + ppd.inputSlots.join(": \"\"\n*InputSlot ") +
                ": \"\"\n*CloseUI: *InputSlot\n";
    return text.toLatin1();
}

} // namespace

PrivateCups::PrivateCups()
{
    const QString dir = m_dir.path();
    for (const char *sub : {"root/ppd", "spool/tmp", "cache", "state", "log", "out", "ppd"})
        QDir(dir).mkpath(QString::fromLatin1(sub));
    // Filters run as the scheduler's user, which must reach the spool and the PPDs.
    QFile::setPermissions(dir, QFile::permissions(dir) | QFile::ReadGroup | QFile::ExeGroup |
                                   QFile::ReadOther | QFile::ExeOther);
    // As root (how CI runs) the scheduler hands jobs to "lp"; otherwise everything runs as us.
    const passwd *pw = getpwuid(geteuid());
    const struct group *gr = getgrgid(getegid());
    const bool root = geteuid() == 0 || !pw || !gr;
    const QString user = root ? "lp" : pw->pw_name, group = root ? "lp" : gr->gr_name,
                  system = root ? "root" : group;
    const QString filesConf = dir + "/root/cups-files.conf", cupsdConf = dir + "/root/cupsd.conf";
    writeAll(filesConf, QString("ServerRoot %1/root\nRequestRoot %1/spool\nTempDir %1/spool/tmp\n"
                                "CacheDir %1/cache\nStateDir %1/state\nAccessLog %1/log/access_log\n"
                                "ErrorLog %1/log/error_log\nPageLog %1/log/page_log\nPrintcap %1/printcap\n"
                                "FileDevice Yes\nUser %2\nGroup %3\nSystemGroup %4\n")
                            .arg(m_dir.path(), user, group, system)
                            .toLocal8Bit());
    writeAll(cupsdConf,
             QString("LogLevel info\nListen %1\nBrowsing No\nDefaultAuthType None\n"
                     "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                     "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n")
                 .arg(socketPath())
                 .toLocal8Bit());

    // Every CUPS call of this process (and of the tools it starts) goes to this scheduler.
    qputenv("CUPS_SERVER", QFile::encodeName(socketPath()));
    qputenv("CUPS_SERVERROOT", QFile::encodeName(dir + "/root"));
    qunsetenv("LPDEST");
    qunsetenv("PRINTER");
    cupsSetServer(QFile::encodeName(socketPath()).constData());

    m_cupsd.setStandardOutputFile(QProcess::nullDevice());
    m_cupsd.setStandardErrorFile(dir + "/log/cupsd.out");
    m_cupsd.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); }); // dies with a crashed test
    m_cupsd.start("/usr/sbin/cupsd", {"-f", "-c", cupsdConf, "-s", filesConf});
    QElapsedTimer timer;
    timer.start();
    // Ready when its socket answers; given up when it stopped.
    while (!m_running && m_cupsd.waitForStarted(5000) && timer.elapsed() < 10000) {
        m_running = QFile::exists(socketPath()) && connectTo(socketPath());
        QThread::msleep(20);
    }
    if (!m_running)
        m_error = "cupsd does not answer: " + m_cupsd.errorString() + '\n' +
                  QString::fromLocal8Bit(readAll(dir + "/log/cupsd.out")) + log();
}

PrivateCups::~PrivateCups()
{
    m_cupsd.terminate();
    m_cupsd.waitForFinished(5000); // QProcess kills it if it did not stop
    cupsSetServer(nullptr);
    qunsetenv("CUPS_SERVER");
}

bool PrivateCups::admin(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, QStringList{"-h", socketPath()} + arguments);
    if (process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit &&
        process.exitCode() == 0)
        return true;
    m_error =
        program + ' ' + arguments.join(' ') + ": " + QString::fromLocal8Bit(process.readAllStandardError());
    return false;
}

bool PrivateCups::addQueue(const QString &name, const std::optional<TestPpd> &ppd)
{
    QStringList arguments{"-p", name, "-E", "-v", deviceUri(name)};
    if (ppd) {
        const QString path = m_dir.filePath("ppd/" + name + ".ppd");
        arguments << "-P" << path;
        writeAll(path, makePpd(*ppd)); // lpadmin says when it is missing
    }
    return admin("lpadmin", arguments);
}

int PrivateCups::lastJob(const QString &queue)
{
    Http http = connectTo(socketPath());
    const QByteArray name = queue.toUtf8();
    int newest = 0;
    const auto jobs = [&](int which) {
        cups_job_t *list = nullptr;
        const int count = http ? cupsGetJobs2(http.get(), &list, name.constData(), 0, which) : -1;
        for (int i = 0; i < count; ++i)
            newest = std::max(newest, list[i].id);
        cupsFreeJobs(count, list);
        return count;
    };
    QElapsedTimer timer;
    timer.start();
    while (jobs(CUPS_WHICHJOBS_ACTIVE) != 0) {
        if (timer.elapsed() > 20000)
            return -1;
        QThread::msleep(20);
    }
    jobs(CUPS_WHICHJOBS_ALL);
    return newest;
}

QString PrivateCups::jobAttribute(int job, const QString &name) const
{
    Http http = connectTo(socketPath());
    ipp_t *request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr,
                 ("ipp://localhost/jobs/" + QByteArray::number(job)).constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ipp_t *response = http ? cupsDoRequest(http.get(), request, "/") : (ippDelete(request), nullptr);
    char buffer[1024] = "";
    if (ipp_attribute_t *attribute = ippFindAttribute(response, name.toUtf8().constData(), IPP_TAG_ZERO))
        ippAttributeString(attribute, buffer, sizeof buffer);
    ippDelete(response);
    return QString::fromUtf8(buffer);
}

QString PrivateCups::log() const
{
    return QString::fromLocal8Bit(readAll(m_dir.filePath("log/error_log")));
}

} // namespace testsupport
