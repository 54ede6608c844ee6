// CUPS queues as printers, against a scheduler of the test's own: names, default,
// paper sources read from the PPD, landscape rotation, and jobs that arrive with
// the options they need.

#include "platform/CupsPrinters.h"
#include "platform/SystemPrinters.h"
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
using testsupport::PrivateCups;
using testsupport::TestPpd;

Q_DECLARE_METATYPE(QList<PaperSource>)

namespace {
constexpr double mmPerPoint = 25.4 / 72;
}

class TestCupsPrinters : public QObject {
    Q_OBJECT

    std::unique_ptr<PrivateCups> m_cups;

    std::unique_ptr<CupsPrinter> queue(const QString &name)
    {
        return std::make_unique<CupsPrinter>(name, m_cups->deviceUri(name));
    }

    // Ends the document and waits until the queue has printed it; the job's number.
    int printPage(CupsPrinter &printer)
    {
        const QString name = printer.DeviceName();
        QFile::remove(m_cups->outputFile(name));
        const int before = m_cups->lastJob(name);
        QElapsedTimer timer;
        timer.start();
        printer.EndDoc();
        const qint64 submitted = timer.elapsed();
        const int job = m_cups->lastJob(name);
        qInfo("job submitted in %lld ms, printed after %lld ms", submitted, timer.elapsed());
        if (job <= before)
            qWarning("%s", qPrintable(m_cups->log()));
        return job > before ? job : 0;
    }

    // The one page the queue printed last.
    testsupport::PdfPage readBack(const QString &queue)
    {
        const QList<testsupport::PdfPage> pages = testsupport::pdfPages(m_cups->outputFile(queue));
        return pages.size() == 1 ? pages.first() : testsupport::PdfPage();
    }

private slots:
    void initTestCase()
    {
        QElapsedTimer timer;
        timer.start();
        m_cups = std::make_unique<PrivateCups>();
        QVERIFY2(m_cups->isRunning(), qPrintable(m_cups->errorString()));
        qInfo("private cupsd answering after %lld ms", timer.elapsed());

        TestPpd bureau;
        bureau.inputSlots = QStringList{QStringLiteral("Tray1/Bac 1"), QStringLiteral("Tray2/Bac 2"),
                                        QStringLiteral("Manual/Manuel"),
                                        QStringLiteral("Envelope/Enveloppes"), QStringLiteral("Bac5/Bac 5")};
        bureau.defaultSlot = QStringLiteral("Tray2");
        bureau.landscape = QStringLiteral("Minus90");
        bureau.a4ImageableArea = QStringLiteral("12 18 581 822");
        QVERIFY2(m_cups->addQueue(QStringLiteral("Bureau"), testsupport::makePpd(bureau)),
                 qPrintable(m_cups->errorString()));

        TestPpd comptoir;
        comptoir.landscape = QStringLiteral("Plus90");
        comptoir.a4ImageableArea = QStringLiteral("10 20 580 830");
        QVERIFY2(m_cups->addQueue(QStringLiteral("Comptoir"), testsupport::makePpd(comptoir)),
                 qPrintable(m_cups->errorString()));

        TestPpd atelier;
        atelier.inputSlots = QStringList{QStringLiteral("Upper"), QStringLiteral("tray1/Haut"),
                                         QStringLiteral("Cassette/Cassette"),
                                         QStringLiteral("AUTO/Choix auto"), QStringLiteral("Gamma/Gamma")};
        atelier.defaultSlot = QStringLiteral("Cassette");
        QVERIFY2(m_cups->addQueue(QStringLiteral("Atelier"), testsupport::makePpd(atelier)),
                 qPrintable(m_cups->errorString()));

        QVERIFY2(m_cups->addQueue(QStringLiteral("Brut")), qPrintable(m_cups->errorString()));
        QVERIFY2(m_cups->setDefault(QStringLiteral("Comptoir")), qPrintable(m_cups->errorString()));
        qInfo("private cupsd with its queues ready after %lld ms", timer.elapsed());
    }

    void cleanupTestCase() { m_cups.reset(); }

    void paperBinCodes_data()
    {
        QTest::addColumn<QStringList>("inputSlots");
        QTest::addColumn<QList<qint16>>("codes");
        QTest::newRow("named bins")
            << QStringList{QStringLiteral("Upper"),         QStringLiteral("Lower"),
                           QStringLiteral("Middle"),        QStringLiteral("Manual"),
                           QStringLiteral("Envelope"),      QStringLiteral("EnvManual"),
                           QStringLiteral("Auto"),          QStringLiteral("Tractor"),
                           QStringLiteral("SmallFormat"),   QStringLiteral("LargeFormat"),
                           QStringLiteral("LargeCapacity"), QStringLiteral("Cassette")}
            << QList<qint16>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14};
        QTest::newRow("trays, any case")
            << QStringList{QStringLiteral("tray1"), QStringLiteral("TRAY2"), QStringLiteral("Tray3")}
            << QList<qint16>{1, 2, 3};
        QTest::newRow("driver bins in order, a code given once")
            << QStringList{QStringLiteral("Foo"), QStringLiteral("Tray1"), QStringLiteral("Bar"),
                           QStringLiteral("Upper"), QStringLiteral("Tray4")}
            << QList<qint16>{256, 1, 257, 258, 259};
        QTest::newRow("none") << QStringList() << QList<qint16>();
    }
    void paperBinCodes()
    {
        QFETCH(QStringList, inputSlots);
        QFETCH(QList<qint16>, codes);
        QCOMPARE(platform::paperBinCodes(inputSlots), codes);
    }

    void systemPrinters()
    {
        auto printers = platform::makeSystemPrinters();
        QStringList names;
        for (int i = 0; i < printers->count(); ++i)
            names << printers->at(i).DeviceName();
        QCOMPARE(names,
                 (QStringList{QStringLiteral("Atelier"), QStringLiteral("Brut"), QStringLiteral("Bureau"),
                              QStringLiteral("Comptoir"), QStringLiteral("Fichier PDF")}));
        QCOMPARE(printers->current().DeviceName(), QStringLiteral("Comptoir"));
        QCOMPARE(printers->at(2).Port(), m_cups->deviceUri(QStringLiteral("Bureau")));
        printers->setCurrent(4);
        QCOMPARE(printers->current().DeviceName(), QStringLiteral("Fichier PDF"));
        QVERIFY_THROWS_EXCEPTION(PrinterError, printers->setCurrent(5));
        QVERIFY_THROWS_EXCEPTION(PrinterError, printers->at(-1));
        QCOMPARE(printers->current().DeviceName(), QStringLiteral("Fichier PDF"));
    }

    void paperSources_data()
    {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<QList<PaperSource>>("sources");
        QTest::addColumn<qint16>("defaultBin");
        QTest::newRow("named trays and a driver bin") << QStringLiteral("Bureau")
                                                      << QList<PaperSource>{{1, QStringLiteral("Bac 1")},
                                                                            {2, QStringLiteral("Bac 2")},
                                                                            {4, QStringLiteral("Manuel")},
                                                                            {5, QStringLiteral("Enveloppes")},
                                                                            {256, QStringLiteral("Bac 5")}}
                                                      << qint16(2);
        QTest::newRow("two names for one bin") << QStringLiteral("Atelier")
                                               << QList<PaperSource>{{1, QStringLiteral("Upper")},
                                                                     {256, QStringLiteral("Haut")},
                                                                     {14, QStringLiteral("Cassette")},
                                                                     {7, QStringLiteral("Choix auto")},
                                                                     {257, QStringLiteral("Gamma")}}
                                               << qint16(14);
        QTest::newRow("no InputSlot") << QStringLiteral("Comptoir")
                                      << QList<PaperSource>{{7, QStringLiteral("Automatique")}} << qint16(7);
        QTest::newRow("raw queue") << QStringLiteral("Brut")
                                   << QList<PaperSource>{{7, QStringLiteral("Automatique")}} << qint16(7);
    }
    void paperSources()
    {
        QFETCH(QString, queue);
        QFETCH(QList<PaperSource>, sources);
        QFETCH(qint16, defaultBin);
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
    }

    void landscapeRotation_data()
    {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<int>("rotation");
        QTest::newRow("Minus90") << QStringLiteral("Bureau") << 270;
        QTest::newRow("Plus90") << QStringLiteral("Comptoir") << 90;
        QTest::newRow("not said") << QStringLiteral("Atelier") << 90;
        QTest::newRow("raw queue: cannot be asked") << QStringLiteral("Brut") << -1;
        QTest::newRow("unknown queue") << QStringLiteral("Absente") << -1;
    }
    void landscapeRotation()
    {
        QFETCH(QString, queue);
        QFETCH(int, rotation);
        auto printer = this->queue(queue);
        if (rotation < 0)
            QVERIFY_THROWS_EXCEPTION(PrinterError, printer->LandscapeRotation());
        else
            QCOMPARE(printer->LandscapeRotation(), rotation);
    }

    // A page reaches the queue as one portrait PDF page with the job options it
    // needs, its text shifted by the queue's hardware margins.
    void jobArrives_data()
    {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<qint16>("bin"); // 0: not set
        QTest::addColumn<QString>("inputSlot");
        QTest::addColumn<QPointF>("margins"); // left and top of the printable area, points
        QTest::newRow("default tray")
            << QStringLiteral("Bureau") << qint16(0) << QStringLiteral("Tray2") << QPointF(12, 20);
        QTest::newRow("manual feed") << QStringLiteral("Bureau") << qint16(4) << QStringLiteral("Manual")
                                     << QPointF(12, 20);
        QTest::newRow("driver bin") << QStringLiteral("Bureau") << qint16(256) << QStringLiteral("Bac5")
                                    << QPointF(12, 20);
        QTest::newRow("no tray to choose")
            << QStringLiteral("Comptoir") << qint16(0) << QString() << QPointF(10, 12);
    }
    void jobArrives()
    {
        QFETCH(QString, queue);
        QFETCH(qint16, bin);
        QFETCH(QString, inputSlot);
        QFETCH(QPointF, margins);

        auto printer = this->queue(queue);
        if (bin)
            printer->setPaperBin(bin);
        printer->setPaperSize(9);
        printer->setOrientation(1);
        printer->setScaleMode(6);
        printer->setFontName(QStringLiteral("Arial"));
        printer->setFontSize(12);
        printer->setCurrentX(15);
        printer->setCurrentY(33 - printer->TextHeight(QStringLiteral("E")));
        printer->Print(QStringLiteral("Beneficiaire"));
        const int job = printPage(*printer);
        QVERIFY(job > 0);

        QCOMPARE(m_cups->jobAttribute(job, QStringLiteral("job-state")), QStringLiteral("completed"));
        QCOMPARE(m_cups->jobAttribute(job, QStringLiteral("job-name")), QStringLiteral("Tolvo"));
        QCOMPARE(m_cups->jobAttribute(job, QStringLiteral("InputSlot")), inputSlot);
        QCOMPARE(m_cups->jobAttribute(job, QStringLiteral("media")), QStringLiteral("A4"));
        QCOMPARE(m_cups->jobAttribute(job, QStringLiteral("orientation-requested")),
                 QStringLiteral("portrait"));

        const testsupport::PdfPage page = readBack(queue);
        QCOMPARE(testsupport::pdfInfo(m_cups->outputFile(queue), QStringLiteral("Page size")),
                 QStringLiteral("595 x 842 pts (A4)"));
        const testsupport::PdfWord *word = testsupport::findWord(page, QStringLiteral("Beneficiaire"));
        QVERIFY(word);
        QVERIFY2(std::abs(word->xMin - (15 + margins.x() * mmPerPoint)) < 0.1,
                 qPrintable(QString::number(word->xMin)));
        QVERIFY2(std::abs(word->yMax - (33 + margins.y() * mmPerPoint)) < 0.1,
                 qPrintable(QString::number(word->yMax)));
    }

    // A landscape page is turned onto the portrait sheet the way the queue says, so
    // that the advice on laying the cheque holds: with 270 degrees the page's left
    // edge leads along the sheet's top, with 90 its right edge does.
    void landscapeJob_data()
    {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<int>("rotation");
        QTest::addColumn<QPointF>("origin"); // printable area in landscape, points
        QTest::newRow("Minus90") << QStringLiteral("Bureau") << 270 << QPointF(20, 14);
        QTest::newRow("Plus90") << QStringLiteral("Comptoir") << 90 << QPointF(20, 10);
    }
    void landscapeJob()
    {
        QFETCH(QString, queue);
        QFETCH(int, rotation);
        QFETCH(QPointF, origin);

        auto printer = this->queue(queue);
        printer->setOrientation(2);
        printer->setScaleMode(6);
        printer->setFontSize(12);
        const float height = printer->TextHeight(QStringLiteral("E"));
        const float width = printer->TextWidth(QStringLiteral("Montant"));
        printer->setCurrentX(135);
        printer->setCurrentY(35 - height);
        printer->Print(QStringLiteral("Montant"));
        QVERIFY(printPage(*printer) > 0);

        const testsupport::PdfPage page = readBack(queue);
        QCOMPARE(testsupport::pdfInfo(m_cups->outputFile(queue), QStringLiteral("Page size")),
                 QStringLiteral("595 x 842 pts (A4)"));
        QCOMPARE(testsupport::pdfInfo(m_cups->outputFile(queue), QStringLiteral("Page rot")),
                 QStringLiteral("0"));
        const testsupport::PdfWord *word = testsupport::findWord(page, QStringLiteral("Montant"));
        QVERIFY(word);

        // The word's box on the landscape page, then on the sheet.
        const QRectF box(135 + origin.x() * mmPerPoint, 35 - height + origin.y() * mmPerPoint, width, height);
        const QSizeF sheet = page.size;
        const QRectF expected =
            rotation == 270 ? QRectF(sheet.width() - box.bottom(), box.left(), box.height(), box.width())
                            : QRectF(box.top(), sheet.height() - box.right(), box.height(), box.width());
        const QRectF found(QPointF(word->xMin, word->yMin), QPointF(word->xMax, word->yMax));
        const auto near = [](double a, double b) { return std::abs(a - b) < 0.1; };
        QVERIFY2(near(found.left(), expected.left()) && near(found.top(), expected.top()) &&
                     near(found.right(), expected.right()) && near(found.bottom(), expected.bottom()),
                 qPrintable(QStringLiteral("expected %1,%2 %3,%4 found %5,%6 %7,%8")
                                .arg(expected.left())
                                .arg(expected.top())
                                .arg(expected.right())
                                .arg(expected.bottom())
                                .arg(found.left())
                                .arg(found.top())
                                .arg(found.right())
                                .arg(found.bottom())));
    }

    void refusedJob()
    {
        QVERIFY(m_cups->addQueue(QStringLiteral("Ferme")));
        QVERIFY(m_cups->rejectJobs(QStringLiteral("Ferme")));
        auto printer = this->queue(QStringLiteral("Ferme"));
        printer->Print(QStringLiteral("Page"));
        try {
            printer->EndDoc();
            QFAIL("a refused job was taken for printed");
        } catch (const PrinterError &e) {
            QVERIFY2(QString::fromUtf8(e.what()).contains(QStringLiteral("Ferme")), e.what());
        }
    }

    // Without a scheduler there are no queues, only the PDF printer, and nothing waits.
    void noServer()
    {
        cupsSetServer(QFile::encodeName(m_cups->folder() + QStringLiteral("/absent.sock")).constData());
        QElapsedTimer timer;
        timer.start();
        auto printers = platform::makeSystemPrinters();
        QCOMPARE(printers->count(), 1);
        QCOMPARE(printers->current().DeviceName(), QStringLiteral("Fichier PDF"));
        auto printer = queue(QStringLiteral("Bureau"));
        QVERIFY_THROWS_EXCEPTION(PrinterError, printer->LandscapeRotation());
        QVERIFY_THROWS_EXCEPTION(PrinterError, printer->PaperSources());
        QVERIFY_THROWS_EXCEPTION(PrinterError, printer->setPaperBin(1));
        printer->Print(QStringLiteral("Page"));
        QVERIFY_THROWS_EXCEPTION(PrinterError, printer->EndDoc());
        QVERIFY(timer.elapsed() < 2000);
        cupsSetServer(QFile::encodeName(m_cups->socketPath()).constData());
    }
};

QTEST_MAIN(TestCupsPrinters)
#include "test_cups_printers.moc"
