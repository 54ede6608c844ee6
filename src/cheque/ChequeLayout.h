#pragma once
// Where and how large each text of a cheque is printed, and the rule a print job
// runs under: a step that fails is skipped, the job goes on with the next one.

#include "platform/print/Printer.h"

#include <QString>
#include <exception>
#include <functional>

namespace cheque {

// Runs the steps of a print job. A step that throws (a printer member refused, a
// conversion that does not fit) stops where it failed and sets the flag; nothing
// escapes. Steps are written so that a failed one changes nothing.
struct FailurePolicy {
    bool failed = false;

    template <class F> void step(F &&f)
    {
        try {
            f();
        } catch (const std::exception &) {
            failed = true;
        }
    }
};

// The printer a cheque goes to, with the shift of the whole cheque and a count of
// the text measures taken (the job spends its time on them).
struct ChequePage : FailurePolicy {
    platform::Printer *device = nullptr; // none: every printer step fails

    qint16 HorAjust = 0; // the user's adjustments, millimetres
    qint16 VerAjust = 0;
    qint16 horizontalOffset = 0; // landscape offsets, millimetres
    qint16 verticalOffset = 0;

    int measures = 0;
    int printed = 0; // texts the printer took

    // Throws PrinterError when there is no printer.
    platform::Printer &printer() const;
    float TextHeight(const QString &text);
    float TextWidth(const QString &text);
    // FontSize = the size in force - 1; throws when the printer keeps a size that is
    // not smaller, so that no fitting loop can run forever.
    void reduceFontSize();
    // HorAjust + x + horizontal offset as a 16-bit sum; throws when it does not fit.
    qint16 currentX(qint16 x) const;
};

// The cheque form, millimetres: every picture of it (the specimen, the preview, the
// calibration sheet) is drawn to this size, from the places below.
inline constexpr float formWidth = 175;
inline constexpr float formHeight = 81;

// Where a landscape A4 sheet (297 x 210 mm) carries the form: in its upper-right
// corner (297 - 175), or in its lower-left corner (210 - 81) when the printer turns
// the page by 270 degrees.
inline constexpr qint16 landscapeRightX = 122;
inline constexpr qint16 landscapeLowerY = 129;

// The form's top-left corner on the sheet, for the orientation the printer kept
// (2: landscape) and the panel's landscape rotation tag ("270" selects the lower
// corner); the corner of the printable area otherwise.
struct FormCorner {
    qint16 x = 0;
    qint16 y = 0;
};
FormCorner FormPlacement(qint16 orientation, const QString &positionnementTag);

// A printed item's place on the cheque, millimetres from its top-left corner; y is
// where the text line ends (its bottom edge), whatever the size.
struct Item {
    qint16 x;
    float y;
};
inline constexpr Item beneficiaryItem{15, 33};
inline constexpr Item dateItem{135, 45};
inline constexpr Item firstLineItem{45, 22};
inline constexpr Item secondLineItem{15, 27};
inline constexpr Item figuresItem{135, 35};

inline constexpr float startSize = 72;        // points; every fitting starts here
inline constexpr float wordsHeight = 5;       // "EUROS" at most this high
inline constexpr float firstLineWidth = 71;   // first line of words under this
inline constexpr float secondLineWidth = 106; // second line under this
inline constexpr float figuresHeight = 8;     // "20,00" under this high
inline constexpr float figuresWidth = 39;     // the figures under this wide

// The amount in figures as printed: "1 234,50", or "**1 234,50**" with stars.
// Throws std::invalid_argument when the text is not a number.
QString FiguresText(const QString &amountText, bool stars);

using Measure = std::function<float(const QString &text)>;

// Cuts the words into a first line under 71 mm, cut at a space, and the rest; true
// when the rest is under 106 mm (or there is no rest). When the first word alone is
// too wide, first is that word, second the rest, and the result is false: only a
// smaller size can help. Nothing is lost and first + " " + second is the text
// whenever second is not empty. The lines are changed only when the cut completes.
bool SplitWords(const QString &text, QString &first, QString &second, const Measure &textWidth);

// The fitting and printing steps of a cheque, in printing order.
void FitWordsSize(ChequePage &page);
void PrintItem(ChequePage &page, Item item, const QString &text);
// Shrinks the font until the words can be cut; the lines hold the last complete cut,
// the whole words on the first line before any.
void CutWords(ChequePage &page, const QString &words, QString &first, QString &second);
void FitFiguresSize(ChequePage &page, const QString &figures);

// The whole page: words size, beneficiary, date, the two lines of words, figures.
void PrintLayout(ChequePage &page, const QString &beneficiary, const QString &date, const QString &words,
                 const QString &amountText, bool stars);

} // namespace cheque
