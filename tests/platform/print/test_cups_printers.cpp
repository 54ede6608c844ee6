// CUPS queues as printers, against a scheduler of the test's own.

#include "platform/print/CupsPrinters.h"
#include "platform/print/SystemPrinters.h"
#include "support/PdfText.h"
#include "support/PrivateCups.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <cups/cups.h>

using platform::CupsPrinter;
using platform::PaperSource;
using platform::PrinterError;
using testsupport::TestPpd;

class TestCupsPrinters : public QObject {
    Q_OBJECT

    std::unique_ptr<testsupport::PrivateCups> m_cups;

private slots:
    void initTestCase()
    {
        m_cups = std::make_unique<testsupport::PrivateCups>();
        QVERIFY2(m_cups->isRunning(), qPrintable(m_cups->errorString()));
        const std::pair<QString, TestPpd> queues[] = {
            {"Bureau", {.inputSlots = {"Tray1/Bac 1", "Tray2/Bac 2", "Manual/Manuel", "Envelope/Enveloppes", "Bac5/Bac 5"},
                        .defaultSlot = "Tray2", .landscape = "Minus90", .a4ImageableArea = "12 18 581 822"}},
            {"Comptoir", {.landscape = "Plus90", .a4ImageableArea = "10 20 580 830"}},
            {"Atelier", {.inputSlots = {"Upper", "tray1/Haut", "Cassette/Cassette", "AUTO/Choix auto", "Gamma"},
                         .defaultSlot = "Cassette"}}};
        for (const auto &[name, ppd] : queues)
            QVERIFY2(m_cups->addQueue(name, ppd), qPrintable(m_cups->errorString()));
        QVERIFY2(m_cups->addQueue("Brut") && m_cups->addQueue("Ferme") && m_cups->admin("cupsreject", {"Ferme"}) &&
                     m_cups->admin("lpadmin", {"-d", "Comptoir"}),
                 qPrintable(m_cups->errorString()));
        platform::preparePrinters(); // the queues as the program asks for them, from another thread
        auto printers = platform::makeSystemPrinters();
        QStringList names;
        for (int i = 0; i < printers->count(); ++i)
            names << printers->at(i).DeviceName();
        QCOMPARE(names, (QStringList{"Atelier", "Brut", "Bureau", "Comptoir", "Ferme", "Fichier PDF"}));
        QCOMPARE(printers->current().DeviceName(), QStringLiteral("Comptoir"));
    }

    // The bins each queue offers, its default, and how it turns a landscape page (-1: cannot be asked).
    void queues()
    {
        const struct { const char *queue; QList<PaperSource> sources; qint16 defaultBin; int rotation; } rows[] = {
            {"Bureau", {{1, "Bac 1"}, {2, "Bac 2"}, {4, "Manuel"}, {5, "Enveloppes"}, {256, "Bac 5"}}, 2, 270},
            // two names for one bin, unknown names
            {"Atelier", {{1, "Upper"}, {256, "Haut"}, {14, "Cassette"}, {7, "Choix auto"}, {257, "Gamma"}}, 14, 90},
            {"Comptoir", {{7, "Automatique"}}, 7, 90},
            {"Brut", {{7, "Automatique"}}, 7, -1},
        };
        for (const auto &row : rows) {
            CupsPrinter printer(row.queue, m_cups->deviceUri(row.queue));
            QCOMPARE(printer.PaperSources(), row.sources);
            QCOMPARE(printer.PaperBin(), row.defaultBin);
            for (const PaperSource &source : row.sources) {
                printer.setPaperBin(source.code);
                QCOMPARE(printer.PaperBin(), source.code);
            }
            // A bin the queue does not offer is refused and the bin in force stays.
            QVERIFY_THROWS_EXCEPTION(PrinterError, printer.setPaperBin(3));
            QCOMPARE(printer.PaperBin(), row.sources.last().code);
            if (row.rotation < 0)
                QVERIFY_THROWS_EXCEPTION(PrinterError, printer.LandscapeRotation());
            else
                QCOMPARE(printer.LandscapeRotation(), row.rotation);
        }
    }

    // A landscape page arrives as one portrait A4 sheet from the manual feed, turned the
    // way the queue says (its left edge along the sheet's top) and shifted by its margins.
    void jobArrives()
    {
        CupsPrinter printer("Bureau", m_cups->deviceUri("Bureau"));
        printer.setPaperBin(4);
        printer.setPaperSize(9);
        printer.setOrientation(2);
        printer.setScaleMode(6);
        printer.setFontName("Arial");
        printer.setFontSize(12);
        const float height = printer.TextHeight("E"), width = printer.TextWidth("Montant");
        printer.setCurrentX(135);
        printer.setCurrentY(35 - height);
        printer.Print("Montant");
        const int before = m_cups->lastJob("Bureau");
        printer.EndDoc();
        const int job = m_cups->lastJob("Bureau");
        QVERIFY2(job > before, qPrintable(m_cups->log()));
        QStringList attributes;
        for (const char *name : {"job-state", "job-name", "InputSlot", "media", "orientation-requested"})
            attributes << m_cups->jobAttribute(job, name);
        QCOMPARE(attributes, (QStringList{"completed", "Tolvo", "Manual", "A4", "portrait"}));
        const QString output = m_cups->outputFile("Bureau");
        QCOMPARE(testsupport::pdfInfo(output, "Page size"), QString("595 x 842 pts (A4)"));
        const QList<testsupport::PdfPage> pages = testsupport::pdfPages(output);
        QCOMPARE(pages.size(), 1);
        const testsupport::PdfWord *word = testsupport::findWord(pages[0], "Montant");
        QVERIFY(word);
        constexpr double mm = 25.4 / 72;
        const QRectF box(135 + 20 * mm, 35 - height + 14 * mm, width, height); // on the page
        const QRectF expected(pages[0].size.width() - box.bottom(), box.left(), box.height(), box.width());
        QVERIFY(qAbs(word->xMin - expected.left()) < 0.1 && qAbs(word->yMin - expected.top()) < 0.1 &&
                qAbs(word->yMax - expected.bottom()) < 0.1);
    }

    // A refused job is never taken for printed; without a scheduler only the PDF printer is left.
    void failures()
    {
        CupsPrinter closed("Ferme", m_cups->deviceUri("Ferme"));
        closed.Print("Page");
        QString message = "a refused job was taken for printed";
        try { closed.EndDoc(); } catch (const PrinterError &e) { message = QString::fromUtf8(e.what()); }
        QVERIFY2(message.startsWith("L'imprimante Ferme a refusé le document"), qPrintable(message));
        cupsSetServer(QFile::encodeName(m_cups->socketPath() + ".absent").constData());
        QElapsedTimer timer;
        timer.start();
        auto printers = platform::makeSystemPrinters();
        QCOMPARE(printers->count(), 1);
        CupsPrinter printer("Bureau", m_cups->deviceUri("Bureau"));
        QVERIFY_THROWS_EXCEPTION(PrinterError, printer.PaperSources());
        printer.Print("Page");
        QVERIFY_THROWS_EXCEPTION(PrinterError, printer.EndDoc());
        QVERIFY(timer.elapsed() < 2000);
        cupsSetServer(QFile::encodeName(m_cups->socketPath()).constData());
    }
};

QTEST_MAIN(TestCupsPrinters)
#include "test_cups_printers.moc"
