#pragma once
// This computer's register copied onto the server's: the chequebooks, the cheques
// with their numbers and statuses, their history, and the cheques waiting to be
// printed. What the server already holds (the same chequebook or queued cheque uid,
// the same print id) is left as it is, so that a copy made twice copies nothing
// twice. The file is only read.

#include <QString>

namespace registre {

class Register;

struct CopyReport {
    int chequebooks = 0, chequebooksThere = 0;
    int cheques = 0, chequesThere = 0;
    int history = 0;
    int queued = 0, queuedThere = 0;
};

// In one transaction of the server: nothing is copied when anything fails. Both
// registers are open. False, with *error in French.
bool copyRegister(Register &from, Register &to, CopyReport *report, QString *error);

// "12 chèques, 2 carnets et 15 lignes d'historique copiés sur le serveur ; 3 chèques
// y étaient déjà."
QString copyText(const CopyReport &report);

} // namespace registre
