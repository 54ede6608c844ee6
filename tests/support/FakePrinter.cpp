#include "support/FakePrinter.h"

#include <cmath>

namespace platform {

FakePrinter::FakePrinter(QString name_, QString port_) : name(std::move(name_)), port(std::move(port_)) {}

void FakePrinter::failOn(const QString &member, int count, int after)
{
    m_failures.push_back({member, count, after});
}

void FakePrinter::enter(const QString &member, const QString &text, double value) const
{
    bool fail = false;
    for (Failure &f : m_failures) {
        if (f.member != member)
            continue;
        if (f.skip > 0) {
            --f.skip;
            continue;
        }
        if (f.remaining == 0)
            continue;
        if (f.remaining > 0)
            --f.remaining;
        fail = true;
    }
    calls.push_back({member, text, value, fail});
    if (fail)
        throw PrinterError(QStringLiteral("%1 refusé").arg(member));
}

QStringList FakePrinter::printed() const
{
    QStringList out;
    for (const Call &c : calls)
        if (c.member == QLatin1String("Print") && !c.failed)
            out << c.text;
    return out;
}

QStringList FakePrinter::log(bool measures) const
{
    QStringList out;
    for (const Call &c : calls) {
        const bool isMeasure =
            c.member == QLatin1String("TextWidth") || c.member == QLatin1String("TextHeight");
        if (isMeasure && !measures)
            continue;
        QString line = c.member;
        if (!c.text.isNull())
            line += QLatin1Char(' ') + c.text;
        if (c.value != 0 || c.text.isNull())
            line += QLatin1Char(' ') + QString::number(c.value, 'g', 6);
        if (c.failed)
            line += QStringLiteral(" !");
        out << line;
    }
    return out;
}

QString FakePrinter::DeviceName() const
{
    enter(QStringLiteral("DeviceName"));
    return name;
}

QString FakePrinter::Port() const
{
    enter(QStringLiteral("Port"));
    return port;
}

qint16 FakePrinter::PaperBin() const
{
    enter(QStringLiteral("PaperBin?"));
    return paperBin;
}

void FakePrinter::setPaperBin(qint16 code)
{
    enter(QStringLiteral("PaperBin"), QString(), code);
    paperBin = code;
}

void FakePrinter::setPaperSize(qint16 code)
{
    enter(QStringLiteral("PaperSize"), QString(), code);
    paperSize = code;
}

qint16 FakePrinter::Orientation() const
{
    enter(QStringLiteral("Orientation?"), QString(), orientation);
    return orientation;
}

void FakePrinter::setOrientation(qint16 code)
{
    enter(QStringLiteral("Orientation"), QString(), code);
    if (code != 1 && code != 2)
        throw PrinterError(QStringLiteral("orientation inconnue"));
    orientation = code;
}

void FakePrinter::setScaleMode(qint16 mode)
{
    enter(QStringLiteral("ScaleMode"), QString(), mode);
    scaleMode = mode;
}

void FakePrinter::setFontName(const QString &n)
{
    enter(QStringLiteral("FontName"), n);
    fontName = n;
}

float FakePrinter::FontSize() const
{
    enter(QStringLiteral("FontSize?"), QString(), fontSize);
    return fontSize;
}

void FakePrinter::setFontSize(float points)
{
    enter(QStringLiteral("FontSize"), QString(), points);
    if (!(points > 0) || points > maxFontSize)
        throw PrinterError(QStringLiteral("taille de police impossible"));
    fontSize = points;
}

void FakePrinter::setCurrentX(float x)
{
    enter(QStringLiteral("CurrentX"), QString(), x);
    currentX = x;
}

void FakePrinter::setCurrentY(float y)
{
    enter(QStringLiteral("CurrentY"), QString(), y);
    currentY = y;
}

float FakePrinter::TextWidth(const QString &text)
{
    const double w = widthOf ? widthOf(text, fontSize) : 0.2 * fontSize * text.size();
    enter(QStringLiteral("TextWidth"), text, w);
    return float(w);
}

float FakePrinter::TextHeight(const QString &text)
{
    const double h = heightOf ? heightOf(text, fontSize) : 0.4 * fontSize;
    enter(QStringLiteral("TextHeight"), text, h);
    return float(h);
}

void FakePrinter::Print(const QString &text)
{
    enter(QStringLiteral("Print"), text);
    currentX = 0;
    currentY += float(heightOf ? heightOf(text, fontSize) : 0.4 * fontSize);
}

void FakePrinter::PaintPicture(const QImage &picture, float x, float y, float width, float height)
{
    enter(QStringLiteral("PaintPicture"), QStringLiteral("%1x%2 %3,%4 %5x%6")
                                              .arg(picture.width())
                                              .arg(picture.height())
                                              .arg(double(x))
                                              .arg(double(y))
                                              .arg(double(width))
                                              .arg(double(height)));
}

void FakePrinter::NewPage()
{
    enter(QStringLiteral("NewPage"));
}

void FakePrinter::EndDoc()
{
    enter(QStringLiteral("EndDoc"));
    ++documents;
}

int FakePrinter::LandscapeRotation() const
{
    enter(QStringLiteral("LandscapeRotation"), QString(), rotation);
    if (rotation < 0)
        throw PrinterError(QStringLiteral("imprimante injoignable"));
    return rotation;
}

QList<PaperSource> FakePrinter::PaperSources() const
{
    enter(QStringLiteral("PaperSources"));
    return sources;
}

FakePrinter &FakePrinters::add(const QString &name, const QString &port)
{
    list.push_back(std::make_unique<FakePrinter>(name, port));
    return *list.back();
}

int FakePrinters::count() const
{
    return int(list.size());
}

Printer &FakePrinters::at(int index)
{
    if (index < 0 || index >= int(list.size()))
        throw PrinterError(QStringLiteral("pas d'imprimante à cette position"));
    return *list[size_t(index)];
}

Printer &FakePrinters::current()
{
    return at(currentIndex);
}

void FakePrinters::setCurrent(int index)
{
    at(index);
    currentIndex = index;
}

} // namespace platform
