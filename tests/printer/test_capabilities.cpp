// Paper-bin names, orientation captions, the landscape rotation of the printer and
// the advice on laying the cheque that goes with it.

#include "platform/FakePrinter.h"
#include "printer/Capabilities.h"

#include <QTest>

class TestCapabilities : public QObject {
    Q_OBJECT

private slots:
    void paperBinNames_data()
    {
        QTest::addColumn<qint16>("code");
        QTest::addColumn<QString>("name");
        QTest::newRow("1 upper") << qint16(1) << QStringLiteral("Bac supérieur");
        QTest::newRow("2 lower") << qint16(2) << QStringLiteral("Bac inférieur");
        QTest::newRow("3 middle") << qint16(3) << QStringLiteral("Bac du milieu");
        QTest::newRow("4 manual") << qint16(4) << QStringLiteral("Alimentation manuelle");
        QTest::newRow("5 envelope") << qint16(5) << QStringLiteral("Bac pour enveloppes");
        QTest::newRow("6 manual envelope") << qint16(6) << QStringLiteral("Bac pour enveloppes");
        QTest::newRow("7 automatic") << qint16(7) << QStringLiteral("Bac par défaut");
        QTest::newRow("8 tractor") << qint16(8) << QStringLiteral("Alimentation par traction");
        QTest::newRow("9 small format") << qint16(9) << QStringLiteral("Bac papier petit format");
        QTest::newRow("10 large format") << qint16(10) << QStringLiteral("Bac papier grand format");
        QTest::newRow("11 large capacity") << qint16(11) << QStringLiteral("Bac grande capacité");
        QTest::newRow("12") << qint16(12) << QStringLiteral("Bac par défaut");
        QTest::newRow("13") << qint16(13) << QStringLiteral("Bac par défaut");
        QTest::newRow("14 cassette") << qint16(14) << QStringLiteral("Bac-cassette");
        QTest::newRow("15") << qint16(15) << QStringLiteral("Bac par défaut");
        QTest::newRow("0") << qint16(0) << QStringLiteral("Bac par défaut");
        QTest::newRow("negative") << qint16(-1) << QStringLiteral("Bac par défaut");
        QTest::newRow("driver bin 256") << qint16(256) << QStringLiteral("Bac par défaut");
        QTest::newRow("largest") << qint16(32767) << QStringLiteral("Bac par défaut");
        QTest::newRow("smallest") << qint16(-32768) << QStringLiteral("Bac par défaut");
    }
    void paperBinNames()
    {
        QFETCH(qint16, code);
        QFETCH(QString, name);
        QCOMPARE(printer::GetPaperBin(code), name);
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
        QTest::addColumn<int>("rotation");
        QTest::addColumn<QString>("text");
        const QString leftCorner =
            QStringLiteral("Petit côté gauche du chèque en tête, c'est à dire angle inférieur "
                           "gauche au point zéro de la zone d'impression.");
        const QString rightCorner =
            QStringLiteral("Petit côté droit du chèque en tête, c'est à dire angle supérieur "
                           "droit au point zéro de la zone d'impression.");
        QTest::newRow("270") << 270 << 270 << leftCorner;
        QTest::newRow("90") << 90 << 90 << rightCorner;
        QTest::newRow("no landscape") << 0 << 0 << rightCorner;
        QTest::newRow("cannot be asked") << -1 << -1 << rightCorner;
    }
    void positioning()
    {
        QFETCH(int, answer);
        QFETCH(int, rotation);
        QFETCH(QString, text);
        platform::FakePrinter fake;
        fake.rotation = answer;
        const int found = printer::deviceOrientationCap(fake);
        QCOMPARE(found, rotation);
        QCOMPARE(printer::positioningText(found), text);
    }

    void failingPrinter()
    {
        platform::FakePrinter fake;
        fake.rotation = 270;
        fake.failOn(QStringLiteral("LandscapeRotation"), 1);
        QCOMPARE(printer::deviceOrientationCap(fake), -1);
        // Asked afresh each time.
        QCOMPARE(printer::deviceOrientationCap(fake), 270);
    }

    void portraitText()
    {
        QCOMPARE(
            printer::portraitPositioningText,
            QStringLiteral("Grand côté supérieur du chèque en tête, c'est à dire angle supérieur gauche au "
                           "point zéro de la zone d'impression."));
    }
};

QTEST_MAIN(TestCapabilities)
#include "test_capabilities.moc"
