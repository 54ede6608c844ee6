#pragma once
// The calibration sheet: one plain page that shows where the cheque prints, to be
// laid over a cheque form (or printed onto one), and the arithmetic of what the
// user reads on it.

#include "cheque/ChequeJob.h"
#include "cheque/ChequeLayout.h"

#include <QString>
#include <array>
#include <optional>

namespace cheque {

// A printed field as the sheet marks it: a cross at the field's reference point (where
// its text line starts and ends), with the field's name beside it.
struct SheetMark {
    Item item;
    const char16_t *label;
};
inline constexpr std::array<SheetMark, 5> sheetMarks{{
    {beneficiaryItem, u"Bénéficiaire"},
    {dateItem, u"Date"},
    {firstLineItem, u"En lettres, 1re ligne"},
    {secondLineItem, u"En lettres, 2e ligne"},
    {figuresItem, u"En chiffres"},
}};

inline constexpr float crossArm = 2.5;     // millimetres on each side of the point
inline constexpr float rulerOverhang = 10; // the rulers run this far past the form's edges
inline constexpr float barLength = 100;

// Where the notes and the bars lie on the sheet, millimetres from the printable area's
// corner: on the part of the sheet the form leaves free (below it, or above it when it
// lies in the lower-left corner).
struct SheetPlan {
    QPointF notes;           // the top-left corner of the title and the notes
    QPointF horizontalStart; // runs barLength to the right
    QPointF verticalStart;   // runs barLength downwards
};
SheetPlan PlanFor(FormCorner corner);

// The sheet on a page set up by SetUpPage: the form's outline where a cheque prints
// (the adjustments and the sheet's placement included), a cross and a name at each
// field's reference point, millimetre rulers along the top and left edges, two
// 100 mm bars, and `about` (the printer) at the head of the free part.
void DrawCalibrationSheet(ChequePage &page, const QString &about);
// Prints the sheet on the current printer as the cheque job would print a cheque.
PrintReport PrintCalibrationSheet(const ChequeInput &input, const QString &about);

// What the user read on the sheet: how far the print must move (whole millimetres,
// to the right and downwards), and what the two bars measure (when measured).
struct SheetReading {
    int right = 0;
    int down = 0;
    std::optional<double> horizontalBar;
    std::optional<double> verticalBar;
};

// A bar more than 1 mm off its 100 mm: the page is scaled on the way to the paper. The
// text says so with the ratio and where to turn the scaling off; empty when both bars
// (those measured) are right.
QString ScalingReport(const SheetReading &reading);

// The adjustments moved by what was read; nothing when one would leave the range the
// adjustments are kept in.
struct Adjustments {
    qint16 HorAjust = 0;
    qint16 VerAjust = 0;
    bool operator==(const Adjustments &) const = default;
};
std::optional<Adjustments> Calibrated(Adjustments current, const SheetReading &reading);

} // namespace cheque
