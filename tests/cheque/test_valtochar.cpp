#include "cheque/mValToChar.h"

#include <QRandomGenerator>
#include <QStringList>
#include <QTest>
#include <optional>

using namespace mValToChar;

namespace {

// Reads the words back into a number, accepting only the program's spellings:
// units after "vingt" to "soixante" as separate words, "quatre-vingt-" joined by
// hyphens, "cents" and "quatre-vingts" only where their "s" belongs.
std::optional<qint64> parseWords(const QString &text, QString *why)
{
    static const QStringList units = {
        "",    "un",   "deux",  "trois",  "quatre",   "cinq",   "six",   "sept",     "huit",     "neuf",
        "dix", "onze", "douze", "treize", "quatorze", "quinze", "seize", "dix-sept", "dix-huit", "dix-neuf"};
    static const QStringList decades = {"vingt", "trente", "quarante", "cinquante", "soixante"};
    auto fail = [why](const QString &reason) -> std::optional<qint64> {
        *why = reason;
        return std::nullopt;
    };
    if (text.isEmpty())
        return 0;
    if (text.startsWith(' ') || text.endsWith(' ') || text.contains("  "))
        return fail("espaces");
    const QStringList tokens = text.split(' ');
    qint64 total = 0, group = 0;
    for (int i = 0; i < tokens.size(); ++i) {
        const QString &t = tokens[i];
        const QString next = i + 1 < tokens.size() ? tokens[i + 1] : QString();
        const bool scaleNext = next == "mille" || next.startsWith("million") || next.startsWith("milliard");
        if (int u = int(units.indexOf(t)); u > 0) {
            group += u;
        } else if (int d = int(decades.indexOf(t)); d >= 0) {
            group += 20 + 10 * d;
        } else if (t == "et") {
            if (next != "un" && next != "onze")
                return fail("et sans un");
        } else if (t == "quatre-vingts") {
            if (!next.isEmpty() && !scaleNext)
                return fail("quatre-vingts suivi");
            group += 80;
        } else if (t.startsWith("quatre-vingt-")) {
            const int u = int(units.indexOf(t.mid(13)));
            if (u <= 0)
                return fail("quatre-vingt-?");
            group += 80 + u;
        } else if (t == "cent" || t == "cents") {
            if (group >= 10)
                return fail("cent apres dizaine");
            const bool multiplied = group > 1;
            if (t == "cents" && (!multiplied || !next.isEmpty()))
                return fail("cents mal place");
            if (t == "cent" && multiplied && next.isEmpty())
                return fail("cent sans s en fin");
            group = (group == 0 ? 1 : group) * 100;
        } else if (t == "mille") {
            if (group == 1)
                return fail("un mille");
            total += (group == 0 ? 1 : group) * 1000;
            group = 0;
        } else if (t == "million" || t == "millions") {
            if ((group == 1) != (t == "million") || group == 0)
                return fail("accord de million");
            total += group * 1000000;
            group = 0;
        } else if (t == "milliard" || t == "milliards") {
            if ((group == 1) != (t == "milliard") || group == 0)
                return fail("accord de milliard");
            total += group * 1000000000LL;
            group = 0;
        } else {
            return fail("mot inconnu " + t);
        }
    }
    return total + group;
}

void checkRoundTrip(qint32 n)
{
    const QString words = ValToChar(n);
    QString why;
    const auto back = parseWords(words, &why);
    if (!back || *back != n)
        QFAIL(qPrintable(QString("%1 -> \"%2\" (%3)").arg(n).arg(words, why)));
}

} // namespace

class TestValToChar : public QObject {
    Q_OBJECT
private slots:
    void workedExamples_data()
    {
        QTest::addColumn<qint32>("n");
        QTest::addColumn<QString>("words");
        // "number=words", separated by "; ".
        const QString rows = QString::fromUtf8(
            "0=; 1=un; 17=dix-sept; 20=vingt; 21=vingt et un; 22=vingt deux; 61=soixante et un; "
            "70=soixante dix; 71=soixante et onze; 72=soixante douze; 77=soixante dix-sept; "
            "80=quatre-vingts; 81=quatre-vingt-un; 90=quatre-vingt-dix; 91=quatre-vingt-onze; "
            "99=quatre-vingt-dix-neuf; 100=cent; 101=cent un; 171=cent soixante et onze; "
            "180=cent quatre-vingts; 181=cent quatre-vingt-un; 200=deux cents; 201=deux cent un; "
            "1000=mille; 1001=mille un; 1180=mille cent quatre-vingts; 2000=deux mille; "
            "2200=deux mille deux cents; 21000=vingt et un mille; 80000=quatre-vingts mille; "
            "180000=cent quatre-vingts mille; 200000=deux cent mille; 1000000=un million; "
            "1001000=un million mille; 2000000=deux millions; 21000000=vingt et un millions; "
            "80000000=quatre-vingts millions; 200000000=deux cent millions; "
            "201000000=deux cent un millions; 1000000000=un milliard; 2000000000=deux milliards");
        for (const QString &row : rows.split("; ")) {
            const QString n = row.section('=', 0, 0);
            QTest::newRow(qPrintable(n)) << n.toInt() << row.section('=', 1);
        }
        QTest::newRow("2147483647")
            << 2147483647
            << "deux milliards cent quarante sept millions quatre cent quatre-vingt-trois "
               "mille six cent quarante sept";
    }
    void workedExamples()
    {
        QFETCH(qint32, n);
        QTEST(ValToChar(n), "words");
    }

    void smallerOperations()
    {
        QCOMPARE(UnitsToChar(0), QString::fromUtf8("zéro"));
        QCOMPARE(TensToChar(0), QString());
        QCOMPARE(HundredsToChar(900), QString("neuf cents"));
        QCOMPARE(HundredsToChar(980), QString("neuf cent quatre-vingts"));
    }

    // Every value below 200 000, then a random sample of the whole range and
    // its edges, read back by an independent reader of the program's spellings.
    void wholeRangeReadsBack()
    {
        for (qint32 n = 0; n < 200000; ++n) {
            checkRoundTrip(n);
            if (QTest::currentTestFailed())
                return;
        }
        QRandomGenerator rng(20261206);
        for (int i = 0; i < 50000; ++i) {
            checkRoundTrip(qint32(rng.bounded(2147483647u) + 1u));
            if (QTest::currentTestFailed())
                return;
        }
        for (qint32 n : {999999999, 1000000000, 1999999999, 2000000000, 2147483646, 2147483647})
            checkRoundTrip(n);
    }
};

QTEST_APPLESS_MAIN(TestValToChar)
#include "test_valtochar.moc"
