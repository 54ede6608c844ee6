#pragma once
// A printer that draws on a picture instead of paper: the page is measured like
// every painted printer (so texts get the sizes they get on paper) and drawn, at
// true proportions, over a background, for showing on screen.

#include "platform/print/PaintedPrinter.h"

#include <QImage>

namespace platform {

class ImagePrinter : public PaintedPrinter {
public:
    // The area drawn, in millimetres, and the picture's dots per millimetre.
    ImagePrinter(QSizeF areaMm, double dotsPerMm);

    // The background the page is drawn over, stretched to the area; a null picture
    // gives a white area with a thin border.
    void setBackground(const QImage &picture) { m_background = picture; }
    // The picture of the last page ended (EndDoc).
    QImage image() const { return m_image; }
    double dotsPerMm() const { return m_dotsPerMm; }

    QString DeviceName() const override;
    QString Port() const override;
    qint16 PaperBin() const override;
    void setPaperBin(qint16 code) override;
    int LandscapeRotation() const override;
    QList<PaperSource> PaperSources() const override;
    void EndDoc() override;

protected:
    Sheet sheet(qint16 orientation) const override;
    void deliver(const QByteArray &pdf) override;

private:
    QSizeF m_area;
    double m_dotsPerMm;
    QImage m_background;
    QImage m_image;
};

} // namespace platform
