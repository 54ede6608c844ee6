#include "options/mFont.h"

#include "platform/forms/Forms.h"

#include <QComboBox>

namespace mFont {

namespace {
constexpr int LF_FACESIZE = 32;
}

int LoadFontList(QComboBox *cboPolice, const QString &sFont, const QString &FaceName, int CharSet)
{
    platform::LogFont query;
    query.lfFaceName = FaceName.left(LF_FACESIZE);
    query.lfCharSet = quint8(CharSet & 0xFF);
    const int result =
        platform::EnumFontFamiliesEx(query, EnumFontProc, reinterpret_cast<qintptr>(cboPolice));

    // A drop-down list selects its first entry by itself; only an exact match counts.
    cboPolice->setCurrentIndex(cboPolice->findText(sFont, Qt::MatchExactly | Qt::MatchCaseSensitive));
    return result;
}

int EnumFontProc(const platform::LogFont &lpNLF, int FontType, qintptr lParam)
{
    Q_UNUSED(FontType);
    auto *cboPolice = reinterpret_cast<QComboBox *>(lParam);
    const QString &face = lpNLF.lfFaceName;
    if (cboPolice->findText(face, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
        cboPolice->insertItem(platform::sortedPosition(cboPolice, face), face);
    return 1;
}

} // namespace mFont
