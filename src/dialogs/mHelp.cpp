#include "dialogs/mHelp.h"

#include "platform/Application.h"
#include "platform/help/HelpViewer.h"

#include <QApplication>

namespace mHelp {

void ShowHelp(const QString &helpFile, const qint16 &contextNumber, const bool &popup)
{
    int command = platform::HELP_CONTEXT;
    int data = contextNumber;
    if (contextNumber == -1) {
        command = platform::HELP_FINDER;
        data = 0;
    } else if (contextNumber == 0) {
        command = platform::HELP_CONTENTS;
    } else if (popup) {
        command = platform::HELP_CONTEXTPOPUP;
    }
    QWidget *owner = QApplication::activeWindow();
    platform::openHelp(owner, helpFile, platform::HELP_FORCEFILE, data);
    platform::openHelp(owner, helpFile, command, data);
}

} // namespace mHelp

void showHelpTopics()
{
    mHelp::ShowHelp(platform::applicationFile(QStringLiteral("Tolvo.hlp")), -1, false);
}
