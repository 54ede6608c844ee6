#include "platform/print/Fonts.h"

#include <QFontDatabase>
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
// face name is the family alone, reported once per foundry.
QStringList installedFaces(quint8 charSet)
{
    static const QRegularExpression foundry(QStringLiteral("\\s*\\[[^\\]]*\\]$"));
    QStringList faces;
    for (QString family : QFontDatabase::families(writingSystem(charSet)))
        if (!QFontDatabase::isPrivateFamily(family))
            faces << family.remove(foundry);
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
