#include "cheque/frmImpression.h"

#include "platform/forms/Forms.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

frmImpression::frmImpression(QWidget *owner)
    : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(QStringLiteral("Impression en cours..."));
    setFixedSize(platform::twips(4230), platform::twips(615));
    lblImpression = new QLabel(QStringLiteral("Impression en cours..."), this);
    platform::setTwipsGeometry(lblImpression, 120, 120, 4095, 375);
}

static void centreOn(QWidget *window, const QWidget *owner)
{
    QRect frame = window->frameGeometry();
    frame.moveCenter(owner->window()->frameGeometry().center());
    window->move(frame.topLeft());
}

static void showCentred(frmImpression *window, QWidget *owner)
{
    if (owner)
        centreOn(window, owner);
    window->show();
    // The frame is known once shown; the job that follows gives no chance to paint
    // later, so paint now, without handling any user input.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
    if (owner)
        centreOn(window, owner);
    window->repaint();
}

frmImpression *frmImpression::ShowOver(QWidget *owner)
{
    auto *window = new frmImpression(owner);
    showCentred(window, owner);
    return window;
}

frmImpression *frmImpression::ShowBatch(QWidget *owner, int count)
{
    auto *window = new frmImpression(owner);
    window->m_count = count;
    window->setFixedSize(platform::twips(4230), platform::twips(1575));
    window->prgImpression = new QProgressBar(window);
    window->prgImpression->setRange(0, count);
    window->prgImpression->setTextVisible(false);
    platform::setTwipsGeometry(window->prgImpression, 120, 540, 3975, 255);
    window->cmdArrêter = new QPushButton(QStringLiteral("&Arrêter après ce chèque"), window);
    platform::setTwipsGeometry(window->cmdArrêter, 1080, 1020, 2055, 375);
    window->cmdArrêter->setAutoDefault(true); // Enter presses it, as in a dialog
    connect(window->cmdArrêter, &QPushButton::clicked, window, [window] {
        window->m_stop = true;
        window->cmdArrêter->setEnabled(false);
        window->lblImpression->setText(window->lblImpression->text() +
                                       QStringLiteral(" : arrêt après celui-ci"));
    });
    window->setWindowModality(Qt::ApplicationModal);
    showCentred(window, owner);
    window->cmdArrêter->setFocus();
    return window;
}

bool frmImpression::StartCheque(int current)
{
    // The stop button is pressed while a cheque prints; it is seen here, between two.
    QCoreApplication::processEvents();
    if (m_stop)
        return false;
    lblImpression->setText(QStringLiteral("Chèque %1 sur %2").arg(current).arg(m_count));
    prgImpression->setValue(current - 1);
    repaint();
    return true;
}

void frmImpression::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && cmdArrêter && cmdArrêter->isEnabled())
        cmdArrêter->click();
    else
        QWidget::keyPressEvent(event);
}

void frmImpression::closeEvent(QCloseEvent *event)
{
    // Closed by the window manager in a batch: the same as the stop button.
    if (cmdArrêter && cmdArrêter->isEnabled()) {
        cmdArrêter->click();
        event->ignore();
    }
}

void frmImpression::Unload(frmImpression *window)
{
    if (!window)
        return;
    window->cmdArrêter = nullptr;
    window->close();
    delete window;
}
