#include "app/frmTolvo.h"
#include "platform/Application.h"
#include "platform/help/HelpKey.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(platform::applicationTitle());
    QApplication::setApplicationVersion(platform::applicationVersion());

    platform::installHelpKey();

    frmTolvo window;
    window.Form_Load();
    window.show();
    return app.exec();
}
