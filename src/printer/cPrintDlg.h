#pragma once
// The print and print-setup dialog behind properties: the dialog's parameter
// record, a copy of the chosen printer's device mode and whether the program
// itself makes the copies. ShowSetup and ShowPrint run the program's own dialog
// (PrintSetupDialog) over the installed printers.

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace printer {

// Flags of the parameter record.
enum : quint32 {
    PD_SELECTION = 0x1,
    PD_PAGENUMS = 0x2,
    PD_NOSELECTION = 0x4,
    PD_NOPAGENUMS = 0x8,
    PD_COLLATE = 0x10,
    PD_PRINTTOFILE = 0x20,
    PD_PRINTSETUP = 0x40,
    PD_NOWARNING = 0x80,
    PD_RETURNDC = 0x100,
    PD_RETURNDEFAULT = 0x400,
    PD_USEDEVMODECOPIESANDCOLLATE = 0x40000,
    PD_DISABLEPRINTTOFILE = 0x80000,
};

// Valid fields of the device mode.
enum : quint32 {
    DM_ORIENTATION = 0x1,
    DM_PAPERSIZE = 0x2,
    DM_PAPERLENGTH = 0x4,
    DM_PAPERWIDTH = 0x8,
    DM_SCALE = 0x10,
    DM_COPIES = 0x100,
    DM_DEFAULTSOURCE = 0x200,
    DM_COLOR = 0x800,
    DM_COLLATE = 0x8000,
};

// Extended errors of the last dialog call.
enum : qint32 {
    PDERR_NODEVICES = 0x1007,
    PDERR_NODEFAULTPRN = 0x1008,
    PDERR_PRINTERNOTFOUND = 0x100B,
};

// The public part of a printer's device mode, byte for byte as stored files and
// blocks hold it (124 bytes). Text is 8-bit, Windows-1252.
struct DevMode {
    char dmDeviceName[32];
    quint16 dmSpecVersion;
    quint16 dmDriverVersion;
    quint16 dmSize;
    quint16 dmDriverExtra;
    quint32 dmFields;
    qint16 dmOrientation;
    qint16 dmPaperSize;
    qint16 dmPaperLength;
    qint16 dmPaperWidth;
    qint16 dmScale;
    qint16 dmCopies;
    qint16 dmDefaultSource;
    qint16 dmPrintQuality;
    qint16 dmColor;
    qint16 dmDuplex;
    qint16 dmYResolution;
    qint16 dmTTOption;
    qint16 dmCollate;
    char dmFormName[32];
    quint16 dmLogPixels;
    quint32 dmBitsPerPel;
    quint32 dmPelsWidth;
    quint32 dmPelsHeight;
    quint32 dmDisplayFlags;
    quint32 dmDisplayFrequency;
};
static_assert(sizeof(DevMode) == 124);

// The dialog's parameter record. Memory blocks are byte arrays: a new block is a
// new array, an empty array is no block.
struct PrintDlgRecord {
    quint32 lStructSize = 66;
    quint32 hwndOwner = 0;
    QByteArray hDevMode;  // a DevMode
    QByteArray hDevNames; // a device-names block (devNamesBlock)
    quint32 hDC = 0;      // no device context is ever returned here
    quint32 Flags = 0;
    qint16 nFromPage = 0;
    qint16 nToPage = 0;
    qint16 nMinPage = 0;
    qint16 nMaxPage = 0;
    qint16 nCopies = 0;
};

// The 108-byte device-names block for a printer: four offsets (driver 8, device 17,
// port, default 0), then 100 bytes of text: driver, name and port, padded with spaces.
QByteArray devNamesBlock(const QString &printerName);
// The device name a device-names block holds; empty for no block.
QString devNamesDevice(const QByteArray &block);

// Runs the dialog over the record as the platform's dialog call does: fills it
// with the default printer under PD_RETURNDEFAULT, else asks the user (print setup
// under PD_PRINTSETUP, else the print dialog). Returns true when confirmed and
// sets `error` to the extended error (0 when none or cancelled).
bool runPrintDialog(PrintDlgRecord &record, qint32 &error);

class cPrintDlg {
public:
    cPrintDlg();

    QString PrinterName() const;
    void setPrinterName(const QString &name);
    qint16 PaperSize() const { return m_devMode.dmPaperSize; }
    void setPaperSize(qint16 value);
    qint16 PaperWidth() const { return m_devMode.dmPaperWidth; }
    void setPaperWidth(qint16 value);
    qint16 PaperLength() const { return m_devMode.dmPaperLength; }
    void setPaperLength(qint16 value);
    qint16 ColorMode() const { return m_devMode.dmColor; }
    void setColorMode(qint16 value);
    qint16 Orientation() const { return m_devMode.dmOrientation; }
    void setOrientation(qint16 value);
    qint16 PrintScale() const { return m_devMode.dmScale; }
    void setPrintScale(qint16 value);
    qint16 DefaultSource() const { return m_devMode.dmDefaultSource; }
    void setDefaultSource(qint16 value);
    bool CopiesAndCollateByApp() const { return m_copiesAndCollateByApp; }
    void setCopiesAndCollateByApp(bool value);
    qint16 Copies() const;
    void setCopies(qint16 value);
    bool Collate() const;
    void setCollate(bool value);
    quint32 hwndOwner() const { return m_pd.hwndOwner; }
    void setHwndOwner(quint32 value) { m_pd.hwndOwner = value; }
    bool NoWarning() const { return flag(PD_NOWARNING); }
    void setNoWarning(bool value) { setFlag(PD_NOWARNING, value); }
    quint32 hdc() const { return m_pd.hDC; }
    bool PrintToFile() const { return flag(PD_PRINTTOFILE); }
    void setPrintToFile(bool value) { setFlag(PD_PRINTTOFILE, value); }
    qint32 PrintRange() const;
    void setPrintRange(qint32 value);
    qint16 FromPage() const { return m_pd.nFromPage; }
    void setFromPage(qint16 value) { m_pd.nFromPage = value; }
    qint16 ToPage() const { return m_pd.nToPage; }
    qint16 MinPage() const { return m_pd.nMinPage; }
    void setMinPage(qint16 value) { m_pd.nMinPage = value; }
    qint16 MaxPage() const { return m_pd.nMaxPage; }
    void setMaxPage(qint16 value) { m_pd.nMaxPage = value; }
    void setToPage(qint16 value) { m_pd.nToPage = value; }
    bool DisablePages() const { return flag(PD_NOPAGENUMS); }
    void setDisablePages(bool value) { setFlag(PD_NOPAGENUMS, value); }
    bool DisableSelection() const { return flag(PD_NOSELECTION); }
    void setDisableSelection(bool value) { setFlag(PD_NOSELECTION, value); }
    bool DisablePrintToFile() const { return flag(PD_DISABLEPRINTTOFILE); }
    void setDisablePrintToFile(bool value) { setFlag(PD_DISABLEPRINTTOFILE, value); }
    bool ShowSetup();
    bool ShowPrint();
    qint32 ErrCodeDlg(QString &sMsg) const;

    // The records as they stand, for the dialog and for checks.
    const PrintDlgRecord &record() const { return m_pd; }
    const DevMode &devMode() const { return m_devMode; }

private:
    bool flag(quint32 bit) const { return (m_pd.Flags & bit) != 0; }
    void setFlag(quint32 bit, bool on);
    bool show();
    void readDevMode();
    void renewDevMode();
    void setField(qint16 &field, quint32 bit, qint16 value);

    PrintDlgRecord m_pd;
    DevMode m_devMode{};
    bool m_copiesAndCollateByApp = false;
    qint32 m_lastError = 0;
};

} // namespace printer
