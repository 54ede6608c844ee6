#pragma once
// Chequebooks and the statuses of cheques: what a chequebook holds, how its numbers
// are read and written, and the French words of the statuses as the register keeps them.

#include <QDate>
#include <QString>
#include <optional>

namespace registre {

// A chequebook: the leaves numbered first..last, the next one to print. Numbers are
// kept as integers and written with the width they were typed with ("0001230").
struct Chequebook {
    qint64 id = 0;
    QString uid; // stays the same wherever the register is copied
    QString name;
    QString account;
    qint64 first = 0, last = 0, next = 0;
    int digits = 7;
    QString closedAt; // when it was closed, ISO 8601; empty while in service
    // On a shared register: the workstation whose printer holds it, and since when
    // (ISO 8601); empty when none.
    QString claimedBy;
    QString claimedAt;

    bool closed() const { return !closedAt.isEmpty(); }
    // "Ce carnet est utilisé sur le poste COMPTA-2 depuis le 06/12/2026 à 09:14."
    QString claimText() const;
    qint64 left() const { return last - next + 1; }
    QString numberText(qint64 number) const;
};

// "0001230": a number with the chequebook's width.
QString numberText(qint64 number, int digits);

// A cheque number as typed: digits only, at most 12 of them.
std::optional<qint64> parseNumber(const QString &text);

// The numbers of a chequebook as the user typed them.
struct ChequebookFields {
    QString name, account, first, last, next;
};
// Which field is wrong and why, for the dialog to show and focus.
struct FieldProblem {
    enum Field { None, Name, First, Last, Next } field = None;
    QString message;
};
// Checks the typed fields; on success fills `book` (numbers and width) and leaves
// the rest of it as it was.
FieldProblem checkChequebook(const ChequebookFields &fields, Chequebook &book);

// The statuses, as stored and shown.
namespace status {
inline const QString Émis = QStringLiteral("émis");
inline const QString Débité = QStringLiteral("débité");
inline const QString Annulé = QStringLiteral("annulé");
inline const QString HorsTolvo = QStringLiteral("hors Tolvo");
} // namespace status

// Whether a cheque in status `from` may take status `to`: an issued or hand-written
// cheque is debited or cancelled; a debited one may get another debit date.
bool statusMayChange(const QString &from, const QString &to);
// Not yet debited: what is still to come off the account.
bool isPending(const QString &status);

// "débité le 12/12/2026", "annulé le 05/12/2026", "émis", "hors Tolvo".
QString statusText(const QString &status, const QString &statusDay);

// "Il reste 3 chèques dans ce carnet." once 5 leaves or fewer are left; empty otherwise.
QString leavesLeftText(qint64 left);
inline constexpr qint64 fewLeaves = 5;

} // namespace registre
