#include "register/RegisterList.h"

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
    if (!filter.beneficiary.isEmpty()) {
        terms << QStringLiteral("beneficiary LIKE ? ESCAPE '\\'");
        values << likePattern(filter.beneficiary);
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
    if (isText && !text.isEmpty() && QStringLiteral("=+-@").contains(text.at(0)))
        text.prepend(QLatin1Char('\''));
    if (text.contains(QLatin1Char(';')) || text.contains(QLatin1Char('"')) ||
        text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))) {
        text.replace(QLatin1String("\""), QLatin1String("\"\""));
        text = QLatin1Char('"') + text + QLatin1Char('"');
    }
    return text;
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
                        where(filter, values) + QStringLiteral(" ORDER BY id DESC");
    return run(db, sql, values, singlePass);
}

Totals totals(const QSqlDatabase &db, const Filter &filter)
{
    QVariantList values;
    QSqlQuery q =
        run(db, QStringLiteral("SELECT COUNT(*), TOTAL(cents) FROM cheques") + where(filter, values), values);
    Totals t;
    if (q.next()) {
        t.count = q.value(0).toLongLong();
        t.cents = qint64(q.value(1).toDouble());
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
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    QByteArray out("\xEF\xBB\xBF");
    out += QStringLiteral(
               "Imprimé le;Date du chèque;Bénéficiaire;Montant;Imprimante;Bac;Orientation;Fichier PDF\r\n")
               .toUtf8();
    while (q.next()) {
        const QStringList fields = {
            printedAtText(q.value(0).toString()),
            q.value(1).toString(),
            csvField(q.value(2).toString(), true),
            centsText(q.value(5).toLongLong()),
            csvField(q.value(4).toString(), true),
            q.value(6).toString(),
            q.value(7).toString(),
            csvField(q.value(8).toString(), true),
        };
        out += fields.join(QLatin1Char(';')).toUtf8() + "\r\n";
        if (out.size() > (1 << 20)) {
            file.write(out);
            out.clear();
        }
    }
    file.write(out);
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

int printList(platform::Printer &p, const QSqlDatabase &db, const Filter &filter)
{
    constexpr float left = 10, dateX = 45, nameX = 75, nameWidth = 85, right = 190, top = 10, bottom = 275,
                    line = 5;
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
        at(left, top + 15, QStringLiteral("Imprimé le"));
        at(dateX, top + 15, QStringLiteral("Date du chèque"));
        at(nameX, top + 15, QStringLiteral("Bénéficiaire"));
        atRight(right, top + 15, QStringLiteral("Montant"));
        y = top + 15 + line + 1;
    };

    heading();
    int rows = 0;
    while (q.next()) {
        if (y > bottom)
            heading();
        QString name = q.value(2).toString().simplified(); // one line per cheque
        if (p.TextWidth(name) > nameWidth) {
            while (!name.isEmpty() && p.TextWidth(name + QStringLiteral("…")) > nameWidth)
                name.chop(1);
            name += QStringLiteral("…");
        }
        at(left, y, printedAtText(q.value(0).toString()));
        at(dateX, y, q.value(1).toString());
        at(nameX, y, name);
        atRight(right, y, q.value(3).toString());
        y += line;
        ++rows;
    }
    if (y > bottom)
        heading();
    at(left, y + 2, totalsText(t));
    p.EndDoc();
    return rows;
}

} // namespace registre
