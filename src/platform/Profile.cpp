#include "platform/Profile.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QSet>
#include <QThread>

#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace windows1252 {

namespace {
// Characters of the bytes 0x80-0x9F; the rest of the code page is Latin-1.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
} // namespace

QString decode(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar b = uchar(bytes[i]);
        out[i] = (b >= 0x80 && b < 0xA0) ? QChar(kHigh[b - 0x80]) : QChar(b);
    }
    return text;
}

std::optional<QByteArray> encode(const QString &text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            bytes[i] = char(c);
            continue;
        }
        const auto *found = std::find(std::begin(kHigh), std::end(kHigh), c);
        if (found == std::end(kHigh))
            return std::nullopt;
        bytes[i] = char(0x80 + (found - std::begin(kHigh)));
    }
    return bytes;
}

} // namespace windows1252

namespace {

// A write waits this long for another program's write to finish. A lock older
// than the stale time belongs to a program that hung or died (a write takes
// milliseconds).
constexpr int kLockWaitMs = 10000;
constexpr int kStaleLockMs = 5000;

const QByteArray kBom("\xEF\xBB\xBF");

// ---- File text ---------------------------------------------------------------

// The file's bytes: empty when it does not exist, nothing when it exists but
// cannot be read (a write must then not replace it).
std::optional<QByteArray> readBytes(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QByteArray();
    if (!info.isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

} // namespace

// Stops at the first fault, which in a Windows-1252 file comes with its first
// accented letter.
bool isUtf8(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    const auto *end = p + bytes.size();
    while (p < end) {
        const uchar lead = *p++;
        if (lead < 0x80)
            continue;
        int more = 0;
        char32_t code = 0, smallest = 0;
        if ((lead & 0xE0) == 0xC0) {
            more = 1, code = lead & 0x1F, smallest = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            more = 2, code = lead & 0x0F, smallest = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            more = 3, code = lead & 0x07, smallest = 0x10000;
        } else {
            return false;
        }
        if (end - p < more)
            return false;
        for (int i = 0; i < more; ++i, ++p) {
            if ((*p & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (*p & 0x3F);
        }
        if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
    }
    return true;
}

namespace {

// One line's bytes as text: UTF-8 when they form UTF-8, else Windows-1252.
QString decodeLine(const QByteArray &bytes)
{
    return isUtf8(bytes) ? QString::fromUtf8(bytes) : windows1252::decode(bytes);
}

// After a byte-order mark each line is decoded on its own: a copy of the old
// program may have added Windows-1252 lines to a UTF-8 file, and a replacement
// character would then be written back for every accented letter.
QString decodeLines(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        text += decodeLine(bytes.mid(start, end - start));
        // Line ends are ASCII in both encodings: keep them as they are.
        while (end < bytes.size() && (bytes[end] == '\r' || bytes[end] == '\n'))
            text += QChar(uchar(bytes[end++]));
        start = end;
    }
    return text;
}

} // namespace

// A Linux editor saves valid UTF-8, and French Windows-1252 text never forms
// UTF-8 sequences: the bytes tell which one a file is.
QString decodeText(const QByteArray &bytes)
{
    if (bytes.startsWith(kBom))
        return decodeLines(bytes.mid(kBom.size()));
    if (isUtf8(bytes))
        return QString::fromUtf8(bytes);
    return windows1252::decode(bytes);
}

namespace {

bool isAscii(const QByteArray &bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
}

// Windows-1252 whenever it can hold the whole text, so the old program can still
// read the file; otherwise UTF-8 with a byte-order mark. Windows-1252 bytes that
// also form UTF-8 ("Ã©") would read back as other text: UTF-8 with the mark then.
QByteArray encodeFile(const QString &text)
{
    if (auto bytes = windows1252::encode(text); bytes && (isAscii(*bytes) || !isUtf8(*bytes)))
        return *bytes;
    return kBom + text.toUtf8();
}

QString loadText(const QString &path)
{
    const auto bytes = readBytes(path);
    return bytes ? decodeText(*bytes) : QString();
}

// ---- Lines -------------------------------------------------------------------

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QStringView trimBlanks(QStringView s)
{
    qsizetype begin = 0, end = s.size();
    while (begin < end && isBlank(s[begin]))
        ++begin;
    while (end > begin && isBlank(s[end - 1]))
        --end;
    return s.mid(begin, end - begin);
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

struct LineInfo {
    enum Kind { Blank, Comment, Header, Entry, Plain } kind = Blank;
    QStringView name;  // Header: the section name; Entry: the key; Plain: the whole line
    QStringView value; // Entry: everything after the first "="
};

LineInfo classify(QStringView raw)
{
    LineInfo line;
    const QStringView t = trimBlanks(raw);
    if (t.isEmpty())
        return line;
    if (t[0] == u';') {
        line.kind = LineInfo::Comment;
        return line;
    }
    if (t[0] == u'[') {
        // The last "]" closes the name, so a printer name holding "]" survives.
        const qsizetype close = t.lastIndexOf(u']');
        if (close > 0) {
            line.kind = LineInfo::Header;
            line.name = trimBlanks(t.mid(1, close - 1));
            return line;
        }
    }
    const qsizetype eq = t.indexOf(u'=');
    if (eq < 0) {
        line.kind = LineInfo::Plain;
        line.name = t;
        return line;
    }
    line.kind = LineInfo::Entry;
    line.name = trimBlanks(t.left(eq));
    line.value = trimBlanks(t.mid(eq + 1));
    return line;
}

// Calls f(line number, line without its end) for every line until f returns false.
// CR LF, LF and a lone CR each end a line.
template <typename F> void forEachLine(QStringView text, F &&f)
{
    qsizetype start = 0;
    qsizetype number = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        if (!f(number++, text.mid(start, end - start)))
            return;
        if (end < text.size() && text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
}

// Follows which section the lines belong to. Sections of the same name count as
// one; `block` numbers their headers from 1.
struct SectionTracker {
    QStringView target;
    bool inTarget = false;
    int block = 0;

    LineInfo see(QStringView raw)
    {
        const LineInfo line = classify(raw);
        if (line.kind == LineInfo::Header) {
            inTarget = sameName(line.name, target);
            if (inTarget)
                ++block;
        }
        return line;
    }
};

void emitLine(QString &out, QStringView line)
{
    out += line;
    out += u"\r\n";
}

// Written text never holds a line break (it would add lines or sections) and,
// like a C string, ends at a NUL.
QString cleaned(const QString &text)
{
    QString result = text;
    const qsizetype nul = result.indexOf(QChar(0));
    if (nul >= 0)
        result.truncate(nul);
    result.replace(u'\r', u' ');
    result.replace(u'\n', u' ');
    return result;
}

QString cleanedName(const QString &name)
{
    return trimBlanks(cleaned(name)).toString();
}

QStringView unquoted(QStringView value)
{
    if (value.size() >= 2 && (value[0] == u'"' || value[0] == u'\'') && value.back() == value[0])
        return value.mid(1, value.size() - 2);
    return value;
}

// A name is written only in a form that reads back as itself: "]" in a section
// name is fine (the last "]" closes it), but a key holding "=" or starting with
// ";" or "[" would read as another key, a comment or a section header.
bool headerRoundTrips(const QString &name)
{
    const QString line = u'[' + name + u']';
    const LineInfo info = classify(line);
    return info.kind == LineInfo::Header && info.name == name;
}

bool entryRoundTrips(const QString &key, const QString &value)
{
    const QString line = key + u'=' + value;
    const LineInfo info = classify(line);
    return info.kind == LineInfo::Entry && info.name == key;
}

// A line of a whole section must stay an entry of it.
bool sectionLineRoundTrips(const QString &line)
{
    const LineInfo info = classify(line);
    return info.kind != LineInfo::Header && info.kind != LineInfo::Comment;
}

// ---- Reading -----------------------------------------------------------------

std::optional<QString> findValue(QStringView text, QStringView section, QStringView key)
{
    SectionTracker tracker{section};
    std::optional<QString> value;
    forEachLine(text, [&](qsizetype, QStringView raw) {
        const LineInfo line = tracker.see(raw);
        if (tracker.inTarget && line.kind == LineInfo::Entry && sameName(line.name, key)) {
            value = unquoted(line.value).toString();
            return false;
        }
        return true;
    });
    return value;
}

// The entries, each followed by a NUL; collecting stops once past `limit`
// characters, which is all a caller's buffer can tell.
QString sectionEntries(QStringView text, QStringView section, qsizetype limit)
{
    SectionTracker tracker{section};
    QString entries;
    forEachLine(text, [&](qsizetype, QStringView raw) {
        const LineInfo line = tracker.see(raw);
        if (!tracker.inTarget)
            return true;
        if (line.kind == LineInfo::Entry) {
            entries += line.name;
            entries += u'=';
            entries += line.value.left(limit + 1);
            entries += QChar(0);
        } else if (line.kind == LineInfo::Plain) {
            entries += line.name.left(limit + 1);
            entries += QChar(0);
        }
        return entries.size() <= limit;
    });
    return entries;
}

QString sectionNames(QStringView text, qsizetype limit)
{
    QSet<QString> seen;
    QString names;
    forEachLine(text, [&](qsizetype, QStringView raw) {
        const LineInfo line = classify(raw);
        if (line.kind != LineInfo::Header)
            return true;
        const QString folded = line.name.toString().toCaseFolded();
        if (!seen.contains(folded)) {
            seen.insert(folded);
            names += line.name;
            names += QChar(0);
        }
        return names.size() <= limit;
    });
    return names;
}

int copyValue(const QString &value, QChar *buffer, int size)
{
    if (!buffer || size <= 0)
        return 0;
    const int n = int(std::min<qsizetype>(value.size(), size - 1));
    std::copy_n(value.constData(), n, buffer);
    buffer[n] = QChar(0);
    return n;
}

// `entries` is NUL-separated with a NUL after the last. It fits when it leaves
// room for the final NUL and one spare character; otherwise size - 2.
int copyList(const QString &entries, QChar *buffer, int size)
{
    if (!buffer || size <= 0)
        return 0;
    if (size < 2) {
        buffer[0] = QChar(0);
        return 0;
    }
    if (entries.size() <= size - 2) {
        const int n = int(entries.size());
        std::copy_n(entries.constData(), n, buffer);
        buffer[n] = QChar(0);
        if (n == 0)
            buffer[1] = QChar(0);
        return n;
    }
    std::copy_n(entries.constData(), size - 2, buffer);
    buffer[size - 2] = QChar(0);
    buffer[size - 1] = QChar(0);
    return size - 2;
}

// ---- Writing -----------------------------------------------------------------

QString setEntry(QStringView text, QStringView section, QStringView key, const QString &value)
{
    // Where a new key goes: after the last non-empty line of the section's first block.
    SectionTracker find{section};
    qsizetype anchor = -1;
    bool exists = false;
    forEachLine(text, [&](qsizetype number, QStringView raw) {
        const LineInfo line = find.see(raw);
        if (!find.inTarget)
            return true;
        if (line.kind == LineInfo::Entry && sameName(line.name, key)) {
            exists = true;
            return false;
        }
        if (find.block == 1 && line.kind != LineInfo::Blank)
            anchor = number;
        return true;
    });

    QString out;
    out.reserve(text.size() + section.size() + key.size() + value.size() + 8);
    SectionTracker tracker{section};
    bool replaced = false;
    forEachLine(text, [&](qsizetype number, QStringView raw) {
        const LineInfo line = tracker.see(raw);
        if (tracker.inTarget && line.kind == LineInfo::Entry && sameName(line.name, key)) {
            if (!replaced)
                emitLine(out, line.name.toString() + u'=' + value);
            replaced = true;
            return true;
        }
        emitLine(out, raw);
        if (!exists && number == anchor)
            emitLine(out, key.toString() + u'=' + value);
        return true;
    });
    if (!exists && anchor < 0) {
        emitLine(out, u'[' + section.toString() + u']');
        emitLine(out, key.toString() + u'=' + value);
    }
    return out;
}

QString deleteEntry(QStringView text, QStringView section, QStringView key)
{
    QString out;
    out.reserve(text.size() + 2);
    SectionTracker tracker{section};
    forEachLine(text, [&](qsizetype, QStringView raw) {
        const LineInfo line = tracker.see(raw);
        if (!(tracker.inTarget && line.kind == LineInfo::Entry && sameName(line.name, key)))
            emitLine(out, raw);
        return true;
    });
    return out;
}

QString deleteSection(QStringView text, QStringView section)
{
    QString out;
    out.reserve(text.size() + 2);
    SectionTracker tracker{section};
    forEachLine(text, [&](qsizetype, QStringView raw) {
        tracker.see(raw);
        if (!tracker.inTarget)
            emitLine(out, raw);
        return true;
    });
    return out;
}

QString replaceEntries(QStringView text, QStringView section, const QStringList &lines)
{
    // The new lines go after the header and the comments of the first block.
    SectionTracker find{section};
    qsizetype anchor = -1;
    forEachLine(text, [&](qsizetype number, QStringView raw) {
        const LineInfo line = find.see(raw);
        if (find.inTarget && find.block == 1 &&
            (line.kind == LineInfo::Header || line.kind == LineInfo::Comment))
            anchor = number;
        return true;
    });

    qsizetype growth = section.size() + 4;
    for (const QString &line : lines)
        growth += line.size() + 2;
    QString out;
    out.reserve(text.size() + growth);
    SectionTracker tracker{section};
    forEachLine(text, [&](qsizetype number, QStringView raw) {
        const LineInfo line = tracker.see(raw);
        const bool entry = line.kind == LineInfo::Entry || line.kind == LineInfo::Plain;
        if (!(tracker.inTarget && entry))
            emitLine(out, raw);
        if (number == anchor)
            for (const QString &added : lines)
                emitLine(out, added);
        return true;
    });
    if (anchor < 0) {
        emitLine(out, u'[' + section.toString() + u']');
        for (const QString &line : lines)
            emitLine(out, line);
    }
    return out;
}

// Another program may hold the lock for a few milliseconds: poll often rather
// than QLockFile's own first pause of 100 ms.
bool acquire(QLockFile &lock)
{
    lock.setStaleLockTime(kStaleLockMs);
    QDeadlineTimer deadline(kLockWaitMs);
    unsigned long pause = 1;
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError || deadline.hasExpired())
            return false;
        QThread::msleep(pause);
        pause = std::min(pause * 2, 50ul);
    }
    return true;
}

// Makes the rename itself durable.
void syncFolder(const QString &path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Unbuffered, and synced here: QSaveFile (Qt 6.4) ignores a failed flush or sync
// in commit() and would put a cut file in place on a full disk.
bool saveAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (out.write(bytes) != bytes.size() || ::fsync(out.handle()) != 0) {
        out.cancelWriting();
        return false;
    }
    if (!out.commit())
        return false;
    syncFolder(path);
    return true;
}

// Reads, changes and replaces the file, all under its lock.
template <typename Edit> bool rewrite(const QString &path, Edit &&edit)
{
    if (path.isEmpty())
        return false;
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!acquire(lock))
        return false;
    const auto old = readBytes(path);
    if (!old)
        return false;
    const std::optional<QString> changed = edit(QStringView(decodeText(*old)));
    if (!changed)
        return true;
    const QByteArray bytes = encodeFile(*changed);
    if (bytes == *old)
        return true;
    return saveAtomically(path, bytes);
}

} // namespace

int GetPrivateProfileString(const QString &section, const QString &key, const QString &defaultValue,
                            QChar *buffer, int size, const QString &file)
{
    const QString text = loadText(file);
    const auto value = findValue(text, trimBlanks(section), trimBlanks(key));
    return copyValue(value ? *value : defaultValue, buffer, size);
}

bool WritePrivateProfileString(const std::optional<QString> &section, const std::optional<QString> &key,
                               const std::optional<QString> &value, const QString &file)
{
    if (!section)
        return true; // nothing is ever pending: every change is already on disk
    const QString name = cleanedName(*section);
    if (!headerRoundTrips(name))
        return false;
    if (!key)
        return rewrite(file, [&](QStringView text) { return deleteSection(text, name); });
    const QString keyName = cleanedName(*key);
    if (!value)
        return rewrite(file, [&](QStringView text) { return deleteEntry(text, name, keyName); });
    const QString newValue = cleaned(*value);
    if (!entryRoundTrips(keyName, newValue))
        return false;
    return rewrite(file, [&](QStringView text) { return setEntry(text, name, keyName, newValue); });
}

int GetPrivateProfileSection(const QString &section, QChar *buffer, int size, const QString &file)
{
    const QString text = loadText(file);
    return copyList(sectionEntries(text, trimBlanks(section), size), buffer, size);
}

int GetPrivateProfileSectionNames(QChar *buffer, int size, const QString &file)
{
    const QString text = loadText(file);
    return copyList(sectionNames(text, size), buffer, size);
}

bool EditPrivateProfileSection(const QString &section,
                               const std::function<std::optional<QStringList>(const QStringList &)> &edit,
                               const QString &file)
{
    const QString name = cleanedName(section);
    if (!headerRoundTrips(name))
        return false;
    bool refused = false;
    const bool written = rewrite(file, [&](QStringView old) -> std::optional<QString> {
        QStringList entries = sectionEntries(old, name, old.size()).split(QChar(0));
        entries.removeLast(); // after the last NUL
        std::optional<QStringList> lines = edit(entries);
        if (!lines)
            return std::nullopt;
        for (QString &line : *lines) {
            line = cleaned(line);
            if (!sectionLineRoundTrips(line)) {
                refused = true;
                return std::nullopt;
            }
        }
        return replaceEntries(old, name, *lines);
    });
    return written && !refused;
}

bool WritePrivateProfileSection(const QString &section, const QString &text, const QString &file)
{
    QStringList lines;
    for (QStringView line : QStringView(text).tokenize(QChar(0))) {
        if (line.isEmpty())
            break; // two NULs end the list
        lines.append(cleaned(line.toString()));
        if (!sectionLineRoundTrips(lines.back()))
            return false;
    }
    const QString name = cleanedName(section);
    if (!headerRoundTrips(name))
        return false;
    return rewrite(file, [&](QStringView old) { return replaceEntries(old, name, lines); });
}

} // namespace platform
