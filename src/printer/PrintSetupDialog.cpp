#include "printer/PrintSetupDialog.h"

#include "platform/forms/Forms.h"
#include "platform/forms/MessageBox.h"
#include "printer/Capabilities.h"
#include "printer/cPrintDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cstring>

namespace printer {

namespace {
constexpr qint16 automaticBin = 7;
} // namespace

QString paperSourceName(const platform::PaperSource &source)
{
    static const QString defaultBinName = GetPaperBin(automaticBin);
    const QString name = GetPaperBin(source.code);
    if (name == defaultBinName && source.code != automaticBin && !source.name.isEmpty())
        return source.name;
    return name;
}

PrintSetupDialog::PrintSetupDialog(bool setupOnly, QWidget *owner) : QDialog(owner)
{
    setWindowTitle(setupOnly ? QStringLiteral("Configuration de l'impression") : QStringLiteral("Imprimer"));
    setFont(platform::uiFont());
    setModal(true);
    auto *layout = new QVBoxLayout(this);

    auto *fraImprimante = new QGroupBox(QStringLiteral("Imprimante"), this);
    auto *form = new QFormLayout(fraImprimante);
    cboImprimante = new QComboBox(fraImprimante);
    platform::Printers &printers = platform::printers();
    for (int i = 0; i < printers.count(); ++i)
        cboImprimante->addItem(printers.at(i).DeviceName());
    form->addRow(QStringLiteral("&Nom :"), cboImprimante);
    cboSource = new QComboBox(fraImprimante);
    form->addRow(QStringLiteral("&Source du papier :"), cboSource);
    layout->addWidget(fraImprimante);

    auto *fraOrientation = new QGroupBox(QStringLiteral("Orientation"), this);
    auto *row = new QHBoxLayout(fraOrientation);
    optPortrait = new QRadioButton(QStringLiteral("P&ortrait"), fraOrientation);
    optPaysage = new QRadioButton(QStringLiteral("P&aysage"), fraOrientation);
    row->addWidget(optPortrait);
    row->addWidget(optPaysage);
    row->addStretch();
    layout->addWidget(fraOrientation);

    if (!setupOnly) {
        auto *fraPages = new QGroupBox(QStringLiteral("Pages à imprimer"), this);
        auto *pages = new QVBoxLayout(fraPages);
        optTout = new QRadioButton(QStringLiteral("&Tout"), fraPages);
        optSelection = new QRadioButton(QStringLiteral("S&élection"), fraPages);
        auto *range = new QHBoxLayout;
        optPages = new QRadioButton(QStringLiteral("&Pages de"), fraPages);
        spnFrom = new QSpinBox(fraPages);
        spnTo = new QSpinBox(fraPages);
        range->addWidget(optPages);
        range->addWidget(spnFrom);
        range->addWidget(new QLabel(QStringLiteral("à"), fraPages));
        range->addWidget(spnTo);
        range->addStretch();
        pages->addWidget(optTout);
        pages->addLayout(range);
        pages->addWidget(optSelection);
        layout->addWidget(fraPages);

        auto *fraCopies = new QGroupBox(QStringLiteral("Copies"), this);
        auto *copies = new QFormLayout(fraCopies);
        spnCopies = new QSpinBox(fraCopies);
        spnCopies->setRange(1, 9999);
        copies->addRow(QStringLiteral("&Nombre de copies :"), spnCopies);
        chkCollate = new QCheckBox(QStringLiteral("Copies &assemblées"), fraCopies);
        copies->addRow(chkCollate);
        layout->addWidget(fraCopies);

        chkFichier = new QCheckBox(QStringLiteral("Imprimer dans un &fichier"), this);
        layout->addWidget(chkFichier);
    }

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("Annuler"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    cboImprimante->setMinimumWidth(260);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(cboImprimante, &QComboBox::activated, this, [this] { fillSources(std::nullopt); });
}

void PrintSetupDialog::choosePrinter(int index, std::optional<qint16> bin)
{
    cboImprimante->setCurrentIndex(index);
    fillSources(bin);
}

void PrintSetupDialog::fillSources(std::optional<qint16> bin)
{
    cboSource->clear();
    QList<platform::PaperSource> sources;
    try {
        platform::Printer &printer = platform::printers().at(cboImprimante->currentIndex());
        sources = printer.PaperSources();
        if (!bin)
            bin = printer.PaperBin();
    } catch (const platform::PrinterError &) {
    }
    // A printer that tells nothing of its trays still has the one it feeds from.
    if (sources.isEmpty())
        sources = {{automaticBin, QString()}};
    for (const platform::PaperSource &source : sources) {
        cboSource->addItem(paperSourceName(source), int(source.code));
        if (bin && source.code == *bin)
            cboSource->setCurrentIndex(cboSource->count() - 1);
    }
}

int PrintSetupDialog::printerIndex() const
{
    return cboImprimante->currentIndex();
}

qint16 PrintSetupDialog::paperBin() const
{
    return qint16(cboSource->currentData().toInt());
}

qint16 PrintSetupDialog::orientation() const
{
    return optPortrait->isChecked() ? 1 : 2;
}

void PrintSetupDialog::setOrientation(qint16 code)
{
    (code == 1 ? optPortrait : optPaysage)->setChecked(true);
}

namespace {

int findPrinter(platform::Printers &printers, const QString &name)
{
    for (int i = 0; i < printers.count(); ++i)
        if (printers.at(i).DeviceName() == name)
            return i;
    return -1;
}

DevMode devModeOf(const QByteArray &block)
{
    DevMode dm{};
    if (block.size() >= qsizetype(sizeof dm))
        std::memcpy(&dm, block.constData(), sizeof dm);
    return dm;
}

void setDeviceName(DevMode &dm, const QString &name)
{
    const QByteArray bytes = devNamesBlock(name).mid(17, sizeof dm.dmDeviceName);
    std::memset(dm.dmDeviceName, 0, sizeof dm.dmDeviceName);
    const qsizetype end = bytes.indexOf('\0');
    std::memcpy(dm.dmDeviceName, bytes.constData(), size_t(end < 0 ? bytes.size() : end));
}

QByteArray bytesOf(const DevMode &dm)
{
    return QByteArray(reinterpret_cast<const char *>(&dm), sizeof dm);
}

bool fillDefault(PrintDlgRecord &record, platform::Printers &printers)
{
    platform::Printer &printer = printers.current();
    DevMode dm{};
    setDeviceName(dm, printer.DeviceName());
    dm.dmSize = sizeof dm;
    dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_DEFAULTSOURCE;
    dm.dmPaperSize = 9;
    try {
        dm.dmOrientation = printer.Orientation();
        dm.dmDefaultSource = printer.PaperBin();
    } catch (const platform::PrinterError &) {
        dm.dmOrientation = 1;
        dm.dmDefaultSource = automaticBin;
    }
    record.hDevNames = devNamesBlock(printer.DeviceName());
    record.hDevMode = bytesOf(dm);
    return true;
}

} // namespace

bool runPrintDialog(PrintDlgRecord &record, qint32 &error)
{
    error = 0;
    platform::Printers &printers = platform::printers();
    try {
        if (printers.count() == 0) {
            error = PDERR_NODEVICES;
            return false;
        }
        if (record.Flags & PD_RETURNDEFAULT)
            return fillDefault(record, printers);
    } catch (const platform::PrinterError &) {
        error = PDERR_NODEFAULTPRN;
        return false;
    }

    DevMode dm = devModeOf(record.hDevMode);
    QString name = devNamesDevice(record.hDevNames);
    if (name.isEmpty())
        name =
            QString::fromLatin1(dm.dmDeviceName, qsizetype(strnlen(dm.dmDeviceName, sizeof dm.dmDeviceName)));
    int index = 0;
    if (!name.isEmpty()) {
        index = findPrinter(printers, name);
        if (index < 0) {
            error = PDERR_PRINTERNOTFOUND;
            return false;
        }
    }

    const bool setupOnly = record.Flags & PD_PRINTSETUP;
    const bool devModeCopies = record.Flags & PD_USEDEVMODECOPIESANDCOLLATE;
    PrintSetupDialog dialog(setupOnly, QApplication::activeWindow());
    dialog.choosePrinter(index,
                         dm.dmFields & DM_DEFAULTSOURCE ? std::optional(dm.dmDefaultSource) : std::nullopt);
    dialog.setOrientation(dm.dmFields & DM_ORIENTATION ? dm.dmOrientation : 1);
    if (!setupOnly) {
        dialog.spnCopies->setValue(devModeCopies ? dm.dmCopies : record.nCopies);
        dialog.chkCollate->setChecked((record.Flags & PD_COLLATE) || dm.dmCollate);
        const bool pageLimits = record.nMinPage > 0 && record.nMaxPage >= record.nMinPage;
        for (QSpinBox *box : {dialog.spnFrom, dialog.spnTo})
            box->setRange(pageLimits ? record.nMinPage : 1, pageLimits ? record.nMaxPage : 9999);
        dialog.spnFrom->setValue(record.nFromPage);
        dialog.spnTo->setValue(record.nToPage);
        dialog.optPages->setEnabled(!(record.Flags & PD_NOPAGENUMS));
        dialog.optSelection->setEnabled(!(record.Flags & PD_NOSELECTION));
        QRadioButton *range = (record.Flags & PD_SELECTION)  ? dialog.optSelection
                              : (record.Flags & PD_PAGENUMS) ? dialog.optPages
                                                             : dialog.optTout;
        range->setChecked(range->isEnabled());
        if (!dialog.optPages->isChecked() && !dialog.optSelection->isChecked())
            dialog.optTout->setChecked(true);
        dialog.chkFichier->setChecked(record.Flags & PD_PRINTTOFILE);
        dialog.chkFichier->setVisible(!(record.Flags & PD_DISABLEPRINTTOFILE));
    }

    if (platform::execDialog(dialog) != QDialog::Accepted)
        return false;

    const QString chosen = printers.at(dialog.printerIndex()).DeviceName();
    record.hDevNames = devNamesBlock(chosen);
    setDeviceName(dm, chosen);
    dm.dmSize = sizeof dm;
    dm.dmOrientation = dialog.orientation();
    dm.dmDefaultSource = dialog.paperBin();
    dm.dmFields |= DM_ORIENTATION | DM_DEFAULTSOURCE;
    if (!setupOnly) {
        const auto copies = qint16(dialog.spnCopies->value());
        const bool collate = dialog.chkCollate->isChecked();
        if (devModeCopies) {
            dm.dmCopies = copies;
            dm.dmCollate = collate ? 1 : 0;
            dm.dmFields |= DM_COPIES | DM_COLLATE;
            record.nCopies = 1;
        } else {
            record.nCopies = copies;
        }
        auto set = [&record](quint32 bit, bool on) {
            record.Flags = on ? record.Flags | bit : record.Flags & ~bit;
        };
        set(PD_COLLATE, !devModeCopies && collate);
        set(PD_PAGENUMS, dialog.optPages->isChecked());
        set(PD_SELECTION, dialog.optSelection->isChecked());
        set(PD_PRINTTOFILE, dialog.chkFichier->isChecked() && !(record.Flags & PD_DISABLEPRINTTOFILE));
        record.nFromPage = qint16(dialog.spnFrom->value());
        record.nToPage = qint16(dialog.spnTo->value());
    }
    record.hDevMode = bytesOf(dm);
    record.hDC = 0;
    return true;
}

} // namespace printer
