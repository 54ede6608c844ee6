#include "options/frmOptions.h"

#include "cheque/ChequeJob.h"
#include "cheque/mAmount.h"
#include "platform/Conversions.h"
#include "platform/forms/MessageBox.h"
#include "platform/help/HelpContext.h"
#include "settings/CINIFile.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <algorithm>

using platform::setTwipsGeometry;

namespace {

const QString kSupprimé = QStringLiteral("OK");

// A sign and three digits: every value fits 16 bits and means at most a metre.
constexpr int kAjustDigits = 3;

QLabel *makeLabel(const QString &text, QWidget *parent, bool bold)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}

QFrame *makeFrame(QWidget *parent, int helpContext)
{
    auto *frame = new QFrame(parent);
    frame->setFrameShape(QFrame::NoFrame);
    frame->setVisible(false);
    setTwipsGeometry(frame, 0, 0, 5535, 4455);
    platform::setHelpContextID(frame, helpContext);
    return frame;
}

QComboBox *makeList(QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setMaxVisibleItems(12);
    return box;
}

} // namespace

frmOptions::frmOptions(QWidget *parent, const Owner &owner) : QDialog(parent), m_owner(owner)
{
    setFont(platform::uiFont());
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(platform::twips(5670), platform::twips(5265));
    platform::setHelpContextID(this, 1000);
    buildControls();

    for (int i = 0; i < 2; ++i) {
        connect(cmdAction[size_t(i)], &QPushButton::clicked, this, [this, i] { cmdAction_Click(i); });
        connect(cmdSupprimer[size_t(i)], &QPushButton::clicked, this, [this, i] { cmdSupprimer_Click(i); });
    }
    platform::onValidate(txtDéfaut, [this] { txtDéfaut_Validate(); });
    connect(qApp, &QApplication::focusChanged, txtDéfaut, [this, edit = txtDéfaut](QWidget *, QWidget *now) {
        if (now == edit)
            txtDéfaut_GotFocus();
    });
    platform::filterPastes(txtDéfaut, [this](int k) { return txtDéfaut_KeyPress(k); });
    for (int i = 0; i < 2; ++i)
        platform::filterPastes(txtAjust[size_t(i)], [this, i](int k) { return txtAjust_KeyPress(i, k); });
    platform::installKeyPreview(this, [this](QKeyEvent *e) {
        // Esc and Enter belong to the dialog, not to the fields' filters.
        if (e->key() == Qt::Key_Escape || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
            return false;
        QWidget *focus = QApplication::focusWidget();
        if (focus == txtDéfaut)
            return platform::filterKeyPress(e, txtDéfaut, [this](int k) { return txtDéfaut_KeyPress(k); });
        for (int i = 0; i < 2; ++i)
            if (focus == txtAjust[size_t(i)])
                return platform::filterKeyPress(e, txtAjust[size_t(i)],
                                                [this, i](int k) { return txtAjust_KeyPress(i, k); });
        return false;
    });
}

void frmOptions::buildControls()
{
    cmdAction[0] = new QPushButton(QStringLiteral("&OK"), this);
    cmdAction[1] = new QPushButton(QStringLiteral("&Annuler"), this);
    lblAide = new QLabel(QStringLiteral("Tapez F1 pour de l'aide."), this);
    setTwipsGeometry(cmdAction[0], 1200, 4560, 1455, 375);
    setTwipsGeometry(cmdAction[1], 3120, 4560, 1455, 375);
    setTwipsGeometry(lblAide, 0, 5040, 1935, 255);

    // Lists page.
    fraListe = makeFrame(this, 1004);
    lblEti[6] = makeLabel(QStringLiteral("Sélectionnez un montant dans la liste, et cliquez sur 'Supprimer' "
                                         "pour le retirer de la liste."),
                          fraListe, true);
    cboMontant = makeList(fraListe);
    cmdSupprimer[0] = new platform::TagButton(QStringLiteral("Supprimer"), fraListe);
    lblEti[7] = makeLabel(QStringLiteral("Sélectionnez un bénéficiaire dans la liste, et cliquez sur "
                                         "'Supprimer' pour le retirer de la liste."),
                          fraListe, true);
    cboBénéficiaire = makeList(fraListe);
    cmdSupprimer[1] = new platform::TagButton(QStringLiteral("Supprimer"), fraListe);
    setTwipsGeometry(lblEti[6], 240, 240, 4815, 495);
    setTwipsGeometry(cboMontant, 360, 840, 2415, 315);
    setTwipsGeometry(cmdSupprimer[0], 3240, 1320, 1575, 375);
    setTwipsGeometry(lblEti[7], 240, 2040, 4815, 495);
    setTwipsGeometry(cboBénéficiaire, 360, 2640, 4095, 315);
    setTwipsGeometry(cmdSupprimer[1], 3240, 3120, 1575, 375);

    // Options page.
    fraOptions = makeFrame(this, 1005);
    chkMontant = new platform::WrapCheckBox(
        QStringLiteral("Activer la fonction d'ajout automatique des nouveaux montants"), fraOptions);
    chkBénéficiaire = new platform::WrapCheckBox(
        QStringLiteral("Activer la fonction d'ajout automatique des nouveaux bénéficiaires"), fraOptions);
    for (QCheckBox *box : {static_cast<QCheckBox *>(chkMontant), static_cast<QCheckBox *>(chkBénéficiaire)}) {
        QFont font = box->font();
        font.setBold(true);
        box->setFont(font);
    }
    lblEti[2] = makeLabel(QStringLiteral("Sélectionner la police d'impression:"), fraOptions, true);
    cboPolice = makeList(fraOptions);
    lblEti[8] = makeLabel(QStringLiteral("Toujours utiliser ce montant par défaut:"), fraOptions, true);
    txtDéfaut = new QLineEdit(fraOptions);
    lblEti[9] = makeLabel(QStringLiteral("Toujours utiliser ce bénéficiaire par défaut:"), fraOptions, true);
    txtDéfautBénéficiaire = new QLineEdit(fraOptions);
    setTwipsGeometry(chkMontant, 480, 360, 4695, 495);
    setTwipsGeometry(chkBénéficiaire, 480, 960, 4695, 495);
    setTwipsGeometry(lblEti[2], 480, 1800, 3015, 255);
    setTwipsGeometry(cboPolice, 960, 2160, 3615, 315);
    setTwipsGeometry(lblEti[8], 480, 2880, 3495, 255);
    setTwipsGeometry(txtDéfaut, 960, 3240, 1455, 285);
    setTwipsGeometry(lblEti[9], 480, 3720, 4095, 255);
    setTwipsGeometry(txtDéfautBénéficiaire, 960, 4080, 4215, 285);

    // Adjustment page.
    fraAjustement = makeFrame(this, 1003);
    lblEti[0] = makeLabel(QString(), fraAjustement, false);
    lblEti[1] = makeLabel(QStringLiteral("Ajustement horizontal"), fraAjustement, true);
    txtAjust[0] = new QLineEdit(fraAjustement);
    lblEti[4] =
        makeLabel(QStringLiteral("Entrez une valeur négative pour décaler l'impression vers la gauche, "
                                 "positive pour la décaler vers la droite."),
                  fraAjustement, false);
    lblEti[3] = makeLabel(QStringLiteral("Ajustement vertical"), fraAjustement, true);
    txtAjust[1] = new QLineEdit(fraAjustement);
    lblEti[5] = makeLabel(QStringLiteral("Entrez une valeur négative pour décaler l'impression vers le haut, "
                                         "positive pour la décaler vers le bas."),
                          fraAjustement, false);
    setTwipsGeometry(lblEti[0], 360, 240, 4815, 1215);
    setTwipsGeometry(lblEti[1], 240, 1560, 1935, 255);
    setTwipsGeometry(txtAjust[0], 3720, 1680, 855, 285);
    setTwipsGeometry(lblEti[4], 480, 1800, 2655, 975);
    setTwipsGeometry(lblEti[3], 240, 2880, 1935, 255);
    setTwipsGeometry(txtAjust[1], 3720, 3000, 855, 285);
    setTwipsGeometry(lblEti[5], 480, 3120, 2655, 735);
    buildCalibrationButton();

    platform::pressFocusedButtonOnEnter(this);

    m_tabOrder = {chkMontant,      chkBénéficiaire, cboPolice,   txtDéfaut,       txtDéfautBénéficiaire,
                  txtAjust[0],     txtAjust[1],     cboMontant,  cmdSupprimer[0], cboBénéficiaire,
                  cmdSupprimer[1], cmdAction[0],    cmdAction[1]};
    if (cmdÉtalonnage)
        m_tabOrder.insert(m_tabOrder.indexOf(txtAjust[1]) + 1, cmdÉtalonnage);
    for (qsizetype i = 1; i < m_tabOrder.size(); ++i)
        setTabOrder(m_tabOrder[i - 1], m_tabOrder[i]);
}

void frmOptions::buildCalibrationButton()
{
    if (!m_owner.calibrate)
        return;
    // Below the page's own controls, which keep their places.
    cmdÉtalonnage = new QPushButton(QStringLiteral("&Feuille d'étalonnage..."), fraAjustement);
    setTwipsGeometry(cmdÉtalonnage, 240, 3960, 2655, 375);
    cmdÉtalonnage->setAutoDefault(false);
    platform::setHelpContextID(cmdÉtalonnage, 1009);
    connect(cmdÉtalonnage, &QPushButton::clicked, this, [this] { cmdÉtalonnage_Click(); });
}

void frmOptions::cmdÉtalonnage_Click()
{
    // The sheet shows the adjustments on the page, saved or not; the calibration
    // saves what it finds, and the page shows it.
    const auto typed = typedAdjustments();
    if (!typed)
        return;
    const auto saved = m_owner.calibrate((*typed)[0], (*typed)[1]);
    if (!saved)
        return;
    txtAjust[0]->setText(QString::number(saved->first));
    txtAjust[1]->setText(QString::number(saved->second));
}

void frmOptions::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The page's first control takes the focus, whatever the buttons' place.
    for (QWidget *w : m_tabOrder)
        if (w->isVisibleTo(this) && w->isEnabled()) {
            w->setFocus(Qt::TabFocusReason);
            break;
        }
}

void frmOptions::cmdAction_Click(int Index)
{
    if (Index == 0) {
        // The page on show is the one to save; a value refused keeps the dialog open.
        bool saved = true;
        if (!fraListe->isHidden())
            saveLists();
        else if (!fraOptions->isHidden())
            saved = saveOptions();
        else if (!fraAjustement->isHidden())
            saved = saveAdjustment();
        if (!saved)
            return;
        accept();
        return;
    }
    reject();
}

void frmOptions::cmdSupprimer_Click(int Index)
{
    QComboBox *list = Index == 0 ? cboMontant : cboBénéficiaire;
    if (list->currentIndex() < 0)
        return;
    list->removeItem(list->currentIndex());
    list->setCurrentIndex(list->count() > 0 ? 0 : -1);
    list->setFocus();
    cmdSupprimer[size_t(Index)]->setEnabled(list->count() > 0);
    cmdSupprimer[size_t(Index)]->Tag = kSupprimé;
}

int frmOptions::txtAjust_KeyPress(int Index, int KeyAscii)
{
    QLineEdit *box = txtAjust[size_t(Index)];
    const QString text = box->text();
    if (KeyAscii == 8)
        return KeyAscii;
    if (KeyAscii >= '0' && KeyAscii <= '9') {
        // Digits left once the selection is replaced.
        const QString kept = text.left(box->selectionStart() < 0 ? text.size() : box->selectionStart()) +
                             (box->selectionStart() < 0 ? QString() : text.mid(box->selectionEnd()));
        const auto digits = std::count_if(kept.begin(), kept.end(), [](QChar c) { return c.isDigit(); });
        return digits < kAjustDigits ? KeyAscii : 0;
    }
    if (KeyAscii == '+' || KeyAscii == '-') {
        const QChar sign(KeyAscii);
        const QChar other(KeyAscii == '+' ? '-' : '+');
        if (text.contains(sign))
            return 0;
        box->setText(sign + (text.contains(other) ? text.mid(1) : text));
        box->setCursorPosition(int(box->text().size()));
        return 0;
    }
    return 0;
}

void frmOptions::txtDéfaut_GotFocus()
{
    txtDéfaut->setSelection(0, int(txtDéfaut->text().size()));
}

int frmOptions::txtDéfaut_KeyPress(int KeyAscii)
{
    return mAmount::FilterAmountKey(txtDéfaut->text(), KeyAscii);
}

void frmOptions::txtDéfaut_Validate()
{
    const QString text = mAmount::NormaliseAmount(txtDéfaut->text());
    if (text != txtDéfaut->text())
        txtDéfaut->setText(text);
}

void frmOptions::saveLists()
{
    using namespace settings;
    CINIFile ini;
    ini.setFile(filePath());
    const auto listReadWhole = [this](bool whole) {
        if (!whole)
            platform::messageBox(this,
                                 QStringLiteral("Cette liste n'a pas pu être lue entièrement au démarrage : "
                                                "elle n'est pas modifiée, pour ne perdre aucune entrée."),
                                 platform::MsgIcon::Exclamation);
        return whole;
    };
    if (cmdSupprimer[0]->Tag == kSupprimé && listReadWhole(m_owner.amountsWhole)) {
        const QStringList kept = platform::comboEntries(cboMontant);
        m_owner.cboMontant->clear();
        saveList(ini, section::Montants, kept);
        m_owner.cboMontant->addItems(kept);
        // The amount field goes back to the default amount while it is still listed.
        m_owner.cboMontant->setEditText(kept.contains(m_owner.sDefault) ? m_owner.sDefault : QString());
    }
    if (cmdSupprimer[1]->Tag == kSupprimé && listReadWhole(m_owner.beneficiariesWhole)) {
        const QStringList kept = platform::comboEntries(cboBénéficiaire);
        m_owner.cboBénéficiaire->clear();
        m_owner.cboBénéficiaire->clearEditText();
        saveList(ini, section::Bénéficiaires, kept);
        m_owner.cboBénéficiaire->addItems(kept);
        m_owner.cboBénéficiaire->clearEditText();
    }
}

bool frmOptions::saveOptions()
{
    using namespace settings;
    // A default amount is one the cheque could be printed with, or none.
    if (!txtDéfaut->text().isEmpty()) {
        const cheque::CheckResult check = cheque::CheckAmount(txtDéfaut->text());
        if (!check.ok()) {
            platform::messageBox(this, check.message, check.icon);
            txtDéfaut->setFocus();
            txtDéfaut->selectAll();
            return false;
        }
    }
    CINIFile ini;
    ini.setFile(filePath());
    ini.setSection(section::Défaut);
    m_owner.AddMontant = chkMontant->isChecked();
    ini.setValue(key::AutoAjout1, m_owner.AddMontant ? QString() : value::Non);
    m_owner.AddBénéficiaire = chkBénéficiaire->isChecked();
    ini.setValue(key::AutoAjout2, m_owner.AddBénéficiaire ? QString() : value::Non);
    // No font chosen: the file keeps it empty and the print uses the default font,
    // as it will after the next start.
    const QString font = cboPolice->currentText();
    m_owner.sFont = font.isEmpty() ? value::Font : font;
    ini.setValue(key::Font, font);
    m_owner.sDefault = txtDéfaut->text();
    ini.setValue(key::Montant, m_owner.sDefault);
    m_owner.cboMontant->setEditText(m_owner.sDefault);
    m_owner.sDefaultBeneficiaire = txtDéfautBénéficiaire->text();
    ini.setValue(key::Bénéficiaire, m_owner.sDefaultBeneficiaire);
    m_owner.cboBénéficiaire->setEditText(m_owner.sDefaultBeneficiaire);
    return true;
}

std::optional<std::array<qint16, 2>> frmOptions::typedAdjustments()
{
    // Whatever reached a box (a lone sign, a text set from elsewhere) is saved only
    // as a whole number of millimetres in range; anything else is refused before
    // anything is written.
    static const QRegularExpression millimetres(QStringLiteral("^[+-]?[0-9]{1,%1}$").arg(kAjustDigits));
    std::array<qint16, 2> values{};
    for (size_t i = 0; i < 2; ++i) {
        const QString text = txtAjust[i]->text();
        if (!text.isEmpty() && !millimetres.match(text).hasMatch()) {
            platform::messageBox(this, settings::ajustRangeMessage(), platform::MsgIcon::Exclamation);
            txtAjust[i]->setFocus();
            txtAjust[i]->selectAll();
            return std::nullopt;
        }
        values[i] = settings::toInt16(text);
    }
    return values;
}

bool frmOptions::saveAdjustment()
{
    const auto typed = typedAdjustments();
    if (!typed)
        return false;
    const std::array<qint16, 2> values = *typed;
    CINIFile ini;
    ini.setFile(settings::filePath());
    ini.setSection(m_owner.lblImprimante->text());
    m_owner.HorAjust = values[0];
    ini.setValue(settings::key::HorAjust, m_owner.HorAjust);
    m_owner.VerAjust = values[1];
    ini.setValue(settings::key::VerAjust, m_owner.VerAjust);
    return true;
}
