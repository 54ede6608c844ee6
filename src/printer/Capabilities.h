#pragma once
// The names of paper bins, and how to lay the cheque in the printer depending on how
// the printer turns landscape pages.

#include "cheque/PrinterNames.h"
#include "platform/print/Printer.h"

#include <QString>

namespace printer {

// The panel's names, shared with the register.
using cheque::GetPaperBin;
using cheque::orientationCaption;

// How the printer turns portrait into landscape, in degrees (90, 270, or 0 without
// landscape); -1 when the printer cannot be asked.
int deviceOrientationCap(platform::Printer &printer);

// How to lay the cheque in portrait.
extern const QString portraitPositioningText;
// How to lay the cheque in landscape, for the rotation deviceOrientationCap gave:
// lower-left corner first for 270, upper-right corner first for anything else.
QString positioningText(int rotation);

} // namespace printer
