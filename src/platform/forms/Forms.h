#pragma once
// What the windows need of the toolkit beyond plain Qt: geometry in twips, a text
// tag on labels, the validation event, key preview and the mouse pointer.

#include <QCheckBox>
#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <functional>

class QComboBox;
class QDialog;
class QKeyEvent;
class QLineEdit;
class QWidget;

namespace platform {

constexpr int kTwipsPerPixel = 15;
inline int twips(int t)
{
    return (t + kTwipsPerPixel / 2) / kTwipsPerPixel;
}
// Places a widget in its container; coordinates in twips.
void setTwipsGeometry(QWidget *widget, int left, int top, int width, int height);

// The font of the windows: a small sans-serif whose metrics fit geometry laid out in
// twips for the classic 8-point dialog font.
QFont uiFont();

// A check box whose caption wraps inside its own width.
class WrapCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// An option button whose caption wraps inside its own width.
class WrapRadioButton : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A label that carries a text tag beside its caption.
class TagLabel : public QLabel {
public:
    using QLabel::QLabel;
    QString Tag;
};

// A button that carries a text tag.
class TagButton : public QPushButton {
public:
    using QPushButton::QPushButton;
    QString Tag;
};

// Where a text goes in a sorted list: text order, letter case aside, after equal
// entries, so the comma and the digits keep their character order.
int sortedPosition(const QComboBox *box, const QString &text);
QStringList comboEntries(const QComboBox *box);

// Runs `handler` when the focus leaves `control` (or a child of it) for another
// control of the same window, before that control handles the click that moved the
// focus. A button pressed by its access key or as a dialog's default button takes
// the focus first, so it validates too. Nothing runs when a popup of the control
// opens, the menu bar is used or the window loses focus.
void onValidate(QWidget *control, std::function<void()> handler);

// Lets `window` see every key press of its controls first; the handler returns true
// to swallow the key.
void installKeyPreview(QWidget *window, std::function<bool(QKeyEvent *)> handler);

// The typed-character filter of a text field, for a key preview: hands the key's
// character code to `keyPress`, which returns it to accept it, another code to type
// instead, or 0 to drop it (it may also change the text itself). Keys without a
// character (arrows, Delete, Tab) and the editing shortcuts (select all, copy, cut,
// undo, redo) pass; a paste goes through pasteThroughFilter. Returns true when the
// key was taken.
bool filterKeyPress(QKeyEvent *event, QLineEdit *edit, const std::function<int(int)> &keyPress);

// Pasted text is typed into the field through its filter, in place of the selection.
// Spaces (digit grouping, line ends) are left out; any other character the filter
// would drop refuses the whole paste, so that nothing is silently turned into another
// value: the field is left as it was and the user hears a beep. A text of more than
// 64 characters, which no such field takes, is refused likewise. Returns whether the
// text went in.
bool pasteThroughFilter(QLineEdit *edit, const QString &text, const std::function<int(int)> &keyPress);

// The field's own "Coller" (context menu) pastes through the filter too, and text
// cannot be dropped on it. Keys go through filterKeyPress in the window's key preview.
void filterPastes(QLineEdit *edit, std::function<int(int)> keyPress);

// A dialog whose buttons are none of them the default: Enter presses the button that
// has the focus and nothing else, so that Enter on a list or an option button never
// confirms the dialog. Call it once the dialog's buttons exist.
void pressFocusedButtonOnEnter(QDialog *dialog);

// Mouse pointer of the application's windows: 11 hourglass, 0 default.
void setMousePointer(int pointer);
int mousePointer();

} // namespace platform
