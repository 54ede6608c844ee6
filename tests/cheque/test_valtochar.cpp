#include "cheque/mValToChar.h"

#include <QTest>

class TestValToChar : public QObject {
    Q_OBJECT
private slots:
    // One row for each spelling rule: "et" before "un" and "onze", the hyphens and the
    // "s" of "quatre-vingts" and "cents" only where nothing follows but a scale word,
    // no "un" before "mille", plural "millions" and "milliards".
    void words_data()
    {
        QTest::addColumn<qint32>("n");
        QTest::addColumn<QString>("words");
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
            QTest::newRow(qPrintable(row.section('=', 0, 0)))
                << row.section('=', 0, 0).toInt() << row.section('=', 1);
    }
    void words()
    {
        QFETCH(qint32, n);
        QTEST(mValToChar::ValToChar(n), "words");
    }
};

QTEST_APPLESS_MAIN(TestValToChar)
#include "test_valtochar.moc"
