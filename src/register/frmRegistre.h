#pragma once
// The register window: the printed cheques newest first or sorted by a column,
// filtered by beneficiary, period, chequebook and status, with their count and
// total and what is still to be debited; exported to CSV or printed as a list; a
// cheque printed to a PDF file opens it. Selected cheques are marked debited or
// cancelled, one is printed again on the next number, a leaf is skipped.

#include "register/Recording.h"
#include "register/RegisterList.h"

#include <QDialog>
#include <QSqlQueryModel>
#include <functional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace registre {

// Rows fetched as the view scrolls; dates, numbers, statuses and amounts shown the
// French way, the file of a cheque printed to PDF and a status's history in tooltips.
class RegisterModel : public QSqlQueryModel {
public:
    RegisterModel(Register &reg, QObject *parent) : QSqlQueryModel(parent), m_register(reg) {}
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    Register &m_register;
};

} // namespace registre

class frmRegistre : public QDialog {
public:
    // Without `print`, cheques cannot be printed again from the window.
    explicit frmRegistre(QWidget *parent = nullptr, std::function<registre::PrintSettings()> print = {});
    ~frmRegistre() override;

    QLineEdit *txtBénéficiaire;
    QCheckBox *chkDu;
    QDateEdit *dtpDu;
    QCheckBox *chkAu;
    QDateEdit *dtpAu;
    QComboBox *cboCarnet;
    QComboBox *cboÉtat;
    QLabel *lblLectureSeule;
    QTableView *grdChèques;
    QPushButton *cmdDébité;
    QPushButton *cmdAnnuler;
    QPushButton *cmdRéimprimer;
    QPushButton *cmdSauter;
    QPushButton *cmdCarnets;
    QPushButton *cmdEmplacement;
    QLabel *lblTotal;
    QLabel *lblADébiter;
    QPushButton *cmdExporter;
    QPushButton *cmdImprimer;
    QAction *mnuImprimante;
    QAction *mnuFichierPdf;
    QPushButton *cmdFermer;

    registre::Filter filter() const;
    void refresh();
    // Opens the PDF file of a cheque printed to "Fichier PDF"; nothing for the others.
    void grdChèques_Open(const QModelIndex &index);
    void cmdDébité_Click();
    void cmdAnnuler_Click();
    void cmdRéimprimer_Click();
    void cmdSauter_Click();
    void cmdCarnets_Click();
    void cmdEmplacement_Click();
    void cmdExporter_Click();
    // Prints on the current printer, or on "Fichier PDF".
    void printList(bool toPdf);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Opens the register where it is now and shows it.
    void openRegister();
    void fillChequebooks();
    QModelIndexList chosenRows() const;
    // The ids of the selected cheques, and "n° 0001234 (Durand, 12,00 €)" or "3 chèques, 1 234,00 €".
    QList<qint64> selection(QString *what) const;
    void changeStatus(const QList<qint64> &ids, const QString &status, const QDate &day,
                      const QString &reason);

    registre::Register m_register;
    registre::RegisterModel *m_model;
    std::function<registre::PrintSettings()> m_print;
};

// Opens the register window over the main window, which prints again with `print`.
void showRegister(QWidget *parent, std::function<registre::PrintSettings()> print);
