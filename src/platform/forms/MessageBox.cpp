#include "platform/forms/MessageBox.h"

#include "platform/Application.h"

#include <QDialog>

namespace platform {

namespace {
MessageBoxRecorder *g_recorder = nullptr;

QMessageBox::Icon qtIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Critical: return QMessageBox::Critical;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton firstButton(QMessageBox::StandardButtons buttons)
{
    for (int bit = 0; bit < 32; ++bit) {
        const auto b = QMessageBox::StandardButton(1u << bit);
        if (buttons.testFlag(b) && b != QMessageBox::NoButton)
            return b;
    }
    return QMessageBox::NoButton;
}
} // namespace

MessageBoxRecorder::MessageBoxRecorder()
{
    g_recorder = this;
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    if (g_recorder == this)
        g_recorder = nullptr;
}

QMessageBox::StandardButton messageBox(QWidget *parent, const QString &text, MsgIcon icon,
                                       QMessageBox::StandardButtons buttons, const QString &title)
{
    const QString caption = title.isEmpty() ? applicationTitle() : title;
    if (g_recorder) {
        g_recorder->shown.append({text, icon, caption, buttons});
        if (!g_recorder->answers.isEmpty())
            return g_recorder->answers.takeFirst();
        return firstButton(buttons);
    }
    QMessageBox box(qtIcon(icon), caption, text, buttons, parent);
    return QMessageBox::StandardButton(box.exec());
}

int execDialog(QDialog &dialog)
{
    if (!g_recorder)
        return dialog.exec();
    ++g_recorder->dialogsRun;
    if (g_recorder->dialogs.isEmpty())
        return QDialog::Rejected;
    const auto handler = g_recorder->dialogs.takeFirst();
    dialog.setResult(QDialog::Rejected);
    handler(dialog);
    const int result = dialog.result();
    dialog.hide();
    return result;
}

} // namespace platform
