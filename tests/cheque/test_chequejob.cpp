// The cheque job on a fake printer: the page, the checks, failures; and the printing window.

#include "cheque/ChequeJob.h"
#include "cheque/ChequeLayout.h"
#include "cheque/frmApercu.h"
#include "cheque/frmImpression.h"
#include "platform/Application.h"
#include "support/PdfText.h"
#include "support/TestFiles.h"
#include "support/FakePrinter.h"

#include <QLabel>
#include <QPointer>
#include <QTest>
#include <cmath>
#include <functional>

using namespace cheque;
using platform::FakePrinter;

namespace {

// "text size (x, y)" to the hundredth of a millimetre, shifted by (dx, dy).
QStringList describe(const QList<FakePrinter::Printed> &items, double dx = 0, double dy = 0)
{
    QStringList out;
    for (const auto &p : items)
        out << QString::asprintf("%s %g (%.2f, %.2f)", qPrintable(p.text), p.size, p.x + dx, p.y + dy);
    return out;
}

// The page in portrait, unadjusted, with Arial measures. Each y is the design y less
// the height of a line at the size: 12 pt (4.87 mm) is the first size where "EUROS" is
// at most 5 mm high; the figures take 19 pt (7.71 mm, under 8) unless their width
// (under 39 mm) asks for less.
QList<FakePrinter::Printed> expectedPage(const QString &amount)
{
    const QList<FakePrinter::Printed> head = {{"Jean", 12, 15, 28.13136f},
                                              {"05/12/2026", 12, 135, 40.13136f}};
    if (amount == "21,21") // 33 characters: 83.8 mm; cut after 26 (66.0 mm)
        return head + QList<FakePrinter::Printed>{{"VINGT ET UN EUROS VINGT ET", 12, 45, 17.13136f},
                                                  {"UN CTS", 12, 15, 22.13136f},
                                                  {"21,21", 19, 135, 27.29132f}};
    if (amount == "1234,50") // with stars: 12 characters of figures need 15 pt for 39 mm
        return head + QList<FakePrinter::Printed>{{"**MILLE DEUX CENT TRENTE", 12, 45, 17.13136f},
                                                  {"QUATRE EUROS CINQUANTE CTS**", 12, 15, 22.13136f},
                                                  {"**1 234,50**", 15, 135, 28.9142f}};
    return {};
}

// The first line across [a, b] (down it when `vertical`) met going from `start` in the
// direction of `step` for at most `span` millimetres; NaN when none.
double lineFrom(const testsupport::InkPicture &form, double start, double step, double span, double a,
                double b, bool vertical)
{
    for (double d = 0; d <= span; d += std::abs(step)) {
        const double at = start + (step > 0 ? d : -d);
        if (form.share(vertical ? QPointF(at, a) : QPointF(a, at),
                       vertical ? QPointF(at, b) : QPointF(b, at)) >= 0.9)
            return at;
    }
    return qQNaN();
}

// Counts the paint events that reach the printing window or its label.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject *object, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint &&
                  (qobject_cast<frmImpression *>(object) || qobject_cast<frmImpression *>(object->parent()));
        return false;
    }
};

} // namespace

class TestChequeJob : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { platform::setPrinters(nullptr); }

    // Beside the refusals the main window shows.
    void checks()
    {
        const char *large = "Le montant du chèque est trop élevé.";
        const char *rows[][3] = {{"2147483647,99", "5/12/26", "05/12/2026"},
                                 {"2147483648,00", "05/12/2026", large},
                                 {"2147483647,995", "05/12/2026", large},
                                 {"-5,00", "05/12/2026", "Le montant du chèque n'est pas valide."}};
        for (const auto &r : rows) {
            const CheckResult c = CheckCheque(r[0], r[1]);
            QCOMPARE(c.ok() ? c.date : c.message, QString(r[2]));
        }
    }

    void page()
    {
        const struct {
            ChequeInput in;
            double dx, dy; // where the cheque's corner lands; the last rotation cannot be asked
        } rows[] = {
            {{"21,21", "Jean", "05/12/2026", false, "4", "1", "270", 0, 0, "Courier New"}, 0, 0},
            {{"1234,50", "Jean", "05/12/2026", true, "2", "1", "90", 0, 0, "Arial"}, 0, 0},
            {{"21,21", "Jean", "05/12/2026", false, "1", "1", "90", -3, 2, "Arial"}, -3, 2},
            {{"21,21", "Jean", "05/12/2026", false, "7", "2", "270", 0, 0, "Arial"}, 0, 129},
            {{"1234,50", "Jean", "05/12/2026", true, "7", "2", "90", 1, -1, "Arial"}, 123, -1},
            {{"21,21", "Jean", "05/12/2026", false, "7", "2", "-1", 0, 0, "Arial"}, 122, 0},
        };
        for (const auto &[in, dx, dy] : rows) {
            FakePrinter &fake = platform::useFakePrinter();
            QVERIFY(!PrintCheque(in).failed);
            QCOMPARE(fake.log().mid(0, 5).join(", "),
                     QString("PaperBin %1, PaperSize 9, Orientation %2, ScaleMode 6, FontName %3")
                         .arg(in.paperBinTag, in.orientationTag, in.sFont));
            QCOMPARE(describe(fake.items), describe(expectedPage(in.amount), dx, dy));
        }
    }

    // A step that fails is skipped and the job goes on; it says so, and nothing escapes.
    void failures()
    {
        const QString rest = "05/12/2026@12|VINGT ET UN EUROS VINGT ET@12|UN CTS@12|21,21@";
        const struct {
            const char *member; // fails once, after as many calls that succeed
            int after;
            QString printed;
            int documents;
        } rows[] = {
            // The 30th size (43 pt) refused while fitting the words: they stay at 44 pt, and
            // each later fitting loop stops after one reduction.
            {"FontSize", 29, "Jean@44|05/12/2026@44|VINGT@43|ET UN EUROS VINGT ET UN CTS@43|21,21@71", 1},
            {"Print", 0, rest + "71", 1},
            {"EndDoc", 0, "Jean@12|" + rest + "19", 0},
            {"PaperBin", 0, "Jean@12|" + rest + "19", 1}, // set-up failures are forgotten
        };
        for (const auto &r : rows) {
            FakePrinter &fake = platform::useFakePrinter();
            fake.failOn(r.member, 1, r.after);
            const PrintReport report =
                PrintCheque({"21,21", "Jean", "05/12/2026", false, "7", "1", "90", 0, 0, "Arial"});
            QStringList printed;
            for (const auto &p : fake.items)
                printed << p.text + "@" + QString::number(p.size);
            QCOMPARE(printed.join("|"), r.printed);
            QCOMPARE(report.failed, QString(r.member) != "PaperBin");
            QCOMPARE(fake.documents, r.documents);
        }
    }

    // A first word too wide at any size, on a driver that keeps 4 pt instead of going
    // lower: the job ends instead of shrinking forever, and every word is printed.
    void wordNeverFits()
    {
        FakePrinter &fake = platform::useFakePrinter();
        fake.smallest = 4;
        fake.widthOf = [](const QString &text, float size) {
            return text.startsWith("**QUATRE-VINGTS") ? 1000 : 0.21168 * size * text.size();
        };
        QVERIFY(PrintCheque({"80,00", "Jean", "05/12/2026", true, "7", "1", "90", 0, 0, "Arial"}).failed);
        QCOMPARE(fake.printed(),
                 QStringList({"Jean", "05/12/2026", "**QUATRE-VINGTS", "EUROS**", "**80,00**"}));
        QCOMPARE(fake.items[2].size, 4.f);
    }

    // The preview window's picture: each text of the cheque on its own line of the form
    // (within 1 mm), the figures inside the € box, and no printing of the form under any
    // text ("Payez contre ce chèque", "à", "le" stay clear before the words).
    void previewOnTheForm()
    {
        platform::setApplicationFolder(testsupport::sourceDir() + "/data");
        const testsupport::InkPicture form{specimenPicture(), specimenPicture().width() / double(formWidth),
                                           [](QRgb c) { return qGray(c) < 200; }};
        QVERIFY(!form.image.isNull());
        for (const ChequeInput &in :
             {ChequeInput{"21,21", "Jean Dupuy", "05/12/2026", false, "7", "1", "90", 0, 0, "Arial"},
              ChequeInput{"123456789,00", "Société Générale des Eaux", "31/12/2026", true, "7", "2", "270", 0,
                          0, "Arial"}}) {
            frmAperçu preview(in);
            // Only the program's text is black: the form is printed in blue greys.
            const testsupport::InkPicture shown{preview.picAperçu->pixmap().toImage(), frmAperçu::scale,
                                                [](QRgb c) {
                                                    return std::max({qRed(c), qGreen(c), qBlue(c)}) < 60;
                                                }};
            QCOMPARE(shown.image.size(),
                     QSize(qRound(175 * frmAperçu::scale), qRound(81 * frmAperçu::scale)));
            for (const Item item : {beneficiaryItem, dateItem, firstLineItem, secondLineItem, figuresItem}) {
                const QString name = QString("%1 at %2, %3").arg(in.amount).arg(item.x).arg(item.y);
                // A text line is at most 5 mm high (8 mm for the figures), the line above it excluded.
                const bool figures = item.x == figuresItem.x && item.y == figuresItem.y;
                const QRectF text = shown.box(QRectF(QPointF(item.x - 3, item.y - (figures ? 7.9 : 4.8)),
                                                     QPointF(item.x > 100 ? 175 : 130, item.y + 0.3)));
                QVERIFY2(!text.isEmpty(), qPrintable(name));
                double line = qQNaN(); // the form's line under the text, left out below
                if (figures) {
                    const double sides[] = {
                        lineFrom(form, text.top(), -0.1, 6, text.left(), text.right(), false),
                        lineFrom(form, text.bottom(), 0.1, 6, text.left(), text.right(), false),
                        lineFrom(form, text.left(), -0.1, 40, text.top(), text.bottom(), true),
                        lineFrom(form, text.right(), 0.1, 40, text.top(), text.bottom(), true)};
                    QVERIFY2(std::none_of(std::begin(sides), std::end(sides),
                                          [](double d) { return std::isnan(d); }),
                             qPrintable(name + ": figures outside the box"));
                } else {
                    line = lineFrom(form, text.bottom() - 1, 0.1, 2, text.left(), text.right(), false);
                    QVERIFY2(!std::isnan(line), qPrintable(name + ": no line under the text"));
                }
                int under = 0;
                for (double y = text.top(); y < text.bottom(); y += 1 / form.dots)
                    for (double x = text.left(); x < text.right(); x += 1 / form.dots)
                        under += form.inked(QPointF(x, y)) && !(std::abs(y - line) <= 0.4);
                QVERIFY2(under == 0,
                         qPrintable(name + QString(": %1 dots of the form under the text").arg(under)));
            }
        }
    }

    // The printing window: painted, centred over its owner, before the job takes the
    // event loop away.
    void printingWindowShownOverOwner()
    {
        QWidget owner;
        owner.setGeometry(200, 150, 640, 420);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        PaintCounter counter;
        qApp->installEventFilter(&counter);
        QPointer<frmImpression> window = frmImpression::ShowOver(&owner);
        qApp->removeEventFilter(&counter);
        QVERIFY(counter.paints > 0 && window->isVisible() && !window->isModal());
        QCOMPARE(window->lblImpression->text(), window->windowTitle());
        QCOMPARE(window->windowTitle(), QString("Impression en cours..."));
        QVERIFY((window->frameGeometry().center() - owner.frameGeometry().center()).manhattanLength() <= 2);
        frmImpression::Unload(window);
        QVERIFY(window.isNull());
    }
};

QTEST_MAIN(TestChequeJob)
#include "test_chequejob.moc"
