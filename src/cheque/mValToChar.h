#pragma once
// The amount in French words, as written on a cheque. Lower case, words separated
// by single spaces, the program's own spellings ("vingt deux", "quatre-vingts mille",
// "deux cent millions"). Pure functions.

#include <QString>

namespace mValToChar {

QString ValToChar(qint32 n);      // 0 .. 2 147 483 647; empty for 0
QString HundredsToChar(qint32 n); // 0 .. 999; empty for 0
QString TensToChar(qint32 n);     // 0 .. 99; empty for 0
QString UnitsToChar(qint32 n);    // 0 .. 19

} // namespace mValToChar
