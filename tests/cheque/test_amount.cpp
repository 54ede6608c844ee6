// The amount: as typed, as stored, then in words.

#include "cheque/mAmount.h"
#include "cheque/mValToChar.h"
#include "platform/Conversions.h"

#include <QTest>
#include <limits>

class TestAmount : public QObject {
    Q_OBJECT
private slots:
    // The amount as typed, as the cheque takes it, stored and printed with two decimals,
    // and grouped by thousands: rounded half away from zero on the digits as typed,
    // whatever their number; a text that is not an amount comes back unchanged ("?": none).
    void amounts()
    {
        const QString nines(400, '9'), big = "1" + QString(400, '0') + ",00";
        const QString bigGrouped = "1" + QString(394, '0') + " 000 000,00";
        const QStringList rows[] = {
            {"12", "12,00", "12,00", "12,00"},
            {"2,675", "2,68", "2,68", "2,68"}, // half a cent goes up
            {" 12.5 ", "12,50", "12,50", "12,50"},
            {"1234.5", "1234,50", "1234,50", "1 234,50"},
            {"1234567890", "1234567890,00", "1234567890,00", "1234 567 890,00"},
            {"999999,995", "1000000,00", "1000000,00", "1 000 000,00"},
            {",5", "0,50", "0,50", "0,50"},
            {"-1234,5", "-1234,5", "-1234,50", "-1 234,50"},
            {"-0,001", "-0,001", "0,00", "0,00"},
            {nines + ",995", big, big, bigGrouped},
            {"", "", "?", "?"},
            {"douze", "douze", "?", "?"},
            {"1,2,3", "1,2,3", "?", "?"},
            {"12a", "12a", "?", "?"},
            {"1e5", "1e5", "?", "?"},
        };
        for (const QStringList &r : rows) {
            QCOMPARE(
                QStringList({r[0], mAmount::NormaliseAmount(r[0]), platform::FormatFixed2(r[0]).value_or("?"),
                             platform::FormatGrouped(r[0]).value_or("?")}),
                r);
            QCOMPARE(mAmount::NormaliseAmount(r[1]), r[1]); // a normalised text stays as it is
        }
        QVERIFY(platform::Val(" -12,5abc") == -12.0 && platform::Val("4.5e1x") == 45.0); // no decimal comma
        QVERIFY(platform::CInt16(2.5) == 2 && platform::CInt16(-3.5) == -4);             // half to even
        QVERIFY(!platform::CInt16(32767.5) && !platform::CInt16(std::numeric_limits<double>::quiet_NaN()));
    }

    // One row for each spelling rule: "et" before "un" and "onze", the hyphens and the
    // "s" of "quatre-vingts" and "cents" only where nothing follows but a scale word,
    // no "un" before "mille", plural "millions" and "milliards".
    void words()
    {
        const QString rows = QString::fromUtf8(
            "0=; 17=dix-sept; 21=vingt et un; 22=vingt deux; 71=soixante et onze; 77=soixante dix-sept; "
            "80=quatre-vingts; 81=quatre-vingt-un; 99=quatre-vingt-dix-neuf; 100=cent; 101=cent un; "
            "200=deux cents; 201=deux cent un; 1000=mille; 1180=mille cent quatre-vingts; "
            "21000=vingt et un mille; 80000=quatre-vingts mille; 200000=deux cent mille; "
            "1001000=un million mille; 2000000=deux millions; 80000000=quatre-vingts millions; "
            "201000000=deux cent un millions; 1000000000=un milliard; 2000000000=deux milliards; "
            "2147483647=deux milliards cent quarante sept millions quatre cent quatre-vingt-trois mille "
            "six cent quarante sept");
        for (const QString &row : rows.split("; "))
            QCOMPARE(mValToChar::ValToChar(row.section('=', 0, 0).toInt()), row.section('=', 1));
    }
};

QTEST_APPLESS_MAIN(TestAmount)
#include "test_amount.moc"
