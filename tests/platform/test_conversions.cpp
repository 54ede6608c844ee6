#include "platform/Application.h"
#include "platform/Conversions.h"

#include <QTest>
#include <limits>

using namespace platform;

class TestConversions : public QObject {
    Q_OBJECT
private slots:
    void val_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        auto row = [](const char *text, double value) { QTest::newRow(text) << QString(text) << value; };
        row("", 0);
        row("-3", -3);
        row("+12", 12);
        row("  270", 270);
        row("12abc", 12);
        row("4.5", 4.5);
        row("4,5", 4); // the comma is no decimal separator here
        row(".5", 0.5);
        row("1e3", 1000);
        row("2e", 2);
        row("abc", 0);
        row("-", 0);
    }
    void val()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(Val(text), value);
    }

    void cint16_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("result"); // -99999: does not fit
        auto row = [](const char *name, double value, int result) { QTest::newRow(name) << value << result; };
        row("0.5 to even", 0.5, 0);
        row("1.5 to even", 1.5, 2);
        row("2.5 to even", 2.5, 2);
        row("-2.5 to even", -2.5, -2);
        row("2.49", 2.49, 2);
        row("32767.4", 32767.4, 32767);
        row("32767.5 rounds out of range", 32767.5, -99999);
        row("-32768.5 to even", -32768.5, -32768);
        row("-32769", -32769, -99999);
        row("nan", std::numeric_limits<double>::quiet_NaN(), -99999);
        row("infinity", std::numeric_limits<double>::infinity(), -99999);
    }
    void cint16()
    {
        QFETCH(double, value);
        QFETCH(int, result);
        const auto rounded = CInt16(value);
        QCOMPARE(rounded ? int(*rounded) : -99999, result);
    }

    void patterns_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("fixed"); // "?": not a number
        QTest::addColumn<QString>("grouped");
        auto row = [](const char *number, const char *fixed, const char *grouped) {
            QTest::newRow(number) << QString(number) << QString(fixed) << QString(grouped);
        };
        row("5", "5,00", "5,00");
        row("999,99", "999,99", "999,99");
        row("1234,5", "1234,50", "1 234,50");
        row("1234.5", "1234,50", "1 234,50");
        row("1234567", "1234567,00", "1 234 567,00");
        row("123456789", "123456789,00", "123 456 789,00");
        row("1234567890", "1234567890,00", "1234 567 890,00");
        row(",5", "0,50", "0,50");
        row("999999,995", "1000000,00", "1 000 000,00");
        row("-1234,5", "-1234,50", "-1 234,50");
        row("-0,001", "0,00", "0,00");
        for (const char *text : {"", ",", "1,2,3", "1 234", "12a", "1e5"})
            row(text, "?", "?");
    }
    void patterns()
    {
        QFETCH(QString, number);
        QFETCH(QString, fixed);
        QFETCH(QString, grouped);
        QCOMPARE(FormatFixed2(number).value_or("?"), fixed);
        QCOMPARE(FormatGrouped(number).value_or("?"), grouped);
    }

    void dates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shortDate"); // empty: refused
        auto row = [](const char *text, const char *shortDate) {
            QTest::newRow(text) << QString(text) << QString(shortDate);
        };
        row("05/12/26", "05/12/2026");
        row("5-1-2026", "05/01/2026");
        row("05.01.26", "05/01/2026");
        row(" 05/01/26 ", "05/01/2026");
        row("01/01/50", "01/01/1950");
        row("31/12/49", "31/12/2049");
        row("29/02/2024", "29/02/2024");
        row("29/02/2000", "29/02/2000");
        row("29/02/2025", "");
        row("29/02/1900", "");
        row("31/02/2026", "");
        row("01/13/2026", "");
        row("00/12/2026", "");
        row("01/01/202", "");
        row("01/01/0026", "");
        row("005/12/2026", "");
        row("01/01-2026", "");
        row("05/12", "");
        row("", "");
    }
    void dates()
    {
        QFETCH(QString, text);
        QFETCH(QString, shortDate);
        const auto date = CDate(text);
        QCOMPARE(IsDate(text), !shortDate.isEmpty());
        QCOMPARE(date ? ShortDate(*date) : QString(), shortDate);
    }

    void today()
    {
        setToday(QDate(2026, 12, 5));
        QCOMPARE(TodayText(), QString("05/12/26"));
        QCOMPARE(CDate(TodayText()), std::optional<QDate>(QDate(2026, 12, 5)));
        setToday(QDate());
        QCOMPARE(platform::today(), QDate::currentDate());
    }
};

QTEST_APPLESS_MAIN(TestConversions)
#include "test_conversions.moc"
