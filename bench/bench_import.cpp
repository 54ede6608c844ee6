// Importing 10 000 cheques from a CSV file as LibreOffice writes it (Windows-1252,
// ";", decimal commas, non-breaking spaces between thousands): reading and
// checking every row, then the import window until its rows are on screen.

#include "platform/Profile.h"
#include "register/frmImport.h"

#include "Timing.h"

#include <QApplication>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using bench::median;
using bench::msSince;

constexpr int kRows = 10000;

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("paiements.csv"));
    {
        QString text = QStringLiteral("Bénéficiaire;Montant;Date;Libellé\r\n");
        for (int n = 0; n < kRows; ++n)
            text += QStringLiteral(
                        "\"Fournisseur n°%1; Société Générale\";%2\u00A0%3,%4;%5/12/2026;Facture %1\r\n")
                        .arg(n)
                        .arg(1 + n % 9)
                        .arg(n % 1000, 3, 10, QLatin1Char('0'))
                        .arg(n % 100, 2, 10, QLatin1Char('0'))
                        .arg(1 + n % 28, 2, 10, QLatin1Char('0'));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(*platform::windows1252::encode(text)) < 0)
            return 1;
    }

    std::vector<double> check, window;
    for (int run = 0; run < 7; ++run) {
        auto start = std::chrono::steady_clock::now();
        registre::CsvTable table;
        QString error;
        if (!registre::readCsvFile(path, table, &error))
            return 1;
        const registre::ImportReport report =
            registre::checkRows(table.records, registre::findColumns(table.records));
        check.push_back(msSince(start));
        if (report.goodCount() != kRows)
            return 1;

        start = std::chrono::steady_clock::now();
        if (!registre::readCsvFile(path, table, &error))
            return 1;
        frmImport w(path, table);
        w.show();
        app.processEvents();
        window.push_back(msSince(start));
        if (w.grdLignes->model()->rowCount() != kRows)
            return 1;
    }

    std::printf("import of %d cheques from CSV\n", kRows);
    std::printf("  read and check every row:                      median %.1f ms\n", median(check));
    std::printf("  read, then the import window with its rows shown: median %.1f ms\n", median(window));
    return 0;
}
