// The printer-setup dialog answered by keys over fake printers, and what the
// dialog wrapper hands back to the printer setup.

#include "platform/forms/MessageBox.h"
#include "printer/PrintSetupDialog.h"
#include "printer/cPrintDlg.h"
#include "support/FakePrinter.h"

#include <QComboBox>
#include <QRadioButton>
#include <QTest>

using namespace printer;

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
        // Shows the dialog, lets `keys` act on it, then presses Enter.
        auto answer = [&recorder](std::function<void(PrintSetupDialog &)> keys) {
            recorder.queueDialog([keys](QDialog &dialog) {
                auto &setup = static_cast<PrintSetupDialog &>(dialog);
                setup.show();
                QApplication::setActiveWindow(&setup);
                keys(setup);
                QTest::keyClick(&setup, Qt::Key_Return);
            });
        };
        answer([](PrintSetupDialog &d) {
            QCOMPARE(d.cboImprimante->currentText(), QString("Bureau"));
            d.cboImprimante->setFocus();
            QTest::keyClick(d.cboImprimante, Qt::Key_Down);
            QCOMPARE(d.cboSource->currentText(), QString("Bac photo")); // the printer's bin in force
            QCOMPARE(d.cboSource->itemText(0), QString("Bac inférieur"));
            d.cboSource->setFocus();
            QTest::keyClick(d.cboSource, Qt::Key_Up);
            d.optPaysage->setFocus();
            QTest::keyClick(d.optPaysage, Qt::Key_Space);
        });
        cPrintDlg dlg;
        QVERIFY(dlg.ShowSetup());
        QCOMPARE(dlg.PrinterName(), longName.left(32));
        QCOMPARE(dlg.DefaultSource(), qint16(2));
        QCOMPARE(dlg.Orientation(), qint16(2));

        answer([](PrintSetupDialog &d) {
            d.choosePrinter(2);
            QCOMPARE(d.cboSource->count(), 1);
            QCOMPARE(d.cboSource->currentText(), QString("Bac par défaut"));
        });
        cPrintDlg fresh;
        QVERIFY(fresh.ShowSetup());
        QCOMPARE(fresh.PrinterName(), QString("Fichier PDF"));
        QCOMPARE(fresh.DefaultSource(), qint16(7));
        QCOMPARE(fresh.Orientation(), qint16(1));
    }
};

QTEST_MAIN(TestPrintDlg)
#include "test_printdlg.moc"
