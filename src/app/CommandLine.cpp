#include "app/CommandLine.h"

#include "platform/Application.h"

namespace {
const char *const kProgram = "tolvo";
}

std::optional<int> answerInformationOptions(const QStringList &arguments, QTextStream &out)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QStringLiteral("--version") || argument == QStringLiteral("-v")) {
            out << platform::applicationTitle() << ' ' << platform::applicationVersion() << '\n';
            return 0;
        }
        if (argument == QStringLiteral("--help") || argument == QStringLiteral("-h")) {
            out << "Utilisation : " << kProgram << " [--help | --version]\n"
                << "Imprime des chèques bancaires français sur une imprimante de bureau.\n"
                << "Sans option, ouvre la fenêtre principale.\n\n"
                << "  -h, --help     affiche cette aide et quitte\n"
                << "  -v, --version  affiche la version et quitte\n\n"
                << "Les réglages sont enregistrés dans le fichier Tolvo.ini du dossier de\n"
                << "configuration de l'utilisateur ($XDG_CONFIG_HOME/tolvo, par défaut\n"
                << "~/.config/tolvo), ou à côté du programme quand l'aide Tolvo.hlp s'y trouve.\n";
            return 0;
        }
    }
    return std::nullopt;
}

std::optional<int> refuseUnknownArguments(const QStringList &arguments, QTextStream &err)
{
    if (arguments.size() <= 1)
        return std::nullopt;
    err << kProgram << " : argument inconnu « " << arguments[1] << " »\n"
        << "Essayez « " << kProgram << " --help » pour en savoir plus.\n";
    return 2;
}
