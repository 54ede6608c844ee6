#include "dialogs/frmAbout.h"
#include "platform/Shell.h"
#include "platform/UserName.h"
#include "platform/forms/MessageBox.h"

#include <QPushButton>
#include <QtTest>

class TestAbout : public QObject {
    Q_OBJECT

private slots:
    // The texts shown whole, each address opened once by a click, a failure not
    // reported, the captions opening nothing.
    void box()
    {
        platform::setUserFullName(QString("Jeanne Dupré"));
        platform::ShellRecorder shell;
        shell.result = 31;
        platform::MessageBoxRecorder messages;
        frmAbout box;
        box.show();
        QCOMPARE(box.lblVersion->text(), QString("Version 1.3.1"));
        QCOMPARE(box.lblUser->text(), QString("Licence accordée à Jeanne Dupré"));
        for (QLabel *link : {box.lblWeb[1], box.lblMail[1]}) {
            QVERIFY(link->width() >= link->sizeHint().width());
            QVERIFY(link->geometry().right() < box.cmdOK->x());
        }
        for (QWidget *label : QList<QWidget *>{box.lblWeb[0], box.lblMail[0], box.lblWeb[1], box.lblMail[1]})
            QTest::mouseClick(label, Qt::LeftButton);
        QStringList opened;
        for (const platform::ShellRequest &r : shell.requests)
            opened << r.operation + " " + r.file + QString::number(r.showCommand);
        QCOMPARE(opened, QStringList({"open https://tolvo.example.org10",
                                      "open mailto: support@tolvo.example.org10"}));
        QVERIFY(messages.shown.isEmpty());
        platform::setUserFullName(std::nullopt);
    }
};

QTEST_MAIN(TestAbout)
#include "test_about.moc"
