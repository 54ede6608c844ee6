#include "register/frmCarnets.h"

#include "dialogs/frmMsgBox.h"
#include "platform/UserName.h"
#include "platform/forms/Forms.h"
#include "platform/forms/MessageBox.h"
#include "platform/help/HelpContext.h"
#include "register/Recording.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableWidget>
#include <QVBoxLayout>

using registre::Chequebook;

frmCarnet::frmCarnet(registre::Register &reg, const Chequebook &book, QWidget *parent)
    : QDialog(parent), m_register(reg), m_book(book), m_nextTyped(book.id != 0)
{
    setWindowTitle(book.id ? QStringLiteral("Modifier le carnet") : QStringLiteral("Nouveau carnet"));
    setFont(platform::uiFont());
    platform::setHelpContextID(this, 1010);

    txtNom = new QLineEdit(book.name, this);
    txtNom->setPlaceholderText(QStringLiteral("Compte courant - Crédit Mutuel"));
    txtCompte = new QLineEdit(book.account, this);
    txtCompte->setPlaceholderText(QStringLiteral("facultatif"));
    const auto number = [&](qint64 n) {
        auto *edit = new QLineEdit(book.id ? book.numberText(n) : QString(), this);
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,12}")), edit));
        edit->setMaxLength(12);
        return edit;
    };
    txtPremier = number(book.first);
    txtDernier = number(book.last);
    txtProchain = number(book.next);
    lblFeuilles = new QLabel(this);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Nom :"), txtNom);
    form->addRow(QStringLiteral("&Compte :"), txtCompte);
    form->addRow(QStringLiteral("&Premier n° :"), txtPremier);
    form->addRow(QStringLiteral("&Dernier n° :"), txtDernier);
    form->addRow(QStringLiteral("P&rochain n° :"), txtProchain);
    form->addRow(QString(), lblFeuilles);
    auto *buttons = new QDialogButtonBox(this);
    cmdOK = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    cmdOK->setDefault(true);
    buttons->addButton(QStringLiteral("Annuler"), QDialogButtonBox::RejectRole);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Les numéros tels qu'ils sont imprimés sur les chèques, "
                                                "zéros du début compris."),
                                 this));
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(txtPremier, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (!m_nextTyped)
            txtProchain->setText(text);
        showLeaves();
    });
    connect(txtDernier, &QLineEdit::textEdited, this, [this] { showLeaves(); });
    connect(txtProchain, &QLineEdit::textEdited, this, [this] {
        m_nextTyped = true;
        showLeaves();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { cmdOK_Click(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    showLeaves();
    txtNom->setFocus();
}

// "25 chèques, dont 25 à imprimer", while the numbers make sense.
void frmCarnet::showLeaves()
{
    const auto first = registre::parseNumber(txtPremier->text()),
               last = registre::parseNumber(txtDernier->text()),
               next = registre::parseNumber(txtProchain->text());
    QString text;
    if (first && last && *last >= *first) {
        text = QStringLiteral("%1 chèque%2").arg(*last - *first + 1).arg(*last > *first ? "s" : "");
        if (next && *next >= *first && *next <= *last + 1)
            text += QStringLiteral(", dont %1 à imprimer").arg(*last - *next + 1);
    }
    lblFeuilles->setText(text);
}

void frmCarnet::cmdOK_Click()
{
    Chequebook book = m_book;
    const registre::FieldProblem problem = registre::checkChequebook(
        {txtNom->text(), txtCompte->text(), txtPremier->text(), txtDernier->text(), txtProchain->text()},
        book);
    QWidget *field = nullptr;
    switch (problem.field) {
    case registre::FieldProblem::None: break;
    case registre::FieldProblem::Name: field = txtNom; break;
    case registre::FieldProblem::First: field = txtPremier; break;
    case registre::FieldProblem::Last: field = txtDernier; break;
    case registre::FieldProblem::Next: field = txtProchain; break;
    }
    QString message = problem.message;
    // A French cheque's number has 7 digits: another width is most often a typing slip.
    if (!field && book.digits != 7 &&
        platform::messageBox(
            this,
            QStringLiteral("Les chèques portent en général un numéro à 7 chiffres ; celui-ci "
                           "en a %1. Enregistrer le carnet tel quel ?")
                .arg(book.digits),
            platform::MsgIcon::Question, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
        txtPremier->setFocus();
        txtPremier->selectAll();
        return;
    }
    if (!field && !m_register.saveChequebook(book)) {
        message = m_register.error();
        field = txtProchain;
    }
    if (field) {
        platform::messageBox(this, message, platform::MsgIcon::Exclamation);
        field->setFocus();
        if (auto *edit = qobject_cast<QLineEdit *>(field))
            edit->selectAll();
        return;
    }
    m_book = book;
    accept();
}

frmCarnets::frmCarnets(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Carnets de chèques"));
    setFont(platform::uiFont());
    platform::setHelpContextID(this, 1010);

    lblEnUsage = new QLabel(this);
    lblEnUsage->setWordWrap(true);
    grdCarnets = new QTableWidget(0, 6, this);
    grdCarnets->setHorizontalHeaderLabels({QStringLiteral("Carnet"), QStringLiteral("Compte"),
                                           QStringLiteral("Numéros"), QStringLiteral("Prochain"),
                                           QStringLiteral("Restants"), QStringLiteral("État")});
    grdCarnets->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdCarnets->setSelectionMode(QAbstractItemView::SingleSelection);
    grdCarnets->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdCarnets->verticalHeader()->hide();
    grdCarnets->horizontalHeader()->setStretchLastSection(true);
    grdCarnets->installEventFilter(this);

    cmdAjouter = new QPushButton(QStringLiteral("&Ajouter..."), this);
    cmdModifier = new QPushButton(QStringLiteral("&Modifier..."), this);
    cmdClore = new QPushButton(QStringLiteral("&Clore"), this);
    cmdUtiliser = new QPushButton(QStringLiteral("&Utiliser ce carnet"), this);
    cmdFermer = new QPushButton(QStringLiteral("&Fermer"), this);
    auto *buttons = new QVBoxLayout;
    // Enter on a chequebook changes it; it never closes the window.
    for (QPushButton *b : {cmdAjouter, cmdModifier, cmdClore, cmdUtiliser, cmdFermer}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->insertStretch(4, 1);
    auto *row = new QHBoxLayout;
    row->addWidget(grdCarnets, 1);
    row->addLayout(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblEnUsage);
    layout->addLayout(row, 1);
    resize(820, 320);

    connect(cmdAjouter, &QPushButton::clicked, this, [this] { cmdAjouter_Click(); });
    connect(cmdModifier, &QPushButton::clicked, this, [this] { cmdModifier_Click(); });
    connect(cmdClore, &QPushButton::clicked, this, [this] { cmdClore_Click(); });
    connect(cmdUtiliser, &QPushButton::clicked, this, [this] { cmdUtiliser_Click(); });
    connect(cmdFermer, &QPushButton::clicked, this, &QDialog::accept);
    connect(grdCarnets, &QTableWidget::itemSelectionChanged, this, [this] { updateButtons(); });
    connect(grdCarnets, &QTableWidget::cellDoubleClicked, this, [this] { cmdModifier_Click(); });

    if (!m_register.open()) {
        registre::tellSetAside(this, m_register);
        lblEnUsage->setText(
            QStringLiteral("Les carnets ne peuvent pas être modifiés : %1").arg(m_register.error()));
        for (QPushButton *b : {cmdAjouter, cmdModifier, cmdClore, cmdUtiliser})
            b->setEnabled(false);
        cmdFermer->setFocus();
        return;
    }
    registre::tellSetAside(this, m_register);
    refresh(registre::chequebookInUse());
    const int widths[] = {170, 130, 130, 70, 65};
    for (int i = 0; i < int(std::size(widths)); ++i)
        grdCarnets->setColumnWidth(i, widths[i]);
    grdCarnets->setFocus();
}

bool frmCarnets::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == grdCarnets && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            cmdModifier_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmCarnets::refresh(const QString &select)
{
    m_books = m_register.chequebooks();
    m_inUse = registre::chequebookInUse();
    // On a shared register, the chequebook another workstation took over is no longer
    // in use here: it is taken back like any other.
    const Chequebook *takenOver = nullptr;
    for (const Chequebook &b : m_books)
        if (b.uid == m_inUse && !b.claimedBy.isEmpty() && b.claimedBy != platform::workstationName())
            takenOver = &b;
    if (takenOver)
        m_inUse.clear();
    const Chequebook *inUse = nullptr;
    grdCarnets->setRowCount(int(m_books.size()));
    for (int r = 0; r < int(m_books.size()); ++r) {
        const Chequebook &b = m_books[r];
        QString state = QStringLiteral("en service");
        if (b.closed())
            state = QStringLiteral("clos le ") +
                    QDateTime::fromString(b.closedAt, Qt::ISODate).toString(QStringLiteral("dd/MM/yyyy"));
        else if (b.left() <= 0)
            state = QStringLiteral("épuisé");
        if (b.uid == m_inUse) {
            state = QStringLiteral("en usage, ") + state;
            inUse = &b;
        }
        // On a shared register, the workstation whose printer holds it.
        if (!b.claimedBy.isEmpty() && b.claimedBy != platform::workstationName())
            state = QStringLiteral("sur le poste %1, ").arg(b.claimedBy) + state;
        const QStringList cells = {b.name,
                                   b.account,
                                   b.numberText(b.first) + QStringLiteral(" à ") + b.numberText(b.last),
                                   b.left() > 0 ? b.numberText(b.next) : QString(),
                                   QString::number(b.left()),
                                   state};
        for (int c = 0; c < int(cells.size()); ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            if (b.uid == m_inUse) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
            grdCarnets->setItem(r, c, item);
        }
        if (b.uid == select)
            grdCarnets->selectRow(r);
    }
    if (grdCarnets->selectedItems().isEmpty() && !m_books.isEmpty())
        grdCarnets->selectRow(0);
    const QString here = m_register.onServer()
                             ? QStringLiteral("ce poste (%1)").arg(platform::workstationName())
                             : QStringLiteral("cet ordinateur");
    if (takenOver)
        lblEnUsage->setText(
            QStringLiteral("Le carnet « %1 » est maintenant utilisé sur le poste %2 : choisissez "
                           "un carnet pour %3.")
                .arg(takenOver->name, takenOver->claimedBy, here));
    else
        lblEnUsage->setText(
            inUse ? QStringLiteral("Carnet en usage sur %1 : %2.").arg(here, inUse->name)
                  : QStringLiteral("Aucun carnet en usage sur %1 : les chèques sont inscrits au "
                                   "registre sans numéro.")
                        .arg(here));
    updateButtons();
}

const Chequebook *frmCarnets::selected() const
{
    const int row = grdCarnets->currentRow();
    return grdCarnets->selectionModel()->hasSelection() && row >= 0 && row < m_books.size() ? &m_books[row]
                                                                                            : nullptr;
}

void frmCarnets::updateButtons()
{
    const Chequebook *b = selected();
    const bool open = m_register.database().isOpen();
    cmdAjouter->setEnabled(open);
    for (QPushButton *button : {cmdModifier, cmdClore, cmdUtiliser})
        button->setEnabled(open && b);
    cmdClore->setText(b && b->closed() ? QStringLiteral("R&ouvrir") : QStringLiteral("&Clore"));
    cmdUtiliser->setText(b && b->uid == m_inUse ? QStringLiteral("Ne plus l'&utiliser")
                                                : QStringLiteral("&Utiliser ce carnet"));
}

void frmCarnets::cmdAjouter_Click()
{
    frmCarnet edit(m_register, Chequebook(), this);
    if (platform::execDialog(edit) != QDialog::Accepted)
        return;
    // The first chequebook, or one added while none is in use, is the one to print on.
    if ((m_inUse.isEmpty() || !m_register.chequebook(m_inUse)) &&
        m_register.claimChequebook(edit.chequebook().uid, false) == registre::Register::Claim::Taken)
        registre::setChequebookInUse(edit.chequebook().uid);
    refresh(edit.chequebook().uid);
}

void frmCarnets::cmdModifier_Click()
{
    const Chequebook *b = selected();
    if (!b || !cmdModifier->isEnabled())
        return;
    frmCarnet edit(m_register, *b, this);
    if (platform::execDialog(edit) == QDialog::Accepted)
        refresh(edit.chequebook().uid);
}

void frmCarnets::cmdClore_Click()
{
    const Chequebook *b = selected();
    if (!b)
        return;
    const Chequebook book = *b;
    if (!book.closed()) {
        frmMsgBox box(this);
        box.setMessage(QStringLiteral("Clore le carnet « %1 » ?\r\nSes chèques restent dans le registre ; "
                                      "aucun chèque ne pourra plus y être imprimé.")
                           .arg(book.name));
        box.setPictureType(4);
        box.setHelpButton(1010);
        box.setFormType(3);
        platform::execDialog(box);
        if (box.Tag != QLatin1String("1"))
            return;
    }
    if (!m_register.setChequebookClosed(book.uid, !book.closed())) {
        platform::messageBox(this, m_register.error(), platform::MsgIcon::Exclamation);
        return;
    }
    if (!book.closed() && book.uid == m_inUse)
        registre::setChequebookInUse(QString());
    refresh(book.uid);
}

void frmCarnets::cmdUtiliser_Click()
{
    const Chequebook *b = selected();
    if (!b)
        return;
    const QString uid = b->uid;
    if (uid == m_inUse) {
        m_register.releaseChequebook(uid);
        registre::setChequebookInUse(QString());
        refresh(uid);
        return;
    }
    if (b->closed() || b->left() <= 0) {
        platform::messageBox(
            this,
            QStringLiteral("Le carnet « %1 » est %2 : il ne peut pas être utilisé.")
                .arg(b->name, b->closed() ? QStringLiteral("clos") : QStringLiteral("épuisé")),
            platform::MsgIcon::Exclamation);
        return;
    }
    // On a shared register, a chequebook in another workstation's printer is taken
    // from it only when the user says so.
    Chequebook now;
    registre::Register::Claim claim = m_register.claimChequebook(uid, false, &now);
    if (claim == registre::Register::Claim::HeldElsewhere) {
        frmMsgBox box(this);
        box.setMessage(
            now.claimText() +
            QStringLiteral("\r\nLe prendre pour ce poste ? Le poste %1 ne pourra plus imprimer sur ce "
                           "carnet.")
                .arg(now.claimedBy));
        box.setPictureType(4);
        box.setHelpButton(1010);
        box.setFormType(2);
        box.setButtonCaption(1, QStringLiteral("Le prendre"));
        platform::execDialog(box);
        if (box.Tag != QLatin1String("1"))
            return;
        claim = m_register.claimChequebook(uid, true, &now);
    }
    if (claim == registre::Register::Claim::Failed) {
        platform::messageBox(this, m_register.error(), platform::MsgIcon::Exclamation);
        refresh(uid);
        return;
    }
    if (!m_inUse.isEmpty())
        m_register.releaseChequebook(m_inUse);
    registre::setChequebookInUse(uid);
    refresh(uid);
}

void showChequebooks(QWidget *parent)
{
    frmCarnets dialog(parent);
    platform::execDialog(dialog);
}
