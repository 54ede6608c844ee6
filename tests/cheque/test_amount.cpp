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
        QTest::newRow("backspace empty") << "" << 8 << 8;
        QTest::newRow("digit 0") << "1,2" << 48 << 48;
        QTest::newRow("digit 9") << "" << 57 << 57;
        QTest::newRow("space") << "1" << 32 << 0;
        QTest::newRow("minus") << "1" << 45 << 0;
        QTest::newRow("plus") << "1" << 43 << 0;
        QTest::newRow("letter") << "1" << int('a') << 0;
        QTest::newRow("enter") << "1" << 13 << 0;
        QTest::newRow("ctrl+c") << "1" << 3 << 0;
        QTest::newRow("ctrl+v") << "1" << 22 << 0;
        QTest::newRow("ctrl+x") << "1" << 24 << 0;
        QTest::newRow("slash") << "1" << 47 << 0;
        QTest::newRow("colon") << "1" << 58 << 0;
        QTest::newRow("e acute") << "1" << 233 << 0;
    }
    void filter()
    {
        QFETCH(QString, text);
        QFETCH(int, key);
        QFETCH(int, result);
        QCOMPARE(FilterAmountKey(text, key), result);
    }

    // Typing "1", ".", "5", "." keystroke by keystroke.
    void typingSequence()
    {
        QString text;
        for (char c : QByteArray("1.5.,")) {
            const int code = FilterAmountKey(text, c);
            if (code)
                text += QChar(code);
        }
        QCOMPARE(text, QString("1,5"));
        QCOMPARE(NormaliseAmount(text), QString("1,50"));
    }

    void normalise_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("normalised");
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("whole") << "12"
                               << "12,00";
        QTest::newRow("one decimal") << "12,5"
                                     << "12,50";
        QTest::newRow("trailing comma") << "12,"
                                        << "12,00";
        QTest::newRow("leading comma") << ",5"
                                       << "0,50";
        QTest::newRow("comma alone") << ","
                                     << "0,00";
        QTest::newRow("zero") << "0"
                              << "0,00";
        QTest::newRow("leading zeros") << "007"
                                       << "7,00";
        QTest::newRow("zeros only") << "000,000"
                                    << "0,00";
        QTest::newRow("round down") << "1234,564"
                                    << "1234,56";
        QTest::newRow("round up") << "1234,567"
                                  << "1234,57";
        QTest::newRow("half away from zero") << "2,675"
                                             << "2,68";
        QTest::newRow("half of a cent") << "0,005"
                                        << "0,01";
        QTest::newRow("just under half") << "0,00499999"
                                         << "0,00";
        QTest::newRow("carry into euros") << "9,995"
                                          << "10,00";
        QTest::newRow("carry through nines") << "99999,999"
                                             << "100000,00";
        QTest::newRow("already normal") << "20,00"
                                        << "20,00";
        QTest::newRow("beyond double precision") << "12345678901234567,89"
                                                 << "12345678901234567,89";
        QTest::newRow("pasted point") << "12.5"
                                      << "12,50";
        QTest::newRow("pasted point alone") << "."
                                            << "0,00";
        QTest::newRow("surrounding spaces") << "  12,5 "
                                            << "12,50";
        QTest::newRow("spaces only") << "   "
                                     << "   ";
        QTest::newRow("letters") << "douze"
                                 << "douze";
        QTest::newRow("two commas") << "1,2,3"
                                    << "1,2,3";
        QTest::newRow("comma and point") << "1,2.3"
                                         << "1,2.3";
        QTest::newRow("sign") << "-5"
                              << "-5";
        QTest::newRow("inner space") << "1 234"
                                     << "1 234";
        QTest::newRow("digits then letters") << "12abc"
                                             << "12abc";
        QTest::newRow("exponent") << "1e5"
                                  << "1e5";
        QTest::newRow("non-ascii digits") << QString::fromUtf8("١٢") << QString::fromUtf8("١٢");
    }
    void normalise()
    {
        QFETCH(QString, text);
        QFETCH(QString, normalised);
        QCOMPARE(NormaliseAmount(text), normalised);
        // A normalised text stays as it is.
        QCOMPARE(NormaliseAmount(NormaliseAmount(text)), NormaliseAmount(text));
    }

    void longTexts()
    {
        const QString digits400(400, QChar('9'));
        QCOMPARE(NormaliseAmount(digits400 + ",995"), "1" + QString(400, QChar('0')) + ",00");
        QCOMPARE(NormaliseAmount(digits400), digits400 + ",00");
        const QString huge = QString(100000, QChar('7')) + "," + QString(50000, QChar('1'));
        QCOMPARE(NormaliseAmount(huge), QString(100000, QChar('7')) + ",11");
        const QString garbage = QString(200000, QChar('x'));
        QCOMPARE(NormaliseAmount(garbage), garbage);
    }
};

QTEST_APPLESS_MAIN(TestAmount)
#include "test_amount.moc"
