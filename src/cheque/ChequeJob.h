#pragma once
// The cheque print job: the checks on what the user entered, the amount in words,
// and the printing of one cheque on the current printer.

#include "platform/forms/MessageBox.h"

#include <QImage>
#include <QString>
#include <optional>

class QWidget;

namespace cheque {

struct ChequePage;

// What the job reads from the main window.
struct ChequeInput {
    QString amount;            // normalised amount text ("1234,50")
    QString beneficiary;       // printed as typed
    QString date;              // printed as given: pass the date the checks return
    bool stars = false;        // frames both amounts with "**"
    QString paperBinTag;       // paper-bin code, decimal text
    QString orientationTag;    // "1" portrait, "2" landscape
    QString positionnementTag; // landscape rotation in degrees; "270" selects the lower placement
    qint16 HorAjust = 0;       // millimetres, to the right
    qint16 VerAjust = 0;       // millimetres, downwards
    QString sFont;
};

enum class ChequeCheck { Ok, EmptyAmount, ZeroAmount, AmountTooLarge, AmountNotValid, InvalidDate };
enum class ChequeField { None, Amount, Date };

// The first check that refused the cheque, with the message to show, its icon and
// the field that gets the focus; or Ok with the date in its short form.
struct CheckResult {
    ChequeCheck check = ChequeCheck::Ok;
    QString message;
    platform::MsgIcon icon = platform::MsgIcon::None;
    ChequeField focus = ChequeField::None;
    QString date; // when Ok: the date to write back into the date field and print

    bool ok() const { return check == ChequeCheck::Ok; }
};

// Checks the amount (normalised first by the caller) and the date, in that order.
CheckResult CheckCheque(const QString &amountText, const QString &dateText);
// The amount's checks alone: empty, zero, too large, not a number.
CheckResult CheckAmount(const QString &amountText);

// Whole euros and cents of an amount, rounded to the cent on its digits as written.
struct Euros {
    qint32 whole = 0;
    qint32 cents = 0;
};
// Nothing when the text is not an unsigned number or the euros do not fit 32 bits.
std::optional<Euros> AmountParts(const QString &amountText);

// The amount in words, in capitals: "VINGT ET UN EUROS VINGT ET UN CTS", between
// "**" with stars. Throws std::invalid_argument when AmountParts gives nothing.
QString WordsText(const QString &amountText, bool stars);

struct PrintReport {
    bool failed = false;     // some step from the text composition on was skipped
    int measures = 0;        // text measures asked of the printer
    bool handedOver = false; // the page, with text on it, went to the printer
    QString file;            // the file written, for "Fichier PDF"
    // Why the finished page could not be handed over (file, queue), in French;
    // empty when it left the program.
    QString notHandedOver;
};

// Prints one cheque on the current printer. Nothing escapes: a step that fails
// (including no printer at all) is skipped. Only a page that could not be handed
// over is worth telling the user: the report says why.
PrintReport PrintCheque(const ChequeInput &input);

// Tells the user a page was not printed: `headline` ("Le chèque n'a pas été
// imprimé.") and, on the next line, the reason; exclamation icon, title "Tolvo".
void ReportNotPrinted(QWidget *parent, const QString &headline, const QString &reason);

// The cheque's texts on a page set up in millimetres with its font: what the
// print job and the preview share.
void DrawCheque(ChequePage &page, const ChequeInput &input);

// What every page about the cheque starts and ends with (the cheque itself, the
// calibration sheet). The set-up applies the panel's bin, A4, the orientation,
// millimetres and the font to the current printer, and places the form on the
// sheet; its failures are skipped and then forgotten. The end hands the page over.
void SetUpPage(ChequePage &page, const ChequeInput &input);
PrintReport EndPage(ChequePage &page);

// The cheque as it prints, without the sheet's landscape offsets, drawn over the
// picture (null: a white form with a thin border) at dotsPerMm dots per millimetre.
QImage PreviewCheque(const ChequeInput &input, const QImage &specimen, double dotsPerMm);

} // namespace cheque
