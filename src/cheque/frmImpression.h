#pragma once
// The small window "Impression en cours..." shown while a cheque prints. The job
// keeps the window thread busy, so the window is painted as soon as it is shown.

#include <QWidget>

class QLabel;

class frmImpression : public QWidget {
    Q_OBJECT
public:
    explicit frmImpression(QWidget *owner);

    QLabel *lblImpression;

    // Shows a new printing window, not modal, centred on its owner, painted now.
    static frmImpression *ShowOver(QWidget *owner);
    // Closes and destroys the window; null is allowed.
    static void Unload(frmImpression *window);
};
