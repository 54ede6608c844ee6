#include "register/Chequebook.h"

#include <QDateTime>
#include <algorithm>

namespace registre {

QString Chequebook::numberText(qint64 number) const
{
    return registre::numberText(number, digits);
}

QString Chequebook::claimText() const
{
    const QDateTime since = QDateTime::fromString(claimedAt, Qt::ISODate);
    return QStringLiteral("Ce carnet est utilisé sur le poste %1 depuis le %2 à %3.")
        .arg(claimedBy, since.toString(QStringLiteral("dd/MM/yyyy")),
             since.toString(QStringLiteral("HH:mm")));
}

QString numberText(qint64 number, int digits)
{
    return QStringLiteral("%1").arg(number, digits, 10, QLatin1Char('0'));
}

std::optional<qint64> parseNumber(const QString &text)
{
    const QString digits = text.trimmed();
    if (digits.isEmpty() || digits.size() > 12)
        return std::nullopt;
    for (const QChar c : digits)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    return digits.toLongLong();
}

FieldProblem checkChequebook(const ChequebookFields &fields, Chequebook &book)
{
    const auto problem = [](FieldProblem::Field field, const QString &message) {
        return FieldProblem{field, message};
    };
    if (fields.name.trimmed().isEmpty())
        return problem(FieldProblem::Name, QStringLiteral("Indiquez le nom du carnet."));
    const auto first = parseNumber(fields.first), last = parseNumber(fields.last),
               next = parseNumber(fields.next);
    const QString digitsOnly = QStringLiteral(" du carnet, en chiffres comme sur les chèques (12 au plus).");
    if (!first)
        return problem(FieldProblem::First, QStringLiteral("Indiquez le premier numéro") + digitsOnly);
    if (!last)
        return problem(FieldProblem::Last, QStringLiteral("Indiquez le dernier numéro") + digitsOnly);
    if (*last < *first)
        return problem(FieldProblem::Last,
                       QStringLiteral("Le dernier numéro ne peut pas précéder le premier."));
    if (!next)
        return problem(FieldProblem::Next, QStringLiteral("Indiquez le prochain numéro") + digitsOnly);
    if (*next < *first || *next > *last + 1)
        return problem(FieldProblem::Next,
                       QStringLiteral("Le prochain numéro doit être compris entre le premier et le dernier "
                                      "(ou le suivre quand tout le carnet a servi)."));
    book.name = fields.name.trimmed();
    book.account = fields.account.trimmed();
    book.first = *first;
    book.last = *last;
    book.next = *next;
    // The leading zeros printed on the leaves are kept as typed.
    book.digits = int(std::max(fields.first.trimmed().size(), fields.last.trimmed().size()));
    return {};
}

bool statusMayChange(const QString &from, const QString &to)
{
    if (to == status::Débité)
        return isPending(from) || from == status::Débité;
    if (to == status::Annulé)
        return isPending(from);
    return false;
}

bool isPending(const QString &status)
{
    return status == status::Émis || status == status::HorsTolvo;
}

QString statusText(const QString &status, const QString &statusDay)
{
    const QDate day = QDate::fromString(statusDay, Qt::ISODate);
    if ((status == status::Débité || status == status::Annulé) && day.isValid())
        return status + QStringLiteral(" le ") + day.toString(QStringLiteral("dd/MM/yyyy"));
    return status;
}

QString leavesLeftText(qint64 left)
{
    if (left > fewLeaves || left < 0)
        return {};
    if (left == 0)
        return QStringLiteral("C'était le dernier chèque de ce carnet.");
    return QStringLiteral("Il reste %1 chèque%2 dans ce carnet.").arg(left).arg(left > 1 ? "s" : "");
}

} // namespace registre
