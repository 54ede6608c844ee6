// Choosing and reconfiguring the printer from the main window, driven by keys,
// against a spooler of the test's own with two queues whose PPDs differ; the next
// cheque then reaches the chosen queue with the chosen tray.

#include "app/frmTolvo.h"
#include "dialogs/frmMsgBox.h"
#include "platform/Application.h"
#include "platform/forms/MessageBox.h"
#include "platform/print/SystemPrinters.h"
#include "printer/PrintSetupDialog.h"
#include "printer/frmConfig.h"
#include "support/PrivateCups.h"
#include "support/TestFiles.h"

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using testsupport::TestPpd;

namespace {
// Longer than the 32 characters the setup dialog hands back.
const QString compta = QStringLiteral("Comptabilite_rez_de_chaussee_laser_A4");

QSet<QString> lines(const QString &path)
{
    QSet<QString> out;
    for (const QByteArray &line : testsupport::readAll(path).split('\n'))
        if (!line.trimmed().isEmpty())
            out << QString::fromLatin1(line.trimmed());
    return out;
}

// Shows a queued dialog, waits until it is active, lets `keys` act, then Enter or Escape.
template <typename Dialog>
std::function<void(QDialog &)> answer(std::function<void(Dialog &)> keys, Qt::Key last = Qt::Key_Return)
{
    return [keys, last](QDialog &dialog) {
        auto &d = dynamic_cast<Dialog &>(dialog);
        d.show();
        QApplication::setActiveWindow(&d);
        keys(d);
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &d, last);
    };
}
} // namespace

class TestConfig : public QObject {
    Q_OBJECT
    std::unique_ptr<testsupport::PrivateCups> m_cups;
    QTemporaryDir dir;
    std::unique_ptr<frmTolvo> w;

    QString ini() const { return dir.filePath("Tolvo.ini"); }

    void start(const QString &text)
    {
        w.reset();
        QVERIFY(testsupport::writeAll(ini(), testsupport::iniBytes(text)));
        platform::setPrinters(platform::makeSystemPrinters());
        w = std::make_unique<frmTolvo>();
        w->Form_Load();
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }

private slots:
    void initTestCase()
    {
        m_cups = std::make_unique<testsupport::PrivateCups>();
        QVERIFY2(m_cups->isRunning(), qPrintable(m_cups->errorString()));
        QVERIFY2(m_cups->addQueue(
                     "Accueil",
                     TestPpd{.inputSlots = {"Tray1/Bac 1"}, .defaultSlot = "Tray1", .landscape = "Plus90"}),
                 qPrintable(m_cups->errorString()));
        QVERIFY2(m_cups->addQueue(compta, TestPpd{.inputSlots = {"Upper/Haut", "Lower/Bas", "Manual/Manuel"},
                                                  .defaultSlot = "Upper",
                                                  .landscape = "Minus90"}),
                 qPrintable(m_cups->errorString()));
        QVERIFY(m_cups->admin("lpadmin", {"-d", "Accueil"}));
        platform::setApplicationFolder(dir.path());
    }
    void cleanupTestCase()
    {
        w.reset();
        platform::setPrinters(nullptr);
        m_cups.reset();
    }

    // Space on the button opens the dialog on the printer in use; Enter keeps the first option.
    // Only "Imprimante" is written, then a reconfiguration cancelled in the setup
    // dialog changes nothing.
    void keepFirstOption()
    {
        start("[Montants]\n0=12,50\n[Accueil]\nPaperBin=1\nOrientation=1\nHorAjust=2\n");
        const QSet<QString> before = lines(ini());
        platform::MessageBoxRecorder recorder;
        recorder.queueDialog(answer<printer::frmConfig>([](printer::frmConfig &d) {
            QCOMPARE(d.windowTitle(), QString("Configurer l'impression"));
            QVERIFY(d.optChoix[0]->isChecked());
            QCOMPARE(d.cboImprimantes->currentText(), QString("Accueil"));
            QCOMPARE(d.cboImprimantes->count(), 3); // the two queues, then "Fichier PDF"
            QCOMPARE(d.cboImprimantes->itemText(2), QString("Fichier PDF"));
        }));
        w->cmdConfig->setFocus();
        QTest::keyClick(w->cmdConfig, Qt::Key_Space);
        QCOMPARE(recorder.dialogsRun, 1);
        QCOMPARE(lines(ini()) - before, (QSet<QString>{"[Défaut]", "Imprimante=Accueil"}));
        QVERIFY(lines(ini()).contains(before));
        QCOMPARE(w->lblPaperBin->text(), QString("Bac supérieur"));
        QCOMPARE(w->HorAjust, qint16(2));

        const QByteArray saved = testsupport::readAll(ini());
        recorder.queueDialog(answer<printer::frmConfig>([](printer::frmConfig &d) {
            QTest::keyClick(d.optChoix[0], Qt::Key_Down); // to the second option
            QVERIFY(d.optChoix[1]->isChecked());
            QVERIFY(!d.cboImprimantes->isEnabled());
        }));
        recorder.queueDialog(answer<frmMsgBox>([](frmMsgBox &box) { QCOMPARE(box.PictureType(), 3); }));
        recorder.queueDialog(answer<printer::PrintSetupDialog>([](auto &) {}, Qt::Key_Escape));
        w->cmdConfig->setFocus();
        QTest::keyClick(w->cmdConfig, Qt::Key_Space);
        QCOMPARE(recorder.dialogsRun, 4);
        QCOMPARE(testsupport::readAll(ini()), saved);
        QCOMPARE(w->lblImprimante->text(), QString("Accueil"));
    }

    // The second queue, lower tray, landscape: the file, the panel, the next cheque.
    void reconfigureThenPrint()
    {
        start("[Défaut]\nImprimante=Accueil\n[" + compta + "]\nHorAjust=3\n");
        platform::MessageBoxRecorder recorder;
        recorder.queueDialog(answer<printer::frmConfig>(
            [](printer::frmConfig &d) { QTest::keyClick(d.optChoix[0], Qt::Key_Down); }));
        recorder.queueDialog(answer<frmMsgBox>([](frmMsgBox &box) {
            QVERIFY(box.Message().startsWith("Dans la fenêtre qui va suivre, choisissez l'imprimante"));
        }));
        recorder.queueDialog(answer<printer::PrintSetupDialog>([](printer::PrintSetupDialog &d) {
            QCOMPARE(d.cboImprimante->currentText(), QString("Accueil"));
            d.cboImprimante->setFocus();
            QTest::keyClick(d.cboImprimante, Qt::Key_Down);
            QCOMPARE(d.cboImprimante->currentText(), compta);
            QCOMPARE(d.cboSource->currentText(), QString("Bac supérieur"));
            d.cboSource->setFocus();
            QTest::keyClick(d.cboSource, Qt::Key_Down);
            QCOMPARE(d.cboSource->currentText(), QString("Bac inférieur"));
            d.optPaysage->setFocus();
            QTest::keyClick(d.optPaysage, Qt::Key_Space);
        }));
        w->cmdConfig->setFocus();
        QTest::keyClick(w->cmdConfig, Qt::Key_Space);
        QCOMPARE(recorder.dialogsRun, 3);

        const QSet<QString> file = lines(ini());
        for (const QString &line : {"Imprimante=" + compta, "[" + compta + "]", QString("PaperBin=2"),
                                    QString("Orientation=2"), QString("HorAjust=3")})
            QVERIFY2(file.contains(line), qPrintable(line));
        QCOMPARE(w->lblImprimante->text(), compta);
        QCOMPARE(w->lblPaperBin->text(), QString("Bac inférieur"));
        QCOMPARE(w->lblOrientation->text(), QString("Orientation Paysage"));
        QCOMPARE(w->lblPositionnement->Tag, QString("270"));
        QVERIFY(w->lblPositionnement->text().startsWith("Petit côté gauche"));
        QCOMPARE(w->HorAjust, qint16(3));

        const int before = m_cups->lastJob(compta);
        w->cboMontant->setEditText("12,50");
        w->cmdImprime->click();
        const int job = m_cups->lastJob(compta);
        QVERIFY2(job > before, qPrintable(m_cups->log()));
        QCOMPARE(m_cups->jobAttribute(job, "InputSlot"), QString("Lower"));
    }
};

QTEST_MAIN(TestConfig)
#include "test_config.moc"
