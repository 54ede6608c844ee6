// The options dialog opened from the main window's menu and driven by keys and clicks:
// what each page writes into Tolvo.ini and the main window, and a cheque printed with
// the font and adjustment chosen there.

#include "app/frmTolvo.h"
#include "options/frmOptions.h"
#include "platform/Application.h"
#include "platform/forms/MessageBox.h"
#include "platform/help/HelpKey.h"
#include "platform/help/HelpViewer.h"
#include "platform/print/Fonts.h"
#include "support/FakePrinter.h"
#include "support/PdfText.h"
#include "support/TestFiles.h"
#include "support/TestPrinters.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
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

// Keys as a user types them: "\t" is Tab, "\b" Backspace, the rest characters.
void type(const QString &keys)
{
    for (const QChar c : keys)
        if (c == QLatin1Char('\t'))
            QTest::keyClick(focused(), Qt::Key_Tab);
        else if (c == QLatin1Char('\b'))
            QTest::keyClick(focused(), Qt::Key_Backspace);
        else if (c.unicode() < 128)
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

} // namespace

class TestOptions : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<frmTolvo> w;

    QString file() const { return dir.filePath("Tolvo.ini"); }
    void start(const QString &content)
    {
        QFile::remove(file());
        if (!content.isEmpty())
            QVERIFY(testsupport::writeAll(file(), iniBytes(content)));
        w = std::make_unique<frmTolvo>();
        w->Form_Load();
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
    // Opens the menu command's page and lets `act` use it; the dialog must be closed by then.
    void open(int index, const std::function<void(frmOptions &)> &act)
    {
        bool closed = false;
        QTimer::singleShot(0, [&] {
            auto *dialog = dynamic_cast<frmOptions *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            [&] {
                QVERIFY(dialog->isModal() && dialog->parentWidget() == w.get());
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
    static void close(frmOptions &d, const QString &how)
    {
        if (how == "OK")
            QTest::mouseClick(d.cmdAction[0], Qt::LeftButton);
        else if (how == "Annuler")
            QTest::mouseClick(d.cmdAction[1], Qt::LeftButton);
        else if (how == "Esc")
            QTest::keyClick(focused(), Qt::Key_Escape);
        else
            d.close();
    }

private slots:
    void initTestCase() { platform::installHelpKey(); }
    void init()
    {
        platform::setApplicationFolder(dir.path());
        platform::setToday(QDate(2026, 12, 5));
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
        QTest::addColumn<QStringList>("mainAmounts");
        QTest::addColumn<QString>("amountText");
        const QStringList all = {"100,00", "20,00", "30,00"};
        const QString rest = "[Bénéficiaires]\n0=EDF\n1=Zoé Martin\n[Défaut]\nMontant=20,00\n";
        QTest::newRow("first amount") << 1 << 0 << "OK"
                                      << "[Montants]\n0=20,00\n1=30,00\n" + rest << all.mid(1) << "20,00";
        QTest::newRow("default amount gone") << 2 << 0 << "OK"
                                             << "[Montants]\n0=30,00\n" + rest << all.mid(2) << "";
        QTest::newRow("every beneficiary")
            << 0 << 2 << "OK"
            << "[Montants]\n5=100,00\n7=20,00\n9=30,00\n[Défaut]\nMontant=20,00\n"
            << all << "20,00";
        for (const char *how : {"Annuler", "Esc", "close box"})
            QTest::newRow(how) << 1 << 1 << how << QString() << all << "20,00";
    }
    void lists()
    {
        const QString before = "[Montants]\n5=100,00\n7=20,00\n9=30,00\n"
                               "[Bénéficiaires]\n0=EDF\n1=Zoé Martin\n[Défaut]\nMontant=20,00\n";
        start(before);
        QFETCH(int, amounts);
        QFETCH(int, beneficiaries);
        QFETCH(QString, how);
        open(0, [&](frmOptions &d) {
            QCOMPARE(d.windowTitle(), QString("Gestion des listes"));
            QVERIFY(d.fraListe->isVisible() && !d.fraOptions->isVisible() && !d.fraAjustement->isVisible());
            QCOMPARE(d.fraListe->geometry(), QRect(0, 0, 369, 297));
            QCOMPARE(d.cboMontant->currentText(), QString("100,00"));
            QCOMPARE(f1(), 1004);
            for (int i = 0; i < amounts; ++i)
                QTest::mouseClick(d.cmdSupprimer[0], Qt::LeftButton);
            for (int i = 0; i < beneficiaries; ++i)
                QTest::mouseClick(d.cmdSupprimer[1], Qt::LeftButton);
            QCOMPARE(d.cmdSupprimer[1]->isEnabled(), beneficiaries < 2);
            QCOMPARE(focused(), beneficiaries ? d.cboBénéficiaire : d.cboMontant);
            close(d, how);
        });
        QFETCH(QString, after);
        QCOMPARE(readAll(file()), iniBytes(after.isEmpty() ? before : after));
        QTEST(platform::comboEntries(w->cboMontant), "mainAmounts");
        QCOMPARE(w->cboBénéficiaire->count(), beneficiaries == 2 && how == "OK" ? 0 : 2);
        QTEST(w->cboMontant->currentText(), "amountText");
    }

    void options_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("after");
        QTest::newRow("OK") << "OK"
                            << "[Défaut]\nFont=Zeta\nAutoAjout2=\nAutoAjout1=Non\nMontant=12,50\n"
                               "Bénéficiaire=Société Durand\n";
        QTest::newRow("Esc") << "Esc" << QString();
    }
    void options()
    {
        // A face reported twice, in no order, and in two cases.
        platform::setReportedFonts(
            QStringList{"Zeta", "Liberation Serif", "alpha", "Zeta", "LIBERATION SERIF"});
        const QString before = "[Défaut]\nFont=Liberation Serif\nAutoAjout2=Non\n";
        start(before);
        QFETCH(QString, how);
        open(1, [&](frmOptions &d) {
            QCOMPARE(d.windowTitle(), QString("Options"));
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
        QFETCH(QString, after);
        QCOMPARE(readAll(file()), iniBytes(after.isEmpty() ? before : after));
        const bool ok = how == "OK";
        QCOMPARE(w->AddMontant, !ok);
        QCOMPARE(w->AddBénéficiaire, ok);
        QCOMPARE(w->sFont, QString(ok ? "Zeta" : "Liberation Serif"));
        QCOMPARE(w->cboMontant->currentText(), QString(ok ? "12,50" : ""));
        QCOMPARE(w->cboBénéficiaire->currentText(), QString(ok ? "Société Durand" : ""));
    }

    void adjustment_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("shown"); // the horizontal box before closing
        QTest::addColumn<QString>("after");
        // clang-format off
        QTest::newRow("typed")            << "\b\b12-\t\b5" << "" << "OK" << "-12"  << "[HP]\nHorAjust=-12\nVerAjust=5\n";
        QTest::newRow("sign toggles")     << "\b12-++"      << "" << "OK" << "+12"  << "[HP]\nHorAjust=12\nVerAjust=-4\n";
        QTest::newRow("three digits")     << "\b12345-"     << "" << "OK" << "-123" << "[HP]\nHorAjust=-123\nVerAjust=-4\n";
        QTest::newRow("empty is 0")       << "\b\b"         << "" << "OK" << ""     << "[HP]\nHorAjust=0\nVerAjust=-4\n";
        QTest::newRow("pasted too long")  << "\b" << "-1000" << "OK"      << "-1000" << QString();
        QTest::newRow("pasted too large") << "\b" << "1234"  << "OK"      << "1234"  << QString();
        QTest::newRow("Annuler")          << "\b\b12-" << ""  << "Annuler" << "-12"   << QString();
        // clang-format on
    }
    void adjustment()
    {
        const QString before = "[HP]\nHorAjust=7\nVerAjust=-4\n";
        start(before);
        QFETCH(QString, keys);
        QFETCH(QString, pasted);
        QFETCH(QString, how);
        QFETCH(QString, after);
        platform::MessageBoxRecorder boxes;
        open(2, [&](frmOptions &d) {
            QCOMPARE(d.windowTitle(), QString("Ajustement de l'impression"));
            QVERIFY(d.lblEti[0]->text().contains("sélectionnée (HP).\r\nIndiquez"));
            QCOMPARE(focused(), d.txtAjust[0]);
            QCOMPARE(f1(), 1003);
            d.txtAjust[0]->end(false);
            type(keys);
            if (!pasted.isEmpty()) {
                QApplication::clipboard()->setText(pasted);
                d.txtAjust[0]->paste();
            }
            QTEST(d.txtAjust[0]->text(), "shown");
            close(d, how);
            // A refused number keeps the dialog open with the box to correct.
            QCOMPARE(d.isVisible(), after.isEmpty() && how == "OK");
            if (d.isVisible()) {
                QCOMPARE(focused(), d.txtAjust[0]);
                QCOMPARE(f1(), 1003);
                QTest::keyClick(focused(), Qt::Key_Escape);
            }
        });
        QCOMPARE(boxes.shown.size(), after.isEmpty() && how == "OK" ? 1 : 0);
        if (!boxes.shown.isEmpty())
            QCOMPARE(boxes.shown[0].text,
                     QString("L'ajustement doit être compris entre -999 et 999 millimètres."));
        QCOMPARE(readAll(file()), iniBytes(after.isEmpty() ? before : after));
        QCOMPARE(w->HorAjust,
                 qint16(after.isEmpty() ? 7 : after.section("HorAjust=", 1).section('\n', 0, 0).toInt()));
    }

    // A cheque on "Fichier PDF" in the font chosen in the options, then again after an
    // adjustment: every word moves by it.
    void printUsesTheChoices()
    {
        QTemporaryDir out;
        platform::setPrinters(std::make_unique<testsupport::PdfOnly>(out.path()));
        start("[Défaut]\nAutoAjout1=Non\nAutoAjout2=Non\n");
        open(1, [&](frmOptions &d) {
            QCOMPARE(d.cboPolice->currentIndex(), -1); // "Arial" is not a face of its own here
            QVERIFY(!platform::comboEntries(d.cboPolice).join('\n').contains(" [")); // no foundry names
            d.cboPolice->setFocus();
            QTest::keyClick(focused(), Qt::Key_Home);
            for (int i = 0; i < d.cboPolice->count() && d.cboPolice->currentText() != "Liberation Serif"; ++i)
                QTest::keyClick(focused(), Qt::Key_Down);
            QCOMPARE(d.cboPolice->currentText(), QString("Liberation Serif"));
            close(d, "OK");
        });
        QList<testsupport::PdfPage> pages;
        auto print = [&] {
            w->cboMontant->setEditText("1234,5");
            w->cboBénéficiaire->setEditText("Société Générale");
            w->activateWindow();
            w->cboMontant->setFocus();
            QTRY_VERIFY(w->cboMontant->hasFocus());
            const QStringList old = QDir(out.path()).entryList({"*.pdf"});
            QTest::keyClick(focused(), Qt::Key_F5);
            QStringList files = QDir(out.path()).entryList({"*.pdf"});
            for (const QString &f : old)
                files.removeOne(f);
            QCOMPARE(files.size(), 1);
            QCOMPARE(testsupport::pdfFonts(out.filePath(files[0])), QStringList({"LiberationSerif"}));
            pages << testsupport::pdfPages(out.filePath(files[0]));
        };
        print();
        open(2, [&](frmOptions &d) {
            QTest::keyClick(focused(), Qt::Key_Backspace);
            type("12-\t\b5");
            close(d, "OK");
        });
        print();
        QCOMPARE(pages.size(), 2);
        QCOMPARE(pages[0].words.size(), pages[1].words.size());
        QVERIFY(pages[0].words.size() >= 10);
        for (qsizetype i = 0; i < pages[0].words.size(); ++i) {
            const auto &a = pages[0].words[i];
            const auto &b = pages[1].words[i];
            QCOMPARE(b.text, a.text);
            QVERIFY2(qAbs(b.xMin - a.xMin + 12) < 0.1 && qAbs(b.yMin - a.yMin - 5) < 0.1, qPrintable(a.text));
        }
    }
};

QTEST_MAIN(TestOptions)
#include "test_options.moc"
