// The built-in PDF printer: real A4 pages, text and pictures where they were asked
// for, measures in the units asked, file naming without overwriting.

#include "platform/PdfPrinter.h"
#include "support/PdfText.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <limits>

using platform::PdfPrinter;
using platform::PrinterError;
using testsupport::PdfPage;
using testsupport::PdfWord;

namespace {
// pdftotext puts a word between its baseline minus the ascent and plus the descent:
// the same line box as TextHeight, so positions agree to far better than this.
constexpr double tolerance = 0.1; // millimetres

// One page printed and read back.
PdfPage printedPage(PdfPrinter &printer)
{
    printer.EndDoc();
    const QList<PdfPage> pages = testsupport::pdfPages(printer.lastFile());
    return pages.size() == 1 ? pages.first() : PdfPage();
}
} // namespace

class TestPdfPrinter : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_folder;

    std::unique_ptr<PdfPrinter> newPrinter()
    {
        auto printer = std::make_unique<PdfPrinter>(m_folder);
        printer->setScaleMode(6);
        printer->setFontName(QStringLiteral("Arial"));
        return printer;
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_folder = m_dir.filePath(QStringLiteral("cheques-%1").arg(QTest::currentTestFunction()));
        QVERIFY(QDir(m_folder).removeRecursively());
    }

    void identity()
    {
        PdfPrinter printer(m_folder);
        QCOMPARE(printer.DeviceName(), QStringLiteral("Fichier PDF"));
        QVERIFY(printer.Port().startsWith(QStringLiteral("file://")));
        QVERIFY(printer.Port().endsWith(m_folder));
        QCOMPARE(printer.LandscapeRotation(), 90);
        QCOMPARE(printer.PaperSources(), (QList<platform::PaperSource>{{7, QStringLiteral("Automatique")}}));
        QCOMPARE(printer.PaperBin(), qint16(7));
        printer.setPaperBin(7);
        QVERIFY_THROWS_EXCEPTION(PrinterError, printer.setPaperBin(1));
        QCOMPARE(printer.PaperBin(), qint16(7));
        QVERIFY(PdfPrinter().folder().endsWith(QStringLiteral("/Tolvo")));
    }

    void refusedSettings()
    {
        PdfPrinter printer(m_folder);
        printer.setPaperSize(9);
        QVERIFY_THROWS_EXCEPTION(PrinterError, printer.setPaperSize(1));
        QVERIFY_THROWS_EXCEPTION(PrinterError, printer.setOrientation(0));
        QVERIFY_THROWS_EXCEPTION(PrinterError, printer.setOrientation(3));
        QCOMPARE(printer.Orientation(), qint16(1));
        printer.setOrientation(2);
        QCOMPARE(printer.Orientation(), qint16(2));
        QVERIFY_THROWS_EXCEPTION(PrinterError, printer.setScaleMode(0));
        QVERIFY_THROWS_EXCEPTION(PrinterError, printer.setScaleMode(4));
        QVERIFY_THROWS_EXCEPTION(PrinterError, printer.setFontName(QString()));
        QVERIFY_THROWS_EXCEPTION(PrinterError, printer.PaintPicture(QImage(), 0, 0, 10, 10));
    }

    void fontSizeRefused_data()
    {
        QTest::addColumn<float>("size");
        QTest::newRow("zero") << 0.0f;
        QTest::newRow("negative") << -3.0f;
        QTest::newRow("5000") << 5000.0f;
        QTest::newRow("just above the largest") << 1638.5f;
        QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN();
    }
    void fontSizeRefused()
    {
        QFETCH(float, size);
        auto printer = newPrinter();
        printer->setFontSize(12.5f);
        QVERIFY_THROWS_EXCEPTION(PrinterError, printer->setFontSize(size));
        QCOMPARE(printer->FontSize(), 12.5f);
        printer->setFontSize(1638);
        QCOMPARE(printer->FontSize(), 1638.0f);
    }

    void measuresFollowTheSize()
    {
        auto printer = newPrinter();
        printer->setFontSize(10);
        const float height10 = printer->TextHeight(QStringLiteral("E"));
        const float width10 = printer->TextWidth(QStringLiteral("MILLE EUROS"));
        printer->setFontSize(20);
        const float height20 = printer->TextHeight(QStringLiteral("E"));
        const float width20 = printer->TextWidth(QStringLiteral("MILLE EUROS"));
        // Liberation Sans: a line is 2288/2048 of the em; 10 points is 3.53 mm.
        QVERIFY2(std::abs(height10 - 10 * 25.4 / 72 * 2288 / 2048) < 0.05,
                 qPrintable(QString::number(height10)));
        QVERIFY(std::abs(height20 / height10 - 2) < 0.02);
        QVERIFY(std::abs(width20 / width10 - 2) < 0.02);
        QVERIFY(printer->TextWidth(QStringLiteral("MILLE EUROS")) >
                printer->TextWidth(QStringLiteral("MILLE")));
        // The line height does not depend on the letters.
        QCOMPARE(printer->TextHeight(QStringLiteral("g")), height20);

        // Arial is served by the metric-compatible Liberation Sans.
        const float arial = printer->TextWidth(QStringLiteral("1 234,50"));
        printer->setFontName(QStringLiteral("Liberation Sans"));
        QCOMPARE(printer->TextWidth(QStringLiteral("1 234,50")), arial);
        printer->setFontName(QStringLiteral("Liberation Serif"));
        QVERIFY(printer->TextWidth(QStringLiteral("1 234,50")) != arial);
    }

    void scaleModes_data()
    {
        QTest::addColumn<qint16>("mode");
        QTest::addColumn<double>("unitsPerMm");
        QTest::newRow("twips") << qint16(1) << 1440 / 25.4;
        QTest::newRow("points") << qint16(2) << 72 / 25.4;
        QTest::newRow("pixels") << qint16(3) << 1200 / 25.4;
        QTest::newRow("inches") << qint16(5) << 1 / 25.4;
        QTest::newRow("centimetres") << qint16(7) << 0.1;
    }
    void scaleModes()
    {
        QFETCH(qint16, mode);
        QFETCH(double, unitsPerMm);
        auto printer = newPrinter();
        printer->setFontSize(30);
        const float mm = printer->TextHeight(QStringLiteral("E"));
        printer->setScaleMode(mode);
        QVERIFY(std::abs(printer->TextHeight(QStringLiteral("E")) / (mm * unitsPerMm) - 1) < 1e-4);

        // A position given in these units lands at the same place on the page.
        printer->setCurrentX(float(40 * unitsPerMm));
        printer->setCurrentY(float(50 * unitsPerMm));
        printer->Print(QStringLiteral("ICI"));
        const PdfPage page = printedPage(*printer);
        const PdfWord *word = testsupport::findWord(page, QStringLiteral("ICI"));
        QVERIFY(word);
        QVERIFY2(std::abs(word->xMin - 40) < tolerance, qPrintable(QString::number(word->xMin)));
    }

    void pageIsA4_data()
    {
        QTest::addColumn<qint16>("orientation");
        QTest::addColumn<QString>("pageSize");
        // Qt writes page boxes in whole points.
        QTest::newRow("portrait") << qint16(1) << QStringLiteral("595 x 842 pts (A4)");
        QTest::newRow("landscape") << qint16(2) << QStringLiteral("842 x 595 pts (A4)");
    }
    void pageIsA4()
    {
        QFETCH(qint16, orientation);
        QFETCH(QString, pageSize);
        auto printer = newPrinter();
        printer->setPaperSize(9);
        printer->setOrientation(orientation);
        printer->setFontSize(12);
        printer->Print(QStringLiteral("Page"));
        QElapsedTimer timer;
        timer.start();
        printer->EndDoc();
        qInfo("one page written in %lld ms", timer.elapsed());
        QCOMPARE(testsupport::pdfInfo(printer->lastFile(), QStringLiteral("Pages")), QStringLiteral("1"));
        QCOMPARE(testsupport::pdfInfo(printer->lastFile(), QStringLiteral("Page size")), pageSize);
    }

    // Text is placed by its top-left corner; a text set at y - TextHeight ends at y.
    void textPlacedWhereAsked_data()
    {
        QTest::addColumn<qint16>("orientation");
        QTest::addColumn<float>("size");
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("bottom");
        QTest::newRow("beneficiary, small") << qint16(1) << 10.0f << 15.0f << 33.0f;
        QTest::newRow("words size") << qint16(1) << 13.5f << 15.0f << 33.0f;
        QTest::newRow("large") << qint16(1) << 40.0f << 135.0f << 45.0f;
        QTest::newRow("landscape, right part") << qint16(2) << 12.0f << 122.0f + 135.0f << 35.0f;
        QTest::newRow("landscape, bottom part") << qint16(2) << 12.0f << 15.0f << 129.0f + 33.0f;
    }
    void textPlacedWhereAsked()
    {
        QFETCH(qint16, orientation);
        QFETCH(float, size);
        QFETCH(float, x);
        QFETCH(float, bottom);
        auto printer = newPrinter();
        printer->setOrientation(orientation);
        printer->setFontSize(size);
        printer->setCurrentX(x);
        printer->setCurrentY(bottom - printer->TextHeight(QStringLiteral("E")));
        printer->Print(QStringLiteral("ABC"));
        const PdfPage page = printedPage(*printer);
        const PdfWord *word = testsupport::findWord(page, QStringLiteral("ABC"));
        QVERIFY(word);
        QVERIFY2(std::abs(word->xMin - x) < tolerance, qPrintable(QString::number(word->xMin)));
        QVERIFY2(std::abs(word->yMax - bottom) < tolerance, qPrintable(QString::number(word->yMax)));
        QVERIFY2(std::abs(word->xMax - word->xMin - printer->TextWidth(QStringLiteral("ABC"))) < tolerance,
                 qPrintable(QString::number(word->xMax - word->xMin)));
    }

    // Print goes to the start of the next line; a new document starts at the origin
    // with the same font.
    void printMovesToTheNextLine()
    {
        auto printer = newPrinter();
        printer->setFontSize(20);
        const float line = printer->TextHeight(QStringLiteral("E"));
        printer->setCurrentX(50);
        printer->setCurrentY(60);
        printer->Print(QStringLiteral("UN"));
        printer->Print(QStringLiteral("DEUX"));
        PdfPage page = printedPage(*printer);
        const PdfWord *second = testsupport::findWord(page, QStringLiteral("DEUX"));
        QVERIFY(second);
        QVERIFY(std::abs(second->xMin) < tolerance);
        QVERIFY2(std::abs(second->yMax - (60 + 2 * line)) < tolerance,
                 qPrintable(QString::number(second->yMax)));

        printer->Print(QStringLiteral("TROIS"));
        page = printedPage(*printer);
        QCOMPARE(page.words.size(), 1);
        QCOMPARE(page.words[0].text, QStringLiteral("TROIS"));
        QVERIFY(std::abs(page.words[0].xMin) < tolerance);
        QVERIFY(std::abs(page.words[0].yMax - line) < tolerance);
    }

    void pictureStretched()
    {
        QImage picture(4, 2, QImage::Format_RGB32);
        picture.fill(Qt::red);
        auto printer = newPrinter();
        printer->PaintPicture(picture, 50, 60, 20, 10);
        printer->EndDoc();

        // Rendered at 10 pixels per millimetre.
        const QString png = m_dir.filePath(QStringLiteral("picture"));
        QCOMPARE(QProcess::execute(QStringLiteral("pdftoppm"),
                                   {QStringLiteral("-r"), QStringLiteral("254"), QStringLiteral("-png"),
                                    QStringLiteral("-singlefile"), printer->lastFile(), png}),
                 0);
        const QImage page(png + QStringLiteral(".png"));
        QCOMPARE(page.width(), 2100);
        const auto isRed = [&](double x, double y) {
            const QColor c = page.pixelColor(int(x * 10), int(y * 10));
            return c.red() > 200 && c.green() < 60 && c.blue() < 60;
        };
        QVERIFY(isRed(50.5, 60.5));
        QVERIFY(isRed(69.5, 69.5));
        QVERIFY(!isRed(49.5, 65));
        QVERIFY(!isRed(70.5, 65));
        QVERIFY(!isRed(60, 59.5));
        QVERIFY(!isRed(60, 70.5));
    }

    void fileNames()
    {
        auto printer = newPrinter();
        QDateTime now(QDate(2024, 3, 15), QTime(9, 30, 5));
        printer->setClock([&] { return now; });
        QStringList names;
        for (int i = 0; i < 3; ++i) {
            printer->Print(QStringLiteral("Page"));
            printer->EndDoc();
            names << QFileInfo(printer->lastFile()).fileName();
        }
        now = now.addSecs(1);
        printer->Print(QStringLiteral("Page"));
        printer->EndDoc();
        names << QFileInfo(printer->lastFile()).fileName();
        QCOMPARE(names, (QStringList{QStringLiteral("cheque-20240315-093005.pdf"),
                                     QStringLiteral("cheque-20240315-093005-2.pdf"),
                                     QStringLiteral("cheque-20240315-093005-3.pdf"),
                                     QStringLiteral("cheque-20240315-093006.pdf")}));
        QCOMPARE(QDir(m_folder).entryList(QDir::Files).size(), 4);

        // Ending a document where nothing was drawn wastes no sheet.
        printer->EndDoc();
        QCOMPARE(QDir(m_folder).entryList(QDir::Files).size(), 4);
    }

    void folderNotWritable()
    {
        const QString blocker = m_dir.filePath(QStringLiteral("a-file"));
        QVERIFY(testsupport::writeAll(blocker, "not a folder"));
        PdfPrinter printer(blocker + QStringLiteral("/Tolvo"));
        printer.Print(QStringLiteral("Page"));
        QVERIFY_THROWS_EXCEPTION(PrinterError, printer.EndDoc());
        // The failed page is gone: the next document starts afresh.
        printer.EndDoc();
    }
};

QTEST_MAIN(TestPdfPrinter)
#include "test_pdf_printer.moc"
