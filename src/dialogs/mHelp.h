#pragma once
// Opening the help file: a topic, the contents or the topics dialog.

#include <QString>

namespace mHelp {

// contextNumber: -1 the topics dialog (contents, index, search), 0 the contents,
// any other value that topic, in a pop-up window when `popup` is set.
void ShowHelp(const QString &helpFile, const qint16 &contextNumber, const bool &popup);

} // namespace mHelp

// The help's topics dialog for the file beside the program (menu "Aide").
void showHelpTopics();
