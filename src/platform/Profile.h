#pragma once
// The private-profile functions (sectioned settings files), over our own file format.
//
// The results follow the Windows functions that the settings code was written
// against: buffer sizes, "size - 2" when a listing does not fit, NUL-separated
// listings. Text is Unicode and sizes count characters.
//
// File format: lines ended by CRLF (CR LF, LF or a lone CR when read),
// "[section]" headers, "key=value" entries. The file is Windows-1252 so that files
// of the old program read unchanged; when a text cannot be stored in Windows-1252,
// or its Windows-1252 bytes would read back as UTF-8, the whole file is written as
// UTF-8 with a byte-order mark instead. After that mark each line reads as UTF-8,
// or as Windows-1252 when it is not valid UTF-8.
//
// Reading:
// - section and key names match whatever their letter case; spaces around names
//   and values are ignored;
// - a value in matching quotes ("..." or '...') is read without them by
//   GetPrivateProfileString; the section listings give the value as it stands;
// - ";" comment lines and empty lines are not entries; a line without "=" is an
//   entry of its own in the listings but never a key;
// - duplicate keys: the first one wins; a write changes the first and drops the
//   later copies, deleting a key removes every copy;
// - duplicate sections read as one (the later ones' lines join the first).
//
// Writing: every change reads and rewrites the file under an advisory lock
// ("<file>.lock") and replaces it atomically (temporary file in the same folder,
// synced, renamed), so a crash never leaves a half-written file and two programs
// never lose each other's writes. Comments, unknown sections and lines that are
// not entries are kept. Line breaks in written text become spaces and text stops
// at a NUL, so a value can never add lines or sections to the file.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace platform {

// Copies the value of the key, or defaultValue when the key or the section is
// absent, cut to size - 1 characters and NUL-terminated; returns the number of
// characters copied. A key with an empty value gives 0.
int GetPrivateProfileString(const QString &section, const QString &key, const QString &defaultValue,
                            QChar *buffer, int size, const QString &file);

// Sets key = value in the section, creating file, section and key as needed.
// No value: deletes the key. No key: deletes the section. No section: flushes
// (every change is already on disk). False when the file could not be written,
// or when a name would read back as something else (a key holding "=" or
// starting with ";" or "["); the old file is then left as it was.
bool WritePrivateProfileString(const std::optional<QString> &section, const std::optional<QString> &key,
                               const std::optional<QString> &value, const QString &file);

// Copies every entry line of the section ("key=value", or the line itself when it
// holds no "="), each followed by a NUL, and one more NUL after the last; returns
// the count without that last NUL. When the buffer is too small, returns exactly
// size - 2 (a result of size - 2 is therefore ambiguous; callers take it as cut).
// An absent or empty section gives 0.
int GetPrivateProfileSection(const QString &section, QChar *buffer, int size, const QString &file);

// The names of the sections of the file, with the same layout and results.
int GetPrivateProfileSectionNames(QChar *buffer, int size, const QString &file);

// Replaces every entry of the section by the lines of text (NUL-separated, ended
// by two NULs), creating file and section as needed; comments of the section stay.
// False, nothing written, when a line would read as a header or a comment.
bool WritePrivateProfileSection(const QString &section, const QString &text, const QString &file);

// Replaces the entries of the section by what `edit` makes of them, the file read
// and written under its lock, so that what another program wrote meanwhile is what
// gets edited. `edit` is given the section's entry lines ("key=value", or the line
// itself when it holds no "=") and returns the new lines, or nothing to leave the
// file as it is. False when the file could not be read or written, or when a line
// would read as a header or a comment (nothing written then).
bool EditPrivateProfileSection(const QString &section,
                               const std::function<std::optional<QStringList>(const QStringList &)> &edit,
                               const QString &file);

namespace windows1252 {
// Every byte has a character (the five unassigned ones give the control
// characters of the same number), so decoding never loses anything.
QString decode(const QByteArray &bytes);
// Nothing when a character has no Windows-1252 byte.
std::optional<QByteArray> encode(const QString &text);
} // namespace windows1252

// Well-formed UTF-8.
bool isUtf8(const QByteArray &bytes);

// The text of a file read the way the settings file is: UTF-8 after a byte-order
// mark (a line that is not UTF-8 reads as Windows-1252), UTF-8 when the bytes
// form it, Windows-1252 otherwise.
QString decodeText(const QByteArray &bytes);

} // namespace platform
