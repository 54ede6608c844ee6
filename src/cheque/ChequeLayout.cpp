#include "cheque/ChequeLayout.h"

#include "platform/Conversions.h"

#include <stdexcept>

namespace cheque {

platform::Printer &ChequePage::printer() const
{
    if (!device)
        throw platform::PrinterError(QStringLiteral("Aucune imprimante"));
    return *device;
}

float ChequePage::TextHeight(const QString &text)
{
    platform::Printer &p = printer();
    ++measures;
    return p.TextHeight(text);
}

float ChequePage::TextWidth(const QString &text)
{
    platform::Printer &p = printer();
    ++measures;
    return p.TextWidth(text);
}

void ChequePage::reduceFontSize()
{
    platform::Printer &p = printer();
    const float size = p.FontSize();
    p.setFontSize(size - 1);
    if (!(p.FontSize() < size))
        throw platform::PrinterError(QStringLiteral("La taille de police ne descend plus"));
}

qint16 ChequePage::currentX(qint16 x) const
{
    const int sum = int(HorAjust) + int(x) + int(horizontalOffset);
    if (sum < -32768 || sum > 32767)
        throw std::overflow_error("cheque x out of range");
    return qint16(sum);
}

FormCorner FormPlacement(qint16 orientation, const QString &positionnementTag)
{
    if (orientation != 2)
        return {};
    if (platform::Val(positionnementTag) == 270)
        return {0, landscapeLowerY};
    return {landscapeRightX, 0};
}

QString FiguresText(const QString &amountText, bool stars)
{
    const auto grouped = platform::FormatGrouped(amountText);
    if (!grouped)
        throw std::invalid_argument("amount is not a number");
    const QString figures = grouped->trimmed();
    return stars ? QStringLiteral("**") + figures + QStringLiteral("**") : figures;
}

bool SplitWords(const QString &text, QString &first, QString &second, const Measure &textWidth)
{
    QString line = text;
    while (textWidth(line) >= firstLineWidth) {
        const qsizetype space = line.lastIndexOf(QLatin1Char(' '));
        if (space < 0) {
            // A single word too wide for the line: keep it whole, the rest goes below.
            first = line;
            second = text.mid(line.size() + 1);
            return false;
        }
        line.truncate(space);
    }
    if (line.size() == text.size()) {
        first = line;
        second.clear();
        return true;
    }
    const QString rest = text.mid(line.size() + 1);
    const bool fits = textWidth(rest) < secondLineWidth;
    first = line;
    second = rest;
    return fits;
}

void FitWordsSize(ChequePage &page)
{
    page.step([&] { page.printer().setFontSize(startSize); });
    for (;;) {
        // A measure that fails counts as too high: one more reduction, then the flag stops the loop.
        bool tooHigh = true;
        page.step([&] { tooHigh = page.TextHeight(QStringLiteral("EUROS")) > wordsHeight; });
        if (!tooHigh)
            return;
        page.step([&] { page.reduceFontSize(); });
        if (page.failed)
            return;
    }
}

void PrintItem(ChequePage &page, Item item, const QString &text)
{
    page.step([&] { page.printer().setCurrentX(page.currentX(item.x)); });
    page.step([&] {
        const float y =
            item.y - page.TextHeight(QStringLiteral("E")) + float(page.VerAjust) + float(page.verticalOffset);
        page.printer().setCurrentY(y);
    });
    page.step([&] {
        page.printer().Print(text);
        ++page.printed;
    });
}

void CutWords(ChequePage &page, const QString &words, QString &first, QString &second)
{
    first = words;
    second.clear();
    const Measure width = [&](const QString &text) { return page.TextWidth(text); };
    for (;;) {
        bool fits = false;
        page.step([&] { fits = SplitWords(words, first, second, width); });
        if (fits)
            return;
        page.step([&] { page.reduceFontSize(); });
        if (page.failed)
            return;
    }
}

void FitFiguresSize(ChequePage &page, const QString &figures)
{
    page.step([&] { page.printer().setFontSize(startSize); });
    for (;;) {
        bool fits = false;
        page.step([&] {
            fits = page.TextHeight(QStringLiteral("20,00")) < figuresHeight &&
                   page.TextWidth(figures) < figuresWidth;
        });
        if (fits)
            return;
        page.step([&] { page.reduceFontSize(); });
        if (page.failed)
            return;
    }
}

void PrintLayout(ChequePage &page, const QString &beneficiary, const QString &date, const QString &words,
                 const QString &amountText, bool stars)
{
    FitWordsSize(page);
    // Beneficiary and date keep the words size: they are printed before the cut shrinks it.
    PrintItem(page, beneficiaryItem, beneficiary);
    PrintItem(page, dateItem, date);

    QString first, second;
    CutWords(page, words, first, second);
    PrintItem(page, firstLineItem, first);
    PrintItem(page, secondLineItem, second);

    QString figures;
    page.step([&] { figures = FiguresText(amountText, stars); });
    FitFiguresSize(page, figures);
    PrintItem(page, figuresItem, figures);
}

} // namespace cheque
