#pragma once
// The register's file as the tests set it up and read it back (for the test programs
// linked with the register).

#include "platform/Application.h"
#include "register/Recording.h"
#include "register/Register.h"
#include "support/TestFiles.h"
#include "support/TestPrinters.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace testsupport {

// The sqlite3 tool's answer to `query` on the register, or on the file given.
inline QString sql(const QString &query, const QString &path = registre::filePath())
{
    return run("sqlite3", {path, query}).out.trimmed();
}

// A program folder of the running test function's own, on 5 December 2026, "Fichier PDF"
// writing into its "pdf" folder.
inline void useOwnFolder(const QTemporaryDir &dir)
{
    const QString folder = dir.filePath(QTest::currentTestFunction());
    QVERIFY(QDir().mkpath(folder));
    platform::setApplicationFolder(folder);
    platform::setToday(QDate(2026, 12, 5));
    platform::setPrinters(std::make_unique<PdfOnly>(folder + "/pdf"));
}

// A chequebook from `first` to `last`, none used, chosen for the next cheques.
inline void useChequebook(const QString &first, const QString &last, const QString &name = "Compte courant")
{
    registre::Register reg;
    registre::Chequebook book;
    QCOMPARE(registre::checkChequebook({name, "", first, last, first}, book).field,
             registre::FieldProblem::None);
    QVERIFY2(reg.open() && reg.saveChequebook(book), qPrintable(reg.error()));
    registre::setChequebookInUse(book.uid);
}

} // namespace testsupport
