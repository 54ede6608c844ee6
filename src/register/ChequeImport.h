#pragma once
// Cheques read from a spreadsheet's or an accounting program's CSV file: which
// column holds what, and every row checked the way the print job and the date
// field check a cheque, so that only rows that would print are taken.

#include "register/CsvReader.h"

#include <array>

namespace registre {

// A cheque read from a file, ready for the queue of cheques to print.
struct ImportedCheque {
    QString beneficiary;
    QString amount; // normalised, "1234,50"
    QString date;   // "05/12/2026"; empty: the date typed when the cheque is printed
    QString note;   // not printed
};

enum ImportField { FieldBeneficiary, FieldAmount, FieldDate, FieldNote, FieldCount };

struct ImportColumns {
    std::array<int, FieldCount> column{-1, -1, -1, -1}; // index among a record's fields; -1: none
    bool header = false;                                // the first record names columns and is not a cheque
    bool named = false;                                 // its names gave both the beneficiary and the amount
};

// The columns the first record names (Bénéficiaire, Tiers or Nom; Montant; Date;
// Note, Libellé or Référence; letter case and accents aside, a name may go on
// after a space: "Montant TTC"). The columns it does not name are guessed from
// the records' contents: dates, amounts, then text for the beneficiary and note.
ImportColumns findColumns(const QList<CsvRecord> &records);

struct ImportRow {
    int line = 0;
    ImportedCheque cheque; // normalised when the row is good, else its texts as read
    QStringList problems;  // "montant « 12,3,4 » illisible"; none: the row is good
};

struct ImportReport {
    QList<ImportRow> rows; // every record but the header and empty lines, in file order
    QChar decimal;         // what the amounts use before their cents: ',' or '.'

    QList<ImportedCheque> goodCheques() const;
    // Every problem with its line: "ligne 14 : montant « 12,3,4 » illisible".
    QStringList problems() const;
    qsizetype goodCount() const;
    qint64 goodCents() const;
};

// Every row checked. Amounts may use a decimal comma or point, spaces or
// non-breaking spaces between thousands (the other mark too, when the amounts
// use one for their cents) and a "€"; dates are dd/mm/yyyy, dd/mm/yy or
// yyyy-mm-dd. An empty beneficiary is allowed, as in the main window.
ImportReport checkRows(const QList<CsvRecord> &records, const ImportColumns &columns);

} // namespace registre
