#pragma once
// The French names of paper-bin and orientation codes, as the printer panel shows
// them and as the register lists them.

#include <QString>

namespace cheque {

// The name of a paper-bin code; codes without a name of their own are the default bin.
QString GetPaperBin(qint16 iPaperBin);

// "Portrait" for code 1, "Paysage" for any other code.
QString orientationName(qint16 orientation);

// "Orientation Portrait" or "Orientation Paysage", as orientationName.
QString orientationCaption(qint16 orientation);

} // namespace cheque
