#include "support/PdfText.h"

#include <QProcess>
#include <QRegularExpression>

namespace testsupport {

namespace {

constexpr double mmPerPoint = 25.4 / 72;

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString unescape(QString text)
{
    text.replace(QLatin1String("&lt;"), QLatin1String("<"));
    text.replace(QLatin1String("&gt;"), QLatin1String(">"));
    text.replace(QLatin1String("&quot;"), QLatin1String("\""));
    text.replace(QLatin1String("&apos;"), QLatin1String("'"));
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text;
}

} // namespace

QList<PdfPage> pdfPages(const QString &path)
{
    const QString html =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    static const QRegularExpression pageRe(
        QStringLiteral(R"re(<page width="([\d.]+)" height="([\d.]+)">)re"));
    static const QRegularExpression wordRe(QStringLiteral(
        R"re(<word xMin="([-\d.]+)" yMin="([-\d.]+)" xMax="([-\d.]+)" yMax="([-\d.]+)">([^<]*)</word>)re"));
    QList<PdfPage> pages;
    for (const QString &chunk : html.split(QStringLiteral("</page>"))) {
        const QRegularExpressionMatch page = pageRe.match(chunk);
        if (!page.hasMatch())
            continue;
        PdfPage p;
        p.size = QSizeF(page.captured(1).toDouble(), page.captured(2).toDouble()) * mmPerPoint;
        auto it = wordRe.globalMatch(chunk);
        while (it.hasNext()) {
            const QRegularExpressionMatch w = it.next();
            p.words.append({unescape(w.captured(5)), w.captured(1).toDouble() * mmPerPoint,
                            w.captured(2).toDouble() * mmPerPoint, w.captured(3).toDouble() * mmPerPoint,
                            w.captured(4).toDouble() * mmPerPoint});
        }
        pages.append(p);
    }
    return pages;
}

QString pdfInfo(const QString &path, const QString &key)
{
    const QString info = run(QStringLiteral("pdfinfo"), {path});
    for (const QString &line : info.split(QLatin1Char('\n'))) {
        if (line.startsWith(key + QLatin1Char(':')))
            return line.mid(key.size() + 1).trimmed();
    }
    return QString();
}

const PdfWord *findWord(const PdfPage &page, const QString &text)
{
    for (const PdfWord &word : page.words)
        if (word.text == text)
            return &word;
    return nullptr;
}

QStringList pdfFonts(const QString &path)
{
    // Two heading lines, then one font a line, its name first.
    const QStringList lines = run(QStringLiteral("pdffonts"), {path}).split(QLatin1Char('\n'));
    QStringList fonts;
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QString name = lines[i].section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
        if (!name.isEmpty())
            fonts << name.mid(name.indexOf(QLatin1Char('+')) + 1);
    }
    return fonts;
}

} // namespace testsupport
