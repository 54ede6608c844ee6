// The built-in PDF printer: where the text lands on the page, file names that never
// overwrite an earlier cheque, and a folder it cannot write to.
#include "platform/print/PdfPrinter.h"
#include "support/PdfText.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using platform::PdfPrinter;
using platform::PrinterError;

class TestPdfPrinter : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    // Text is placed by its top-left corner, in millimetres, on an A4 page of either orientation,
    // exactly the paper's size.
    void textPlacedWhereAsked()
    {
        PdfPrinter printer(m_dir.filePath("cheques"));
        QCOMPARE(printer.PaperSources(), (QList<platform::PaperSource>{{7, "Automatique"}}));
        QVERIFY_THROWS_EXCEPTION(PrinterError, printer.setPaperBin(1));
        QVERIFY_THROWS_EXCEPTION(PrinterError, printer.setOrientation(3));
        QVERIFY(PdfPrinter().folder().endsWith("/Tolvo"));
        printer.setScaleMode(6);
        printer.setFontName("Arial");
        for (const qint16 orientation : {1, 2}) {
            printer.setPaperSize(9);
            printer.setOrientation(orientation);
            printer.setFontSize(12);
            printer.setCurrentX(orientation == 1 ? 15 : 257);
            printer.setCurrentY(162 - printer.TextHeight("E"));
            printer.Print("ABC");
            printer.Print("DEUX"); // at the start of the next line
            printer.EndDoc();
            QCOMPARE(testsupport::pdfInfo(printer.lastFile(), "Page size"),
                     QString(orientation == 1 ? "595.276 x 841.89 pts (A4)" : "841.89 x 595.276 pts (A4)"));
            const QList<testsupport::PdfPage> pages = testsupport::pdfPages(printer.lastFile());
            QVERIFY(pages.size() == 1);
            const testsupport::PdfWord *word = testsupport::findWord(pages[0], "ABC");
            const testsupport::PdfWord *next = testsupport::findWord(pages[0], "DEUX");
            QVERIFY(word && next);
            QVERIFY(qAbs(word->xMin - (orientation == 1 ? 15 : 257)) < 0.1 && qAbs(word->yMax - 162) < 0.1);
            QVERIFY(qAbs(word->xMax - word->xMin - printer.TextWidth("ABC")) < 0.1);
            QVERIFY(qAbs(next->xMin) < 0.1 && qAbs(next->yMax - 162 - printer.TextHeight("E")) < 0.1);
        }
    }

    void fileNames()
    {
        PdfPrinter printer(m_dir.filePath("names"));
        QDateTime now(QDate(2024, 3, 15), QTime(9, 30, 5));
        printer.setClock([&] { return now; });
        QStringList names;
        for (int i = 0; i < 3; ++i) {
            now = now.addSecs(i / 2);
            printer.Print("Page");
            printer.EndDoc();
            names << QFileInfo(printer.lastFile()).fileName();
        }
        QCOMPARE(names, (QStringList{"cheque-20240315-093005.pdf", "cheque-20240315-093005-2.pdf",
                                     "cheque-20240315-093006.pdf"}));
        printer.EndDoc(); // nothing drawn: no sheet wasted
        QCOMPARE(QDir(m_dir.filePath("names")).entryList(QDir::Files).size(), 3);
        // A folder it cannot write to is told; the failed page is gone, nothing left to write.
        QVERIFY(testsupport::writeAll(m_dir.filePath("a-file"), "not a folder"));
        PdfPrinter blocked(m_dir.filePath("a-file/Tolvo"));
        blocked.Print("Page");
        QVERIFY_THROWS_EXCEPTION(PrinterError, blocked.EndDoc());
        blocked.EndDoc();
    }

};

QTEST_MAIN(TestPdfPrinter)
#include "test_pdf_printer.moc"
