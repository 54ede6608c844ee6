#pragma once
// Importing cheques from a CSV file: the columns to take when the file does not
// name them, then every row with its problems, and the choice to add the good
// rows or none. Nothing is added by the dialog itself: its caller gets the rows.

#include "register/ChequeImport.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QStackedWidget;
class QTableView;
class QTableWidget;

namespace registre {
class ImportModel;
}

class frmImport : public QDialog {
public:
    frmImport(const QString &path, registre::CsvTable table, QWidget *parent = nullptr);

    // The cheques to add, once the user chose to add them; none otherwise.
    QList<registre::ImportedCheque> accepted() const { return m_accepted; }

    QLabel *lblFichier;
    // The columns step.
    QWidget *fraColonnes;
    QCheckBox *chkEnTête;
    std::array<QComboBox *, registre::FieldCount> cboColonne;
    QLabel *lblMontantRequis;
    QTableWidget *grdAperçu;
    // The rows step.
    QWidget *fraLignes;
    QLabel *lblRésumé;
    QTableView *grdLignes;
    QLabel *lblProblèmes;
    QListWidget *lstProblèmes;

    QPushButton *cmdColonnes;
    QPushButton *cmdSuivant;
    QPushButton *cmdAjouter;
    QPushButton *cmdAnnuler;

    void chkEnTête_Click();
    void cmdSuivant_Click();
    void cmdColonnes_Click();
    void cmdAjouter_Click();

private:
    void buildColumnsStep(const registre::ImportColumns &found);
    void buildRowsStep();
    void showStep(QWidget *step);
    QString fileText() const;

    QString m_path;
    registre::CsvTable m_table;
    int m_width = 0; // columns of the widest record
    registre::ImportReport m_report;
    registre::ImportModel *m_model;
    QStackedWidget *m_steps;
    QList<registre::ImportedCheque> m_accepted;
};

// Reads the file and lets the user check its rows: the cheques to add, none when
// the user cancelled. A file that cannot be read, or holds no line, is told in a box.
QList<registre::ImportedCheque> importFile(QWidget *parent, const QString &path);
// The same, with the file asked for first.
QList<registre::ImportedCheque> importCheques(QWidget *parent);
