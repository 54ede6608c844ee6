// Printing from the main window: the checks and their messages, the printing window,
// a cheque and the specimen on real "Fichier PDF" pages read back, and failures
// reported with the cheque kept.

#include "app/frmTolvo.h"
#include "cheque/frmEtalonnage.h"
#include "dialogs/frmMsgBox.h"
#include "platform/Application.h"
#include "platform/Shell.h"
#include "platform/forms/MessageBox.h"
#include "support/FakePrinter.h"
#include "support/Gui.h"
#include "support/PdfText.h"
#include "support/PrivateCups.h"
#include "support/TestFiles.h"
#include "support/TestPrinters.h"

#include "cheque/CalibrationSheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

using platform::MsgIcon;
using namespace testsupport;

namespace {

// Where a cross drawn near p has its centre: the row and the column of its longest arms
// (millimetres); null when there is none.
QPointF crossNear(const InkPicture &page, QPointF p)
{
    QPointF centre, best;
    for (double d = -2; d <= 2; d += 1 / page.dots) {
        if (const double r = page.run(p + QPointF(-3, d), p + QPointF(3, d)); r > best.y())
            best.ry() = r, centre.ry() = p.y() + d;
        if (const double r = page.run(p + QPointF(d, -3), p + QPointF(d, 3)); r > best.x())
            best.rx() = r, centre.rx() = p.x() + d;
    }
    return best.x() >= 4 && best.y() >= 4 ? centre + QPointF(0.5, 0.5) / page.dots : QPointF();
}

// The outer sides of the lines at least `length` long across `along` (millimetres), met
// between a and b: columns when `vertical`, rows otherwise.
std::pair<double, double> linesBetween(const InkPicture &page, double a, double b, double length,
                                       std::pair<double, double> along, bool vertical)
{
    double first = -1, last = -1;
    for (double at = a; at <= b; at += 1 / page.dots) {
        const QPointF from = vertical ? QPointF(at, along.first) : QPointF(along.first, at);
        const QPointF to = vertical ? QPointF(at, along.second) : QPointF(along.second, at);
        if (page.run(from, to) >= length) {
            first = first < 0 ? at : first;
            last = at + 1 / page.dots;
        }
    }
    return {first, last};
}

// Where a printed cheque puts each field: the start and the bottom of the first word
// found near the field's design place (shifted to where the form lies).
QList<QPointF> fieldPoints(const PdfPage &page, QPoint corner)
{
    QList<QPointF> points;
    for (const cheque::SheetMark &mark : cheque::sheetMarks) {
        const QPointF design(mark.item.x + corner.x(), mark.item.y + corner.y());
        QPointF best(1e9, 0);
        for (const PdfWord &w : page.words)
            if (qAbs(w.yMax - design.y()) < 1.5 && w.xMin > design.x() - 3 && w.xMin < best.x())
                best = QPointF(w.xMin, w.yMax);
        points << best;
    }
    return points;
}

} // namespace

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

    // Typed in, printed on "Fichier PDF" by F5, Shift+F5 or the button: the words at their place
    // (the longest cut where the first line ends, both lines within their widths, nothing left
    // out), and the window back to its defaults.
    void realPage_data()
    {
        QTest::addColumn<QString>("settings"); // orientation, adjustments
        QTest::addColumn<QString>("how");
        QTest::addColumn<QPointF>("corner"); // where the cheque's corner lands
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("words"); // on the first line | the second | in figures
        const QString words = "**MILLE DEUX CENT TRENTE | QUATRE EUROS CINQUANTE CTS** | **1 234,50**";
        // clang-format off
        QTest::newRow("adjusted")      << "1\nHorAjust=-3\nVerAjust=2" << "Shift+F5" << QPointF(-3, 2) << "1234,5" << words;
        QTest::newRow("landscape 90")  << "2" << "button" << QPointF(122, 0) << "1234,5" << words;
        QTest::newRow("landscape 270") << "2" << "F5"     << QPointF(0, 129) << "1777777777,77"
            << "**UN MILLIARD SEPT CENT SOIXANTE DIX-SEPT MILLIONS SEPT CENT | SOIXANTE DIX-SEPT MILLE SEPT CENT "
               "SOIXANTE DIX-SEPT EUROS SOIXANTE DIX-SEPT CTS** | **1777 777 777,77**";
        // clang-format on
    }
    void realPage()
    {
        QFETCH(QString, settings);
        QFETCH(QString, how);
        QFETCH(QPointF, corner);
        QFETCH(QString, amount);
        QFETCH(QString, words);
        QTemporaryDir out;
        usePdf(out.path());
        start("[Défaut]\nMontant=10,00\nBénéficiaire=EDF\nAutoAjout1=Non\nAutoAjout2=Non\n"
              "Font=Liberation Serif\nImprimante=Fichier PDF\n[Fichier PDF]\nPaperBin=7\nOrientation=" +
              settings + "\n");
        if (corner.y() > 100) // the PDF printer turns by 90 only
            w->lblPositionnement->Tag = "270";
        platform::MessageBoxRecorder boxes;
        const QRect designed = w->cmdClose->parentWidget()->geometry(); // what holds the window's controls
        const int height = w->height();
        w->cboMontant->clearEditText();
        QTest::keyClicks(focused(), amount);
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
        QVERIFY(boxes.shown.isEmpty());
        QCOMPARE(w->cboMontant->currentText() + w->cboBénéficiaire->currentText(), QString("10,00EDF"));
        for (QWidget *top : QApplication::topLevelWidgets())
            QVERIFY(!top->isVisible() || top == w.get());

        QCOMPARE(pdfFonts(pdf->printer.lastFile()), QStringList({"LiberationSerif"}));
        const auto pages = pdfPages(pdf->printer.lastFile());
        QCOMPARE(pages.size(), 1);
        QCOMPARE(pages[0].size.width() > 250, settings == "2");
        // The words of the line ending at the design y, as long as it starts at the design x
        // and stays within its width.
        qsizetype found = 0;
        auto line = [&](double x, double y, double width = 100) {
            QStringList texts;
            double left = 1e9, right = 0;
            for (const auto &word : pages[0].words)
                if (qAbs(word.yMax - (y + corner.y())) <= 0.5) {
                    texts << word.text;
                    left = std::min(left, word.xMin), right = std::max(right, word.xMax);
                }
            found += texts.size();
            return texts.join(' ') +
                   (qAbs(left - (x + corner.x())) <= 0.5 ? "" : " starting at " + QString::number(left)) +
                   (right <= x + corner.x() + width ? "" : " ending at " + QString::number(right));
        };
        QCOMPARE(line(15, 33), QString("Société Générale"));
        QCOMPARE(line(135, 45), QString("01/02/2027"));
        QCOMPARE(line(45, 22, 71) + " | " + line(15, 27, 106) + " | " + line(135, 35), words);
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

    // The specimen and the calibration sheet from the "?" menu in the cheque's three placements.
    // The specimen: a missing picture reported, Escape in the box printing nothing, then the
    // picture at its place and size whatever the adjustment. The sheet, against a cheque printed
    // before it: a cross and a name at each field's reference point, the outline of the form, the
    // two bars; then the numbers typed in "Étalonnage" are added to the adjustments (that move the
    // next cheque) and saved.
    void specimenAndCalibration_data()
    {
        QTest::addColumn<QString>("orientation");
        QTest::addColumn<QString>("rotation");
        QTest::addColumn<QPoint>("placed");   // the form's corner on the sheet
        QTest::addColumn<QPoint>("adjusted"); // the adjustments before
        QTest::addColumn<QPoint>("typed");    // to the right, downwards
        // clang-format off
        QTest::newRow("portrait")              << "1" << "90"  << QPoint(0, 0)   << QPoint(3, 2) << QPoint(-4, 6);
        QTest::newRow("landscape, turned 90")  << "2" << "90"  << QPoint(122, 0) << QPoint(-20, 0) << QPoint(2, 3);
        QTest::newRow("landscape, turned 270") << "2" << "270" << QPoint(0, 129) << QPoint()     << QPoint(5, -1);
        // clang-format on
    }
    void specimenAndCalibration()
    {
        QFETCH(QString, orientation);
        QFETCH(QPoint, placed);
        QFETCH(QPoint, adjusted);
        QFETCH(QPoint, typed);
        QTemporaryDir out;
        usePdf(out.path());
        start(QString("[Défaut]\nMontant=1234,50\nBénéficiaire=Jean Dupuy\nFont=Liberation Sans\n"
                      "Imprimante=Fichier PDF\n[Fichier PDF]\nPaperBin=7\nOrientation=%1\nHorAjust=%2\n"
                      "VerAjust=%3\n")
                  .arg(orientation)
                  .arg(adjusted.x())
                  .arg(adjusted.y()));
        QFETCH(QString, rotation);
        w->lblPositionnement->Tag = rotation;
        const QPoint corner = placed + adjusted;
        QTest::keyClick(focused(), Qt::Key_F5);
        const QList<PdfPage> before = pdfPages(pdf->printer.lastFile());
        QCOMPARE(before.size(), 1);

        platform::MessageBoxRecorder boxes;
        boxes.queueDialog(answer<frmÉtalonnage>([&](frmÉtalonnage &d) {
            for (const auto &[box, text] : {std::pair(d.txtDécalage[0], QString::number(typed.x())),
                                            {d.txtDécalage[1], QString::number(typed.y())},
                                            {d.txtBarre[0], QString("100")},
                                            {d.txtBarre[1], QString("99,5")}}) {
                box->setFocus();
                type(text);
            }
        }));
        w->mnuÉtalonnage->trigger();
        const QString sheet = pdf->printer.lastFile();
        QCOMPARE(boxes.shown.size(), 2); // the go-ahead, then the new adjustments
        const QPoint now = adjusted + typed;
        QCOMPARE(boxes.shown[1].text,
                 QString("Nouveaux ajustements pour l'imprimante « Fichier PDF » : horizontal "
                         "%1 mm, vertical %2 mm.")
                     .arg(now.x())
                     .arg(now.y()));
        QCOMPARE(QPoint(w->HorAjust, w->VerAjust), now);
        QVERIFY(
            readAll(dir.filePath("Tolvo.ini"))
                .contains(QString("HorAjust=%1\r\nVerAjust=%2\r\n").arg(now.x()).arg(now.y()).toLatin1()));

        // The sheet: the exact paper, a cross (and its name) where the cheque put each field.
        const QList<PdfPage> pages = pdfPages(sheet);
        QCOMPARE(pages.size(), 1);
        QCOMPARE(pages[0].size.toSize(), orientation == "1" ? QSize(210, 297) : QSize(297, 210));
        const InkPicture render{pdfImage(sheet, 254)}; // 10 dots a millimetre
        const QList<QPointF> fields = fieldPoints(before[0], corner);
        for (qsizetype i = 0; i < fields.size(); ++i) {
            const QPointF cross = crossNear(render, fields[i]);
            const QString name = QString::fromUtf16(cheque::sheetMarks[size_t(i)].label);
            QVERIFY2(qAbs(cross.x() - fields[i].x()) <= 0.5 && qAbs(cross.y() - fields[i].y()) <= 0.5,
                     qPrintable(name));
            QVERIFY2(std::any_of(pages[0].words.begin(), pages[0].words.end(),
                                 [&](const PdfWord &w) {
                                     return w.text == name.section(' ', 0, 0) &&
                                            qAbs(w.xMin - cross.x() - 1.2) < 0.5 && w.yMax < cross.y() &&
                                            w.yMax > cross.y() - 2;
                                 }),
                     qPrintable(name));
        }
        // The outline: the form's four edges, each seen where it is on the paper.
        const QRectF form(corner, QSizeF(175, 81));
        const auto [left, right] =
            linesBetween(render, form.left() - 1, form.right() + 1, 70, {form.top(), form.bottom()}, true);
        const auto [top, bottom] =
            linesBetween(render, form.top() - 1, form.bottom() + 1, 150, {form.left(), form.right()}, false);
        QVERIFY2(qAbs(left - form.left()) <= 0.5 && qAbs(right - form.right()) <= 0.5 &&
                     qAbs(top - form.top()) <= 0.5 && qAbs(bottom - form.bottom()) <= 0.5,
                 qPrintable(QString("outline %1..%2 x %3..%4").arg(left).arg(right).arg(top).arg(bottom)));
        // The bars.
        const cheque::SheetPlan bars = cheque::PlanFor({qint16(placed.x()), qint16(placed.y())});
        double longest[2] = {0, 0};
        for (double d = -0.5; d <= 0.5; d += 0.1) {
            const double y = bars.horizontalStart.y() + d, x = bars.verticalStart.x() + d;
            longest[0] = std::max(longest[0], render.run(QPointF(0, y), QPointF(297, y)));
            longest[1] = std::max(longest[1], render.run(QPointF(x, 0), QPointF(x, 297)));
        }
        QVERIFY2(qAbs(longest[0] - 100) <= 0.15 && qAbs(longest[1] - 100) <= 0.15,
                 qPrintable(QString("bars %1, %2").arg(longest[0]).arg(longest[1])));

        // The specimen, whatever the adjustments.
        if (orientation == "2") {
            QFile::remove(dir.filePath("Specimen.jpg"));
            platform::MessageBoxRecorder recorder;
            w->mnuSousAide[0]->trigger();
            QVERIFY(QFile::copy(sourceDir() + "/data/Specimen.jpg", dir.filePath("Specimen.jpg")));
            for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
                recorder.queueDialog([key](QDialog &dialog) {
                    auto &box = dynamic_cast<frmMsgBox &>(dialog);
                    QCOMPARE(box.Message(),
                             QString("Ceci imprimera un spécimen de chèque\r\n   sur l'imprimante: "
                                     "Fichier PDF\r\n   Bac par défaut\r\n   Orientation Paysage"));
                    box.show();
                    QTest::keyClick(box.cmdAction[1], key);
                });
                w->mnuSousAide[0]->trigger();
            }
            QCOMPARE(texts(recorder), QStringList("Impossible de charger le fichier Specimen.jpg."));
            QCOMPARE(platform::mousePointer(), 0);
            QCOMPARE(w->lblFichier->text(), "Spécimen enregistré dans " + pdf->printer.lastFile());
            const QImage page = pdfImage(pdf->printer.lastFile(), 127); // 5 pixels a millimetre
            const QRect box = ink(page, page.rect(), 250);
            QCOMPARE(QRect(box.topLeft() / 5, box.size() / 5), QRect(placed, QSize(175, 81)));
        }
    }

    // Calibrations that change nothing: the go-ahead refused; a bar that tells a scaled page (said
    // with its ratio, the window kept open), adjustments that would leave their range, then
    // Annuler. Then pages that cannot be written (their folder is a file): the cheque, the specimen
    // and the calibration sheet each say so, the cheque kept, the hourglass gone.
    void nothingChanged()
    {
        const QString settings =
            "[Défaut]\nImprimante=Fichier PDF\n[Fichier PDF]\nOrientation=1\nHorAjust=998\n";
        usePdf(dir.filePath("sub/pdf"));
        start(settings);
        platform::MessageBoxRecorder boxes;
        boxes.queueAnswer(QMessageBox::Cancel);
        w->mnuÉtalonnage->trigger();
        QVERIFY(boxes.shown.size() == 1 && pdf->printer.lastFile().isEmpty());

        QStringList said;
        boxes.queueDialog([&](QDialog &dialog) {
            auto &d = dynamic_cast<frmÉtalonnage &>(dialog);
            d.show();
            QApplication::setActiveWindow(&d);
            for (const auto &[box, text] :
                 {std::pair(d.txtBarre[1], QString("97")), {d.txtDécalage[0], "2"}}) {
                box->setFocus();
                type(text);
                QTest::keyClick(focused(), Qt::Key_Return);
                said << boxes.shown.last().text;
                QVERIFY(d.isVisible() && focused() == box);
                box->clear();
            }
            QTest::mouseClick(d.cmdAction[1], Qt::LeftButton);
        });
        w->mnuÉtalonnage->trigger();
        QCOMPARE(said.size(), 2);
        QVERIFY2(said[0].startsWith("La barre verticale mesure 97 mm au lieu de 100 mm (rapport 0,97).\n\n"
                                    "L'imprimante ou son pilote met la page à l'échelle") &&
                     said[0].contains("« Taille réelle »") && said[0].endsWith("n'ont pas été modifiés."),
                 qPrintable(said[0]));
        QCOMPARE(said[1], QString("L'ajustement doit être compris entre -999 et 999 millimètres."));
        QCOMPARE(readAll(dir.filePath("Tolvo.ini")), iniBytes(settings));
        QCOMPARE(w->HorAjust, qint16(998));

        QVERIFY(QDir(dir.filePath("sub")).removeRecursively() && writeAll(dir.filePath("sub"), "x"));
        QFile::copy(sourceDir() + "/data/Specimen.jpg", dir.filePath("Specimen.jpg"));
        boxes.shown.clear();
        QApplication::setActiveWindow(w.get());
        w->cboMontant->setFocus();
        QTest::keyClicks(focused(), "1234,5");
        w->cboBénéficiaire->setEditText("Société Générale");
        QTest::keyClick(focused(), Qt::Key_F5);
        QTRY_VERIFY(w->cboMontant->hasFocus());
        QCOMPARE(w->cboMontant->currentText() + w->cboBénéficiaire->currentText(), "1234,50Société Générale");
        boxes.queueDialog([](QDialog &box) {
            QTest::keyClick(dynamic_cast<frmMsgBox &>(box).cmdAction[1], Qt::Key_Return);
        });
        w->mnuSousAide[0]->trigger();
        const int dialogs = boxes.dialogsRun;
        w->mnuÉtalonnage->trigger();
        QCOMPARE(boxes.dialogsRun, dialogs); // no "Étalonnage" without a sheet
        said.clear();
        for (const platform::ShownMessage &m : boxes.shown) // the questions asked before left out
            if (!m.text.startsWith("Ceci"))
                said << m.text.section('\n', 0, 0) + QString::number(int(m.icon));
        QCOMPARE(said, QStringList({"Le chèque n'a pas été imprimé.2", "Le spécimen n'a pas été imprimé.2",
                                    "La feuille d'étalonnage n'a pas été imprimée.2"}));
        QVERIFY(boxes.shown[0].text.endsWith("Impossible de créer le dossier " + dir.filePath("sub/pdf")));
        QVERIFY(w->pnlFichier->isHidden());
        QCOMPARE(platform::mousePointer(), 0);
    }

    // F5 on a CUPS queue whose driver fits pages to the paper by default: the job asks
    // for no scaling in every way the queue understands, and its page is the queue's
    // A4 paper with the words where the layout puts them, moved only by the margins.
    void cupsJobNotScaled()
    {
        PrivateCups cups;
        QVERIFY2(cups.isRunning(), qPrintable(cups.errorString()));
        const TestPpd ppd{.a4ImageableArea = "12 18 583 824",
                          .more = "*OpenUI *FitToPage/Fit: Boolean\n*DefaultFitToPage: True\n"
                                  "*FitToPage True: \"\"\n*FitToPage False: \"\"\n*CloseUI: *FitToPage\n"};
        QVERIFY2(cups.addQueue("Cheques", ppd), qPrintable(cups.errorString()));
        platform::setPrinters(nullptr); // the machine's printers: the private scheduler's queue
        start("[Défaut]\nImprimante=Cheques\nFont=Liberation Sans\n[Cheques]\nOrientation=1\n");
        QCOMPARE(w->lblImprimante->text(), QString("Cheques"));
        w->cboMontant->setEditText("80");
        w->cboBénéficiaire->setEditText("EDF");
        QTest::keyClick(focused(), Qt::Key_F5);
        const int job = cups.lastJob("Cheques");
        QVERIFY2(job > 0, qPrintable(cups.log()));
        QStringList attributes;
        for (const char *name : {"job-state", "media", "print-scaling", "fit-to-page", "FitToPage"})
            attributes << cups.jobAttribute(job, name);
        QCOMPARE(attributes, (QStringList{"completed", "A4", "none", "false", "false"}));
        const QString output = cups.outputFile("Cheques");
        QCOMPARE(pdfInfo(output, "Page size"), QString("595 x 842 pts (A4)"));
        const auto pages = pdfPages(output);
        const PdfWord *edf = pages.isEmpty() ? nullptr : findWord(pages[0], "EDF");
        QVERIFY(edf);
        constexpr double mm = 25.4 / 72;
        QVERIFY(qAbs(edf->xMin - (15 + 12 * mm)) < 0.5 && qAbs(edf->yMax - (33 + (842 - 824) * mm)) < 0.5);
    }
};

QTEST_MAIN(TestPrintJob)
#include "test_printjob.moc"
