#include "cheque/ChequeJob.h"
#include "cheque/ChequeLayout.h"
#include "cheque/mValToChar.h"
#include "support/ChequeFake.h"

#include <QRandomGenerator>
#include <QTest>
#include <cmath>

using namespace cheque;
using testsupport::ChequeFake;
using testsupport::sizesDown;

namespace {

ChequeFake &installFake()
{
    auto printers = std::make_unique<platform::FakePrinters>();
    auto fake = std::make_unique<ChequeFake>();
    ChequeFake &ref = *fake;
    printers->list.push_back(std::move(fake));
    platform::setPrinters(std::move(printers));
    return ref;
}

ChequeInput typicalInput(const QString &amount = QStringLiteral("21,21"), bool stars = false)
{
    ChequeInput in;
    in.amount = amount;
    in.beneficiary = QStringLiteral("Jean Dupont");
    in.date = QStringLiteral("05/12/2026");
    in.stars = stars;
    in.paperBinTag = QStringLiteral("7");
    in.orientationTag = QStringLiteral("1");
    in.positionnementTag = QStringLiteral("90");
    in.sFont = QStringLiteral("Arial");
    return in;
}

using Printed = ChequeFake::Printed;

// Where each text lands with the measures of ChequeFake, portrait, no adjustment.
// Words: "EUROS" is 0.40572 mm per point high, so 12 pt (4.87 mm) is the first size
// at most 5 mm; every y is the design y less that height. Figures: "20,00" under 8 mm
// gives 19 pt unless the width (0.21168 mm per point and character) asks for less.
QList<Printed> expectedItems(const QString &amount)
{
    const float e12 = 33 - 28.13136f; // TextHeight("E") at 12 pt
    const QList<Printed> head = {{"Jean Dupont", 12, 15, 33 - e12}, {"05/12/2026", 12, 135, 45 - e12}};
    if (amount == QLatin1String("21,21")) // 33 characters: 83.8 mm; cut after 26 (66.0 mm)
        return head + QList<Printed>{{"VINGT ET UN EUROS VINGT ET", 12, 45, 22 - e12},
                                     {"UN CTS", 12, 15, 27 - e12},
                                     {"21,21", 19, 135, 35 - 7.70868f}};
    if (amount == QLatin1String("80,00")) // 19 characters, 48.3 mm: one line
        return head + QList<Printed>{{"QUATRE-VINGTS EUROS", 12, 45, 22 - e12},
                                     {"", 12, 15, 27 - e12},
                                     {"80,00", 19, 135, 35 - 7.70868f}};
    if (amount == QLatin1String("1234,50")) // with stars: 12 characters of figures need 15 pt for 39 mm
        return head + QList<Printed>{{"**MILLE DEUX CENT TRENTE", 12, 45, 22 - e12},
                                     {"QUATRE EUROS CINQUANTE CTS**", 12, 15, 27 - e12},
                                     {"**1 234,50**", 15, 135, 35 - 6.0858f}};
    // 2147483647,99: the second line (79 characters) is under 106 mm only at 6 pt.
    return head +
           QList<Printed>{{"DEUX MILLIARDS CENT QUARANTE SEPT MILLIONS QUATRE CENT", 6, 45, 22 - 2.43432f},
                          {"QUATRE-VINGT-TROIS MILLE SIX CENT QUARANTE SEPT EUROS QUATRE-VINGT-DIX-NEUF CTS",
                           6, 15, 27 - 2.43432f},
                          {"2147 483 647,99", 12, 135, 35 - 4.86864f}};
}

void compareItems(const QList<Printed> &actual, const QList<Printed> &expected, float dx = 0, float dy = 0)
{
    QCOMPARE(actual.size(), expected.size());
    for (int i = 0; i < actual.size(); ++i) {
        const QByteArray where = "item " + QByteArray::number(i) + " " + expected[i].text.toUtf8();
        QVERIFY2(actual[i].text == expected[i].text, where + " got " + actual[i].text.toUtf8());
        QVERIFY2(actual[i].size == expected[i].size, where + " size " + QByteArray::number(actual[i].size));
        QVERIFY2(std::abs(actual[i].x - (expected[i].x + dx)) < 1e-4,
                 where + " x " + QByteArray::number(actual[i].x));
        QVERIFY2(std::abs(actual[i].y - (expected[i].y + dy)) < 1e-4,
                 where + " y " + QByteArray::number(actual[i].y));
    }
}

QStringList texts(const QList<Printed> &items)
{
    QStringList out;
    for (const Printed &p : items)
        out << p.text;
    return out;
}

QList<float> sizes(const QList<Printed> &items)
{
    QList<float> out;
    for (const Printed &p : items)
        out << p.size;
    return out;
}

} // namespace

class TestChequeJob : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { platform::setPrinters(nullptr); }

    void checks_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("date");
        QTest::addColumn<int>("check");
        QTest::addColumn<QString>("result"); // message, or the date when accepted

        const int ok = int(ChequeCheck::Ok), empty = int(ChequeCheck::EmptyAmount),
                  zero = int(ChequeCheck::ZeroAmount), large = int(ChequeCheck::AmountTooLarge),
                  invalid = int(ChequeCheck::AmountNotValid), badDate = int(ChequeCheck::InvalidDate);
        const QString emptyMsg = "Indiquez le montant du chèque.",
                      zeroMsg = "Un montant nul n'est pas autorisé.",
                      largeMsg = "Le montant du chèque est trop élevé.",
                      invalidMsg = "Le montant du chèque n'est pas valide.",
                      dateMsg = "La date du chèque n'est pas une date valide.\r\nVeuillez la corriger.";

        QTest::newRow("empty, date not looked at") << ""
                                                   << "31/02/2026" << empty << emptyMsg;
        QTest::newRow("blank") << "   "
                               << "05/12/2026" << empty << emptyMsg;
        QTest::newRow("zero") << "0,00"
                              << "31/02/2026" << zero << zeroMsg;
        QTest::newRow("zero unnormalised") << "0,001"
                                           << "05/12/2026" << zero << zeroMsg;
        QTest::newRow("one cent") << "0,01"
                                  << "05/12/2026" << ok << "05/12/2026";
        QTest::newRow("largest") << "2147483647,99"
                                 << "05/12/2026" << ok << "05/12/2026";
        QTest::newRow("one euro more") << "2147483648,00"
                                       << "31/02/2026" << large << largeMsg;
        QTest::newRow("rounds over") << "2147483647,995"
                                     << "05/12/2026" << large << largeMsg;
        QTest::newRow("twenty digits") << "99999999999999999999,00"
                                       << "05/12/2026" << large << largeMsg;
        QTest::newRow("letters") << "12a"
                                 << "31/02/2026" << invalid << invalidMsg;
        QTest::newRow("two commas") << "1,2,3"
                                    << "05/12/2026" << invalid << invalidMsg;
        QTest::newRow("negative") << "-5,00"
                                  << "05/12/2026" << invalid << invalidMsg;
        QTest::newRow("exponent") << "1e3"
                                  << "05/12/2026" << invalid << invalidMsg;
        QTest::newRow("31 February") << "12,50"
                                     << "31/02/2026" << badDate << dateMsg;
        QTest::newRow("no date") << "12,50"
                                 << "" << badDate << dateMsg;
        QTest::newRow("short year") << "12,50"
                                    << "5/12/26" << ok << "05/12/2026";
        QTest::newRow("dashes") << "12,50"
                                << "29-02-2024" << ok << "29/02/2024";
    }
    void checks()
    {
        QFETCH(QString, amount);
        QFETCH(QString, date);
        QFETCH(int, check);
        QFETCH(QString, result);
        const CheckResult r = CheckCheque(amount, date);
        QCOMPARE(int(r.check), check);
        QCOMPARE(r.ok(), check == int(ChequeCheck::Ok));
        if (r.ok()) {
            QCOMPARE(r.date, result);
            QCOMPARE(int(r.focus), int(ChequeField::None));
            return;
        }
        QCOMPARE(r.message, result);
        const bool dateCheck = check == int(ChequeCheck::InvalidDate);
        QCOMPARE(int(r.icon),
                 int(dateCheck ? platform::MsgIcon::Information : platform::MsgIcon::Exclamation));
        QCOMPARE(int(r.focus), int(dateCheck ? ChequeField::Date : ChequeField::Amount));
    }

    void words_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("words");
        QTest::newRow("21,21") << "21,21"
                               << "VINGT ET UN EUROS VINGT ET UN CTS";
        QTest::newRow("80,00") << "80,00"
                               << "QUATRE-VINGTS EUROS";
        QTest::newRow("1234,50") << "1234,50"
                                 << "MILLE DEUX CENT TRENTE QUATRE EUROS CINQUANTE CTS";
        QTest::newRow("71,01") << "71,01"
                               << "SOIXANTE ET ONZE EUROS UN CTS";
        QTest::newRow("1000000,00") << "1000000,00"
                                    << "UN MILLION EUROS";
        QTest::newRow("0,50") << "0,50"
                              << " EUROS CINQUANTE CTS";
        QTest::newRow("0,01") << "0,01"
                              << " EUROS UN CTS";
        QTest::newRow("largest")
            << "2147483647,99"
            << "DEUX MILLIARDS CENT QUARANTE SEPT MILLIONS QUATRE CENT QUATRE-VINGT-TROIS "
               "MILLE SIX CENT QUARANTE SEPT EUROS QUATRE-VINGT-DIX-NEUF CTS";
        QTest::newRow("unnormalised rounds like the field") << "12,345"
                                                            << "DOUZE EUROS TRENTE CINQ CTS";
    }
    void words()
    {
        QFETCH(QString, amount);
        QFETCH(QString, words);
        QCOMPARE(WordsText(amount, false), words);
        QCOMPARE(WordsText(amount, true), "**" + words + "**");
    }

    void wordsRefuseWhatChecksRefuse()
    {
        for (const char *amount : {"2147483648,00", "abc", "-1,00", ""})
            QVERIFY_THROWS_EXCEPTION(std::invalid_argument, WordsText(amount, false));
    }

    // Whole euros and cents from the digits are what double arithmetic on the amount
    // gives (floor, then the fraction times 100 rounded half to even) for every
    // normalised amount in range.
    void amountPartsMatchDoubleArithmetic()
    {
        QRandomGenerator rng(20261205);
        QList<QPair<qint64, int>> samples;
        for (qint64 whole : {0LL, 1LL, 999LL, 16777216LL, 2147483646LL, 2147483647LL})
            for (int cents = 0; cents < 100; ++cents)
                samples.append({whole, cents});
        for (int i = 0; i < 200000; ++i)
            samples.append({qint64(rng.bounded(2147483648u)), int(rng.bounded(100))});
        for (const auto &[whole, cents] : samples) {
            const QString text = QString::number(whole) + "," + QString::number(cents).rightJustified(2, '0');
            const double value = QString(text).replace(',', '.').toDouble();
            const double floor = std::floor(value);
            const double fraction = std::nearbyint((value - floor) * 100);
            const auto parts = AmountParts(text);
            QVERIFY2(parts, qPrintable(text));
            QVERIFY2(parts->whole == qint64(floor) && parts->cents == int(fraction), qPrintable(text));
        }
    }

    void figures_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<bool>("stars");
        QTest::addColumn<QString>("figures");
        QTest::newRow("5") << "5" << false << "5,00";
        QTest::newRow("1234,5 stars") << "1234,5" << true << "**1 234,50**";
        QTest::newRow("nine digits") << "123456789,00" << false << "123 456 789,00";
        QTest::newRow("ten digits") << "1234567890,00" << false << "1234 567 890,00";
        QTest::newRow("three digits") << "999,99" << false << "999,99";
    }
    void figures()
    {
        QFETCH(QString, amount);
        QFETCH(bool, stars);
        QFETCH(QString, figures);
        QCOMPARE(FiguresText(amount, stars), figures);
    }

    void layout_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<bool>("stars");
        QTest::addColumn<QString>("orientation");
        QTest::addColumn<QString>("rotation");
        QTest::addColumn<int>("hor");
        QTest::addColumn<int>("ver");
        QTest::addColumn<float>("dx");
        QTest::addColumn<float>("dy");
        QTest::newRow("short portrait") << "21,21" << false << "1"
                                        << "270" << 0 << 0 << 0.f << 0.f;
        QTest::newRow("one line") << "80,00" << false << "1"
                                  << "90" << 0 << 0 << 0.f << 0.f;
        QTest::newRow("stars") << "1234,50" << true << "1"
                               << "90" << 0 << 0 << 0.f << 0.f;
        QTest::newRow("longest") << "2147483647,99" << false << "1"
                                 << "90" << 0 << 0 << 0.f << 0.f;
        QTest::newRow("adjusted") << "21,21" << false << "1"
                                  << "90" << -3 << 2 << -3.f << 2.f;
        QTest::newRow("landscape 270") << "21,21" << false << "2"
                                       << "270" << 0 << 0 << 0.f << 129.f;
        QTest::newRow("landscape 90") << "1234,50" << true << "2"
                                      << "90" << 0 << 0 << 122.f << 0.f;
        QTest::newRow("landscape, rotation unknown") << "21,21" << false << "2"
                                                     << "-1" << 0 << 0 << 122.f << 0.f;
        QTest::newRow("landscape 270 adjusted") << "21,21" << false << "2"
                                                << "270" << -3 << 2 << -3.f << 131.f;
    }
    void layout()
    {
        QFETCH(QString, amount);
        QFETCH(bool, stars);
        QFETCH(QString, orientation);
        QFETCH(QString, rotation);
        QFETCH(int, hor);
        QFETCH(int, ver);
        QFETCH(float, dx);
        QFETCH(float, dy);
        ChequeFake &fake = installFake();
        ChequeInput in = typicalInput(amount, stars);
        in.orientationTag = orientation;
        in.positionnementTag = rotation;
        in.HorAjust = qint16(hor);
        in.VerAjust = qint16(ver);
        const PrintReport report = PrintCheque(in);
        QVERIFY(!report.failed);
        QCOMPARE(fake.documents, 1);
        compareItems(fake.items, expectedItems(amount), dx, dy);
    }

    // The configuration in its order, then the words fitted from 72 down, the figures from 72.
    void sequence()
    {
        ChequeFake &fake = installFake();
        const PrintReport report = PrintCheque(typicalInput());
        QCOMPARE(fake.log(false).mid(0, 6), QStringList({"PaperBin 7", "PaperSize 9", "Orientation 1",
                                                         "ScaleMode 6", "FontName Arial", "Orientation? 1"}));
        QCOMPARE(fake.log(false).last(), QString("EndDoc 0"));
        QCOMPARE(fake.sizesSet(), sizesDown(72, 12) + sizesDown(72, 19));
        // 61 heights of "EUROS", 5 of "E", 4 widths for the cut, 54 heights of "20,00" and one width.
        QCOMPARE(report.measures, 125);
    }

    void longSequence()
    {
        ChequeFake &fake = installFake();
        const PrintReport report = PrintCheque(typicalInput("2147483647,99"));
        QCOMPARE(fake.sizesSet(), sizesDown(72, 12) + sizesDown(11, 6) + sizesDown(72, 12));
        QVERIFY(!report.failed);
    }

    void configuration_data()
    {
        QTest::addColumn<QString>("bin");
        QTest::addColumn<QString>("orientation");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<float>("dy");
        QTest::newRow("leading number") << "7abc"
                                        << "2.5" // half to even: 2
                                        << QStringList{"PaperBin 7",  "PaperSize 9",    "Orientation 2",
                                                       "ScaleMode 6", "FontName Arial", "Orientation? 2"}
                                        << 129.f;
        QTest::newRow("not numbers") << "bac"
                                     << "" // 0 for both; orientation 0 is refused
                                     << QStringList{"PaperBin 0",  "PaperSize 9",    "Orientation 0",
                                                    "ScaleMode 6", "FontName Arial", "Orientation? 1"}
                                     << 0.f;
        QTest::newRow("beyond 16 bits") << "70000"
                                        << "3.5" // no bin set; orientation 4 refused
                                        << QStringList{"PaperSize 9",    "Orientation 4",  "ScaleMode 6",
                                                       "FontName Arial", "Orientation? 1", "FontSize 72"}
                                        << 0.f;
    }
    // Failures of the configuration are forgotten before the layout.
    void configuration()
    {
        QFETCH(QString, bin);
        QFETCH(QString, orientation);
        QFETCH(QStringList, log);
        QFETCH(float, dy);
        ChequeFake &fake = installFake();
        ChequeInput in = typicalInput();
        in.paperBinTag = bin;
        in.orientationTag = orientation;
        in.positionnementTag = "270";
        const PrintReport report = PrintCheque(in);
        QCOMPARE(fake.log(false).mid(0, 6), log);
        QVERIFY(!report.failed);
        compareItems(fake.items, expectedItems("21,21"), 0, dy);
    }

    void orientationUnreadable()
    {
        ChequeFake &fake = installFake();
        fake.failOn("Orientation?");
        ChequeInput in = typicalInput();
        in.orientationTag = "2";
        in.positionnementTag = "270";
        QVERIFY(!PrintCheque(in).failed);
        compareItems(fake.items, expectedItems("21,21")); // no offset
    }

    // The 30th size (43 pt) is refused while fitting the words: they stay at 44 pt;
    // the cut then makes one reduction, and so does the figures loop.
    void sizeRefused()
    {
        ChequeFake &fake = installFake();
        fake.failOn("FontSize", 1, 29);
        const PrintReport report = PrintCheque(typicalInput());
        QVERIFY(report.failed);
        QCOMPARE(texts(fake.items),
                 QStringList({"Jean Dupont", "05/12/2026", "VINGT", "ET UN EUROS VINGT ET UN CTS", "21,21"}));
        QCOMPARE(sizes(fake.items), QList<float>({44, 44, 43, 43, 71}));
        QCOMPARE(fake.items[0].y, 33 - float(testsupport::kHeightPerPoint * 44));
        QCOMPARE(fake.documents, 1);
    }

    // The fourth height of "EUROS" (at 69 pt) fails: one more reduction, then the loop stops.
    void measureFails()
    {
        ChequeFake &fake = installFake();
        fake.failOn("TextHeight", 1, 3);
        const PrintReport report = PrintCheque(typicalInput());
        QVERIFY(report.failed);
        QCOMPARE(texts(fake.items),
                 QStringList({"Jean Dupont", "05/12/2026", "VINGT", "ET UN EUROS VINGT ET UN CTS", "21,21"}));
        QCOMPARE(sizes(fake.items), QList<float>({68, 68, 67, 67, 71}));
    }

    // The date's CurrentY fails: the date prints where the beneficiary left the pen.
    void positionFails()
    {
        ChequeFake &fake = installFake();
        fake.failOn("CurrentY", 1, 1);
        const PrintReport report = PrintCheque(typicalInput());
        QVERIFY(report.failed);
        QCOMPARE(fake.items.size(), 5);
        QCOMPARE(fake.items[1].text, QString("05/12/2026"));
        QCOMPARE(fake.items[1].x, 135.f);
        QVERIFY(std::abs(fake.items[1].y - 33.f) < 1e-4); // next line below the beneficiary
        QCOMPARE(fake.items[4].size, 71.f);               // the figures loop saw the flag
    }

    void printFails()
    {
        ChequeFake &fake = installFake();
        fake.failOn("Print", 1, 0);
        QVERIFY(PrintCheque(typicalInput()).failed);
        QCOMPARE(texts(fake.items),
                 QStringList({"05/12/2026", "VINGT ET UN EUROS VINGT ET", "UN CTS", "21,21"}));
        QCOMPARE(fake.documents, 1);
    }

    void endDocFails()
    {
        ChequeFake &fake = installFake();
        fake.failOn("EndDoc");
        QVERIFY(PrintCheque(typicalInput()).failed);
        QCOMPARE(fake.items.size(), 5);
        QCOMPARE(fake.documents, 0);
    }

    // x = HorAjust + design x as 16 bits: 32632 + 135 fits exactly, 32633 + 135 does not.
    void horizontalOverflow_data()
    {
        QTest::addColumn<int>("hor");
        QTest::addColumn<QStringList>("xs");
        QTest::newRow("fits") << 32632 << QStringList{"32647", "32767", "32677", "32647", "32767"};
        QTest::newRow("date and figures overflow") << 32633 << QStringList{"32648", "32678", "32648"};
        QTest::newRow("lowest") << -32768 << QStringList{"-32753", "-32633", "-32723", "-32753", "-32633"};
    }
    void horizontalOverflow()
    {
        QFETCH(int, hor);
        QFETCH(QStringList, xs);
        ChequeFake &fake = installFake();
        ChequeInput in = typicalInput();
        in.HorAjust = qint16(hor);
        const PrintReport report = PrintCheque(in);
        QStringList set;
        for (const auto &c : fake.calls)
            if (c.member == "CurrentX")
                set << QString::number(c.value);
        QCOMPARE(set, xs);
        QCOMPARE(report.failed, xs.size() < 5);
        QCOMPARE(fake.items.size(), 5); // every text printed, some at the pen's position
    }

    void noPrinter()
    {
        platform::setPrinters(std::make_unique<platform::FakePrinters>());
        PrintReport report;
        try {
            report = PrintCheque(typicalInput());
        } catch (...) {
            QFAIL("an exception escaped the job");
        }
        QVERIFY(report.failed);
        QCOMPARE(report.measures, 0);
    }
};

QTEST_GUILESS_MAIN(TestChequeJob)
#include "test_chequejob.moc"
