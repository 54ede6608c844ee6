#include "register/frmStatut.h"

#include "cheque/ChequeJob.h"
#include "cheque/ChequeLayout.h"
#include "cheque/mAmount.h"
#include "platform/Application.h"
#include "platform/Conversions.h"
#include "platform/forms/Forms.h"
#include "platform/forms/MessageBox.h"
#include "platform/help/HelpContext.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

// The window's frame: title, font, help, a line saying what it is about, the fields
// and "OK" / "Annuler". Returns OK.
QPushButton *frame(QDialog *dialog, const QString &title, const QString &what, QFormLayout *form)
{
    dialog->setWindowTitle(title);
    dialog->setFont(platform::uiFont());
    platform::setHelpContextID(dialog, 1007);
    auto *buttons = new QDialogButtonBox(dialog);
    QPushButton *ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("Annuler"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    auto *layout = new QVBoxLayout(dialog);
    auto *label = new QLabel(what, dialog);
    label->setWordWrap(true);
    layout->addWidget(label);
    layout->addLayout(form);
    layout->addWidget(buttons);
    return ok;
}

} // namespace

frmDébit::frmDébit(const QString &what, QWidget *parent) : QDialog(parent)
{
    auto *form = new QFormLayout;
    dtpDate = new QDateEdit(platform::today(), this);
    dtpDate->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    dtpDate->setCalendarPopup(true);
    form->addRow(QStringLiteral("&Date du débit :"), dtpDate);
    QPushButton *ok = frame(this, QStringLiteral("Marquer comme débité"), what, form);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    dtpDate->setFocus();
}

frmAnnulation::frmAnnulation(const QString &what, QWidget *parent) : QDialog(parent)
{
    auto *form = new QFormLayout;
    txtMotif = new QLineEdit(this);
    txtMotif->setMinimumWidth(300);
    form->addRow(QStringLiteral("&Motif :"), txtMotif);
    cmdOK = frame(this, QStringLiteral("Annuler le chèque"), what, form);
    // A cancellation without its reason would be of no use to whoever reads the register.
    cmdOK->setEnabled(false);
    connect(txtMotif, &QLineEdit::textChanged, this,
            [this](const QString &text) { cmdOK->setEnabled(!text.trimmed().isEmpty()); });
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    txtMotif->setFocus();
}

frmSaut::frmSaut(const QList<registre::Chequebook> &chequebooks, const QString &inUse, QWidget *parent)
    : QDialog(parent), m_books(chequebooks)
{
    auto *form = new QFormLayout;
    cboCarnet = new QComboBox(this);
    for (const registre::Chequebook &b : m_books)
        cboCarnet->addItem(b.name);
    for (int i = 0; i < int(m_books.size()); ++i)
        if (m_books[i].uid == inUse)
            cboCarnet->setCurrentIndex(i);
    lblNuméro = new QLabel(this);
    optAnnulé = new QRadioButton(QStringLiteral("&Annulé : abîmé, perdu, déchiré"), this);
    optHorsTolvo = new QRadioButton(QStringLiteral("&Hors Tolvo : rempli à la main"), this);
    optAnnulé->setChecked(true);
    txtBénéficiaire = new QLineEdit(this);
    txtMontant = new QLineEdit(this);
    txtMontant->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,10}([,.][0-9]{0,2})?")), txtMontant));
    txtDate = new QLineEdit(platform::ShortDate(platform::today()), this);
    txtMotif = new QLineEdit(this);
    txtMotif->setMinimumWidth(300);
    form->addRow(QStringLiteral("&Carnet :"), cboCarnet);
    form->addRow(QStringLiteral("Numéro :"), lblNuméro);
    form->addRow(QString(), optAnnulé);
    form->addRow(QString(), optHorsTolvo);
    form->addRow(QStringLiteral("&Bénéficiaire :"), txtBénéficiaire);
    form->addRow(QStringLiteral("&Montant :"), txtMontant);
    form->addRow(QStringLiteral("Da&te du chèque :"), txtDate);
    form->addRow(QStringLiteral("M&otif :"), txtMotif);
    QPushButton *ok =
        frame(this, QStringLiteral("Sauter ce numéro"),
              QStringLiteral("Le prochain chèque du carnet n'est pas imprimé par Tolvo : il est "
                             "inscrit au registre tel quel, et Tolvo passe au suivant."),
              form);
    const auto handWritten = [this] {
        for (QWidget *w : {txtBénéficiaire, txtMontant, txtDate})
            w->setEnabled(optHorsTolvo->isChecked());
    };
    handWritten();
    connect(optHorsTolvo, &QRadioButton::toggled, this, handWritten);
    connect(cboCarnet, &QComboBox::currentIndexChanged, this, [this] { showNumber(); });
    connect(ok, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    showNumber();
    cboCarnet->setFocus();
}

void frmSaut::showNumber()
{
    const int i = cboCarnet->currentIndex();
    lblNuméro->setText(i < 0 ? QString() : m_books[i].numberText(m_books[i].next));
}

void frmSaut::cmdOK_Click()
{
    const int i = cboCarnet->currentIndex();
    if (i < 0)
        return;
    registre::Entry e;
    e.printedAt = QDateTime::currentDateTime();
    e.chequebook = m_books[i].uid;
    e.reason = txtMotif->text().trimmed();
    e.status = optHorsTolvo->isChecked() ? registre::status::HorsTolvo : registre::status::Annulé;
    if (optHorsTolvo->isChecked()) {
        // Written by hand: what is known of it, so that the amount still to be debited stays right.
        e.beneficiary = txtBénéficiaire->text().trimmed();
        const QString amount = mAmount::NormaliseAmount(txtMontant->text());
        const auto parts = cheque::AmountParts(amount);
        if (!amount.isEmpty() && !parts) {
            platform::messageBox(this, QStringLiteral("Le montant du chèque n'est pas valide."),
                                 platform::MsgIcon::Exclamation);
            txtMontant->setFocus();
            return;
        }
        if (parts) {
            e.cents = qint64(parts->whole) * 100 + parts->cents;
            e.amount = cheque::FiguresText(amount, false);
        }
        const auto date = platform::CDate(txtDate->text());
        if (!txtDate->text().trimmed().isEmpty() && !date) {
            platform::messageBox(
                this, QStringLiteral("La date du chèque n'est pas une date valide.\r\nVeuillez la corriger."),
                platform::MsgIcon::Information);
            txtDate->setFocus();
            return;
        }
        if (date)
            e.chequeDate = platform::ShortDate(*date);
    }
    m_entry = e;
    accept();
}
