#pragma once
// Driving windows as a user does: keys into the focused control, F1, modal dialogs answered.

#include "platform/forms/MessageBox.h"
#include "platform/help/HelpViewer.h"

#include <QApplication>
#include <QDialog>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace testsupport {

inline QWidget *focused()
{
    return QApplication::focusWidget();
}

// Keys into the focused control: "\t" is Tab, "\b" Backspace; letters beyond ASCII too.
inline void type(const QString &keys)
{
    for (const QChar c : keys)
        if (c.unicode() < 128)
            QTest::keyClick(focused(), c.toLatin1());
        else // keyClick knows only ASCII keys
            QTest::sendKeyEvent(QTest::Click, focused(), Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// F1 on a control, the focused one by default: the help context it opens, -1 for none.
inline int f1(QWidget *on = nullptr)
{
    platform::HelpRecorder help;
    QTest::keyClick(on ? on : focused(), Qt::Key_F1);
    return help.requests.isEmpty() ? -1 : int(help.requests.last().data);
}

// The texts of the message boxes shown.
inline QStringList texts(const platform::MessageBoxRecorder &boxes)
{
    QStringList all;
    for (const platform::ShownMessage &m : boxes.shown)
        all << m.text;
    return all;
}

// The boxes shown other than the leaves left in the chequebook, told on stderr: what
// a program printing into a shared register reports back through its exit code.
inline int unexpectedBoxes(const platform::MessageBoxRecorder &boxes)
{
    int unexpected = 0;
    for (const QString &text : texts(boxes))
        if (!text.startsWith("Il reste") && !text.startsWith("C'était le dernier")) {
            ++unexpected;
            std::fprintf(stderr, "%s\n", qPrintable(text));
        }
    return unexpected;
}

inline bool showActive(QWidget &window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// Whether no access key (the letter after "&") serves two of these captions.
inline bool accessKeysOnce(const QStringList &captions)
{
    QStringList keys;
    for (const QString &c : captions)
        if (c.contains('&'))
            keys << c.mid(c.indexOf('&') + 1, 1).toLower();
    return QSet<QString>(keys.begin(), keys.end()).size() == keys.size();
}

// An access key in a window; a button pressed by it clicks after a short delay.
inline void alt(QWidget &window, char key)
{
    QApplication::setActiveWindow(&window); // after a dialog answered in place
    QTest::keyClick(&window, key, Qt::AltModifier);
    QTest::qWait(150);
}

// Lets `act` use the modal dialog that the next call opens, once it is active. A dialog left open is
// rejected, so that a failed check never leaves the test waiting; `closed` says whether `act` closed it.
inline void whenModal(bool &closed, std::function<void(QDialog &)> act)
{
    closed = false;
    QTimer::singleShot(0, [act, &closed] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialog->activateWindow();
        if (QTest::qWaitFor([&] { return QApplication::activeWindow() == dialog; }))
            act(*dialog);
        closed = !dialog->isVisible();
        if (!closed)
            dialog->reject();
    });
}

// An answer queued for a dialog run through the message-box seam: shows it, lets `keys` act, then
// presses Enter.
template <typename Dialog> std::function<void(QDialog &)> answer(std::function<void(Dialog &)> keys)
{
    return [keys](QDialog &dialog) {
        auto &d = dynamic_cast<Dialog &>(dialog);
        d.show();
        QApplication::setActiveWindow(&d);
        keys(d);
        QTest::keyClick(focused() ? focused() : &d, Qt::Key_Return);
    };
}

} // namespace testsupport
