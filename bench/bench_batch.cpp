// A batch of 500 queued cheques printed on the PDF printer from "Chèques à imprimer",
// each recorded with its number, beside single cheques printed by F5 in the same run:
// the time per cheque of each, from the command to the register written.

#include "app/frmTolvo.h"
#include "dialogs/frmMsgBox.h"
#include "platform/Application.h"
#include "platform/forms/MessageBox.h"
#include "platform/print/PdfPrinter.h"
#include "register/Recording.h"
#include "register/frmAImprimer.h"

#include "Timing.h"
#include "support/TestPrinters.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using bench::median;
using bench::msSince;

constexpr int kBatch = 500;
constexpr int kSingles = 20;

using testsupport::PdfOnly;

int recorded()
{
    registre::Register reg;
    QSqlQuery q(reg.open(registre::Register::Use::Read) ? reg.database() : QSqlDatabase());
    return q.exec(QStringLiteral("SELECT COUNT(*) FROM cheques")) && q.next() ? q.value(0).toInt() : -1;
}

// F5 from the main window, `count` times: the time of each, in milliseconds.
std::vector<double> singles(frmTolvo &w, int count)
{
    std::vector<double> times;
    for (int i = 0; i < count; ++i) {
        w.cboMontant->setEditText(QStringLiteral("1234,50"));
        w.cboBénéficiaire->setEditText(QStringLiteral("Société Générale d'Électricité %1").arg(i));
        const auto start = std::chrono::steady_clock::now();
        w.cmdImprime_Click();
        times.push_back(msSince(start));
    }
    return times;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The offscreen platform's notes on each window shown would bury the figures.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type != QtWarningMsg && type != QtDebugMsg && type != QtInfoMsg)
            std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    platform::setApplicationFolder(dir.path());
    platform::setPrinters(std::make_unique<PdfOnly>(dir.filePath(QStringLiteral("pdf"))));
    {
        registre::Register reg;
        registre::Chequebook book;
        registre::checkChequebook({QStringLiteral("Compte courant"), QString(), QStringLiteral("0000001"),
                                   QStringLiteral("0009999"), QStringLiteral("0000001")},
                                  book);
        QList<registre::ImportedCheque> cheques;
        for (int i = 0; i < kBatch; ++i)
            cheques << registre::ImportedCheque{
                QStringLiteral("Fournisseur n°%1; Société Générale").arg(i),
                QStringLiteral("%1,%2").arg(1 + i * 7).arg(i % 100, 2, 10, QChar('0')), QString(),
                QStringLiteral("Facture %1").arg(i)};
        if (!reg.open() || !reg.saveChequebook(book) || !reg.enqueue(cheques))
            return 1;
        registre::setChequebookInUse(book.uid);
    }

    platform::MessageBoxRecorder boxes;
    frmTolvo w;
    w.Form_Load();
    w.show();
    w.txtDate->setText(QStringLiteral("05/12/26"));
    singles(w, 3); // warm-up
    std::vector<double> single = singles(w, kSingles);

    frmÀImprimer queue(&w, [&w] {
        return registre::PrintSettings{
            cheque::ChequeInput{QString(), QString(), QString(), false, w.lblPaperBin->Tag,
                                w.lblOrientation->Tag, w.lblPositionnement->Tag, w.HorAjust, w.VerAjust,
                                w.sFont},
            w.lblImprimante->text(), w.lblPaperBin->text(), w.lblOrientation->text(), w.txtDate->text()};
    });
    queue.show();
    const int before = recorded();
    // The confirmation, answered "Imprimer".
    boxes.queueDialog([](QDialog &dialog) { dynamic_cast<frmMsgBox &>(dialog).cmdAction[1]->click(); });
    const auto start = std::chrono::steady_clock::now();
    queue.cmdImprimerTout_Click();
    const double batch = msSince(start);
    if (recorded() - before != kBatch || queue.model()->rowCount() != 0) {
        std::fprintf(stderr, "the batch did not print: %d recorded\n", recorded() - before);
        return 1;
    }
    const std::vector<double> after = singles(w, kSingles);
    single.insert(single.end(), after.begin(), after.end());

    // What "Importer..." adds to the queue in one transaction, for a file of 10 000 rows.
    double added = 0;
    {
        registre::Register big(dir.filePath(QStringLiteral("import.sqlite")));
        QList<registre::ImportedCheque> cheques;
        for (int i = 0; i < 10000; ++i)
            cheques << registre::ImportedCheque{QStringLiteral("Fournisseur n°%1").arg(i),
                                                QStringLiteral("12,50"), QString(), QString()};
        const auto at = std::chrono::steady_clock::now();
        if (!big.open() || !big.enqueue(cheques))
            return 1;
        added = msSince(at);
    }

    std::printf("batch of %d cheques on the PDF printer: %.0f ms, %.2f ms a cheque\n", kBatch, batch,
                batch / kBatch);
    std::printf("one cheque by F5: median %.2f ms over %d (before and after the batch)\n", median(single),
                int(single.size()));
    std::printf("ratio %.2f (goal at most 1)\n", batch / kBatch / median(single));
    std::printf("10 000 imported cheques added to the queue: %.0f ms\n", added);
    return 0;
}
