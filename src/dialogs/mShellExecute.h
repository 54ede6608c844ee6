#pragma once
// Handing a document or an address to the desktop, which opens it with the program
// associated with it.

#include <QString>

class QWidget;

namespace mShellExecute {

// Returns the shell's result: above 32 success, 0 to 32 the reason of a failure,
// which is shown in French when reportErrors is set.
qint32 ShellOpen(const QString &file, const QString &operation, const QString &parameters,
                 const QString &directory, const qint32 &showCommand, QWidget *ownerWindow,
                 const bool &reportErrors);

// The French text of a failure result; empty above 32.
QString ShellErrorMessage(qint32 result);

} // namespace mShellExecute
