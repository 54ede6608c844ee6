#include "settings/CINIFile.h"

#include "platform/forms/MessageBox.h"
#include "platform/Profile.h"

#include <QApplication>
#include <QFile>
#include <optional>

namespace {

enum class Listing { SectionEntries, SectionNames };

// The buffer grows no further: a listing this large is not a settings file.
constexpr int kLargestListing = 1 << 28;

// The listing text with a buffer that doubles from 2047 characters until the text
// fits (a result of exactly size - 2 means it was cut). Nothing when it never fits.
std::optional<QString> fetch(Listing what, const QString &section, const QString &file)
{
    for (int base = 2048; base <= kLargestListing; base *= 2) {
        QString buffer(base - 1, QChar(0));
        const int n = what == Listing::SectionEntries
                          ? platform::GetPrivateProfileSection(section, buffer.data(), base - 1, file)
                          : platform::GetPrivateProfileSectionNames(buffer.data(), base - 1, file);
        if (n != (base - 1) - 2) {
            buffer.truncate(n);
            return buffer;
        }
    }
    return std::nullopt;
}

// A file that is there but cannot be read lists as empty: that is no empty list.
bool readable(const QString &file)
{
    QFile f(file);
    return !f.exists() || f.open(QIODevice::ReadOnly);
}

// The entries of a listing. Section names: every one. Section entries: one per
// NUL of the first `n` characters (n + 1 with keepFinalNul) as long as more than
// three characters remain, which old files were always read with. Nothing when
// the listing found nothing; `complete` turns false when it could not be read whole.
std::optional<QStringList> entries(Listing what, const QString &section, const QString &file,
                                   bool keepFinalNul, bool &complete)
{
    const auto text = fetch(what, section, file);
    complete = text && readable(file);
    if (!text || text->isEmpty())
        return std::nullopt;
    QStringList list;
    if (what == Listing::SectionNames) {
        if (text->size() == 1)
            return std::nullopt; // a single empty name
        list = text->split(QChar(0));
        list.removeLast(); // after the final NUL
    } else {
        const QString withEnd = keepFinalNul ? *text + QChar(0) : *text;
        QStringView rest(withEnd);
        do {
            const qsizetype nul = rest.indexOf(QChar(0));
            list.append((nul < 0 ? rest : rest.left(nul)).toString());
            rest = nul < 0 ? QStringView() : rest.mid(nul + 1);
        } while (rest.size() > 3);
    }
    // The counts are 16-bit.
    if (list.size() > 32767) {
        complete = false;
        return std::nullopt;
    }
    return list;
}

QString keyOf(const QString &entry)
{
    const qsizetype eq = entry.indexOf(u'=');
    return eq < 0 ? QString() : entry.left(eq);
}

QString valueOf(const QString &entry)
{
    const qsizetype eq = entry.indexOf(u'=');
    return eq < 0 ? QString() : entry.mid(eq + 1);
}

QStringList mapped(const QStringList &list, QString (*part)(const QString &))
{
    QStringList result;
    result.reserve(list.size());
    for (const QString &entry : list)
        result.append(part(entry));
    return result;
}

// A list of texts held in a QVariant, if it holds one.
std::optional<QStringList> textList(const QVariant &value)
{
    if (value.metaType().id() == QMetaType::QStringList)
        return value.toStringList();
    if (value.metaType().id() != QMetaType::QVariantList)
        return std::nullopt;
    QStringList list;
    for (const QVariant &item : value.toList()) {
        if (item.metaType().id() != QMetaType::QString)
            return std::nullopt;
        list.append(item.toString());
    }
    return list;
}

} // namespace

CINIFile::~CINIFile()
{
    if (m_writeFailed)
        platform::messageBox(QApplication::activeWindow(),
                             QStringLiteral("Impossible d'enregistrer les paramètres dans le fichier\n") +
                                 m_failedFile,
                             platform::MsgIcon::Exclamation);
}

void CINIFile::noteWrite(bool ok)
{
    if (ok || m_writeFailed)
        return;
    m_writeFailed = true;
    m_failedFile = m_file;
}

QString CINIFile::getValue(const QString &KeyName, const QString &Default, bool *Failed)
{
    QString buffer(255, QChar(0));
    const int n = platform::GetPrivateProfileString(m_section, KeyName, Default, buffer.data(), 255, m_file);
    if (Failed)
        *Failed = n < 1;
    return n >= 1 ? buffer.left(n) : Default;
}

void CINIFile::addSection(const QString &name, bool SetAsCurrent)
{
    noteWrite(
        platform::WritePrivateProfileString(name, QStringLiteral("Dummy"), QStringLiteral("Val"), m_file));
    noteWrite(platform::WritePrivateProfileString(name, QStringLiteral("Dummy"), std::nullopt, m_file));
    if (SetAsCurrent)
        m_section = name;
}

qint16 CINIFile::enumSectionKeys(QStringList &ArrayResult)
{
    const auto list = entries(Listing::SectionEntries, m_section, m_file, true, m_listingComplete);
    if (!list)
        return 0;
    ArrayResult = mapped(*list, keyOf);
    return qint16(ArrayResult.size());
}

qint16 CINIFile::enumSectionValues(QStringList &ArrayResult)
{
    const auto list = entries(Listing::SectionEntries, m_section, m_file, false, m_listingComplete);
    if (!list)
        return 0;
    ArrayResult = mapped(*list, valueOf);
    return qint16(ArrayResult.size());
}

qint16 CINIFile::enumSections(QStringList &ArrayResult)
{
    const auto list = entries(Listing::SectionNames, QString(), m_file, true, m_listingComplete);
    if (!list)
        return 0;
    ArrayResult = *list;
    return qint16(ArrayResult.size());
}

void CINIFile::deleteSection(const QString &SectionName)
{
    noteWrite(platform::WritePrivateProfileString(SectionName, std::nullopt, std::nullopt, m_file));
    if (SectionName == m_section)
        m_section.clear();
}

void CINIFile::deleteKey(const QString &KeyName)
{
    noteWrite(platform::WritePrivateProfileString(m_section, KeyName, std::nullopt, m_file));
}

qint16 CINIFile::enumSectionValuePairs(QList<QStringList> &ArrayResult)
{
    const auto list = entries(Listing::SectionEntries, m_section, m_file, false, m_listingComplete);
    if (!list)
        return 0;
    ArrayResult = {mapped(*list, keyOf), mapped(*list, valueOf)};
    return qint16(list->size());
}

qint16 CINIFile::enumSectionKeysAndValues(QStringList &ArrayResult)
{
    const auto list = entries(Listing::SectionEntries, m_section, m_file, false, m_listingComplete);
    if (!list)
        return 0;
    ArrayResult = *list;
    return qint16(ArrayResult.size());
}

void CINIFile::flush()
{
    noteWrite(platform::WritePrivateProfileString(std::nullopt, std::nullopt, std::nullopt, m_file));
}

QString CINIFile::Value(const QString &KeyName)
{
    return getValue(KeyName);
}

void CINIFile::setValue(const QString &KeyName, const QString &value)
{
    noteWrite(platform::WritePrivateProfileString(m_section, KeyName, value, m_file));
}

void CINIFile::setValue(const QString &KeyName, int value)
{
    setValue(KeyName, QString::number(value));
}

QString CINIFile::File() const
{
    return m_file;
}

void CINIFile::setFile(const QString &path)
{
    m_file = path;
    m_section.clear();
}

QString CINIFile::Section() const
{
    return m_section;
}

void CINIFile::setSection(const QString &name)
{
    m_section = name;
}

void CINIFile::writeSection(const QVariant &lines)
{
    const auto list = textList(lines);
    if (!list)
        return;
    QString joined;
    for (const QString &line : *list) {
        joined += line;
        joined += QChar(0);
    }
    joined += QChar(0);
    joined += QChar(0);
    noteWrite(platform::WritePrivateProfileSection(m_section, joined, m_file));
}

void CINIFile::editSection(const std::function<std::optional<QStringList>(const QStringList &lines)> &edit)
{
    noteWrite(platform::EditPrivateProfileSection(m_section, edit, m_file));
}
