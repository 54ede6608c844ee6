#pragma once
// F1 in any window of the program: the help topic of the highlighted menu item, else
// of the focused control, else of its containers, else of its window.

class QObject;
class QWidget;

namespace platform {

// Installs the F1 handling on the application (once; later calls do nothing).
void installHelpKey();

// The help context number F1 would use now: the first number that is not 0 on the
// way from `focus` (or the highlighted item of `menu`) up to the window; 0 if none.
int helpContextForKey(QWidget *focus, QWidget *menu);

} // namespace platform
