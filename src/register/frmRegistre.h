#pragma once
// The register window: the printed cheques newest first or sorted by a column,
// filtered by beneficiary and period, with their count and total, exported to CSV
// or printed as a list; a cheque printed to a PDF file opens it.

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

// Rows fetched as the view scrolls; dates and amounts shown the French way, the
// file of a cheque printed to PDF in its tooltip.
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
    QLabel *lblLectureSeule;
    QTableView *grdChèques;
    QLabel *lblTotal;
    QPushButton *cmdExporter;
    QPushButton *cmdImprimer;
    QAction *mnuImprimante;
    QAction *mnuFichierPdf;
    QPushButton *cmdFermer;

    registre::Filter filter() const;
    void refresh();
    // Opens the PDF file of a cheque printed to "Fichier PDF"; nothing for the others.
    void grdChèques_Open(const QModelIndex &index);
    void cmdExporter_Click();
    // Prints on the current printer, or on "Fichier PDF".
    void printList(bool toPdf);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    registre::Register m_register;
    registre::RegisterModel *m_model;
};

// Opens the register window over the main window.
void showRegister(QWidget *parent);
