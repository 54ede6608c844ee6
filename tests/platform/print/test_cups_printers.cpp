// CUPS queues as printers, against a scheduler of the test's own.

#include "platform/print/CupsPrinters.h"
#include "platform/print/SystemPrinters.h"
#include "support/PdfText.h"
#include "support/PrivateCups.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <cmath>

#include <cups/cups.h>

using platform::CupsPrinter;
using platform::PaperSource;
using platform::PrinterError;
using testsupport::TestPpd;

Q_DECLARE_METATYPE(QList<PaperSource>)

namespace {
constexpr double mmPerPoint = 25.4 / 72;

bool near(double found, double expected)
{
    if (std::abs(found - expected) < 0.1)
        return true;
    qWarning("found %g, expected %g", found, expected);
    return false;
}
} // namespace

class TestCupsPrinters : public QObject {
    Q_OBJECT

    std::unique_ptr<testsupport::PrivateCups> m_cups;

    std::unique_ptr<CupsPrinter> queue(const QString &name)
    {
        return std::make_unique<CupsPrinter>(name, m_cups->deviceUri(name));
    }

    // Ends the document and waits until the queue has printed it; the job's number
    // when it arrived as one portrait A4 page (read into page), else 0.
    int printPage(CupsPrinter &printer, testsupport::PdfPage *page)
    {
        const QString name = printer.DeviceName();
        const QString output = m_cups->outputFile(name);
        QFile::remove(output);
        const int before = m_cups->lastJob(name);
        printer.EndDoc();
        const int job = m_cups->lastJob(name);
        const QList<testsupport::PdfPage> pages = testsupport::pdfPages(output);
        const QString size = testsupport::pdfInfo(output, "Page size");
        const QString rotation = testsupport::pdfInfo(output, "Page rot");
        if (job <= before || pages.size() != 1 || size != "595 x 842 pts (A4)" || rotation != "0") {
            qWarning("job %d, %d pages, %s, rotated %s\n%s", job, int(pages.size()), qPrintable(size),
                     qPrintable(rotation), qPrintable(m_cups->log()));
            return 0;
        }
        *page = pages.first();
        return job;
    }

    void add(const QString &name, const std::optional<TestPpd> &ppd = std::nullopt)
    {
        QVERIFY2(m_cups->addQueue(name, ppd), qPrintable(m_cups->errorString()));
    }

private slots:
    void initTestCase()
    {
        m_cups = std::make_unique<testsupport::PrivateCups>();
        QVERIFY2(m_cups->isRunning(), qPrintable(m_cups->errorString()));
        add("Bureau", TestPpd{.inputSlots = {"Tray1/Bac 1", "Tray2/Bac 2", "Manual/Manuel",
                                             "Envelope/Enveloppes", "Bac5/Bac 5"},
                              .defaultSlot = "Tray2",
                              .landscape = "Minus90",
                              .a4ImageableArea = "12 18 581 822"});
        add("Comptoir", TestPpd{.landscape = "Plus90", .a4ImageableArea = "10 20 580 830"});
        add("Atelier",
            TestPpd{.inputSlots = {"Upper", "tray1/Haut", "Cassette/Cassette", "AUTO/Choix auto", "Gamma"},
                    .defaultSlot = "Cassette"});
        add("Brut");
        QVERIFY2(m_cups->admin("lpadmin", {"-d", "Comptoir"}), qPrintable(m_cups->errorString()));
    }

    void cleanupTestCase() { m_cups.reset(); }

    void systemPrinters()
    {
        auto printers = platform::makeSystemPrinters();
        QStringList names;
        for (int i = 0; i < printers->count(); ++i)
            names << printers->at(i).DeviceName();
        QCOMPARE(names, (QStringList{"Atelier", "Brut", "Bureau", "Comptoir", "Fichier PDF"}));
        QCOMPARE(printers->current().DeviceName(), QStringLiteral("Comptoir"));
        QCOMPARE(printers->at(2).Port(), m_cups->deviceUri("Bureau"));
        printers->setCurrent(4);
        QVERIFY_THROWS_EXCEPTION(PrinterError, printers->setCurrent(5));
        QVERIFY_THROWS_EXCEPTION(PrinterError, printers->at(-1));
        QCOMPARE(printers->current().DeviceName(), QStringLiteral("Fichier PDF"));
    }

    void queues_data()
    {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<QList<PaperSource>>("sources");
        QTest::addColumn<qint16>("defaultBin");
        QTest::addColumn<int>("rotation"); // -1: cannot be asked
        const QList<PaperSource> automatic{{7, "Automatique"}};
        QTest::newRow("named trays and a driver bin, Minus90") << "Bureau"
            << QList<PaperSource>{{1, "Bac 1"}, {2, "Bac 2"}, {4, "Manuel"}, {5, "Enveloppes"}, {256, "Bac 5"}}
            << qint16(2) << 270;
        QTest::newRow("two names for one bin, unknown names") << "Atelier"
            << QList<PaperSource>{{1, "Upper"}, {256, "Haut"}, {14, "Cassette"}, {7, "Choix auto"}, {257, "Gamma"}}
            << qint16(14) << 90;
        QTest::newRow("no InputSlot, Plus90") << "Comptoir" << automatic << qint16(7) << 90;
        QTest::newRow("raw queue") << "Brut" << automatic << qint16(7) << -1;
    }
    void queues()
    {
        QFETCH(QString, queue);
        QFETCH(QList<PaperSource>, sources);
        QFETCH(qint16, defaultBin);
        QFETCH(int, rotation);
        auto printer = this->queue(queue);
        QCOMPARE(printer->PaperSources(), sources);
        QCOMPARE(printer->PaperBin(), defaultBin);
        for (const PaperSource &source : sources) {
            printer->setPaperBin(source.code);
            QCOMPARE(printer->PaperBin(), source.code);
        }
        // A bin the queue does not offer is refused and the bin in force stays.
        QVERIFY_THROWS_EXCEPTION(PrinterError, printer->setPaperBin(3));
        QCOMPARE(printer->PaperBin(), sources.last().code);
        if (rotation < 0)
            QVERIFY_THROWS_EXCEPTION(PrinterError, printer->LandscapeRotation());
        else
            QCOMPARE(printer->LandscapeRotation(), rotation);
    }

    // One portrait A4 page with the job options it needs, its text shifted by the
    // queue's hardware margins. A landscape page is turned onto the sheet the way the
    // queue says: with 270 degrees the page's left edge runs along the sheet's top,
    // with 90 its right edge does.
    void jobArrives_data()
    {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<int>("rotation"); // 0: portrait
        QTest::addColumn<qint16>("bin");   // 0: not set
        QTest::addColumn<QString>("inputSlot");
        QTest::addColumn<QPointF>("origin"); // of the printable area on the page, points
        QTest::newRow("driver bin") << "Bureau" << 0 << qint16(256) << "Bac5" << QPointF(12, 20);
        QTest::newRow("landscape Minus90") << "Bureau" << 270 << qint16(4) << "Manual" << QPointF(20, 14);
        QTest::newRow("landscape Plus90") << "Comptoir" << 90 << qint16(0) << "" << QPointF(20, 10);
    }
    void jobArrives()
    {
        QFETCH(QString, queue);
        QFETCH(int, rotation);
        QFETCH(qint16, bin);
        QFETCH(QString, inputSlot);
        QFETCH(QPointF, origin);

        auto printer = this->queue(queue);
        if (bin)
            printer->setPaperBin(bin);
        printer->setPaperSize(9);
        printer->setOrientation(rotation ? 2 : 1);
        printer->setScaleMode(6);
        printer->setFontName("Arial");
        printer->setFontSize(12);
        const float height = printer->TextHeight("E");
        const float width = printer->TextWidth("Montant");
        printer->setCurrentX(135);
        printer->setCurrentY(35 - height);
        printer->Print("Montant");
        testsupport::PdfPage page;
        const int job = printPage(*printer, &page);
        QVERIFY(job > 0);

        QStringList attributes;
        for (const char *name : {"job-state", "job-name", "InputSlot", "media", "orientation-requested"})
            attributes << m_cups->jobAttribute(job, name);
        QCOMPARE(attributes, (QStringList{"completed", "Tolvo", inputSlot, "A4", "portrait"}));
        const testsupport::PdfWord *word = testsupport::findWord(page, "Montant");
        QVERIFY(word);
        // The word's box on the page, then on the portrait sheet.
        const QRectF box(135 + origin.x() * mmPerPoint, 35 - height + origin.y() * mmPerPoint, width, height);
        const QSizeF sheet = page.size;
        const QRectF expected =
            rotation == 0     ? box
            : rotation == 270 ? QRectF(sheet.width() - box.bottom(), box.left(), box.height(), box.width())
                              : QRectF(box.top(), sheet.height() - box.right(), box.height(), box.width());
        QVERIFY(near(word->xMin, expected.left()) && near(word->yMin, expected.top()));
        QVERIFY(near(word->xMax, expected.right()) && near(word->yMax, expected.bottom()));
    }

    void refusedJob()
    {
        add("Ferme");
        QVERIFY(m_cups->admin("cupsreject", {"Ferme"}));
        auto printer = this->queue("Ferme");
        printer->Print("Page");
        try {
            printer->EndDoc();
            QFAIL("a refused job was taken for printed");
        } catch (const PrinterError &e) {
            QVERIFY2(QString::fromUtf8(e.what()).startsWith("L'imprimante Ferme a refusé le document"),
                     e.what());
        }
    }

    // Without a scheduler there are no queues, only the PDF printer, and nothing waits.
    void noServer()
    {
        cupsSetServer(QFile::encodeName(m_cups->folder() + "/absent.sock").constData());
        QElapsedTimer timer;
        timer.start();
        auto printers = platform::makeSystemPrinters();
        QCOMPARE(printers->count(), 1);
        QCOMPARE(printers->current().DeviceName(), QStringLiteral("Fichier PDF"));
        auto printer = queue("Bureau");
        QVERIFY_THROWS_EXCEPTION(PrinterError, printer->LandscapeRotation());
        QVERIFY_THROWS_EXCEPTION(PrinterError, printer->PaperSources());
        QVERIFY_THROWS_EXCEPTION(PrinterError, printer->setPaperBin(1));
        printer->Print("Page");
        QVERIFY_THROWS_EXCEPTION(PrinterError, printer->EndDoc());
        QVERIFY(timer.elapsed() < 2000);
        cupsSetServer(QFile::encodeName(m_cups->socketPath()).constData());
    }
};

QTEST_MAIN(TestCupsPrinters)
#include "test_cups_printers.moc"
