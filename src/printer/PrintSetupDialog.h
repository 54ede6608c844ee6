#pragma once
// The program's own print-setup and print dialog: the installed printers, the
// chosen one's paper sources and the orientation; the print form adds copies,
// collation, page range and printing to a file.

#include "platform/print/Printer.h"

#include <QDialog>
#include <optional>

class QCheckBox;
class QComboBox;
class QRadioButton;
class QSpinBox;

namespace printer {

// The name a paper source is listed under: the French name of its code, or the
// printer's own name for codes without one.
QString paperSourceName(const platform::PaperSource &source);

class PrintSetupDialog : public QDialog {
public:
    // setupOnly: printer, paper source and orientation only.
    PrintSetupDialog(bool setupOnly, QWidget *owner);

    // Lists the printer at `index` of the installed ones and its paper sources,
    // the source with `bin` selected (else the printer's own).
    void choosePrinter(int index, std::optional<qint16> bin = std::nullopt);
    int printerIndex() const;
    qint16 paperBin() const;
    qint16 orientation() const;
    void setOrientation(qint16 code);

    QComboBox *cboImprimante;
    QComboBox *cboSource;
    QRadioButton *optPortrait;
    QRadioButton *optPaysage;
    // Print form only (null in the setup form).
    QSpinBox *spnCopies = nullptr;
    QCheckBox *chkCollate = nullptr;
    QRadioButton *optTout = nullptr;
    QRadioButton *optPages = nullptr;
    QRadioButton *optSelection = nullptr;
    QSpinBox *spnFrom = nullptr;
    QSpinBox *spnTo = nullptr;
    QCheckBox *chkFichier = nullptr;

private:
    void fillSources(std::optional<qint16> bin);
};

} // namespace printer
