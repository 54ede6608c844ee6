#pragma once
// The small window "Impression en cours..." shown while a cheque prints. The job
// keeps the window thread busy, so the window is painted as soon as it is shown.
// For a batch of cheques it also shows which cheque prints, and lets the user stop
// after it.

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

class frmImpression : public QWidget {
    Q_OBJECT
public:
    explicit frmImpression(QWidget *owner);

    QLabel *lblImpression;
    // A batch only.
    QProgressBar *prgImpression = nullptr;
    QPushButton *cmdArrêter = nullptr;

    // Shows a new printing window, not modal, centred on its owner, painted now.
    static frmImpression *ShowOver(QWidget *owner);
    // The same for a batch of `count` cheques, with its progress and its stop
    // button. It is modal: what the user does between two cheques reaches it alone.
    static frmImpression *ShowBatch(QWidget *owner, int count);
    // Shows "Chèque 7 sur 20" for the cheque about to print, painted now, after
    // handling what the user did meanwhile. False once the user asked to stop.
    bool StartCheque(int current);
    // Closes and destroys the window; null is allowed.
    static void Unload(frmImpression *window);

protected:
    // Escape and the window's close box stop a batch, as its button does.
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    int m_count = 0;
    bool m_stop = false;
};
