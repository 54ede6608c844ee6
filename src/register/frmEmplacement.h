#pragma once
// "Emplacement du registre": where this computer's register lives, the file beside
// Tolvo.ini or a PostgreSQL server shared by the office's workstations, with a test
// of the connection and the copy of this computer's register onto the server; and
// the prompt for the server's password when no keyring keeps it.

#include "register/Server.h"

#include <QDialog>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class frmEmplacement : public QDialog {
public:
    explicit frmEmplacement(QWidget *parent = nullptr);

    QRadioButton *optOrdinateur;
    QRadioButton *optServeur;
    QLineEdit *txtServeur;
    QLineEdit *txtPort;
    QLineEdit *txtBase;
    QLineEdit *txtUtilisateur;
    QLineEdit *txtMotDePasse;
    QComboBox *cboChiffrement; // in the order of registre::tlsModes
    QLabel *lblPoste;
    QPushButton *cmdTester;
    QPushButton *cmdCopier;
    QPushButton *cmdOK;

    // What the fields say.
    registre::Location chosen() const;
    void cmdTester_Click();
    void cmdCopier_Click();
    void cmdOK_Click();

private:
    void updateFields();
    // The password typed, or the one this run or the keyring knows; nothing when the
    // user gave none when asked.
    std::optional<QString> password(const registre::ServerSettings &server) const;
    // Whether the fields name a server to connect to; tells the user what is missing.
    bool serverGiven();

    bool m_tlsChosen = false; // the encryption follows the server's name until chosen
    registre::ServerSettings m_saved; // as the window opened: its password is the user's
};

// Asks the password of the register's server (once per run when no keyring keeps
// it: `keyring` says whether there is one); nothing when the user cancels.
std::optional<QString> askServerPassword(const registre::ServerSettings &server, bool keyring);
