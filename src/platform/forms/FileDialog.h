#pragma once
// The standard "open" and "save as" dialogs, behind functions that tests can answer.

#include <QString>
#include <functional>

class QWidget;

namespace platform {

// The file chosen, or an empty text when the user cancelled.
QString saveFileName(QWidget *parent, const QString &caption, const QString &suggested,
                     const QString &filter);
// An existing file chosen in `folder`, or an empty text when the user cancelled.
QString openFileName(QWidget *parent, const QString &caption, const QString &folder, const QString &filter);

// While set, no dialog is shown: the function gets the suggested path (the folder
// for openFileName) and answers.
void setSaveFileNameAnswer(std::function<QString(const QString &suggested)> answer);
void setOpenFileNameAnswer(std::function<QString(const QString &folder)> answer);

} // namespace platform
