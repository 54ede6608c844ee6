// The cheque register on 100 000 cheques: opening the register window until its
// first rows and totals are on screen, the search and the sorts answering in it,
// and recording one cheque (opening the file and one committed transaction, as
// after each print).

#include "platform/Application.h"
#include "register/Register.h"
#include "register/frmRegistre.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRows = 100000;

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

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    platform::setApplicationFolder(dir.path());

    {
        registre::Register reg;
        if (!reg.open())
            return 1;
        // Filled in one transaction: the register's own one per cheque would take minutes.
        QSqlDatabase db = reg.database();
        db.transaction();
        QSqlQuery q(db);
        q.prepare(QStringLiteral("INSERT INTO cheques (printed_at, cheque_date, cheque_day, beneficiary,"
                                 " beneficiary_key, amount, cents, printer, paper_bin, orientation, pdf_file)"
                                 " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        for (int n = 0; n < kRows; ++n) {
            const registre::Entry e = entry(n);
            for (const QVariant &v :
                 {QVariant(e.printedAt.toString(Qt::ISODate)), QVariant(e.chequeDate),
                  QVariant(
                      QDate::fromString(e.chequeDate, QStringLiteral("dd/MM/yyyy")).toString(Qt::ISODate)),
                  QVariant(e.beneficiary), QVariant(registre::searchKey(e.beneficiary)), QVariant(e.amount),
                  QVariant(e.cents), QVariant(e.printer), QVariant(7), QVariant(2), QVariant(e.pdfFile)})
                q.addBindValue(v);
            if (!q.exec())
                return 1;
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
    std::vector<Step> steps = {
        {"search \"numero 12\" (accents aside)",
         [](frmRegistre &w) { w.txtBénéficiaire->setText(QStringLiteral("numero 12")); },
         {}},
        {"search cleared", [](frmRegistre &w) { w.txtBénéficiaire->clear(); }, {}},
        {"sort by amount",
         [](frmRegistre &w) {
             w.grdChèques->horizontalHeader()->setSortIndicator(registre::Amount, Qt::AscendingOrder);
         },
         {}},
        {"sort by beneficiary",
         [](frmRegistre &w) {
             w.grdChèques->horizontalHeader()->setSortIndicator(registre::Beneficiary, Qt::AscendingOrder);
         },
         {}},
        {"sort by cheque date",
         [](frmRegistre &w) {
             w.grdChèques->horizontalHeader()->setSortIndicator(registre::ChequeDate, Qt::DescendingOrder);
         },
         {}},
        {"from 01/01/2023", [](frmRegistre &w) { w.chkDu->setChecked(true); }, {}},
        {"to 31/12/2023", [](frmRegistre &w) { w.chkAu->setChecked(true); }, {}},
        {"sort by printer", // the one column without an index
         [](frmRegistre &w) {
             w.grdChèques->horizontalHeader()->setSortIndicator(registre::Printer, Qt::AscendingOrder);
         },
         {}},
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
            if (w.grdChèques->model()->rowCount() == 0)
                return 1;
        }
    }

    std::vector<double> record;
    for (int run = 0; run < 31; ++run) {
        const auto start = std::chrono::steady_clock::now();
        registre::Register reg;
        if (!reg.open() || !reg.add(entry(kRows + run)))
            return 1;
        record.push_back(msSince(start));
    }

    std::printf("register of %d cheques\n", kRows);
    std::printf("  open the register window (first rows and totals shown): median %.1f ms\n", median(open));
    for (const Step &step : steps)
        std::printf("  %-55s median %.1f ms\n", step.what, median(step.times));
    std::printf("  record one cheque (open the file, one transaction):     median %.2f ms\n", median(record));
    return 0;
}
