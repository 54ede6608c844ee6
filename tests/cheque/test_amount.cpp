// The amount: as typed, then in words.

#include "cheque/mAmount.h"
#include "cheque/mValToChar.h"

#include <QTest>

class TestAmount : public QObject {
    Q_OBJECT
private slots:
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
            QCOMPARE(mAmount::NormaliseAmount(rows[i]), rows[i + 1]);
            QCOMPARE(mAmount::NormaliseAmount(rows[i + 1]), rows[i + 1]); // a normalised text stays as it is
        }
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
