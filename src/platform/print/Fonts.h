#pragma once
// The installed fonts: each face of a character set handed to a callback, one name
// at a time, as the platform reports them (not sorted, possibly more than once).

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace platform {

constexpr int ANSI_CHARSET = 0;
constexpr int DEFAULT_CHARSET = 1; // every character set

// The font query: a character set and, optionally, one face name.
struct LogFont {
    quint8 lfCharSet = 0;
    QString lfFaceName;
};

// Called once per font reported; a result of 0 stops the enumeration.
using FontEnumProc = std::function<int(const LogFont &font, int fontType, qintptr lParam)>;

// Reports the faces that can write the query's character set (only those named
// like lfFaceName when it is not empty); for Latin text, also the Windows families
// that fontconfig draws with an installed family of the same metrics, under their
// Windows names ("Arial" where Liberation Sans is installed). Returns the
// callback's last result, or 1 when there was nothing to report.
int EnumFontFamiliesEx(const LogFont &query, const FontEnumProc &proc, qintptr lParam);

// Tests: the face names reported from now on, in this order, instead of the
// installed ones; std::nullopt goes back to the installed ones.
void setReportedFonts(std::optional<QStringList> faces);

} // namespace platform
