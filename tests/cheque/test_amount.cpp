#include "cheque/mAmount.h"

#include <QTest>

using namespace mAmount;

class TestAmount : public QObject {
    Q_OBJECT
private slots:
    void filter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");
        QTest::newRow("point without comma") << "12" << 46 << 44;
        QTest::newRow("point with comma") << "1,5" << 46 << 0;
        QTest::newRow("point into empty") << "" << 46 << 44;
        QTest::newRow("comma without comma") << "12" << 44 << 44;
        QTest::newRow("comma with comma") << "12," << 44 << 0;
        QTest::newRow("comma with comma first") << ",5" << 44 << 0;
        QTest::newRow("backspace") << "1,2" << 8 << 8;
        QTest::newRow("digit 0") << "1,2" << 48 << 48;
        QTest::newRow("digit 9") << "" << 57 << 57;
        QTest::newRow("slash, below 0") << "1" << 47 << 0;
        QTest::newRow("colon, above 9") << "1" << 58 << 0;
        QTest::newRow("space") << "1" << 32 << 0;
        QTest::newRow("minus") << "1" << 45 << 0;
        QTest::newRow("letter") << "1" << int('a') << 0;
        QTest::newRow("enter") << "1" << 13 << 0;
        QTest::newRow("ctrl+v") << "1" << 22 << 0;
        QTest::newRow("e acute") << "1" << 233 << 0;
    }
    void filter()
    {
        QFETCH(QString, text);
        QFETCH(int, key);
        QTEST(FilterAmountKey(text, key), "result");
    }

    void normalise_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("normalised");
        const QString nines(400, '9');
        const char *rows[][2] = {
            {"", ""},
            {"12", "12,00"},
            {"12,5", "12,50"},
            {"12,", "12,00"},
            {",5", "0,50"},
            {",", "0,00"},
            {"007", "7,00"},
            {"000,000", "0,00"},
            {"1234,564", "1234,56"},
            {"2,675", "2,68"}, // half away from zero, on the digits
            {"0,005", "0,01"},
            {"0,00499999", "0,00"},
            {"99999,999", "100000,00"},
            {"20,00", "20,00"},
            {"12345678901234567,89", "12345678901234567,89"},
            {"12.5", "12,50"}, // pasted
            {".", "0,00"},
            {"  12,5 ", "12,50"},
            // Not numbers: unchanged.
            {"   ", "   "},
            {"douze", "douze"},
            {"1,2,3", "1,2,3"},
            {"1,2.3", "1,2.3"},
            {"-5", "-5"},
            {"1 234", "1 234"},
            {"12abc", "12abc"},
            {"1e5", "1e5"},
            {"١٢", "١٢"},
        };
        for (const auto &row : rows)
            QTest::newRow(row[0]) << QString::fromUtf8(row[0]) << QString::fromUtf8(row[1]);
        QTest::newRow("400 nines and a half cent") << nines + ",995"
                                                   << "1" + QString(400, '0') + ",00";
        QTest::newRow("400 digits") << nines << nines + ",00";
        QTest::newRow("200 000 letters") << QString(200000, 'x') << QString(200000, 'x');
    }
    void normalise()
    {
        QFETCH(QString, text);
        QFETCH(QString, normalised);
        QCOMPARE(NormaliseAmount(text), normalised);
        QCOMPARE(NormaliseAmount(normalised), normalised); // a normalised text stays as it is
    }
};

QTEST_APPLESS_MAIN(TestAmount)
#include "test_amount.moc"
