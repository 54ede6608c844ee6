// The register window on a real register file: order, filters, count and total,
// the CSV read back by a standard CSV reader, the printed list read back from the
// PDF, F1; and the two new items of the main window's "?" menu.

#include "app/frmTolvo.h"
#include "platform/Application.h"
#include "platform/forms/FileDialog.h"
#include "platform/forms/MessageBox.h"
#include "platform/help/HelpKey.h"
#include "platform/help/HelpViewer.h"
#include "register/Register.h"
#include "register/frmRegistre.h"
#include "support/PdfText.h"
#include "support/TestFiles.h"
#include "support/TestPrinters.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Row {
    const char *date;
    const char *name;
    qint64 cents;
};
// Oldest first; the window shows them the other way round.
const Row kRows[] = {
    {"03/11/2026", "Durand SARL", 123450}, {"15/11/2026", "Boulangerie \"Au pain; chaud\"", 1999},
    {"30/11/2026", "=SOMME(A1)", 5},       {"01/12/2026", "Élodie DURAND\nappartement 3", 100000000},
    {"05/12/2026", "Garage Martin", 7000},
};

} // namespace

class TestRegisterWindow : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    void fill(int copies)
    {
        registre::Register reg;
        QVERIFY2(reg.open(), qPrintable(reg.error()));
        for (int c = 0; c < copies; ++c)
            for (const Row &r : kRows) {
                registre::Entry e;
                e.printedAt = QDateTime(QDate(2026, 12, 5), QTime(9, 30));
                e.chequeDate = r.date;
                e.beneficiary = QString::fromUtf8(r.name);
                e.cents = r.cents;
                e.amount = registre::centsText(r.cents);
                e.printer = "Fichier PDF";
                e.paperBin = 7;
                e.orientation = 2;
                QVERIFY2(reg.add(e), qPrintable(reg.error()));
            }
    }

private slots:
    void initTestCase()
    {
        platform::setApplicationFolder(dir.path());
        platform::setToday(QDate(2026, 12, 5));
        platform::setPrinters(std::make_unique<testsupport::PdfOnly>(dir.filePath("pdf")));
        platform::installHelpKey();
        fill(1);
    }

    void filtersCountAndTotal_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QStringList>("names"); // newest first
        QTest::addColumn<QString>("total");
        QTest::newRow("all") << "" << QDate() << QDate()
                             << QStringList{"Garage Martin", "Élodie DURAND\nappartement 3", "=SOMME(A1)",
                                            "Boulangerie \"Au pain; chaud\"", "Durand SARL"}
                             << "5 chèques, total 1 001 324,54 €";
        QTest::newRow("letter case aside")
            << "durand" << QDate() << QDate() << QStringList{"Élodie DURAND\nappartement 3", "Durand SARL"}
            << "2 chèques, total 1 001 234,50 €";
        QTest::newRow("wildcards are letters")
            << "%" << QDate() << QDate() << QStringList() << "Aucun chèque";
        QTest::newRow("period, both ends in")
            << "" << QDate(2026, 11, 15) << QDate(2026, 11, 30)
            << QStringList{"=SOMME(A1)", "Boulangerie \"Au pain; chaud\""} << "2 chèques, total 20,04 €";
        QTest::newRow("from only, with text") << "a" << QDate(2026, 12, 1) << QDate()
                                              << QStringList{"Garage Martin", "Élodie DURAND\nappartement 3"}
                                              << "2 chèques, total 1 000 070,00 €";
    }
    void filtersCountAndTotal()
    {
        QFETCH(QString, text);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        frmRegistre w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::keyClicks(w.txtBénéficiaire, text);
        if (from.isValid()) {
            w.chkDu->setChecked(true);
            w.dtpDu->setDate(from);
        }
        if (to.isValid()) {
            w.chkAu->setChecked(true);
            w.dtpAu->setDate(to);
        }
        QStringList names;
        QAbstractItemModel *m = w.grdChèques->model();
        for (int r = 0; r < m->rowCount(); ++r)
            names << m->index(r, 2).data().toString();
        QTEST(names, "names");
        QTEST(w.lblTotal->text(), "total");
        if (!names.isEmpty()) {
            QCOMPARE(m->index(0, 0).data().toString(), QString("05/12/2026 09:30"));
            QCOMPARE(m->index(0, 3).data(Qt::TextAlignmentRole).toInt(),
                     int(Qt::AlignRight | Qt::AlignVCenter));
            QCOMPARE(m->headerData(3, Qt::Horizontal).toString(), QString("Montant"));
        }
    }

    // Exported, then read with Python's csv module as a spreadsheet-minded reader would.
    void csvReadBack()
    {
        frmRegistre w;
        const QString csv = dir.filePath("export.csv");
        auto exported = [&](const QString &filter) {
            w.txtBénéficiaire->setText(filter);
            QFile::remove(csv);
            platform::setSaveFileNameAnswer([&](const QString &suggested) {
                return suggested.endsWith("registre-20261205.csv") ? csv : QString();
            });
            w.cmdExporter->click();
            platform::setSaveFileNameAnswer(nullptr);
            QProcess py;
            py.start("python3", {"-c",
                                 "import csv, json, sys\n"
                                 "with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
                                 "    print(json.dumps(list(csv.reader(f, delimiter=';'))))",
                                 csv});
            py.waitForFinished(30000);
            QList<QStringList> rows;
            for (const QJsonValue &row : QJsonDocument::fromJson(py.readAllStandardOutput()).array()) {
                QStringList fields;
                for (const QJsonValue &v : row.toArray())
                    fields << v.toString();
                rows << fields;
            }
            return rows;
        };
        // Every name holds an "a", one only as a capital; a formula never reaches the
        // spreadsheet as one.
        const QList<QStringList> rows = exported("a");
        QCOMPARE(testsupport::readAll(csv).left(3), QByteArray("\xEF\xBB\xBF"));
        const QList<QStringList> expected = {
            {"Imprimé le", "Date du chèque", "Bénéficiaire", "Montant", "Imprimante", "Bac", "Orientation",
             "Fichier PDF"},
            {"05/12/2026 09:30", "05/12/2026", "Garage Martin", "70,00", "Fichier PDF", "7", "2", ""},
            {"05/12/2026 09:30", "01/12/2026", "Élodie DURAND\nappartement 3", "1000000,00", "Fichier PDF",
             "7", "2", ""},
            {"05/12/2026 09:30", "30/11/2026", "'=SOMME(A1)", "0,05", "Fichier PDF", "7", "2", ""},
            {"05/12/2026 09:30", "15/11/2026", "Boulangerie \"Au pain; chaud\"", "19,99", "Fichier PDF", "7",
             "2", ""},
            {"05/12/2026 09:30", "03/11/2026", "Durand SARL", "1234,50", "Fichier PDF", "7", "2", ""},
        };
        QCOMPARE(rows, expected);
    }

    // 150 cheques printed as a list on "Fichier PDF": pages as needed, every row there.
    void printedList()
    {
        fill(29); // 150 rows in all
        frmRegistre w;
        platform::MessageBoxRecorder boxes;
        w.mnuFichierPdf->trigger();
        QCOMPARE(boxes.shown.size(), 1);
        const QStringList files = QDir(dir.filePath("pdf")).entryList({"*.pdf"});
        QCOMPARE(files.size(), 1);
        const QString pdf = dir.filePath("pdf/" + files[0]);
        QVERIFY2(boxes.shown[0].text.contains("150 chèques") && boxes.shown[0].text.contains(files[0]),
                 qPrintable(boxes.shown[0].text));
        const QList<testsupport::PdfPage> pages = testsupport::pdfPages(pdf);
        QCOMPARE(pages.size(), 4); // 49 rows a page
        int garages = 0, amounts = 0;
        for (const testsupport::PdfPage &p : pages) {
            QVERIFY(testsupport::findWord(p, "Bénéficiaire"));
            for (const testsupport::PdfWord &word : p.words) {
                garages += word.text == "Garage";
                amounts += word.text == "1234,50";
            }
        }
        QCOMPARE(garages, 30);
        QCOMPARE(amounts, 30);
        QVERIFY(testsupport::findWord(pages.last(), "150"));
    }

    void helpAndMenu()
    {
        frmTolvo main;
        const QList<QAction *> items = main.mnuAide->actions();
        QCOMPARE(items.indexOf(main.mnuRegistre), 1);
        QCOMPARE(items.indexOf(main.mnuAperçu), 2);
        QVERIFY(items[3]->isSeparator());
        QCOMPARE(main.mnuRegistre->text(), QString("&Registre des chèques..."));
        QCOMPARE(main.mnuAperçu->text(), QString("A&perçu du chèque..."));

        frmRegistre w;
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        platform::HelpRecorder help;
        w.txtBénéficiaire->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        QVERIFY(!help.requests.isEmpty());
        QCOMPARE(help.requests.last().data, 1007);
    }
};

QTEST_MAIN(TestRegisterWindow)
#include "test_window.moc"
