// Draws data/Specimen.jpg, the picture of a blank French cheque form (our own, of no
// bank) that the specimen print and the preview show. Every line the program writes
// on is drawn from the layout the print job uses, so that the picture, the preview and
// the paper agree: the first line of words after "Payez contre ce chèque", the second
// on the next line, the beneficiary on the "à" line, the figures inside the € box, the
// date after "le".
//
// Built with the tests; needs the Liberation fonts (fonts-liberation2). Run it from the
// source tree after a change of the layout and commit the picture:
//     build-dev/bin/make_specimen data/Specimen.jpg

#include "cheque/ChequeLayout.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

using namespace cheque;

namespace {

constexpr double dots = 8; // a millimetre
// A writing line lies half a millimetre above the bottom of the text line: just under
// the capitals, crossed by the descenders, as on a printed form.
constexpr double lineLift = 0.5;
constexpr double lineWidth = 0.3;
// The € box: around the widest figures the layout allows, clear of the form's edge.
constexpr double boxLeft = figuresItem.x - 2;
constexpr double boxRight = formWidth - 1;
constexpr double boxTop = figuresItem.y - figuresHeight - 1;
constexpr double boxBottom = figuresItem.y + 1.5;
constexpr double linesEnd = boxLeft - 5; // where the lines left of the box stop
static_assert(figuresItem.x + figuresWidth <= boxRight, "the widest figures fit the box");

const QColor paper(0xf7, 0xf4, 0xea), ink(0x3c, 0x5a, 0x80), rule(0x8c, 0x9b, 0xb0), frame(0x2b, 0x4a, 0x73),
    watermark(0xec, 0xe6, 0xd4);

QPointF at(double x, double y)
{
    return QPointF(x * dots, y * dots);
}

class Form {
public:
    explicit Form(QImage &image) : m_painter(&image)
    {
        m_painter.setRenderHint(QPainter::Antialiasing);
        m_painter.setRenderHint(QPainter::TextAntialiasing);
    }

    void line(double x1, double y1, double x2, double y2, const QColor &colour = rule,
              double width = lineWidth)
    {
        m_painter.setPen(QPen(colour, width * dots, Qt::SolidLine, Qt::FlatCap));
        m_painter.drawLine(at(x1, y1), at(x2, y2));
    }
    void rectangle(double left, double top, double right, double bottom, const QColor &colour, double width)
    {
        m_painter.setPen(QPen(colour, width * dots));
        m_painter.setBrush(Qt::NoBrush);
        m_painter.drawRoundedRect(QRectF(at(left, top), at(right, bottom)), 1.2 * dots, 1.2 * dots);
    }
    // A font whose capitals are `capitals` millimetres high.
    void font(double capitals, bool bold = false, const QString &family = QStringLiteral("Liberation Sans"))
    {
        QFont f(family);
        f.setBold(bold);
        f.setPixelSize(100);
        const double capHeight = QFontMetricsF(f).capHeight();
        f.setPixelSize(qRound(100 * capitals * dots / capHeight));
        m_painter.setFont(f);
    }
    double width(const QString &text) const
    {
        return QFontMetricsF(m_painter.font()).horizontalAdvance(text) / dots;
    }
    // The text with its baseline at y, starting at x.
    void text(double x, double baseline, const QString &text, const QColor &colour = ink)
    {
        m_painter.setPen(colour);
        m_painter.drawText(at(x, baseline), text);
    }
    // The text ending at x: the label before a writing line.
    void before(double x, double baseline, const QString &label) { text(x - width(label), baseline, label); }

private:
    QPainter m_painter;
};

void draw(QImage &image)
{
    image.fill(paper);
    Form form(image);
    form.rectangle(0.2, 0.2, formWidth - 0.2, formHeight - 0.2, frame, 0.4);

    // What no text of the program goes near: the bank, the number, the watermark.
    form.font(3.4, true);
    form.text(5, 8, QStringLiteral("BANQUE TOLVO"), frame);
    form.font(1.6);
    form.text(5, 11.5, QStringLiteral("Agence de démonstration — spécimen sans valeur"));
    form.text(boxLeft, 8, QStringLiteral("N° 0000000"));
    form.font(10, true);
    form.text(30, 73, QStringLiteral("SPÉCIMEN"), watermark);

    // The amount in words: after "Payez contre ce chèque", then on the next line.
    form.font(2.1);
    const double words1 = firstLineItem.y - lineLift, words2 = secondLineItem.y - lineLift;
    form.before(firstLineItem.x - 1.5, words1 - 0.6, QStringLiteral("Payez contre ce chèque"));
    form.line(firstLineItem.x - 1, words1, linesEnd, words1);
    form.line(4, words2, linesEnd, words2);

    // The beneficiary, on the "à" line.
    const double beneficiary = beneficiaryItem.y - lineLift;
    form.before(beneficiaryItem.x - 1.5, beneficiary - 0.6, QStringLiteral("à"));
    form.line(beneficiaryItem.x - 1, beneficiary, linesEnd, beneficiary);

    // The figures, in the € box.
    form.rectangle(boxLeft, boxTop, boxRight, boxBottom, frame, 0.35);
    form.font(3, true);
    form.before(boxLeft - 1.2, (boxTop + boxBottom) / 2 + 1.5, QStringLiteral("€"));

    // Place and date: "à ..., le" and the date after "le".
    form.font(2.1);
    const double date = dateItem.y - lineLift;
    form.before(dateItem.x - 1.5, date - 0.6, QStringLiteral("le"));
    form.line(dateItem.x - 1, date, boxRight, date);
    form.before(boxLeft - 35, date - 0.6, QStringLiteral("à"));
    form.line(boxLeft - 34, date, dateItem.x - 7, date);

    // The rest of a form, out of the program's way.
    form.font(1.6);
    form.text(5, 39, QStringLiteral("Payable à l'agence de démonstration"));
    form.text(5, 42,
              QStringLiteral("Non endossable sauf au profit d'une banque ou d'un établissement assimilé"));
    form.text(5, 50, QStringLiteral("Titulaire du compte"));
    form.font(2.1);
    form.text(5, 54, QStringLiteral("M. OU MME EXEMPLE"));
    form.text(5, 57.5, QStringLiteral("1 RUE DU SPÉCIMEN, 75000 PARIS"));
    form.rectangle(110, 50, boxRight, 69, rule, 0.25);
    form.font(1.6);
    form.text(112, 53, QStringLiteral("Signature"));
    form.font(2.6, false, QStringLiteral("Liberation Mono"));
    form.text(12, 77, QStringLiteral("#0000000 #012345678901# 000000000000#"));
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s data/Specimen.jpg\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QImage image(qRound(formWidth * dots), qRound(formHeight * dots), QImage::Format_RGB32);
    draw(image);
    if (!image.save(QString::fromLocal8Bit(argv[1]), "JPEG", 90)) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
