#pragma once
// A printed cheque going into the register, as F5 and "Réimprimer" both do it:
// before printing, the register must be able to take the cheque, with a leaf of the
// chequebook in use; once its page was handed over, the cheque is recorded and takes
// that leaf's number.

#include "cheque/ChequeJob.h"
#include "register/Register.h"

#include <optional>

class QWidget;

namespace registre {

// What printing a cheque away from the main window takes from it, as F5 uses it:
// the printer panel, adjustments, font and stars, the printer's name, and what the
// panel shows of its bin and orientation.
struct PrintSettings {
    cheque::ChequeInput input;
    QString printer;
    QString paperBin = {};    // "Bac par défaut"
    QString orientation = {}; // "Orientation Paysage"
    QString date = {};        // the date field, as typed: the date of a cheque that has none
};

// The chequebook in use on this computer, by its uid, kept in Tolvo.ini; empty: none.
QString chequebookInUse();
void setChequebookInUse(const QString &uid);

// Whether a cheque may be printed now. Opens `reg` to record (on a server: reaches
// it, and reads the next number) and first writes any cheque printed earlier whose
// record failed. On a shared register the chequebook in use is claimed for this
// workstation, and refused when another one took it over. When the cheque cannot be
// recorded, the user is told why (a chequebook used up, closed or taken comes with an
// offer to open "Carnets de chèques") and false says that nothing may be printed.
// `chequebook` gets the chequebook in use, nothing when the cheque is to take no number.
bool readyToRecord(QWidget *parent, Register &reg, std::optional<Chequebook> &chequebook);

// Records a cheque whose page was handed over, telling the user what went wrong. A
// record that failed is kept in a journal beside Tolvo.ini, through a restart too,
// and written before the next cheque is printed: its leaf is used, and the next
// cheque must not take its number.
bool recordPrinted(QWidget *parent, Register &reg, const Entry &entry, Recorded *recorded);

// "Il reste 3 chèques dans ce carnet.", once per chequebook and run.
void tellLeavesLeft(QWidget *parent, const QString &chequebook, const Recorded &recorded);

// The main window's line: "Chèque n° 0001234 - Compte courant", or why no number
// will be given.
QString chequebookLine();

} // namespace registre
