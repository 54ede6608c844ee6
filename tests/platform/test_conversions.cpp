#include "platform/Application.h"
#include "platform/Conversions.h"

#include <QTest>
#include <cmath>
#include <limits>

using namespace platform;

class TestConversions : public QObject {
    Q_OBJECT
private slots:
    void val_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("plain") << "7" << 7.0;
        QTest::newRow("negative") << "-3" << -3.0;
        QTest::newRow("plus") << "+12" << 12.0;
        QTest::newRow("leading spaces") << "  270" << 270.0;
        QTest::newRow("trailing text") << "12abc" << 12.0;
        QTest::newRow("decimal point") << "4.5" << 4.5;
        QTest::newRow("comma stops") << "4,5" << 4.0;
        QTest::newRow("point first") << ".5" << 0.5;
        QTest::newRow("exponent") << "1e3" << 1000.0;
        QTest::newRow("bad exponent") << "2e" << 2.0;
        QTest::newRow("letters") << "abc" << 0.0;
        QTest::newRow("sign alone") << "-" << 0.0;
        QTest::newRow("point alone") << "." << 0.0;
        QTest::newRow("text then number") << "x12" << 0.0;
    }
    void val()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(Val(text), value);
    }

    void valHuge()
    {
        QVERIFY(std::isinf(Val("1e999")));
        QCOMPARE(Val(QString(5000, QChar('1'))) > 1e300, true);
        QVERIFY(!CInt16(Val("1e999")));
    }

    void cint16_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<int>("result");
        QTest::newRow("zero") << 0.0 << true << 0;
        QTest::newRow("half down to even") << 0.5 << true << 0;
        QTest::newRow("half up to even") << 1.5 << true << 2;
        QTest::newRow("two and a half") << 2.5 << true << 2;
        QTest::newRow("negative half") << -2.5 << true << -2;
        QTest::newRow("below half") << 2.49 << true << 2;
        QTest::newRow("largest") << 32767.0 << true << 32767;
        QTest::newRow("largest plus a bit") << 32767.4 << true << 32767;
        QTest::newRow("rounds over the top") << 32767.5 << false << 0;
        QTest::newRow("smallest") << -32768.0 << true << -32768;
        QTest::newRow("smallest half to even") << -32768.5 << true << -32768;
        QTest::newRow("below smallest") << -32769.0 << false << 0;
        QTest::newRow("huge") << 1e10 << false << 0;
        QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << false << 0;
    }
    void cint16()
    {
        QFETCH(double, value);
        QFETCH(bool, fits);
        QFETCH(int, result);
        const auto r = CInt16(value);
        QCOMPARE(r.has_value(), fits);
        if (fits)
            QCOMPARE(int(*r), result);
    }

    void patterns_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("fixed");
        QTest::addColumn<QString>("grouped");
        QTest::newRow("5") << "5"
                           << "5,00"
                           << "5,00";
        QTest::newRow("1234,5") << "1234,5"
                                << "1234,50"
                                << "1 234,50";
        QTest::newRow("point") << "1234.5"
                               << "1234,50"
                               << "1 234,50";
        QTest::newRow("three digits") << "999,99"
                                      << "999,99"
                                      << "999,99";
        QTest::newRow("six digits") << "123456"
                                    << "123456,00"
                                    << "123 456,00";
        QTest::newRow("seven digits") << "1234567"
                                      << "1234567,00"
                                      << "1 234 567,00";
        QTest::newRow("nine digits") << "123456789"
                                     << "123456789,00"
                                     << "123 456 789,00";
        QTest::newRow("ten digits") << "1234567890"
                                    << "1234567890,00"
                                    << "1234 567 890,00";
        QTest::newRow("zero") << "0"
                              << "0,00"
                              << "0,00";
        QTest::newRow("cents") << ",5"
                               << "0,50"
                               << "0,50";
        QTest::newRow("rounding carries a group") << "999999,995"
                                                  << "1000000,00"
                                                  << "1 000 000,00";
        QTest::newRow("negative") << "-1234,5"
                                  << "-1234,50"
                                  << "-1 234,50";
        QTest::newRow("negative rounds to zero") << "-0,001"
                                                 << "0,00"
                                                 << "0,00";
    }
    void patterns()
    {
        QFETCH(QString, number);
        QFETCH(QString, fixed);
        QFETCH(QString, grouped);
        QCOMPARE(FormatFixed2(number).value_or("?"), fixed);
        QCOMPARE(FormatGrouped(number).value_or("?"), grouped);
    }

    void patternsRefuseNonNumbers_data()
    {
        QTest::addColumn<QString>("text");
        for (const char *t : {"", ",", "abc", "1,2,3", "1 234", "12a", "--1", "1e5"})
            QTest::newRow(t) << QString(t);
    }
    void patternsRefuseNonNumbers()
    {
        QFETCH(QString, text);
        QVERIFY(!FormatFixed2(text));
        QVERIFY(!FormatGrouped(text));
    }

    void dates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shortDate"); // empty: refused
        QTest::newRow("two-digit year") << "05/12/26"
                                        << "05/12/2026";
        QTest::newRow("four-digit year") << "05/12/2026"
                                         << "05/12/2026";
        QTest::newRow("one-digit day and month") << "5/1/26"
                                                 << "05/01/2026";
        QTest::newRow("dashes") << "5-1-2026"
                                << "05/01/2026";
        QTest::newRow("dots") << "05.01.26"
                              << "05/01/2026";
        QTest::newRow("spaces around") << " 05/01/26 "
                                       << "05/01/2026";
        QTest::newRow("window low end") << "01/01/50"
                                        << "01/01/1950";
        QTest::newRow("window top end") << "31/12/49"
                                        << "31/12/2049";
        QTest::newRow("year 00") << "01/01/00"
                                 << "01/01/2000";
        QTest::newRow("leap day") << "29/02/2024"
                                  << "29/02/2024";
        QTest::newRow("leap day two-digit") << "29/02/24"
                                            << "29/02/2024";
        QTest::newRow("31 February") << "31/02/2026"
                                     << "";
        QTest::newRow("29 February non-leap") << "29/02/2025"
                                              << "";
        QTest::newRow("29 February 1900") << "29/02/1900"
                                          << "";
        QTest::newRow("29 February 2000") << "29/02/2000"
                                          << "29/02/2000";
        QTest::newRow("month 13") << "01/13/2026"
                                  << "";
        QTest::newRow("day 0") << "00/12/2026"
                               << "";
        QTest::newRow("day 32") << "32/01/2026"
                                << "";
        QTest::newRow("three-digit year") << "01/01/202"
                                          << "";
        QTest::newRow("mixed separators") << "01/01-2026"
                                          << "";
        QTest::newRow("no year") << "05/12"
                                 << "";
        QTest::newRow("letters") << "demain"
                                 << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("year 0026") << "01/01/0026"
                                   << "";
        QTest::newRow("three-digit day") << "005/12/2026"
                                         << "";
    }
    void dates()
    {
        QFETCH(QString, text);
        QFETCH(QString, shortDate);
        const auto date = CDate(text);
        QCOMPARE(IsDate(text), !shortDate.isEmpty());
        if (date)
            QCOMPARE(ShortDate(*date), shortDate);
    }

    void today()
    {
        setToday(QDate(2026, 12, 5));
        QCOMPARE(TodayText(), QString("05/12/26"));
        // What the start-up writes reads back as the same day.
        QCOMPARE(CDate(TodayText()), std::optional<QDate>(QDate(2026, 12, 5)));
        setToday(QDate());
        QCOMPARE(platform::today(), QDate::currentDate());
    }
};

QTEST_APPLESS_MAIN(TestConversions)
#include "test_conversions.moc"
