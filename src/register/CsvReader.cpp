#include "register/CsvReader.h"

#include "platform/Profile.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

namespace registre {

namespace {

// Far beyond any list of cheques; a file picked by mistake (a film, a disk
// image) is refused before it fills the memory.
constexpr qint64 kMaxBytes = 64 * 1024 * 1024;

bool isLineEnd(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

// Past the line end at i (CR LF counts once).
qsizetype skipLineEnd(QStringView text, qsizetype i)
{
    if (text[i] == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
        return i + 2;
    return i + 1;
}

} // namespace

QList<CsvRecord> parseCsv(QStringView text, QChar separator, int firstLine, qsizetype maxRecords)
{
    QList<CsvRecord> records;
    const qsizetype n = text.size();
    qsizetype i = 0;
    int line = firstLine;
    while (i < n && (maxRecords < 0 || records.size() < maxRecords)) {
        CsvRecord record;
        record.line = line;
        for (;;) {
            QString field;
            if (i < n && text[i] == QLatin1Char('"')) {
                bool closed = false;
                for (++i; i < n && !closed;) {
                    const QChar c = text[i];
                    if (c == QLatin1Char('"')) {
                        closed = !(i + 1 < n && text[i + 1] == QLatin1Char('"'));
                        if (!closed)
                            field += c;
                        i += closed ? 1 : 2;
                    } else if (isLineEnd(c)) {
                        field += QLatin1Char('\n');
                        i = skipLineEnd(text, i);
                        ++line;
                    } else {
                        const qsizetype start = i;
                        while (i < n && text[i] != QLatin1Char('"') && !isLineEnd(text[i]))
                            ++i;
                        field += text.mid(start, i - start);
                    }
                }
                record.unclosedQuote = record.unclosedQuote || !closed;
            }
            const qsizetype start = i;
            while (i < n && text[i] != separator && !isLineEnd(text[i]))
                ++i;
            field += text.mid(start, i - start);
            record.fields << field;
            if (i < n && text[i] == separator) {
                ++i;
                continue;
            }
            break;
        }
        if (i < n) {
            i = skipLineEnd(text, i);
            ++line;
        }
        records << record;
    }
    return records;
}

QChar detectSeparator(QStringView text)
{
    QChar best = QLatin1Char(';');
    qsizetype bestAlike = 0, bestFields = 1;
    for (const QChar candidate : {QLatin1Char(';'), QLatin1Char('\t'), QLatin1Char(',')}) {
        QList<qsizetype> counts;
        for (const CsvRecord &r : parseCsv(text, candidate, 1, 30))
            if (r.fields.size() > 1 || !r.fields[0].trimmed().isEmpty())
                counts << r.fields.size();
        if (counts.isEmpty() || counts[0] < 2)
            continue;
        const qsizetype alike = counts.count(counts[0]);
        if (alike > bestAlike || (alike == bestAlike && counts[0] > bestFields)) {
            best = candidate;
            bestAlike = alike;
            bestFields = counts[0];
        }
    }
    return best;
}

bool readCsvFile(const QString &path, CsvTable &table, QString *error)
{
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Le fichier %1 ne peut pas être lu.\r\n%2").arg(shown, file.errorString());
        return false;
    }
    if (file.size() > kMaxBytes) {
        *error = QStringLiteral("Le fichier %1 est trop gros pour une liste de chèques (plus de %2 Mo).")
                     .arg(shown)
                     .arg(kMaxBytes / (1024 * 1024));
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("Le fichier %1 ne peut pas être lu.\r\n%2").arg(shown, file.errorString());
        return false;
    }

    QString text;
    // Spreadsheets save "Unicode text" as UTF-16 with a byte-order mark.
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(QStringDecoder::Utf16);
        text = utf16(bytes);
        table.encoding = QStringLiteral("UTF-16");
    } else {
        text = platform::decodeText(bytes);
        table.encoding = bytes.startsWith("\xEF\xBB\xBF") || platform::isUtf8(bytes)
                             ? QStringLiteral("UTF-8")
                             : QStringLiteral("Windows-1252");
    }

    // A first line "sep=;" names the separator (as spreadsheets read it).
    QStringView body(text);
    int firstLine = 1;
    if (body.startsWith(QLatin1String("sep="), Qt::CaseInsensitive) && body.size() > 4 &&
        !isLineEnd(body[4]) && (body.size() == 5 || isLineEnd(body[5]))) {
        table.separator = body[4];
        body = body.mid(5);
        if (!body.isEmpty()) {
            body = body.mid(skipLineEnd(body, 0));
            firstLine = 2;
        }
    } else {
        table.separator = detectSeparator(body);
    }
    table.records = parseCsv(body, table.separator, firstLine);
    return true;
}

} // namespace registre
