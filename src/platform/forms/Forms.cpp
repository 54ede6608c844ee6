#include "platform/forms/Forms.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcutEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QPointer>
#include <QWidget>
#include <memory>

namespace platform {

void setTwipsGeometry(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(twips(left), twips(top), twips(width), twips(height));
}

QFont uiFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    return font;
}

// Draws a check box or option button whose caption wraps inside its width.
static void paintWrapped(QAbstractButton *button, QStyleOptionButton &option, QStyle::SubElement indicatorRect,
                         QStyle::PrimitiveElement indicatorShape)
{
    QStylePainter p(button);
    option.text.clear();
    const QRect indicator = button->style()->subElementRect(indicatorRect, &option, button);
    // The indicator, vertically centred like a single-line button's.
    option.rect = QRect(0, (button->height() - indicator.height()) / 2, indicator.width(), indicator.height());
    p.drawPrimitive(indicatorShape, option);
    const int left = indicator.width() + 4;
    const QRect textRect(left, 0, button->width() - left, button->height());
    p.drawItemText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextWordWrap | Qt::TextShowMnemonic,
                   button->palette(), button->isEnabled(), button->text());
    if (button->hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(button);
        focus.rect = p.boundingRect(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextWordWrap, button->text())
                         .adjusted(-1, 0, 1, 0);
        p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

void WrapCheckBox::paintEvent(QPaintEvent *)
{
    QStyleOptionButton option;
    initStyleOption(&option);
    paintWrapped(this, option, QStyle::SE_CheckBoxIndicator, QStyle::PE_IndicatorCheckBox);
}

void WrapRadioButton::paintEvent(QPaintEvent *)
{
    QStyleOptionButton option;
    initStyleOption(&option);
    paintWrapped(this, option, QStyle::SE_RadioButtonIndicator, QStyle::PE_IndicatorRadioButton);
}

int sortedPosition(const QComboBox *box, const QString &text)
{
    int i = 0;
    while (i < box->count() && QString::compare(box->itemText(i), text, Qt::CaseInsensitive) <= 0)
        ++i;
    return i;
}

QStringList comboEntries(const QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

bool filterKeyPress(QKeyEvent *event, QLineEdit *edit, const std::function<int(int)> &keyPress)
{
    if (event->matches(QKeySequence::Paste)) {
        pasteThroughFilter(edit, QGuiApplication::clipboard()->text(), keyPress);
        return true;
    }
    for (const auto shortcut : {QKeySequence::SelectAll, QKeySequence::Copy, QKeySequence::Cut,
                                QKeySequence::Undo, QKeySequence::Redo})
        if (event->matches(shortcut))
            return false;
    const QString text = event->text();
    if (text.isEmpty() || event->key() == Qt::Key_Delete || event->key() == Qt::Key_Tab ||
        event->key() == Qt::Key_Backtab)
        return false;
    const int typed = text.at(0).unicode();
    const int code = keyPress(typed);
    if (code == typed)
        return false;
    if (code != 0)
        edit->insert(QString(QChar(code)));
    return true;
}

bool pasteThroughFilter(QLineEdit *edit, const QString &text, const std::function<int(int)> &keyPress)
{
    // Longer than anything these fields take: typed one by one, it would also take
    // minutes (the field lays its whole text out again for each character).
    constexpr qsizetype kLongest = 64;
    const QString before = edit->text();
    const int cursor = edit->cursorPosition();
    const int selectionStart = edit->selectionStart();
    const int selectionLength = int(edit->selectedText().size());
    bool refused = text.size() > kLongest;
    if (!refused && edit->hasSelectedText())
        edit->del();
    for (qsizetype i = 0; i < text.size() && !refused; ++i) {
        const QChar c = text[i];
        if (c.isSpace())
            continue;
        const QString current = edit->text();
        const int code = c.category() == QChar::Other_Control ? 0 : keyPress(c.unicode());
        if (code == 0)
            refused = edit->text() == current; // unless the filter changed the text itself
        else
            edit->insert(QString(QChar(code)));
    }
    if (!refused)
        return true;
    edit->setText(before);
    if (selectionStart >= 0)
        edit->setSelection(selectionStart, selectionLength);
    else
        edit->setCursorPosition(cursor);
    QApplication::beep();
    return false;
}

namespace {
// The context menu of a filtered field, with its "Coller" through the filter.
class PasteFilter : public QObject {
public:
    PasteFilter(QLineEdit *edit, std::function<int(int)> keyPress)
        : QObject(edit), m_edit(edit), m_keyPress(std::move(keyPress))
    {
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::ContextMenu)
            return false;
        QMenu *menu = m_edit->createStandardContextMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        // The field's own menu names its paste as Qt's translation does.
        const QString paste = QCoreApplication::translate("QLineEdit", "&Paste");
        for (QAction *action : menu->actions()) {
            if (action->text().section(u'\t', 0, 0) != paste)
                continue;
            QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
            QObject::connect(action, &QAction::triggered, m_edit, [edit = m_edit, keyPress = m_keyPress] {
                pasteThroughFilter(edit, QGuiApplication::clipboard()->text(), keyPress);
            });
        }
        menu->popup(static_cast<QContextMenuEvent *>(event)->globalPos());
        return true;
    }

private:
    QLineEdit *m_edit;
    std::function<int(int)> m_keyPress;
};
} // namespace

void filterPastes(QLineEdit *edit, std::function<int(int)> keyPress)
{
    edit->setAcceptDrops(false);
    edit->installEventFilter(new PasteFilter(edit, std::move(keyPress)));
}

static bool within(const QWidget *control, const QWidget *w)
{
    return w && (w == control || control->isAncestorOf(w));
}

static bool isMenu(const QWidget *w)
{
    return qobject_cast<const QMenuBar *>(w) || qobject_cast<const QMenu *>(w);
}

namespace {
// A button pressed without a click (its access key, or a dialog's default button by
// Enter in a text box) takes the focus first, as a click does, so that the box
// being left is validated before the button acts.
class FocusBeforePress : public QObject {
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Shortcut) {
            auto *button = qobject_cast<QAbstractButton *>(watched);
            if (button && button->isEnabled() && button->focusPolicy() != Qt::NoFocus &&
                !static_cast<QShortcutEvent *>(event)->isAmbiguous())
                button->setFocus(Qt::ShortcutFocusReason);
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            auto *edit = qobject_cast<QLineEdit *>(watched);
            if ((key != Qt::Key_Return && key != Qt::Key_Enter) || !edit ||
                edit != QApplication::focusWidget())
                return false;
            auto *dialog = qobject_cast<QDialog *>(edit->window());
            if (!dialog)
                return false;
            for (QPushButton *button : dialog->findChildren<QPushButton *>())
                if (button->isDefault() && button->isVisible() && button->isEnabled()) {
                    button->setFocus(Qt::OtherFocusReason);
                    break;
                }
        }
        return false;
    }
};
} // namespace

void onValidate(QWidget *control, std::function<void()> handler)
{
    static FocusBeforePress *pressFilter = nullptr;
    if (!pressFilter) {
        pressFilter = new FocusBeforePress;
        pressFilter->setParent(qApp);
        qApp->installEventFilter(pressFilter);
    }
    QPointer<QWidget> guard(control);
    // The menu bar and its menus take the focus while in use (Alt, F10): that is not
    // leaving the control, so the validation waits for where the focus goes next.
    auto viaMenus = std::make_shared<bool>(false);
    QObject::connect(qApp, &QApplication::focusChanged, control,
                     [guard, viaMenus, handler = std::move(handler)](QWidget *old, QWidget *now) {
                         if (!guard || !now)
                             return;
                         if (isMenu(now)) {
                             if (within(guard, old))
                                 *viaMenus = true;
                             return;
                         }
                         const bool left = within(guard, old) || (*viaMenus && isMenu(old));
                         if (now->window() != guard->window())
                             return;
                         *viaMenus = false;
                         if (!left || within(guard, now))
                             return;
                         handler();
                     });
}

namespace {
class KeyPreview : public QObject {
public:
    KeyPreview(QWidget *window, std::function<bool(QKeyEvent *)> handler)
        : QObject(window), m_window(window), m_handler(std::move(handler))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        auto *w = static_cast<QWidget *>(watched);
        // Each key press is offered once, to the widget that has it first.
        if (w->window() != m_window || w != QApplication::focusWidget())
            return false;
        return m_handler(static_cast<QKeyEvent *>(event));
    }

private:
    QWidget *m_window;
    std::function<bool(QKeyEvent *)> m_handler;
};
int g_pointer = 0;
} // namespace

void installKeyPreview(QWidget *window, std::function<bool(QKeyEvent *)> handler)
{
    qApp->installEventFilter(new KeyPreview(window, std::move(handler)));
}

namespace {
class EnterOnFocusedButton : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        auto *dialog = static_cast<QWidget *>(watched);
        if (auto *button = qobject_cast<QPushButton *>(QApplication::focusWidget());
            button && dialog->isAncestorOf(button))
            button->click();
        return true;
    }
};
} // namespace

void pressFocusedButtonOnEnter(QDialog *dialog)
{
    for (QPushButton *button : dialog->findChildren<QPushButton *>()) {
        button->setDefault(false);
        button->setAutoDefault(false);
    }
    dialog->installEventFilter(new EnterOnFocusedButton(dialog));
}

void setMousePointer(int pointer)
{
    if (pointer == g_pointer)
        return;
    if (g_pointer != 0)
        QApplication::restoreOverrideCursor();
    if (pointer == 11)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    g_pointer = pointer == 11 ? 11 : 0;
}

int mousePointer()
{
    return g_pointer;
}

} // namespace platform
