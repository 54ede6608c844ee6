#include "support/PdfText.h"

#include "support/TestFiles.h"

#include <QRegularExpression>
#include <algorithm>

namespace testsupport {

namespace {

constexpr double mmPerPoint = 25.4 / 72;

QStringList lines(const QString &program, const QStringList &arguments)
{
    const Run r = run(program, arguments);
    return r.code ? QStringList() : r.out.split('\n');
}

} // namespace

QList<PdfPage> pdfPages(const QString &path)
{
    static const QRegularExpression re(
        R"re(<page width="([\d.]+)" height="([\d.]+)">|<word xMin="([-\d.]+)" )re"
        R"re(yMin="([-\d.]+)" xMax="([-\d.]+)" yMax="([-\d.]+)">([^<]*)</word>)re");
    QList<PdfPage> pages;
    for (const QString &line : lines("pdftotext", {"-bbox", path, "-"})) {
        const QRegularExpressionMatch m = re.match(line);
        auto mm = [&](int n) { return m.captured(n).toDouble() * mmPerPoint; };
        if (m.hasCaptured(1)) {
            pages.append({QSizeF(mm(1), mm(2)), {}});
        } else if (m.hasCaptured(7) && !pages.isEmpty()) {
            QString text = m.captured(7);
            for (const auto &[entity, c] :
                 {std::pair("&lt;", "<"), {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}})
                text.replace(entity, c);
            pages.last().words.append({text, mm(3), mm(4), mm(5), mm(6)});
        }
    }
    return pages;
}

QString pdfInfo(const QString &path, const QString &key)
{
    for (const QString &line : lines("pdfinfo", {path}))
        if (line.startsWith(key + ':'))
            return line.mid(key.size() + 1).trimmed();
    return {};
}

const PdfWord *findWord(const PdfPage &page, const QString &text)
{
    auto it =
        std::find_if(page.words.begin(), page.words.end(), [&](const PdfWord &w) { return w.text == text; });
    return it == page.words.end() ? nullptr : &*it;
}

QStringList pdfFonts(const QString &path)
{
    // Two heading lines, then one font a line, its name first.
    QStringList fonts;
    for (const QString &line : lines("pdffonts", {path}).mid(2))
        fonts << line.section(' ', 0, 0, QString::SectionSkipEmpty).section('+', -1);
    fonts.removeAll(QString());
    return fonts;
}

QImage pdfImage(const QString &path, int dpi)
{
    run("pdftoppm", {"-png", "-r", QString::number(dpi), "-singlefile", path, path});
    return QImage(path + ".png");
}

QRect ink(const QImage &image, const QRect &area, int grey)
{
    QRect box;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(image.pixel(x, y)) < grey)
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace testsupport
