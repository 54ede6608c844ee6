// The printer-setup dialog answered by keys over fake printers, and what the
// dialog wrapper hands back to the printer setup; how the main window's panel
// says to lay the cheque for the way the printer turns landscape pages.

#include "platform/forms/MessageBox.h"
#include "printer/Capabilities.h"
#include "printer/PrintSetupDialog.h"
#include "printer/cPrintDlg.h"
#include "support/FakePrinter.h"
#include "support/Gui.h"

#include <QComboBox>
#include <QRadioButton>

using namespace printer;
using testsupport::answer;

class TestPrintDlg : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { platform::setPrinters(nullptr); }

    // The second printer, its other source and landscape; then a printer without
    // trays, fed from its default bin.
    void setup()
    {
        const QString longName = "Imprimante du secrétariat, 2e étage"; // 35 characters
        auto list = std::make_unique<platform::FakePrinters>();
        list->add("Bureau").sources = {{1, "Tray1"}, {2, "Tray2"}, {4, "Manual"}};
        list->add(longName).sources = {{2, "Lower"}, {256, "Bac photo"}};
        list->list[1]->paperBin = 256;
        list->add("Fichier PDF");
        platform::setPrinters(std::move(list));
        platform::MessageBoxRecorder recorder;
        recorder.queueDialog(answer<PrintSetupDialog>([](PrintSetupDialog &d) {
            QCOMPARE(d.cboImprimante->currentText(), QString("Bureau"));
            d.cboImprimante->setFocus();
            QTest::keyClick(d.cboImprimante, Qt::Key_Down);
            QCOMPARE(d.cboSource->currentText(), QString("Bac photo")); // the printer's bin in force
            QCOMPARE(d.cboSource->itemText(0), QString("Bac inférieur"));
            d.cboSource->setFocus();
            QTest::keyClick(d.cboSource, Qt::Key_Up);
            d.optPaysage->setFocus();
            QTest::keyClick(d.optPaysage, Qt::Key_Space);
        }));
        cPrintDlg dlg;
        QVERIFY(dlg.ShowSetup());
        QCOMPARE(dlg.PrinterName(), longName.left(32));
        QCOMPARE(dlg.DefaultSource(), qint16(2));
        QCOMPARE(dlg.Orientation(), qint16(2));

        recorder.queueDialog(answer<PrintSetupDialog>([](PrintSetupDialog &d) {
            d.choosePrinter(2);
            QCOMPARE(d.cboSource->count(), 1);
            QCOMPARE(d.cboSource->currentText(), QString("Bac par défaut"));
        }));
        cPrintDlg fresh;
        QVERIFY(fresh.ShowSetup());
        QCOMPARE(fresh.PrinterName(), QString("Fichier PDF"));
        QCOMPARE(fresh.DefaultSource(), qint16(7));
        QCOMPARE(fresh.Orientation(), qint16(1));
    }

    // How to lay the cheque for the way the printer turns landscape pages.
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
            QCOMPARE(deviceOrientationCap(fake), rotation);
            QCOMPARE(positioningText(rotation), rotation == 270 ? left : right);
        }
        // A printer that cannot be asked once is asked afresh the next time.
        fake.failOn("LandscapeRotation", 1);
        QCOMPARE(deviceOrientationCap(fake), -1);
        QCOMPARE(positioningText(-1), right);
        QCOMPARE(deviceOrientationCap(fake), 0);
    }
};

QTEST_MAIN(TestPrintDlg)
#include "test_printdlg.moc"
