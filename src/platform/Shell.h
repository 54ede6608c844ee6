#pragma once
// Opening a document or an address with the program the desktop associates with
// it (xdg-open), with the results of the old shell call: above 32 is success,
// 0 to 32 tell why it failed. Tests replace it with a recorder.

#include <QList>
#include <QString>

class QWidget;

namespace platform {

// Results used when opening fails.
enum ShellResult : int {
    SE_ERR_FNF = 2,     // the file does not exist
    SE_ERR_NOASSOC = 31 // no program to open it (or the opener is missing)
};
// What an opening that went well returns.
constexpr int kShellOpened = 42;

// Opens `file` with the associated program. Only the verb "open" (or none) is
// known; `parameters` and `showCommand` have no meaning for xdg-open and are not
// used; `directory`, when not empty, is the opener's working directory. Never
// goes through a shell. When the opener is still running after a short wait (some
// openers stay with the program they start), opening counts as done.
int shellExecute(QWidget *owner, const QString &operation, const QString &file, const QString &parameters,
                 const QString &directory, int showCommand);

struct ShellRequest {
    QWidget *owner = nullptr;
    QString operation;
    QString file;
    QString parameters;
    QString directory;
    int showCommand = 0;
};

// While a recorder exists nothing is opened: each request is recorded and gets
// `result`.
class ShellRecorder {
public:
    ShellRecorder();
    ~ShellRecorder();
    ShellRecorder(const ShellRecorder &) = delete;
    ShellRecorder &operator=(const ShellRecorder &) = delete;

    int result = kShellOpened;
    QList<ShellRequest> requests;
};

} // namespace platform
