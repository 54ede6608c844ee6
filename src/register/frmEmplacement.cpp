#include "register/frmEmplacement.h"

#include "dialogs/mHelp.h"
#include "platform/Application.h"
#include "platform/UserName.h"
#include "platform/forms/Forms.h"
#include "platform/forms/MessageBox.h"
#include "platform/help/HelpContext.h"
#include "register/Copy.h"
#include "register/Register.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QVBoxLayout>

namespace {

// The cheques and chequebooks a register holds: "12 chèques et 2 carnets".
QString contents(registre::Register &reg)
{
    QSqlQuery q(reg.database());
    qint64 cheques = 0, books = 0;
    if (q.exec(QStringLiteral("SELECT COUNT(*) FROM cheques")) && q.next())
        cheques = q.value(0).toLongLong();
    if (q.exec(QStringLiteral("SELECT COUNT(*) FROM chequebooks")) && q.next())
        books = q.value(0).toLongLong();
    return QStringLiteral("%1 chèque%2 et %3 carnet%4")
        .arg(cheques)
        .arg(cheques > 1 ? "s" : "")
        .arg(books)
        .arg(books > 1 ? "s" : "");
}

} // namespace

frmEmplacement::frmEmplacement(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Emplacement du registre"));
    setFont(platform::uiFont());
    platform::setHelpContextID(this, 1013);
    const registre::Location where = registre::location();
    const registre::ServerSettings &server = where.server;
    m_saved = server;

    optOrdinateur = new QRadioButton(QStringLiteral("Sur cet &ordinateur"), this);
    auto *lblFichier = new QLabel(QDir::toNativeSeparators(registre::filePath()), this);
    lblFichier->setTextInteractionFlags(Qt::TextSelectableByMouse);
    optServeur = new QRadioButton(
        QStringLiteral("Sur un serveur &PostgreSQL, partagé par les postes du bureau"), this);
    auto *fraServeur = new QGroupBox(this);
    txtServeur = new QLineEdit(server.host, fraServeur);
    txtServeur->setPlaceholderText(QStringLiteral("nom ou adresse du serveur"));
    txtPort = new QLineEdit(QString::number(server.port), fraServeur);
    txtPort->setValidator(new QIntValidator(1, 65535, txtPort));
    txtPort->setMaximumWidth(txtPort->fontMetrics().horizontalAdvance(QStringLiteral("0000000")));
    txtBase = new QLineEdit(server.database, fraServeur);
    txtUtilisateur = new QLineEdit(server.user, fraServeur);
    txtMotDePasse = new QLineEdit(fraServeur);
    txtMotDePasse->setEchoMode(QLineEdit::Password);
    // A password already known is not shown; an empty field keeps it.
    if (!server.host.isEmpty() && registre::serverPassword(server, false))
        txtMotDePasse->setPlaceholderText(QStringLiteral("(déjà enregistré)"));
    cboChiffrement = new QComboBox(fraServeur);
    cboChiffrement->addItems({QStringLiteral("Exigé (TLS)"),
                              QStringLiteral("Exigé, certificat du serveur vérifié"),
                              QStringLiteral("Si le serveur le propose"), QStringLiteral("Aucun")});
    m_tlsChosen = registre::tlsModes.contains(server.tls);
    cboChiffrement->setCurrentIndex(int(registre::tlsModes.indexOf(server.tlsMode())));
    lblPoste = new QLabel(
        QStringLiteral("Ce poste s'appelle « %1 » pour les autres postes.").arg(platform::workstationName()),
        fraServeur);
    cmdTester = new QPushButton(QStringLiteral("&Tester la connexion"), fraServeur);
    cmdCopier =
        new QPushButton(QStringLiteral("&Copier le registre de cet ordinateur sur le serveur"), fraServeur);

    auto *host = new QHBoxLayout;
    host->addWidget(txtServeur, 1);
    auto *lblPort = new QLabel(QStringLiteral("Po&rt :"), fraServeur);
    lblPort->setBuddy(txtPort);
    host->addWidget(lblPort);
    host->addWidget(txtPort);
    auto *form = new QFormLayout;
    auto *lblServeur = new QLabel(QStringLiteral("Ser&veur :"), fraServeur);
    lblServeur->setBuddy(txtServeur);
    form->addRow(lblServeur, host);
    form->addRow(QStringLiteral("&Base :"), txtBase);
    form->addRow(QStringLiteral("&Utilisateur :"), txtUtilisateur);
    form->addRow(QStringLiteral("&Mot de passe :"), txtMotDePasse);
    form->addRow(QStringLiteral("C&hiffrement :"), cboChiffrement);
    auto *actions = new QHBoxLayout;
    actions->addWidget(cmdTester);
    actions->addWidget(cmdCopier);
    actions->addStretch(1);
    auto *inside = new QVBoxLayout(fraServeur);
    inside->addLayout(form);
    inside->addWidget(lblPoste);
    inside->addLayout(actions);

    auto *buttons = new QDialogButtonBox(this);
    cmdOK = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    cmdOK->setDefault(true);
    buttons->addButton(QStringLiteral("Annuler"), QDialogButtonBox::RejectRole);
    QPushButton *help = buttons->addButton(QStringLiteral("&Aide"), QDialogButtonBox::HelpRole);
    for (QPushButton *b : {cmdTester, cmdCopier})
        b->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Où ce poste inscrit les chèques qu'il imprime :"), this));
    layout->addWidget(optOrdinateur);
    auto *file = new QHBoxLayout;
    file->addSpacing(24);
    file->addWidget(lblFichier, 1);
    layout->addLayout(file);
    layout->addWidget(optServeur);
    layout->addWidget(fraServeur);
    layout->addWidget(buttons);

    (where.onServer ? optServeur : optOrdinateur)->setChecked(true);
    connect(optServeur, &QRadioButton::toggled, this, [this] { updateFields(); });
    connect(txtServeur, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (!m_tlsChosen)
            cboChiffrement->setCurrentIndex(int(registre::tlsModes.indexOf(registre::defaultTls(text))));
    });
    connect(cboChiffrement, &QComboBox::activated, this, [this] { m_tlsChosen = true; });
    connect(cmdTester, &QPushButton::clicked, this, [this] { cmdTester_Click(); });
    connect(cmdCopier, &QPushButton::clicked, this, [this] { cmdCopier_Click(); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { cmdOK_Click(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [] { mHelp::ShowHelp(platform::helpFile(), 1013, false); });
    updateFields();
    (where.onServer ? static_cast<QWidget *>(txtServeur) : optOrdinateur)->setFocus();
}

void frmEmplacement::updateFields()
{
    for (QWidget *w : std::initializer_list<QWidget *>{txtServeur, txtPort, txtBase, txtUtilisateur,
                                                       txtMotDePasse, cboChiffrement, cmdTester, cmdCopier})
        w->setEnabled(optServeur->isChecked());
}

registre::Location frmEmplacement::chosen() const
{
    registre::Location where;
    where.onServer = optServeur->isChecked();
    where.server.host = txtServeur->text().trimmed();
    where.server.port = txtPort->text().toInt() > 0 ? txtPort->text().toInt() : 5432;
    where.server.database = txtBase->text().trimmed();
    where.server.user = txtUtilisateur->text().trimmed();
    where.server.tls = registre::tlsModes.value(cboChiffrement->currentIndex());
    return where;
}

bool frmEmplacement::serverGiven()
{
    QLineEdit *missing = txtServeur->text().trimmed().isEmpty()       ? txtServeur
                         : txtBase->text().trimmed().isEmpty()        ? txtBase
                         : txtUtilisateur->text().trimmed().isEmpty() ? txtUtilisateur
                                                                      : nullptr;
    if (!missing)
        return true;
    platform::messageBox(this, QStringLiteral("Indiquez le serveur, la base et l'utilisateur du registre."),
                         platform::MsgIcon::Exclamation);
    missing->setFocus();
    return false;
}

std::optional<QString> frmEmplacement::password(const registre::ServerSettings &server) const
{
    if (!txtMotDePasse->text().isEmpty())
        return txtMotDePasse->text();
    // A name or port corrected keeps the password already given.
    if (const std::optional<QString> known = registre::serverPassword(server, false))
        return known;
    if (!m_saved.host.isEmpty() && m_saved.user == server.user)
        if (const std::optional<QString> known = registre::serverPassword(m_saved, false))
            return known;
    return registre::serverPassword(server, true);
}

void frmEmplacement::cmdTester_Click()
{
    if (!serverGiven())
        return;
    const registre::ServerSettings server = chosen().server;
    const std::optional<QString> typed = password(server);
    if (!typed)
        return;
    platform::setMousePointer(11);
    registre::Register reg(registre::Location{true, server});
    reg.usePassword(*typed);
    const bool opened = reg.open(registre::Register::Use::Read);
    const QString what = opened ? contents(reg) : QString();
    platform::setMousePointer(0);
    if (opened)
        platform::messageBox(this,
                             QStringLiteral("La connexion au registre du %1 réussit : il tient %2.")
                                 .arg(server.description(), what),
                             platform::MsgIcon::Information);
    else
        platform::messageBox(this, QStringLiteral("La connexion n'a pas réussi.\r\n%1").arg(reg.error()),
                             platform::MsgIcon::Exclamation);
}

void frmEmplacement::cmdCopier_Click()
{
    if (!serverGiven())
        return;
    registre::Register local(registre::filePath());
    if (!local.open(registre::Register::Use::Read)) {
        platform::messageBox(
            this,
            QStringLiteral("Le registre de cet ordinateur ne peut pas être lu.\r\n%1").arg(local.error()),
            platform::MsgIcon::Exclamation);
        return;
    }
    const registre::ServerSettings server = chosen().server;
    if (platform::messageBox(
            this,
            QStringLiteral("Copier sur le %1 le registre de cet ordinateur (%2) ?\r\nCe que le "
                           "serveur tient déjà n'est pas copié une seconde fois ; le fichier de cet "
                           "ordinateur reste tel quel.")
                .arg(server.description(), contents(local)),
            platform::MsgIcon::Question, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    const std::optional<QString> typed = password(server);
    if (!typed)
        return;
    platform::setMousePointer(11);
    registre::Register shared(registre::Location{true, server});
    shared.usePassword(*typed);
    registre::CopyReport report;
    QString error;
    const bool copied = shared.open() && registre::copyRegister(local, shared, &report, &error);
    if (error.isEmpty())
        error = shared.error();
    platform::setMousePointer(0);
    if (copied)
        platform::messageBox(this, registre::copyText(report), platform::MsgIcon::Information);
    else
        platform::messageBox(this, QStringLiteral("Le registre n'a pas été copié.\r\n%1").arg(error),
                             platform::MsgIcon::Exclamation);
}

void frmEmplacement::cmdOK_Click()
{
    const registre::Location where = chosen();
    if (where.onServer) {
        if (!serverGiven())
            return;
        const std::optional<QString> typed = password(where.server);
        if (!typed)
            return;
        platform::setMousePointer(11);
        registre::Register reg(where);
        reg.usePassword(*typed);
        const bool opened = reg.open(registre::Register::Use::Read);
        platform::setMousePointer(0);
        if (!opened &&
            platform::messageBox(
                this,
                QStringLiteral("La connexion n'a pas réussi.\r\n%1\r\nGarder ces réglages quand "
                               "même ?")
                    .arg(reg.error()),
                platform::MsgIcon::Question, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
            return;
        QString why;
        if (!registre::rememberPassword(where.server, *typed, &why))
            platform::messageBox(
                this,
                QStringLiteral("Aucun trousseau de mots de passe n'a pu garder le mot de passe sur "
                               "cet ordinateur : Tolvo le demandera une fois à chaque lancement.%1")
                    .arg(why.isEmpty() ? QString() : QStringLiteral("\r\nDétail : ") + why),
                platform::MsgIcon::Information);
    }
    if (registre::saveLocation(where))
        accept();
}

namespace {

class frmMotDePasse : public QDialog {
public:
    frmMotDePasse(const registre::ServerSettings &server, bool keyring, QWidget *parent) : QDialog(parent)
    {
        setWindowTitle(QStringLiteral("Mot de passe du registre"));
        setFont(platform::uiFont());
        platform::setHelpContextID(this, 1013);
        auto *what = new QLabel(QStringLiteral("Le registre des chèques est sur le %1.\r\nMot de passe de "
                                               "l'utilisateur « %2 » :")
                                    .arg(server.description(), server.user),
                                this);
        what->setWordWrap(true);
        txtMotDePasse = new QLineEdit(this);
        txtMotDePasse->setEchoMode(QLineEdit::Password);
        auto *buttons = new QDialogButtonBox(this);
        buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
        buttons->addButton(QStringLiteral("Annuler"), QDialogButtonBox::RejectRole);
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(what);
        layout->addWidget(txtMotDePasse);
        if (!keyring) {
            auto *note = new QLabel(QStringLiteral("Aucun trousseau de mots de passe ne le garde sur cet "
                                                   "ordinateur : il est demandé une fois à chaque lancement "
                                                   "de Tolvo."),
                                    this);
            note->setWordWrap(true);
            layout->addWidget(note);
        }
        setMinimumWidth(420);
        layout->addWidget(buttons);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        txtMotDePasse->setFocus();
    }
    QLineEdit *txtMotDePasse;
};

} // namespace

std::optional<QString> askServerPassword(const registre::ServerSettings &server, bool keyring)
{
    frmMotDePasse ask(server, keyring, QApplication::activeWindow());
    if (platform::execDialog(ask) != QDialog::Accepted)
        return std::nullopt;
    return ask.txtMotDePasse->text();
}
