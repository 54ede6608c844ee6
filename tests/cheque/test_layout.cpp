#include "cheque/ChequeJob.h"
#include "cheque/ChequeLayout.h"
#include "support/ChequeFake.h"

#include <QTest>
#include <algorithm>

using namespace cheque;
using testsupport::ChequeFake;
using testsupport::sizesDown;

namespace {

ChequeInput starredEighty()
{
    ChequeInput in;
    in.amount = QStringLiteral("80,00"); // "**QUATRE-VINGTS EUROS**"
    in.beneficiary = QStringLiteral("Jean Dupont");
    in.date = QStringLiteral("05/12/2026");
    in.stars = true;
    in.paperBinTag = QStringLiteral("7");
    in.orientationTag = QStringLiteral("1");
    in.sFont = QStringLiteral("Arial");
    return in;
}

template <class Fake = ChequeFake> Fake &installFake()
{
    auto printers = std::make_unique<platform::FakePrinters>();
    auto fake = std::make_unique<Fake>();
    Fake &ref = *fake;
    printers->list.push_back(std::move(fake));
    platform::setPrinters(std::move(printers));
    return ref;
}

// The first word is 60 mm wider than its letters: 98 mm at 12 pt, under 71 mm only at 3 pt.
double wideFirstWord(const QString &text, float size)
{
    return testsupport::kWidthPerPoint * size * text.size() + (text.startsWith("**QUATRE-VINGTS") ? 60 : 0);
}

// A driver that rounds every size below 4 points up to 4.
class FloorFake : public ChequeFake {
public:
    void setFontSize(float points) override { ChequeFake::setFontSize(std::max(points, 4.0f)); }
};

QStringList printedTexts(const ChequeFake &fake)
{
    QStringList out;
    for (const auto &item : fake.items)
        out << item.text;
    return out;
}

} // namespace

class TestLayout : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { platform::setPrinters(nullptr); }

    void split_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("mmPerChar");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<bool>("fits");
        const QString a34(34, 'A'), a35(35, 'A'), b35(35, 'B'), ten(10, 'A');
        QTest::newRow("whole") << "UN MILLION EUROS" << 1.0 << "UN MILLION EUROS"
                               << "" << true;
        QTest::newRow("four words of five")
            << "**MILLE DEUX CENT TRENTE QUATRE EUROS CINQUANTE CTS**" << 2.5 << "**MILLE DEUX CENT TRENTE"
            << "QUATRE EUROS CINQUANTE CTS**" << true;
        QTest::newRow("70 mm stays whole") << a34 + " " + b35 << 1.0 << a34 + " " + b35 << "" << true;
        QTest::newRow("71 mm is cut") << a35 + " " + b35 << 1.0 << a35 << b35 << true;
        QTest::newRow("second 105 mm")
            << ten + " " + QString(105, 'B') << 1.0 << ten << QString(105, 'B') << true;
        QTest::newRow("second 106 mm")
            << ten + " " + QString(106, 'B') << 1.0 << ten << QString(106, 'B') << false;
        QTest::newRow("first word too wide") << "ABCDEFGHIJ KLM" << 10.0 << "ABCDEFGHIJ"
                                             << "KLM" << false;
        QTest::newRow("only word too wide") << "ABCDEFGHIJ" << 10.0 << "ABCDEFGHIJ"
                                            << "" << false;
        QTest::newRow("no euros") << " EUROS CINQUANTE CTS" << 5.0 << " EUROS"
                                  << "CINQUANTE CTS" << true;
        QTest::newRow("no euros, wide") << " EUROS CINQUANTE CTS" << 20.0 << ""
                                        << "EUROS CINQUANTE CTS" << false;
        QTest::newRow("empty") << "" << 1.0 << ""
                               << "" << true;
    }
    void split()
    {
        QFETCH(QString, text);
        QFETCH(double, mmPerChar);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(bool, fits);
        QString line1 = "old", line2 = "old";
        const bool result =
            SplitWords(text, line1, line2, [&](const QString &t) { return float(mmPerChar * t.size()); });
        QCOMPARE(line1, first);
        QCOMPARE(line2, second);
        QCOMPARE(result, fits);
        QCOMPARE(line2.isEmpty() ? line1 : line1 + " " + line2, text); // nothing lost
    }

    // A measure that fails leaves the lines as they were.
    void splitMeasureFails()
    {
        QString first = "A", second = "B";
        int calls = 0;
        const Measure failing = [&](const QString &t) -> float {
            if (++calls == 2)
                throw platform::PrinterError("mesure impossible");
            return float(t.size() * 10);
        };
        QVERIFY_THROWS_EXCEPTION(platform::PrinterError, SplitWords("UN DEUX TROIS", first, second, failing));
        QCOMPARE(first, QString("A"));
        QCOMPARE(second, QString("B"));
    }

    // The bounds are exact: 5 mm high words accepted; 8 mm high or 39 mm wide figures refused.
    void bounds_data()
    {
        QTest::addColumn<bool>("words");
        QTest::addColumn<double>("heightPerPoint");
        QTest::addColumn<double>("widthPerPoint");
        QTest::addColumn<float>("size");
        QTest::newRow("words 5 mm at 40") << true << 1.0 / 8 << 0.0 << 40.f;
        QTest::newRow("figures 8 mm at 40") << false << 1.0 / 5 << 0.0 << 39.f;
        QTest::newRow("figures 39 mm at 39") << false << 0.1 << 1.0 << 38.f;
    }
    void bounds()
    {
        QFETCH(bool, words);
        QFETCH(double, heightPerPoint);
        QFETCH(double, widthPerPoint);
        QFETCH(float, size);
        platform::FakePrinter fake;
        fake.heightOf = [&](const QString &, float s) { return heightPerPoint * s; };
        fake.widthOf = [&](const QString &, float s) { return widthPerPoint * s; };
        ChequePage page;
        page.device = &fake;
        if (words)
            FitWordsSize(page);
        else
            FitFiguresSize(page, "12,00");
        QCOMPARE(fake.fontSize, size);
        QVERIFY(!page.failed);
    }

    // A first word too wide for the line: the font shrinks until it fits, nothing is dropped.
    void firstWordTooWide()
    {
        ChequeFake &fake = installFake();
        fake.widthOf = wideFirstWord;
        const PrintReport report = PrintCheque(starredEighty());
        QVERIFY(!report.failed);
        QCOMPARE(fake.sizesSet(), sizesDown(72, 12) + sizesDown(11, 3) + sizesDown(72, 19));
        QCOMPARE(printedTexts(fake),
                 QStringList({"Jean Dupont", "05/12/2026", "**QUATRE-VINGTS", "EUROS**", "**80,00**"}));
        QCOMPARE(fake.items[2].size, 3.f);
        QCOMPARE(fake.items[3].size, 3.f);
    }

    // A word that never fits: the cut goes down to the smallest size the printer takes
    // and prints every word there.
    void firstWordNeverFits()
    {
        ChequeFake &fake = installFake();
        fake.widthOf = [](const QString &text, float size) {
            return text.startsWith("**QUATRE") ? 1000.0 : testsupport::kWidthPerPoint * size * text.size();
        };
        const PrintReport report = PrintCheque(starredEighty());
        QVERIFY(report.failed); // size 0 refused
        QCOMPARE(printedTexts(fake).mid(2, 2), QStringList({"**QUATRE-VINGTS", "EUROS**"}));
        QCOMPARE(fake.items[2].size, 1.f);
    }

    // A driver that keeps a size instead of refusing it does not hold the cut forever.
    void sizeStopsFalling()
    {
        FloorFake &fake = installFake<FloorFake>();
        fake.widthOf = [](const QString &text, float size) {
            return text.startsWith("**QUATRE") ? 1000.0 : testsupport::kWidthPerPoint * size * text.size();
        };
        const PrintReport report = PrintCheque(starredEighty());
        QVERIFY(report.failed);
        QCOMPARE(printedTexts(fake).mid(2, 2), QStringList({"**QUATRE-VINGTS", "EUROS**"}));
        QCOMPARE(fake.items[2].size, 4.f);
        QCOMPARE(fake.documents, 1);
    }
};

QTEST_GUILESS_MAIN(TestLayout)
#include "test_layout.moc"
