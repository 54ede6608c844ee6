#pragma once
// A CUPS scheduler of the test's own, in a temporary folder and reached through a
// socket there. While it runs, the test process's CUPS calls go to it; the
// machine's own printing system is never touched.

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <optional>

namespace testsupport {

// The PPD of a test queue. The queue passes the PDF it receives on (after CUPS's
// own PDF filter) to the file outputFile(name), so its output can be read back.
struct TestPpd {
    QStringList inputSlots = {}; // "Keyword/Text" or "Keyword", in PPD order; none: no InputSlot
    QString defaultSlot = {};    // keyword
    QString landscape = {};      // "Minus90", "Plus90", or empty for no *LandscapeOrientation
    QString a4ImageableArea = QStringLiteral("12 18 583 824"); // points, from the lower-left corner
};

class PrivateCups {
public:
    // Starts the scheduler; start it before any other CUPS call of the test, as
    // CUPS reads its folders once.
    PrivateCups();
    ~PrivateCups();
    PrivateCups(const PrivateCups &) = delete;
    PrivateCups &operator=(const PrivateCups &) = delete;

    bool isRunning() const { return m_running; }
    QString errorString() const { return m_error; }
    QString socketPath() const { return m_dir.filePath(QStringLiteral("cups.sock")); }
    QString folder() const { return m_dir.path(); }
    QString outputFile(const QString &name) const;
    QString deviceUri(const QString &name) const;

    // An enabled queue; without a PPD a raw one. False (and errorString) on failure.
    bool addQueue(const QString &name, const std::optional<TestPpd> &ppd = std::nullopt);
    // Runs an administration tool (lpadmin, cupsreject...) against this scheduler.
    bool admin(const QString &program, const QStringList &arguments);

    // Waits until no job is pending or printing, then gives the newest job of the
    // queue (0 when it has none, -1 when the jobs did not finish in time).
    int lastJob(const QString &queue);
    // An attribute of a job as text ("" when the job does not have it).
    QString jobAttribute(int job, const QString &name) const;
    // The scheduler's error log, for failure messages.
    QString log() const;

private:
    bool start();

    QTemporaryDir m_dir;
    QProcess m_cupsd;
    bool m_running = false;
    QString m_error;
};

} // namespace testsupport
