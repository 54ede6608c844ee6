#pragma once
// What the register window asks before a status changes: the date a cheque was
// debited, why it is cancelled, and the leaf skipped with what became of it.

#include "register/Register.h"

#include <QDialog>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "Marquer comme débité": the date the bank debited the cheques, today by default.
class frmDébit : public QDialog {
public:
    frmDébit(const QString &what, QWidget *parent);
    QDateEdit *dtpDate;
};

// "Annuler le chèque": the reason, which must be given.
class frmAnnulation : public QDialog {
public:
    frmAnnulation(const QString &what, QWidget *parent);
    QLineEdit *txtMotif;
    QPushButton *cmdOK;
};

// "Sauter ce numéro": the next leaf of a chequebook, spoiled ("annulé") or written
// by hand ("hors Tolvo", with its beneficiary, amount and date if known).
class frmSaut : public QDialog {
public:
    frmSaut(const QList<registre::Chequebook> &chequebooks, const QString &inUse, QWidget *parent);

    QComboBox *cboCarnet;
    QLabel *lblNuméro;
    QRadioButton *optAnnulé;
    QRadioButton *optHorsTolvo;
    QLineEdit *txtBénéficiaire;
    QLineEdit *txtMontant;
    QLineEdit *txtDate;
    QLineEdit *txtMotif;

    // The leaf to record, once accepted.
    registre::Entry entry() const { return m_entry; }
    void cmdOK_Click();

private:
    void showNumber();

    QList<registre::Chequebook> m_books;
    registre::Entry m_entry;
};
