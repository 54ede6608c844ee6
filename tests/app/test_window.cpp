// The main window against real settings files: start-up, the lists growing as the
// user types, the menus and help, and the printer set-up dialogs driven by keys.

#include "app/frmTolvo.h"
#include "dialogs/frmMsgBox.h"
#include "platform/Application.h"
#include "platform/forms/MessageBox.h"
#include "platform/help/HelpKey.h"
#include "platform/help/HelpViewer.h"
#include "printer/Capabilities.h"
#include "printer/PrintSetupDialog.h"
#include "printer/frmConfig.h"
#include "support/FakePrinter.h"
#include "support/Gui.h"
#include "support/TestFiles.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

using namespace testsupport;

namespace {

// The printer panel's captions and tags, the adjustments, the list and stars flags
// and the font; or the advice when it does not match the tags.
QString describe(const frmTolvo &w)
{
    const QString advice = w.lblOrientation->Tag == "1"
                               ? printer::portraitPositioningText
                               : printer::positioningText(w.lblPositionnement->Tag.toInt());
    if (w.lblPositionnement->text() != advice)
        return "advice: " + w.lblPositionnement->text();
    return QString("%1 | %2 | %3 | %4 | %5 | %6 | %7 | %8 | %9%10 %11 | %12")
        .arg(w.lblImprimante->text(), w.lblPaperBin->Tag, w.lblPaperBin->text(), w.lblOrientation->Tag,
             w.lblOrientation->text(), w.lblPositionnement->Tag, QString::number(w.HorAjust),
             QString::number(w.VerAjust), QString(w.AddMontant ? "+" : "-"),
             QString(w.AddBénéficiaire ? "+" : "-"), QString(w.chkEtoiles->isChecked() ? "*" : "-"), w.sFont);
}

// Replaces the box's text by typing, then leaves it for the date box.
void typeAndLeave(frmTolvo &w, QComboBox *box, const QString &keys)
{
    box->lineEdit()->clear();
    box->setFocus();
    QTRY_VERIFY(box->hasFocus());
    type(keys);
    QTest::mouseClick(w.txtDate, Qt::LeftButton);
    QTRY_VERIFY(w.txtDate->hasFocus());
}

} // namespace

class TestWindow : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<frmTolvo> w;
    platform::FakePrinters *printers = nullptr;

    QString file() const { return dir.filePath("Tolvo.ini"); }
    void start(const QString &content)
    {
        QFile::remove(file());
        if (!content.isEmpty())
            QVERIFY(writeAll(file(), iniBytes(content)));
        w = std::make_unique<frmTolvo>();
        w->Form_Load();
        QVERIFY(showActive(*w));
    }

private slots:
    void initTestCase() { platform::installHelpKey(); }
    void init()
    {
        platform::setApplicationFolder(dir.path());
        platform::setToday(QDate(2026, 12, 5));
        auto list = std::make_unique<platform::FakePrinters>();
        auto &hp = list->add("HP LaserJet", "usb://HP/LaserJet");
        hp.paperBin = 2;
        hp.rotation = 270;
        list->add("Canon", "ipp://canon").sources = {{1, "Upper"}, {2, "Lower"}};
        printers = list.get();
        platform::setPrinters(std::move(list));
    }
    void cleanup()
    {
        w.reset();
        platform::setPrinters(nullptr);
    }

    void startUp_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("panel");
        // clang-format off
        QTest::newRow("no file") << QString()
            << "HP LaserJet | 2 | Bac inférieur | 2 | Orientation Paysage | 270 | 0 | 0 | ++ - | Arial";
        QTest::newRow("saved printer, portrait")
            << "[Défaut]\nImprimante=Canon\nAutoAjout1=Oui\nAutoAjout2=\nEncadrement=Oui\nFont=Courier New\n"
               "[Canon]\nPaperBin=4\nOrientation=1\nHorAjust=-3\nVerAjust=2\n"
            << "Canon | 4 | Alimentation manuelle | 1 | Orientation Portrait |  | -3 | 2 | -+ * | Courier New";
        QTest::newRow("saved printer without section") << "[Défaut]\nImprimante=Canon\nAutoAjout2=Non\n"
            << "Canon | 7 | Bac par défaut | 2 | Orientation Paysage | 90 | 0 | 0 | +- - | Arial";
        QTest::newRow("saved orientation without bin") << "[Défaut]\nImprimante=HP LaserJet\n[HP LaserJet]\nOrientation=1\n"
            << "HP LaserJet | 7 | Bac par défaut | 1 | Orientation Portrait |  | 0 | 0 | ++ - | Arial";
        QTest::newRow("hand-edited, names in other case")
            << "[DÉFAUT]\nimprimante=Canon\nautoajout1=Non\nEncadrement=oui\n"
               "[Canon]\nPaperBin=99999\nOrientation=1\nHorAjust=40000\nVerAjust=abc\n"
            << "Canon | 99999 | Bac par défaut | 1 | Orientation Portrait |  | 0 | 0 | -+ - | Arial";
        // clang-format on
    }
    // Starting reads everything and writes nothing.
    void startUp()
    {
        QFETCH(QString, content);
        start(content);
        QTEST(describe(*w), "panel");
        // The advice fits inside its frame, clear of the border.
        const QRect advice = w->lblPositionnement->geometry();
        QVERIFY(w->fraPositionnement->contentsRect().contains(advice));
        QVERIFY(w->lblPositionnement->heightForWidth(advice.width()) <= advice.height());
        QCOMPARE(w->txtDate->text(), QString("05/12/26"));
        QCOMPARE(readAll(file()), content.isEmpty() ? QByteArray() : iniBytes(content));
    }

    // A settings file the program did not write (bytes of every value, NULs, a lone
    // "[") still starts the window and takes a new amount, every other byte kept; a
    // read-only folder says, once and at once, that the amount could not be saved.
    void troubledFile()
    {
        QByteArray garbage("[D\xE9"
                           "faut]\0\r\nFo\0nt=\0Times\r\n=\r\n[\r\n[Bruit]\r\n",
                           40);
        for (int i = 1; i < 256; ++i)
            garbage += i == '\r' || i == '\n' ? 'x' : char(i);
        garbage += "\r\n";
        for (const bool readOnly : {false, true}) {
            QVERIFY(writeAll(file(), garbage));
            w = std::make_unique<frmTolvo>();
            w->Form_Load();
            QVERIFY(showActive(*w));
            QVERIFY(describe(*w).startsWith("HP LaserJet | 2 | Bac inférieur | 2 | Orientation Paysage"));
            // As root, permissions stop nothing: the write then runs as "nobody".
            const QByteArray folder = QFile::encodeName(dir.path());
            const bool asNobody = readOnly && ::geteuid() == 0;
            if (readOnly && (::chmod(folder.constData(), 0555) != 0 || (asNobody && ::seteuid(65534) != 0)))
                QFAIL("cannot make the folder read-only");
            platform::MessageBoxRecorder boxes;
            QElapsedTimer clock;
            clock.start();
            typeAndLeave(*w, w->cboMontant, "20");
            const qint64 took = clock.elapsed();
            if (asNobody && ::seteuid(0) != 0)
                qFatal("cannot get root back");
            ::chmod(folder.constData(), 0700);
            QCOMPARE(boxes.shown.size(), readOnly ? 1 : 0);
            QVERIFY(took < 3000);
            QCOMPARE(platform::comboEntries(w->cboMontant), QStringList({"20,00"}));
            const QByteArray after = readAll(file());
            QVERIFY(after.startsWith(garbage) || after.endsWith(garbage));
            QCOMPARE(after.contains("[Montants]\r\n0=20,00\r\n"), !readOnly);
        }
    }

    // Typed entries join their own list and section; the stars follow the box;
    // Alt+I prints the amount after adding it. Only digits, one comma (a point
    // becomes it) and Backspace get into an amount.
    void listsGrow()
    {
        start("[Montants]\n5=30,00\n9=100,00\n[Bénéficiaires]\n3=Dupont\n[Défaut]\nMontant=30,00\n");
        typeAndLeave(*w, w->cboMontant, "a-/20:.,5.é9\b");
        QCOMPARE(w->cboMontant->currentText(), QString("20,50"));
        typeAndLeave(*w, w->cboMontant, "30"); // known: not added again
        typeAndLeave(*w, w->cboBénéficiaire, "dupont");
        QTest::mouseClick(w->chkEtoiles, Qt::LeftButton);

        w->cboMontant->lineEdit()->clear();
        w->cboMontant->setFocus();
        type("7");
        QTest::keyClick(focused(), Qt::Key_I, Qt::AltModifier);
        QTRY_COMPARE(printers->list[0]->documents, 1);
        QCOMPARE(printers->list[0]->printed().value(4), QString("**7,00**"));
        QCOMPARE(platform::comboEntries(w->cboMontant), QStringList({"100,00", "20,50", "30,00", "7,00"}));
        QCOMPARE(readAll(file()), iniBytes("[Montants]\n0=100,00\n1=20,50\n2=30,00\n3=7,00\n"
                                           "[Bénéficiaires]\n0=Dupont\n1=dupont\n"
                                           "[Défaut]\nMontant=30,00\nEncadrement=Oui\n"));
    }

    // The amount box takes the editing shortcuts; what is pasted, by Ctrl+V or by its
    // own menu, goes in by the typing rules or not at all.
    void editingKeys()
    {
        start(QString());
        w->cboMontant->setFocus();
        type("12,00");
        QTest::keyClick(focused(), Qt::Key_A, Qt::ControlModifier);
        type("80");
        QCOMPARE(w->cboMontant->currentText(), QString("80"));
        QTest::keyClick(focused(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(focused(), Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(w->cboMontant->currentText() + "|" + QApplication::clipboard()->text(), QString("|80"));
        QTest::keyClick(focused(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w->cboMontant->currentText(), QString("80"));

        QLineEdit *edit = w->cboMontant->lineEdit();
        // clang-format off
        const struct { QString pasted; bool byMenu; QString shown; } rows[] = { // over "5", all selected
            {"1 234,56", false, "1234,56"}, {"abc", false, "5"}, {"12.5", true, "12,5"},
            {"1.234,56", true, "5"}, {"-5", false, "5"}, {QString(70, u'1'), false, "5"}};
        // clang-format on
        for (const auto &row : rows) {
            edit->setText("5");
            edit->selectAll();
            QApplication::clipboard()->setText(row.pasted);
            if (row.byMenu) {
                QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(4, 4),
                                       edit->mapToGlobal(QPoint(4, 4)));
                QApplication::sendEvent(edit, &menu);
                QMenu *popup = nullptr;
                QTRY_VERIFY(popup = qobject_cast<QMenu *>(QApplication::activePopupWidget()));
                for (QAction *a : popup->actions())
                    if (a->text().startsWith(QCoreApplication::translate("QLineEdit", "&Paste")))
                        a->trigger();
                popup->close();
            } else {
                QTest::keyClick(focused(), Qt::Key_V, Qt::ControlModifier);
            }
            QCOMPARE(w->cboMontant->currentText(), row.shown);
        }
    }

    // The menu bar: the three commands, "Chèques" and "?" in its four items, all in view,
    // each access key used once on the window and in each menu, and reached by them;
    // F1 on the window and on the "?" menu's items, and its help item.
    void menusAndHelp()
    {
        start(QString());
        const auto texts = [](const QList<QAction *> &actions) {
            QStringList out;
            for (QAction *a : actions)
                out << a->text();
            return out;
        };
        QMenuBar *bar = w->menuBar();
        QStringList onWindow = texts(bar->actions());
        QCOMPARE(onWindow.join(" | "),
                 QString("&Gestion des listes | &Options | &Ajustement de l'impression | C&hèques | &?"));
        QCOMPARE(texts(w->mnuAide->actions()).join(" | "),
                 QString("&Imprimer un spécimen de chèque | &Feuille d'étalonnage... |  | &Aide | A &propos "
                         "de Tolvo..."));
        for (QAction *a : bar->actions())
            QVERIFY2(bar->rect().contains(bar->actionGeometry(a)), qPrintable(a->text()));
        for (QAbstractButton *b : w->findChildren<QAbstractButton *>())
            onWindow << b->text();
        QVERIFY(accessKeysOnce(onWindow) && accessKeysOnce(texts(w->mnuChèques->actions())) &&
                accessKeysOnce(texts(w->mnuAide->actions())));

        QTRY_VERIFY(w->cboMontant->hasFocus());
        QCOMPARE(f1(), 1001);
        w->mnuAide->popup(w->mapToGlobal(QPoint(0, 0))); // F1 on a menu item: its own topic
        QVERIFY(QTest::qWaitForWindowExposed(w->mnuAide));
        w->mnuAide->setActiveAction(w->mnuSousAide[0]);
        QCOMPARE(f1(w->mnuAide), 1006);
        w->mnuAide->setActiveAction(w->mnuÉtalonnage);
        QCOMPARE(f1(w->mnuAide), 1009);
        w->mnuAide->close();
        platform::HelpRecorder help;
        w->mnuSousAide[2]->trigger();
        QVERIFY(help.requests.contains(
            platform::HelpRequest{platform::HELP_FINDER, dir.filePath("Tolvo.hlp"), 0}));

        // Alt+H, P: the preview's checks; Alt+?, P: the About box.
        platform::MessageBoxRecorder boxes;
        QTest::keyClick(w.get(), Qt::Key_H, Qt::AltModifier);
        QTRY_VERIFY(w->mnuChèques->isVisible());
        QTest::keyClick(w->mnuChèques, Qt::Key_P);
        QTRY_COMPARE(boxes.shown.value(0).text, QString("Indiquez le montant du chèque."));
        bool about = false, closed;
        whenModal(closed, [&](QDialog &box) { about = box.windowTitle().contains("propos"); });
        QTest::keyClick(w.get(), Qt::Key_Question, Qt::AltModifier);
        QTRY_VERIFY(w->mnuAide->isVisible());
        QTest::keyClick(w->mnuAide, Qt::Key_P);
        QVERIFY(about);
    }

    // Keeping the current printer, then reconfiguring another that keeps its own tray
    // when asked for one it refuses: what it kept is shown and saved.
    void configure()
    {
        printers->list[1]->paperBin = 1;
        printers->list[1]->failOn("PaperBin");
        start("[Défaut]\nMontant=5,00\n");
        platform::MessageBoxRecorder recorder;
        int helpTopic = 0;
        // Enter on an option button or the list confirms nothing; on OK it does.
        bool stayed = false;
        recorder.queueDialog(answer<printer::frmConfig>([&](printer::frmConfig &d) {
            helpTopic = f1();
            QTest::keyClick(d.optChoix[0], Qt::Key_Return);
            d.cboImprimantes->setFocus();
            QTest::keyClick(d.cboImprimantes, Qt::Key_Enter);
            stayed = d.isVisible() && readAll(file()) == iniBytes("[Défaut]\nMontant=5,00\n");
            d.cmdAction[0]->setFocus();
        }));
        w->cmdConfig->click();
        QVERIFY(stayed);
        QCOMPARE(helpTopic, 1002);
        QCOMPARE(w->lblPaperBin->Tag, QString("7")); // no section: the default bin, not the printer's
        QCOMPARE(readAll(file()), iniBytes("[Défaut]\nMontant=5,00\nImprimante=HP LaserJet\n"));

        recorder.queueDialog(answer<printer::frmConfig>([](printer::frmConfig &d) {
            QTest::keyClick(d.optChoix[0], Qt::Key_Down);
            d.cmdAction[0]->setFocus();
        }));
        recorder.queueDialog(answer<frmMsgBox>([](frmMsgBox &) {}));
        recorder.queueDialog(answer<printer::PrintSetupDialog>([](printer::PrintSetupDialog &d) {
            d.cboImprimante->setFocus();
            QTest::keyClick(d.cboImprimante, Qt::Key_Down);
            d.cboSource->setFocus();
            QTest::keyClick(d.cboSource, Qt::Key_Down);
            QCOMPARE(d.cboSource->currentData().toInt(), 2);
            d.optPortrait->setChecked(true);
        }));
        w->cmdConfig->click();
        QVERIFY(describe(*w).startsWith("Canon | 1 | Bac supérieur | 1 | Orientation Portrait"));
        QCOMPARE(readAll(file()), iniBytes("[Défaut]\nMontant=5,00\nImprimante=Canon\n"
                                           "[Canon]\nPaperBin=1\nOrientation=1\n"));
    }
};

QTEST_MAIN(TestWindow)
#include "test_window.moc"
