#pragma once
// The main window: one cheque entry, the printer panel, the lists that grow by
// themselves and the menus. It owns the configuration while the program runs.

#include "platform/forms/Forms.h"

#include <QMainWindow>
#include <array>
#include <optional>

namespace cheque {
struct ChequeInput;
}
class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

class frmTolvo : public QMainWindow {
public:
    explicit frmTolvo(QWidget *parent = nullptr);
    ~frmTolvo() override;

    // Window-level state, read and written by the print job and the dialogs.
    qint16 HorAjust = 0;
    qint16 VerAjust = 0;
    QString sFont;
    QString sDefault;
    QString sDefaultBeneficiaire;
    bool AddMontant = false;
    bool AddBénéficiaire = false;

    // Controls.
    QGroupBox *fraPositionnement;
    platform::TagLabel *lblPositionnement;
    QLabel *picChèque;
    QPushButton *cmdClose;
    QGroupBox *fraImprimante;
    QPushButton *cmdConfig;
    platform::TagLabel *lblOrientation;
    platform::TagLabel *lblPaperBin;
    platform::TagLabel *lblImprimante;
    QGroupBox *fraChèque;
    QCheckBox *chkEtoiles;
    QPushButton *cmdImprime;
    QLineEdit *txtDate;
    QComboBox *cboBénéficiaire;
    QComboBox *cboMontant;
    QFrame *Shape1;
    std::array<QLabel *, 3> lblEti;
    QLabel *lblAide;

    // Below everything the window's design places: one line per thing worth
    // following, each shown only while it has something to say. The window grows
    // downwards to hold the lines shown; nothing above them moves.
    QWidget *pnlSuivi;
    // The file the last cheque or specimen was written to ("Fichier PDF"), with a
    // button to open it; cleared by the next command.
    QWidget *pnlFichier;
    QLabel *lblFichier;
    QPushButton *cmdOuvrir;
    // The chequebook in use and the number the next cheque will take, with a button
    // to the chequebooks; always shown.
    QWidget *pnlCarnet;
    QLabel *lblCarnet;
    QPushButton *cmdCarnets;

    std::array<QAction *, 3> mnuGénéral;
    // "C&hèques", between the three commands and "&?": the windows beyond the cheque
    // entry (the queue of cheques to print, the register, the preview, the chequebooks).
    QMenu *mnuChèques;
    QAction *mnuÀImprimer;
    QAction *mnuRegistre;
    QAction *mnuAperçu;
    QAction *mnuCarnets;
    QMenu *mnuAide;
    std::array<QAction *, 4> mnuSousAide;
    QAction *mnuÉtalonnage;

    // Handlers.
    void Form_Load();
    bool Form_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift);
    void cmdClose_Click();
    void cmdImprime_Click();
    void cboBénéficiaire_Validate();
    void cboMontant_Validate();
    int cboMontant_KeyPress(int KeyAscii);
    void chkEtoiles_Click();
    void mnuGénéral_Click(int Index);
    void mnuSousAide_Click(int Index);
    void cmdConfig_Click();
    void mnuÀImprimer_Click();
    void mnuRegistre_Click();
    void mnuAperçu_Click();
    void mnuCarnets_Click();
    void cmdOuvrir_Click();
    void mnuÉtalonnage_Click();
    // Shows the chequebook in use and its next number.
    void showChequebook();

    QString GetPaperBin(qint16 iPaperBin) const;
    void pcGetDeviceOrientationCap();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    bool filterAmountKey(QKeyEvent *event);
    void printSpecimen();
    // Says which file a print went to: `what` ("Chèque", "Spécimen") "enregistré
    // dans" the file; nothing for a printer that writes no file.
    void showWrittenFile(const QString &what, const QString &file);
    void clearWrittenFile();
    void buildCalibrationItem();
    // Prints the calibration sheet with these adjustments and takes what the user read
    // on it; the adjustments saved (and now in force), or nothing.
    std::optional<std::pair<qint16, qint16>> calibrate(qint16 hor, qint16 ver);

    // Whether each list was read whole at start-up, and may be saved from the screen.
    bool m_amountsWhole = true;
    bool m_beneficiariesWhole = true;
    QString m_writtenFile;
    // A register on a server is reached once the window is on screen, never while it
    // is built: its chequebook line waits for the first paint.
    bool m_chequebookPending = false;
    // What the job needs from the window, for an amount and date already checked.
    cheque::ChequeInput chequeInput(const QString &amount, const QString &date) const;
};
