#pragma once
// A CUPS scheduler of the test's own, in a temporary folder and reached through a
// socket there. While it runs, the test process's CUPS calls go to it; the
// machine's own printing system is never touched.

#include <QDir>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <optional>

namespace testsupport {

// The PPD of a test queue; its output (after CUPS's own PDF filter) goes to outputFile(name).
struct TestPpd {
    QStringList inputSlots = {}; // "Keyword/Text" or "Keyword", in PPD order; none: no InputSlot
    QString defaultSlot = {};
    QString landscape = {}; // "Minus90", "Plus90", or empty for no *LandscapeOrientation
    QString a4ImageableArea = QStringLiteral("12 18 583 824"); // points, from the lower-left corner
    QString more = {};                                         // further PPD lines, as they are
};

class PrivateCups {
public:
    PrivateCups(); // before any other CUPS call of the test: CUPS reads its folders once
    ~PrivateCups();

    bool isRunning() const { return m_running; }
    QString errorString() const { return m_error; }
    QString socketPath() const { return m_dir.filePath(QStringLiteral("cups.sock")); }
    QString outputFile(const QString &name) const { return m_dir.filePath("out/" + name + ".pdf"); }
    QString deviceUri(const QString &name) const { return QUrl::fromLocalFile(outputFile(name)).toString(); }

    // An enabled queue; without a PPD a raw one. False (and errorString) on failure.
    bool addQueue(const QString &name, const std::optional<TestPpd> &ppd = std::nullopt);
    // Runs an administration tool (lpadmin, cupsreject...) against this scheduler.
    bool admin(const QString &program, const QStringList &arguments);
    // Waits until no job is active, then gives the queue's newest job (0: none, -1: timed out).
    int lastJob(const QString &queue);
    QString jobAttribute(int job, const QString &name) const; // "" when the job lacks it
    QString log() const;

private:
    QTemporaryDir m_dir{QDir::tempPath() + "/tolvo-cups-XXXXXX"};
    QProcess m_cupsd;
    bool m_running = false;
    QString m_error;
};

} // namespace testsupport
