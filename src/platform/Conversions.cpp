#include "platform/Conversions.h"

#include "platform/Application.h"

#include <QRegularExpression>
#include <cmath>
#include <cstdlib>

namespace platform {

double Val(const QString &text)
{
    // Collect the longest prefix that reads as a number, then let strtod convert it.
    QByteArray number;
    int i = 0;
    const int n = int(text.size());
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        number += char(text[i++].unicode());
    int digits = 0;
    auto takeDigits = [&] {
        while (i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) {
            number += char(text[i++].unicode());
            ++digits;
        }
    };
    takeDigits();
    if (i < n && text[i] == QLatin1Char('.')) {
        number += '.';
        ++i;
        takeDigits();
    }
    if (digits == 0)
        return 0;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        int j = i + 1;
        QByteArray exponent = "e";
        if (j < n && (text[j] == QLatin1Char('-') || text[j] == QLatin1Char('+')))
            exponent += char(text[j++].unicode());
        const int start = j;
        while (j < n && text[j] >= QLatin1Char('0') && text[j] <= QLatin1Char('9'))
            exponent += char(text[j++].unicode());
        if (j > start)
            number += exponent;
    }
    return std::strtod(number.constData(), nullptr);
}

std::optional<qint16> CInt16(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value); // the default mode rounds halves to even
    if (rounded < -32768.0 || rounded > 32767.0)
        return std::nullopt;
    return qint16(rounded);
}

std::optional<Decimal> parseDecimal(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*([-+]?)([0-9]*)(?:[,.]([0-9]*))?\\s*$"));
    const auto match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    Decimal d;
    d.negative = match.captured(1) == QLatin1String("-");
    QString integer = match.captured(2);
    d.fraction = match.captured(3);
    if (integer.isEmpty() && d.fraction.isEmpty())
        return std::nullopt;
    int zeros = 0;
    while (zeros < integer.size() - 1 && integer[zeros] == QLatin1Char('0'))
        ++zeros;
    d.integer = integer.isEmpty() ? QStringLiteral("0") : integer.mid(zeros);
    return d;
}

Decimal roundToCents(const Decimal &number)
{
    Decimal out = number;
    QString fraction = number.fraction.left(2).leftJustified(2, QLatin1Char('0'));
    const bool roundUp = number.fraction.size() > 2 && number.fraction[2] >= QLatin1Char('5');
    if (roundUp) {
        // Add one cent to integer.fraction, carrying through the digits.
        QString digits = number.integer + fraction;
        int k = int(digits.size()) - 1;
        while (k >= 0 && digits[k] == QLatin1Char('9')) {
            digits[k] = QLatin1Char('0');
            --k;
        }
        if (k < 0)
            digits.prepend(QLatin1Char('1'));
        else
            digits[k] = QChar(digits[k].unicode() + 1);
        out.integer = digits.left(digits.size() - 2);
        fraction = digits.right(2);
    }
    out.fraction = fraction;
    if (out.integer.isEmpty())
        out.integer = QStringLiteral("0");
    if (out.integer == QLatin1String("0") && out.fraction == QLatin1String("00"))
        out.negative = false;
    return out;
}

static std::optional<QString> format(const QString &text, bool grouped)
{
    const auto parsed = parseDecimal(text);
    if (!parsed)
        return std::nullopt;
    const Decimal d = roundToCents(*parsed);
    QString integer = d.integer;
    if (grouped && integer.size() > 3) {
        // The pattern groups the last six digits by three; any further digits stay together.
        const qsizetype n = integer.size();
        if (n > 6)
            integer = integer.left(n - 6) + QLatin1Char(' ') + integer.mid(n - 6, 3) + QLatin1Char(' ') +
                      integer.right(3);
        else
            integer = integer.left(n - 3) + QLatin1Char(' ') + integer.right(3);
    }
    return (d.negative ? QStringLiteral("-") : QString()) + integer + QLatin1Char(',') + d.fraction;
}

std::optional<QString> FormatFixed2(const QString &number)
{
    return format(number, false);
}

std::optional<QString> FormatGrouped(const QString &number)
{
    return format(number, true);
}

QString TodayText()
{
    return today().toString(QStringLiteral("dd/MM/yy"));
}

std::optional<QDate> CDate(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*([0-9]{1,2})([/.-])([0-9]{1,2})\\2([0-9]{2}|[0-9]{4})\\s*$"));
    const auto match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int day = match.captured(1).toInt();
    const int month = match.captured(3).toInt();
    const QString yearText = match.captured(4);
    int year = yearText.toInt();
    if (yearText.size() == 2)
        year += year < 50 ? 2000 : 1900;
    else if (year < 100)
        return std::nullopt;
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

QString ShortDate(const QDate &date)
{
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

} // namespace platform
