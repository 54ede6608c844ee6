// Time of one cheque, from the start of the job to the PDF file on disk, beside the
// floor: a bare QPdfWriter A4 page holding one line in the same font.

#include "cheque/ChequeJob.h"
#include "platform/print/PdfPrinter.h"

#include "Timing.h"
#include "support/TestPrinters.h"

#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using bench::median;

constexpr int kRuns = 30;
constexpr int kWarmUp = 3;

using testsupport::PdfOnly;

cheque::ChequeInput typicalCheque()
{
    cheque::ChequeInput in;
    in.amount = QStringLiteral("1234,50");
    in.beneficiary = QStringLiteral("Société Générale d'Électricité");
    in.date = QStringLiteral("05/12/2026");
    in.stars = true;
    in.paperBinTag = QStringLiteral("7");
    in.orientationTag = QStringLiteral("1");
    in.positionnementTag = QStringLiteral("90");
    in.sFont = QStringLiteral("Arial");
    return in;
}

void floorPage(const QString &path)
{
    QPdfWriter writer(path);
    writer.setResolution(platform::PaintedPrinter::resolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    QPainter painter(&writer);
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(12);
    painter.setFont(QFont(font, &writer));
    painter.drawText(QPointF(700, 1500), QStringLiteral("Société Générale d'Électricité"));
}

double seconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;

    auto printers = std::make_unique<PdfOnly>(dir.filePath(QStringLiteral("cheques")));
    platform::PdfPrinter &pdf = printers->printer;
    platform::setPrinters(std::move(printers));
    const cheque::ChequeInput input = typicalCheque();
    const QString floorFile = dir.filePath(QStringLiteral("floor.pdf"));

    std::vector<double> job, floor;
    int measures = 0;
    for (int i = 0; i < kWarmUp + kRuns; ++i) {
        // Alternate which goes first so neither always meets a warmer cache.
        for (int k = 0; k < 2; ++k) {
            const bool doJob = (k == 0) == (i % 2 == 0);
            const auto start = std::chrono::steady_clock::now();
            if (doJob) {
                const cheque::PrintReport report = cheque::PrintCheque(input);
                const auto end = std::chrono::steady_clock::now();
                if (report.failed || !QFile::exists(pdf.lastFile())) {
                    std::fprintf(stderr, "the cheque was not printed\n");
                    return 1;
                }
                measures = report.measures;
                if (i >= kWarmUp)
                    job.push_back(seconds(end - start));
                QFile::remove(pdf.lastFile());
            } else {
                floorPage(floorFile);
                const auto end = std::chrono::steady_clock::now();
                if (i >= kWarmUp)
                    floor.push_back(seconds(end - start));
                QFile::remove(floorFile);
            }
        }
    }
    platform::setPrinters(nullptr);

    const double j = median(job), f = median(floor);
    std::printf("cheque on the PDF printer: median %.2f ms over %d runs\n", j * 1e3, kRuns);
    std::printf("floor (one-line QPdfWriter page): median %.2f ms\n", f * 1e3);
    std::printf("ratio %.2f (goal at most 1.5)\n", j / f);
    std::printf("text measures per cheque: %d\n", measures);
    return 0;
}
