#include "platform/print/Fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QRegularExpression>

namespace platform {

namespace {

std::optional<QStringList> g_reported;

QFontDatabase::WritingSystem writingSystem(quint8 charSet)
{
    switch (charSet) {
    case DEFAULT_CHARSET: return QFontDatabase::Any;
    case 161: return QFontDatabase::Greek;
    case 177: return QFontDatabase::Hebrew;
    case 178: return QFontDatabase::Arabic;
    case 204: return QFontDatabase::Cyrillic;
    case 222: return QFontDatabase::Thai;
    default: return QFontDatabase::Latin; // ANSI and the other Latin sets
    }
}

// A family offered by several foundries comes as "C059 [urw]", "C059 [UKWN]": the
// face name is the family alone.
QString withoutFoundry(QString family)
{
    static const QRegularExpression foundry(QStringLiteral("\\s*\\[[^\\]]*\\]$"));
    return family.remove(foundry);
}

// Windows families and the families drawn to the same metrics, which fontconfig uses
// in their place: a settings file saying "Arial" prints the same words in the same
// room as it did on Windows.
struct MetricTwins {
    const char *windows;
    QStringList twins;
};
const MetricTwins kMetricTwins[] = {
    {"Arial", {"Liberation Sans", "Arimo", "Nimbus Sans"}},
    {"Arial Narrow", {"Liberation Sans Narrow", "Nimbus Sans Narrow"}},
    {"Times New Roman", {"Liberation Serif", "Tinos", "Nimbus Roman"}},
    {"Courier New", {"Liberation Mono", "Cousine", "Nimbus Mono PS"}},
    {"Calibri", {"Carlito"}},
    {"Cambria", {"Caladea"}},
    {"Georgia", {"Gelasio"}},
};

// The installed families, and the Windows families that fontconfig resolves to an
// installed twin (not to a mere fallback), under their Windows names.
QStringList installedFaces(quint8 charSet)
{
    const QFontDatabase::WritingSystem system = writingSystem(charSet);
    QStringList faces;
    for (const QString &family : QFontDatabase::families(system))
        if (!QFontDatabase::isPrivateFamily(family))
            faces << withoutFoundry(family);
    if (system != QFontDatabase::Any && system != QFontDatabase::Latin)
        return faces;
    for (const MetricTwins &name : kMetricTwins) {
        const QString windows = QString::fromLatin1(name.windows);
        if (faces.contains(windows))
            continue; // the real one is installed
        if (name.twins.contains(withoutFoundry(QFontInfo(QFont(windows)).family())))
            faces << windows;
    }
    return faces;
}

} // namespace

int EnumFontFamiliesEx(const LogFont &query, const FontEnumProc &proc, qintptr lParam)
{
    const QStringList faces = g_reported ? *g_reported : installedFaces(query.lfCharSet);
    int result = 1;
    for (const QString &face : faces) {
        if (!query.lfFaceName.isEmpty() && QString::compare(face, query.lfFaceName, Qt::CaseInsensitive) != 0)
            continue;
        LogFont font;
        font.lfCharSet = query.lfCharSet;
        font.lfFaceName = face;
        result = proc(font, 0, lParam);
        if (result == 0)
            break;
    }
    return result;
}

void setReportedFonts(std::optional<QStringList> faces)
{
    g_reported = std::move(faces);
}

} // namespace platform
