#pragma once
// The application object: its folder, title, version, help file, and today's date.
// Tests replace the folder and the date.

#include <QDate>
#include <QString>

namespace platform {

// Folder of the running executable, without trailing separator.
QString applicationFolder();
// Replaces the application folder (tests); an empty text goes back to the real one.
void setApplicationFolder(const QString &folder);

// Path of a file of the application folder ("Tolvo.ini", "Tolvo.hlp", ...).
QString applicationFile(const QString &name);

QString applicationTitle();   // "Tolvo"
QString applicationVersion(); // "1.3.1"

// The help file that F1 opens.
QString helpFile();
void setHelpFile(const QString &path);

// Today's date; tests may fix it (an invalid date goes back to the clock).
QDate today();
void setToday(const QDate &date);

} // namespace platform
