#include "dialogs/mHelp.h"
#include "platform/Application.h"
#include "platform/help/HelpContext.h"
#include "platform/help/HelpKey.h"
#include "platform/help/HelpViewer.h"

#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

using platform::HelpRequest;
using Requests = QList<HelpRequest>;

namespace {
const QString kFile = QStringLiteral("/opt/tolvo/Tolvo.hlp");
}

class TestHelp : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        platform::installHelpKey();
        platform::setHelpFile(kFile);
    }

    void showHelp_data()
    {
        QTest::addColumn<int>("context");
        QTest::addColumn<bool>("popup");
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("data");
        QTest::newRow("-1 topics dialog") << -1 << false << int(platform::HELP_FINDER) << 0;
        QTest::newRow("-1 with pop-up") << -1 << true << int(platform::HELP_FINDER) << 0;
        QTest::newRow("0 contents") << 0 << false << int(platform::HELP_CONTENTS) << 0;
        QTest::newRow("0 with pop-up") << 0 << true << int(platform::HELP_CONTENTS) << 0;
        QTest::newRow("1006") << 1006 << false << int(platform::HELP_CONTEXT) << 1006;
        QTest::newRow("1006 pop-up") << 1006 << true << int(platform::HELP_CONTEXTPOPUP) << 1006;
        QTest::newRow("-5") << -5 << false << int(platform::HELP_CONTEXT) << -5;
    }
    void showHelp()
    {
        QFETCH(int, context);
        QFETCH(bool, popup);
        QFETCH(int, command);
        QFETCH(int, data);
        platform::HelpRecorder recorder;
        mHelp::ShowHelp("/tmp/x/Tolvo.hlp", qint16(context), popup);
        QCOMPARE(recorder.requests, (Requests{{platform::HELP_FORCEFILE, "/tmp/x/Tolvo.hlp", data},
                                              {command, "/tmp/x/Tolvo.hlp", data}}));
    }

    void helpTopicsEntry()
    {
        platform::setApplicationFolder("/srv/tolvo");
        platform::HelpRecorder recorder;
        showHelpTopics();
        platform::setApplicationFolder(QString());
        QCOMPARE(recorder.requests, (Requests{{platform::HELP_FORCEFILE, "/srv/tolvo/Tolvo.hlp", 0},
                                              {platform::HELP_FINDER, "/srv/tolvo/Tolvo.hlp", 0}}));
    }

    // Window 1000 holding frame 1004 with an edit box, and a frame without number
    // holding an edit box and a button 1002.
    void f1InWindow_data()
    {
        QTest::addColumn<int>("focus"); // 0 the edit in 1004, 1 the button, 2 the plain edit
        QTest::addColumn<int>("windowId");
        QTest::addColumn<int>("expected"); // 0: no request
        QTest::newRow("edit in frame 1004") << 0 << 1000 << 1004;
        QTest::newRow("button with its own number") << 1 << 1000 << 1002;
        QTest::newRow("plain edit in plain frame: window") << 2 << 1000 << 1000;
        QTest::newRow("all zero: nothing") << 2 << 0 << 0;
    }
    void f1InWindow()
    {
        QFETCH(int, focus);
        QFETCH(int, windowId);
        QFETCH(int, expected);

        QDialog window;
        platform::setHelpContextID(&window, windowId);
        auto *numbered = new QGroupBox(&window);
        auto *plain = new QGroupBox(&window);
        platform::setHelpContextID(numbered, 1004);
        const QList<QWidget *> controls{new QLineEdit(numbered), new QPushButton(plain),
                                        new QLineEdit(plain)};
        platform::setHelpContextID(controls[1], 1002);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        controls[focus]->setFocus();
        QCOMPARE(QApplication::focusWidget(), controls[focus]);

        platform::HelpRecorder recorder;
        QTest::keyClick(controls[focus], Qt::Key_F1);
        QTest::keyClick(controls[focus], Qt::Key_F1, Qt::ShiftModifier); // not help
        QCOMPARE(recorder.requests,
                 (expected ? Requests{{platform::HELP_CONTEXT, kFile, expected}} : Requests{}));
    }

    void f1InMenu_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("expected");
        QTest::newRow("specimen item") << 0 << 1006;
        QTest::newRow("item without number: window") << 1 << 1001;
    }
    void f1InMenu()
    {
        QFETCH(int, item);
        QFETCH(int, expected);

        QMainWindow window;
        platform::setHelpContextID(&window, 1001);
        auto *edit = new QLineEdit(&window);
        window.setCentralWidget(edit);
        QMenu *menu = window.menuBar()->addMenu("&?");
        QList<QAction *> actions{menu->addAction("&Imprimer un spécimen de chèque"),
                                 menu->addAction("A &propos de Tolvo...")};
        platform::setHelpContextID(actions[0], 1006);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        edit->setFocus();
        menu->popup(window.mapToGlobal(QPoint(0, 0)));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        menu->setActiveAction(actions[item]);
        QCOMPARE(QApplication::activePopupWidget(), menu);

        platform::HelpRecorder recorder;
        QTest::keyClick(menu, Qt::Key_F1);
        QCOMPARE(recorder.requests, (Requests{{platform::HELP_CONTEXT, kFile, expected}}));
        menu->close();
    }
};

QTEST_MAIN(TestHelp)
#include "test_help.moc"
