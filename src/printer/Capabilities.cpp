#include "printer/Capabilities.h"

namespace printer {

const QString portraitPositioningText = QStringLiteral(
    "Grand côté supérieur du chèque en tête, c'est à dire angle supérieur gauche au point zéro "
    "de la zone d'impression.");

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
