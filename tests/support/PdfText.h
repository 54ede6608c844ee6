#pragma once
// Reads printed PDF files back with poppler's tools: page count and size, and the
// words with their boxes (pdftotext -bbox), in millimetres from the page's top-left.

#include <QList>
#include <QSizeF>
#include <QString>
#include <QStringList>

namespace testsupport {

struct PdfWord {
    QString text;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0; // millimetres
};

struct PdfPage {
    QSizeF size; // millimetres
    QList<PdfWord> words;
};

// The pages of a PDF with their words; empty when the file cannot be read.
QList<PdfPage> pdfPages(const QString &path);
// "Key: value" lines of pdfinfo, e.g. pdfInfo(path, "Page size") gives "595.28 x 841.89 pts (A4)".
QString pdfInfo(const QString &path, const QString &key);
// The base names of the fonts a PDF uses (pdffonts), subset prefixes removed:
// "LiberationSerif", "DejaVuSans-Bold".
QStringList pdfFonts(const QString &path);
// The first word equal to text on a page, or null.
const PdfWord *findWord(const PdfPage &page, const QString &text);

} // namespace testsupport
