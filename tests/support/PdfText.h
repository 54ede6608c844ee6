#pragma once
// Reads printed PDF files back with poppler's tools.

#include <QList>
#include <QSizeF>
#include <QStringList>

namespace testsupport {

struct PdfWord {
    QString text;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0; // millimetres from the page's top-left
};

struct PdfPage {
    QSizeF size; // millimetres
    QList<PdfWord> words;
};

// The pages of a PDF with their words (pdftotext -bbox); empty when the file cannot be read.
QList<PdfPage> pdfPages(const QString &path);
// A "Key: value" line of pdfinfo: pdfInfo(path, "Page size") gives "595.28 x 841.89 pts (A4)".
QString pdfInfo(const QString &path, const QString &key);
// The fonts a PDF uses, subset prefixes removed: "LiberationSerif".
QStringList pdfFonts(const QString &path);
// The first word equal to text on a page, or null.
const PdfWord *findWord(const PdfPage &page, const QString &text);

} // namespace testsupport
