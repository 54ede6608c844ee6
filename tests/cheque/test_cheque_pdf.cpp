// A whole cheque printed on the PDF printer and read back: every word where the
// layout puts it, in portrait and in both landscape placements.

#include "cheque/ChequeJob.h"
#include "cheque/ChequeLayout.h"
#include "platform/PdfPrinter.h"
#include "support/PdfText.h"
#include "support/TestPrinters.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cmath>

using namespace cheque;
using testsupport::PdfPage;
using testsupport::PdfWord;

namespace {

constexpr double tolerance = 0.5; // millimetres

// The words whose line ends at y, left to right.
QList<PdfWord> lineAt(const PdfPage &page, double y)
{
    QList<PdfWord> line;
    for (const PdfWord &w : page.words)
        if (std::abs(w.yMax - y) < tolerance)
            line.append(w);
    std::sort(line.begin(), line.end(), [](const PdfWord &a, const PdfWord &b) { return a.xMin < b.xMin; });
    return line;
}

QString joined(const QList<PdfWord> &words)
{
    QStringList texts;
    for (const PdfWord &w : words)
        texts << w.text;
    return texts.join(' ');
}

} // namespace

class TestChequePdf : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void page_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<bool>("stars");
        QTest::addColumn<QString>("orientation");
        QTest::addColumn<QString>("rotation");
        QTest::addColumn<int>("hor");
        QTest::addColumn<int>("ver");
        QTest::addColumn<double>("dx"); // where the cheque's corner lands
        QTest::addColumn<double>("dy");
        QTest::newRow("portrait") << "21,21" << false << "1"
                                  << "90" << 0 << 0 << 0.0 << 0.0;
        QTest::newRow("portrait, long, stars") << "1234567,89" << true << "1"
                                               << "90" << 0 << 0 << 0.0 << 0.0;
        QTest::newRow("adjusted") << "1234,50" << true << "1"
                                  << "90" << -3 << 2 << -3.0 << 2.0;
        QTest::newRow("landscape 270") << "1234,50" << false << "2"
                                       << "270" << 0 << 0 << 0.0 << 129.0;
        QTest::newRow("landscape 90") << "80,00" << true << "2"
                                      << "90" << 0 << 0 << 122.0 << 0.0;
    }
    void page()
    {
        QFETCH(QString, amount);
        QFETCH(bool, stars);
        QFETCH(QString, orientation);
        QFETCH(QString, rotation);
        QFETCH(int, hor);
        QFETCH(int, ver);
        QFETCH(double, dx);
        QFETCH(double, dy);
        QVERIFY(m_dir.isValid());
        const QString folder = m_dir.filePath(QTest::currentDataTag());
        auto printers = std::make_unique<testsupport::PdfOnly>(folder);
        platform::PdfPrinter &pdf = printers->printer;
        platform::setPrinters(std::move(printers));

        ChequeInput in;
        in.amount = amount;
        in.beneficiary = QStringLiteral("Société Générale d'Électricité");
        in.date = QStringLiteral("05/12/2026");
        in.stars = stars;
        in.paperBinTag = QStringLiteral("7");
        in.orientationTag = orientation;
        in.positionnementTag = rotation;
        in.HorAjust = qint16(hor);
        in.VerAjust = qint16(ver);
        in.sFont = QStringLiteral("Arial");
        const PrintReport report = PrintCheque(in);
        const QString file = pdf.lastFile();
        platform::setPrinters(nullptr);
        QVERIFY(!report.failed);

        const QList<PdfPage> pages = testsupport::pdfPages(file);
        QCOMPARE(pages.size(), 1);
        const PdfPage &page = pages.first();
        QVERIFY(std::abs(page.size.width() - (orientation == "2" ? 297 : 210)) < 1);

        // Each item: its line ends at the design y and starts at the design x.
        struct Expected {
            double x, y;
        };
        auto checkLine = [&](Expected at, const QString &text) {
            const QList<PdfWord> line = lineAt(page, at.y + dy);
            QVERIFY2(!line.isEmpty(), qPrintable(text));
            QCOMPARE(joined(line), text);
            QVERIFY2(std::abs(line.first().xMin - (at.x + dx)) < tolerance,
                     qPrintable(QString("%1 starts at %2").arg(text).arg(line.first().xMin)));
        };
        checkLine({15, 33}, in.beneficiary);
        checkLine({135, 45}, in.date);
        checkLine({135, 35}, FiguresText(amount, stars));

        // The words: a first line at (45, 22), perhaps a second at (15, 27), nothing lost.
        const QString words = WordsText(amount, stars);
        const QList<PdfWord> first = lineAt(page, 22 + dy);
        const QList<PdfWord> second = lineAt(page, 27 + dy);
        QVERIFY(!first.isEmpty());
        QVERIFY(std::abs(first.first().xMin - (45 + dx)) < tolerance);
        QVERIFY(first.last().xMax - first.first().xMin < 71);
        if (!second.isEmpty()) {
            QVERIFY(std::abs(second.first().xMin - (15 + dx)) < tolerance);
            QVERIFY(second.last().xMax - second.first().xMin < 106);
        }
        QCOMPARE((joined(first) + " " + joined(second)).trimmed(), words);

        // Nothing else on the page.
        const int printedWords = int(first.size() + second.size() + lineAt(page, 33 + dy).size() +
                                     lineAt(page, 45 + dy).size() + lineAt(page, 35 + dy).size());
        QCOMPARE(int(page.words.size()), printedWords);
    }
};

QTEST_MAIN(TestChequePdf)
#include "test_cheque_pdf.moc"
