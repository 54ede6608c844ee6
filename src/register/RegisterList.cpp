#include "register/RegisterList.h"

#include "cheque/PrinterNames.h"
#include "platform/Conversions.h"
#include "platform/print/Printer.h"
#include "register/Register.h"

#include <QDateTime>
#include <QSaveFile>
#include <QSqlError>
#include <QVariant>

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

// The WHERE clause of a filter, with its values in order.
QString where(const Filter &filter, QVariantList &values)
{
    QStringList terms;
    if (const QString key = searchKey(filter.beneficiary); !key.isEmpty()) {
        terms << QStringLiteral("beneficiary_key LIKE ? ESCAPE '\\'");
        values << likePattern(key);
    }
    if (filter.from.isValid()) {
        terms << QStringLiteral("cheque_day >= ?");
        values << filter.from.toString(Qt::ISODate);
    }
    if (filter.to.isValid()) {
        terms << QStringLiteral("cheque_day <= ?");
        values << filter.to.toString(Qt::ISODate);
    }
    return terms.isEmpty() ? QString() : QStringLiteral(" WHERE ") + terms.join(QStringLiteral(" AND "));
}

QString orderBy(const Filter &filter)
{
    static const char *const keys[ShownColumns] = {"", "cheque_day", "beneficiary_key", "cents", "printer"};
    const QString direction =
        filter.order == Qt::AscendingOrder ? QStringLiteral(" ASC") : QStringLiteral(" DESC");
    const int column =
        filter.sortColumn >= 0 && filter.sortColumn < ShownColumns ? filter.sortColumn : PrintedAt;
    const QString by =
        column == PrintedAt ? QString() : QLatin1String(keys[column]) + direction + QStringLiteral(", ");
    return QStringLiteral(" ORDER BY ") + by + QStringLiteral("id") + direction;
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

QString filterText(const Filter &filter)
{
    QStringList parts;
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
    const QString sql = QStringLiteral("SELECT printed_at, cheque_date, beneficiary, amount, printer, cents,"
                                       " paper_bin, orientation, pdf_file FROM cheques") +
                        where(filter, values) + orderBy(filter);
    return run(db, sql, values, singlePass);
}

Totals totals(const QSqlDatabase &db, const Filter &filter)
{
    QVariantList values;
    QSqlQuery q = run(
        db, QStringLiteral("SELECT COUNT(*), COALESCE(SUM(cents), 0) FROM cheques") + where(filter, values),
        values);
    Totals t;
    if (q.next()) {
        t.count = q.value(0).toLongLong();
        t.cents = q.value(1).toLongLong();
        t.ok = true;
    }
    return t;
}

QString totalsText(const Totals &t)
{
    if (t.count == 0)
        return QStringLiteral("Aucun chèque");
    const QString total = platform::FormatGrouped(centsText(t.cents)).value_or(centsText(t.cents)).trimmed();
    return QStringLiteral("%1 chèque%2, total %3 €").arg(t.count).arg(t.count > 1 ? "s" : "").arg(total);
}

QString printedAtText(const QString &stored)
{
    const QDateTime at = QDateTime::fromString(stored, Qt::ISODate);
    return at.isValid() ? at.toString(QStringLiteral("dd/MM/yyyy HH:mm")) : stored;
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
    out += QStringLiteral(
               "Imprimé le;Date du chèque;Bénéficiaire;Montant;Imprimante;Bac;Orientation;Fichier PDF\r\n")
               .toUtf8();
    const auto flush = [&] {
        const bool whole = file.write(out) == out.size();
        out.clear();
        return whole;
    };
    bool written = true;
    while (written && q.next()) {
        const QStringList fields = {
            printedAtText(q.value(PrintedAt).toString()),
            q.value(ChequeDate).toString(),
            csvField(q.value(Beneficiary).toString(), true),
            centsText(q.value(Cents).toLongLong()),
            csvField(q.value(Printer).toString(), true),
            cheque::GetPaperBin(qint16(q.value(PaperBin).toInt())),
            cheque::orientationName(qint16(q.value(Orientation).toInt())),
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
    // Millimetres on a portrait A4 sheet; the rows in a smaller font than the heading.
    constexpr float left = 10, dateX = 36, nameX = 58, nameWidth = 60, amountRight = 140, binX = 143,
                    binWidth = 32, orientationX = 177, right = 190, top = 10, bottom = 275, line = 4.5;
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
           filterText(filter) + QStringLiteral(" - imprimé le ") +
               QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy à HH:mm")));
        atRight(right, top + 8, QStringLiteral("Page %1").arg(pageNumber));
        p.setFontSize(8);
        at(left, top + 15, QStringLiteral("Imprimé le"));
        at(dateX, top + 15, QStringLiteral("Date du chèque"));
        at(nameX, top + 15, QStringLiteral("Bénéficiaire"));
        atRight(amountRight, top + 15, QStringLiteral("Montant"));
        at(binX, top + 15, QStringLiteral("Bac"));
        at(orientationX, top + 15, QStringLiteral("Orientation"));
        y = top + 15 + line + 1;
    };

    heading();
    int rows = 0;
    while (q.next()) {
        if (y > bottom)
            heading();
        at(left, y, printedAtText(q.value(PrintedAt).toString()));
        at(dateX, y, q.value(ChequeDate).toString());
        at(nameX, y, fitted(q.value(Beneficiary).toString(), nameWidth));
        atRight(amountRight, y, q.value(Amount).toString());
        at(binX, y, fitted(cheque::GetPaperBin(qint16(q.value(PaperBin).toInt())), binWidth));
        at(orientationX, y, cheque::orientationName(qint16(q.value(Orientation).toInt())));
        y += line;
        ++rows;
    }
    if (y > bottom)
        heading();
    p.setFontSize(9);
    at(left, y + 2, totalsText(t));
    p.EndDoc();
    return rows;
}

} // namespace registre
