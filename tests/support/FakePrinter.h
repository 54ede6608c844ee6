#pragma once
// A printer for tests: it prints nothing, records every call, measures text with
// simple arithmetic (or the test's own functions) and fails where the test asks.

#include "platform/print/Printer.h"

#include <QStringList>
#include <functional>
#include <vector>

namespace platform {

class FakePrinter : public Printer {
public:
    struct Call {
        QString member;   // "FontSize", "CurrentX", "TextHeight", "Print", ...
        QString text;     // text argument or value set, as text
        double value = 0; // number set, or the measure returned
        bool failed = false;
    };

    explicit FakePrinter(QString name = QStringLiteral("Fake"), QString port = QStringLiteral("fake:/"));

    // Set-up by the test.
    QString name;
    QString port;
    qint16 paperBin = 7;
    qint16 orientation = 1;
    int rotation = 90; // LandscapeRotation() answer; -1 makes it throw
    QList<PaperSource> sources;
    float maxFontSize = 1638.0f; // sizes above this, or 0 and below, are refused
    // Measures in millimetres for a text at a size in points; defaults are a
    // proportional font: height 0.4 mm per point, width 0.2 mm per point and character.
    std::function<double(const QString &text, float size)> widthOf;
    std::function<double(const QString &text, float size)> heightOf;
    // Members named here throw PrinterError. A count limits how many calls fail
    // (-1: every call); calls before `after` succeed.
    void failOn(const QString &member, int count = -1, int after = 0);

    // What happened.
    mutable std::vector<Call> calls;
    int documents = 0;
    QStringList printed() const;                 // texts given to Print, in order
    QStringList log(bool measures = true) const; // "member text value" lines
    void clearCalls() { calls.clear(); }

    // Printer
    QString DeviceName() const override;
    QString Port() const override;
    qint16 PaperBin() const override;
    void setPaperBin(qint16 code) override;
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
    void NewPage() override;
    void EndDoc() override;
    int LandscapeRotation() const override;
    QList<PaperSource> PaperSources() const override;

    // State as the printer holds it.
    qint16 paperSize = 0;
    qint16 scaleMode = 1;
    QString fontName = QStringLiteral("Arial");
    float fontSize = 10.0f;
    float currentX = 0, currentY = 0;

private:
    struct Failure {
        QString member;
        int remaining;
        int skip;
    };
    void enter(const QString &member, const QString &text = QString(), double value = 0) const;
    mutable std::vector<Failure> m_failures;
};

// A collection of fake printers; the first is current unless the test says otherwise.
class FakePrinters : public Printers {
public:
    std::vector<std::unique_ptr<FakePrinter>> list;
    int currentIndex = 0;

    FakePrinter &add(const QString &name, const QString &port = QStringLiteral("fake:/"));

    int count() const override;
    Printer &at(int index) override;
    Printer &current() override;
    void setCurrent(int index) override;
};

} // namespace platform
