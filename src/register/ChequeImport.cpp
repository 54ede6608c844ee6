#include "register/ChequeImport.h"

#include "cheque/ChequeJob.h"
#include "cheque/mAmount.h"
#include "platform/Conversions.h"

#include <QRegularExpression>
#include <algorithm>
#include <optional>

namespace registre {

namespace {

bool blank(const CsvRecord &record)
{
    return std::all_of(record.fields.begin(), record.fields.end(),
                       [](const QString &f) { return f.trimmed().isEmpty(); });
}

QString field(const CsvRecord &record, int column)
{
    return column >= 0 && column < record.fields.size() ? record.fields[column] : QString();
}

// Lower case, without accents or extra spaces: "Bénéficiaire " gives "beneficiaire".
QString bareName(const QString &text)
{
    QString bare;
    for (const QChar c : text.normalized(QString::NormalizationForm_D))
        if (c.category() != QChar::Mark_NonSpacing)
            bare += c.toLower();
    return bare.simplified();
}

bool isName(const QString &bare, const QStringList &names)
{
    return std::any_of(names.begin(), names.end(), [&](const QString &name) {
        return bare == name || (bare.startsWith(name) && !bare[name.size()].isLetterOrNumber());
    });
}

// A cell's text on one line. The register's export puts an apostrophe before a
// text a spreadsheet would take for a formula: it goes.
QString cellText(const QString &text)
{
    QString clean = text.simplified();
    static const QRegularExpression quotedFormula(QStringLiteral("^'[=+@-]"));
    if (quotedFormula.match(clean).hasMatch())
        clean.remove(0, 1);
    return clean;
}

// The amount as a number with a decimal comma and an optional "-" ("1234,5"),
// the thousands marks dropped; nothing when it does not read as one. Thousands
// come in threes, marked by a space or by the mark the amounts do not use for
// their cents.
std::optional<QString> plainAmount(const QString &cell, QChar decimal)
{
    QString text = cellText(cell); // non-breaking spaces become plain ones
    if (text.endsWith(QChar(0x20AC)))
        text.chop(1);
    else if (text.startsWith(QChar(0x20AC)))
        text.remove(0, 1);
    text = text.trimmed();
    // Compiled once for each decimal mark: a file has thousands of amounts.
    static const auto pattern = [](const char *group, const char *point) {
        return QRegularExpression(
            QStringLiteral("^(-?)([0-9]{1,3}(?:[ %1][0-9]{3})+|[0-9]*)(?:%2([0-9]*))?$").arg(group, point));
    };
    static const QRegularExpression withComma = pattern("\\.", ","), withPoint = pattern(",", "\\.");
    const auto match = (decimal == QLatin1Char(',') ? withComma : withPoint).match(text);
    if (!match.hasMatch() || (match.capturedLength(2) == 0 && match.capturedLength(3) == 0))
        return std::nullopt;
    QString plain = match.captured(1);
    for (const QChar c : match.capturedView(2))
        if (c.isDigit())
            plain += c;
    if (match.capturedStart(3) >= 0)
        plain += QLatin1Char(',') + match.captured(3);
    return plain;
}

bool isAmount(const QString &text)
{
    return plainAmount(text, QLatin1Char(',')) || plainAmount(text, QLatin1Char('.'));
}

// A date as the cheque prints it ("05/12/2026"), by the date field's rules, or in
// the yyyy-mm-dd form of spreadsheets.
std::optional<QString> readDate(const QString &text)
{
    static const QRegularExpression iso(QStringLiteral("^\\s*([0-9]{4})-([0-9]{1,2})-([0-9]{1,2})\\s*$"));
    const auto match = iso.match(text);
    const auto date = platform::CDate(
        match.hasMatch()
            ? QStringLiteral("%1/%2/%3").arg(match.captured(3), match.captured(2), match.captured(1))
            : text);
    if (!date)
        return std::nullopt;
    return platform::ShortDate(*date);
}

// ',' unless more amounts put one or two digits after a point than after a comma.
QChar decimalOf(const QList<const CsvRecord *> &rows, int column)
{
    int comma = 0, point = 0;
    for (const CsvRecord *r : rows) {
        const QString amount = cellText(field(*r, column)).remove(QChar(0x20AC)).trimmed();
        const qsizetype at =
            std::max(amount.lastIndexOf(QLatin1Char(',')), amount.lastIndexOf(QLatin1Char('.')));
        const qsizetype digits = amount.size() - at - 1;
        if (at >= 0 && (digits == 1 || digits == 2))
            ++(amount[at] == QLatin1Char(',') ? comma : point);
    }
    return point > comma ? QLatin1Char('.') : QLatin1Char(',');
}

QString amountProblem(cheque::ChequeCheck check, const QString &text)
{
    switch (check) {
    case cheque::ChequeCheck::EmptyAmount: return QStringLiteral("montant manquant");
    case cheque::ChequeCheck::ZeroAmount: return QStringLiteral("montant nul");
    case cheque::ChequeCheck::AmountTooLarge: return QStringLiteral("montant supérieur au maximum");
    default: return QStringLiteral("montant « %1 » illisible").arg(text);
    }
}

} // namespace

ImportColumns findColumns(const QList<CsvRecord> &records)
{
    static const std::array<QStringList, FieldCount> names = {QStringList{"beneficiaire", "tiers", "nom"},
                                                              QStringList{"montant"}, QStringList{"date"},
                                                              QStringList{"note", "libelle", "reference"}};
    ImportColumns found;
    QList<const CsvRecord *> rows;
    for (const CsvRecord &r : records)
        if (!blank(r) && rows.size() < 31)
            rows << &r;
    if (rows.isEmpty())
        return found;

    auto &column = found.column;
    const auto taken = [&](int c) { return std::find(column.begin(), column.end(), c) != column.end(); };
    const QStringList &first = rows[0]->fields;
    for (int f = 0; f < FieldCount; ++f)
        for (int c = 0; c < first.size() && column[f] < 0; ++c)
            if (!taken(c) && isName(bareName(first[c]), names[f]))
                column[f] = c;
    found.header = !std::all_of(column.begin(), column.end(), [](int c) { return c < 0; });
    found.named = column[FieldBeneficiary] >= 0 && column[FieldAmount] >= 0;
    if (found.header)
        rows.removeFirst();

    // The rest from the contents: a column whose filled cells mostly pass a test.
    int width = 0;
    for (const CsvRecord *r : rows)
        width = std::max(width, int(r->fields.size()));
    const auto passing = [&](int c, const auto &test) {
        int yes = 0, filled = 0;
        for (const CsvRecord *r : rows)
            if (const QString v = cellText(field(*r, c)); !v.isEmpty()) {
                ++filled;
                yes += test(v) ? 1 : 0;
            }
        return 2 * yes > filled ? yes : 0;
    };
    const auto isDate = [](const QString &v) { return readDate(v).has_value(); };
    const auto isText = [&](const QString &v) { return !isAmount(v) && !isDate(v); };
    const auto hasCents = [](const QString &v) {
        static const QRegularExpression cents(QStringLiteral("[,.][0-9]{1,2}\\s*\u20AC?$"));
        return cents.match(v).hasMatch();
    };
    for (int c = 0; c < width && column[FieldDate] < 0; ++c)
        if (!taken(c) && passing(c, isDate))
            column[FieldDate] = c;
    // Of the columns of numbers, the one with the most cents (not an invoice number).
    const bool amountNamed = column[FieldAmount] >= 0;
    for (int c = 0, cents = -1; c < width && !amountNamed; ++c)
        if (!taken(c) && passing(c, isAmount) && passing(c, hasCents) > cents) {
            column[FieldAmount] = c;
            cents = passing(c, hasCents);
        }
    // Of the columns of text, the names have the fewest digits (fewer than the
    // invoice numbers); the first other one is the note.
    const auto digits = [&](int c) {
        qsizetype n = 0;
        for (const CsvRecord *r : rows) {
            const QString v = field(*r, c);
            n += std::count_if(v.begin(), v.end(), [](QChar ch) { return ch.isDigit(); });
        }
        return n;
    };
    const bool beneficiaryNamed = column[FieldBeneficiary] >= 0;
    qsizetype fewest = 0;
    for (int c = 0; c < width && !beneficiaryNamed; ++c)
        if (!taken(c) && passing(c, isText) && (column[FieldBeneficiary] < 0 || digits(c) < fewest)) {
            column[FieldBeneficiary] = c;
            fewest = digits(c);
        }
    for (int c = 0; c < width && column[FieldNote] < 0; ++c)
        if (!taken(c) && passing(c, isText))
            column[FieldNote] = c;
    return found;
}

ImportReport checkRows(const QList<CsvRecord> &records, const ImportColumns &columns)
{
    QList<const CsvRecord *> rows;
    for (const CsvRecord &r : records)
        if (!blank(r))
            rows << &r;
    if (columns.header && !rows.isEmpty())
        rows.removeFirst();

    const auto &column = columns.column;
    ImportReport report;
    report.decimal = decimalOf(rows, column[FieldAmount]);
    report.rows.reserve(rows.size());
    for (const CsvRecord *r : rows) {
        ImportRow row;
        row.line = r->line;
        ImportedCheque &c = row.cheque;
        c.beneficiary = cellText(field(*r, column[FieldBeneficiary]));
        c.amount = cellText(field(*r, column[FieldAmount]));
        c.date = cellText(field(*r, column[FieldDate]));
        c.note = cellText(field(*r, column[FieldNote]));
        QStringList &problems = row.problems;
        if (r->unclosedQuote)
            problems << QStringLiteral(
                "guillemet jamais refermé : la suite du fichier est lue comme un seul texte");

        const auto plain = plainAmount(c.amount, report.decimal);
        QString amount;
        if (plain && plain->startsWith(QLatin1Char('-'))) {
            problems << QStringLiteral("montant « %1 » négatif").arg(c.amount);
        } else {
            amount = plain ? mAmount::NormaliseAmount(*plain) : c.amount;
            // The amount checks come before the date's, which is ours: a queued
            // cheque may leave its date to the moment it is printed.
            const cheque::CheckResult check = cheque::CheckCheque(amount, QString());
            if (check.focus == cheque::ChequeField::Amount)
                problems << amountProblem(check.check, c.amount);
        }

        QString date;
        if (!c.date.isEmpty()) {
            if (const auto read = readDate(c.date))
                date = *read;
            else
                problems << QStringLiteral("date « %1 » invalide").arg(c.date);
        }

        if (problems.isEmpty()) {
            c.amount = amount;
            c.date = date;
        }
        report.rows << row;
    }
    return report;
}

QList<ImportedCheque> ImportReport::goodCheques() const
{
    QList<ImportedCheque> good;
    for (const ImportRow &r : rows)
        if (r.problems.isEmpty())
            good << r.cheque;
    return good;
}

QStringList ImportReport::problems() const
{
    QStringList all;
    for (const ImportRow &r : rows)
        for (const QString &p : r.problems)
            all << QStringLiteral("ligne %1 : %2").arg(r.line).arg(p);
    return all;
}

qsizetype ImportReport::goodCount() const
{
    return std::count_if(rows.begin(), rows.end(), [](const ImportRow &r) { return r.problems.isEmpty(); });
}

qint64 ImportReport::goodCents() const
{
    qint64 cents = 0;
    for (const ImportRow &r : rows)
        if (r.problems.isEmpty())
            if (const auto euros = cheque::AmountParts(r.cheque.amount))
                cents += qint64(euros->whole) * 100 + euros->cents;
    return cents;
}

} // namespace registre
