#pragma once
// Reads printed PDF files back with poppler's tools, as words or as pictures.

#include <QImage>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QStringList>
#include <functional>

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
// The first page rendered at `dpi` dots an inch (pdftoppm), beside the PDF; null when it fails.
QImage pdfImage(const QString &path, int dpi);
// The bounding box of the pixels darker than `grey` inside `area`; null when there are none.
QRect ink(const QImage &image, const QRect &area, int grey = 128);

// A picture read in millimetres from its top-left corner: `dots` a millimetre, ink where
// `isInk` says (darker than mid-grey unless told).
struct InkPicture {
    QImage image;
    double dots = 10;
    std::function<bool(QRgb)> isInk = [](QRgb c) { return qGray(c) < 128; };

    bool inked(QPointF mm) const;
    // How much of a segment is ink, and its longest unbroken stretch of ink in millimetres.
    double share(QPointF from, QPointF to) const;
    double run(QPointF from, QPointF to) const;
    // The box of the ink inside an area; empty when there is none.
    QRectF box(const QRectF &area) const;
};

} // namespace testsupport
