#include "printer/cPrintDlg.h"

#include "platform/Profile.h"

#include <algorithm>
#include <cstring>

namespace printer {

namespace {

QByteArray eightBit(const QString &text)
{
    return platform::windows1252::encode(text).value_or(text.toUtf8());
}

void putWord(QByteArray &block, int at, quint16 value)
{
    block[at] = char(value & 0xff);
    block[at + 1] = char(value >> 8);
}

quint16 word(const QByteArray &block, int at)
{
    return quint16(quint8(block[at]) | quint8(block[at + 1]) << 8);
}

} // namespace

QByteArray devNamesBlock(const QString &printerName)
{
    const QByteArray name = eightBit(printerName);
    QByteArray text = QByteArray(8, ' ') + '\0' + name + '\0' + QByteArray(5, ' ') + '\0';
    text = text.leftJustified(100, ' ', true);
    QByteArray block(8, '\0');
    putWord(block, 0, 8);
    putWord(block, 2, 17);
    putWord(block, 4, quint16(17 + name.size() + 1));
    putWord(block, 6, 0);
    return block + text;
}

QString devNamesDevice(const QByteArray &block)
{
    if (block.size() < 8)
        return QString();
    const int at = word(block, 2);
    if (at >= block.size())
        return QString();
    const int end = block.indexOf('\0', at);
    return platform::windows1252::decode(block.mid(at, end < 0 ? -1 : end - at));
}

cPrintDlg::cPrintDlg()
{
    m_pd.lStructSize = 66;
    m_pd.Flags = PD_RETURNDEFAULT;
    runPrintDialog(m_pd, m_lastError);
    // There is no window handle to give: the dialog is owned by the active window.
    m_pd.hwndOwner = 0;
    m_pd.Flags = PD_USEDEVMODECOPIESANDCOLLATE + PD_RETURNDC + PD_NOWARNING;
}

QString cPrintDlg::PrinterName() const
{
    const char *name = m_devMode.dmDeviceName;
    const size_t length = strnlen(name, sizeof m_devMode.dmDeviceName);
    return platform::windows1252::decode(QByteArray(name, qsizetype(length)));
}

void cPrintDlg::setPrinterName(const QString &name)
{
    const QByteArray bytes = eightBit(name);
    std::memset(m_devMode.dmDeviceName, 0, sizeof m_devMode.dmDeviceName);
    std::memcpy(m_devMode.dmDeviceName, bytes.constData(),
                std::min(size_t(bytes.size()), sizeof m_devMode.dmDeviceName));
    m_pd.hDevNames = devNamesBlock(name);
}

void cPrintDlg::setField(qint16 &field, quint32 bit, qint16 value)
{
    field = value;
    m_devMode.dmFields |= bit;
    renewDevMode();
}

void cPrintDlg::setPaperSize(qint16 value)
{
    setField(m_devMode.dmPaperSize, DM_PAPERSIZE, value);
}
void cPrintDlg::setPaperWidth(qint16 value)
{
    setField(m_devMode.dmPaperWidth, DM_PAPERWIDTH, value);
}
void cPrintDlg::setPaperLength(qint16 value)
{
    setField(m_devMode.dmPaperLength, DM_PAPERLENGTH, value);
}
void cPrintDlg::setColorMode(qint16 value)
{
    setField(m_devMode.dmColor, DM_COLOR, value);
}
void cPrintDlg::setOrientation(qint16 value)
{
    setField(m_devMode.dmOrientation, DM_ORIENTATION, value);
}
void cPrintDlg::setPrintScale(qint16 value)
{
    setField(m_devMode.dmScale, DM_SCALE, value);
}
void cPrintDlg::setDefaultSource(qint16 value)
{
    setField(m_devMode.dmDefaultSource, DM_DEFAULTSOURCE, value);
}

void cPrintDlg::setCopiesAndCollateByApp(bool value)
{
    m_copiesAndCollateByApp = value;
    setFlag(PD_USEDEVMODECOPIESANDCOLLATE, !value);
}

qint16 cPrintDlg::Copies() const
{
    return m_copiesAndCollateByApp ? m_pd.nCopies : m_devMode.dmCopies;
}

void cPrintDlg::setCopies(qint16 value)
{
    if (m_copiesAndCollateByApp)
        m_pd.nCopies = value;
    else
        setField(m_devMode.dmCopies, DM_COPIES, value);
}

bool cPrintDlg::Collate() const
{
    return flag(PD_COLLATE) || m_devMode.dmCollate != 0;
}

void cPrintDlg::setCollate(bool value)
{
    if (m_copiesAndCollateByApp)
        setFlag(PD_COLLATE, value);
    else
        setField(m_devMode.dmCollate, DM_COLLATE, value ? 1 : 0);
}

qint32 cPrintDlg::PrintRange() const
{
    if (flag(PD_SELECTION))
        return 2;
    return flag(PD_PAGENUMS) ? 1 : 0;
}

void cPrintDlg::setPrintRange(qint32 value)
{
    setFlag(PD_PAGENUMS, value == 1);
    setFlag(PD_SELECTION, value == 2);
}

void cPrintDlg::setFlag(quint32 bit, bool on)
{
    if (on)
        m_pd.Flags |= bit;
    else
        m_pd.Flags &= ~bit;
}

bool cPrintDlg::ShowSetup()
{
    m_pd.Flags |= PD_PRINTSETUP;
    return show();
}

bool cPrintDlg::ShowPrint()
{
    m_pd.Flags &= ~quint32(PD_PRINTSETUP);
    return show();
}

bool cPrintDlg::show()
{
    if (!runPrintDialog(m_pd, m_lastError))
        return false;
    readDevMode();
    return true;
}

qint32 cPrintDlg::ErrCodeDlg(QString &sMsg) const
{
    switch (m_lastError) {
    case 0: sMsg = QStringLiteral("L'utilisateur a annulé l'opération."); break;
    case PDERR_NODEVICES: sMsg = QStringLiteral("Aucune imprimante trouvée."); break;
    case PDERR_NODEFAULTPRN: sMsg = QStringLiteral("Il n'y a pas d'imprimante par défaut."); break;
    case PDERR_PRINTERNOTFOUND: sMsg = QStringLiteral("Imprimante non trouvée"); break;
    default: sMsg = QStringLiteral("Impossible d'ouvrir la fenêtre de configuration d'impression."); break;
    }
    return m_lastError;
}

void cPrintDlg::readDevMode()
{
    if (m_pd.hDevMode.size() < qsizetype(sizeof m_devMode))
        return;
    std::memcpy(&m_devMode, m_pd.hDevMode.constData(), sizeof m_devMode);
}

void cPrintDlg::renewDevMode()
{
    m_pd.hDevMode = QByteArray(reinterpret_cast<const char *>(&m_devMode), sizeof m_devMode);
}

} // namespace printer
