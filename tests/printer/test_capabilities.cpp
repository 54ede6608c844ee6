// What the main window's panel says about the printer: its bin, its orientation and
// how to lay the cheque for the way it turns landscape pages.

#include "printer/Capabilities.h"
#include "support/FakePrinter.h"

#include <QTest>

class TestCapabilities : public QObject {
    Q_OBJECT
private slots:
    void captions()
    {
        QStringList names; // codes -1 to 16: those without a name of their own are the default bin
        for (int code = -1; code <= 16; ++code)
            names << printer::GetPaperBin(qint16(code));
        QCOMPARE(
            names.join('|').replace("Bac par défaut", "-"),
            QString("-|-|Bac supérieur|Bac inférieur|Bac du milieu|Alimentation manuelle|Bac pour enveloppes|"
                    "Bac pour enveloppes|-|Alimentation par traction|Bac papier petit format|"
                    "Bac papier grand format|Bac grande capacité|-|-|Bac-cassette|-|-"));
        QCOMPARE(printer::GetPaperBin(7), QString("Bac par défaut"));
        QCOMPARE(printer::orientationCaption(1), QString("Orientation Portrait"));
        QCOMPARE(printer::orientationCaption(2), QString("Orientation Paysage"));
    }

    void positioning()
    {
        const QString left =
            "Petit côté gauche du chèque en tête, c'est à dire angle inférieur gauche au point "
            "zéro de la zone d'impression.";
        const QString right =
            "Petit côté droit du chèque en tête, c'est à dire angle supérieur droit au point "
            "zéro de la zone d'impression.";
        platform::FakePrinter fake;
        for (int rotation : {270, 90, 0}) {
            fake.rotation = rotation;
            QCOMPARE(printer::deviceOrientationCap(fake), rotation);
            QCOMPARE(printer::positioningText(rotation), rotation == 270 ? left : right);
        }
        // A printer that cannot be asked once is asked afresh the next time.
        fake.failOn("LandscapeRotation", 1);
        QCOMPARE(printer::deviceOrientationCap(fake), -1);
        QCOMPARE(printer::positioningText(-1), right);
        QCOMPARE(printer::deviceOrientationCap(fake), 0);
    }
};

QTEST_MAIN(TestCapabilities)
#include "test_capabilities.moc"
