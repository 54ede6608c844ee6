// The cheque register on 100 000 cheques in 5 chequebooks, with their statuses:
// opening the register window until its first rows and totals are on screen, the
// search, the filters and the sorts answering in it, and recording one cheque with
// its number (opening the file and one committed transaction, as after each print).

#include "platform/Application.h"
#include "register/Recording.h"
#include "register/Register.h"
#include "register/frmRegistre.h"

#include "Timing.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using bench::median;
using bench::msSince;

constexpr int kRows = 100000;
constexpr int kChequebooks = 5;

// Most cheques of a register of some years are debited; some are still to come, a
// few were cancelled or written by hand.
QString statusOf(int n)
{
    switch (n % 20) {
    case 0: return registre::status::Annulé;
    case 1: return registre::status::HorsTolvo;
    case 2:
    case 3:
    case 4: return registre::status::Émis;
    default: return registre::status::Débité;
    }
}

registre::Entry entry(int n)
{
    registre::Entry e;
    e.printedAt = QDateTime::currentDateTime();
    e.chequeDate = QDate(2020, 1, 1).addDays(n % 2500).toString(QStringLiteral("dd/MM/yyyy"));
    e.beneficiary = QStringLiteral("Bénéficiaire numéro %1").arg(n % 3000);
    e.cents = 100 + n % 500000;
    e.amount = registre::centsText(e.cents);
    e.printer = QStringLiteral("Fichier PDF");
    e.paperBin = 7;
    e.orientation = 2;
    e.pdfFile = QStringLiteral("/home/compta/Documents/Tolvo/cheque-%1.pdf").arg(n);
    return e;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    platform::setApplicationFolder(dir.path());

    QString inUse;
    {
        registre::Register reg;
        if (!reg.open())
            return 1;
        QList<registre::Chequebook> books;
        for (int b = 0; b < kChequebooks; ++b) {
            registre::Chequebook book;
            book.name = QStringLiteral("Carnet %1").arg(b + 1);
            book.first = 1000000 * (b + 1);
            book.last = book.first + kRows; // room for every cheque and those recorded below
            book.next = book.first + kRows / kChequebooks;
            if (!reg.saveChequebook(book)) {
                std::fprintf(stderr, "%s\n", qPrintable(reg.error()));
                return 1;
            }
            books << book;
        }
        inUse = books.last().uid;
        registre::setChequebookInUse(inUse);
        // Filled in one transaction: the register's own one per cheque would take minutes.
        QSqlDatabase db = reg.database();
        db.transaction();
        QSqlQuery q(db);
        q.prepare(QStringLiteral("INSERT INTO cheques (printed_at, cheque_date, cheque_day, beneficiary,"
                                 " beneficiary_key, amount, cents, printer, paper_bin, orientation, pdf_file,"
                                 " chequebook_id, number, status, status_day, reason, print_id)"
                                 " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        for (int n = 0; n < kRows; ++n) {
            const registre::Entry e = entry(n);
            const registre::Chequebook &book = books[n % kChequebooks];
            const QString day =
                QDate::fromString(e.chequeDate, QStringLiteral("dd/MM/yyyy")).toString(Qt::ISODate);
            for (const QVariant &v :
                 {QVariant(e.printedAt.toString(Qt::ISODate)), QVariant(e.chequeDate), QVariant(day),
                  QVariant(e.beneficiary), QVariant(registre::searchKey(e.beneficiary)), QVariant(e.amount),
                  QVariant(e.cents), QVariant(e.printer), QVariant(7), QVariant(2), QVariant(e.pdfFile),
                  QVariant(book.id), QVariant(book.first + n / kChequebooks),
                  QVariant(statusOf(n / kChequebooks)), QVariant(day), QVariant(QString(QLatin1String(""))),
                  QVariant(QStringLiteral("bench-%1").arg(n))})
                q.addBindValue(v);
            if (!q.exec()) {
                std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
                return 1;
            }
        }
        db.commit();
    }

    std::vector<double> open;
    for (int run = 0; run < 7; ++run) {
        const auto start = std::chrono::steady_clock::now();
        frmRegistre w;
        w.show();
        app.processEvents();
        open.push_back(msSince(start));
        if (w.grdChèques->model()->rowCount() == 0)
            return 1;
    }

    // Each change of the window's filter or order, until its rows and totals are shown.
    struct Step {
        const char *what;
        std::function<void(frmRegistre &)> change;
        std::vector<double> times;
    };
    // Filters first, in print order as the window opens; then sorts, which the
    // filters that follow keep.
    const auto sort = [](int column, Qt::SortOrder order) {
        return [column, order](frmRegistre &w) {
            w.grdChèques->horizontalHeader()->setSortIndicator(column, order);
        };
    };
    std::vector<Step> steps = {
        {"chequebook \"Carnet 3\"", [](frmRegistre &w) { w.cboCarnet->setCurrentIndex(3); }, {}},
        {"status \"à débiter\" in it", [](frmRegistre &w) { w.cboÉtat->setCurrentIndex(1); }, {}},
        {"status \"annulé\" in it", [](frmRegistre &w) { w.cboÉtat->setCurrentIndex(4); }, {}},
        {"every chequebook, \"annulé\"", [](frmRegistre &w) { w.cboCarnet->setCurrentIndex(0); }, {}},
        {"status \"à débiter\"", [](frmRegistre &w) { w.cboÉtat->setCurrentIndex(1); }, {}},
        {"every status", [](frmRegistre &w) { w.cboÉtat->setCurrentIndex(0); }, {}},
        {"search \"numero 12\" (accents aside)",
         [](frmRegistre &w) { w.txtBénéficiaire->setText(QStringLiteral("numero 12")); },
         {}},
        {"search cleared", [](frmRegistre &w) { w.txtBénéficiaire->clear(); }, {}},
        {"sort by number", sort(registre::Number, Qt::AscendingOrder), {}},
        {"chequebook \"Carnet 3\", by number", [](frmRegistre &w) { w.cboCarnet->setCurrentIndex(3); }, {}},
        {"every chequebook, by number", [](frmRegistre &w) { w.cboCarnet->setCurrentIndex(0); }, {}},
        {"sort by status", sort(registre::Status, Qt::AscendingOrder), {}},
        {"sort by amount", sort(registre::Amount, Qt::AscendingOrder), {}},
        {"sort by beneficiary", sort(registre::Beneficiary, Qt::AscendingOrder), {}},
        {"sort by cheque date", sort(registre::ChequeDate, Qt::DescendingOrder), {}},
        {"from 01/01/2023", [](frmRegistre &w) { w.chkDu->setChecked(true); }, {}},
        {"to 31/12/2023", [](frmRegistre &w) { w.chkAu->setChecked(true); }, {}},
        {"sort by printer",
         sort(registre::Printer, Qt::AscendingOrder),
         {}}, // the one column without an index
    };
    for (int run = 0; run < 7; ++run) {
        frmRegistre w;
        w.dtpDu->setDate(QDate(2023, 1, 1));
        w.dtpAu->setDate(QDate(2023, 12, 31));
        w.show();
        app.processEvents();
        for (Step &step : steps) {
            const auto start = std::chrono::steady_clock::now();
            step.change(w);
            app.processEvents();
            step.times.push_back(msSince(start));
            if (w.grdChèques->model()->rowCount() == 0) {
                std::fprintf(stderr, "no rows after: %s\n", step.what);
                return 1;
            }
        }
    }

    std::vector<double> record;
    for (int run = 0; run < 31; ++run) {
        const auto start = std::chrono::steady_clock::now();
        registre::Register reg;
        registre::Entry e = entry(kRows + run);
        e.chequebook = inUse;
        registre::Recorded recorded;
        if (!reg.open() || !reg.add(e, &recorded) || recorded.number < 0) {
            std::fprintf(stderr, "not recorded: %s\n", qPrintable(reg.error()));
            return 1;
        }
        record.push_back(msSince(start));
    }

    std::printf("register of %d cheques in %d chequebooks\n", kRows, kChequebooks);
    std::printf("  open the register window (first rows and totals shown): median %.1f ms\n", median(open));
    for (const Step &step : steps)
        std::printf("  %-55s median %.1f ms\n", step.what, median(step.times));
    std::printf("  record one cheque with its number (open, one transaction): median %.2f ms\n",
                median(record));
    return 0;
}
