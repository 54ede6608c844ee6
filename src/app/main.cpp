#include "app/CommandLine.h"
#include "app/frmTolvo.h"
#include "platform/Application.h"
#include "platform/Translations.h"
#include "platform/forms/Forms.h"
#include "platform/help/HelpKey.h"
#include "platform/print/Printer.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    // Answered before Qt connects to a window system, so they work without one.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (const auto code = answerInformationOptions(arguments, out))
        return *code;

    QApplication app(argc, argv);
    if (const auto code = refuseUnknownArguments(QApplication::arguments(), err))
        return *code;
    QApplication::setApplicationName(platform::applicationTitle());
    QApplication::setApplicationVersion(platform::applicationVersion());
    platform::installQtTranslations();
    // Every window, the menus' own included, in the one font the forms are drawn for:
    // a single font to load at start.
    QApplication::setFont(platform::uiFont());

    platform::installHelpKey();
    platform::preparePrinters();

    frmTolvo window;
    window.Form_Load();
    window.show();
    return app.exec();
}
