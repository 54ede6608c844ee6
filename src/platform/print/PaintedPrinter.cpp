#include "platform/print/PaintedPrinter.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>

namespace platform {

namespace {

constexpr double dotsPerMm = PaintedPrinter::resolution / 25.4;
// Beyond this a font size makes no sense on a sheet of paper (and the platform refused it).
constexpr float maxFontSize = 1638.0f;

// Millimetres per unit of the scale modes that have a fixed size: twips, points,
// pixels (dots of the page), inches, millimetres, centimetres.
double mmPerUnit(qint16 mode)
{
    switch (mode) {
    case 1: return 25.4 / 1440;
    case 2: return 25.4 / 72;
    case 3: return 1 / dotsPerMm;
    case 5: return 25.4;
    case 6: return 1;
    case 7: return 10;
    default: return 0;
    }
}

// Qt writes a page's size in whole points: an A4 page is 595 x 842 points, 0.1 mm
// narrower and 0.04 mm longer than the paper. The page box is written again with
// the exact size, in as many characters so that the file's offsets stay right; the
// drawing is moved by the difference of heights (`shift`, points), so that positions
// are still measured from the page's top edge.
struct ExactPage {
    QSize whole;  // points, as Qt writes them
    QSizeF exact; // points
    double shift() const { return whole.height() - exact.height(); }
};

ExactPage exactPage(const QPageLayout &layout)
{
    QSizeF exact = layout.pageSize().size(QPageSize::Millimeter) * (72 / 25.4);
    if (layout.orientation() == QPageLayout::Landscape)
        exact.transpose();
    return {layout.fullRectPoints().size(), exact};
}

void writeExactPageBox(QByteArray &pdf, const ExactPage &page)
{
    auto box = [](double width, double height) {
        return "/MediaBox [0 0 " + QByteArray::number(width, 'f', 6) + ' ' +
               QByteArray::number(height, 'f', 6) + ']';
    };
    const QByteArray written = box(page.whole.width(), page.whole.height());
    const QByteArray exact = box(page.exact.width(), page.exact.height());
    if (written.size() == exact.size())
        pdf.replace(written, exact);
}

} // namespace

PaintedPrinter::PaintedPrinter() : m_font(QStringLiteral("Arial"))
{
    m_font.setPointSizeF(10);
    m_measureDevice = std::make_unique<QPdfWriter>(&m_measureBuffer);
    m_measureDevice->setResolution(resolution);
}

PaintedPrinter::~PaintedPrinter() = default;

void PaintedPrinter::setPaperSize(qint16 code)
{
    // Cheques are laid on A4 sheets; no other paper is drawn for.
    if (code != 9)
        throw PrinterError(QStringLiteral("Format de papier non pris en charge : %1").arg(code));
}

qint16 PaintedPrinter::Orientation() const
{
    return m_orientation;
}

void PaintedPrinter::setOrientation(qint16 code)
{
    if (code != 1 && code != 2)
        throw PrinterError(QStringLiteral("Orientation inconnue : %1").arg(code));
    m_orientation = code;
}

void PaintedPrinter::setScaleMode(qint16 mode)
{
    if (mmPerUnit(mode) == 0)
        throw PrinterError(QStringLiteral("Unité de mesure non prise en charge : %1").arg(mode));
    m_scaleMode = mode;
}

double PaintedPrinter::unitsToMm(float value) const
{
    return double(value) * mmPerUnit(m_scaleMode);
}

float PaintedPrinter::mmToUnits(double mm) const
{
    return float(mm / mmPerUnit(m_scaleMode));
}

void PaintedPrinter::setFontName(const QString &name)
{
    if (name.trimmed().isEmpty())
        throw PrinterError(QStringLiteral("Nom de police vide"));
    m_font.setFamily(name);
}

float PaintedPrinter::FontSize() const
{
    return float(m_font.pointSizeF());
}

void PaintedPrinter::setFontSize(float points)
{
    if (!(points > 0) || points > maxFontSize)
        throw PrinterError(QStringLiteral("Taille de police impossible : %1").arg(double(points)));
    m_font.setPointSizeF(points);
}

void PaintedPrinter::setCurrentX(float x)
{
    m_x = unitsToMm(x);
}

void PaintedPrinter::setCurrentY(float y)
{
    m_y = unitsToMm(y);
}

QFont PaintedPrinter::deviceFont() const
{
    return QFont(m_font, m_measureDevice.get());
}

float PaintedPrinter::TextWidth(const QString &text)
{
    const QFontMetricsF metrics(deviceFont(), m_measureDevice.get());
    return mmToUnits(metrics.horizontalAdvance(text) / dotsPerMm);
}

float PaintedPrinter::TextHeight(const QString &)
{
    // The height of a line, whatever the text: ascent and descent, internal leading included.
    const QFontMetricsF metrics(deviceFont(), m_measureDevice.get());
    return mmToUnits(metrics.height() / dotsPerMm);
}

void PaintedPrinter::Print(const QString &text)
{
    Step step;
    step.text = text;
    step.font = m_font;
    step.at = QPointF(m_x, m_y);
    step.page = m_page;
    m_steps.push_back(std::move(step));

    const QFontMetricsF metrics(deviceFont(), m_measureDevice.get());
    m_x = 0;
    m_y += metrics.height() / dotsPerMm;
}

void PaintedPrinter::PaintPicture(const QImage &picture, float x, float y, float width, float height)
{
    if (picture.isNull())
        throw PrinterError(QStringLiteral("Image vide"));
    Step step;
    step.kind = Step::Picture;
    step.picture = picture;
    step.at = QPointF(unitsToMm(x), unitsToMm(y));
    step.size = QSizeF(unitsToMm(width), unitsToMm(height));
    step.page = m_page;
    m_steps.push_back(std::move(step));
}

void PaintedPrinter::Line(float x1, float y1, float x2, float y2)
{
    Step step;
    step.kind = Step::Line;
    step.at = QPointF(unitsToMm(x1), unitsToMm(y1));
    step.size = QSizeF(unitsToMm(x2) - step.at.x(), unitsToMm(y2) - step.at.y());
    step.page = m_page;
    m_steps.push_back(std::move(step));
}

void PaintedPrinter::NewPage()
{
    ++m_page;
    m_x = m_y = 0;
}

std::vector<PaintedPrinter::Step> PaintedPrinter::takeSteps()
{
    std::vector<Step> steps;
    steps.swap(m_steps);
    m_x = m_y = 0;
    m_page = 0;
    return steps;
}

void PaintedPrinter::paintSteps(QPainter &painter, QPaintDevice *device, double dotsPerMm, QPointF origin,
                                const std::vector<Step> &steps)
{
    for (const Step &step : steps) {
        const QPointF at = (origin + step.at) * dotsPerMm;
        switch (step.kind) {
        case Step::Text: {
            const QFont font(step.font, device);
            painter.setFont(font);
            painter.drawText(at + QPointF(0, QFontMetricsF(font, device).ascent()), step.text);
            break;
        }
        case Step::Picture: painter.drawImage(QRectF(at, step.size * dotsPerMm), step.picture); break;
        case Step::Line:
            // Square ends cut the line at its two points: a ruled length is exact.
            painter.setPen(QPen(Qt::black, lineWidth * dotsPerMm, Qt::SolidLine, Qt::FlatCap));
            painter.drawLine(at, at + QPointF(step.size.width(), step.size.height()) * dotsPerMm);
            break;
        }
    }
}

void PaintedPrinter::EndDoc()
{
    // Whatever happens to this page, the next document starts blank at the origin.
    const std::vector<Step> steps = takeSteps();
    // Nothing drawn: no blank sheet is wasted.
    if (steps.empty())
        return;

    const Sheet layout = sheet(m_orientation);
    const bool turned = m_orientation == 2 && (layout.rotation == 90 || layout.rotation == 270);
    ExactPage exact;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(resolution);
        writer.setCreator(QStringLiteral("Tolvo"));
        writer.setTitle(QStringLiteral("Tolvo"));
        const bool landscapeSheet = m_orientation == 2 && !turned;
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                         landscapeSheet ? QPageLayout::Landscape : QPageLayout::Portrait,
                                         QMarginsF(), QPageLayout::Millimeter));
        exact = exactPage(writer.pageLayout());
        QPainter painter;
        if (!painter.begin(&writer))
            throw PrinterError(QStringLiteral("Impossible de préparer la page à imprimer"));
        const int lastPage = steps.back().page;
        for (int page = 0; page <= lastPage; ++page) {
            if (page > 0 && !writer.newPage())
                throw PrinterError(QStringLiteral("Impossible de préparer la page à imprimer"));
            painter.save();
            painter.translate(0, exact.shift() * resolution / 72);
            if (turned) {
                const QRect full = writer.pageLayout().fullRectPixels(resolution);
                if (layout.rotation == 90) {
                    painter.translate(0, full.height());
                    painter.rotate(-90);
                } else {
                    painter.translate(full.width(), 0);
                    painter.rotate(90);
                }
            }
            std::vector<Step> onPage;
            for (const Step &step : steps)
                if (step.page == page)
                    onPage.push_back(step);
            paintSteps(painter, &writer, dotsPerMm, layout.origin, onPage);
            painter.restore();
        }
        if (!painter.end())
            throw PrinterError(QStringLiteral("Impossible de préparer la page à imprimer"));
    }
    QByteArray pdf = buffer.data();
    writeExactPageBox(pdf, exact);
    deliver(pdf);
}

} // namespace platform
