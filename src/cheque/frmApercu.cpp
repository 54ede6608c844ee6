#include "cheque/frmApercu.h"

#include "platform/Application.h"
#include "platform/forms/Forms.h"
#include "platform/help/HelpContext.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

QImage specimenPicture()
{
    return QImage(platform::applicationFile(QStringLiteral("Specimen.jpg")));
}

frmAperçu::frmAperçu(const cheque::ChequeInput &input, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Aperçu du chèque"));
    setFont(platform::uiFont());
    platform::setHelpContextID(this, 1008);

    picAperçu = new QLabel(this);
    const double ratio = devicePixelRatioF();
    QPixmap picture = QPixmap::fromImage(cheque::PreviewCheque(input, specimenPicture(), scale * ratio));
    picture.setDevicePixelRatio(ratio);
    picAperçu->setPixmap(picture);
    lblNote = new QLabel(QStringLiteral("Police « %1 », ajustement horizontal %2 mm, vertical %3 mm.")
                             .arg(input.sFont)
                             .arg(input.HorAjust)
                             .arg(input.VerAjust),
                         this);
    cmdFermer = new QPushButton(QStringLiteral("&Fermer"), this);
    cmdFermer->setDefault(true);
    connect(cmdFermer, &QPushButton::clicked, this, &QDialog::close);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(lblNote, 1);
    bottom->addWidget(cmdFermer);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(picAperçu);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
