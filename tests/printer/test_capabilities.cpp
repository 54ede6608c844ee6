// Paper-bin names, orientation captions, the landscape rotation of the printer and
// the advice on laying the cheque that goes with it.

#include "support/FakePrinter.h"
#include "printer/Capabilities.h"

#include <QTest>

class TestCapabilities : public QObject {
    Q_OBJECT

private slots:
    void paperBinNames_data()
    {
        QTest::addColumn<qint16>("code");
        QTest::addColumn<QString>("name");
        const QString d = QStringLiteral("Bac par défaut");
        // Codes 0 to 15, empty for the default bin, as are the codes outside them.
        const QStringList names =
            QStringLiteral("|Bac supérieur|Bac inférieur|Bac du milieu|Alimentation manuelle|"
                           "Bac pour enveloppes|Bac pour enveloppes||Alimentation par traction|"
                           "Bac papier petit format|Bac papier grand format|"
                           "Bac grande capacité|||Bac-cassette|")
                .split('|');
        QCOMPARE(names.size(), 16);
        for (int code = 0; code < names.size(); ++code)
            QTest::addRow("%d", code) << qint16(code) << (names[code].isEmpty() ? d : names[code]);
        for (int code : {-32768, -1, 16, 256, 32767})
            QTest::addRow("%d", code) << qint16(code) << d;
    }
    void paperBinNames()
    {
        QFETCH(qint16, code);
        QTEST(printer::GetPaperBin(code), "name");
    }

    void orientationCaptions()
    {
        QCOMPARE(printer::orientationCaption(1), QStringLiteral("Orientation Portrait"));
        QCOMPARE(printer::orientationCaption(2), QStringLiteral("Orientation Paysage"));
        QCOMPARE(printer::orientationCaption(0), QStringLiteral("Orientation Paysage"));
    }

    void positioning_data()
    {
        QTest::addColumn<int>("answer"); // the printer's rotation; -1: it cannot be asked
        QTest::addColumn<bool>("leftCorner");
        QTest::newRow("270") << 270 << true;
        QTest::newRow("90") << 90 << false;
        QTest::newRow("no landscape") << 0 << false;
        QTest::newRow("cannot be asked") << -1 << false;
    }
    void positioning()
    {
        QFETCH(int, answer);
        QFETCH(bool, leftCorner);
        platform::FakePrinter fake;
        fake.rotation = answer;
        const int found = printer::deviceOrientationCap(fake);
        QCOMPARE(found, answer);
        QCOMPARE(printer::positioningText(found),
                 leftCorner
                     ? QStringLiteral("Petit côté gauche du chèque en tête, c'est à dire angle inférieur "
                                      "gauche au point zéro de la zone d'impression.")
                     : QStringLiteral("Petit côté droit du chèque en tête, c'est à dire angle supérieur "
                                      "droit au point zéro de la zone d'impression."));
    }

    // A printer that fails once is asked afresh the next time.
    void failingPrinter()
    {
        platform::FakePrinter fake;
        fake.rotation = 270;
        fake.failOn(QStringLiteral("LandscapeRotation"), 1);
        QCOMPARE(printer::deviceOrientationCap(fake), -1);
        QCOMPARE(printer::deviceOrientationCap(fake), 270);
    }
};

QTEST_MAIN(TestCapabilities)
#include "test_capabilities.moc"
