#pragma once
// The print-font list of the options dialog: every face name of one character set,
// once each, in text order, with the current print font selected.

#include "platform/print/Fonts.h"

#include <QString>

class QComboBox;

namespace mFont {

// Fills cboPolice with the faces named FaceName (every face when empty) of the
// character set CharSet, then selects the entry equal to sFont (exact comparison;
// nothing selected when none is). Returns the enumeration's result.
int LoadFontList(QComboBox *cboPolice, const QString &sFont, const QString &FaceName, int CharSet);

// Called once per font reported: adds its face name to the list given as lParam
// unless it is there already. Always 1 (go on).
int EnumFontProc(const platform::LogFont &lpNLF, int FontType, qintptr lParam);

} // namespace mFont
