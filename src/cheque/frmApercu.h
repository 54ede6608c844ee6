#pragma once
// The preview window: the cheque as it will print, drawn over the specimen form.

#include "cheque/ChequeJob.h"

#include <QDialog>

class QLabel;
class QPushButton;

class frmAperçu : public QDialog {
public:
    // Screen dots per millimetre of the picture.
    static constexpr double scale = 4.5;

    frmAperçu(const cheque::ChequeInput &input, QWidget *parent = nullptr);

    QLabel *picAperçu;
    QLabel *lblNote;
    QPushButton *cmdFermer;
};

// The specimen form from the application folder; null when it is missing.
QImage specimenPicture();
