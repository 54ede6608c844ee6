#include "platform/print/ImagePrinter.h"

#include <QPainter>
#include <cmath>

namespace platform {

ImagePrinter::ImagePrinter(QSizeF areaMm, double dotsPerMm) : m_area(areaMm), m_dotsPerMm(dotsPerMm) {}

QString ImagePrinter::DeviceName() const
{
    return QStringLiteral("Aperçu");
}

QString ImagePrinter::Port() const
{
    return QString();
}

qint16 ImagePrinter::PaperBin() const
{
    return 7;
}

void ImagePrinter::setPaperBin(qint16) {}

int ImagePrinter::LandscapeRotation() const
{
    return 90;
}

QList<PaperSource> ImagePrinter::PaperSources() const
{
    return {};
}

PaintedPrinter::Sheet ImagePrinter::sheet(qint16) const
{
    return Sheet();
}

void ImagePrinter::deliver(const QByteArray &) {}

void ImagePrinter::EndDoc()
{
    std::vector<Step> steps = takeSteps();
    // Unhinted glyphs keep the paper's advances, so words land where they print.
    for (Step &step : steps)
        step.font.setHintingPreference(QFont::PreferNoHinting);
    const QSize size(int(std::lround(m_area.width() * m_dotsPerMm)),
                     int(std::lround(m_area.height() * m_dotsPerMm)));
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (m_background.isNull()) {
        painter.setPen(QPen(Qt::gray, 0));
        painter.drawRect(QRectF(0.5, 0.5, size.width() - 1.0, size.height() - 1.0));
    } else {
        painter.drawImage(QRectF(QPointF(0, 0), QSizeF(size)), m_background);
    }
    painter.setPen(Qt::black);
    painter.setClipRect(QRect(QPoint(0, 0), size));
    // Texts are laid out at the paper's resolution, where they were measured, and
    // scaled down: every glyph keeps its place on the paper.
    const double paperDotsPerMm = resolution / 25.4;
    image.setDotsPerMeterX(int(std::lround(paperDotsPerMm * 1000)));
    image.setDotsPerMeterY(int(std::lround(paperDotsPerMm * 1000)));
    painter.scale(m_dotsPerMm / paperDotsPerMm, m_dotsPerMm / paperDotsPerMm);
    paintSteps(painter, &image, paperDotsPerMm, QPointF(), steps);
    painter.end();
    m_image = image;
}

} // namespace platform
