#pragma once
// The standard message box, behind one function so that tests can answer it
// without a window ever blocking them.

#include <QList>
#include <QMessageBox>
#include <QString>
#include <functional>

class QDialog;
class QWidget;

namespace platform {

enum class MsgIcon { None, Information, Exclamation, Question, Critical };

// Shows a modal box with the title "Tolvo" unless another is given; returns the
// button pressed.
QMessageBox::StandardButton messageBox(QWidget *parent, const QString &text, MsgIcon icon,
                                       QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                       const QString &title = QString());

// Runs a modal dialog of the program and returns its result. While a recorder
// exists, the next queued handler answers it instead (it may show the dialog and
// press its keys); without one the dialog counts as cancelled.
int execDialog(QDialog &dialog);

// What a box showed, as recorded while answers are queued.
struct ShownMessage {
    QString text;
    MsgIcon icon = MsgIcon::None;
    QString title;
    QMessageBox::StandardButtons buttons;
};

// While a recorder exists, boxes are not shown: each one is recorded and takes the
// next queued answer, or its first button when none is queued.
class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder &) = delete;
    MessageBoxRecorder &operator=(const MessageBoxRecorder &) = delete;

    void queueAnswer(QMessageBox::StandardButton answer) { answers.append(answer); }
    void queueDialog(std::function<void(QDialog &)> handler) { dialogs.append(std::move(handler)); }

    QList<ShownMessage> shown;
    QList<QMessageBox::StandardButton> answers;
    QList<std::function<void(QDialog &)>> dialogs;
    int dialogsRun = 0;
};

} // namespace platform
