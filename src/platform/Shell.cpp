#include "platform/Shell.h"

#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

namespace platform {

namespace {
ShellRecorder *g_recorder = nullptr;

// How long the window waits for the opener to say whether it could open.
constexpr int kOpenerWaitMs = 2000;

// xdg-open: 0 done, 1 bad command line, 2 no such file, 3 a tool it needs is
// missing, 4 the opening failed (in practice: nothing knows how to open it).
int resultOfExit(QProcess::ExitStatus status, int code)
{
    if (status != QProcess::NormalExit)
        return 1;
    switch (code) {
    case 0: return kShellOpened;
    case 2: return SE_ERR_FNF;
    case 3:
    case 4: return SE_ERR_NOASSOC;
    default: return 1;
    }
}
} // namespace

ShellRecorder::ShellRecorder()
{
    g_recorder = this;
}

ShellRecorder::~ShellRecorder()
{
    if (g_recorder == this)
        g_recorder = nullptr;
}

int shellExecute(QWidget *owner, const QString &operation, const QString &file, const QString &parameters,
                 const QString &directory, int showCommand)
{
    if (g_recorder) {
        g_recorder->requests.append({owner, operation, file, parameters, directory, showCommand});
        return g_recorder->result;
    }
    if (!operation.isEmpty() && operation.compare(QLatin1String("open"), Qt::CaseInsensitive) != 0)
        return SE_ERR_NOASSOC;
    if (file.isEmpty())
        return SE_ERR_FNF;
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty())
        return SE_ERR_NOASSOC;

    auto *process = new QProcess;
    process->setProgram(opener);
    process->setArguments({file});
    if (!directory.isEmpty())
        process->setWorkingDirectory(directory);
    // No pipes: the opened program inherits them and may write for hours.
    process->setStandardInputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedChannels);

    QEventLoop loop;
    QObject::connect(process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    process->start();
    if (!process->waitForStarted()) {
        delete process;
        return SE_ERR_NOASSOC;
    }
    if (process->state() != QProcess::NotRunning) {
        // Windows keep painting while we wait, but take no input.
        QTimer::singleShot(kOpenerWaitMs, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (process->state() != QProcess::NotRunning) {
        // The opener stays with what it started: let it run and clean up after it.
        QObject::disconnect(process, nullptr, &loop, nullptr);
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        return kShellOpened;
    }
    const int result = resultOfExit(process->exitStatus(), process->exitCode());
    delete process;
    return result;
}

} // namespace platform
