#include "printer/frmConfig.h"

#include "dialogs/frmMsgBox.h"
#include "platform/forms/MessageBox.h"
#include "platform/help/HelpContext.h"
#include "platform/print/Printer.h"
#include "printer/Capabilities.h"
#include "printer/cPrintDlg.h"
#include "settings/CINIFile.h"
#include "settings/Settings.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

using platform::setTwipsGeometry;

namespace printer {

namespace {

// Makes current the first installed printer called `name`; a name cut short by the
// setup dialog's 32 characters still finds its printer. Without a match the
// current printer stays.
void makeCurrent(const QString &name, bool allowCut)
{
    try {
        platform::Printers &printers = platform::printers();
        const int n = printers.count();
        for (int i = 0; i < n; ++i) {
            if (printers.at(i).DeviceName() == name) {
                printers.setCurrent(i);
                return;
            }
        }
        if (!allowCut || name.size() < 32)
            return;
        for (int i = 0; i < n; ++i) {
            if (printers.at(i).DeviceName().startsWith(name)) {
                printers.setCurrent(i);
                return;
            }
        }
    } catch (const platform::PrinterError &) {
    }
}

} // namespace

frmConfig::frmConfig(const PrinterPanel &panel, QWidget *owner) : QDialog(owner), m_panel(panel)
{
    setWindowTitle(QStringLiteral("Configurer l'impression"));
    setFont(platform::uiFont());
    platform::setHelpContextID(this, 1002);
    setFixedSize(platform::twips(4680), platform::twips(3075));

    optChoix[0] =
        new platform::WrapRadioButton(QStringLiteral("Je veux utiliser l'imprimante ci-dessous avec la "
                                                     "configuration enregistrée (ou celle par défaut)."),
                                      this);
    cboImprimantes = new QComboBox(this);
    optChoix[1] = new platform::WrapRadioButton(
        QStringLiteral("Je veux (re)configurer une imprimante (et enregistrer cette configuration)."), this);
    cmdAction[0] = new QPushButton(QStringLiteral("&OK"), this);
    cmdAction[1] = new QPushButton(QStringLiteral("&Annuler"), this);
    lblAide = new QLabel(QStringLiteral("Tapez F1 pour de l'aide."), this);

    setTwipsGeometry(optChoix[0], 120, 120, 4335, 615);
    setTwipsGeometry(cboImprimantes, 600, 840, 3615, 315);
    setTwipsGeometry(optChoix[1], 120, 1560, 4335, 495);
    setTwipsGeometry(cmdAction[0], 720, 2400, 1335, 375);
    setTwipsGeometry(cmdAction[1], 2640, 2400, 1335, 375);
    setTwipsGeometry(lblAide, 0, 2880, 1935, 255);

    setTabOrder(optChoix[0], cboImprimantes);
    setTabOrder(cboImprimantes, optChoix[1]);
    setTabOrder(optChoix[1], cmdAction[0]);
    setTabOrder(cmdAction[0], cmdAction[1]);
    // Enter on the list or an option button does not confirm: only the button the
    // user is on.
    platform::pressFocusedButtonOnEnter(this);
    optChoix[0]->setChecked(true);
    optChoix[0]->setFocus();

    for (int i = 0; i < 2; ++i) {
        connect(optChoix[size_t(i)], &QRadioButton::clicked, this, [this, i] { optChoix_Click(i); });
        connect(cmdAction[size_t(i)], &QPushButton::clicked, this, [this, i] { cmdAction_Click(i); });
    }
    Form_Load();
}

void frmConfig::Form_Load()
{
    try {
        platform::Printers &printers = platform::printers();
        const int n = printers.count();
        for (int i = 0; i < n; ++i) {
            const QString name = printers.at(i).DeviceName();
            cboImprimantes->addItem(name);
            if (name == m_panel.lblImprimante->text())
                cboImprimantes->setCurrentIndex(i);
        }
    } catch (const platform::PrinterError &) {
    }
    if (cboImprimantes->findText(m_panel.lblImprimante->text(), Qt::MatchExactly | Qt::MatchCaseSensitive) <
        0)
        cboImprimantes->setCurrentIndex(-1);
}

void frmConfig::optChoix_Click(int Index)
{
    cboImprimantes->setEnabled(Index == 0);
}

void frmConfig::cmdAction_Click(int Index)
{
    if (Index == 0) {
        if (optChoix[0]->isChecked())
            useSavedConfiguration();
        else
            reconfigure();
    }
    done(Index == 0 ? QDialog::Accepted : QDialog::Rejected);
}

void frmConfig::showPositioning()
{
    if (settings::toInt16(m_panel.lblOrientation->Tag) == 1)
        m_panel.lblPositionnement->setText(portraitPositioningText);
    else
        m_panel.pcGetDeviceOrientationCap();
}

void frmConfig::useSavedConfiguration()
{
    using namespace settings;
    const QString name = cboImprimantes->currentIndex() >= 0 ? cboImprimantes->currentText() : QString();
    makeCurrent(name, false);

    CINIFile ini;
    ini.setFile(filePath());
    ini.setSection(name);
    m_panel.lblImprimante->setText(name);
    m_panel.lblPaperBin->Tag = ini.Value(key::PaperBin);
    if (m_panel.lblPaperBin->Tag.isEmpty())
        m_panel.lblPaperBin->Tag = value::PaperBin;
    m_panel.lblPaperBin->setText(GetPaperBin(toInt16(m_panel.lblPaperBin->Tag)));
    m_panel.lblOrientation->Tag = ini.Value(key::Orientation);
    if (m_panel.lblOrientation->Tag.isEmpty())
        m_panel.lblOrientation->Tag = value::Orientation;
    m_panel.lblOrientation->setText(orientationCaption(toInt16(m_panel.lblOrientation->Tag)));
    *m_panel.HorAjust = toInt16(ini.Value(key::HorAjust));
    *m_panel.VerAjust = toInt16(ini.Value(key::VerAjust));
    showPositioning();

    ini.setSection(section::Défaut);
    ini.setValue(key::Imprimante, name);
}

void frmConfig::reconfigure()
{
    using namespace settings;
    {
        frmMsgBox box(this);
        box.setPictureType(3);
        box.setFormType(2);
        box.setMessage(
            QStringLiteral("Dans la fenêtre qui va suivre, choisissez l'imprimante à configurer, le bac "
                           "d'alimentation et l'orientation (Portrait ou Paysage) à utiliser."));
        platform::execDialog(box);
        if (box.Tag == QLatin1String("2") || box.Tag.isEmpty())
            return;
    }

    cPrintDlg dialog;
    if (!dialog.ShowSetup())
        return;

    makeCurrent(dialog.PrinterName(), true);
    platform::Printer *printer = nullptr;
    try {
        printer = &platform::printers().current();
    } catch (const platform::PrinterError &) {
        return; // nothing installed: nothing to configure
    }
    // The printer keeps what it can; what it reports back is what is saved.
    try {
        printer->setPaperBin(dialog.DefaultSource());
    } catch (const platform::PrinterError &) {
    }
    try {
        printer->setOrientation(dialog.Orientation());
    } catch (const platform::PrinterError &) {
    }

    const QString name = printer->DeviceName();
    CINIFile ini;
    ini.setFile(filePath());
    ini.setSection(name);
    m_panel.lblImprimante->setText(name);

    qint16 bin = toInt16(value::PaperBin);
    try {
        bin = printer->PaperBin();
    } catch (const platform::PrinterError &) {
    }
    m_panel.lblPaperBin->Tag = QString::number(bin);
    ini.setValue(key::PaperBin, m_panel.lblPaperBin->Tag);
    m_panel.lblPaperBin->setText(GetPaperBin(bin));

    qint16 orientation = toInt16(value::Orientation);
    try {
        orientation = printer->Orientation();
    } catch (const platform::PrinterError &) {
    }
    m_panel.lblOrientation->Tag = QString::number(orientation);
    ini.setValue(key::Orientation, m_panel.lblOrientation->Tag);
    m_panel.lblOrientation->setText(orientationCaption(orientation));

    *m_panel.HorAjust = toInt16(ini.Value(key::HorAjust));
    *m_panel.VerAjust = toInt16(ini.Value(key::VerAjust));
    showPositioning();

    ini.setSection(section::Défaut);
    ini.setValue(key::Imprimante, name);
}

void showConfig(const PrinterPanel &panel, QWidget *owner)
{
    frmConfig dialog(panel, owner);
    platform::execDialog(dialog);
}

} // namespace printer
