#pragma once
// The printers the program can print on: the current printer ("Printer") and the
// installed ones ("Printers"). Every member may fail by throwing PrinterError;
// callers decide whether a failure is skipped or reported.

#include <QImage>
#include <QList>
#include <QString>
#include <memory>
#include <stdexcept>

namespace platform {

class PrinterError : public std::runtime_error {
public:
    explicit PrinterError(const QString &what) : std::runtime_error(what.toStdString()) {}
};

// A paper source offered by a printer: its paper-bin code and the name the
// printing system gives it.
struct PaperSource {
    qint16 code = 7;
    QString name;
    bool operator==(const PaperSource &) const = default;
};

// One installed printer. Coordinates and measures are millimetres once ScaleMode
// is 6, origin at the top-left corner of the printable area, y downwards.
class Printer {
public:
    virtual ~Printer() = default;

    virtual QString DeviceName() const = 0;
    virtual QString Port() const = 0;

    virtual qint16 PaperBin() const = 0;
    virtual void setPaperBin(qint16 code) = 0;
    virtual void setPaperSize(qint16 code) = 0;
    virtual qint16 Orientation() const = 0;
    virtual void setOrientation(qint16 code) = 0;
    virtual void setScaleMode(qint16 mode) = 0;

    virtual void setFontName(const QString &name) = 0;
    virtual float FontSize() const = 0;
    virtual void setFontSize(float points) = 0;

    virtual void setCurrentX(float x) = 0;
    virtual void setCurrentY(float y) = 0;
    virtual float TextWidth(const QString &text) = 0;
    virtual float TextHeight(const QString &text) = 0;

    virtual void Print(const QString &text) = 0;
    virtual void PaintPicture(const QImage &picture, float x, float y, float width, float height) = 0;
    // A straight black line from (x1, y1) to (x2, y2), lineWidth millimetres wide,
    // centred on that segment and ending square at its two ends.
    virtual void Line(float x1, float y1, float x2, float y2) = 0;
    static constexpr double lineWidth = 0.25;
    // Ends the page; what follows goes on a new sheet of the same document.
    virtual void NewPage() = 0;
    virtual void EndDoc() = 0;

    // How the printer turns portrait into landscape, in degrees: 90 or 270,
    // 0 without landscape; throws when the printer cannot be asked.
    virtual int LandscapeRotation() const = 0;
    // The paper sources the printer offers, in its own order.
    virtual QList<PaperSource> PaperSources() const = 0;
};

// The installed printers, in the printing system's order, and which one is current.
class Printers {
public:
    virtual ~Printers() = default;
    virtual int count() const = 0;
    // The printer at a position from 0; throws PrinterError outside 0..count-1.
    virtual Printer &at(int index) = 0;
    // The current printer; throws PrinterError when no printer is installed.
    virtual Printer &current() = 0;
    virtual void setCurrent(int index) = 0;
};

// The printers the program uses: CUPS queues followed by the built-in PDF printer,
// unless a test installed its own.
Printers &printers();
// Starts asking CUPS for its queues on another thread, so that opening libcups
// and querying the server overlap with building the window; printers() then
// takes the answer.
void preparePrinters();
// Replaces the printers (tests). Passing nullptr goes back to the real ones.
void setPrinters(std::unique_ptr<Printers> replacement);

} // namespace platform
