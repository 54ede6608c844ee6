// The cheque register: what printing through the main window records (read back
// with the sqlite3 tool), the file under a program killed while it writes, files it
// cannot write or that are not registers, the register window with its search,
// sort, export and printed list, and the preview against the printed page.

#include "app/frmTolvo.h"
#include "cheque/ChequeJob.h"
#include "platform/Shell.h"
#include "platform/forms/FileDialog.h"
#include "platform/forms/MessageBox.h"
#include "platform/help/HelpKey.h"
#include "dialogs/frmMsgBox.h"
#include "platform/UserName.h"
#include "register/frmRegistre.h"
#include "register/frmStatut.h"
#include "support/Gui.h"
#include "support/PdfText.h"
#include "support/RegisterFiles.h"

#include <QtTest>
#include <QtWidgets>
#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace testsupport;

namespace {

registre::Entry entry(const QString &date, const QString &name, qint64 cents)
{
    registre::Entry e;
    e.printedAt = QDateTime(QDate(2026, 12, 5), QTime(9, 30));
    e.chequeDate = date;
    e.beneficiary = name;
    e.amount = registre::centsText(cents);
    e.cents = cents;
    e.printer = "Fichier PDF";
    e.paperBin = 7;
    e.orientation = 2;
    return e;
}

// Child of the kill test: records row after row on the chequebook given, row n
// with n cents and the name "Nom n"; "ready" once one is in. It stops only when a
// cheque could not be recorded.
int record(const QString &path, const QString &chequebook)
{
    registre::Register reg(path);
    qint64 n = 0;
    const auto next = [&] {
        ++n;
        registre::Entry e = entry("05/12/2026", QString("Nom %1").arg(n), n);
        e.chequebook = chequebook;
        e.printId = QUuid::createUuid().toString();
        return reg.add(e);
    };
    if (!reg.open() || !next())
        return 2;
    std::puts("ready");
    std::fflush(stdout);
    // A pause between cheques, as printing makes, lets the other program in.
    while (next())
        QThread::usleep(500);
    return 2;
}

// Prints each row of a CSV file, "|" between fields, line breaks inside them as "/".
const QString kPrintCsv = "import csv, sys\n"
                          "for row in csv.reader(open(sys.argv[1], encoding='utf-8-sig', newline=''),"
                          " delimiter=';'): print('|'.join(row).replace('\\n', '/').replace('\\r', '/'))";

// Oldest first; the window shows them the other way round.
const struct {
    QString date, name;
    qint64 cents;
    qint16 bin, orientation;
    QString binName, orientationName;
    bool pdf;
} kRows[] = {
    {"03/11/2026", "Durand SARL", 123450, 7, 2, "Bac par défaut", "Paysage", false},
    {"15/11/2026", "Boulangerie \"Au pain; chaud\"", 1999, 2, 1, "Bac inférieur", "Portrait", true},
    {"30/11/2026", "=SOMME(A1)", 5, 14, 2, "Bac-cassette", "Paysage", false},
    {"01/12/2026", "Élodie DURAND\nappartement 3", 100000000, 4, 1, "Alimentation manuelle", "Portrait",
     true},
    {"05/12/2026", "Garage Martin", 7000, 300, 2, "Bac par défaut", "Paysage", false},
    {"20/11/2026", "\tÉmile Zoé", 31400, 1, 2, "Bac supérieur", "Paysage", false},
    {"25/11/2026", "\rDécalage & Cœur", 250, 11, 1, "Bac grande capacité", "Portrait", false},
};

int rowOf(const QString &name)
{
    for (int i = 0; i < int(std::size(kRows)); ++i)
        if (kRows[i].name == name)
            return i;
    return -1;
}

QString pdfOf(int row)
{
    return platform::settingsFile(QString("cheque-%1.pdf").arg(row));
}

void fill()
{
    registre::Register reg;
    QVERIFY2(reg.open(), qPrintable(reg.error()));
    for (int i = 0; i < int(std::size(kRows)); ++i) {
        registre::Entry e = entry(kRows[i].date, kRows[i].name, kRows[i].cents);
        e.paperBin = kRows[i].bin;
        e.orientation = kRows[i].orientation;
        if (kRows[i].pdf) {
            e.pdfFile = pdfOf(i);
            QVERIFY(writeAll(e.pdfFile, "%PDF-1.4"));
        }
        QVERIFY2(reg.add(e), qPrintable(reg.error()));
    }
}

// The rows the window shows, as indexes into kRows.
QString shownRows(const frmRegistre &w)
{
    QString rows;
    const QAbstractItemModel *m = w.grdChèques->model();
    for (int r = 0; r < m->rowCount(); ++r)
        rows += QString::number(rowOf(m->index(r, registre::Beneficiary).data().toString()));
    return rows;
}

// The files of a folder, hidden ones included.
QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// As root no permission stops a write: the rest of the scope then runs as "nobody",
// who is given `folders` first.
struct AsUser {
    explicit AsUser(const QStringList &folders) : dropped(::geteuid() == 0)
    {
        if (dropped && run("chown", QStringList{"-R", "65534:65534"} + folders).code == 0)
            dropped = ::setegid(65534) == 0 && ::seteuid(65534) == 0;
    }
    ~AsUser()
    {
        if (dropped && (::seteuid(0) != 0 || ::setegid(0) != 0))
            qFatal("root not regained");
    }
    bool dropped;
};

void setMode(const QString &path, mode_t mode)
{
    QVERIFY(::chmod(QFile::encodeName(path).constData(), mode) == 0);
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
        return texts(boxes);
    }

private slots:
    void initTestCase()
    {
        setMode(dir.path(), 0755); // for the tests run as another user
    }

    void init()
    {
        platform::installHelpKey();
        useOwnFolder(dir);
    }

    // Refused cheques and pages that never left are not recorded; a damaged
    // register, or an SQLite file of another program whether or not it has a table
    // named like the register's, is set aside untouched, with a message, and the
    // cheque recorded in a new one; a register of a newer Tolvo is left untouched
    // and the cheque is not printed.
    void printedChequesAreRecorded()
    {
        const QString reg = registre::filePath(), out = platform::settingsFile("pdf");
        QCOMPARE(print("1234,5", "Durand & Fils; \"SARL\""), QStringList());
        QCOMPARE(print("0", "Refusé"), QStringList{"Un montant nul n'est pas autorisé."});
        QCOMPARE(print("7,05", "Élise Müller"), QStringList());
        QVERIFY(writeAll(out + "-file", "x")); // the PDF cannot be written
        platform::setPrinters(std::make_unique<PdfOnly>(out + "-file/sub"));
        QCOMPARE(print("99", "Jamais parti").size(), 1);
        QCOMPARE(sql("SELECT cheque_date, beneficiary, amount, cents, printer, paper_bin, orientation"
                     " FROM cheques ORDER BY id"),
                 QString("05/12/2026|Durand & Fils; \"SARL\"|1 234,50|123450|Fichier PDF|7|2\n"
                         "05/12/2026|Élise Müller|7,05|705|Fichier PDF|7|2"));
        for (const QString &file : sql("SELECT pdf_file FROM cheques").split('\n'))
            QVERIFY2(file.startsWith(out + "/") && QFile::exists(file), qPrintable(file));

        platform::setPrinters(std::make_unique<PdfOnly>(out));
        const QString foreign = "Le fichier du registre des chèques n'est pas un registre de Tolvo.";
        const struct {
            QString sql, aside, told; // no `aside`: left as it is, and nothing printed
        } unusable[] = {
            {"", "endommagé", "Le registre des chèques était endommagé."},
            {"CREATE TABLE cheques (numero INTEGER); INSERT INTO cheques VALUES (1);", "inconnu", foreign},
            {"CREATE TABLE notes (texte TEXT);", "inconnu", foreign},
            {QString("PRAGMA application_id = 1416588406; PRAGMA user_version = %1; CREATE TABLE cheques"
                     " (id INTEGER PRIMARY KEY, serial TEXT);")
                 .arg(registre::schemaVersion + 1),
             "",
             "Le chèque ne peut pas être inscrit au registre : rien n'a été imprimé.\r\nLe registre a été "
             "créé par une version plus récente de Tolvo.\r\n" +
                 reg},
        };
        for (const auto &u : unusable) {
            QVERIFY(QFile::remove(reg));
            QVERIFY(!u.sql.isEmpty()
                        ? run("sqlite3", {reg, u.sql}).code == 0
                        : writeAll(reg, QByteArray("SQLite format 3") + QByteArray(5000, '\x5a')));
            const QByteArray before = readAll(reg);
            const int pdfs = QDir(out).entryList(QDir::Files).size();
            const QStringList told = print("20", "Après dégât");
            const QStringList aside = QDir(platform::settingsFolder()).entryList({"Registre-*"});
            if (u.aside.isEmpty()) {
                QCOMPARE(told, QStringList(u.told));
                QVERIFY(aside.isEmpty() && QDir(out).entryList(QDir::Files).size() == pdfs);
                QCOMPARE(readAll(reg), before);
                continue;
            }
            QVERIFY2(aside.size() == 1 && aside[0].startsWith("Registre-" + u.aside + "-") &&
                         told.size() == 1 && told[0].startsWith(u.told) && told[0].contains(aside[0]),
                     qPrintable(told.join('\n')));
            QCOMPARE(readAll(platform::settingsFile(aside[0])), before);
            QCOMPARE(sql("SELECT beneficiary, cents FROM cheques"), QString("Après dégât|2000"));
            QVERIFY(QFile::remove(platform::settingsFile(aside[0])));
        }
    }

    // Two programs recording at once on one chequebook, killed: the file always
    // opens afterwards, every row whole with its number and history, none lost once
    // committed, no number given twice or skipped, and neither program ever refused
    // a cheque while the other wrote.
    void killedWhileRecording()
    {
        const QString path = registre::filePath();
        useChequebook("000000000001", "999999999999");
        const QString book = registre::chequebookInUse();
        qint64 last = 0;
        for (int kill = 0; kill < 10; ++kill) {
            QProcess children[2];
            for (QProcess &child : children) {
                child.start(QCoreApplication::applicationFilePath(), {"--record", path, book});
                QVERIFY(child.waitForReadyRead(30000) && child.readLine() == "ready\n");
            }
            QThread::usleep(10000 + QRandomGenerator::global()->bounded(40000));
            for (QProcess &child : children) {
                QCOMPARE(child.state(), QProcess::Running);
                child.kill();
                QVERIFY(child.waitForFinished());
            }
            const QStringList counts =
                sql("PRAGMA integrity_check; SELECT COUNT(*), MAX(id), SUM(beneficiary <> 'Nom ' || cents"
                    " OR amount = '' OR printed_at = '' OR printer <> 'Fichier PDF' OR number <> id"
                    " OR status <> 'émis' OR print_id IS NULL), COUNT(DISTINCT number),"
                    " (SELECT next_number - 1 FROM chequebooks), (SELECT COUNT(DISTINCT cheque_id) FROM"
                    " history) FROM cheques")
                    .split(QRegularExpression("[|\n]"));
            QVERIFY2(counts.size() == 7 && counts[0] == "ok" && counts[1].toLongLong() > last + 1 &&
                         counts[2] == counts[1] && counts[3] == "0" && counts[4] == counts[1] &&
                         counts[5] == counts[1] && counts[6] == counts[1],
                     qPrintable(counts.join(' ')));
            last = counts[1].toLongLong();
            registre::Register reg(path);
            QVERIFY2(reg.open() && reg.setAsideAs().isEmpty(), qPrintable(reg.error()));
        }
    }

    // The window's rows (newest first), count and total as searched (blind to case
    // and accents) and dated; F1; the rows exported and read back with Python's csv
    // module, bins and orientations by name, texts a spreadsheet would run guarded. A
    // click on a header sorts by its column (amounts as numbers, dates as dates, names
    // as the search reads them), a second click the other way, the search kept, which
    // Enter does not export; the printed list follows. Enter or a double-click opens
    // the PDF of a cheque printed to "Fichier PDF", nothing on the others. An export
    // cut short by a full disk leaves nothing cut.
    void searchSortExportAndOpen()
    {
        fill();
        frmRegistre w;
        QVERIFY(showActive(w));
        QCOMPARE(f1(w.txtBénéficiaire), 1007);
        const struct {
            QString text;
            QDate from, to;
            QString rows; // indexes into kRows
            QString total;
        } cases[] = {
            {"%", {}, {}, "", "Aucun chèque"}, // wildcards are letters
            {"", {2026, 11, 15}, {2026, 11, 30}, "6521", "4 chèques, total 336,54 €"},
            {"a", {2026, 12, 1}, {}, "43", "2 chèques, total 1 000 070,00 €"},
            {"durand", {}, {2026, 11, 30}, "0", "1 chèque, total 1 234,50 €"},
            {"émile", {}, {}, "5", "1 chèque, total 314,00 €"},
            {"dec", {}, {}, "6", "1 chèque, total 2,50 €"},
            {"CŒUR", {}, {}, "6", "1 chèque, total 2,50 €"},
            {"", {}, {}, "6543210", "7 chèques, total 1 001 641,04 €"},
        };
        for (const auto &c : cases) {
            w.txtBénéficiaire->setFocus();
            w.txtBénéficiaire->selectAll();
            type(c.text.isEmpty() ? "\b" : c.text); // typed, letter by letter
            w.chkDu->setChecked(c.from.isValid());
            w.dtpDu->setDate(c.from); // an invalid date leaves it as it is
            w.chkAu->setChecked(c.to.isValid());
            w.dtpAu->setDate(c.to);
            QCOMPARE(shownRows(w), c.rows);
            QCOMPARE(w.lblTotal->text(), c.total);
        }
        const QString csv = dir.filePath("export.csv");
        platform::MessageBoxRecorder boxes;
        platform::setSaveFileNameAnswer([&](const QString &suggested) {
            return suggested.endsWith("registre-20261205.csv") ? csv : QString();
        });
        w.cmdExporter->click();
        platform::setSaveFileNameAnswer(nullptr);
        QCOMPARE(texts(boxes), QStringList());
        QCOMPARE(readAll(csv).left(3), QByteArray("\xEF\xBB\xBF"));
        const QString at = "05/12/2026 09:30|||", issued = "|émis|05/12/2026||Fichier PDF|";
        QCOMPARE(
            run("python3", {"-c", kPrintCsv, csv}).out.trimmed().split('\n'),
            QStringList({"Imprimé le|Carnet|Numéro|Date du chèque|Bénéficiaire|Montant|État|Date de "
                         "l'état|Motif|Imprimante|Bac|Orientation|Fichier PDF",
                         at + "25/11/2026|'/Décalage & Cœur|2,50" + issued + "Bac grande capacité|Portrait|",
                         at + "20/11/2026|'\tÉmile Zoé|314,00" + issued + "Bac supérieur|Paysage|",
                         at + "05/12/2026|Garage Martin|70,00" + issued + "Bac par défaut|Paysage|",
                         at + "01/12/2026|Élodie DURAND/appartement 3|1000000,00" + issued +
                             "Alimentation manuelle|Portrait|" + pdfOf(3),
                         at + "30/11/2026|'=SOMME(A1)|0,05" + issued + "Bac-cassette|Paysage|",
                         at + "15/11/2026|Boulangerie \"Au pain; chaud\"|19,99" + issued +
                             "Bac inférieur|Portrait|" + pdfOf(1),
                         at + "03/11/2026|Durand SARL|1234,50" + issued + "Bac par défaut|Paysage|"}));

        QHeaderView *header = w.grdChèques->horizontalHeader();
        const auto click = [&](int column) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(column) + 10, header->height() / 2));
        };
        const struct {
            int column;
            QString rows;
        } clicks[] = {
            {registre::Amount, "2614503"},      {registre::Amount, "3054162"},
            {registre::ChequeDate, "0156234"},  {registre::Beneficiary, "5621034"},
            {registre::Beneficiary, "4301265"}, {registre::PrintedAt, "0123456"},
            {registre::Amount, "2614503"},
        };
        for (const auto &c : clicks) {
            click(c.column);
            QCOMPARE(shownRows(w), c.rows);
        }
        w.txtBénéficiaire->setFocus();
        int asked = 0; // Enter in the search box exports nothing
        platform::setSaveFileNameAnswer([&](const QString &) { return ++asked, QString(); });
        type("a");
        QTest::keyClick(w.txtBénéficiaire, Qt::Key_Return);
        platform::setSaveFileNameAnswer(nullptr);
        QCOMPARE(asked, 0);
        QCOMPARE(shownRows(w), QString("261403"));

        w.printList(true);
        const QStringList told = texts(boxes);
        QVERIFY2(told.size() == 1 && told[0].startsWith("La liste (6 chèques) a été enregistrée"),
                 qPrintable(told.join('\n')));
        const QList<PdfPage> pages = pdfPages(told[0].section("\r\n", 1));
        QCOMPARE(pages.size(), 1);
        QMap<int, QMap<double, QString>> lines; // words by line (to a tenth of a millimetre), left to right
        for (const PdfWord &word : pages[0].words)
            lines[int(word.yMin * 10 + 0.5)][word.xMin] = word.text;
        QStringList printed;
        for (const auto &words : lines)
            if (words.first() == "05/12/2026")
                printed << words.values().join(' ');
        QCOMPARE(printed,
                 QStringList(
                     {"05/12/2026 09:30 30/11/2026 =SOMME(A1) 0,05 émis Bac-cassette Paysage",
                      "05/12/2026 09:30 25/11/2026 Décalage & Cœur 2,50 émis Bac grande capacité Portrait",
                      "05/12/2026 09:30 15/11/2026 Boulangerie \"Au pain; chaud\" 19,99 émis Bac inférieur "
                      "Portrait",
                      "05/12/2026 09:30 05/12/2026 Garage Martin 70,00 émis Bac par défaut Paysage",
                      "05/12/2026 09:30 03/11/2026 Durand SARL 1234,50 émis Bac par défaut Paysage",
                      "05/12/2026 09:30 01/12/2026 Élodie DURAND appartement 3 1000000,00 émis Alimentation "
                      "manuelle Portrait"}));

        const auto select = [&](int row) {
            const QAbstractItemModel *m = w.grdChèques->model();
            for (int r = 0; r < m->rowCount(); ++r)
                if (rowOf(m->index(r, registre::Beneficiary).data().toString()) == row)
                    return m->index(r, registre::Beneficiary);
            return QModelIndex();
        };
        QVERIFY(select(1).data(Qt::ToolTipRole).toString().endsWith(pdfOf(1)));
        platform::ShellRecorder shell;
        const auto open = [&](int row, bool enter) {
            const QModelIndex index = select(row);
            w.grdChèques->setCurrentIndex(index);
            w.grdChèques->setFocus();
            if (enter)
                QTest::keyClick(w.grdChèques, Qt::Key_Return);
            else // as the system sends a double-click: press, release, double-click, release
                for (const auto action : {QTest::MouseClick, QTest::MouseDClick, QTest::MouseRelease})
                    QTest::mouseEvent(action, w.grdChèques->viewport(), Qt::LeftButton, {},
                                      w.grdChèques->visualRect(index).center());
            const QString opened = shell.requests.isEmpty() ? "" : shell.requests.takeFirst().file;
            return shell.requests.isEmpty() ? opened : "twice";
        };
        QCOMPARE(open(1, true), pdfOf(1));
        QCOMPARE(open(4, true), "");
        QCOMPARE(open(3, false), pdfOf(3));
        QCOMPARE(open(0, false), "");
        QCOMPARE(texts(boxes).size(), 1);
        QVERIFY(QFile::remove(pdfOf(3)));
        QCOMPARE(open(3, true), "");
        QCOMPARE(texts(boxes).last(), "Le fichier " + pdfOf(3) + " n'existe plus.");

        // An export to a disk that fills up (a file-size limit cuts its writes short):
        // the previous file stays as it was, nothing else is left, and the user is told.
        const QString full = dir.filePath("full"), cut = full + "/registre.csv";
        QVERIFY(QDir().mkpath(full) && writeAll(cut, "previous"));
        platform::setSaveFileNameAnswer([&](const QString &) { return cut; });
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{}, before{};
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &before) == 0);
        limit = {400, before.rlim_max}; // the header and two rows
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &limit) == 0);
        w.cmdExporter->click();
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &before) == 0);
        platform::setSaveFileNameAnswer(nullptr);
        QCOMPARE(texts(boxes).last(),
                 "Le fichier " + cut + " n'a pas pu être écrit.\r\nErreur d'écriture sur le disque.");
        QCOMPARE(filesIn(full), QStringList{"registre.csv"});
        QCOMPARE(readAll(cut), QByteArray("previous"));
    }

    // Cheques of a chequebook marked debited, cancelled, printed again and leaves
    // skipped from the register window, driven by keys; each change in the history
    // with who made it, refused where the status cannot change; the filters, the
    // totals, the CSV read back and the printed list agree; the file refuses to lose
    // a row or to give a number twice.
    void statusesFromTheWindow()
    {
        platform::setUserFullName(QString("Marie Dupont"));
        useChequebook("0001230", "0001249");
        {
            registre::Register reg;
            QVERIFY(reg.open() && reg.add(entry("01/12/2026", "Ancien", 5000)));
            for (const auto &[name, cents] :
                 {std::pair{"Durand", 10000}, {"Martin", 25050}, {"Petit", 3000}, {"Garage", 123400}}) {
                registre::Entry e = entry("04/12/2026", name, cents);
                e.chequebook = registre::chequebookInUse();
                QVERIFY2(reg.add(e), qPrintable(reg.error()));
            }
        }
        frmRegistre w(nullptr, [] {
            return registre::PrintSettings{cheque::ChequeInput{"", "", "", true, "7", "1", "", 0, 0, "Arial"},
                                           "Fichier PDF"};
        });
        QVERIFY(showActive(w));
        platform::MessageBoxRecorder boxes;
        const auto rows = [&] {
            QStringList shown;
            const QAbstractItemModel *m = w.grdChèques->model();
            for (int r = 0; r < m->rowCount(); ++r)
                shown << QStringList{m->index(r, registre::Number).data().toString(),
                                     m->index(r, registre::Beneficiary).data().toString(),
                                     m->index(r, registre::Amount).data().toString(),
                                     m->index(r, registre::Status).data().toString()}
                             .join(' ');
            return shown;
        };
        // Rows counted from the newest; `more` extends the selection downwards.
        const auto act = [&](int row, int more, Qt::Key key) {
            w.activateWindow(); // the last dialog had it
            QTRY_VERIFY(QApplication::activeWindow() == &w);
            w.grdChèques->setFocus();
            QTest::keyClick(w.grdChèques, Qt::Key_Home);
            for (int i = 0; i < row; ++i)
                QTest::keyClick(w.grdChèques, Qt::Key_Down);
            for (int i = 0; i < more; ++i)
                QTest::keyClick(w.grdChèques, Qt::Key_Down, Qt::ShiftModifier);
            const int before = boxes.dialogsRun;
            QTest::keyClick(&w, key, Qt::AltModifier);
            QTRY_VERIFY2(boxes.dialogsRun > before,
                         qPrintable(texts(boxes).join(" / ") + " " + QString::number(key)));
        };
        const auto typed = [](const QString &text) {
            return answer<QDialog>([text](QDialog &) { type(text); });
        };

        boxes.queueDialog(typed("10122026"));
        act(2, 1, Qt::Key_M); // Martin and Durand debited on the 10th
        boxes.queueDialog(typed("Erreur de montant"));
        act(1, 0, Qt::Key_N); // Petit cancelled
        boxes.queueDialog(typed("Perdu"));
        act(3, 0, Qt::Key_N); // Durand, debited, stays so
        boxes.queueDialog([&](QDialog &d) {
            auto &box = dynamic_cast<frmMsgBox &>(d);
            QCOMPARE(box.Message(),
                     QString("Réimprimer le chèque n° 0001233 de 1 234,00 € à Garage, daté du "
                             "04/12/2026, sur le chèque n° 0001234 du carnet « Compte courant » ?"
                             "\r\nL'ancien chèque sera marqué comme annulé."));
            box.show();
            QTest::keyClick(box.cmdAction[1], Qt::Key_Return);
        });
        act(0, 0, Qt::Key_R); // Garage printed again
        boxes.queueDialog(answer<frmSaut>([](frmSaut &d) {
            QCOMPARE(d.lblNuméro->text(), QString("0001235"));
            QTest::keyClick(&d, Qt::Key_H, Qt::AltModifier);
            QTRY_VERIFY(d.txtBénéficiaire->isEnabled());
            for (const auto &[key, text] : {std::pair{Qt::Key_B, "Plombier"},
                                            {Qt::Key_M, "80"},
                                            {Qt::Key_T, "3/12/26"},
                                            {Qt::Key_O, "rempli à la main"}}) {
                QTest::keyClick(&d, key, Qt::AltModifier);
                type(text);
            }
        }));
        act(0, 0, Qt::Key_S); // a leaf written by hand
        boxes.queueDialog(answer<frmSaut>([](frmSaut &d) {
            QTest::keyClick(&d, Qt::Key_O, Qt::AltModifier);
            type("déchiré");
        }));
        act(0, 0, Qt::Key_S); // a leaf torn
        QCOMPARE(texts(boxes), QStringList{"Le chèque n'a pas changé : un chèque annulé le reste, un chèque "
                                           "débité ne peut plus être annulé."});

        QCOMPARE(rows(),
                 QStringList({"0001236   annulé le 05/12/2026", "0001235 Plombier 80,00 hors Tolvo",
                              "0001234 Garage 1 234,00 émis", "0001233 Garage 1234,00 annulé le 05/12/2026",
                              "0001232 Petit 30,00 annulé le 05/12/2026",
                              "0001231 Martin 250,50 débité le 10/12/2026",
                              "0001230 Durand 100,00 débité le 10/12/2026", " Ancien 50,00 émis"}));
        QCOMPARE(w.lblTotal->text(), QString("8 chèques dont 3 annulés, total 1 714,50 €"));
        QCOMPARE(w.lblADébiter->text(), QString("À débiter : 3 chèques, 1 364,00 €"));
        QVERIFY(w.grdChèques->model()
                    ->index(3, registre::Status)
                    .data(Qt::ToolTipRole)
                    .toString()
                    .endsWith("annulé le 05/12/2026 (Marie Dupont) : remplacé par n° 0001234"));
        const QList<PdfPage> page = pdfPages(sql("SELECT pdf_file FROM cheques WHERE number = 1234"));
        QVERIFY(page.size() == 1 && findWord(page[0], "Garage") && findWord(page[0], "**1") &&
                findWord(page[0], "**MILLE"));

        // The filters, by keys: not yet debited; then the chequebook's alone, exported.
        w.cboÉtat->setFocus();
        QTest::keyClick(w.cboÉtat, Qt::Key_Down);
        QCOMPARE(rows().size(), 3);
        QCOMPARE(w.lblTotal->text(), QString("3 chèques, total 1 364,00 €"));
        QTest::keyClick(w.cboÉtat, Qt::Key_Home);
        w.cboCarnet->setFocus();
        QTest::keyClick(w.cboCarnet, Qt::Key_End); // "Sans carnet"
        QCOMPARE(rows(), QStringList{" Ancien 50,00 émis"});
        QTest::keyClick(w.cboCarnet, Qt::Key_Up);
        QCOMPARE(w.lblTotal->text(), QString("7 chèques dont 3 annulés, total 1 664,50 €"));
        QCOMPARE(w.lblADébiter->text(), QString("À débiter : 2 chèques, 1 314,00 €"));
        const QString csv = dir.filePath("carnet.csv");
        platform::setSaveFileNameAnswer([&](const QString &) { return csv; });
        w.cmdExporter->click();
        platform::setSaveFileNameAnswer(nullptr);
        QStringList exported = run("python3", {"-c", kPrintCsv, csv}).out.trimmed().split('\n');
        QCOMPARE(exported.takeFirst(),
                 QString("Imprimé le|Carnet|Numéro|Date du chèque|Bénéficiaire|Montant|État|"
                         "Date de l'état|Motif|Imprimante|Bac|Orientation|Fichier PDF"));
        QStringList fields;
        for (const QString &line : exported) {
            const QStringList f = line.split('|');
            fields << QStringList(f.mid(1, 4) + f.mid(6, 3) + f.mid(10, 1)).join('|');
        }
        const QString bin = "|Bac par défaut";
        QCOMPARE(
            fields,
            QStringList({"Compte courant|0001236|||annulé|05/12/2026|déchiré|",
                         "Compte courant|0001235|03/12/2026|Plombier|hors Tolvo|05/12/2026|rempli à la "
                         "main|",
                         "Compte courant|0001234|04/12/2026|Garage|émis|" +
                             QDate::currentDate().toString("dd/MM/yyyy") + "|" + bin,
                         "Compte courant|0001233|04/12/2026|Garage|annulé|05/12/2026|remplacé par n° "
                         "0001234" +
                             bin,
                         "Compte courant|0001232|04/12/2026|Petit|annulé|05/12/2026|Erreur de montant" + bin,
                         "Compte courant|0001231|04/12/2026|Martin|débité|10/12/2026|" + bin,
                         "Compte courant|0001230|04/12/2026|Durand|débité|10/12/2026|" + bin}));
        w.printList(true);
        const QList<PdfPage> list = pdfPages(texts(boxes).last().section("\r\n", 1));
        QStringList printed;
        for (const PdfWord &word : list.value(0).words)
            printed << word.text;
        QVERIFY2(printed.join(' ').contains(
                     "Compte courant 0001231 04/12/2026 Martin 250,50 débité le 10/12/2026"),
                 qPrintable(printed.join(' ')));

        // What the file itself refuses, whatever program writes to it.
        const QString path = registre::filePath();
        QCOMPARE(sql("SELECT COUNT(*), GROUP_CONCAT(status || ':' || who || ':' || reason, ',') FROM history"
                     " WHERE cheque_id = 5"),
                 QString("2|émis:Marie Dupont:,annulé:Marie Dupont:remplacé par n° 0001234"));
        for (const char *refused :
             {"DELETE FROM cheques WHERE id = 1", "DELETE FROM history", "UPDATE history SET who = 'X'",
              "UPDATE cheques SET number = 1230 WHERE number = 1231"})
            QVERIFY2(run("sqlite3", {path, refused}).code != 0, refused);
        QCOMPARE(sql("SELECT COUNT(*), COUNT(DISTINCT number) FROM cheques; SELECT COUNT(*) FROM history"),
                 QString("8|7\n12"));
    }

    // A register of the first schema, in a read-only folder, then read-only itself:
    // shown, searched and exported as it stands, every cheque refused with the
    // reason before it is printed, nothing written beside it. Writable again, even
    // after a program that left its companion files read-only, it records and is
    // brought up to date keeping every row, issued and without a number.
    void readOnlyRegister()
    {
        const QString path = registre::filePath(), folder = platform::settingsFolder();
        QVERIFY(
            run("sqlite3", {path, R"(PRAGMA journal_mode=WAL; CREATE TABLE cheques (id INTEGER PRIMARY KEY,
            printed_at TEXT NOT NULL, cheque_date TEXT NOT NULL, cheque_day TEXT NOT NULL,
            beneficiary TEXT NOT NULL, amount TEXT NOT NULL, cents INTEGER NOT NULL, printer TEXT NOT NULL,
            paper_bin INTEGER NOT NULL, orientation INTEGER NOT NULL, pdf_file TEXT NOT NULL);
            INSERT INTO cheques VALUES (1, '2025-01-02T10:00:00', '02/01/2025', '2025-01-02', 'Émile Zoé',
            '12,00', 1200, 'Bureau', 2, 1, ''), (2, '2025-01-03T10:00:00', '03/01/2025', '2025-01-03', 'Garage',
            '7,00', 700, 'Bureau', 7, 2, ''); PRAGMA user_version = 1;)"})
                .code == 0);
        const QByteArray before = readAll(path);
        const QString exports = dir.filePath("exports"), csv = exports + "/registre.csv";
        QVERIFY(QDir().mkpath(exports));
        AsUser nobody({folder, exports});
        for (const QString reason : {"Le dossier", "Le fichier"}) {
            setMode(folder, reason == "Le dossier" ? 0555 : 0755);
            setMode(path, reason == "Le dossier" ? 0644 : 0444);
            for (int i = 0; i < 2; ++i) // refused before anything is printed
                QCOMPARE(print("1", "Refusé"),
                         QStringList("Le chèque ne peut pas être inscrit au registre : rien n'a été imprimé."
                                     "\r\n" +
                                     reason + " du registre est en lecture seule.\r\n" + path));
            platform::MessageBoxRecorder boxes;
            frmRegistre w;
            QCOMPARE(w.lblTotal->text(), QString("2 chèques, total 19,00 €"));
            QCOMPARE(w.lblADébiter->text(), QString("À débiter : 2 chèques, 19,00 €"));
            QCOMPARE(w.lblLectureSeule->text(), reason +
                                                    " du registre est en lecture seule. Les chèques imprimés "
                                                    "ne peuvent pas y être inscrits.");
            QVERIFY(!w.cmdDébité->isEnabled() && !w.cmdSauter->isEnabled());
            w.txtBénéficiaire->setText("EMILE");
            QCOMPARE(w.lblTotal->text(), QString("1 chèque, total 12,00 €"));
            platform::setSaveFileNameAnswer([&](const QString &) { return csv; });
            w.cmdExporter->click();
            platform::setSaveFileNameAnswer(nullptr);
            QCOMPARE(run("python3", {"-c", kPrintCsv, csv}).out.trimmed().split('\n').value(1),
                     "02/01/2025 10:00|||02/01/2025|Émile Zoé|12,00|émis|02/01/2025||Bureau|Bac inférieur|"
                     "Portrait|");
            QCOMPARE(texts(boxes), QStringList());
            QCOMPARE(filesIn(folder), QStringList{"Registre.sqlite"});
            QCOMPARE(readAll(path), before);
        }

        // What reading it with SQLite leaves: its companions, read-only like it.
        sql("SELECT COUNT(*) FROM cheques");
        QCOMPARE(filesIn(folder).size(), 3);
        setMode(path, 0644);
        QCOMPARE(print("3", "Émilie"), QStringList());
        QCOMPARE(
            sql("PRAGMA user_version; SELECT id, beneficiary, beneficiary_key, cents, number IS NULL,"
                " status, status_day FROM cheques"),
            QString(
                "%1\n1|Émile Zoé|emile zoe|1200|1|émis|2025-01-02\n2|Garage|garage|700|1|émis|2025-01-03\n"
                "3|Émilie|emilie|300|1|émis|%2")
                .arg(registre::schemaVersion)
                .arg(QDate::currentDate().toString(Qt::ISODate)));
        frmRegistre w;
        QVERIFY(w.lblLectureSeule->isHidden());
        w.txtBénéficiaire->setText("émil");
        QCOMPARE(w.lblTotal->text(), QString("2 chèques, total 15,00 €"));
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
        return record(argv[2], argv[3]);
    TestRegister test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_register.moc"
