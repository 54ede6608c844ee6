// Printing from the main window: the checks and their messages, the printing window,
// a cheque and the specimen on real "Fichier PDF" pages read back, and failures
// reported with the cheque kept.

#include "app/frmTolvo.h"
#include "dialogs/frmMsgBox.h"
#include "platform/Application.h"
#include "platform/Shell.h"
#include "platform/forms/MessageBox.h"
#include "support/FakePrinter.h"
#include "support/Gui.h"
#include "support/PdfText.h"
#include "support/TestFiles.h"
#include "support/TestPrinters.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

using platform::MsgIcon;
using namespace testsupport;

class TestPrintJob : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<frmTolvo> w;
    platform::FakePrinter *fake = nullptr;
    PdfOnly *pdf = nullptr;

    void start(const QString &ini = QString())
    {
        QFile::remove(dir.filePath("Tolvo.ini"));
        if (!ini.isEmpty())
            QVERIFY(writeAll(dir.filePath("Tolvo.ini"), iniBytes(ini)));
        w = std::make_unique<frmTolvo>();
        w->Form_Load();
        QVERIFY(showActive(*w));
        w->cboMontant->setFocus();
    }
    void usePdf(const QString &folder)
    {
        platform::setPrinters(std::unique_ptr<platform::Printers>(pdf = new PdfOnly(folder)));
    }

private slots:
    void init()
    {
        platform::setApplicationFolder(dir.path());
        platform::setToday(QDate(2026, 12, 5));
        fake = &platform::useFakePrinter();
    }
    void cleanup()
    {
        w.reset();
        platform::setPrinters(nullptr);
    }

    // Refused cheques: the message, and the focus on the field to correct; then F5
    // prints the normalised amount without adding it, with the saved settings, under
    // the printing window and the hourglass.
    void refusedThenPrinted()
    {
        start("[HP]\nPaperBin=4\nOrientation=1\n[Défaut]\nFont=Courier New\n");
        fake->clearCalls();
        platform::MessageBoxRecorder boxes;
        const QList<QStringList> refused = {
            {"", "31/02/2026", "Indiquez le montant du chèque. 2"},
            {",", "05/12/26", "Un montant nul n'est pas autorisé. 2"},
            {"12", "31/02/2026", "La date du chèque n'est pas une date valide.\r\nVeuillez la corriger. 1"}};
        for (const QStringList &r : refused) {
            w->cboMontant->setEditText(r[0]); // as pasted: no filter on the way
            w->txtDate->setText(r[1]);
            QTest::keyClick(focused(), Qt::Key_F5);
            QCOMPARE(boxes.shown.last().text + " " + QString::number(int(boxes.shown.last().icon)), r[2]);
            QWidget *toCorrect = r[1] == "31/02/2026" && !r[0].isEmpty() ? w->txtDate : nullptr;
            QTRY_COMPARE(focused(), toCorrect ? toCorrect : w->cboMontant);
        }
        QCOMPARE(boxes.shown.size(), 3);
        QVERIFY(fake->calls.empty());

        int busy = 0;
        fake->widthOf = [&](const QString &text, float size) {
            bool shown = false;
            for (QWidget *top : QApplication::topLevelWidgets())
                shown = shown || (top != w.get() && top->isVisible());
            busy += shown && platform::mousePointer() == 11 ? 1 : -1000;
            return 0.2 * size * text.size();
        };
        w->txtDate->setText("05/12/26");
        w->cboMontant->clearEditText();
        w->cboMontant->setFocus();
        QTest::keyClicks(focused(), "12,345");
        QTest::keyClick(focused(), Qt::Key_F5);
        QCOMPARE(fake->printed().value(4), QString("12,35"));
        const QStringList log = fake->log();
        QVERIFY(log.contains("PaperBin 4") && log.contains("Orientation 1") &&
                log.contains("FontName Courier New"));
        QVERIFY(busy > 0);
        QCOMPARE(w->cboMontant->findText("12,35"), -1);
    }

    // Typed in, printed on "Fichier PDF" by F5, Shift+F5 or the button: the words at
    // their place, and the window back to its defaults; or, when the page cannot be
    // written, reported with the cheque kept.
    void realPage_data()
    {
        QTest::addColumn<QString>("settings"); // orientation, adjustments
        QTest::addColumn<QString>("how");
        QTest::addColumn<QPointF>("corner"); // where the cheque's corner lands
        // clang-format off
        QTest::newRow("adjusted")      << "1\nHorAjust=-3\nVerAjust=2" << "Shift+F5" << QPointF(-3, 2);
        QTest::newRow("landscape 90")  << "2" << "button" << QPointF(122, 0);
        QTest::newRow("landscape 270") << "2" << "F5"     << QPointF(0, 129);
        QTest::newRow("not written")   << "1" << "F5"     << QPointF();
        // clang-format on
    }
    void realPage()
    {
        QFETCH(QString, settings);
        QFETCH(QString, how);
        QFETCH(QPointF, corner);
        QTemporaryDir out;
        const QString notAFolder = dir.filePath("Tolvo.ini");
        usePdf(corner.isNull() ? notAFolder : out.path());
        start("[Défaut]\nMontant=10,00\nBénéficiaire=EDF\nAutoAjout1=Non\nAutoAjout2=Non\n"
              "Font=Liberation Serif\nImprimante=Fichier PDF\n[Fichier PDF]\nPaperBin=7\nOrientation=" +
              settings + "\n");
        if (corner.y() > 100) // the PDF printer turns by 90 only
            w->lblPositionnement->Tag = "270";
        platform::MessageBoxRecorder boxes;
        const QRect designed = w->cmdClose->parentWidget()->geometry(); // what holds the window's controls
        const int height = w->height();
        w->cboMontant->clearEditText();
        QTest::keyClicks(focused(), "1234,5");
        w->cboBénéficiaire->setEditText("Société Générale");
        w->txtDate->setFocus();
        w->txtDate->clear();
        QTest::keyClicks(focused(), "1/2/27");
        w->chkEtoiles->setChecked(true);
        if (how == "button")
            QTest::mouseClick(w->cmdImprime, Qt::LeftButton);
        else
            QTest::keyClick(focused(), Qt::Key_F5, how == "F5" ? Qt::NoModifier : Qt::ShiftModifier);

        QCOMPARE(w->txtDate->text(), QString("01/02/2027"));
        QTRY_VERIFY(w->cboMontant->hasFocus());
        QCOMPARE(platform::mousePointer(), 0);
        if (corner.isNull()) {
            QCOMPARE(boxes.shown.size(), 1);
            QCOMPARE(boxes.shown[0].text + QString::number(int(boxes.shown[0].icon)),
                     "Le chèque n'a pas été imprimé.\nImpossible de créer le dossier " + notAFolder + "2");
            QCOMPARE(w->cboMontant->currentText() + w->cboBénéficiaire->currentText(),
                     "1234,50Société Générale");
            QVERIFY(w->pnlFichier->isHidden());
            return;
        }
        QVERIFY(boxes.shown.isEmpty());
        QCOMPARE(w->cboMontant->currentText() + w->cboBénéficiaire->currentText(), QString("10,00EDF"));
        for (QWidget *top : QApplication::topLevelWidgets())
            QVERIFY(!top->isVisible() || top == w.get());

        QCOMPARE(pdfFonts(pdf->printer.lastFile()), QStringList({"LiberationSerif"}));
        const auto pages = pdfPages(pdf->printer.lastFile());
        QCOMPARE(pages.size(), 1);
        QCOMPARE(pages[0].size.width() > 250, settings == "2");
        // The words of the line ending at the design y, as long as it starts at the design x.
        qsizetype found = 0;
        auto line = [&](double x, double y) {
            QStringList texts;
            double left = 1e9;
            for (const auto &word : pages[0].words)
                if (qAbs(word.yMax - (y + corner.y())) <= 0.5) {
                    texts << word.text;
                    left = std::min(left, word.xMin);
                }
            found += texts.size();
            return texts.join(' ') +
                   (qAbs(left - (x + corner.x())) <= 0.5 ? "" : " starting at " + QString::number(left));
        };
        QCOMPARE(line(15, 33), QString("Société Générale"));
        QCOMPARE(line(135, 45), QString("01/02/2027"));
        QCOMPARE(line(45, 22) + " " + line(15, 27),
                 QString("**MILLE DEUX CENT TRENTE QUATRE EUROS CINQUANTE CTS**"));
        QCOMPARE(line(135, 35), QString("**1 234,50**"));
        QCOMPARE(found, pages[0].words.size());

        // Which file was written, below the window's own controls, until the next command;
        // "Ouvrir" hands it to the desktop.
        QCOMPARE(w->lblFichier->text(), "Chèque enregistré dans " + pdf->printer.lastFile());
        QTRY_VERIFY(w->height() > height);
        QCOMPARE(w->cmdClose->parentWidget()->geometry(), designed);
        platform::ShellRecorder shell;
        QTest::mouseClick(w->cmdOuvrir, Qt::LeftButton);
        QCOMPARE(shell.requests.value(0).file, pdf->printer.lastFile());
        w->cboMontant->clearEditText();
        w->cboMontant->setFocus();
        QTest::keyClick(focused(), Qt::Key_F5);
        QTRY_COMPARE(w->height(), height);
        QVERIFY(w->pnlFichier->isHidden() && boxes.shown.size() == 1);
    }

    // The longest words: cut where the first line ends, both lines within their widths
    // on the page, nothing left out.
    void longWords()
    {
        QTemporaryDir out;
        usePdf(out.path());
        start("[Défaut]\nImprimante=Fichier PDF\n[Fichier PDF]\nOrientation=1\n");
        QTest::keyClicks(focused(), "1777777777,77");
        QTest::keyClick(focused(), Qt::Key_F5);
        const auto pages = pdfPages(pdf->printer.lastFile());
        QCOMPARE(pages.size(), 1);
        QStringList lines[2];
        for (const auto &word : pages[0].words)
            for (int line = 0; line < 2; ++line)
                if (qAbs(word.yMax - (line ? 27 : 22)) <= 0.5) {
                    lines[line] << word.text;
                    QVERIFY2(word.xMax <= (line ? 15 + 106 : 45 + 71), qPrintable(word.text));
                }
        QCOMPARE(
            lines[0].join(' ') + " | " + lines[1].join(' '),
            QString("UN MILLIARD SEPT CENT SOIXANTE DIX-SEPT MILLIONS SEPT CENT | SOIXANTE DIX-SEPT MILLE "
                    "SEPT CENT SOIXANTE DIX-SEPT EUROS SOIXANTE DIX-SEPT CTS"));
    }

    // The specimen from the "?" menu: a missing picture reported, Escape in the box
    // printing nothing, then the picture at its place and size whatever the
    // adjustment, or a page that could not be written reported.
    void specimen_data()
    {
        QTest::addColumn<QString>("rotation");
        QTest::addColumn<QRect>("expected"); // in millimetres; empty: not written
        QTest::newRow("landscape, turned 270") << "270" << QRect(0, 129, 175, 81);
        QTest::newRow("landscape, turned 90") << "90" << QRect(122, 0, 175, 81);
        QTest::newRow("landscape, turned 0") << "0" << QRect(122, 0, 175, 81); // any other value
        QTest::newRow("not written") << "90" << QRect();
    }
    void specimen()
    {
        QFETCH(QRect, expected);
        QVERIFY(writeAll(dir.filePath("file"), "x"));
        usePdf(dir.filePath(expected.isEmpty() ? "file/pdf" : "pdf"));
        QFile::remove(dir.filePath("Specimen.jpg"));
        start();
        QFETCH(QString, rotation);
        w->lblPositionnement->Tag = rotation;
        w->HorAjust = 20;
        platform::MessageBoxRecorder recorder;
        w->mnuSousAide[0]->trigger();
        QVERIFY(QFile::copy(sourceDir() + "/data/Specimen.jpg", dir.filePath("Specimen.jpg")));
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
            recorder.queueDialog([key](QDialog &dialog) {
                auto &box = dynamic_cast<frmMsgBox &>(dialog);
                QCOMPARE(box.Message(),
                         QString("Ceci imprimera un spécimen de chèque\r\n   sur l'imprimante: "
                                 "Fichier PDF\r\n   Bac par défaut\r\n   Orientation Paysage"));
                QCOMPARE(box.ButtonCaption(1), QString("Imprimer"));
                box.show();
                QTest::keyClick(box.cmdAction[1], key);
            });
            w->mnuSousAide[0]->trigger();
        }
        QCOMPARE(recorder.shown.size(), expected.isEmpty() ? 2 : 1);
        QCOMPARE(recorder.shown[0].text, QString("Impossible de charger le fichier Specimen.jpg."));
        QCOMPARE(platform::mousePointer(), 0);
        if (expected.isEmpty()) {
            QVERIFY(
                recorder.shown[1].text.startsWith("Le spécimen n'a pas été imprimé.\nImpossible de créer"));
            QCOMPARE(recorder.shown[1].icon, MsgIcon::Exclamation);
            return;
        }
        QCOMPARE(w->lblFichier->text(), "Spécimen enregistré dans " + pdf->printer.lastFile());
        const QImage page = pdfImage(pdf->printer.lastFile(), 127); // 5 pixels a millimetre
        const QRect box = ink(page, page.rect(), 250);
        QCOMPARE(QRect(qRound(box.x() / 5.0), qRound(box.y() / 5.0), qRound(box.width() / 5.0),
                       qRound(box.height() / 5.0)),
                 expected);
    }
};

QTEST_MAIN(TestPrintJob)
#include "test_printjob.moc"
