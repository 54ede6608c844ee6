// Menu bar of the main window: help context numbers, the help and About items;
// F1 on the main window's controls.

#include "app/frmTolvo.h"
#include "dialogs/frmAbout.h"
#include "platform/Application.h"
#include "support/FakePrinter.h"
#include "platform/help/HelpContext.h"
#include "platform/help/HelpKey.h"
#include "platform/help/HelpViewer.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestMenus : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        platform::setApplicationFolder(dir.path());
        auto printers = std::make_unique<platform::FakePrinters>();
        printers->add("HP");
        platform::setPrinters(std::move(printers));
        platform::installHelpKey();
    }

    void helpContexts()
    {
        frmTolvo w;
        QCOMPARE(platform::helpContextID(&w), 1001);
        QCOMPARE(w.mnuSousAide[2]->text(), QString("&Aide"));
        QCOMPARE(w.mnuSousAide[3]->text(), QString("A &propos de Tolvo..."));
        QCOMPARE(platform::helpContextID(w.mnuSousAide[0]), 1006);
        QCOMPARE(platform::helpContextID(w.mnuSousAide[2]), 1000);
        QCOMPARE(platform::helpContextID(w.mnuSousAide[3]), 0);
    }

    void helpItemOpensTheTopics()
    {
        frmTolvo w;
        w.Form_Load();
        platform::HelpRecorder help;
        w.mnuSousAide[2]->trigger();
        QVERIFY(!help.requests.isEmpty());
        QCOMPARE(help.requests.last().command, int(platform::HELP_FINDER));
        QCOMPARE(help.requests.last().file, dir.filePath("Tolvo.hlp"));
    }

    void aboutItemShowsTheBoxModally()
    {
        frmTolvo w;
        w.show();
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            seen = box && box->isModal() && box->parentWidget() == &w;
            if (box)
                box->reject();
        });
        w.mnuSousAide[3]->trigger();
        QVERIFY(seen);
    }

    // F1 in the amount box: the box has no number of its own, nor its frame, so the window's 1001.
    void f1OnTheMainWindow()
    {
        frmTolvo w;
        w.Form_Load();
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.cboMontant->setFocus();
        QTRY_VERIFY(w.cboMontant->hasFocus());
        platform::HelpRecorder help;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        QVERIFY(!help.requests.isEmpty());
        QCOMPARE(help.requests.last().data, 1001);
        QCOMPARE(help.requests.last().command, int(platform::HELP_CONTEXT));
    }

    // The window opens with the focus in the amount box; Tab walks the cheque entry in order.
    void tabOrder()
    {
        frmTolvo w;
        w.Form_Load();
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTRY_VERIFY(w.cboMontant->hasFocus());
        const QList<QWidget *> order = {w.chkEtoiles, w.cboBénéficiaire, w.txtDate, w.cmdImprime};
        for (QWidget *next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTRY_COMPARE(QApplication::focusWidget(), next);
        }
    }
};

QTEST_MAIN(TestMenus)
#include "test_menus.moc"
