#include "dialogs/frmMsgBox.h"
#include "dialogs/mHelp.h"
#include "platform/Application.h"
#include "platform/HelpContext.h"
#include "platform/HelpKey.h"
#include "platform/HelpViewer.h"

#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

using platform::HelpRequest;
using Requests = QList<HelpRequest>;

class TestHelp : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        platform::installHelpKey();
        platform::setHelpFile("/opt/tolvo/Tolvo.hlp");
    }
    void showHelp_data();
    void showHelp();
    void helpTopicsEntry();
    void f1InWindow_data();
    void f1InWindow();
    void f1InMenu_data();
    void f1InMenu();
    void f1InMessageBox();
};

void TestHelp::showHelp_data()
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

void TestHelp::showHelp()
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

void TestHelp::helpTopicsEntry()
{
    platform::setApplicationFolder("/srv/tolvo");
    platform::HelpRecorder recorder;
    showHelpTopics();
    platform::setApplicationFolder(QString());
    QCOMPARE(recorder.requests, (Requests{{platform::HELP_FORCEFILE, "/srv/tolvo/Tolvo.hlp", 0},
                                          {platform::HELP_FINDER, "/srv/tolvo/Tolvo.hlp", 0}}));
}

// A dialog like the options dialog: window 1000, a frame 1004 holding an edit box
// and a frame without number holding a button with its own number.
void TestHelp::f1InWindow_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("windowId");
    QTest::addColumn<int>("expected");
    QTest::newRow("edit in frame 1004") << "edit" << 1000 << 1004;
    QTest::newRow("button with its own number") << "button" << 1000 << 1002;
    QTest::newRow("plain edit in plain frame: window") << "plain" << 1000 << 1000;
    QTest::newRow("all zero: nothing") << "plain" << 0 << 0;
}

void TestHelp::f1InWindow()
{
    QFETCH(QString, focus);
    QFETCH(int, windowId);
    QFETCH(int, expected);

    QDialog window;
    platform::setHelpContextID(&window, windowId);
    auto *list = new QGroupBox("Listes", &window);
    platform::setHelpContextID(list, 1004);
    auto *edit = new QLineEdit(list);
    (new QVBoxLayout(list))->addWidget(edit);
    auto *other = new QGroupBox(&window);
    auto *plain = new QLineEdit(other);
    auto *button = new QPushButton("Configurer", other);
    platform::setHelpContextID(button, 1002);
    auto *otherLayout = new QVBoxLayout(other);
    otherLayout->addWidget(plain);
    otherLayout->addWidget(button);
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(list);
    layout->addWidget(other);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QWidget *target = focus == "edit"     ? static_cast<QWidget *>(edit)
                      : focus == "button" ? static_cast<QWidget *>(button)
                                          : plain;
    target->setFocus();
    QCOMPARE(QApplication::focusWidget(), target);

    platform::HelpRecorder recorder;
    QTest::keyClick(target, Qt::Key_F1);
    if (expected == 0)
        QVERIFY(recorder.requests.isEmpty());
    else
        QCOMPARE(recorder.requests, (Requests{{platform::HELP_CONTEXT, "/opt/tolvo/Tolvo.hlp", expected}}));
    // Shift+F1 is not help.
    recorder.requests.clear();
    QTest::keyClick(target, Qt::Key_F1, Qt::ShiftModifier);
    QVERIFY(recorder.requests.isEmpty());
}

void TestHelp::f1InMenu_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("expected");
    QTest::newRow("specimen item") << 0 << 1006;
    QTest::newRow("help item") << 1 << 1000;
    QTest::newRow("item without number: window") << 2 << 1001;
}

void TestHelp::f1InMenu()
{
    QFETCH(int, item);
    QFETCH(int, expected);

    QMainWindow window;
    platform::setHelpContextID(&window, 1001);
    auto *edit = new QLineEdit(&window);
    window.setCentralWidget(edit);
    QMenu *menu = window.menuBar()->addMenu("&?");
    QList<QAction *> actions{menu->addAction("&Imprimer un spécimen de chèque"), menu->addAction("&Aide"),
                             menu->addAction("A &propos de Tolvo...")};
    platform::setHelpContextID(actions[0], 1006);
    platform::setHelpContextID(actions[1], 1000);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    edit->setFocus();

    menu->popup(window.mapToGlobal(QPoint(0, 0)));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    menu->setActiveAction(actions[item]);
    QCOMPARE(QApplication::activePopupWidget(), menu);

    platform::HelpRecorder recorder;
    QTest::keyClick(menu, Qt::Key_F1);
    QCOMPARE(recorder.requests, (Requests{{platform::HELP_CONTEXT, "/opt/tolvo/Tolvo.hlp", expected}}));
    menu->close();
}

void TestHelp::f1InMessageBox()
{
    frmMsgBox box;
    box.setHelpButton(1006);
    box.setFormType(2);
    box.show();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    platform::HelpRecorder recorder;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    QCOMPARE(recorder.requests, (Requests{{platform::HELP_CONTEXT, "/opt/tolvo/Tolvo.hlp", 1006}}));
    QVERIFY(box.isVisible());
    QCOMPARE(box.Tag, QString());
}

QTEST_MAIN(TestHelp)
#include "test_help.moc"
