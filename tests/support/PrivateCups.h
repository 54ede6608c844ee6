#pragma once
// A CUPS scheduler of the test's own, in a temporary folder and reached through a
// socket there: tests create queues on it and read back what they print. While it
// runs, the test process's CUPS calls go to it; the machine's own printing system
// is never touched.

#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace testsupport {

// A PPD for a test queue. The queue passes the PDF it receives on unchanged
// (after CUPS's own PDF filter), so its output can be read back.
struct TestPpd {
    QStringList inputSlots; // "Keyword/Text" or "Keyword", in PPD order; none: no InputSlot
    QString defaultSlot;    // keyword
    QString landscape;      // "Minus90", "Plus90", or empty for no *LandscapeOrientation
    QString a4ImageableArea = QStringLiteral("12 18 583 824"); // points, from the lower-left corner
};
QByteArray makePpd(const TestPpd &ppd);

class PrivateCups {
public:
    // Starts the scheduler and points this process's CUPS at it. Start it before any
    // other CUPS call of the test: CUPS reads its folders once.
    PrivateCups();
    ~PrivateCups();
    PrivateCups(const PrivateCups &) = delete;
    PrivateCups &operator=(const PrivateCups &) = delete;

    bool isRunning() const { return m_running; }
    QString errorString() const { return m_error; }
    QString socketPath() const;
    QString folder() const { return m_dir.path(); }

    // Adds an enabled queue whose device is the file outputFile(name); an empty PPD
    // makes a raw queue. False (and errorString) on failure.
    bool addQueue(const QString &name, const QByteArray &ppd = QByteArray());
    bool setDefault(const QString &name);
    bool rejectJobs(const QString &name);
    QString outputFile(const QString &name) const;
    QString deviceUri(const QString &name) const;

    // Waits until no job is pending or printing, then gives the newest job of the
    // queue (0 when it has none, -1 when the jobs did not finish in time).
    int lastJob(const QString &queue, int timeoutMs = 20000);
    // An attribute of a job as text ("" when the job does not have it).
    QString jobAttribute(int job, const QString &name) const;
    // The scheduler's error log, for failure messages.
    QString log() const;

private:
    bool run(const QString &program, const QStringList &arguments);
    bool start();

    QTemporaryDir m_dir;
    QProcess m_cupsd;
    bool m_running = false;
    QString m_error;
};

} // namespace testsupport
