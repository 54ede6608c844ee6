// One cheque recorded with its number on a register shared on a PostgreSQL server
// (started for the run on this computer, reached through its socket, as the tests
// do), beside the same on the register file, in the same run: as after each print
// (the register opened, then one transaction), on a register already open, and as
// a batch of queued cheques does it (the cheque looked for in the queue before its
// page, then recorded, leaving the queue).

#include "platform/Application.h"
#include "platform/Keyring.h"
#include "register/Register.h"
#include "support/PrivatePostgres.h"
#include "support/TestKeyring.h"

#include "Timing.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QUuid>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using bench::median;
using bench::msSince;

registre::Entry entry(int n, const QString &chequebook)
{
    registre::Entry e;
    e.printedAt = QDateTime::currentDateTime();
    e.chequeDate = QStringLiteral("06/12/2026");
    e.beneficiary = QStringLiteral("Bénéficiaire numéro %1").arg(n);
    e.cents = 100 + n;
    e.amount = registre::centsText(e.cents);
    e.printer = QStringLiteral("Fichier PDF");
    e.paperBin = 7;
    e.orientation = 2;
    e.chequebook = chequebook;
    e.printId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    return e;
}

struct Figures {
    double opened = 0, open = 0, queued = 0;
};

// `runs` cheques each opening the register, then `runs` on one register left open,
// then `runs` queued ones.
bool measure(const registre::Location &where, int runs, Figures &figures)
{
    QString book;
    {
        registre::Register reg(where);
        registre::Chequebook b;
        registre::checkChequebook({QStringLiteral("Banc"), QString(), QStringLiteral("0000001"),
                                   QStringLiteral("0999999"), QStringLiteral("0000001")},
                                  b);
        if (!reg.open() || !reg.saveChequebook(b)) {
            std::fprintf(stderr, "%s\n", qPrintable(reg.error()));
            return false;
        }
        book = b.uid;
    }
    std::vector<double> each, batch;
    for (int n = 0; n < runs; ++n) {
        const auto start = std::chrono::steady_clock::now();
        registre::Register reg(where);
        registre::Recorded recorded;
        if (!reg.open() || !reg.add(entry(n, book), &recorded) || recorded.number < 0) {
            std::fprintf(stderr, "%s\n", qPrintable(reg.error()));
            return false;
        }
        each.push_back(msSince(start));
    }
    registre::Register reg(where);
    if (!reg.open())
        return false;
    for (int n = 0; n < runs; ++n) {
        const auto start = std::chrono::steady_clock::now();
        if (!reg.add(entry(runs + n, book)))
            return false;
        batch.push_back(msSince(start));
    }
    QList<qint64> ids;
    if (!reg.enqueue(QList<registre::ImportedCheque>(runs, {QStringLiteral("Fournisseur"),
                                                            QStringLiteral("12,00"), QString(), QString()}),
                     &ids))
        return false;
    std::vector<double> queued;
    for (int n = 0; n < runs; ++n) {
        const auto start = std::chrono::steady_clock::now();
        registre::Entry e = entry(2 * runs + n, book);
        e.queued = ids[n];
        if (!reg.stillQueued(e.queued) || !reg.add(e))
            return false;
        queued.push_back(msSince(start));
    }
    figures = {median(each), median(batch), median(queued)};
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    platform::setApplicationFolder(dir.path());
    platform::setKeyring(std::make_unique<testsupport::TestKeyring>());
    testsupport::PrivatePostgres server;
    if (!server.isRunning()) {
        std::fprintf(stderr, "no server: %s\n", qPrintable(server.errorString()));
        return 1;
    }
    registre::Location shared{true, {}};
    shared.server.host = server.host();
    shared.server.port = server.port();
    registre::rememberPassword(shared.server, testsupport::PrivatePostgres::password, nullptr);
    const int runs = argc > 1 ? QByteArray(argv[1]).toInt() : 200;
    Figures file, served;
    if (!measure(registre::Location{}, runs, file) || !measure(shared, runs, served))
        return 1;
    std::printf("one cheque recorded with its number, median of %d\n", runs);
    std::printf("  %-40s %8s %8s\n", "", "file", "server");
    std::printf("  %-40s %6.2f ms %6.2f ms\n", "register opened, one transaction", file.opened,
                served.opened);
    std::printf("  %-40s %6.2f ms %6.2f ms\n", "on a register already open", file.open, served.open);
    std::printf("  %-40s %6.2f ms %6.2f ms\n", "a queued cheque, as in a batch", file.queued, served.queued);
    return 0;
}
