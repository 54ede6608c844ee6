// The print-dialog wrapper: its flags and fields, and the real dialog answered by
// keys over a collection of fake printers.

#include "platform/forms/MessageBox.h"
#include "printer/PrintSetupDialog.h"
#include "printer/cPrintDlg.h"
#include "support/FakePrinter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

using namespace printer;

namespace {
const QString longName = QStringLiteral("Imprimante du secrétariat, 2e étage"); // 35 characters

// Shows the dialog, lets `keys` act on it, then presses Enter (OK) or Escape.
std::function<void(QDialog &)> answer(std::function<void(PrintSetupDialog &)> keys, bool confirm = true)
{
    return [keys, confirm](QDialog &dialog) {
        auto &setup = static_cast<PrintSetupDialog &>(dialog);
        setup.show();
        QApplication::setActiveWindow(&setup);
        keys(setup);
        QTest::keyClick(&setup, confirm ? Qt::Key_Return : Qt::Key_Escape);
    };
}
} // namespace

class TestPrintDlg : public QObject {
    Q_OBJECT
    platform::FakePrinters *printers = nullptr;

private slots:
    void init()
    {
        auto list = std::make_unique<platform::FakePrinters>();
        list->add("Bureau").sources = {{1, "Tray1"}, {2, "Tray2"}, {4, "Manual"}};
        platform::FakePrinter &second = list->add(longName);
        second.sources = {{2, "Lower"}, {256, "Bac photo"}};
        second.paperBin = 256;
        list->add("Fichier PDF"); // no sources
        list->currentIndex = 0;
        printers = list.get();
        platform::setPrinters(std::move(list));
    }
    void cleanup() { platform::setPrinters(nullptr); }

    // Creation describes the default printer in the blocks, the copy stays zero.
    void creation()
    {
        printers->list[0]->orientation = 2;
        cPrintDlg dlg;
        QCOMPARE(dlg.record().lStructSize, 66u);
        QCOMPARE(dlg.record().Flags, 0x40180u);
        QCOMPARE(dlg.PrinterName(), QString());
        QCOMPARE(dlg.Orientation(), qint16(0));
        QCOMPARE(dlg.DefaultSource(), qint16(0));
        QCOMPARE(devNamesDevice(dlg.record().hDevNames), QString("Bureau"));
        QCOMPARE(dlg.record().hDevMode.size(), 124);
        QCOMPARE(QByteArray(dlg.record().hDevMode.constData(), 6), QByteArray("Bureau"));
        QCOMPARE(dlg.record().hDevNames.left(30),
                 QByteArray("\x08\0\x11\0\x18\0\0\0        \0Bureau\0     \0", 30));
        QCOMPARE(dlg.record().hDevNames.size(), 108);
        QString msg;
        QCOMPARE(dlg.ErrCodeDlg(msg), 0);
        QCOMPARE(msg, QString("L'utilisateur a annulé l'opération."));
    }

    // Setters: the field, its valid-field bit, and a renewed device-mode block.
    void properties()
    {
        cPrintDlg dlg;
        const struct {
            void (cPrintDlg::*set)(qint16);
            qint16 (cPrintDlg::*get)() const;
            quint32 bit;
        } fields[] = {{&cPrintDlg::setPaperSize, &cPrintDlg::PaperSize, DM_PAPERSIZE},
                      {&cPrintDlg::setPaperWidth, &cPrintDlg::PaperWidth, DM_PAPERWIDTH},
                      {&cPrintDlg::setPaperLength, &cPrintDlg::PaperLength, DM_PAPERLENGTH},
                      {&cPrintDlg::setColorMode, &cPrintDlg::ColorMode, DM_COLOR},
                      {&cPrintDlg::setOrientation, &cPrintDlg::Orientation, DM_ORIENTATION},
                      {&cPrintDlg::setPrintScale, &cPrintDlg::PrintScale, DM_SCALE},
                      {&cPrintDlg::setDefaultSource, &cPrintDlg::DefaultSource, DM_DEFAULTSOURCE},
                      {&cPrintDlg::setCopies, &cPrintDlg::Copies, DM_COPIES}};
        qint16 value = -3;
        quint32 bits = 0;
        for (const auto &f : fields) {
            (dlg.*f.set)(value);
            bits |= f.bit;
            QCOMPARE((dlg.*f.get)(), value);
            QCOMPARE(dlg.devMode().dmFields, bits);
            QCOMPARE(dlg.record().hDevMode,
                     QByteArray(reinterpret_cast<const char *>(&dlg.devMode()), sizeof(DevMode)));
            value = qint16(value + 7);
        }
        // The program makes the copies: the record's fields, the device mode untouched.
        const qint16 deviceCopies = dlg.devMode().dmCopies;
        dlg.setCopiesAndCollateByApp(true);
        QCOMPARE(dlg.record().Flags & PD_USEDEVMODECOPIESANDCOLLATE, 0u);
        dlg.setCopies(3);
        dlg.setCollate(true);
        QCOMPARE(dlg.Copies(), qint16(3));
        QCOMPARE(dlg.devMode().dmCopies, deviceCopies);
        QCOMPARE(dlg.record().Flags & PD_COLLATE, quint32(PD_COLLATE));
        dlg.setCopiesAndCollateByApp(false);
        QCOMPARE(dlg.Copies(), deviceCopies);

        const std::pair<int, quint32> ranges[] = {
            {1, PD_PAGENUMS}, {2, PD_SELECTION}, {1, PD_PAGENUMS}, {0, 0}, {7, 0}};
        for (const auto &[range, flags] : ranges) {
            dlg.setPrintRange(range);
            QCOMPARE(dlg.PrintRange(), range == 7 ? 0 : range);
            QCOMPARE(dlg.record().Flags & (PD_PAGENUMS | PD_SELECTION), quint32(flags));
        }
        dlg.setNoWarning(false);
        dlg.setPrintToFile(true);
        dlg.setDisablePages(true);
        dlg.setDisableSelection(true);
        dlg.setDisablePrintToFile(true);
        QCOMPARE(dlg.record().Flags,
                 quint32(PD_USEDEVMODECOPIESANDCOLLATE | PD_RETURNDC | PD_COLLATE | PD_NOPAGENUMS |
                         PD_NOSELECTION | PD_PRINTTOFILE | PD_DISABLEPRINTTOFILE));
        dlg.setPrinterName(longName);
        QCOMPARE(dlg.PrinterName(), longName.left(32));
        QCOMPARE(devNamesDevice(dlg.record().hDevNames), longName);
    }

    // The user picks the second printer, its second source and landscape.
    void setupConfirmedAndCancelled()
    {
        platform::MessageBoxRecorder recorder;
        recorder.queueDialog(answer([](PrintSetupDialog &d) {
            QCOMPARE(d.cboImprimante->currentText(), QString("Bureau"));
            QVERIFY(!d.spnCopies); // the setup form has no copies
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
        QCOMPARE(devNamesDevice(dlg.record().hDevNames), longName);

        // Opened again, the dialog starts from these choices; Escape keeps them.
        recorder.queueDialog(answer(
            [](PrintSetupDialog &d) {
                QCOMPARE(d.cboImprimante->currentIndex(), 1);
                QCOMPARE(d.cboSource->currentText(), QString("Bac inférieur"));
                QVERIFY(d.optPaysage->isChecked());
                d.optPortrait->click();
            },
            false));
        QVERIFY(!dlg.ShowSetup());
        QCOMPARE(dlg.Orientation(), qint16(2));
        QString msg;
        QCOMPARE(dlg.ErrCodeDlg(msg), 0);

        // A printer without trays is fed from its default bin.
        recorder.queueDialog(answer([](PrintSetupDialog &d) {
            d.choosePrinter(2);
            QCOMPARE(d.cboSource->count(), 1);
            QCOMPARE(d.cboSource->currentText(), QString("Bac par défaut"));
        }));
        cPrintDlg fresh;
        QVERIFY(fresh.ShowSetup());
        QCOMPARE(fresh.PrinterName(), QString("Fichier PDF"));
        QCOMPARE(fresh.DefaultSource(), qint16(7));
        QCOMPARE(fresh.Orientation(), qint16(1)); // Bureau is in portrait
    }

    void printForm()
    {
        platform::MessageBoxRecorder recorder;
        recorder.queueDialog(answer([](PrintSetupDialog &d) {
            QVERIFY(d.optTout->isChecked());
            QVERIFY(!d.optSelection->isEnabled());
            QVERIFY(d.chkFichier->isHidden());
            d.spnCopies->setValue(4);
            d.chkCollate->setChecked(true);
            d.optPages->click();
            d.spnFrom->setValue(2);
            d.spnTo->setValue(9); // beyond the last page: kept within it
        }));
        cPrintDlg dlg;
        dlg.setCopiesAndCollateByApp(true);
        dlg.setMinPage(1);
        dlg.setMaxPage(3);
        dlg.setDisableSelection(true);
        dlg.setDisablePrintToFile(true);
        QVERIFY(dlg.ShowPrint());
        QCOMPARE(dlg.Copies(), qint16(4));
        QVERIFY(dlg.Collate());
        QCOMPARE(dlg.PrintRange(), 1);
        QCOMPARE(dlg.FromPage(), qint16(2));
        QCOMPARE(dlg.ToPage(), qint16(3));
        QVERIFY(!dlg.PrintToFile());
        QCOMPARE(dlg.record().Flags & PD_PRINTSETUP, 0u);
    }

    void errors()
    {
        platform::setPrinters(std::make_unique<platform::FakePrinters>());
        platform::MessageBoxRecorder recorder;
        cPrintDlg dlg;
        QString msg;
        QCOMPARE(dlg.ErrCodeDlg(msg), 4103);
        QVERIFY(!dlg.ShowSetup());
        QVERIFY(!dlg.ShowPrint());
        QCOMPARE(dlg.ErrCodeDlg(msg), 4103);
        QCOMPARE(msg, QString("Aucune imprimante trouvée."));
        QCOMPARE(recorder.dialogsRun, 0);

        init();
        cPrintDlg unknown;
        unknown.setPrinterName("Disparue");
        QVERIFY(!unknown.ShowSetup());
        QCOMPARE(unknown.ErrCodeDlg(msg), 4107);
        QCOMPARE(msg, QString("Imprimante non trouvée"));
        QCOMPARE(recorder.dialogsRun, 0);
    }
};

QTEST_MAIN(TestPrintDlg)
#include "test_printdlg.moc"
