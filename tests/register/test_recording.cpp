// Cheques printed from the main window land in the register, read back with the
// sqlite3 tool; refused cheques and pages that never left do not; a register that
// cannot be written or is damaged never stops the printing and is told.

#include "app/frmTolvo.h"
#include "platform/Application.h"
#include "platform/forms/MessageBox.h"
#include "support/PrivateCups.h"
#include "support/TestFiles.h"
#include "support/TestPrinters.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString sqlite(const QString &file, const QString &sql)
{
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {file, sql});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QStringLiteral("sqlite3 failed: ") + QString::fromUtf8(p.readAllStandardError());
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

const char *const kRows = "SELECT cheque_date, beneficiary, amount, cents, printer, paper_bin, orientation,"
                          " pdf_file <> '' FROM cheques ORDER BY id";

} // namespace

class TestRecording : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString reg;

    // Prints a cheque through the window (F5) and gives the boxes it showed.
    QStringList print(const QString &amount, const QString &beneficiary, const QString &date = "05/12/26")
    {
        frmTolvo w;
        w.Form_Load();
        w.show();
        w.activateWindow();
        if (!QTest::qWaitForWindowActive(&w))
            return {"window not active"};
        platform::MessageBoxRecorder boxes;
        w.cboMontant->setEditText(amount);
        w.cboBénéficiaire->setEditText(beneficiary);
        w.txtDate->setText(date);
        w.cboMontant->setFocus();
        if (!QTest::qWaitFor([&] { return w.cboMontant->hasFocus(); }))
            return {"no focus"};
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
        QStringList texts;
        for (const platform::ShownMessage &m : boxes.shown)
            texts << m.text;
        return texts;
    }

private slots:
    void initTestCase()
    {
        platform::setApplicationFolder(dir.path());
        platform::setToday(QDate(2026, 12, 5));
        reg = dir.filePath("Registre.sqlite");
    }
    void cleanup() { platform::setPrinters(nullptr); }

    void throughFichierPdf()
    {
        const QString out = dir.filePath("pdf");
        platform::setPrinters(std::make_unique<testsupport::PdfOnly>(out));
        QCOMPARE(print("1234,5", "Durand & Fils; \"SARL\""), QStringList());
        QCOMPARE(print("0", "Refusé"), QStringList{"Un montant nul n'est pas autorisé."});
        QCOMPARE(print("12", "Mauvaise date", "31/02/2026").size(), 1);
        QCOMPARE(print("7,05", "Élise Müller"), QStringList());
        QCOMPARE(sqlite(reg, kRows),
                 QString("05/12/2026|Durand & Fils; \"SARL\"|1 234,50|123450|Fichier PDF|7|2|1\n"
                         "05/12/2026|Élise Müller|7,05|705|Fichier PDF|7|2|1"));
        const QString files = sqlite(reg, "SELECT pdf_file FROM cheques");
        for (const QString &file : files.split('\n'))
            QVERIFY2(QFile::exists(file) && file.startsWith(out), qPrintable(file));
        QCOMPARE(sqlite(reg, "PRAGMA journal_mode; PRAGMA user_version"), QString("wal\n1"));

        // A page that never left (the PDF cannot be written): not recorded.
        QVERIFY(testsupport::writeAll(dir.filePath("plain"), "x"));
        platform::setPrinters(std::make_unique<testsupport::PdfOnly>(dir.filePath("plain/sub")));
        print("99", "Jamais parti");
        QCOMPARE(sqlite(reg, "SELECT COUNT(*) FROM cheques"), QString("2"));

        // The register cannot be written: the cheque prints, the user is told.
        platform::setPrinters(std::make_unique<testsupport::PdfOnly>(out));
        const QString moved = dir.filePath("moved.sqlite");
        QVERIFY(QFile::rename(reg, moved));
        QVERIFY(QDir().mkpath(reg)); // a folder where the file should be
        const int pdfsBefore = int(QDir(out).entryList(QDir::Files).size());
        const QStringList refused = print("15", "Sans registre");
        QCOMPARE(refused.size(), 1);
        QVERIFY2(
            refused[0].startsWith("Le chèque a été imprimé mais n'a pas pu être inscrit au registre.\r\n"),
            qPrintable(refused[0]));
        QCOMPARE(int(QDir(out).entryList(QDir::Files).size()), pdfsBefore + 1);
        QVERIFY(QDir(reg).removeRecursively());

        // A damaged register is set aside whole, with a message, and a new one started.
        const QByteArray garbage = QByteArray("SQLite format 3") + QByteArray(5000, '\x5a');
        QVERIFY(testsupport::writeAll(reg, garbage));
        const QStringList aside = print("20", "Après dégât");
        QCOMPARE(aside.size(), 1);
        QVERIFY2(aside[0].startsWith("Le registre des chèques était endommagé."), qPrintable(aside[0]));
        const QStringList kept = QDir(dir.path()).entryList({"Registre-endommagé-*.sqlite"});
        QCOMPARE(kept.size(), 1);
        QCOMPARE(testsupport::readAll(dir.filePath(kept[0])), garbage);
        QVERIFY(aside[0].contains(kept[0]));
        QCOMPARE(sqlite(reg, "SELECT beneficiary, cents FROM cheques"), QString("Après dégât|2000"));

        // Damage past the header shows on the write: set aside there, the cheque recorded anew.
        QFile file(reg);
        QVERIFY(file.open(QIODevice::ReadWrite) && file.size() >= 8192);
        file.seek(4096);
        file.write(QByteArray(4096, '\xff'));
        file.close();
        const QStringList deep = print("21", "Dégât profond");
        QCOMPARE(deep.size(), 1);
        QVERIFY2(deep[0].startsWith("Le registre des chèques était endommagé."), qPrintable(deep[0]));
        QCOMPARE(QDir(dir.path()).entryList({"Registre-endommagé-*.sqlite"}).size(), 2);
        QCOMPARE(sqlite(reg, "SELECT beneficiary, cents FROM cheques"), QString("Dégât profond|2100"));
    }

    void throughTheSpooler()
    {
        testsupport::PrivateCups cups;
        QVERIFY2(cups.isRunning(), qPrintable(cups.errorString()));
        QVERIFY2(cups.addQueue("Bureau", testsupport::TestPpd{}), qPrintable(cups.errorString()));
        QVERIFY(cups.admin("lpadmin", {"-d", "Bureau"}));
        platform::setPrinters(nullptr); // the real queues
        QFile::remove(reg);
        QCOMPARE(print("42", "Par le spouleur"), QStringList());
        QVERIFY(cups.lastJob("Bureau") > 0);
        QCOMPARE(sqlite(reg, "SELECT beneficiary, amount, printer, pdf_file FROM cheques"),
                 QString("Par le spouleur|42,00|Bureau|"));

        // A queue that refuses jobs: the page never left, nothing recorded.
        QVERIFY(cups.admin("cupsreject", {"Bureau"}));
        print("43", "Refusé par la file");
        QCOMPARE(sqlite(reg, "SELECT COUNT(*) FROM cheques"), QString("1"));
    }
};

QTEST_MAIN(TestRecording)
#include "test_recording.moc"
