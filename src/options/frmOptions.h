#pragma once
// The options dialog: list management, options, or the print adjustment, one page
// per opening. OK writes the page into Tolvo.ini and into the main window; Annuler,
// Esc and the close box write nothing.

#include "platform/forms/Forms.h"

#include <QDialog>
#include <array>
#include <functional>
#include <optional>

class QComboBox;
class QFrame;
class QLineEdit;

class frmOptions : public QDialog {
public:
    // What the dialog reads and writes of the window that opens it.
    struct Owner {
        qint16 &HorAjust;
        qint16 &VerAjust;
        QString &sFont;
        QString &sDefault;
        QString &sDefaultBeneficiaire;
        bool &AddMontant;
        bool &AddBénéficiaire;
        QComboBox *cboMontant;
        QComboBox *cboBénéficiaire;
        QLabel *lblImprimante;
        // Whether each list was read whole at start-up: one that was not is never
        // rewritten from what the screen holds.
        bool amountsWhole = true;
        bool beneficiariesWhole = true;
        // Prints the calibration sheet with the adjustments given and takes what the
        // user read on it: the adjustments saved, or nothing. Without it the
        // adjustment page offers no calibration.
        std::function<std::optional<std::pair<qint16, qint16>>(qint16, qint16)> calibrate = {};
    };

    frmOptions(QWidget *parent, const Owner &owner);

    std::array<QPushButton *, 2> cmdAction{}; // 0 OK, 1 Annuler
    QLabel *lblAide = nullptr;
    std::array<QLabel *, 10> lblEti{};

    QFrame *fraListe = nullptr;
    QComboBox *cboMontant = nullptr;
    QComboBox *cboBénéficiaire = nullptr;
    std::array<platform::TagButton *, 2> cmdSupprimer{};

    QFrame *fraOptions = nullptr;
    platform::WrapCheckBox *chkMontant = nullptr;
    platform::WrapCheckBox *chkBénéficiaire = nullptr;
    QComboBox *cboPolice = nullptr;
    QLineEdit *txtDéfaut = nullptr;
    QLineEdit *txtDéfautBénéficiaire = nullptr;

    QFrame *fraAjustement = nullptr;
    std::array<QLineEdit *, 2> txtAjust{};
    QPushButton *cmdÉtalonnage = nullptr;

    // Handlers.
    void cmdAction_Click(int Index);
    void cmdSupprimer_Click(int Index);
    int txtAjust_KeyPress(int Index, int KeyAscii);
    void txtDéfaut_GotFocus();
    int txtDéfaut_KeyPress(int KeyAscii);
    void txtDéfaut_Validate();
    void cmdÉtalonnage_Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    void buildCalibrationButton();
    void saveLists();
    bool saveOptions();
    bool saveAdjustment();
    // The two adjustments typed; nothing, with the box to correct selected, when one is
    // out of range.
    std::optional<std::array<qint16, 2>> typedAdjustments();

    Owner m_owner;
    QList<QWidget *> m_tabOrder;
};
