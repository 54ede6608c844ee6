#include "app/frmTolvo.h"

#include "cheque/ChequeJob.h"
#include "cheque/ChequeLayout.h"
#include "cheque/frmApercu.h"
#include "cheque/frmEtalonnage.h"
#include "cheque/frmImpression.h"
#include "cheque/mAmount.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmMsgBox.h"
#include "dialogs/mHelp.h"
#include "dialogs/mShellExecute.h"
#include "options/frmOptions.h"
#include "options/mFont.h"
#include "platform/Application.h"
#include "platform/Conversions.h"
#include "platform/help/HelpContext.h"
#include "platform/forms/MessageBox.h"
#include "platform/print/PdfPrinter.h"
#include "platform/print/Printer.h"
#include "printer/Capabilities.h"
#include "printer/frmConfig.h"
#include "register/Recording.h"
#include "register/Register.h"
#include "register/frmAImprimer.h"
#include "register/frmCarnets.h"
#include "register/frmRegistre.h"
#include "settings/CINIFile.h"
#include "settings/Settings.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFrame>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <functional>

using platform::setTwipsGeometry;
using platform::sortedPosition;

namespace {

// A text not yet in the box's list joins it: the whole list, the new text last, is
// saved in one go (with whatever another copy of the program added to the file),
// and the text takes its place on screen. A list that was not read whole at
// start-up is never saved from the screen: that would drop the rest.
void addNewEntry(QComboBox *box, const QString &section, const QString &text, int position, bool loadedWhole)
{
    const QStringList list = platform::comboEntries(box);
    if (list.contains(text))
        return;
    if (loadedWhole) {
        CINIFile ini;
        ini.setFile(settings::filePath());
        settings::addToList(ini, section, list, text);
    }
    box->insertItem(position, text);
    box->setEditText(text);
}

QComboBox *makeCombo(QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert); // the lists grow only by their own rule
    box->setCompleter(nullptr);                // no completion that would change the case
    box->setMaxVisibleItems(12);
    return box;
}

} // namespace

frmTolvo::frmTolvo(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(platform::applicationTitle());
    setFont(platform::uiFont());
    platform::setHelpContextID(this, 1001);
    buildControls();
    buildMenus();

    platform::onValidate(cboBénéficiaire, [this] { cboBénéficiaire_Validate(); });
    platform::onValidate(cboMontant, [this] { cboMontant_Validate(); });
    connect(chkEtoiles, &QCheckBox::stateChanged, this, [this] { chkEtoiles_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });
    connect(cmdImprime, &QPushButton::clicked, this, [this] { cmdImprime_Click(); });
    connect(cmdConfig, &QPushButton::clicked, this, [this] { cmdConfig_Click(); });
    connect(cmdOuvrir, &QPushButton::clicked, this, [this] { cmdOuvrir_Click(); });
    platform::filterPastes(cboMontant->lineEdit(),
                           [this](int KeyAscii) { return cboMontant_KeyPress(KeyAscii); });
    connect(cmdCarnets, &QPushButton::clicked, this, [this] { mnuCarnets_Click(); });
    platform::installKeyPreview(this, [this](QKeyEvent *e) {
        if (Form_KeyDown(e->key(), e->modifiers()))
            return true;
        if (cboMontant->isAncestorOf(QApplication::focusWidget()))
            return filterAmountKey(e);
        return false;
    });
}

frmTolvo::~frmTolvo() = default;

void frmTolvo::buildControls()
{
    // The designed area on top, the follow-up lines below it; the window takes the
    // height of what is shown.
    auto *central = new QWidget(this);
    auto *client = new QWidget(central);
    client->setFixedSize(platform::twips(4650), platform::twips(6135));
    pnlSuivi = new QWidget(central);
    pnlSuivi->setFixedWidth(client->width());
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(client);
    column->addWidget(pnlSuivi);
    setCentralWidget(central);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // Created in the order of the window description; containers first.
    fraPositionnement = new QGroupBox(QStringLiteral("Positionnement du chèque"), client);
    lblPositionnement = new platform::TagLabel(QStringLiteral("Positionnement"), fraPositionnement);
    lblPositionnement->setWordWrap(true);
    lblPositionnement->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picChèque = new QLabel(client);
    picChèque->setVisible(false); // holds the specimen picture only
    cmdClose = new QPushButton(QStringLiteral("&Quitter"), client);
    fraImprimante = new QGroupBox(QStringLiteral("Imprimante"), client);
    cmdConfig = new QPushButton(QStringLiteral("&Configurer l'impression"), fraImprimante);
    lblOrientation = new platform::TagLabel(QStringLiteral("Pas d'orientation disponible"), fraImprimante);
    lblPaperBin =
        new platform::TagLabel(QStringLiteral("Pas de bac d'alimentation disponible"), fraImprimante);
    lblImprimante = new platform::TagLabel(QStringLiteral("Pas d'imprimante disponible"), fraImprimante);
    fraChèque = new QGroupBox(QStringLiteral("Chèque"), client);
    Shape1 = new QFrame(fraChèque);
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setFrameShadow(QFrame::Plain);
    chkEtoiles =
        new platform::WrapCheckBox(QStringLiteral("Encadrer les montants par des étoiles"), fraChèque);
    cmdImprime = new QPushButton(QStringLiteral("&Imprimer le chèque (F5)"), fraChèque);
    txtDate = new QLineEdit(fraChèque);
    cboBénéficiaire = makeCombo(fraChèque);
    cboMontant = makeCombo(fraChèque);
    lblEti[2] = new QLabel(QStringLiteral("Date du chèque:"), fraChèque);
    lblEti[1] = new QLabel(QStringLiteral("Bénéficiaire du chèque:"), fraChèque);
    lblEti[0] = new QLabel(QStringLiteral("Montant du chèque:"), fraChèque);
    lblAide = new QLabel(QStringLiteral("Tapez F1 pour de l'aide."), client);

    setTwipsGeometry(fraChèque, 120, 120, 4335, 3015);
    setTwipsGeometry(lblEti[0], 120, 360, 3975, 255);
    setTwipsGeometry(cboMontant, 120, 600, 2415, 315);
    setTwipsGeometry(Shape1, 2640, 360, 1575, 855);
    setTwipsGeometry(chkEtoiles, 2760, 480, 1335, 615);
    setTwipsGeometry(lblEti[1], 120, 1080, 3975, 255);
    setTwipsGeometry(cboBénéficiaire, 120, 1320, 4095, 315);
    setTwipsGeometry(lblEti[2], 120, 1800, 3975, 255);
    setTwipsGeometry(txtDate, 120, 2040, 1575, 315);
    setTwipsGeometry(cmdImprime, 1080, 2520, 2295, 375);
    setTwipsGeometry(picChèque, 4320, 3120, 495, 255);
    setTwipsGeometry(fraImprimante, 120, 3240, 4335, 1335);
    setTwipsGeometry(lblImprimante, 120, 360, 4095, 255);
    setTwipsGeometry(lblPaperBin, 120, 600, 4095, 255);
    setTwipsGeometry(lblOrientation, 120, 840, 2055, 255);
    setTwipsGeometry(cmdConfig, 2400, 840, 1815, 375);
    setTwipsGeometry(fraPositionnement, 120, 4680, 4335, 975);
    setTwipsGeometry(lblPositionnement, 120, 240, 4095, 615);
    // The style's frame title takes more room than the design gave it: the advice
    // keeps inside the frame, clear of its border.
    const QRect inside = fraPositionnement->contentsRect().adjusted(0, 1, 0, -1);
    lblPositionnement->setGeometry(lblPositionnement->x(), inside.top(), lblPositionnement->width(),
                                   inside.height());
    setTwipsGeometry(cmdClose, 2760, 5760, 1575, 375);
    setTwipsGeometry(lblAide, 0, 5880, 1935, 255);

    // Follow-up lines: text aligned with the frames, buttons with "Quitter".
    auto *lines = new QVBoxLayout(pnlSuivi);
    lines->setContentsMargins(0, 0, 0, 0);
    lines->setSpacing(0);
    // The chequebook's line first: always shown, it never moves.
    pnlCarnet = new QWidget(pnlSuivi);
    lblCarnet = new QLabel(pnlCarnet);
    lblCarnet->setWordWrap(true);
    cmdCarnets = new QPushButton(QStringLiteral("Carn&ets..."), pnlCarnet);
    auto *chequebookLine = new QHBoxLayout(pnlCarnet);
    chequebookLine->setContentsMargins(platform::twips(120), platform::twips(60), platform::twips(315),
                                       platform::twips(90));
    chequebookLine->addWidget(lblCarnet, 1);
    chequebookLine->addWidget(cmdCarnets, 0, Qt::AlignVCenter);
    lines->addWidget(pnlCarnet);
    pnlFichier = new QWidget(pnlSuivi);
    lblFichier = new QLabel(pnlFichier);
    lblFichier->setWordWrap(true);
    cmdOuvrir = new QPushButton(QStringLiteral("Ou&vrir"), pnlFichier);
    auto *fileLine = new QHBoxLayout(pnlFichier);
    fileLine->setContentsMargins(platform::twips(120), platform::twips(60), platform::twips(315),
                                 platform::twips(90));
    fileLine->addWidget(lblFichier, 1);
    fileLine->addWidget(cmdOuvrir, 0, Qt::AlignVCenter);
    lines->addWidget(pnlFichier);
    pnlFichier->setVisible(false);

    // The check box sits inside its rectangle, which is drawn behind it.
    Shape1->lower();
    chkEtoiles->raise();

    // Tab order: amount, stars, beneficiary, date, print; the amount box starts with the focus.
    for (QWidget *w : {static_cast<QWidget *>(lblPositionnement), static_cast<QWidget *>(lblOrientation),
                       static_cast<QWidget *>(lblPaperBin), static_cast<QWidget *>(lblImprimante)})
        w->setFocusPolicy(Qt::NoFocus);
    setTabOrder(cboMontant, chkEtoiles);
    setTabOrder(chkEtoiles, cboBénéficiaire);
    setTabOrder(cboBénéficiaire, txtDate);
    setTabOrder(txtDate, cmdImprime);
    setTabOrder(cmdImprime, cmdConfig);
    setTabOrder(cmdConfig, cmdClose);
    setTabOrder(cmdClose, cmdCarnets);
    setTabOrder(cmdCarnets, cmdOuvrir);
    cboMontant->setFocus();
}

void frmTolvo::buildMenus()
{
    QMenuBar *bar = menuBar();
    // The five entries fit the window's width only in a pixel smaller type than the
    // forms' (the same face, so no other font is loaded) and with narrow items.
    bar->setStyleSheet(QStringLiteral("QMenuBar { spacing: 0px; font-size: 10px; } "
                                      "QMenuBar::item { padding: 2px 3px; margin: 0px; }"));
    mnuGénéral[0] = bar->addAction(QStringLiteral("&Gestion des listes"));
    mnuGénéral[1] = bar->addAction(QStringLiteral("&Options"));
    mnuGénéral[2] = bar->addAction(QStringLiteral("&Ajustement de l'impression"));
    for (int i = 0; i < int(mnuGénéral.size()); ++i)
        connect(mnuGénéral[size_t(i)], &QAction::triggered, this, [this, i] { mnuGénéral_Click(i); });

    // The windows added around the cheque entry have a menu of their own, so that "?"
    // keeps its four items and each access key stays single.
    mnuChèques = bar->addMenu(QStringLiteral("C&hèques"));
    mnuÀImprimer = mnuChèques->addAction(QStringLiteral("Chèques à &imprimer..."));
    mnuRegistre = mnuChèques->addAction(QStringLiteral("&Registre des chèques..."));
    mnuAperçu = mnuChèques->addAction(QStringLiteral("A&perçu du chèque..."));
    mnuCarnets = mnuChèques->addAction(QStringLiteral("&Carnets de chèques..."));
    platform::setHelpContextID(mnuÀImprimer, 1011);
    platform::setHelpContextID(mnuRegistre, 1007);
    platform::setHelpContextID(mnuAperçu, 1008);
    platform::setHelpContextID(mnuCarnets, 1010);
    connect(mnuÀImprimer, &QAction::triggered, this, [this] { mnuÀImprimer_Click(); });
    connect(mnuRegistre, &QAction::triggered, this, [this] { mnuRegistre_Click(); });
    connect(mnuAperçu, &QAction::triggered, this, [this] { mnuAperçu_Click(); });
    connect(mnuCarnets, &QAction::triggered, this, [this] { mnuCarnets_Click(); });

    mnuAide = bar->addMenu(QStringLiteral("&?"));
    mnuSousAide[0] = mnuAide->addAction(QStringLiteral("&Imprimer un spécimen de chèque"));
    mnuSousAide[1] = mnuAide->addSeparator();
    mnuSousAide[2] = mnuAide->addAction(QStringLiteral("&Aide"));
    mnuSousAide[3] = mnuAide->addAction(QStringLiteral("A &propos de Tolvo..."));
    platform::setHelpContextID(mnuSousAide[0], 1006);
    platform::setHelpContextID(mnuSousAide[2], 1000);
    for (int i = 0; i < int(mnuSousAide.size()); ++i)
        connect(mnuSousAide[size_t(i)], &QAction::triggered, this, [this, i] { mnuSousAide_Click(i); });
    buildCalibrationItem();
}

void frmTolvo::buildCalibrationItem()
{
    // Beside the specimen: both check the placement on paper.
    mnuÉtalonnage = new QAction(QStringLiteral("&Feuille d'étalonnage..."), mnuAide);
    const QList<QAction *> items = mnuAide->actions();
    mnuAide->insertAction(items.value(items.indexOf(mnuSousAide[0]) + 1), mnuÉtalonnage);
    platform::setHelpContextID(mnuÉtalonnage, 1009);
    connect(mnuÉtalonnage, &QAction::triggered, this, [this] { mnuÉtalonnage_Click(); });
}

void frmTolvo::Form_Load()
{
    using namespace settings;
    platform::setHelpFile(platform::applicationFile(QStringLiteral("Tolvo.hlp")));
    txtDate->setText(platform::TodayText());

    CINIFile ini;
    ini.setFile(settings::filePath());

    ini.setSection(section::Montants);
    QStringList values;
    if (ini.enumSectionValues(values) > 0)
        for (const QString &v : values)
            cboMontant->insertItem(sortedPosition(cboMontant, v), v);
    m_amountsWhole = ini.listingComplete();

    ini.setSection(section::Défaut);
    sDefault = ini.Value(key::Montant);
    cboMontant->setEditText(sDefault);
    AddMontant = ini.Value(key::AutoAjout1).isEmpty(); // only an empty value means on
    AddBénéficiaire = ini.Value(key::AutoAjout2).isEmpty();
    if (ini.Value(key::Encadrement) == value::Oui)
        chkEtoiles->setChecked(true); // writes "Oui" back through its handler
    sFont = ini.Value(key::Font);
    if (sFont.isEmpty())
        sFont = value::Font;

    // The saved printer, if it is still installed; else the current (default) one.
    // Without any printer the panel keeps its initial texts.
    platform::Printers &printers = platform::printers();
    bool havePrinter = false;
    try {
        const QString saved = ini.Value(key::Imprimante);
        bool found = false;
        if (!saved.isEmpty()) {
            const int n = printers.count();
            for (int i = 0; i < n && !found; ++i) {
                if (printers.at(i).DeviceName() == saved) {
                    printers.setCurrent(i);
                    found = true;
                }
            }
        }
        lblImprimante->setText(found ? saved : printers.current().DeviceName());
        havePrinter = true;
    } catch (const platform::PrinterError &) {
    }

    if (havePrinter) {
        QStringList sections;
        ini.enumSections(sections);
        if (sections.contains(lblImprimante->text())) {
            ini.setSection(lblImprimante->text());
            lblPaperBin->Tag = ini.Value(key::PaperBin);
            if (lblPaperBin->Tag.isEmpty())
                lblPaperBin->Tag = value::PaperBin;
            lblPaperBin->setText(GetPaperBin(settings::toInt16(lblPaperBin->Tag)));
            lblOrientation->Tag = ini.Value(key::Orientation);
            if (lblOrientation->Tag.isEmpty())
                lblOrientation->Tag = value::Orientation;
            lblOrientation->setText(printer::orientationCaption(settings::toInt16(lblOrientation->Tag)));
            HorAjust = settings::toInt16(ini.Value(key::HorAjust));
            VerAjust = settings::toInt16(ini.Value(key::VerAjust));
        } else {
            try {
                const qint16 bin = printers.current().PaperBin();
                lblPaperBin->Tag = QString::number(bin);
                lblPaperBin->setText(GetPaperBin(bin));
            } catch (const platform::PrinterError &) {
            }
            lblOrientation->Tag = value::Orientation;
            lblOrientation->setText(printer::orientationCaption(2));
        }

        if (settings::toInt16(lblOrientation->Tag) == 1)
            lblPositionnement->setText(printer::portraitPositioningText);
        else
            pcGetDeviceOrientationCap();
    }

    ini.setSection(section::Bénéficiaires);
    values.clear();
    if (ini.enumSectionValues(values) > 0) {
        cboBénéficiaire->addItems(values);
        cboBénéficiaire->setCurrentIndex(0);
    }
    m_beneficiariesWhole = ini.listingComplete();
    ini.setSection(section::Défaut);
    sDefaultBeneficiaire = ini.Value(key::Bénéficiaire);
    cboBénéficiaire->setEditText(sDefaultBeneficiaire);

    if (const registre::Location where = registre::location(); where.onServer) {
        lblCarnet->setText(QStringLiteral("Registre des chèques sur le %1.").arg(where.server.description()));
        m_chequebookPending = true;
    } else {
        showChequebook();
    }
}

void frmTolvo::paintEvent(QPaintEvent *event)
{
    QMainWindow::paintEvent(event);
    if (!m_chequebookPending)
        return;
    m_chequebookPending = false;
    QTimer::singleShot(0, this, [this] { showChequebook(); });
}

bool frmTolvo::Form_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift)
{
    Q_UNUSED(Shift);
    if (KeyCode == Qt::Key_F5) {
        cmdImprime_Click();
        return true;
    }
    return false;
}

void frmTolvo::cmdClose_Click()
{
    close();
}

void frmTolvo::cboBénéficiaire_Validate()
{
    const QString text = cboBénéficiaire->currentText();
    if (text.isEmpty() || !AddBénéficiaire)
        return;
    addNewEntry(cboBénéficiaire, settings::section::Bénéficiaires, text, cboBénéficiaire->count(),
                m_beneficiariesWhole);
}

void frmTolvo::cboMontant_Validate()
{
    QString text = cboMontant->currentText();
    if (text.isEmpty())
        return;
    text = mAmount::NormaliseAmount(text);
    cboMontant->setEditText(text);
    if (!AddMontant)
        return;
    addNewEntry(cboMontant, settings::section::Montants, text, sortedPosition(cboMontant, text),
                m_amountsWhole);
}

int frmTolvo::cboMontant_KeyPress(int KeyAscii)
{
    return mAmount::FilterAmountKey(cboMontant->currentText(), KeyAscii);
}

bool frmTolvo::filterAmountKey(QKeyEvent *event)
{
    return platform::filterKeyPress(event, cboMontant->lineEdit(),
                                    [this](int KeyAscii) { return cboMontant_KeyPress(KeyAscii); });
}

void frmTolvo::chkEtoiles_Click()
{
    CINIFile ini;
    ini.setFile(settings::filePath());
    ini.setSection(settings::section::Défaut);
    ini.setValue(settings::key::Encadrement,
                 chkEtoiles->isChecked() ? settings::value::Oui : settings::value::Non);
}

QString frmTolvo::GetPaperBin(qint16 iPaperBin) const
{
    return printer::GetPaperBin(iPaperBin);
}

void frmTolvo::pcGetDeviceOrientationCap()
{
    int rotation = -1;
    try {
        rotation = printer::deviceOrientationCap(platform::printers().current());
    } catch (const platform::PrinterError &) {
    }
    lblPositionnement->setText(printer::positioningText(rotation));
    lblPositionnement->Tag = QString::number(rotation);
}

void frmTolvo::mnuGénéral_Click(int Index)
{
    clearWrittenFile();
    frmOptions dialog(this,
                      {HorAjust, VerAjust, sFont, sDefault, sDefaultBeneficiaire, AddMontant, AddBénéficiaire,
                       cboMontant, cboBénéficiaire, lblImprimante, m_amountsWhole, m_beneficiariesWhole,
                       [this](qint16 hor, qint16 ver) { return calibrate(hor, ver); }});
    QFrame *frame = nullptr;
    switch (Index) {
    case 0:
        dialog.setWindowTitle(QStringLiteral("Gestion des listes"));
        frame = dialog.fraListe;
        for (int i = 0; i < 2; ++i) {
            QComboBox *from = i == 0 ? cboMontant : cboBénéficiaire;
            QComboBox *to = i == 0 ? dialog.cboMontant : dialog.cboBénéficiaire;
            to->addItems(platform::comboEntries(from));
            to->setCurrentIndex(to->count() > 0 ? 0 : -1);
            dialog.cmdSupprimer[size_t(i)]->setEnabled(to->count() > 0);
        }
        break;
    case 1:
        dialog.setWindowTitle(QStringLiteral("Options"));
        frame = dialog.fraOptions;
        dialog.chkMontant->setChecked(AddMontant);
        dialog.chkBénéficiaire->setChecked(AddBénéficiaire);
        dialog.txtDéfaut->setText(sDefault);
        dialog.txtDéfautBénéficiaire->setText(sDefaultBeneficiaire);
        break;
    case 2:
        dialog.setWindowTitle(QStringLiteral("Ajustement de l'impression"));
        frame = dialog.fraAjustement;
        dialog.lblEti[0]->setText(
            QStringLiteral("Il peut être nécessaire d'ajuster la position d'impression pour l'imprimante "
                           "sélectionnée (") +
            lblImprimante->text() +
            QStringLiteral(").\r\nIndiquez ci-dessous les valeurs d'ajustement horizontal et vertical, en "
                           "millimètres."));
        dialog.txtAjust[0]->setText(QString::number(HorAjust));
        dialog.txtAjust[1]->setText(QString::number(VerAjust));
        break;
    default: return;
    }
    setTwipsGeometry(frame, 0, 0, 5535, 4455);
    frame->setVisible(true);
    if (Index == 1)
        mFont::LoadFontList(dialog.cboPolice, sFont, QString(), platform::ANSI_CHARSET);
    dialog.exec();
}

void frmTolvo::mnuSousAide_Click(int Index)
{
    clearWrittenFile();
    switch (Index) {
    case 0: printSpecimen(); break;
    case 2: showHelpTopics(); break;
    case 3: showAboutBox(this); break;
    default: break; // 1 is the separator
    }
}

void frmTolvo::cmdConfig_Click()
{
    clearWrittenFile();
    printer::PrinterPanel panel;
    panel.lblImprimante = lblImprimante;
    panel.lblPaperBin = lblPaperBin;
    panel.lblOrientation = lblOrientation;
    panel.lblPositionnement = lblPositionnement;
    panel.HorAjust = &HorAjust;
    panel.VerAjust = &VerAjust;
    panel.pcGetDeviceOrientationCap = [this] { pcGetDeviceOrientationCap(); };
    printer::showConfig(panel, this);
}

void frmTolvo::printSpecimen()
{
    // The picture is read once per run.
    if (picChèque->pixmap().isNull()) {
        const QImage picture(platform::applicationFile(QStringLiteral("Specimen.jpg")));
        if (picture.isNull()) {
            platform::messageBox(this, QStringLiteral("Impossible de charger le fichier Specimen.jpg."),
                                 platform::MsgIcon::None);
            return;
        }
        picChèque->setPixmap(QPixmap::fromImage(picture));
    }

    {
        frmMsgBox box(this);
        box.setMessage(QStringLiteral("Ceci imprimera un spécimen de chèque\r\n   sur l'imprimante: ") +
                       lblImprimante->text() + QStringLiteral("\r\n   ") + lblPaperBin->text() +
                       QStringLiteral("\r\n   ") + lblOrientation->text());
        box.setPictureType(3);
        box.setHelpButton(1006);
        box.setFormType(2);
        box.setButtonCaption(1, QStringLiteral("Imprimer"));
        platform::execDialog(box);
        // Only "Imprimer" prints: closing the box is no answer to print.
        if (box.Tag != QLatin1String("1"))
            return;
    }

    frmImpression *printing = frmImpression::ShowOver(this);
    platform::setMousePointer(11);

    // A step the printer refuses is skipped; only a page that never left the
    // program is reported.
    auto step = [](const std::function<void(platform::Printer &)> &action) {
        try {
            action(platform::printers().current());
        } catch (const platform::PrinterError &) {
        }
    };
    step([](platform::Printer &p) { p.setPaperSize(9); });
    step([this](platform::Printer &p) { p.setPaperBin(settings::toInt16(lblPaperBin->Tag)); });
    step([this](platform::Printer &p) { p.setOrientation(settings::toInt16(lblOrientation->Tag)); });
    step([](platform::Printer &p) { p.setScaleMode(6); });
    step([this](platform::Printer &p) {
        const cheque::FormCorner at = cheque::FormPlacement(p.Orientation(), lblPositionnement->Tag);
        p.PaintPicture(picChèque->pixmap().toImage(), at.x, at.y, cheque::formWidth, cheque::formHeight);
    });
    QString failure;
    QString file;
    try {
        platform::Printer &printer = platform::printers().current();
        printer.EndDoc();
        file = platform::writtenFile(printer);
    } catch (const platform::PrinterError &error) {
        failure = QString::fromStdString(error.what());
    }

    frmImpression::Unload(printing);
    platform::setMousePointer(0);
    if (!failure.isNull())
        cheque::ReportNotPrinted(this, QStringLiteral("Le spécimen n'a pas été imprimé."), failure);
    showWrittenFile(QStringLiteral("Spécimen"), file);
}

void frmTolvo::showWrittenFile(const QString &what, const QString &file)
{
    m_writtenFile = file;
    if (file.isEmpty())
        return;
    // A file in the home folder is named from it, as the user knows it.
    QString shown = QDir::toNativeSeparators(file);
    const QString home = QDir::homePath() + u'/';
    if (file.startsWith(home))
        shown = QStringLiteral("~/") + file.mid(home.size());
    lblFichier->setText(what + QStringLiteral(" enregistré dans ") + shown);
    pnlFichier->setVisible(true);
}

void frmTolvo::clearWrittenFile()
{
    m_writtenFile.clear();
    lblFichier->clear();
    pnlFichier->setVisible(false);
}

void frmTolvo::cmdOuvrir_Click()
{
    mShellExecute::ShellOpen(m_writtenFile, QStringLiteral("open"), QString(), QString(), 1, this, true);
}

void frmTolvo::mnuRegistre_Click()
{
    clearWrittenFile();
    // A cheque printed again from the register goes through the printer panel, as F5.
    showRegister(this, [this] {
        return registre::PrintSettings{chequeInput(QString(), QString()), lblImprimante->text()};
    });
    showChequebook();
}

void frmTolvo::mnuÀImprimer_Click()
{
    clearWrittenFile();
    // The queue prints as F5 does, with what the window holds when it prints.
    showQueue(this, [this] {
        return registre::PrintSettings{chequeInput(QString(), QString()), lblImprimante->text(),
                                       lblPaperBin->text(), lblOrientation->text(), txtDate->text()};
    });
    showChequebook();
}

void frmTolvo::mnuCarnets_Click()
{
    clearWrittenFile();
    showChequebooks(this);
    showChequebook();
}

void frmTolvo::showChequebook()
{
    lblCarnet->setText(registre::chequebookLine());
}

void frmTolvo::mnuAperçu_Click()
{
    clearWrittenFile();
    // The same checks as printing, on copies: the fields and lists stay as they are.
    const QString amount = mAmount::NormaliseAmount(cboMontant->currentText());
    const cheque::CheckResult check = cheque::CheckCheque(amount, txtDate->text());
    if (!check.ok()) {
        platform::messageBox(this, check.message, check.icon);
        (check.focus == cheque::ChequeField::Date ? static_cast<QWidget *>(txtDate) : cboMontant)->setFocus();
        return;
    }
    frmAperçu preview(chequeInput(amount, check.date), this);
    preview.exec();
}

void frmTolvo::mnuÉtalonnage_Click()
{
    clearWrittenFile();
    calibrate(HorAjust, VerAjust);
}

std::optional<std::pair<qint16, qint16>> frmTolvo::calibrate(qint16 hor, qint16 ver)
{
    cheque::CalibrationRequest request{chequeInput(QString(), QString()), lblImprimante->text(),
                                       lblPaperBin->text(), lblOrientation->text()};
    request.input.HorAjust = hor;
    request.input.VerAjust = ver;
    const auto saved = cheque::Calibrate(this, request);
    if (!saved)
        return std::nullopt;
    HorAjust = saved->HorAjust;
    VerAjust = saved->VerAjust;
    return std::pair(HorAjust, VerAjust);
}

cheque::ChequeInput frmTolvo::chequeInput(const QString &amount, const QString &date) const
{
    cheque::ChequeInput input;
    input.amount = amount;
    input.beneficiary = cboBénéficiaire->currentText();
    input.date = date;
    input.stars = chkEtoiles->isChecked();
    input.paperBinTag = lblPaperBin->Tag;
    input.orientationTag = lblOrientation->Tag;
    input.positionnementTag = lblPositionnement->Tag;
    input.HorAjust = HorAjust;
    input.VerAjust = VerAjust;
    input.sFont = sFont;
    return input;
}

void frmTolvo::cmdImprime_Click()
{
    clearWrittenFile();
    // F5 pressed in the amount box leaves it without validation: normalise the
    // amount here so that "0" is refused and "12,345" prints as 12,35. The list
    // rule does not run.
    const QString amount = mAmount::NormaliseAmount(cboMontant->currentText());
    if (amount != cboMontant->currentText())
        cboMontant->setEditText(amount);

    const cheque::CheckResult check = cheque::CheckCheque(amount, txtDate->text());
    if (!check.ok()) {
        platform::messageBox(this, check.message, check.icon);
        (check.focus == cheque::ChequeField::Date ? static_cast<QWidget *>(txtDate) : cboMontant)->setFocus();
        return;
    }
    txtDate->setText(check.date);

    // Nothing is printed that the register cannot take, with the number of its leaf.
    registre::Register reg;
    std::optional<registre::Chequebook> chequebook;
    if (!registre::readyToRecord(this, reg, chequebook)) {
        showChequebook();
        return;
    }

    frmImpression *printing = frmImpression::ShowOver(this);
    platform::setMousePointer(11);

    const cheque::ChequeInput input = chequeInput(amount, check.date);
    const cheque::PrintReport report = cheque::PrintCheque(input);
    registre::Recorded recorded;
    if (report.handedOver) {
        registre::Entry entry =
            registre::entryFor(input, lblImprimante->text(), report.file, QDateTime::currentDateTime(),
                               chequebook ? chequebook->uid : QString());
        if (chequebook)
            entry.leaf = chequebook->numberText(chequebook->next);
        registre::recordPrinted(this, reg, entry, &recorded);
    }
    showChequebook();

    // A cheque that never left the program keeps its fields, to be printed again.
    const bool handedOver = report.notHandedOver.isEmpty();
    if (handedOver) {
        cboMontant->setEditText(sDefault);
        cboBénéficiaire->setEditText(sDefaultBeneficiaire);
    }
    // The printing window had the activation; give it back before placing the focus.
    frmImpression::Unload(printing);
    activateWindow();
    cboMontant->setFocus();
    platform::setMousePointer(0);
    if (!handedOver)
        cheque::ReportNotPrinted(this, QStringLiteral("Le chèque n'a pas été imprimé."),
                                 report.notHandedOver);
    else
        showWrittenFile(QStringLiteral("Chèque"), report.file);
    if (chequebook)
        registre::tellLeavesLeft(this, chequebook->uid, recorded);
}
