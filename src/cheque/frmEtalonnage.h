#pragma once
// The calibration: the sheet printed on the printer in use, then the small window
// "Étalonnage" where the user types what the sheet shows. OK moves the printer's
// adjustments by those millimetres; Annuler writes nothing.

#include "cheque/CalibrationSheet.h"

#include <QDialog>
#include <array>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace cheque {

// What the calibration needs of the main window.
struct CalibrationRequest {
    ChequeInput input; // the panel's tags, the font and the adjustments in force
    QString printer;   // as the panel shows it: the section its adjustments are saved in
    QString paperBin;  // the panel's captions, for the user
    QString orientation;
};

// Asks before printing, prints the sheet, then asks what it shows. The adjustments
// saved, or nothing when the user gave up or the sheet was not printed (said).
std::optional<Adjustments> Calibrate(QWidget *parent, const CalibrationRequest &request);

} // namespace cheque

class frmÉtalonnage : public QDialog {
public:
    // `printed` says where the sheet went.
    frmÉtalonnage(QWidget *parent, const QString &printer, cheque::Adjustments current,
                  const QString &printed);

    QLabel *lblFeuille;
    QLabel *lblActuel;
    std::array<QLineEdit *, 2> txtDécalage{}; // 0: to the right, 1: downwards, millimetres
    std::array<QLineEdit *, 2> txtBarre{};    // 0: horizontal bar, 1: vertical bar, as measured
    std::array<QPushButton *, 2> cmdAction{}; // 0: OK, 1: Annuler

    void cmdAction_Click(int Index);

    // The adjustments OK saved.
    std::optional<cheque::Adjustments> saved;

private:
    // What was typed; nothing (and the user told) when a box holds no number.
    std::optional<cheque::SheetReading> reading();

    QString m_printer;
    cheque::Adjustments m_current;
};
