#include "dialogs/mShellExecute.h"

#include "platform/forms/MessageBox.h"
#include "platform/Shell.h"

namespace mShellExecute {

QString ShellErrorMessage(qint32 result)
{
    if (result > 32)
        return QString();
    switch (result) {
    case 0:
    case 8: return QStringLiteral("Mémoire insuffisante.");
    case 2: return QStringLiteral("Fichier non trouvé.");
    case 3: return QStringLiteral("Erreur dans le chemin.");
    case 5: return QStringLiteral("Accès au fichier refusé.");
    case 11: return QStringLiteral("Erreur lors de l'ouverture du fichier.");
    case 26: return QStringLiteral("Violation de partage.");
    case 27: return QStringLiteral("Ce type de fichier n'a pas d'association valide.");
    case 28: return QStringLiteral("Délai d'attente dépassé.");
    case 29: return QStringLiteral("Erreur dans la transaction DDE.");
    case 30: return QStringLiteral("L'application demandée est occupée.");
    case 31: return QStringLiteral("Aucune application n'est associée à ce type de fichier.");
    case 32: return QStringLiteral("Une DLL requise n'a pas été trouvée.");
    default: return QStringLiteral("Une erreur est survenue pendant l'ouverture du fichier.");
    }
}

qint32 ShellOpen(const QString &file, const QString &operation, const QString &parameters,
                 const QString &directory, const qint32 &showCommand, QWidget *ownerWindow,
                 const bool &reportErrors)
{
    const qint32 result =
        platform::shellExecute(ownerWindow, operation, file, parameters, directory, showCommand);
    if (reportErrors && result <= 32)
        platform::messageBox(ownerWindow, ShellErrorMessage(result), platform::MsgIcon::Critical);
    return result;
}

} // namespace mShellExecute
