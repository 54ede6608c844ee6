#include "cheque/PrinterNames.h"

namespace cheque {

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

QString orientationName(qint16 orientation)
{
    return orientation == 1 ? QStringLiteral("Portrait") : QStringLiteral("Paysage");
}

QString orientationCaption(qint16 orientation)
{
    return QStringLiteral("Orientation ") + orientationName(orientation);
}

} // namespace cheque
