#include "printer/Capabilities.h"

namespace printer {

const QString portraitPositioningText = QStringLiteral(
    "Grand côté supérieur du chèque en tête, c'est à dire angle supérieur gauche au point zéro "
    "de la zone d'impression.");

QString GetPaperBin(qint16 iPaperBin)
{
    switch (iPaperBin) {
    case 1: return QStringLiteral("Bac supérieur");
    case 2: return QStringLiteral("Bac inférieur");
    case 3: return QStringLiteral("Bac du milieu");
    case 4: return QStringLiteral("Alimentation manuelle");
    case 5:
    case 6: return QStringLiteral("Bac pour enveloppes");
    case 8: return QStringLiteral("Alimentation par traction");
    case 9: return QStringLiteral("Bac papier petit format");
    case 10: return QStringLiteral("Bac papier grand format");
    case 11: return QStringLiteral("Bac grande capacité");
    case 14: return QStringLiteral("Bac-cassette");
    default: return QStringLiteral("Bac par défaut");
    }
}

QString orientationCaption(qint16 orientation)
{
    return orientation == 1 ? QStringLiteral("Orientation Portrait") : QStringLiteral("Orientation Paysage");
}

int deviceOrientationCap(platform::Printer &printer)
{
    try {
        return printer.LandscapeRotation();
    } catch (const platform::PrinterError &) {
        return -1;
    }
}

QString positioningText(int rotation)
{
    if (rotation == 270)
        return QStringLiteral(
            "Petit côté gauche du chèque en tête, c'est à dire angle inférieur gauche au point "
            "zéro de la zone d'impression.");
    return QStringLiteral(
        "Petit côté droit du chèque en tête, c'est à dire angle supérieur droit au point zéro "
        "de la zone d'impression.");
}

} // namespace printer
