#pragma once
// What the windows need of the toolkit beyond plain Qt: geometry in twips, a text
// tag on labels, the validation event, key preview and the mouse pointer.

#include <QCheckBox>
#include <QFont>
#include <QLabel>
#include <QString>
#include <functional>

class QKeyEvent;
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

// A label that carries a text tag beside its caption.
class TagLabel : public QLabel {
public:
    using QLabel::QLabel;
    QString Tag;
};

// Runs `handler` when the focus leaves `control` (or a child of it) for another
// control of the same window, before that control handles the click that moved the
// focus. A button pressed by its access key or as a dialog's default button takes
// the focus first, so it validates too. Nothing runs when a popup of the control
// opens, the menu bar is used or the window loses focus.
void onValidate(QWidget *control, std::function<void()> handler);

// Lets `window` see every key press of its controls first; the handler returns true
// to swallow the key.
void installKeyPreview(QWidget *window, std::function<bool(QKeyEvent *)> handler);

// Mouse pointer of the application's windows: 11 hourglass, 0 default.
void setMousePointer(int pointer);
int mousePointer();

} // namespace platform
