#pragma once
// The standard "save as" dialog, behind one function so that tests can answer it.

#include <QString>
#include <functional>

class QWidget;

namespace platform {

// The file chosen, or an empty text when the user cancelled.
QString saveFileName(QWidget *parent, const QString &caption, const QString &suggested,
                     const QString &filter);

// While set, no dialog is shown: the function gets the suggested path and answers.
void setSaveFileNameAnswer(std::function<QString(const QString &suggested)> answer);

} // namespace platform
