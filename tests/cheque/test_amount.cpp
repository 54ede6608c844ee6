#include "cheque/mAmount.h"

#include <QTest>

using namespace mAmount;

class TestAmount : public QObject {
    Q_OBJECT
private slots:
    // Digits, backspace and one decimal comma get through; a point becomes that comma.
    void filter()
    {
        const struct {
            const char *text;
            int key, result;
        } rows[] = {{"12", '.', ','}, {"", '.', ','}, {"1,5", '.', 0}, {"12", ',', ','},
                    {",5", ',', 0},   {"1,2", 8, 8},  {"", '0', '0'},  {"", '9', '9'},
                    {"1", '/', 0},    {"1", ':', 0},  {"1", 'a', 0},   {"1", 233, 0}};
        for (const auto &r : rows)
            QCOMPARE(FilterAmountKey(r.text, r.key), r.result);
    }

    // Two decimals, rounded half away from zero on the digits as typed, whatever their
    // number; a text that is not a number comes back unchanged.
    void normalise()
    {
        const QString nines(400, '9');
        const QStringList rows = {"",       "",      "12",           "12,00",
                                  ",5",     "0,50",  "2,675",        "2,68",
                                  " 12.5 ", "12,50", "99999,999",    "100000,00",
                                  "douze",  "douze", "1,2,3",        "1,2,3",
                                  "-5",     "-5",    nines + ",995", "1" + QString(400, '0') + ",00"};
        for (qsizetype i = 0; i < rows.size(); i += 2) {
            QCOMPARE(NormaliseAmount(rows[i]), rows[i + 1]);
            QCOMPARE(NormaliseAmount(rows[i + 1]), rows[i + 1]); // a normalised text stays as it is
        }
    }
};

QTEST_APPLESS_MAIN(TestAmount)
#include "test_amount.moc"
