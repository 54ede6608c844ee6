#pragma once
// Names of paper bins, and how to lay the cheque in the printer depending on how
// the printer turns landscape pages.

#include "platform/print/Printer.h"

#include <QString>

namespace printer {

// The French name of a paper-bin code; codes without a name of their own are the default bin.
QString GetPaperBin(qint16 iPaperBin);

// "Orientation Portrait" for code 1, "Orientation Paysage" for any other code.
QString orientationCaption(qint16 orientation);

// How the printer turns portrait into landscape, in degrees (90, 270, or 0 without
// landscape); -1 when the printer cannot be asked.
int deviceOrientationCap(platform::Printer &printer);

// How to lay the cheque in portrait.
extern const QString portraitPositioningText;
// How to lay the cheque in landscape, for the rotation deviceOrientationCap gave:
// lower-left corner first for 270, upper-right corner first for anything else.
QString positioningText(int rotation);

} // namespace printer
