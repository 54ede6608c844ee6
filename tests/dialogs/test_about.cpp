#include "dialogs/frmAbout.h"
#include "dialogs/mShellExecute.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "platform/UserName.h"

#include <QPushButton>
#include <QTimer>
#include <QtTest>

class TestAbout : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { platform::setUserFullName(std::nullopt); }
    void texts();
    void userLine_data();
    void userLine();
    void links_data();
    void links();
    void failedLinkShowsNothing();
    void okCloses_data();
    void okCloses();
    void shellOpen_data();
    void shellOpen();
};

void TestAbout::texts()
{
    frmAbout box;
    QCOMPARE(box.windowTitle(), QString("A propos de"));
    QCOMPARE(box.lblTitle->text(), QString("Tolvo"));
    QCOMPARE(box.lblVersion->text(), QString("Version 1.3.1"));
    QCOMPARE(box.lblDescription->text(), QString("Impression de chèques."));
    QVERIFY(!box.lblDisclaimer->text().isEmpty());
    QCOMPARE(box.lblWeb[0]->text(), QString("Web:"));
    QCOMPARE(box.lblMail[0]->text(), QString("Mail:"));
    for (QLabel *bold : {box.lblTitle, box.lblVersion, box.lblDescription})
        QVERIFY(bold->font().bold());
    QVERIFY(!box.lblUser->font().bold());
    for (QLabel *link : {box.lblWeb[1], box.lblMail[1]}) {
        QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
        // The whole address is visible and stops short of the OK button.
        QVERIFY(link->width() >= link->sizeHint().width());
        QVERIFY(link->geometry().right() < box.cmdOK->x());
    }
    QCOMPARE(box.lblWeb[0]->cursor().shape(), Qt::ArrowCursor);
    QVERIFY(box.cmdOK->isDefault());
    QCOMPARE(box.size(), QSize(382, 256));
}

void TestAbout::userLine_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("line");
    QTest::newRow("name") << "Jeanne Dupré"
                          << "Licence accordée à Jeanne Dupré";
    QTest::newRow("none") << ""
                          << "";
}

void TestAbout::userLine()
{
    QFETCH(QString, name);
    QFETCH(QString, line);
    platform::setUserFullName(name);
    frmAbout box;
    QCOMPARE(box.lblUser->text(), line);
}

void TestAbout::links_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("file");
    QTest::newRow("web address") << "web1"
                                 << "https://tolvo.example.org";
    QTest::newRow("mail address") << "mail1"
                                  << "mailto: support@tolvo.example.org";
    QTest::newRow("Web: caption") << "web0"
                                  << "";
    QTest::newRow("Mail: caption") << "mail0"
                                   << "";
}

void TestAbout::links()
{
    QFETCH(QString, label);
    QFETCH(QString, file);
    platform::ShellRecorder shell;
    frmAbout box;
    box.show();
    QWidget *target = label == "web1"    ? box.lblWeb[1]
                      : label == "web0"  ? box.lblWeb[0]
                      : label == "mail1" ? box.lblMail[1]
                                         : box.lblMail[0];
    QTest::mouseClick(target, Qt::LeftButton);
    if (file.isEmpty()) {
        QVERIFY(shell.requests.isEmpty());
        return;
    }
    QCOMPARE(shell.requests.size(), 1);
    const platform::ShellRequest &r = shell.requests.first();
    QCOMPARE(r.file, file);
    QCOMPARE(r.operation, QString("open"));
    QVERIFY(r.parameters.isEmpty());
    QVERIFY(r.directory.isEmpty());
    QCOMPARE(r.showCommand, 10);
    QCOMPARE(r.owner, nullptr);
    QVERIFY(box.isVisible());

    // A press that ends outside the label is no click.
    QTest::mousePress(target, Qt::LeftButton);
    QTest::mouseRelease(target, Qt::LeftButton, {}, QPoint(-5, -5));
    QCOMPARE(shell.requests.size(), 1);
}

void TestAbout::failedLinkShowsNothing()
{
    platform::ShellRecorder shell;
    shell.result = 31;
    platform::MessageBoxRecorder messages;
    frmAbout box;
    QTest::mouseClick(box.lblWeb[1], Qt::LeftButton);
    QCOMPARE(shell.requests.size(), 1);
    QVERIFY(messages.shown.isEmpty());
}

void TestAbout::okCloses_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Esc") << int(Qt::Key_Escape);
    QTest::newRow("click") << 0;
}

void TestAbout::okCloses()
{
    QFETCH(int, key);
    frmAbout box;
    QTimer::singleShot(0, &box, [&] {
        if (key)
            QTest::keyClick(&box, Qt::Key(key));
        else
            QTest::mouseClick(box.cmdOK, Qt::LeftButton);
        if (box.isVisible())
            box.done(99);
    });
    QCOMPARE(box.exec(), key == Qt::Key_Escape ? int(QDialog::Rejected) : int(QDialog::Accepted));
}

void TestAbout::shellOpen_data()
{
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("report");
    QTest::addColumn<QString>("message");
    QTest::newRow("31 reported") << 31 << true << "Aucune application n'est associée à ce type de fichier.";
    QTest::newRow("31 not reported") << 31 << false << "";
    QTest::newRow("42 success") << 42 << true << "";
    QTest::newRow("33 success") << 33 << true << "";
    QTest::newRow("32") << 32 << true << "Une DLL requise n'a pas été trouvée.";
    QTest::newRow("0") << 0 << true << "Mémoire insuffisante.";
    QTest::newRow("8") << 8 << true << "Mémoire insuffisante.";
    QTest::newRow("2") << 2 << true << "Fichier non trouvé.";
    QTest::newRow("3") << 3 << true << "Erreur dans le chemin.";
    QTest::newRow("5") << 5 << true << "Accès au fichier refusé.";
    QTest::newRow("11") << 11 << true << "Erreur lors de l'ouverture du fichier.";
    QTest::newRow("26") << 26 << true << "Violation de partage.";
    QTest::newRow("27") << 27 << true << "Ce type de fichier n'a pas d'association valide.";
    QTest::newRow("28") << 28 << true << "Délai d'attente dépassé.";
    QTest::newRow("29") << 29 << true << "Erreur dans la transaction DDE.";
    QTest::newRow("30") << 30 << true << "L'application demandée est occupée.";
    const QString other = "Une erreur est survenue pendant l'ouverture du fichier.";
    for (const int code : {1, 4, 6, 7, 9, 10, 12, 25, -1, -42})
        QTest::newRow(qPrintable(QString::number(code))) << code << true << other;
}

void TestAbout::shellOpen()
{
    QFETCH(int, result);
    QFETCH(bool, report);
    QFETCH(QString, message);
    platform::ShellRecorder shell;
    shell.result = result;
    platform::MessageBoxRecorder messages;
    QCOMPARE(mShellExecute::ShellOpen("C:/doc.txt", "open", "-p", "/tmp", 10, nullptr, report), result);
    QCOMPARE(shell.requests.size(), 1);
    QCOMPARE(shell.requests[0].file, QString("C:/doc.txt"));
    QCOMPARE(shell.requests[0].parameters, QString("-p"));
    QCOMPARE(shell.requests[0].directory, QString("/tmp"));
    if (message.isEmpty()) {
        QVERIFY(messages.shown.isEmpty());
        return;
    }
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].text, message);
    QCOMPARE(messages.shown[0].icon, platform::MsgIcon::Critical);
    QCOMPARE(messages.shown[0].title, QString("Tolvo"));
    QCOMPARE(messages.shown[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

QTEST_MAIN(TestAbout)
#include "test_about.moc"
