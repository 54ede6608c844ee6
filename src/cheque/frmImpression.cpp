#include "cheque/frmImpression.h"

#include "platform/forms/Forms.h"

#include <QCoreApplication>
#include <QLabel>

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

frmImpression *frmImpression::ShowOver(QWidget *owner)
{
    auto *window = new frmImpression(owner);
    if (owner)
        centreOn(window, owner);
    window->show();
    // The frame is known once shown; the job that follows gives no chance to paint
    // later, so paint now, without handling any user input.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
    if (owner)
        centreOn(window, owner);
    window->repaint();
    return window;
}

void frmImpression::Unload(frmImpression *window)
{
    if (!window)
        return;
    window->close();
    delete window;
}
