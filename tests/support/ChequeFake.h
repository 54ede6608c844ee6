#pragma once
// A fake printer that measures text roughly like Arial, so that the font-fitting
// loops of a cheque run as many rounds as on paper, and that remembers the size
// and position each text was printed at.

#include "platform/FakePrinter.h"

#include <QList>

namespace testsupport {

// One point is 0.3528 mm; a line is 1.15 em high, a capital about 0.6 em wide.
inline constexpr double kHeightPerPoint = 0.3528 * 1.15; // 0.40572 mm
inline constexpr double kWidthPerPoint = 0.3528 * 0.6;   // 0.21168 mm per character

class ChequeFake : public platform::FakePrinter {
public:
    struct Printed {
        QString text;
        float size = 0;
        float x = 0, y = 0;
    };

    explicit ChequeFake(const QString &name = QStringLiteral("Fake")) : FakePrinter(name)
    {
        heightOf = [](const QString &, float size) { return kHeightPerPoint * size; };
        widthOf = [](const QString &text, float size) { return kWidthPerPoint * size * text.size(); };
    }

    QList<Printed> items; // texts printed, with the size and position in force

    void Print(const QString &text) override
    {
        const Printed item{text, fontSize, currentX, currentY};
        FakePrinter::Print(text);
        items.append(item);
    }

    // The sizes set successfully, in order.
    QList<float> sizesSet() const
    {
        QList<float> sizes;
        for (const Call &c : calls)
            if (c.member == QLatin1String("FontSize") && !c.failed)
                sizes.append(float(c.value));
        return sizes;
    }
};

// Sizes from `from` down to `to`, one point apart.
inline QList<float> sizesDown(int from, int to)
{
    QList<float> sizes;
    for (int s = from; s >= to; --s)
        sizes.append(float(s));
    return sizes;
}

} // namespace testsupport
