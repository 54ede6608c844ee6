#include "platform/help/HelpKey.h"

#include "platform/Application.h"
#include "platform/help/HelpContext.h"
#include "platform/help/HelpViewer.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>

namespace platform {

namespace {

class HelpKeyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier || !watched->isWidgetType())
            return false;
        if (key->isAutoRepeat())
            return true;
        const int id = helpContextForKey(QApplication::focusWidget(), QApplication::activePopupWidget());
        if (id == 0)
            return false;
        openHelp(QApplication::activeWindow(), helpFile(), HELP_CONTEXT, id);
        return true;
    }
};

QPointer<HelpKeyFilter> g_filter;

// From a widget up to its window, inclusive; a drop-down list counts as part of
// the control that opened it.
int fromWidget(QWidget *widget)
{
    for (QWidget *w = widget; w; w = w->parentWidget()) {
        if (const int id = helpContextID(w))
            return id;
        if (w->isWindow() && w->windowType() != Qt::Popup)
            break;
    }
    return 0;
}

} // namespace

int helpContextForKey(QWidget *focus, QWidget *menu)
{
    if (auto *open = qobject_cast<QMenu *>(menu)) {
        if (open->activeAction())
            if (const int id = helpContextID(open->activeAction()))
                return id;
        // Then the window the menu belongs to: up through the menus and the menu bar.
        QWidget *owner = open;
        while (owner && (owner->windowType() == Qt::Popup || qobject_cast<QMenu *>(owner)))
            owner = owner->parentWidget();
        if (owner) {
            QWidget *inside = owner->window()->focusWidget();
            return fromWidget(inside ? inside : owner);
        }
        return 0;
    }
    return fromWidget(focus);
}

void installHelpKey()
{
    if (!g_filter && qApp) {
        g_filter = new HelpKeyFilter(qApp);
        qApp->installEventFilter(g_filter);
    }
}

} // namespace platform
