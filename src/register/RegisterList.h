#pragma once
// The register's rows as the window shows them: the filter and the order, the
// count and total, the CSV export and the printed list. Both are done by the
// database, so that a register of many years answers at once.

#include <QDate>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

namespace platform {
class Printer;
}

namespace registre {

// The shown columns, in their order.
enum Column { PrintedAt, Number, ChequeDate, Beneficiary, Amount, Status, Printer, ShownColumns };
// The columns after them.
enum HiddenColumn {
    Cents = ShownColumns,
    PaperBin,
    Orientation,
    PdfFile,
    Id,
    ChequebookName,
    Digits,
    StatusDay,
    Reason
};

// Which statuses a filter keeps.
enum class StatusFilter { All, Pending, Issued, Debited, Cancelled, OutsideTolvo };

inline constexpr qint64 allChequebooks = -1;
inline constexpr qint64 noChequebook = 0;

struct Filter {
    QString beneficiary;                // part of the name, letter case and accents aside; empty: all
    QDate from, to;                     // the cheque's date, each end included; null: open
    qint64 chequebook = allChequebooks; // its id, or one of the two above
    StatusFilter status = StatusFilter::All;
    // The rows sorted by one of the shown columns (amounts as numbers, dates as
    // dates), in the order they were printed where they are equal. Newest first.
    int sortColumn = PrintedAt;
    Qt::SortOrder order = Qt::DescendingOrder;
};

// The columns of Column, then those of HiddenColumn. A view's model needs a query
// it can go back in; a single pass over the rows does not.
QSqlQuery selectRows(const QSqlDatabase &db, const Filter &filter, bool singlePass = true);

// The filtered rows: how many, how many of them cancelled, and the total of the
// others; and the cheques still to be debited among the rows the filter keeps
// whatever their status.
struct Totals {
    qint64 count = 0;
    qint64 cancelled = 0;
    qint64 cents = 0;
    qint64 pending = 0;
    qint64 pendingCents = 0;
    bool ok = false;
};
Totals totals(const QSqlDatabase &db, const Filter &filter);

// "3 chèques, total 1 234,50 €"; "3 chèques dont 1 annulé, total 1 234,50 €".
QString totalsText(const Totals &totals);
// "À débiter : 12 chèques, 4 530,20 €".
QString pendingText(const Totals &totals);
// 123450 as "1 234,50".
QString euros(qint64 cents);
// A stored print time as shown: "05/12/2026 14:03".
QString printedAtText(const QString &stored);
// A stored number with its chequebook's width ("0001234"); empty for none.
QString numberCell(const QVariant &number, const QVariant &digits);

// Writes the filtered rows as CSV for French spreadsheets (semicolons, decimal
// comma, UTF-8 with a byte-order mark, bins and orientations by name, the
// chequebook, number, status and its date); the file is
// replaced whole or not at all. False with a French reason in *error.
bool writeCsv(const QSqlDatabase &db, const Filter &filter, const QString &path, QString *error);

// Prints the filtered rows as a list, pages as needed; throws PrinterError.
// Returns the number of rows printed.
int printList(platform::Printer &printer, const QSqlDatabase &db, const Filter &filter);

} // namespace registre
