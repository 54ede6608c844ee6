#include "cheque/ChequeJob.h"
#include "cheque/ChequeLayout.h"
#include "support/FakePrinter.h"

#include <QTest>
#include <algorithm>
#include <cmath>

using namespace cheque;
Q_DECLARE_METATYPE(ChequeInput)

namespace {

// Arial-like measures, so the fitting loops run as many rounds as on paper: a point
// is 0.3528 mm, a line 1.15 em high, a capital 0.6 em wide.
constexpr double kHeight = 0.3528 * 1.15; // 0.40572 mm per point
constexpr double kWidth = 0.3528 * 0.6;   // 0.21168 mm per point and character

struct Printed {
    QString text;
    float size, x, y;
};

// Remembers the size and pen position each text was printed with.
class Recorder : public platform::FakePrinter {
public:
    QList<Printed> items;
    float smallest = 0; // a driver that rounds smaller sizes up to this one

    Recorder()
    {
        heightOf = [](const QString &, float size) { return kHeight * size; };
        widthOf = [](const QString &text, float size) { return kWidth * size * text.size(); };
    }
    void setFontSize(float points) override { FakePrinter::setFontSize(std::max(points, smallest)); }
    void Print(const QString &text) override
    {
        const Printed item{text, fontSize, currentX, currentY};
        FakePrinter::Print(text);
        items.append(item);
    }
    QList<float> sizesSet() const
    {
        QList<float> sizes;
        for (const Call &c : calls)
            if (c.member == QLatin1String("FontSize") && !c.failed)
                sizes.append(float(c.value));
        return sizes;
    }
    QStringList textsAndSizes() const
    {
        QStringList out;
        for (const Printed &p : items)
            out << p.text + "@" + QString::number(p.size);
        return out;
    }
};

Recorder &installRecorder()
{
    auto printers = std::make_unique<platform::FakePrinters>();
    auto fake = std::make_unique<Recorder>();
    Recorder &ref = *fake;
    printers->list.push_back(std::move(fake));
    platform::setPrinters(std::move(printers));
    return ref;
}

ChequeInput input(const QString &amount = "21,21", bool stars = false, const QString &orientation = "1",
                  const QString &rotation = "90", int hor = 0, int ver = 0)
{
    return {amount,      "Jean Dupont", "05/12/2026", stars,       "7",
            orientation, rotation,      qint16(hor),  qint16(ver), "Arial"};
}

QList<float> down(int from, int to)
{
    QList<float> sizes;
    for (int s = from; s >= to; --s)
        sizes.append(float(s));
    return sizes;
}

// "text size (x, y)" to the hundredth of a millimetre, shifted by (dx, dy).
QStringList describe(const QList<Printed> &items, float dx = 0, float dy = 0)
{
    QStringList out;
    for (const Printed &p : items)
        out << QString("%1 %2 (%3, %4)")
                   .arg(p.text)
                   .arg(p.size)
                   .arg(p.x + dx, 0, 'f', 2)
                   .arg(p.y + dy, 0, 'f', 2);
    return out;
}

// Portrait, no adjustment. Each y is the design y less the height of a line at the
// size: 12 pt (4.87 mm) is the first size where "EUROS" is at most 5 mm high; the
// figures take 19 pt (7.71 mm, under 8) unless their width (under 39 mm) asks for less.
struct Layout {
    QList<float> sizes;
    QList<Printed> items;
};
Layout expectedLayout(const QString &amount)
{
    const QList<Printed> head = {{"Jean Dupont", 12, 15, 28.13136f}, {"05/12/2026", 12, 135, 40.13136f}};
    if (amount == QLatin1String("21,21")) // 33 characters: 83.8 mm; cut after 26 (66.0 mm)
        return {down(72, 12) + down(72, 19),
                head + QList<Printed>{{"VINGT ET UN EUROS VINGT ET", 12, 45, 17.13136f},
                                      {"UN CTS", 12, 15, 22.13136f},
                                      {"21,21", 19, 135, 27.29132f}}};
    if (amount == QLatin1String("80,00")) // 19 characters, 48.3 mm: one line
        return {down(72, 12) + down(72, 19), head + QList<Printed>{{"QUATRE-VINGTS EUROS", 12, 45, 17.13136f},
                                                                   {"", 12, 15, 22.13136f},
                                                                   {"80,00", 19, 135, 27.29132f}}};
    if (amount == QLatin1String("1234,50")) // with stars: 12 characters of figures need 15 pt for 39 mm
        return {down(72, 12) + down(72, 15),
                head + QList<Printed>{{"**MILLE DEUX CENT TRENTE", 12, 45, 17.13136f},
                                      {"QUATRE EUROS CINQUANTE CTS**", 12, 15, 22.13136f},
                                      {"**1 234,50**", 15, 135, 28.9142f}}};
    // 2147483647,99: the second line (79 characters) is under 106 mm only at 6 pt.
    return {down(72, 12) + down(11, 6) + down(72, 12),
            head + QList<Printed>{
                       {"DEUX MILLIARDS CENT QUARANTE SEPT MILLIONS QUATRE CENT", 6, 45, 19.56568f},
                       {"QUATRE-VINGT-TROIS MILLE SIX CENT QUARANTE SEPT EUROS QUATRE-VINGT-DIX-NEUF CTS", 6,
                        15, 24.56568f},
                       {"2147 483 647,99", 12, 135, 30.13136f}}};
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
        using C = ChequeCheck;
        const char *empty = "Indiquez le montant du chèque.", *zero = "Un montant nul n'est pas autorisé.",
                   *large = "Le montant du chèque est trop élevé.",
                   *invalid = "Le montant du chèque n'est pas valide.",
                   *badDate = "La date du chèque n'est pas une date valide.\r\nVeuillez la corriger.";
        const struct {
            const char *tag, *amount, *date;
            C check;
            const char *result;
        } rows[] = {
            {"empty, date not looked at", "", "31/02/2026", C::EmptyAmount, empty},
            {"blank", "   ", "05/12/2026", C::EmptyAmount, empty},
            {"zero, date not looked at", "0,00", "31/02/2026", C::ZeroAmount, zero},
            {"zero unnormalised", "0,001", "05/12/2026", C::ZeroAmount, zero},
            {"one cent", "0,01", "05/12/2026", C::Ok, "05/12/2026"},
            {"largest", "2147483647,99", "05/12/2026", C::Ok, "05/12/2026"},
            {"one euro more", "2147483648,00", "31/02/2026", C::AmountTooLarge, large},
            {"rounds over", "2147483647,995", "05/12/2026", C::AmountTooLarge, large},
            {"twenty digits", "99999999999999999999,00", "05/12/2026", C::AmountTooLarge, large},
            {"letters", "12a", "31/02/2026", C::AmountNotValid, invalid},
            {"negative", "-5,00", "05/12/2026", C::AmountNotValid, invalid},
            {"31 February", "12,50", "31/02/2026", C::InvalidDate, badDate},
            {"no date", "12,50", "", C::InvalidDate, badDate},
            {"short year", "12,50", "5/12/26", C::Ok, "05/12/2026"},
            {"dashes", "12,50", "29-02-2024", C::Ok, "29/02/2024"},
        };
        for (const auto &r : rows)
            QTest::newRow(r.tag) << QString(r.amount) << QString(r.date) << int(r.check) << QString(r.result);
    }
    void checks()
    {
        QFETCH(QString, amount);
        QFETCH(QString, date);
        QFETCH(int, check);
        QFETCH(QString, result);
        const CheckResult r = CheckCheque(amount, date);
        QCOMPARE(int(r.check), check);
        QCOMPARE(r.ok() ? r.date : r.message, result);
        const bool onDate = check == int(ChequeCheck::InvalidDate);
        QCOMPARE(int(r.icon), int(r.ok()   ? platform::MsgIcon::None
                                  : onDate ? platform::MsgIcon::Information
                                           : platform::MsgIcon::Exclamation));
        QCOMPARE(int(r.focus), int(r.ok()   ? ChequeField::None
                                   : onDate ? ChequeField::Date
                                            : ChequeField::Amount));
    }

    // Beside those of the layout rows.
    void texts_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("words");
        QTest::addColumn<QString>("figures");
        const struct {
            const char *amount, *words, *figures;
        } rows[] = {
            {"999,99", "NEUF CENT QUATRE-VINGT-DIX-NEUF EUROS QUATRE-VINGT-DIX-NEUF CTS", "999,99"},
            {"1000000,00", "UN MILLION EUROS", "1 000 000,00"},
            {"0,50", " EUROS CINQUANTE CTS", "0,50"},
            {"0,01", " EUROS UN CTS", "0,01"},
            {"5", "CINQ EUROS", "5,00"},
            {"123456789,00",
             "CENT VINGT TROIS MILLIONS QUATRE CENT CINQUANTE SIX MILLE SEPT CENT QUATRE-VINGT-NEUF EUROS",
             "123 456 789,00"},
            {"12,345", "DOUZE EUROS TRENTE CINQ CTS", "12,35"}, // rounds like the field
        };
        for (const auto &r : rows)
            QTest::newRow(r.amount) << QString(r.amount) << QString(r.words) << QString(r.figures);
    }
    void texts()
    {
        QFETCH(QString, amount);
        QFETCH(QString, words);
        QFETCH(QString, figures);
        QCOMPARE(WordsText(amount, false), words);
        QCOMPARE(WordsText(amount, true), "**" + words + "**");
        QCOMPARE(FiguresText(amount, false), figures);
        QCOMPARE(FiguresText(amount, true), "**" + figures + "**");
    }

    void wordsRefuseWhatChecksRefuse()
    {
        for (const char *amount : {"2147483648,00", "abc", "-1,00", ""})
            QVERIFY_THROWS_EXCEPTION(std::invalid_argument, WordsText(amount, false));
    }

    void layout_data()
    {
        QTest::addColumn<ChequeInput>("in");
        QTest::addColumn<float>("dx"); // where the cheque's corner lands
        QTest::addColumn<float>("dy");
        QTest::newRow("short") << input("21,21", false, "1", "270") << 0.f << 0.f;
        QTest::newRow("one line") << input("80,00") << 0.f << 0.f;
        QTest::newRow("stars") << input("1234,50", true) << 0.f << 0.f;
        QTest::newRow("longest") << input("2147483647,99") << 0.f << 0.f;
        QTest::newRow("adjusted") << input("21,21", false, "1", "90", -3, 2) << -3.f << 2.f;
        QTest::newRow("landscape 270") << input("21,21", false, "2", "270") << 0.f << 129.f;
        QTest::newRow("landscape 90") << input("1234,50", true, "2", "90") << 122.f << 0.f;
        QTest::newRow("landscape, rotation unknown") << input("21,21", false, "2", "-1") << 122.f << 0.f;
    }
    // The sizes set, in order (words from 72 down, the cut, figures from 72), then
    // every text with its size and place.
    void layout()
    {
        QFETCH(ChequeInput, in);
        QFETCH(float, dx);
        QFETCH(float, dy);
        Recorder &fake = installRecorder();
        QVERIFY(!PrintCheque(in).failed);
        QCOMPARE(fake.documents, 1);
        const Layout expected = expectedLayout(in.amount);
        QCOMPARE(fake.sizesSet(), expected.sizes);
        QCOMPARE(describe(fake.items), describe(expected.items, dx, dy));
    }

    void configuration_data()
    {
        QTest::addColumn<QString>("bin");
        QTest::addColumn<QString>("orientation");
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QString>("log");
        QTest::addColumn<float>("dy");
        const struct {
            const char *tag, *bin, *orientation, *failing, *log;
            float dy;
        } rows[] = {
            {"as saved", "7", "1", "",
             "PaperBin 7, PaperSize 9, Orientation 1, ScaleMode 6, FontName Arial, Orientation? 1", 0},
            {"leading number, half to even", "7abc", "2.5", "",
             "PaperBin 7, PaperSize 9, Orientation 2, ScaleMode 6, FontName Arial, Orientation? 2", 129},
            {"not numbers: 0, orientation refused", "bac", "", "",
             "PaperBin 0, PaperSize 9, Orientation 0, ScaleMode 6, FontName Arial, Orientation? 1", 0},
            {"beyond 16 bits: no bin set", "70000", "3.5", "",
             "PaperSize 9, Orientation 4, ScaleMode 6, FontName Arial, Orientation? 1, FontSize 72", 0},
            {"orientation unreadable: no offset", "7", "2", "Orientation?",
             "PaperBin 7, PaperSize 9, Orientation 2, ScaleMode 6, FontName Arial, Orientation? 2 !", 0},
        };
        for (const auto &r : rows)
            QTest::newRow(r.tag) << QString(r.bin) << QString(r.orientation) << QString(r.failing)
                                 << QString(r.log) << r.dy;
    }
    // Failures of the configuration are forgotten before the layout.
    void configuration()
    {
        QFETCH(QString, failing);
        QFETCH(float, dy);
        Recorder &fake = installRecorder();
        if (!failing.isEmpty())
            fake.failOn(failing);
        QFETCH(QString, orientation);
        ChequeInput in = input("21,21", false, orientation, "270");
        QFETCH(QString, bin);
        in.paperBinTag = bin;
        const PrintReport report = PrintCheque(in);
        QTEST(fake.log(false).mid(0, 6).join(", "), "log");
        QVERIFY(!report.failed);
        QCOMPARE(describe(fake.items), describe(expectedLayout("21,21").items, 0, dy));
        // 61 heights of "EUROS", 5 of "E", 4 widths for the cut, 54 heights of "20,00" and one width.
        QCOMPARE(report.measures, 125);
    }

    // A failing step is skipped and the job goes on; once a step has failed, each later
    // fitting loop stops after one reduction.
    void failures_data()
    {
        QTest::addColumn<QString>("member"); // fails once, after as many calls that succeed
        QTest::addColumn<int>("after");
        QTest::addColumn<int>("hor");
        QTest::addColumn<bool>("failed");
        QTest::addColumn<QString>("printed");
        QTest::addColumn<int>("documents");
        QTest::addColumn<int>("item"); // one item's place, checked
        QTest::addColumn<QPointF>("at");
        const QString normal = "Jean Dupont@12|05/12/2026@12|VINGT ET UN EUROS VINGT ET@12|UN CTS@12|21,21@";
        const struct {
            const char *tag, *member;
            int after, hor;
            bool failed;
            QString printed;
            int documents, item;
            double x, y;
        } rows[] = {
            // The 30th size (43 pt) refused while fitting the words: they stay at 44 pt.
            {"size refused", "FontSize", 29, 0, true,
             "Jean Dupont@44|05/12/2026@44|VINGT@43|ET UN EUROS VINGT ET UN CTS@43|21,21@71", 1, 0, 15,
             33 - kHeight * 44},
            // The fourth height of "EUROS" (69 pt) fails: one more reduction.
            {"measure fails", "TextHeight", 3, 0, true,
             "Jean Dupont@68|05/12/2026@68|VINGT@67|ET UN EUROS VINGT ET UN CTS@67|21,21@71", 1, 0, 15,
             33 - kHeight * 68},
            // The date's CurrentY fails: the date prints where the beneficiary left the pen.
            {"position fails", "CurrentY", 1, 0, true, normal + "71", 1, 1, 135, 33},
            {"print fails", "Print", 0, 0, true,
             "05/12/2026@12|VINGT ET UN EUROS VINGT ET@12|UN CTS@12|21,21@71", 1, 0, 135, 45 - kHeight * 12},
            {"end of document fails", "EndDoc", 0, 0, true, normal + "19", 0, 4, 135, 35 - kHeight * 19},
            // x is HorAjust + design x as 16 bits: 32632 + 135 fits, 32633 + 135 does not and the
            // date prints at the pen's position.
            {"x at the 16-bit limit", "", 0, 32632, false, normal + "19", 1, 4, 32767, 35 - kHeight * 19},
            {"x beyond the 16-bit limit", "", 0, 32633, true, normal + "71", 1, 1, 0, 45 - kHeight * 12},
        };
        for (const auto &r : rows)
            QTest::newRow(r.tag) << QString(r.member) << r.after << r.hor << r.failed << r.printed
                                 << r.documents << r.item << QPointF(r.x, r.y);
    }
    void failures()
    {
        QFETCH(QString, member);
        QFETCH(int, after);
        QFETCH(int, hor);
        QFETCH(int, item);
        QFETCH(QPointF, at);
        Recorder &fake = installRecorder();
        if (!member.isEmpty())
            fake.failOn(member, 1, after);
        QTEST(PrintCheque(input("21,21", false, "1", "90", hor)).failed, "failed");
        QTEST(fake.textsAndSizes().join("|"), "printed");
        QTEST(fake.documents, "documents");
        QVERIFY2(std::abs(fake.items[item].x - at.x()) < 1e-3 && std::abs(fake.items[item].y - at.y()) < 1e-3,
                 qPrintable(describe({fake.items[item]}).join("")));
    }

    void noPrinter()
    {
        platform::setPrinters(std::make_unique<platform::FakePrinters>());
        const PrintReport report = PrintCheque(input()); // nothing escapes
        QVERIFY(report.failed);
        QCOMPARE(report.measures, 0);
    }

    void split_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("mmPerChar");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<bool>("fits");
        const QString a34(34, 'A'), a35(35, 'A'), b35(35, 'B'), ten(10, 'A'), b105(105, 'B'), b106(106, 'B');
        QTest::newRow("whole") << "UN MILLION EUROS" << 1.0 << "UN MILLION EUROS" << QString() << true;
        QTest::newRow("70 mm stays whole") << a34 + " " + b35 << 1.0 << a34 + " " + b35 << QString() << true;
        QTest::newRow("71 mm is cut") << a35 + " " + b35 << 1.0 << a35 << b35 << true;
        QTest::newRow("second 105 mm") << ten + " " + b105 << 1.0 << ten << b105 << true;
        QTest::newRow("second 106 mm") << ten + " " + b106 << 1.0 << ten << b106 << false;
        QTest::newRow("first word too wide")
            << "ABCDEFGHIJ KLM" << 10.0 << "ABCDEFGHIJ" << QString("KLM") << false;
        QTest::newRow("only word too wide") << "ABCDEFGHIJ" << 10.0 << "ABCDEFGHIJ" << QString() << false;
        QTest::newRow("no euros") << " EUROS CINQUANTE CTS" << 5.0 << " EUROS" << QString("CINQUANTE CTS")
                                  << true;
        QTest::newRow("no euros, wide")
            << " EUROS CINQUANTE CTS" << 20.0 << "" << QString("EUROS CINQUANTE CTS") << false;
        QTest::newRow("empty") << "" << 1.0 << "" << QString() << true;
    }
    void split()
    {
        QFETCH(QString, text);
        QFETCH(double, mmPerChar);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QString line1 = "old", line2 = "old";
        QTEST(SplitWords(text, line1, line2, [&](const QString &t) { return float(mmPerChar * t.size()); }),
              "fits");
        QCOMPARE(line1, first);
        QCOMPARE(line2, second);
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
        QCOMPARE(first + second, QString("AB"));
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
        platform::FakePrinter fake;
        fake.heightOf = [&](const QString &, float s) { return heightPerPoint * s; };
        fake.widthOf = [&](const QString &, float s) { return widthPerPoint * s; };
        ChequePage page;
        page.device = &fake;
        if (words)
            FitWordsSize(page);
        else
            FitFiguresSize(page, "12,00");
        QTEST(fake.fontSize, "size");
        QVERIFY(!page.failed);
    }

    // "**QUATRE-VINGTS" too wide for the first line: the font shrinks until it fits and
    // every word is printed; when it never fits the cut stops at the smallest size the
    // printer takes, or at the size a driver keeps instead of going lower.
    void firstWordTooWide_data()
    {
        QTest::addColumn<double>("extra"); // millimetres added to the word's width
        QTest::addColumn<float>("smallest");
        QTest::addColumn<float>("size");
        QTest::addColumn<bool>("failed");
        QTest::addColumn<QString>("figures"); // a failure stops the figures loop after one reduction
        QTest::newRow("fits at 3 pt") << 60.0 << 0.f << 3.f << false << "**80,00**@19"; // 98 mm at 12 pt
        QTest::newRow("never fits: down to 1 pt") << 1000.0 << 0.f << 1.f << true << "**80,00**@71";
        QTest::newRow("never fits, driver keeps 4 pt") << 1000.0 << 4.f << 4.f << true << "**80,00**@71";
    }
    void firstWordTooWide()
    {
        QFETCH(double, extra);
        QFETCH(float, size);
        QFETCH(QString, figures);
        Recorder &fake = installRecorder();
        QFETCH(float, smallest);
        fake.smallest = smallest;
        fake.widthOf = [extra](const QString &text, float s) {
            return kWidth * s * text.size() + (text.startsWith("**QUATRE-VINGTS") ? extra : 0);
        };
        QTEST(PrintCheque(input("80,00", true)).failed, "failed");
        QCOMPARE(fake.textsAndSizes(),
                 QStringList({"Jean Dupont@12", "05/12/2026@12", "**QUATRE-VINGTS@" + QString::number(size),
                              "EUROS**@" + QString::number(size), figures}));
        QCOMPARE(fake.documents, 1);
    }
};

QTEST_GUILESS_MAIN(TestChequeJob)
#include "test_chequejob.moc"
