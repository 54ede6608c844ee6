#include "support/PdfText.h"

#include "support/TestFiles.h"

#include <QLineF>
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

bool InkPicture::inked(QPointF mm) const
{
    const QPoint p(int(mm.x() * dots), int(mm.y() * dots));
    return image.rect().contains(p) && isInk(image.pixel(p));
}

namespace {
// Calls `f` on the points of a segment, one a dot.
template <class F> int walk(const InkPicture &picture, QPointF from, QPointF to, F f)
{
    const int steps = std::max(1, int(QLineF(from, to).length() * picture.dots));
    for (int i = 0; i <= steps; ++i)
        f(picture.inked(from + (to - from) * i / steps));
    return steps + 1;
}
} // namespace

double InkPicture::share(QPointF from, QPointF to) const
{
    int inkedDots = 0;
    const int all = walk(*this, from, to, [&](bool ink) { inkedDots += ink; });
    return double(inkedDots) / all;
}

double InkPicture::run(QPointF from, QPointF to) const
{
    int best = 0, current = 0;
    walk(*this, from, to, [&](bool ink) { best = std::max(best, current = ink ? current + 1 : 0); });
    return best / dots;
}

QRectF InkPicture::box(const QRectF &area) const
{
    QRectF box;
    for (double y = area.top(); y < area.bottom(); y += 1 / dots)
        for (double x = area.left(); x < area.right(); x += 1 / dots)
            if (inked(QPointF(x, y)))
                box |= QRectF(x, y, 1 / dots, 1 / dots);
    return box;
}

} // namespace testsupport
