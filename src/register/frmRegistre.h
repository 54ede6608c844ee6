#pragma once
// The register window: the printed cheques newest first, filtered by beneficiary
// and period, with their count and total, exported to CSV or printed as a list.

#include "register/Register.h"
#include "register/RegisterList.h"

#include <QDialog>
#include <QSqlQueryModel>

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace registre {

// Rows fetched as the view scrolls; dates and amounts shown the French way.
class RegisterModel : public QSqlQueryModel {
public:
    using QSqlQueryModel::QSqlQueryModel;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
};

} // namespace registre

class frmRegistre : public QDialog {
public:
    explicit frmRegistre(QWidget *parent = nullptr);
    ~frmRegistre() override;

    QLineEdit *txtBénéficiaire;
    QCheckBox *chkDu;
    QDateEdit *dtpDu;
    QCheckBox *chkAu;
    QDateEdit *dtpAu;
    QTableView *grdChèques;
    QLabel *lblTotal;
    QPushButton *cmdExporter;
    QPushButton *cmdImprimer;
    QAction *mnuImprimante;
    QAction *mnuFichierPdf;
    QPushButton *cmdFermer;

    registre::Filter filter() const;
    void refresh();
    void cmdExporter_Click();
    // Prints on the current printer, or on "Fichier PDF".
    void printList(bool toPdf);

private:
    registre::Register m_register;
    registre::RegisterModel *m_model;
};

// Opens the register window over the main window.
void showRegister(QWidget *parent);
