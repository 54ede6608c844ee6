// The options dialog opened from the main window's menu and driven by keys and clicks:
// what each page writes into Tolvo.ini and the main window, and nothing on Annuler.

#include "app/frmTolvo.h"
#include "options/frmOptions.h"
#include "platform/Application.h"
#include "platform/forms/MessageBox.h"
#include "platform/help/HelpKey.h"
#include "platform/help/HelpViewer.h"
#include "platform/print/Fonts.h"
#include "support/FakePrinter.h"
#include "support/TestFiles.h"

#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using testsupport::iniBytes;
using testsupport::readAll;

namespace {

QWidget *focused()
{
    return QApplication::focusWidget();
}

// Keys as a user types them: "\t" is Tab, "\b" Backspace.
void type(const QString &keys)
{
    for (const QChar c : keys)
        if (c.unicode() < 128)
            QTest::keyClick(focused(), c.toLatin1());
        else // keyClick knows only ASCII keys
            QTest::sendKeyEvent(QTest::Click, focused(), Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// F1 on the focused control: the help context it opens.
int f1()
{
    platform::HelpRecorder help;
    QTest::keyClick(focused(), Qt::Key_F1);
    return help.requests.isEmpty() ? -1 : int(help.requests.last().data);
}

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
        QVERIFY(testsupport::writeAll(file(), iniBytes(content)));
        w = std::make_unique<frmTolvo>();
        w->Form_Load();
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        bool closed = false;
        QTimer::singleShot(0, [&] {
            auto *dialog = dynamic_cast<frmOptions *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            [&] {
                QCOMPARE(dialog->parentWidget(), w.get());
                dialog->activateWindow();
                QTRY_COMPARE(QApplication::activeWindow(), dialog);
                act(*dialog);
            }();
            closed = !dialog->isVisible();
            if (!closed)
                dialog->reject(); // a failed check must not leave the test waiting
        });
        w->mnuGénéral[size_t(index)]->trigger();
        QVERIFY(closed);
    }

private slots:
    void initTestCase() { platform::installHelpKey(); }
    void init()
    {
        platform::setApplicationFolder(dir.path());
        auto printers = std::make_unique<platform::FakePrinters>();
        printers->add("HP");
        platform::setPrinters(std::move(printers));
    }
    void cleanup()
    {
        w.reset();
        platform::setPrinters(nullptr);
        platform::setReportedFonts(std::nullopt);
    }

    void lists_data()
    {
        QTest::addColumn<int>("amounts"); // "Supprimer" clicks under each list
        QTest::addColumn<int>("beneficiaries");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("after"); // the file afterwards; empty: unchanged
        const QString rest = "[Bénéficiaires]\n0=EDF\n1=Zoé Martin\n[Défaut]\nMontant=20,00\n";
        QTest::newRow("first amount") << 1 << 0 << "OK"
                                      << "[Montants]\n0=20,00\n1=30,00\n" + rest;
        QTest::newRow("every beneficiary")
            << 0 << 2 << "OK" << QString("[Montants]\n5=100,00\n7=20,00\n9=30,00\n[Défaut]\nMontant=20,00\n");
        QTest::newRow("Annuler") << 1 << 1 << "Annuler" << QString();
        QTest::newRow("Esc") << 1 << 1 << "Esc" << QString();
    }
    void lists()
    {
        const QString before = "[Montants]\n5=100,00\n7=20,00\n9=30,00\n"
                               "[Bénéficiaires]\n0=EDF\n1=Zoé Martin\n[Défaut]\nMontant=20,00\n";
        QFETCH(int, amounts);
        QFETCH(int, beneficiaries);
        QFETCH(QString, how);
        open(before, 0, [&](frmOptions &d) {
            QCOMPARE(d.windowTitle(), QString("Gestion des listes"));
            QVERIFY(d.fraListe->isVisible() && !d.fraOptions->isVisible() && !d.fraAjustement->isVisible());
            QCOMPARE(f1(), 1004);
            for (int i = 0; i < amounts; ++i)
                QTest::mouseClick(d.cmdSupprimer[0], Qt::LeftButton);
            for (int i = 0; i < beneficiaries; ++i)
                QTest::mouseClick(d.cmdSupprimer[1], Qt::LeftButton);
            QCOMPARE(d.cmdSupprimer[1]->isEnabled(), beneficiaries < 2);
            close(d, how);
        });
        QFETCH(QString, after);
        QCOMPARE(readAll(file()), iniBytes(after.isEmpty() ? before : after));
        QCOMPARE(platform::comboEntries(w->cboMontant).join(' '),
                 QString(how == "OK" && amounts ? "20,00 30,00" : "100,00 20,00 30,00"));
        QCOMPARE(w->cboBénéficiaire->count(), beneficiaries == 2 ? 0 : 2);
        QCOMPARE(w->cboMontant->currentText(), QString("20,00"));
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

    void adjustment_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("shown"); // the horizontal box before closing
        QTest::addColumn<QString>("after"); // empty: file unchanged
        // clang-format off
        QTest::newRow("typed")            << "\b\b12-\t\b5" << "" << "OK" << "-12"  << "[HP]\nHorAjust=-12\nVerAjust=5\n";
        QTest::newRow("empty is 0")       << "\b\b"         << "" << "OK" << ""     << "[HP]\nHorAjust=0\nVerAjust=-4\n";
        QTest::newRow("pasted too large") << "\b" << "-1000" << "OK"      << "-1000" << QString();
        QTest::newRow("Annuler")          << "\b\b12-" << ""  << "Annuler" << "-12"   << QString();
        // clang-format on
    }
    void adjustment()
    {
        const QString before = "[HP]\nHorAjust=7\nVerAjust=-4\n";
        QFETCH(QString, keys);
        QFETCH(QString, pasted);
        QFETCH(QString, how);
        QFETCH(QString, after);
        const bool refused = after.isEmpty() && how == "OK";
        platform::MessageBoxRecorder boxes;
        open(before, 2, [&](frmOptions &d) {
            QVERIFY(d.lblEti[0]->text().contains("sélectionnée (HP).\r\nIndiquez"));
            QCOMPARE(f1(), 1003);
            d.txtAjust[0]->end(false);
            type(keys);
            QApplication::clipboard()->setText(pasted);
            d.txtAjust[0]->paste();
            QTEST(d.txtAjust[0]->text(), "shown");
            close(d, how);
            // A refused number keeps the dialog open with the box to correct.
            QCOMPARE(d.isVisible() && focused() == d.txtAjust[0], refused);
            if (refused)
                close(d, "Esc");
        });
        QCOMPARE(boxes.shown.value(0).text,
                 refused ? "L'ajustement doit être compris entre -999 et 999 millimètres." : QString());
        QCOMPARE(readAll(file()), iniBytes(after.isEmpty() ? before : after));
        QCOMPARE(w->HorAjust,
                 qint16(after.isEmpty() ? 7 : after.section("HorAjust=", 1).section('\n', 0, 0).toInt()));
    }
};

QTEST_MAIN(TestOptions)
#include "test_options.moc"
