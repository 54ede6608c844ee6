#include "platform/forms/FileDialog.h"

#include <QFileDialog>

namespace platform {

namespace {
std::function<QString(const QString &)> &answerHook()
{
    static std::function<QString(const QString &)> hook;
    return hook;
}
} // namespace

QString saveFileName(QWidget *parent, const QString &caption, const QString &suggested, const QString &filter)
{
    if (answerHook())
        return answerHook()(suggested);
    return QFileDialog::getSaveFileName(parent, caption, suggested, filter);
}

void setSaveFileNameAnswer(std::function<QString(const QString &suggested)> answer)
{
    answerHook() = std::move(answer);
}

} // namespace platform
