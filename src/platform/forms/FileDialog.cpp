#include "platform/forms/FileDialog.h"

#include <QFileDialog>

namespace platform {

namespace {
using Answer = std::function<QString(const QString &)>;

Answer &saveAnswer()
{
    static Answer hook;
    return hook;
}

Answer &openAnswer()
{
    static Answer hook;
    return hook;
}
} // namespace

QString saveFileName(QWidget *parent, const QString &caption, const QString &suggested, const QString &filter)
{
    if (saveAnswer())
        return saveAnswer()(suggested);
    return QFileDialog::getSaveFileName(parent, caption, suggested, filter);
}

QString openFileName(QWidget *parent, const QString &caption, const QString &folder, const QString &filter)
{
    if (openAnswer())
        return openAnswer()(folder);
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

void setSaveFileNameAnswer(std::function<QString(const QString &suggested)> answer)
{
    saveAnswer() = std::move(answer);
}

void setOpenFileNameAnswer(std::function<QString(const QString &folder)> answer)
{
    openAnswer() = std::move(answer);
}

} // namespace platform
