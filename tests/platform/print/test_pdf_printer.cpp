#include "platform/print/PdfPrinter.h"
#include "support/PdfText.h"
#include "support/TestFiles.h"

#include <QDir>
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
// pdftotext boxes a word by its line (ascent and descent), as TextHeight does.
constexpr double tolerance = 0.1; // millimetres

// One page printed and read back.
PdfPage printedPage(PdfPrinter &printer)
{
    printer.EndDoc();
    const QList<PdfPage> pages = testsupport::pdfPages(printer.lastFile());
    return pages.size() == 1 ? pages.first() : PdfPage();
}

bool near(double found, double expected)
{
    if (std::abs(found - expected) < tolerance)
        return true;
    qWarning("found %g, expected %g", found, expected);
    return false;
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
        printer->setFontName("Arial");
        return printer;
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_folder = m_dir.filePath(QString("cheques-%1").arg(QTest::currentTestFunction()));
    }

    void settings()
    {
        PdfPrinter printer(m_folder);
        QCOMPARE(printer.DeviceName(), QString("Fichier PDF"));
        QCOMPARE(printer.Port(), QUrl::fromLocalFile(m_folder).toString());
        QCOMPARE(printer.LandscapeRotation(), 90);
        QCOMPARE(printer.PaperSources(), (QList<platform::PaperSource>{{7, "Automatique"}}));
        QCOMPARE(printer.PaperBin(), qint16(7));
        printer.setPaperBin(7);
        QVERIFY_THROWS_EXCEPTION(PrinterError, printer.setPaperBin(1));
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
        QVERIFY(PdfPrinter().folder().endsWith("/Tolvo"));
    }

    void fontSizeRefused_data()
    {
        QTest::addColumn<float>("size");
        QTest::newRow("zero") << 0.0f;
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

    // Sizes and letters are covered where text is placed; here the font itself.
    void measures()
    {
        auto printer = newPrinter();
        printer->setFontSize(10);
        // Liberation Sans: a line is 2288/2048 of the em; 10 points is 3.53 mm.
        const float height = printer->TextHeight("E");
        QVERIFY2(std::abs(height - 10 * 25.4 / 72 * 2288 / 2048) < 0.05, qPrintable(QString::number(height)));
        // Arial is served by the metric-compatible Liberation Sans.
        const float arial = printer->TextWidth("1 234,50");
        printer->setFontName("Liberation Sans");
        QCOMPARE(printer->TextWidth("1 234,50"), arial);
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
        const float mm = printer->TextHeight("E");
        printer->setScaleMode(mode);
        QVERIFY(std::abs(printer->TextHeight("E") / (mm * unitsPerMm) - 1) < 1e-4);
        printer->setCurrentX(float(40 * unitsPerMm));
        printer->Print("ICI");
        const PdfPage page = printedPage(*printer);
        const PdfWord *word = testsupport::findWord(page, "ICI");
        QVERIFY(word && near(word->xMin, 40));
    }

    // On one A4 page, text is placed by its top-left corner: a text set at
    // y - TextHeight ends at y.
    void textPlacedWhereAsked_data()
    {
        QTest::addColumn<qint16>("orientation");
        QTest::addColumn<float>("size");
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("bottom");
        QTest::newRow("beneficiary, small") << qint16(1) << 10.0f << 15.0f << 33.0f;
        QTest::newRow("large") << qint16(1) << 40.0f << 135.0f << 45.0f;
        QTest::newRow("landscape, right part") << qint16(2) << 12.0f << 257.0f << 35.0f;
        QTest::newRow("landscape, bottom part") << qint16(2) << 12.0f << 15.0f << 162.0f;
    }
    void textPlacedWhereAsked()
    {
        QFETCH(qint16, orientation);
        QFETCH(float, size);
        QFETCH(float, x);
        QFETCH(float, bottom);
        auto printer = newPrinter();
        printer->setPaperSize(9);
        printer->setOrientation(orientation);
        printer->setFontSize(size);
        printer->setCurrentX(x);
        printer->setCurrentY(bottom - printer->TextHeight("E"));
        printer->Print("ABC");
        const PdfPage page = printedPage(*printer);
        QCOMPARE(testsupport::pdfInfo(printer->lastFile(), "Page size"),
                 QString(orientation == 1 ? "595 x 842 pts (A4)" : "842 x 595 pts (A4)"));
        const PdfWord *word = testsupport::findWord(page, "ABC");
        QVERIFY(word);
        QVERIFY(near(word->xMin, x));
        QVERIFY(near(word->yMax, bottom));
        QVERIFY(near(word->xMax - word->xMin, printer->TextWidth("ABC")));
    }

    // Print goes to the start of the next line; a new document starts at the origin.
    void printMovesToTheNextLine()
    {
        auto printer = newPrinter();
        printer->setFontSize(20);
        const float line = printer->TextHeight("E");
        printer->setCurrentX(50);
        printer->setCurrentY(60);
        printer->Print("UN");
        printer->Print("DEUX");
        PdfPage page = printedPage(*printer);
        const PdfWord *second = testsupport::findWord(page, "DEUX");
        QVERIFY(second && near(second->xMin, 0) && near(second->yMax, 60 + 2 * line));

        printer->Print("TROIS");
        page = printedPage(*printer);
        QCOMPARE(page.words.size(), 1);
        QCOMPARE(page.words[0].text, QString("TROIS"));
        QVERIFY(near(page.words[0].xMin, 0) && near(page.words[0].yMax, line));
    }

    void pictureStretched()
    {
        QImage picture(4, 2, QImage::Format_RGB32);
        picture.fill(Qt::red);
        auto printer = newPrinter();
        printer->PaintPicture(picture, 50, 60, 20, 10);
        printer->EndDoc();

        // Rendered at 10 pixels per millimetre.
        const QString png = m_dir.filePath("picture");
        QCOMPARE(
            QProcess::execute("pdftoppm", {"-r", "254", "-png", "-singlefile", printer->lastFile(), png}), 0);
        const QImage page(png + ".png");
        QCOMPARE(page.width(), 2100);
        const auto isRed = [&](double x, double y) {
            const QColor c = page.pixelColor(int(x * 10), int(y * 10));
            return c.red() > 200 && c.green() < 60 && c.blue() < 60;
        };
        QVERIFY(isRed(50.5, 60.5) && isRed(69.5, 69.5));
        QVERIFY(!isRed(49.5, 65) && !isRed(70.5, 65) && !isRed(60, 59.5) && !isRed(60, 70.5));
    }

    void fileNames()
    {
        auto printer = newPrinter();
        QDateTime now(QDate(2024, 3, 15), QTime(9, 30, 5));
        printer->setClock([&] { return now; });
        QStringList names;
        for (int i = 0; i < 4; ++i) {
            if (i == 3)
                now = now.addSecs(1);
            printer->Print("Page");
            printer->EndDoc();
            names << QFileInfo(printer->lastFile()).fileName();
        }
        QCOMPARE(names, (QStringList{"cheque-20240315-093005.pdf", "cheque-20240315-093005-2.pdf",
                                     "cheque-20240315-093005-3.pdf", "cheque-20240315-093006.pdf"}));
        // Ending a document where nothing was drawn wastes no sheet.
        printer->EndDoc();
        QCOMPARE(QDir(m_folder).entryList(QDir::Files).size(), 4);
    }

    void folderNotWritable()
    {
        const QString blocker = m_dir.filePath("a-file");
        QVERIFY(testsupport::writeAll(blocker, "not a folder"));
        PdfPrinter printer(blocker + "/Tolvo");
        printer.Print("Page");
        QVERIFY_THROWS_EXCEPTION(PrinterError, printer.EndDoc());
        printer.EndDoc(); // the failed page is gone: nothing left to write
    }
};

QTEST_MAIN(TestPdfPrinter)
#include "test_pdf_printer.moc"
