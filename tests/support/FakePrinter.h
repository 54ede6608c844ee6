#pragma once
// A printer for tests: it prints nothing, records every call and every printed text
// with its size and place, measures text like Arial (or with the test's widthOf) and
// fails where the test asks.

#include "platform/print/Printer.h"

#include <QHash>
#include <QLineF>
#include <QStringList>
#include <QVariant>
#include <algorithm>
#include <functional>
#include <vector>

namespace platform {

class FakePrinter : public Printer {
public:
    struct Call {
        QString member; // "FontSize", "Print", "TextWidth"...; reads end in "?"
        QString value;  // the value set, given or printed
    };
    struct Printed {
        QString text;
        float size, x, y;
    };

    explicit FakePrinter(QString name_ = "Fake", QString port_ = "fake:/") : name(name_), port(port_) {}

    // Set-up by the test.
    QString name, port;
    qint16 paperBin = 7, orientation = 1;
    int rotation = 90;  // LandscapeRotation(); -1 makes it throw
    float smallest = 0; // a driver that keeps this size instead of smaller ones
    QList<PaperSource> sources;
    // Millimetres for a text at a size in points, instead of Arial's.
    std::function<double(const QString &text, float size)> widthOf;
    // Calls of `member` throw PrinterError: `count` of them (-1: all) after `after` that succeed.
    void failOn(const QString &member, int count = -1, int after = 0) { m_failures[member] = {after, count}; }

    // What happened.
    mutable std::vector<Call> calls;
    QList<Printed> items;
    QList<QLineF> lines;
    int documents = 0;
    QStringList printed() const; // texts printed, in order
    QStringList log() const;     // "member value" lines, measures left out
    void clearCalls() { calls.clear(); }

    QString DeviceName() const override { return call("DeviceName", name); }
    QString Port() const override { return call("Port", port); }
    qint16 PaperBin() const override { return call("PaperBin?", paperBin); }
    void setPaperBin(qint16 code) override { paperBin = call("PaperBin", code); }
    void setPaperSize(qint16 code) override { call("PaperSize", code); }
    qint16 Orientation() const override { return call("Orientation?", orientation); }
    void setOrientation(qint16 code) override { orientation = call("Orientation", code); }
    void setScaleMode(qint16 mode) override { call("ScaleMode", mode); }
    void setFontName(const QString &n) override { call("FontName", n); }
    float FontSize() const override { return call("FontSize?", fontSize); }
    void setFontSize(float points) override // sizes of 0 and below are refused
    {
        fontSize = call("FontSize", points) > 0 ? std::max(points, smallest) : throw PrinterError("taille");
    }
    void setCurrentX(float x) override { currentX = call("CurrentX", x); }
    void setCurrentY(float y) override { currentY = call("CurrentY", y); }
    // Arial: a line is 1.15 em high, a capital 0.6 em wide; a point is 0.3528 mm.
    float TextWidth(const QString &t) override
    {
        return call("TextWidth", float(widthOf ? widthOf(t, fontSize) : 0.21168 * fontSize * t.size()));
    }
    float TextHeight(const QString &) override { return call("TextHeight", float(0.40572 * fontSize)); }
    void Print(const QString &t) override { items.append({call("Print", t), fontSize, currentX, currentY}); }
    void PaintPicture(const QImage &, float, float, float, float) override { call("PaintPicture", 0); }
    void Line(float x1, float y1, float x2, float y2) override
    {
        lines.append(QLineF(x1, y1, x2, y2));
        call("Line", QString::asprintf("%g %g %g %g", x1, y1, x2, y2));
    }
    void NewPage() override { call("NewPage", 0); }
    void EndDoc() override { documents += call("EndDoc", 1); }
    int LandscapeRotation() const override
    {
        return call("LandscapeRotation", rotation) < 0 ? throw PrinterError("injoignable") : rotation;
    }
    QList<PaperSource> PaperSources() const override { return call("PaperSources", sources); }

    float fontSize = 10, currentX = 0, currentY = 0;

private:
    // Records the call, throws where the test asked, else gives back the value.
    template <class T> T call(const QString &member, T value) const
    {
        record(member, QVariant::fromValue(value).toString());
        return value;
    }
    void record(const QString &member, const QString &value) const;
    mutable QHash<QString, std::pair<int, int>> m_failures; // calls to let through, then to fail
};

// A collection of fake printers; the first is current unless the test says otherwise.
class FakePrinters : public Printers {
public:
    std::vector<std::unique_ptr<FakePrinter>> list;
    int currentIndex = 0;

    FakePrinter &add(const QString &name, const QString &port = "fake:/")
    {
        return *list.emplace_back(std::make_unique<FakePrinter>(name, port));
    }

    int count() const override { return int(list.size()); }
    Printer &at(int index) override
    {
        return index >= 0 && index < count() ? *list[size_t(index)] : throw PrinterError("pas d'imprimante");
    }
    Printer &current() override { return at(currentIndex); }
    void setCurrent(int index) override { currentIndex = (at(index), index); }
};

// One fake printer, made the program's only printer.
inline FakePrinter &useFakePrinter(const QString &name = "HP")
{
    auto printers = std::make_unique<FakePrinters>();
    FakePrinter &fake = printers->add(name);
    setPrinters(std::move(printers));
    return fake;
}

} // namespace platform
