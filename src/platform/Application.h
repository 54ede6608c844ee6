#pragma once
// The application object: its folders, title, version, help file, and today's date.
// Tests replace the folder and the date.

#include <QDate>
#include <QString>

namespace platform {

// Where the program's files live. A copy that has Tolvo.hlp beside its executable
// (source tree, unpacked copy) keeps everything there, Tolvo.ini included, as the
// old program did. An installed one (bin/tolvo) reads its files from share/tolvo/
// and writes the user's in $XDG_CONFIG_HOME/tolvo/ (~/.config/tolvo/ by default).
struct Folders {
    QString data;     // Tolvo.hlp, Specimen.jpg: read only
    QString settings; // Tolvo.ini and what else the program writes
    bool operator==(const Folders &) const = default;
};
// The one place that decides; `configHome` is $XDG_CONFIG_HOME (ignored unless
// absolute), `home` the user's home folder.
Folders locateFolders(const QString &executableFolder, const QString &configHome, const QString &home);

// Folder of the help file and specimen picture, without trailing separator.
QString applicationFolder();
// Folder of Tolvo.ini (and the register), created when missing.
QString settingsFolder();
// Replaces both folders (tests); an empty text goes back to the real ones.
void setApplicationFolder(const QString &folder);

// Path of a file of the application folder ("Tolvo.hlp", "Specimen.jpg").
QString applicationFile(const QString &name);
// Path of a file of the settings folder ("Tolvo.ini").
QString settingsFile(const QString &name);

QString applicationTitle();   // "Tolvo"
QString applicationVersion(); // "1.3.1"

// The help file that F1 opens.
QString helpFile();
void setHelpFile(const QString &path);

// Today's date; tests may fix it (an invalid date goes back to the clock).
QDate today();
void setToday(const QDate &date);

} // namespace platform
