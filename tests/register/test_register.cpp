// The cheque register: what printing through the main window records (read back
// with the sqlite3 tool), the file under a program killed while it writes, the
// register window and its export, and the preview against the printed page.

#include "app/frmTolvo.h"
#include "cheque/ChequeJob.h"
#include "platform/Application.h"
#include "platform/forms/FileDialog.h"
#include "platform/forms/MessageBox.h"
#include "platform/help/HelpKey.h"
#include "register/Register.h"
#include "register/frmRegistre.h"
#include "support/Gui.h"
#include "support/PdfText.h"
#include "support/TestFiles.h"
#include "support/TestPrinters.h"

#include <QtTest>
#include <QtWidgets>
#include <cstdio>

using namespace testsupport;

namespace {

QString sql(const QString &path, const QString &query)
{
    return run("sqlite3", {path, query}).out.trimmed();
}

registre::Entry entry(const QString &date, const QString &name, qint64 cents)
{
    const QDateTime at(QDate(2026, 12, 5), QTime(9, 30));
    return {at, date, name, registre::centsText(cents), cents, "Fichier PDF", 7, 2, {}};
}

// Child of the kill test: row n has n cents and the name "Nom n"; "ready" once one is in.
int record(const QString &path, qint64 n)
{
    registre::Register reg(path);
    const auto next = [&] {
        ++n;
        return reg.add(entry("05/12/2026", QString("Nom %1").arg(n), n));
    };
    if (!reg.open() || !next())
        return 2;
    std::puts("ready");
    std::fflush(stdout);
    while (next()) {
    }
    return 2;
}

// Prints the first five fields of each row of a CSV file, "|" between them.
const QString kPrintCsv = "import csv, sys\n"
                          "for row in csv.reader(open(sys.argv[1], encoding='utf-8-sig', newline=''),"
                          " delimiter=';'): print('|'.join(row[:5]).replace('\\n', '/'))";

// Oldest first; the window shows them the other way round.
const QStringList kNames = {"Durand SARL", "Boulangerie \"Au pain; chaud\"", "=SOMME(A1)",
                            "Élodie DURAND\nappartement 3", "Garage Martin"};

void fill()
{
    const QStringList dates = {"03/11/2026", "15/11/2026", "30/11/2026", "01/12/2026", "05/12/2026"};
    const qint64 cents[] = {123450, 1999, 5, 100000000, 7000};
    registre::Register reg;
    QVERIFY2(reg.open(), qPrintable(reg.error()));
    for (int i = 0; i < 5; ++i)
        QVERIFY2(reg.add(entry(dates[i], kNames[i], cents[i])), qPrintable(reg.error()));
}

} // namespace

class TestRegister : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    // Prints a cheque through the window (F5) and gives the boxes it showed.
    QStringList print(const QString &amount, const QString &beneficiary)
    {
        frmTolvo w;
        w.Form_Load();
        if (!showActive(w))
            return {"window not active"};
        platform::MessageBoxRecorder boxes;
        w.cboMontant->setEditText(amount);
        w.cboBénéficiaire->setEditText(beneficiary);
        w.txtDate->setText("05/12/26");
        QTest::keyClick(w.cboMontant, Qt::Key_F5);
        QStringList texts;
        for (const platform::ShownMessage &m : boxes.shown)
            texts << m.text;
        return texts;
    }

private slots:
    void init()
    {
        platform::setToday(QDate(2026, 12, 5));
        platform::installHelpKey();
        const QString folder = dir.filePath(QTest::currentTestFunction());
        QVERIFY(QDir().mkpath(folder));
        platform::setApplicationFolder(folder);
        platform::setPrinters(std::make_unique<PdfOnly>(folder + "/pdf"));
    }

    // Refused cheques and pages that never left are not recorded; a damaged
    // register is set aside whole, with a message, and the cheque recorded anew.
    void printedChequesAreRecorded()
    {
        const QString reg = registre::filePath(), out = platform::settingsFile("pdf");
        QCOMPARE(print("1234,5", "Durand & Fils; \"SARL\""), QStringList());
        QCOMPARE(print("0", "Refusé"), QStringList{"Un montant nul n'est pas autorisé."});
        QCOMPARE(print("7,05", "Élise Müller"), QStringList());
        QVERIFY(writeAll(out + "-file", "x")); // the PDF cannot be written
        platform::setPrinters(std::make_unique<PdfOnly>(out + "-file/sub"));
        QCOMPARE(print("99", "Jamais parti").size(), 1);
        QCOMPARE(sql(reg, "SELECT cheque_date, beneficiary, amount, cents, printer, paper_bin, orientation"
                          " FROM cheques ORDER BY id"),
                 QString("05/12/2026|Durand & Fils; \"SARL\"|1 234,50|123450|Fichier PDF|7|2\n"
                         "05/12/2026|Élise Müller|7,05|705|Fichier PDF|7|2"));
        for (const QString &file : sql(reg, "SELECT pdf_file FROM cheques").split('\n'))
            QVERIFY2(file.startsWith(out + "/") && QFile::exists(file), qPrintable(file));

        platform::setPrinters(std::make_unique<PdfOnly>(out));
        const QByteArray garbage = QByteArray("SQLite format 3") + QByteArray(5000, '\x5a');
        QVERIFY(writeAll(reg, garbage));
        const QStringList told = print("20", "Après dégât");
        const QStringList aside = QDir(platform::settingsFolder()).entryList({"Registre-endommagé-*.sqlite"});
        QVERIFY2(aside.size() == 1 && told.size() == 1 &&
                     told[0].startsWith("Le registre des chèques était endommagé.") &&
                     told[0].contains(aside[0]),
                 qPrintable(told.join('\n')));
        QCOMPARE(readAll(platform::settingsFile(aside[0])), garbage);
        QCOMPARE(sql(reg, "SELECT beneficiary, cents FROM cheques"), QString("Après dégât|2000"));
    }

    // Killed while it records: the file always opens afterwards, every row whole,
    // none lost once committed.
    void killedWhileRecording()
    {
        const QString path = registre::filePath();
        qint64 last = 0;
        for (int kill = 0; kill < 10; ++kill) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), {"--record", path, QString::number(last)});
            QVERIFY(child.waitForReadyRead(30000) && child.readLine() == "ready\n");
            QThread::usleep(QRandomGenerator::global()->bounded(20000));
            child.kill();
            QVERIFY(child.waitForFinished());
            const QStringList counts =
                sql(path,
                    "PRAGMA integrity_check; SELECT COUNT(*), MAX(id), SUM(beneficiary <> 'Nom ' || cents"
                    " OR id <> cents OR amount = '' OR printed_at = '' OR printer <> 'Fichier PDF')"
                    " FROM cheques")
                    .split(QRegularExpression("[|\n]"));
            QVERIFY2(counts.size() == 4 && counts[0] == "ok" && counts[1].toLongLong() > last &&
                         counts[2] == counts[1] && counts[3] == "0",
                     qPrintable(counts.join(' ')));
            last = counts[1].toLongLong();
            registre::Register reg(path);
            QVERIFY2(reg.open() && reg.setAsideAs().isEmpty(), qPrintable(reg.error()));
        }
    }

    // The window's rows (newest first), count and total; the same rows exported and
    // read back with Python's csv module; F1.
    void filtersCountAndTotal()
    {
        const struct {
            QString text;
            QDate from, to;
            QString rows; // indexes into kNames
            QString total;
        } cases[] = {
            {"", {}, {}, "43210", "5 chèques, total 1 001 324,54 €"},
            {"%", {}, {}, "", "Aucun chèque"}, // wildcards are letters
            {"", {2026, 11, 15}, {2026, 11, 30}, "21", "2 chèques, total 20,04 €"},
            {"a", {2026, 12, 1}, {}, "43", "2 chèques, total 1 000 070,00 €"},
            {"durand", {}, {2026, 11, 30}, "0", "1 chèque, total 1 234,50 €"},
        };
        fill();
        for (const auto &c : cases) {
            frmRegistre w;
            QTest::keyClicks(w.txtBénéficiaire, c.text);
            w.chkDu->setChecked(c.from.isValid());
            w.dtpDu->setDate(c.from); // an invalid date leaves it as it is
            w.chkAu->setChecked(c.to.isValid());
            w.dtpAu->setDate(c.to);
            QString rows;
            QStringList shown = {"Imprimé le|Date du chèque|Bénéficiaire|Montant|Imprimante"};
            const QAbstractItemModel *m = w.grdChèques->model();
            for (int r = 0; r < m->rowCount(); ++r) {
                rows += QString::number(kNames.indexOf(m->index(r, 2).data().toString()));
                QStringList fields;
                for (int col = 0; col < 5; ++col)
                    fields << m->index(r, col).data().toString();
                // No formula in a spreadsheet.
                shown << fields.join('|').replace('\n', '/').replace("|=", "|'=");
            }
            QCOMPARE(rows, c.rows);
            QCOMPARE(w.lblTotal->text(), c.total);

            const QString csv = dir.filePath("export.csv");
            platform::MessageBoxRecorder boxes;
            platform::setSaveFileNameAnswer([&](const QString &suggested) {
                return suggested.endsWith("registre-20261205.csv") ? csv : QString();
            });
            w.cmdExporter->click();
            platform::setSaveFileNameAnswer(nullptr);
            QCOMPARE(readAll(csv).left(3), QByteArray("\xEF\xBB\xBF"));
            QCOMPARE(run("python3", {"-c", kPrintCsv, csv}).out.trimmed().split('\n'), shown);
            QVERIFY(showActive(w));
            QCOMPARE(f1(w.txtBénéficiaire), 1007);
        }
    }

    // The same cheque previewed and printed on "Fichier PDF": each word within 0.5 mm.
    void previewMatchesThePrintedPage()
    {
        constexpr double dots = 10; // per millimetre, both pictures
        const QString name = "Société Générale des Eaux", date = "05/12/2026";
        for (const cheque::ChequeInput &in :
             {cheque::ChequeInput{"1234,56", name, date, false, "7", "1", "", 0, 0, "Arial"},
              cheque::ChequeInput{"777777,77", name, date, true, "7", "1", "", -2, 5, "Arial"}}) {
            const cheque::PrintReport report = cheque::PrintCheque(in);
            QVERIFY(report.handedOver);
            const QImage preview = cheque::PreviewCheque(in, QImage(), dots);
            const QImage paper = pdfImage(report.file, 254);
            const QList<PdfPage> pages = pdfPages(report.file);
            QVERIFY(pages.size() == 1 && pages[0].words.size() >= 8);
            for (const PdfWord &w : pages[0].words) {
                const QRect area(QPoint(int(w.xMin * dots), int((w.yMin - 0.5) * dots)),
                                 QPoint(int(w.xMax * dots), int((w.yMax + 0.5) * dots)));
                const QRect onPaper = ink(paper, area), onScreen = ink(preview, area);
                const QPoint a = onPaper.topLeft() - onScreen.topLeft(),
                             b = onPaper.bottomRight() - onScreen.bottomRight();
                const int off =
                    std::max({std::abs(a.x()), std::abs(a.y()), std::abs(b.x()), std::abs(b.y())});
                QVERIFY2(!onPaper.isNull() && !onScreen.isNull() && off <= 5, qPrintable(w.text));
            }
        }
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--record")
        return record(argv[2], QByteArray(argv[3]).toLongLong());
    TestRegister test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_register.moc"
