// The preview against the paper: the same cheque previewed and printed on
// "Fichier PDF" puts each word within 0.5 mm of the other. And the preview window
// from the main window changes nothing.

#include "app/frmTolvo.h"
#include "cheque/ChequeJob.h"
#include "cheque/frmApercu.h"
#include "platform/Application.h"
#include "platform/forms/MessageBox.h"
#include "platform/help/HelpKey.h"
#include "platform/help/HelpViewer.h"
#include "support/PdfText.h"
#include "support/TestPrinters.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

constexpr double kDots = 10; // per millimetre, both pictures

// The bounding box of the dark pixels inside a rectangle; null when there are none.
QRect ink(const QImage &image, const QRect &area)
{
    QRect box;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

class TestPreview : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        platform::setApplicationFolder(dir.path());
        platform::setToday(QDate(2026, 12, 5));
        platform::installHelpKey();
    }

    void previewMatchesThePrintedPage_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<bool>("stars");
        QTest::addColumn<int>("hor");
        QTest::addColumn<int>("ver");
        QTest::newRow("plain") << "1234,56" << false << 0 << 0;
        QTest::newRow("stars, adjusted") << "71,80" << true << 4 << -3;
        QTest::newRow("long words") << "777777,77" << true << -2 << 5;
    }
    void previewMatchesThePrintedPage()
    {
        cheque::ChequeInput in;
        QFETCH(QString, amount);
        in.amount = amount;
        QFETCH(bool, stars);
        in.stars = stars;
        QFETCH(int, hor);
        QFETCH(int, ver);
        in.HorAjust = qint16(hor);
        in.VerAjust = qint16(ver);
        in.beneficiary = "Société Générale des Eaux";
        in.date = "05/12/2026";
        in.paperBinTag = "7";
        in.orientationTag = "1";
        in.sFont = "Arial";

        QTemporaryDir out;
        auto printers = std::make_unique<testsupport::PdfOnly>(out.path());
        platform::PdfPrinter &pdf = printers->printer;
        platform::setPrinters(std::move(printers));
        const cheque::PrintReport report = cheque::PrintCheque(in);
        QVERIFY(report.handedOver);
        QCOMPARE(report.file, pdf.lastFile());
        platform::setPrinters(nullptr);

        const QImage preview = cheque::PreviewCheque(in, QImage(), kDots);
        QCOMPARE(preview.size(), QSize(1750, 800));
        QProcess render;
        render.start("pdftoppm", {"-r", "254", "-png", "-singlefile", report.file, out.filePath("page")});
        QVERIFY(render.waitForFinished(60000) && render.exitCode() == 0);
        const QImage paper(out.filePath("page.png"));
        QVERIFY(!paper.isNull());

        const QList<testsupport::PdfPage> pages = testsupport::pdfPages(report.file);
        QCOMPARE(pages.size(), 1);
        const QList<testsupport::PdfWord> &words = pages[0].words;
        QVERIFY(words.size() >= 8);
        int worst = 0;
        for (const testsupport::PdfWord &w : words) {
            // The word's box, widened to halfway to its neighbours on the line.
            double left = w.xMin - 3, right = w.xMax + 3;
            for (const testsupport::PdfWord &o : words) {
                if (&o == &w || o.yMax <= w.yMin || o.yMin >= w.yMax)
                    continue;
                if (o.xMax <= w.xMin)
                    left = std::max(left, (o.xMax + w.xMin) / 2);
                if (o.xMin >= w.xMax)
                    right = std::min(right, (w.xMax + o.xMin) / 2);
            }
            const QRect area(QPoint(int(left * kDots), int((w.yMin - 0.5) * kDots)),
                             QPoint(int(right * kDots), int((w.yMax + 0.5) * kDots)));
            const QRect onPaper = ink(paper, area), onScreen = ink(preview, area);
            QVERIFY2(!onPaper.isNull() && !onScreen.isNull(), qPrintable(w.text));
            const double tolerance = 0.5 * kDots;
            worst = std::max({worst, std::abs(onPaper.left() - onScreen.left()),
                              std::abs(onPaper.right() - onScreen.right()),
                              std::abs(onPaper.top() - onScreen.top()),
                              std::abs(onPaper.bottom() - onScreen.bottom())});
            const QString where = QString("%1: paper (%2,%3)-(%4,%5), preview (%6,%7)-(%8,%9)")
                                      .arg(w.text)
                                      .arg(onPaper.left())
                                      .arg(onPaper.top())
                                      .arg(onPaper.right())
                                      .arg(onPaper.bottom())
                                      .arg(onScreen.left())
                                      .arg(onScreen.top())
                                      .arg(onScreen.right())
                                      .arg(onScreen.bottom());
            QVERIFY2(std::abs(onPaper.left() - onScreen.left()) <= tolerance &&
                         std::abs(onPaper.right() - onScreen.right()) <= tolerance &&
                         std::abs(onPaper.top() - onScreen.top()) <= tolerance &&
                         std::abs(onPaper.bottom() - onScreen.bottom()) <= tolerance,
                     qPrintable(where));
        }
        qInfo("%d words, farthest edge %.1f mm from the paper's", int(words.size()), worst / kDots);
    }

    // From the menu: the window, F1, and nothing changed in the fields, lists or settings.
    void fromTheMainWindow()
    {
        platform::setPrinters(std::make_unique<testsupport::PdfOnly>(dir.filePath("pdf")));
        frmTolvo w;
        w.Form_Load();
        w.AddMontant = w.AddBénéficiaire = true;
        w.cboMontant->setEditText("12,345");
        w.cboBénéficiaire->setEditText("Nouveau");
        QString title, note;
        int help = 0;
        bool picture = false;
        QTimer::singleShot(0, [&] {
            auto *preview = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!preview)
                return;
            title = preview->windowTitle();
            auto *frm = static_cast<frmAperçu *>(preview);
            picture = !frm->picAperçu->pixmap().isNull();
            note = frm->lblNote->text();
            platform::HelpRecorder recorder;
            if (!QTest::qWaitForWindowActive(preview))
                return;
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : preview, Qt::Key_F1);
            help = recorder.requests.isEmpty() ? 0 : recorder.requests.last().data;
            preview->close();
        });
        w.mnuAperçu->trigger();
        QCOMPARE(title, QString("Aperçu du chèque"));
        QVERIFY(picture);
        QCOMPARE(note, QString("Police « Arial », ajustement horizontal 0 mm, vertical 0 mm."));
        QCOMPARE(help, 1008);
        QCOMPARE(w.cboMontant->currentText(), QString("12,345"));
        QCOMPARE(w.cboMontant->count(), 0);
        QCOMPARE(w.cboBénéficiaire->count(), 0);
        QVERIFY(!QFile::exists(dir.filePath("Tolvo.ini")));
        QVERIFY(!QFile::exists(dir.filePath("Registre.sqlite")));
        QVERIFY(!QDir(dir.filePath("pdf")).exists());

        // A cheque that would not print is refused the same way.
        platform::MessageBoxRecorder boxes;
        w.cboMontant->setEditText("0");
        w.mnuAperçu->trigger();
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(boxes.shown[0].text, QString("Un montant nul n'est pas autorisé."));
        platform::setPrinters(nullptr);
    }
};

QTEST_MAIN(TestPreview)
#include "test_preview.moc"
