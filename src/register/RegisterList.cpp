#include "register/RegisterList.h"

#include "cheque/PrinterNames.h"
#include "platform/Conversions.h"
#include "platform/print/Printer.h"
#include "register/Register.h"

#include <QDateTime>
#include <QSaveFile>
#include <QSqlError>
#include <QVariant>
#include <vector>

namespace registre {

namespace {

QString likePattern(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    escaped.replace(QLatin1String("%"), QLatin1String("\\%"));
    escaped.replace(QLatin1String("_"), QLatin1String("\\_"));
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

// The SQL condition on the status a filter keeps; empty for all.
QString statusCondition(StatusFilter status)
{
    const auto is = [](const QString &s) { return QStringLiteral("c.status = '%1'").arg(s); };
    switch (status) {
    case StatusFilter::All: break;
    case StatusFilter::Pending: // four fifths of a register of some years: read in the order of the rows
        return QStringLiteral("c.status <> '%1' AND c.status <> '%2'").arg(status::Débité, status::Annulé);
    case StatusFilter::Issued: return is(status::Émis);
    case StatusFilter::Debited: return is(status::Débité);
    case StatusFilter::Cancelled: return is(status::Annulé);
    case StatusFilter::OutsideTolvo: return is(status::HorsTolvo);
    }
    return {};
}

// The WHERE clause of a filter, with its values in order; the status left out when asked.
QString where(const Filter &filter, QVariantList &values, bool withStatus = true)
{
    QStringList terms;
    if (const QString key = searchKey(filter.beneficiary); !key.isEmpty()) {
        terms << QStringLiteral("c.beneficiary_key LIKE ? ESCAPE '\\'");
        values << likePattern(key);
    }
    if (filter.from.isValid()) {
        terms << QStringLiteral("c.cheque_day >= ?");
        values << filter.from.toString(Qt::ISODate);
    }
    if (filter.to.isValid()) {
        terms << QStringLiteral("c.cheque_day <= ?");
        values << filter.to.toString(Qt::ISODate);
    }
    if (filter.chequebook == noChequebook) {
        terms << QStringLiteral("c.chequebook_id IS NULL");
    } else if (filter.chequebook != allChequebooks) {
        terms << QStringLiteral("c.chequebook_id = ?");
        values << filter.chequebook;
    }
    if (const QString status = statusCondition(filter.status); withStatus && !status.isEmpty())
        terms << status;
    return terms.isEmpty() ? QString() : QStringLiteral(" WHERE ") + terms.join(QStringLiteral(" AND "));
}

QString orderBy(const Filter &filter)
{
    // Numbers by chequebook; cheques without one (NULL) first in ascending order, on every engine.
    static const std::vector<const char *> keys[ShownColumns] = {{},
                                                                 {"c.chequebook_id", "c.number"},
                                                                 {"c.cheque_day"},
                                                                 {"c.beneficiary_key"},
                                                                 {"c.cents"},
                                                                 {"c.status"},
                                                                 {"c.printer"}};
    const bool ascending = filter.order == Qt::AscendingOrder;
    const QString direction = ascending ? QStringLiteral(" ASC") : QStringLiteral(" DESC");
    const int column =
        filter.sortColumn >= 0 && filter.sortColumn < ShownColumns ? filter.sortColumn : PrintedAt;
    QString by;
    for (const char *key : keys[column])
        by += QLatin1String(key) + direction +
              (column == Number ? (ascending ? QStringLiteral(" NULLS FIRST") : QStringLiteral(" NULLS LAST"))
                                : QString()) +
              QStringLiteral(", ");
    return QStringLiteral(" ORDER BY ") + by + QStringLiteral("c.id") + direction;
}

// Whether a filter keeps the cheques of a status.
bool keeps(StatusFilter filter, const QString &s)
{
    switch (filter) {
    case StatusFilter::All: return true;
    case StatusFilter::Pending: return isPending(s);
    case StatusFilter::Issued: return s == status::Émis;
    case StatusFilter::Debited: return s == status::Débité;
    case StatusFilter::Cancelled: return s == status::Annulé;
    case StatusFilter::OutsideTolvo: return s == status::HorsTolvo;
    }
    return false;
}

QSqlQuery run(const QSqlDatabase &db, const QString &sql, const QVariantList &values, bool singlePass = true)
{
    QSqlQuery q(db);
    q.setForwardOnly(singlePass);
    q.prepare(sql);
    for (const QVariant &v : values)
        q.addBindValue(v);
    q.exec();
    return q;
}

// A field as a spreadsheet reads it: quoted when it holds a separator, a quote or a
// line break; a text a spreadsheet would take for a formula starts with an apostrophe.
QString csvField(QString text, bool isText)
{
    if (isText && !text.isEmpty() && QStringLiteral("=+-@\t\r").contains(text.at(0)))
        text.prepend(QLatin1Char('\''));
    if (text.contains(QLatin1Char(';')) || text.contains(QLatin1Char('"')) ||
        text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))) {
        text.replace(QLatin1String("\""), QLatin1String("\"\""));
        text = QLatin1Char('"') + text + QLatin1Char('"');
    }
    return text;
}

// The system's own reasons are often in English.
QString writeFailure(const QSaveFile &file)
{
    switch (file.error()) {
    case QFileDevice::OpenError:
    case QFileDevice::PermissionsError:
        return QStringLiteral("Le dossier ou le fichier est protégé en écriture.");
    case QFileDevice::ResourceError: return QStringLiteral("Le disque est plein.");
    default: return QStringLiteral("Erreur d'écriture sur le disque.");
    }
}

// The bin and orientation of a row by name; none for a leaf that Tolvo did not print.
QString binName(const QSqlQuery &q)
{
    return q.value(Printer).toString().isEmpty() ? QString()
                                                 : cheque::GetPaperBin(qint16(q.value(PaperBin).toInt()));
}

QString orientationName(const QSqlQuery &q)
{
    return q.value(Printer).toString().isEmpty()
               ? QString()
               : cheque::orientationName(qint16(q.value(Orientation).toInt()));
}

QString filterText(const QSqlDatabase &db, const Filter &filter)
{
    QStringList parts;
    if (filter.chequebook == noChequebook) {
        parts << QStringLiteral("sans carnet");
    } else if (filter.chequebook != allChequebooks) {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("SELECT name FROM chequebooks WHERE id = ?"));
        q.addBindValue(filter.chequebook);
        if (q.exec() && q.next())
            parts << QStringLiteral("carnet « %1 »").arg(q.value(0).toString());
    }
    static const char *const statuses[] = {"", "à débiter", "émis", "débités", "annulés", "hors Tolvo"};
    if (filter.status != StatusFilter::All)
        parts << QString::fromUtf8(statuses[int(filter.status)]);
    if (!filter.beneficiary.isEmpty())
        parts << QStringLiteral("bénéficiaire contenant « %1 »").arg(filter.beneficiary);
    if (filter.from.isValid())
        parts << QStringLiteral("du %1").arg(filter.from.toString(QStringLiteral("dd/MM/yyyy")));
    if (filter.to.isValid())
        parts << QStringLiteral("au %1").arg(filter.to.toString(QStringLiteral("dd/MM/yyyy")));
    return parts.isEmpty() ? QStringLiteral("Tous les chèques") : parts.join(QStringLiteral(", "));
}

} // namespace

QSqlQuery selectRows(const QSqlDatabase &db, const Filter &filter, bool singlePass)
{
    QVariantList values;
    const QString sql =
        QStringLiteral("SELECT c.printed_at, c.number, c.cheque_date, c.beneficiary, c.amount, c.status,"
                       " c.printer, c.cents, c.paper_bin, c.orientation, c.pdf_file, c.id,"
                       " COALESCE(b.name, ''), COALESCE(b.digits, 0), c.status_day, c.reason"
                       " FROM cheques c LEFT JOIN chequebooks b ON b.id = c.chequebook_id") +
        where(filter, values) + orderBy(filter);
    return run(db, sql, values, singlePass);
}

Totals totals(const QSqlDatabase &db, const Filter &filter)
{
    // How many cheques of each status, and their total, among the rows the filter
    // keeps whatever their status; an index holds the status beside every column
    // a filter reads, so that the database need not read the rows themselves.
    QVariantList values;
    QSqlQuery q = run(db,
                      QStringLiteral("SELECT c.status, COUNT(*), COALESCE(SUM(c.cents), 0) FROM cheques c") +
                          where(filter, values, false) + QStringLiteral(" GROUP BY c.status"),
                      values);
    Totals t;
    if (!q.isActive())
        return t;
    while (q.next()) {
        const QString status = q.value(0).toString();
        const qint64 count = q.value(1).toLongLong(), cents = q.value(2).toLongLong();
        if (keeps(filter.status, status)) {
            t.count += count;
            if (status == status::Annulé)
                t.cancelled += count;
            else
                t.cents += cents;
        }
        if (isPending(status)) {
            t.pending += count;
            t.pendingCents += cents;
        }
    }
    t.ok = !q.lastError().isValid();
    return t;
}

QString euros(qint64 cents)
{
    return platform::FormatGrouped(centsText(cents)).value_or(centsText(cents)).trimmed();
}

QString totalsText(const Totals &t)
{
    if (t.count == 0)
        return QStringLiteral("Aucun chèque");
    const QString cancelled =
        t.cancelled == 0
            ? QString()
            : QStringLiteral(" dont %1 annulé%2").arg(t.cancelled).arg(t.cancelled > 1 ? "s" : "");
    return QStringLiteral("%1 chèque%2%3, total %4 €")
        .arg(t.count)
        .arg(t.count > 1 ? "s" : "")
        .arg(cancelled, euros(t.cents));
}

QString pendingText(const Totals &t)
{
    if (t.pending == 0)
        return QStringLiteral("À débiter : aucun chèque");
    return QStringLiteral("À débiter : %1 chèque%2, %3 €")
        .arg(t.pending)
        .arg(t.pending > 1 ? "s" : "")
        .arg(euros(t.pendingCents));
}

QString printedAtText(const QString &stored)
{
    const QDateTime at = QDateTime::fromString(stored, Qt::ISODate);
    return at.isValid() ? at.toString(QStringLiteral("dd/MM/yyyy HH:mm")) : stored;
}

QString numberCell(const QVariant &number, const QVariant &digits)
{
    return number.isNull() ? QString() : numberText(number.toLongLong(), digits.toInt());
}

bool writeCsv(const QSqlDatabase &db, const Filter &filter, const QString &path, QString *error)
{
    QSqlQuery q = selectRows(db, filter);
    if (!q.isActive()) {
        *error = QStringLiteral("Le registre n'a pas pu être lu : %1").arg(q.lastError().text());
        return false;
    }
    QSaveFile file(path);
    // Unbuffered, so that every write below says whether it reached the file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *error = writeFailure(file);
        return false;
    }
    QByteArray out("\xEF\xBB\xBF");
    out += QStringLiteral("Imprimé le;Carnet;Numéro;Date du chèque;Bénéficiaire;Montant;État;Date de l'état;"
                          "Motif;Imprimante;Bac;Orientation;Fichier PDF\r\n")
               .toUtf8();
    const auto flush = [&] {
        const bool whole = file.write(out) == out.size();
        out.clear();
        return whole;
    };
    bool written = true;
    while (written && q.next()) {
        const QDate statusDay = QDate::fromString(q.value(StatusDay).toString(), Qt::ISODate);
        const QStringList fields = {
            printedAtText(q.value(PrintedAt).toString()),
            csvField(q.value(ChequebookName).toString(), true),
            numberCell(q.value(Number), q.value(Digits)),
            q.value(ChequeDate).toString(),
            csvField(q.value(Beneficiary).toString(), true),
            centsText(q.value(Cents).toLongLong()),
            q.value(Status).toString(),
            statusDay.isValid() ? statusDay.toString(QStringLiteral("dd/MM/yyyy")) : QString(),
            csvField(q.value(Reason).toString(), true),
            csvField(q.value(Printer).toString(), true),
            binName(q),
            orientationName(q),
            csvField(q.value(PdfFile).toString(), true),
        };
        out += fields.join(QLatin1Char(';')).toUtf8() + "\r\n";
        if (out.size() > (1 << 20))
            written = flush();
    }
    if (q.lastError().isValid()) {
        file.cancelWriting();
        *error = QStringLiteral("Le registre n'a pas pu être lu : %1").arg(q.lastError().text());
        return false;
    }
    // A short write (full disk) leaves the file as it was: nothing cut is put in place.
    if (!written || !flush() || !file.commit()) {
        *error = writeFailure(file);
        file.cancelWriting();
        return false;
    }
    return true;
}

int printList(platform::Printer &p, const QSqlDatabase &db, const Filter &filter)
{
    // Millimetres on a portrait A4 sheet: where each column starts (the amount: where
    // it ends) and how wide a text may be before it is cut; the rows in a smaller font
    // than the heading.
    constexpr float left = 10, bookX = 32, numberX = 51, dateX = 63, nameX = 77, nameWidth = 40,
                    amountRight = 134, statusX = 136, statusWidth = 26, binX = 163, binWidth = 26,
                    orientationX = 190, right = 200, top = 10, bottom = 275, line = 4;
    QSqlQuery q = selectRows(db, filter);
    if (!q.isActive())
        throw platform::PrinterError(QStringLiteral("Le registre n'a pas pu être lu."));
    const Totals t = totals(db, filter);

    p.setPaperSize(9);
    p.setOrientation(1);
    p.setScaleMode(6);
    p.setFontName(QStringLiteral("Arial"));

    auto at = [&](float x, float y, const QString &text) {
        p.setCurrentX(x);
        p.setCurrentY(y);
        p.Print(text);
    };
    auto atRight = [&](float x, float y, const QString &text) { at(x - p.TextWidth(text), y, text); };
    // One line per cheque: what does not fit is cut, with an ellipsis.
    auto fitted = [&](QString text, float width) {
        text = text.simplified();
        if (p.TextWidth(text) <= width)
            return text;
        while (!text.isEmpty() && p.TextWidth(text + QStringLiteral("…")) > width)
            text.chop(1);
        return text + QStringLiteral("…");
    };
    float y = 0;
    int pageNumber = 0;
    auto heading = [&] {
        if (pageNumber > 0)
            p.NewPage();
        ++pageNumber;
        p.setFontSize(14);
        at(left, top, QStringLiteral("Registre des chèques"));
        p.setFontSize(9);
        at(left, top + 8,
           filterText(db, filter) + QStringLiteral(" - imprimé le ") +
               QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy à HH:mm")));
        atRight(right, top + 8, QStringLiteral("Page %1").arg(pageNumber));
        p.setFontSize(7);
        at(left, top + 15, QStringLiteral("Imprimé le"));
        at(bookX, top + 15, QStringLiteral("Carnet"));
        at(numberX, top + 15, QStringLiteral("N°"));
        at(dateX, top + 15, QStringLiteral("Date"));
        at(nameX, top + 15, QStringLiteral("Bénéficiaire"));
        atRight(amountRight, top + 15, QStringLiteral("Montant"));
        at(statusX, top + 15, QStringLiteral("État"));
        at(binX, top + 15, QStringLiteral("Bac"));
        at(orientationX, top + 15, QStringLiteral("Sens"));
        y = top + 15 + line + 1;
    };

    heading();
    int rows = 0;
    while (q.next()) {
        if (y > bottom)
            heading();
        at(left, y, printedAtText(q.value(PrintedAt).toString()));
        at(bookX, y, fitted(q.value(ChequebookName).toString(), numberX - bookX - 1));
        at(numberX, y, numberCell(q.value(Number), q.value(Digits)));
        at(dateX, y, q.value(ChequeDate).toString());
        at(nameX, y, fitted(q.value(Beneficiary).toString(), nameWidth));
        atRight(amountRight, y, q.value(Amount).toString());
        at(statusX, y,
           fitted(statusText(q.value(Status).toString(), q.value(StatusDay).toString()), statusWidth));
        at(binX, y, fitted(binName(q), binWidth));
        at(orientationX, y, orientationName(q));
        y += line;
        ++rows;
    }
    if (y > bottom)
        heading();
    p.setFontSize(9);
    at(left, y + 2, totalsText(t) + QStringLiteral(" - ") + pendingText(t));
    p.EndDoc();
    return rows;
}

} // namespace registre
