#pragma once
// Reading a CSV file as spreadsheets and accounting programs write it: the
// encoding and the separator are found from the file itself, and every record
// keeps the line of the file where it starts, so problems can be told by line.

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace registre {

struct CsvRecord {
    int line = 0; // the file's line where the record starts, from 1
    QStringList fields;
    bool unclosedQuote = false; // a quoted field ran on to the end of the file
};

// Splits text into records. A field in double quotes may hold the separator,
// doubled quotes and line breaks (kept as "\n"); text after its closing quote is
// kept as written. CR LF, LF and a lone CR end a record; an empty line gives a
// record of one empty field. At most maxRecords records when it is not negative.
QList<CsvRecord> parseCsv(QStringView text, QChar separator, int firstLine = 1, qsizetype maxRecords = -1);

// ';', '\t' or ',': the one that cuts the first lines into the same number of
// fields most often, then into the most fields; ';' when none cuts them.
QChar detectSeparator(QStringView text);

struct CsvTable {
    QString encoding; // "UTF-8", "Windows-1252" or "UTF-16"
    QChar separator;
    QList<CsvRecord> records;
};

// Reads a whole file. False, with a French reason in *error, when it cannot be
// read or is too large to be a list of cheques.
bool readCsvFile(const QString &path, CsvTable &table, QString *error);

} // namespace registre
