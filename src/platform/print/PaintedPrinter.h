#pragma once
// What every real printer shares: the page is kept as a list of drawing steps in
// millimetres from the printable area's top-left corner, and EndDoc paints it
// into a one-page A4 PDF that the backend hands on (spooler or file).

#include "platform/print/Printer.h"

#include <QBuffer>
#include <QFont>
#include <QPointF>
#include <memory>
#include <vector>

class QPainter;
class QPaintDevice;
class QPdfWriter;

namespace platform {

class PaintedPrinter : public Printer {
public:
    // Drawing resolution of the page, in dots per inch; measures are taken at it.
    static constexpr int resolution = 1200;

    PaintedPrinter();
    ~PaintedPrinter() override;

    void setPaperSize(qint16 code) override;
    qint16 Orientation() const override;
    void setOrientation(qint16 code) override;
    void setScaleMode(qint16 mode) override;

    void setFontName(const QString &name) override;
    float FontSize() const override;
    void setFontSize(float points) override;

    void setCurrentX(float x) override;
    void setCurrentY(float y) override;
    float TextWidth(const QString &text) override;
    float TextHeight(const QString &text) override;

    void Print(const QString &text) override;
    void PaintPicture(const QImage &picture, float x, float y, float width, float height) override;
    void Line(float x1, float y1, float x2, float y2) override;
    void NewPage() override;
    void EndDoc() override;

protected:
    // How a page is laid on the sheet for an orientation (1 portrait, 2 landscape).
    struct Sheet {
        // Where the printable area starts, in millimetres from the page's top-left
        // corner, in the orientation of the page.
        QPointF origin;
        // 0: the sheet has the page's orientation. 90 or 270: a landscape page is
        // turned onto a portrait sheet, its top edge along the sheet's left edge (90)
        // or its left edge along the sheet's top edge (270).
        int rotation = 0;
    };
    virtual Sheet sheet(qint16 orientation) const = 0;
    // Hands a finished one-page PDF on; throws PrinterError when it cannot.
    virtual void deliver(const QByteArray &pdf) = 0;

    struct Step {
        enum Kind { Text, Picture, Line } kind = Text;
        QString text;
        QImage picture;
        QFont font;
        QPointF at;  // millimetres: a text's or picture's top-left corner, a line's start
        QSizeF size; // a picture's size, or how far a line goes, millimetres
        int page = 0;
    };
    // The steps drawn since the last EndDoc; the printer starts blank again at the origin.
    std::vector<Step> takeSteps();
    // Draws steps onto a painter whose device has dotsPerMm dots per millimetre,
    // the printable area starting at origin (millimetres). Fonts are sized for device.
    static void paintSteps(QPainter &painter, QPaintDevice *device, double dotsPerMm, QPointF origin,
                           const std::vector<Step> &steps);

private:
    double unitsToMm(float value) const;
    float mmToUnits(double mm) const;
    QFont deviceFont() const;

    qint16 m_orientation = 1;
    qint16 m_scaleMode = 1;
    QFont m_font;
    double m_x = 0, m_y = 0; // millimetres
    std::vector<Step> m_steps;
    int m_page = 0;

    // A PDF device never painted on, so that fonts are measured at the page's resolution.
    QBuffer m_measureBuffer;
    std::unique_ptr<QPdfWriter> m_measureDevice;
};

} // namespace platform
