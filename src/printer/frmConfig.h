#pragma once
// Chooses the printer the cheques are printed on, or reconfigures one (paper bin
// and orientation) through the print-setup dialog and saves it.

#include "platform/forms/Forms.h"

#include <QDialog>
#include <array>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace printer {

// What the dialog keeps in agreement with the chosen printer on the main window.
struct PrinterPanel {
    platform::TagLabel *lblImprimante = nullptr;
    platform::TagLabel *lblPaperBin = nullptr;
    platform::TagLabel *lblOrientation = nullptr;
    platform::TagLabel *lblPositionnement = nullptr;
    qint16 *HorAjust = nullptr;
    qint16 *VerAjust = nullptr;
    std::function<void()> pcGetDeviceOrientationCap;
};

class frmConfig : public QDialog {
public:
    frmConfig(const PrinterPanel &panel, QWidget *owner);

    std::array<QRadioButton *, 2> optChoix;
    QComboBox *cboImprimantes;
    std::array<QPushButton *, 2> cmdAction;
    QLabel *lblAide;

    void Form_Load();
    void optChoix_Click(int Index);
    void cmdAction_Click(int Index);

private:
    void useSavedConfiguration();
    void reconfigure();
    void showPositioning();

    PrinterPanel m_panel;
};

// Opens the dialog modally over the main window.
void showConfig(const PrinterPanel &panel, QWidget *owner);

} // namespace printer
