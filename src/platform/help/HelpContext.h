#pragma once
// Help context numbers: F1 opens the help topic of the focused control, else of
// its containers, else of the window (a highlighted menu item first).

class QObject;

namespace platform {

// Gives a widget, frame, window or menu action its help context number (0: none).
void setHelpContextID(QObject *object, int id);
int helpContextID(const QObject *object);

} // namespace platform
