#include "cheque/mAmount.h"

#include "platform/Conversions.h"

#include <QRegularExpression>

namespace mAmount {

int FilterAmountKey(const QString &currentText, int keyAscii)
{
    const bool hasComma = currentText.contains(QLatin1Char(','));
    switch (keyAscii) {
    case '.': return hasComma ? 0 : ',';
    case ',': return hasComma ? 0 : ',';
    case 8: return 8;
    default: break;
    }
    if (keyAscii >= '0' && keyAscii <= '9')
        return keyAscii;
    return 0;
}

QString NormaliseAmount(const QString &text)
{
    if (text.isEmpty())
        return text;
    static const QRegularExpression amount(QStringLiteral("^[0-9]*[,.]?[0-9]*$"));
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || !amount.match(trimmed).hasMatch())
        return text;
    if (trimmed == QLatin1String(",") || trimmed == QLatin1String("."))
        return QStringLiteral("0,00");
    return platform::FormatFixed2(trimmed).value_or(text);
}

} // namespace mAmount
