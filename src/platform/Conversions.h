#pragma once
// Conversions between text and numbers or dates, as the program needs them: the
// leading-number parse, rounding to 16 bits, the two number patterns with the
// decimal comma, and French dates. Pure functions over QtCore.

#include <QDate>
#include <QString>
#include <optional>

namespace platform {

// The number a text starts with ("12abc" gives 12, "-3" gives -3, " 4.5" gives 4.5,
// "1e3" gives 1000); a text that does not start with a number gives 0. The point is
// the decimal separator here, as in stored values.
double Val(const QString &text);

// Rounds half to even to a 16-bit integer; nothing when the result does not fit
// (or the value is not a number).
std::optional<qint16> CInt16(double value);

// The decimal number written in a text: optional sign, digits, one optional decimal
// separator ("," or ".") and more digits, at least one digit in all; surrounding
// spaces are ignored. Anything else is not a number.
struct Decimal {
    bool negative = false;
    QString integer;  // digits, no leading zeros, "0" when zero
    QString fraction; // digits as written
};
std::optional<Decimal> parseDecimal(const QString &text);

// Rounds the digits as written to two decimals, halves away from zero: exact for
// any length, no binary floating point on the way.
Decimal roundToCents(const Decimal &number);

// "0.00": "5" gives "5,00", "1234,567" gives "1234,57". Nothing when the text is not a number.
std::optional<QString> FormatFixed2(const QString &number);
// "# ### ##0.00": "1234,5" gives "1 234,50", "1234567890" gives "1234 567 890,00".
std::optional<QString> FormatGrouped(const QString &number);

// Today as "dd/mm/yy" (05/12/26).
QString TodayText();

// A French date: day/month/year with one- or two-digit day and month, two- or
// four-digit year, separated by "/", "-" or "." (the same twice), on a real
// calendar. Two-digit years fall in 1950-2049.
std::optional<QDate> CDate(const QString &text);
inline bool IsDate(const QString &text)
{
    return CDate(text).has_value();
}
// The short date form "dd/mm/yyyy".
QString ShortDate(const QDate &date);

} // namespace platform
