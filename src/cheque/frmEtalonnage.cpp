#include "cheque/frmEtalonnage.h"

#include "cheque/frmImpression.h"
#include "platform/forms/Forms.h"
#include "platform/forms/MessageBox.h"
#include "platform/help/HelpContext.h"
#include "settings/CINIFile.h"
#include "settings/Settings.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace cheque {

std::optional<Adjustments> Calibrate(QWidget *parent, const CalibrationRequest &request)
{
    const QString panel = request.printer + QStringLiteral(", ") + request.paperBin + QStringLiteral(", ") +
                          request.orientation;
    const QString question =
        QStringLiteral("Ceci imprimera une feuille d'étalonnage\r\n   sur l'imprimante: ") + request.printer +
        QStringLiteral("\r\n   ") + request.paperBin + QStringLiteral("\r\n   ") + request.orientation +
        QStringLiteral("\r\n\r\nPosez une feuille blanche, ou une formule de chèque, comme pour un chèque.");
    if (platform::messageBox(parent, question, platform::MsgIcon::Information,
                             QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return std::nullopt;

    frmImpression *printing = frmImpression::ShowOver(parent);
    platform::setMousePointer(11);
    const PrintReport report =
        PrintCalibrationSheet(request.input, QStringLiteral("Imprimante : ") + panel + QLatin1Char('.'));
    frmImpression::Unload(printing);
    platform::setMousePointer(0);
    if (!report.handedOver) {
        ReportNotPrinted(
            parent, QStringLiteral("La feuille d'étalonnage n'a pas été imprimée."),
            report.notHandedOver.isEmpty()
                ? QStringLiteral("L'imprimante %1 n'a rien accepté de la page.").arg(request.printer)
                : report.notHandedOver);
        return std::nullopt;
    }

    const QString printed =
        report.file.isEmpty()
            ? QStringLiteral("La feuille d'étalonnage a été imprimée sur « %1 ».").arg(request.printer)
            : QStringLiteral("La feuille d'étalonnage a été enregistrée dans le fichier %1 : imprimez-la en "
                             "taille réelle, sans mise à l'échelle.")
                  .arg(report.file);
    frmÉtalonnage dialog(parent, request.printer, {request.input.HorAjust, request.input.VerAjust}, printed);
    platform::execDialog(dialog);
    return dialog.saved;
}

} // namespace cheque

namespace {

QLineEdit *numberBox(QWidget *parent, const QString &pattern)
{
    auto *box = new QLineEdit(parent);
    box->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), box));
    box->setMaximumWidth(platform::twips(855));
    box->setAlignment(Qt::AlignRight);
    return box;
}

QLabel *wrapped(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

} // namespace

frmÉtalonnage::frmÉtalonnage(QWidget *parent, const QString &printer, cheque::Adjustments current,
                             const QString &printed)
    : QDialog(parent), m_printer(printer), m_current(current)
{
    setWindowTitle(QStringLiteral("Étalonnage"));
    setFont(platform::uiFont());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    platform::setHelpContextID(this, 1009);

    lblFeuille = wrapped(printed, this);
    QLabel *lblConsigne =
        wrapped(QStringLiteral(
                    "Posez-la sur une formule de chèque, devant une fenêtre, ou imprimez-la sur une formule. "
                    "Lisez sur les règles de combien de millimètres il faut déplacer l'impression pour que "
                    "les croix tombent sur les lignes de la formule :"),
                this);

    // Whole millimetres with a sign; a measured bar with up to two decimals.
    const QString offset = QStringLiteral("[-+]?\\d{0,3}"),
                  length = QStringLiteral("\\d{0,3}([,.]\\d{0,2})?");
    auto *grid = new QGridLayout;
    const QString captions[] = {QStringLiteral("Vers la &droite :"), QStringLiteral("Vers le &bas :")};
    const QString units[] = {QStringLiteral("mm (un nombre négatif : vers la gauche)"),
                             QStringLiteral("mm (un nombre négatif : vers le haut)")};
    for (int i = 0; i < 2; ++i) {
        txtDécalage[size_t(i)] = numberBox(this, offset);
        auto *caption = new QLabel(captions[i], this);
        caption->setBuddy(txtDécalage[size_t(i)]);
        grid->addWidget(caption, i, 0);
        grid->addWidget(txtDécalage[size_t(i)], i, 1);
        grid->addWidget(new QLabel(units[i], this), i, 2);
    }

    auto *fraBarres = new QGroupBox(
        QStringLiteral("Facultatif : ce que mesurent les barres « doit mesurer 100 mm »"), this);
    auto *bars = new QGridLayout(fraBarres);
    const QString barCaptions[] = {QStringLiteral("Barre &horizontale :"),
                                   QStringLiteral("Barre &verticale :")};
    for (int i = 0; i < 2; ++i) {
        txtBarre[size_t(i)] = numberBox(fraBarres, length);
        auto *caption = new QLabel(barCaptions[i], fraBarres);
        caption->setBuddy(txtBarre[size_t(i)]);
        bars->addWidget(caption, i, 0);
        bars->addWidget(txtBarre[size_t(i)], i, 1);
        bars->addWidget(new QLabel(QStringLiteral("mm"), fraBarres), i, 2);
    }
    bars->setColumnStretch(2, 1);

    lblActuel = wrapped(QStringLiteral("Ajustements actuels pour « %1 » : horizontal %2 mm, vertical %3 mm.")
                            .arg(printer)
                            .arg(current.HorAjust)
                            .arg(current.VerAjust),
                        this);

    cmdAction[0] = new QPushButton(QStringLiteral("&OK"), this);
    cmdAction[1] = new QPushButton(QStringLiteral("&Annuler"), this);
    cmdAction[0]->setDefault(true);
    for (int i = 0; i < 2; ++i)
        connect(cmdAction[size_t(i)], &QPushButton::clicked, this, [this, i] { cmdAction_Click(i); });

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdAction[0]);
    buttons->addWidget(cmdAction[1]);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblFeuille);
    layout->addWidget(lblConsigne);
    layout->addLayout(grid);
    layout->addWidget(fraBarres);
    layout->addWidget(lblActuel);
    layout->addLayout(buttons);
    setFixedWidth(platform::twips(6600));
    txtDécalage[0]->setFocus();
}

std::optional<cheque::SheetReading> frmÉtalonnage::reading()
{
    cheque::SheetReading r;
    // The validators let only a sign and digits through: a lone sign counts as 0.
    r.right = txtDécalage[0]->text().toInt();
    r.down = txtDécalage[1]->text().toInt();
    for (int i = 0; i < 2; ++i) {
        const QString text = txtBarre[size_t(i)]->text();
        if (text.isEmpty())
            continue;
        bool ok = false;
        const double mm = QString(text).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
        if (!ok || !(mm > 0)) {
            platform::messageBox(
                this,
                QStringLiteral("Indiquez la longueur mesurée de la barre en millimètres, par "
                               "exemple 99,5, ou laissez la case vide."),
                platform::MsgIcon::Exclamation);
            txtBarre[size_t(i)]->setFocus();
            txtBarre[size_t(i)]->selectAll();
            return std::nullopt;
        }
        (i == 0 ? r.horizontalBar : r.verticalBar) = mm;
    }
    return r;
}

void frmÉtalonnage::cmdAction_Click(int Index)
{
    if (Index != 0) {
        reject();
        return;
    }
    const auto read = reading();
    if (!read)
        return;
    // A scaled page moves everything by amounts no adjustment can follow: the
    // scaling has to go first, so nothing is saved.
    const QString scaled = cheque::ScalingReport(*read);
    if (!scaled.isEmpty()) {
        platform::messageBox(this, scaled, platform::MsgIcon::Exclamation);
        QLineEdit *bar = read->horizontalBar && qAbs(*read->horizontalBar - cheque::barLength) > 1
                             ? txtBarre[0]
                             : txtBarre[1];
        bar->setFocus();
        bar->selectAll();
        return;
    }
    const auto next = cheque::Calibrated(m_current, *read);
    if (!next) {
        platform::messageBox(this, settings::ajustRangeMessage(), platform::MsgIcon::Exclamation);
        txtDécalage[0]->setFocus();
        txtDécalage[0]->selectAll();
        return;
    }
    {
        CINIFile ini;
        ini.setFile(settings::filePath());
        ini.setSection(m_printer);
        ini.setValue(settings::key::HorAjust, next->HorAjust);
        ini.setValue(settings::key::VerAjust, next->VerAjust);
    }
    saved = next;
    platform::messageBox(this,
                         QStringLiteral("Nouveaux ajustements pour l'imprimante « %1 » : horizontal %2 mm, "
                                        "vertical %3 mm.")
                             .arg(m_printer)
                             .arg(next->HorAjust)
                             .arg(next->VerAjust),
                         platform::MsgIcon::Information);
    accept();
}
