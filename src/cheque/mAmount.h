#pragma once
// Rules for amounts typed as text: a keystroke filter (digits, one decimal comma,
// backspace) and the normalisation to two decimals when the user leaves the field.

#include <QString>

namespace mAmount {

// The character code to accept, its replacement, or 0 to drop the key. The test on
// the comma looks at the whole current text, not at the selection.
int FilterAmountKey(const QString &currentText, int keyAscii);

// "12" gives "12,00", ",5" gives "0,50", "," gives "0,00", "2,675" gives "2,68":
// exact on the digits as typed, whatever their number. A pasted "." counts as the
// comma and surrounding spaces are dropped; a text that is not a number in that
// sense (letters, two commas, a sign) comes back unchanged, as does an empty text.
QString NormaliseAmount(const QString &text);

} // namespace mAmount
