// The options dialog opened from the main window's menu and driven by keys and clicks:
// what each page writes into Tolvo.ini and the main window, and nothing on Annuler.

#include "app/frmTolvo.h"
#include "cheque/frmEtalonnage.h"
#include "options/frmOptions.h"
#include "platform/Application.h"
#include "platform/forms/MessageBox.h"
#include "platform/help/HelpKey.h"
#include "platform/print/Fonts.h"
#include "support/FakePrinter.h"
#include "support/Gui.h"
#include "support/TestFiles.h"

#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>

using namespace testsupport;

namespace {

void close(frmOptions &d, const QString &how)
{
    if (how == "Esc")
        QTest::keyClick(focused(), Qt::Key_Escape);
    else
        QTest::mouseClick(d.cmdAction[how == "OK" ? 0 : 1], Qt::LeftButton);
}

} // namespace

class TestOptions : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<frmTolvo> w;

    QString file() const { return dir.filePath("Tolvo.ini"); }
    // Starts the main window on `content`, opens the menu command's page and lets
    // `act` use it; the dialog must be closed by then.
    void open(const QString &content, int index, const std::function<void(frmOptions &)> &act)
    {
        QVERIFY(writeAll(file(), iniBytes(content)));
        w = std::make_unique<frmTolvo>();
        w->Form_Load();
        QVERIFY(showActive(*w));
        bool closed = false;
        whenModal(closed, [&](QDialog &dialog) {
            QVERIFY(dialog.parentWidget() == w.get() && dynamic_cast<frmOptions *>(&dialog));
            act(static_cast<frmOptions &>(dialog));
        });
        w->mnuGénéral[size_t(index)]->trigger();
        QVERIFY(closed);
    }

private slots:
    void initTestCase() { platform::installHelpKey(); }
    void init()
    {
        platform::setApplicationFolder(dir.path());
        platform::useFakePrinter();
    }
    void cleanup()
    {
        w.reset();
        platform::setPrinters(nullptr);
        platform::setReportedFonts(std::nullopt);
    }

    // "Supprimer" under each list, then OK, Annuler or Esc.
    void lists()
    {
        const QString before = "[Montants]\n5=100,00\n7=20,00\n9=30,00\n"
                               "[Bénéficiaires]\n0=EDF\n1=Zoé Martin\n[Défaut]\nMontant=20,00\n";
        const struct {
            int amounts, beneficiaries;
            QString how, after;
        } rows[] = {
            {1, 0, "OK", QString(before).replace("5=100,00\n7=20,00\n9=30,00", "0=20,00\n1=30,00")},
            {0, 2, "OK", QString(before).remove("[Bénéficiaires]\n0=EDF\n1=Zoé Martin\n")},
            {1, 1, "Annuler", before},
            {1, 1, "Esc", before},
        };
        for (const auto &row : rows) {
            open(before, 0, [&](frmOptions &d) {
                QCOMPARE(d.windowTitle(), QString("Gestion des listes"));
                QVERIFY(d.fraListe->isVisible() && !d.fraOptions->isVisible() &&
                        !d.fraAjustement->isVisible());
                QCOMPARE(f1(), 1004);
                for (int i = 0; i < row.amounts; ++i)
                    QTest::mouseClick(d.cmdSupprimer[0], Qt::LeftButton);
                for (int i = 0; i < row.beneficiaries; ++i)
                    QTest::mouseClick(d.cmdSupprimer[1], Qt::LeftButton);
                QCOMPARE(d.cmdSupprimer[1]->isEnabled(), row.beneficiaries < 2);
                close(d, row.how);
            });
            QCOMPARE(readAll(file()), iniBytes(row.after));
            QCOMPARE(platform::comboEntries(w->cboMontant).join(' '),
                     QString(row.how == "OK" && row.amounts ? "20,00 30,00" : "100,00 20,00 30,00"));
            QCOMPARE(w->cboBénéficiaire->count(), row.beneficiaries == 2 ? 0 : 2);
            QCOMPARE(w->cboMontant->currentText(), QString("20,00"));
        }
    }

    void options()
    {
        // A face reported twice, in no order, and in two cases.
        platform::setReportedFonts(
            QStringList{"Zeta", "Liberation Serif", "alpha", "Zeta", "LIBERATION SERIF"});
        const QString before = "[Défaut]\nFont=Liberation Serif\nAutoAjout2=Non\n";
        for (const QString how : {"Esc", "OK"}) {
            open(before, 1, [&](frmOptions &d) {
                QCOMPARE(platform::comboEntries(d.cboPolice),
                         QStringList({"alpha", "Liberation Serif", "LIBERATION SERIF", "Zeta"}));
                QCOMPARE(d.cboPolice->currentText(), QString("Liberation Serif"));
                QCOMPARE(focused(), d.chkMontant);
                QCOMPARE(f1(), 1005);
                type(" \t \t"); // untick amounts, tick beneficiaries
                QTest::keyClick(focused(), Qt::Key_End);
                type("\t12.5.\tSociété Durand");
                QCOMPARE(d.txtDéfaut->text(), QString("12,50"));
                close(d, how);
            });
            const bool ok = how == "OK";
            QCOMPARE(readAll(file()), iniBytes(ok ? "[Défaut]\nFont=Zeta\nAutoAjout2=\nAutoAjout1=Non\n"
                                                    "Montant=12,50\nBénéficiaire=Société Durand\n"
                                                  : before));
            QCOMPARE(w->AddMontant, !ok);
            QCOMPARE(w->AddBénéficiaire, ok);
            QCOMPARE(w->sFont, QString(ok ? "Zeta" : "Liberation Serif"));
            QCOMPARE(w->cboMontant->currentText() + w->cboBénéficiaire->currentText(),
                     QString(ok ? "12,50Société Durand" : ""));
        }
    }

    // The default amount is typed and pasted like the cheque's amount, and OK takes
    // only an amount a cheque could be printed with, or none. The installed fonts
    // list the Windows families drawn with their metric twins, the default one selected.
    void defaultAmount()
    {
        // clang-format off
        const struct { QString keys, pasted, message, saved; } rows[] = {
            {"99999999999", "", "Le montant du chèque est trop élevé.", "20,00"},
            {"0", "", "Un montant nul n'est pas autorisé.", "20,00"},
            {"", "1 234,5", "", "1234,50"}, {"\b", "", "", ""}};
        // clang-format on
        for (const auto &row : rows) {
            platform::MessageBoxRecorder boxes;
            open("[Défaut]\nMontant=20,00\n", 1, [&](frmOptions &d) {
                QVERIFY(platform::comboEntries(d.cboPolice).contains("Times New Roman"));
                QCOMPARE(d.cboPolice->currentText(), QString("Arial"));
                d.txtDéfaut->setFocus(); // all selected
                type(row.keys);
                QApplication::clipboard()->setText(row.pasted);
                QTest::keyClick(focused(), Qt::Key_V, Qt::ControlModifier);
                close(d, "OK");
                // A refused amount keeps the dialog open with the box to correct.
                QCOMPARE(d.isVisible() && focused() == d.txtDéfaut, !row.message.isEmpty());
                if (d.isVisible())
                    close(d, "Esc");
            });
            QCOMPARE(boxes.shown.value(0).text + w->sDefault, row.message + row.saved);
            QCOMPARE(readAll(file()).contains("Font=Arial"), row.message.isEmpty());
        }
    }

    void adjustment()
    {
        const QString before = "[HP]\nHorAjust=7\nVerAjust=-4\n";
        // Keys at the end of the horizontal box ("^A" selects it all), then a text pasted there;
        // the box before closing, whether OK is refused, and the file afterwards.
        // clang-format off
        const struct { QString keys, pasted, how, shown; bool refused; QString after; } rows[] = {
            {"\b\b12-\t\b5", "", "OK", "-12", false, "[HP]\nHorAjust=-12\nVerAjust=5\n"},
            {"\b\b", "", "OK", "", false, "[HP]\nHorAjust=0\nVerAjust=-4\n"}, // empty is 0
            {"^A", "- 12", "OK", "-12", false, "[HP]\nHorAjust=-12\nVerAjust=-4\n"},
            {"", "-0x1", "OK", "7", false, before}, // no number: the paste refused whole
            {"\b", "1000", "OK", "", false, "[HP]\nHorAjust=0\nVerAjust=-4\n"}, // too long likewise
            {"\b+", "", "OK", "+", true, before}, // a sign alone is no number
            {"\b\b12-", "", "Annuler", "-12", false, before}};
        // clang-format on
        for (const auto &row : rows) {
            platform::MessageBoxRecorder boxes;
            open(before, 2, [&](frmOptions &d) {
                QVERIFY(d.lblEti[0]->text().contains("sélectionnée (HP).\r\nIndiquez"));
                QCOMPARE(f1(), 1003);
                d.txtAjust[0]->end(false);
                if (row.keys == "^A")
                    QTest::keyClick(focused(), Qt::Key_A, Qt::ControlModifier);
                else
                    type(row.keys);
                QApplication::clipboard()->setText(row.pasted);
                QTest::keyClick(focused(), Qt::Key_V, Qt::ControlModifier);
                QCOMPARE(d.txtAjust[0]->text(), row.shown);
                close(d, row.how);
                // A refused number keeps the dialog open with the box to correct.
                QCOMPARE(d.isVisible() && focused() == d.txtAjust[0], row.refused);
                if (row.refused)
                    close(d, "Esc");
            });
            QCOMPARE(boxes.shown.value(0).text,
                     row.refused ? "L'ajustement doit être compris entre -999 et 999 millimètres." : QString());
            QCOMPARE(readAll(file()), iniBytes(row.after));
            QCOMPARE(w->HorAjust, qint16(row.refused || row.how != "OK" ? 7 : row.shown.toInt()));
        }
    }

    // The calibration from the adjustment page: its button below the page's own controls,
    // the sheet printed with the adjustment typed there, and what "Étalonnage" saved
    // shown in the boxes; Annuler afterwards keeps it.
    void calibration()
    {
        auto &fake = static_cast<platform::FakePrinter &>(platform::printers().current());
        platform::MessageBoxRecorder boxes;
        boxes.queueDialog(answer<frmÉtalonnage>([](frmÉtalonnage &) {
            QCOMPARE(f1(), 1009);
            type("2\t-1");
        }));
        open("[HP]\nOrientation=1\nHorAjust=7\nVerAjust=-4\n", 2, [&](frmOptions &d) {
            QVERIFY(d.cmdÉtalonnage->geometry().top() >= d.lblEti[5]->geometry().bottom() &&
                    d.fraAjustement->rect().contains(d.cmdÉtalonnage->geometry()));
            d.cmdÉtalonnage->setFocus();
            QCOMPARE(f1(), 1009);
            d.txtAjust[0]->setFocus();
            d.txtAjust[0]->selectAll();
            type("5");
            QTest::mouseClick(d.cmdÉtalonnage, Qt::LeftButton);
            QCOMPARE(d.txtAjust[0]->text() + " " + d.txtAjust[1]->text(), QString("7 -5"));
            close(d, "Annuler");
        });
        // The beneficiary's cross, where the adjustment typed puts the field.
        QVERIFY(fake.lines.contains(QLineF(5 + 15 - 2.5, -4 + 33, 5 + 15 + 2.5, -4 + 33)));
        QCOMPARE(readAll(file()), iniBytes("[HP]\nOrientation=1\nHorAjust=7\nVerAjust=-5\n"));
        QCOMPARE(w->HorAjust * 10 + w->VerAjust, 7 * 10 - 5);
    }
};

QTEST_MAIN(TestOptions)
#include "test_options.moc"
