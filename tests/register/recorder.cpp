// Child process of the register's reliability test.
//   register_recorder FILE   records cheques one by one until killed; prints "ready"
//                            after the first. Row n has n cents and beneficiary "Nom n".
// Exit code 2 when a record failed.

#include "register/Register.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fputs("usage: register_recorder FILE\n", stderr);
        return 1;
    }
    registre::Register reg(args[1]);
    if (!reg.open())
        return 2;
    QSqlQuery q(reg.database());
    q.exec(QStringLiteral("SELECT COUNT(*) FROM cheques"));
    qint64 n = q.next() ? q.value(0).toLongLong() : 0;
    for (bool first = true;; first = false) {
        ++n;
        registre::Entry e;
        e.printedAt = QDateTime::currentDateTime();
        e.chequeDate = QStringLiteral("05/12/2026");
        e.beneficiary = QStringLiteral("Nom %1").arg(n);
        e.cents = n;
        e.amount = registre::centsText(n);
        e.printer = QStringLiteral("Fichier PDF");
        e.paperBin = 7;
        e.orientation = 1;
        if (!reg.add(e))
            return 2;
        if (first) {
            std::puts("ready");
            std::fflush(stdout);
        }
    }
}
