#pragma once
// "Carnets de chèques": the chequebooks of the register, added, changed, closed and
// reopened, and the one in use on this computer chosen among them.

#include "register/Register.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// One chequebook's name, account and numbers, as typed.
class frmCarnet : public QDialog {
public:
    // `book` with id 0 is a new one.
    frmCarnet(registre::Register &reg, const registre::Chequebook &book, QWidget *parent);

    QLineEdit *txtNom;
    QLineEdit *txtCompte;
    QLineEdit *txtPremier;
    QLineEdit *txtDernier;
    QLineEdit *txtProchain;
    QLabel *lblFeuilles;
    QPushButton *cmdOK;

    const registre::Chequebook &chequebook() const { return m_book; }
    void cmdOK_Click();

private:
    void showLeaves();

    registre::Register &m_register;
    registre::Chequebook m_book;
    bool m_nextTyped = false; // the next number follows the first until it is typed
};

class frmCarnets : public QDialog {
public:
    explicit frmCarnets(QWidget *parent = nullptr);

    QLabel *lblEnUsage;
    QTableWidget *grdCarnets;
    QPushButton *cmdAjouter;
    QPushButton *cmdModifier;
    QPushButton *cmdClore;
    QPushButton *cmdUtiliser;
    QPushButton *cmdFermer;

    void cmdAjouter_Click();
    void cmdModifier_Click();
    void cmdClore_Click();
    void cmdUtiliser_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void refresh(const QString &select = QString());
    void updateButtons();
    const registre::Chequebook *selected() const;

    registre::Register m_register;
    QList<registre::Chequebook> m_books;
    QString m_inUse;
};

// Opens "Carnets de chèques" over `parent`.
void showChequebooks(QWidget *parent);
