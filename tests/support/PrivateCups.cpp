#include "support/PrivateCups.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QUrl>

#include <cups/cups.h>
#include <grp.h>
#include <pwd.h>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace testsupport {

namespace {

struct HttpCloser {
    void operator()(http_t *http) const { httpClose(http); }
};
using Http = std::unique_ptr<http_t, HttpCloser>;

Http connectTo(const QString &socket)
{
    return Http(httpConnect2(QFile::encodeName(socket).constData(), 0, nullptr, AF_UNSPEC,
                             HTTP_ENCRYPTION_NEVER, 1, 1000, nullptr));
}

} // namespace

QByteArray makePpd(const TestPpd &ppd)
{
    QByteArray text = R"ppd(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "TOLVOTST.PPD"
*Manufacturer: "Tolvo"
*Product: "(Tolvo test printer)"
*ModelName: "Tolvo test printer"
*ShortNickName: "Tolvo test printer"
*NickName: "Tolvo test printer"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: False
*DefaultColorSpace: Gray
*FileSystem: False
*Throughput: "1"
*TTRasterizer: Type42
*cupsFilter: "application/vnd.cups-pdf 0 -"
*OpenUI *PageSize/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: A4
*PageSize A4/A4: "<</PageSize[595 842]>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: A4
*PageRegion A4/A4: "<</PageSize[595 842]>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: A4
*DefaultPaperDimension: A4
*PaperDimension A4/A4: "595 842"
*DefaultFont: Courier
*Font Courier: Standard "(002.004S)" Standard ROM
)ppd";
    text += "*ImageableArea A4/A4: \"" + ppd.a4ImageableArea.toLatin1() + "\"\n";
    if (!ppd.landscape.isEmpty())
        text += "*LandscapeOrientation: " + ppd.landscape.toLatin1() + "\n";
    if (!ppd.inputSlots.isEmpty()) {
        text += "*OpenUI *InputSlot/Media Source: PickOne\n*OrderDependency: 20 AnySetup *InputSlot\n";
        text += "*DefaultInputSlot: " + ppd.defaultSlot.toLatin1() + "\n";
        for (const QString &slot : ppd.inputSlots)
            text += "*InputSlot " + slot.toLatin1() + ": \"\"\n";
        text += "*CloseUI: *InputSlot\n";
    }
    return text;
}

PrivateCups::PrivateCups() : m_dir(QDir::tempPath() + QStringLiteral("/tolvo-cups-XXXXXX"))
{
    m_running = start();
}

PrivateCups::~PrivateCups()
{
    if (m_cupsd.state() != QProcess::NotRunning) {
        m_cupsd.terminate();
        if (!m_cupsd.waitForFinished(5000)) {
            m_cupsd.kill();
            m_cupsd.waitForFinished(2000);
        }
    }
    cupsSetServer(nullptr);
    qunsetenv("CUPS_SERVER");
}

QString PrivateCups::socketPath() const
{
    return m_dir.filePath(QStringLiteral("cups.sock"));
}

QString PrivateCups::outputFile(const QString &name) const
{
    return m_dir.filePath(QStringLiteral("out/%1.pdf").arg(name));
}

QString PrivateCups::deviceUri(const QString &name) const
{
    return QUrl::fromLocalFile(outputFile(name)).toString();
}

bool PrivateCups::start()
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return false;
    }
    const QDir dir(m_dir.path());
    for (const char *sub : {"root/ppd", "spool/tmp", "cache", "state", "log", "out", "ppd"})
        dir.mkpath(QString::fromLatin1(sub));
    // Filters run as the scheduler's user, which must reach the spool and the PPDs.
    QFile::setPermissions(m_dir.path(), QFile::permissions(m_dir.path()) | QFile::ReadGroup |
                                            QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);

    // As root (how CI runs) the scheduler hands jobs to "lp"; otherwise everything runs as us.
    QByteArray user = "lp", group = "lp", systemGroup = "root";
    if (geteuid() != 0) {
        const passwd *pw = getpwuid(geteuid());
        const struct group *gr = getgrgid(getegid());
        user = pw ? QByteArray(pw->pw_name) : QByteArray::number(geteuid());
        group = gr ? QByteArray(gr->gr_name) : QByteArray::number(getegid());
        systemGroup = group;
    }
    const QByteArray root = QFile::encodeName(m_dir.path());
    const QByteArray files = "ServerRoot " + root +
                             "/root\n"
                             "RequestRoot " +
                             root +
                             "/spool\n"
                             "TempDir " +
                             root +
                             "/spool/tmp\n"
                             "CacheDir " +
                             root +
                             "/cache\n"
                             "StateDir " +
                             root +
                             "/state\n"
                             "AccessLog " +
                             root +
                             "/log/access_log\n"
                             "ErrorLog " +
                             root +
                             "/log/error_log\n"
                             "PageLog " +
                             root +
                             "/log/page_log\n"
                             "Printcap " +
                             root +
                             "/printcap\n"
                             "FileDevice Yes\n"
                             "User " +
                             user + "\nGroup " + group + "\nSystemGroup " + systemGroup + "\n";
    const QByteArray conf = "LogLevel info\n"
                            "Listen " +
                            QFile::encodeName(socketPath()) +
                            "\n"
                            "Browsing No\n"
                            "BrowseLocalProtocols none\n"
                            "DefaultAuthType None\n"
                            "WebInterface No\n"
                            "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                            "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n"
                            "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n";
    const QString filesConf = m_dir.filePath(QStringLiteral("root/cups-files.conf"));
    const QString cupsdConf = m_dir.filePath(QStringLiteral("root/cupsd.conf"));
    if (!writeAll(filesConf, files) || !writeAll(cupsdConf, conf)) {
        m_error = QStringLiteral("cannot write the configuration");
        return false;
    }

    // Every CUPS call of this process (and of the tools it starts) goes to this scheduler.
    qputenv("CUPS_SERVER", QFile::encodeName(socketPath()));
    qputenv("CUPS_SERVERROOT", root + "/root");
    qunsetenv("LPDEST");
    qunsetenv("PRINTER");
    cupsSetServer(QFile::encodeName(socketPath()).constData());

    m_cupsd.setStandardOutputFile(QProcess::nullDevice());
    m_cupsd.setStandardErrorFile(m_dir.filePath(QStringLiteral("log/cupsd.out")));
    // The scheduler must not outlive a test that crashes.
    m_cupsd.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_cupsd.start(QStringLiteral("/usr/sbin/cupsd"),
                  {QStringLiteral("-f"), QStringLiteral("-c"), cupsdConf, QStringLiteral("-s"), filesConf});
    if (!m_cupsd.waitForStarted(5000)) {
        m_error = QStringLiteral("cupsd did not start: ") + m_cupsd.errorString();
        return false;
    }
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 10000) {
        if (m_cupsd.state() == QProcess::NotRunning) {
            m_error = QStringLiteral("cupsd stopped: ") + log();
            return false;
        }
        if (QFile::exists(socketPath()) && connectTo(socketPath()))
            return true;
        QThread::msleep(20);
    }
    m_error = QStringLiteral("cupsd does not answer");
    return false;
}

bool PrivateCups::run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        m_error = program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')) + QStringLiteral(": ") +
                  QString::fromLocal8Bit(process.readAllStandardError());
        return false;
    }
    return true;
}

bool PrivateCups::addQueue(const QString &name, const QByteArray &ppd)
{
    QStringList arguments{QStringLiteral("-h"), socketPath(),         QStringLiteral("-p"), name,
                          QStringLiteral("-E"), QStringLiteral("-v"), deviceUri(name)};
    if (!ppd.isEmpty()) {
        const QString path = m_dir.filePath(QStringLiteral("ppd/%1.ppd").arg(name));
        if (!writeAll(path, ppd))
            return false;
        arguments << QStringLiteral("-P") << path;
    }
    return run(QStringLiteral("lpadmin"), arguments);
}

bool PrivateCups::setDefault(const QString &name)
{
    return run(QStringLiteral("lpadmin"), {QStringLiteral("-h"), socketPath(), QStringLiteral("-d"), name});
}

bool PrivateCups::rejectJobs(const QString &name)
{
    return run(QStringLiteral("cupsreject"), {QStringLiteral("-h"), socketPath(), name});
}

int PrivateCups::lastJob(const QString &queue, int timeoutMs)
{
    Http http = connectTo(socketPath());
    if (!http)
        return -1;
    const QByteArray name = queue.toUtf8();
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        cups_job_t *jobs = nullptr;
        const int active = cupsGetJobs2(http.get(), &jobs, name.constData(), 0, CUPS_WHICHJOBS_ACTIVE);
        cupsFreeJobs(active, jobs);
        if (active == 0)
            break;
        if (timer.elapsed() > timeoutMs)
            return -1;
        QThread::msleep(20);
    }
    cups_job_t *jobs = nullptr;
    const int count = cupsGetJobs2(http.get(), &jobs, name.constData(), 0, CUPS_WHICHJOBS_ALL);
    int newest = 0;
    for (int i = 0; i < count; ++i)
        newest = std::max(newest, jobs[i].id);
    cupsFreeJobs(count, jobs);
    return newest;
}

QString PrivateCups::jobAttribute(int job, const QString &name) const
{
    Http http = connectTo(socketPath());
    if (!http)
        return QString();
    ipp_t *request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    const QByteArray uri = "ipp://localhost/jobs/" + QByteArray::number(job);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "all");
    ipp_t *response = cupsDoRequest(http.get(), request, "/");
    QString value;
    if (ipp_attribute_t *attribute = ippFindAttribute(response, name.toUtf8().constData(), IPP_TAG_ZERO)) {
        char buffer[1024];
        ippAttributeString(attribute, buffer, sizeof buffer);
        value = QString::fromUtf8(buffer);
    }
    ippDelete(response);
    return value;
}

QString PrivateCups::log() const
{
    return QString::fromLocal8Bit(readAll(m_dir.filePath(QStringLiteral("log/error_log"))));
}

} // namespace testsupport
