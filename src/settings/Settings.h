#pragma once
// The schema of Tolvo.ini, in one place for every reader and writer: section and
// key names, the defaults of absent values, the file's path, and how lists and
// numbers are stored.

#include <QString>
#include <QStringList>

class CINIFile;

namespace settings {

// Sections. Each configured printer also has a section named like the printer.
namespace section {
inline const QString Montants = QStringLiteral("Montants");
inline const QString Bénéficiaires = QStringLiteral("Bénéficiaires");
inline const QString Défaut = QStringLiteral("Défaut");
inline const QString Registre = QStringLiteral("Registre");
// Where this computer's register lives when it is shared on a server.
inline const QString ServeurDuRegistre = QStringLiteral("Serveur du registre");
} // namespace section

namespace key {
// Section "Défaut".
inline const QString Montant = QStringLiteral("Montant");
inline const QString Bénéficiaire = QStringLiteral("Bénéficiaire");
inline const QString AutoAjout1 = QStringLiteral("AutoAjout1"); // amounts: empty = on
inline const QString AutoAjout2 = QStringLiteral("AutoAjout2"); // beneficiaries: empty = on
inline const QString Encadrement = QStringLiteral("Encadrement");
inline const QString Font = QStringLiteral("Font");
inline const QString Imprimante = QStringLiteral("Imprimante");
// Printer sections.
inline const QString PaperBin = QStringLiteral("PaperBin");
inline const QString Orientation = QStringLiteral("Orientation");
inline const QString HorAjust = QStringLiteral("HorAjust");
inline const QString VerAjust = QStringLiteral("VerAjust");
// Section "Registre": the chequebook in use on this computer, by its identifier in
// the register; absent or empty when none.
inline const QString Carnet = QStringLiteral("Carnet");
// Section "Serveur du registre": "Oui" when the register is on the server, else it
// is the file beside Tolvo.ini; the server's name (or the folder of its socket),
// port, database and user; and TLS, as PostgreSQL names its modes ("require",
// "verify-full", "prefer", "disable"), absent for the host's default. The password
// is kept in the desktop's keyring, never here.
inline const QString Utiliser = QStringLiteral("Utiliser");
inline const QString Hôte = QStringLiteral("Hôte");
inline const QString Port = QStringLiteral("Port");
inline const QString Base = QStringLiteral("Base");
inline const QString Utilisateur = QStringLiteral("Utilisateur");
inline const QString TLS = QStringLiteral("TLS");
} // namespace key

// Values and the defaults of absent or empty keys.
namespace value {
inline const QString Oui = QStringLiteral("Oui");
inline const QString Non = QStringLiteral("Non");
inline const QString Font = QStringLiteral("Arial");
inline const QString PaperBin = QStringLiteral("7");
inline const QString Orientation = QStringLiteral("2"); // landscape; "1" is portrait
} // namespace value

// A printer's adjustments are kept within -ajustLimit..ajustLimit millimetres: a
// sign and three digits, at most a metre.
inline constexpr int ajustLimit = 999;
// What the user is told of an adjustment outside that range.
QString ajustRangeMessage();

// Tolvo.ini in the settings folder.
QString filePath();

// Stores a whole list in one replacement of its section: entry i under key "i",
// in list order; an empty list removes the section. `ini` is the object of the
// user action (it reports a failed write); its current section becomes the
// list's section, or none when the section was removed.
void saveList(CINIFile &ini, const QString &sectionName, const QStringList &entries);

// Adds `text` to the list stored in a section: the list as this program shows it
// (`shown`), then what else the file holds (another copy of the program added it
// meanwhile), then `text`, renumbered from "0". The file is read and written under
// its lock, so nothing another copy added is lost; nothing is written when the file
// already holds exactly that.
void addToList(CINIFile &ini, const QString &sectionName, const QStringList &shown, const QString &text);

// A stored number: the number the text starts with (0 when none), rounded half to
// even; a value outside -32768..32767 (a hand-edited file) reads as 0.
qint16 toInt16(const QString &text);

} // namespace settings
