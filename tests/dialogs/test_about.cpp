#include "dialogs/frmAbout.h"
#include "dialogs/mShellExecute.h"
#include "platform/forms/MessageBox.h"
#include "platform/Shell.h"
#include "platform/UserName.h"
#include "platform/forms/WindowFrame.h"

#include <QPushButton>
#include <QtTest>

class TestAbout : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { platform::setUserFullName(std::nullopt); }
    void texts()
    {
        frmAbout box;
        QCOMPARE(box.lblVersion->text(), QString("Version 1.3.1"));
        for (QLabel *link : {box.lblWeb[1], box.lblMail[1]}) {
            // The whole address is visible and stops short of the OK button.
            QVERIFY(link->width() >= link->sizeHint().width());
            QVERIFY(link->geometry().right() < box.cmdOK->x());
        }
    }

    // The watermark shows only where no text is drawn, and the box is centred with
    // its frame.
    void watermarkAndPlace()
    {
        platform::setUserFullName(QString("Jeanne Dupré"));
        platform::setWindowFrameFunction([](const QWidget *) { return platform::FrameSizes{8, 8, 24}; });
        frmAbout box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        platform::setWindowFrameFunction({});
        const QPoint centre = box.screen()->geometry().center();
        QVERIFY(qAbs(box.x() + (box.width() + 8) / 2 - centre.x()) <= 1);
        QVERIFY(qAbs(box.y() + (box.height() + 8 + 24) / 2 - centre.y()) <= 1);

        QList<QRect> texts;
        for (QLabel *l : box.findChildren<QLabel *>()) {
            const QRect inside = l->contentsRect().translated(l->pos());
            texts.append(
                l->fontMetrics().boundingRect(inside, int(l->alignment()) | Qt::TextWordWrap, l->text()));
            QVERIFY2(!l->text().isEmpty(), qPrintable(l->objectName()));
            l->setText(QString());
        }
        const QImage image = box.grab().toImage();
        const QRgb background = image.pixel(image.width() - 3, 3);
        for (const QRect &text : texts)
            for (int y = text.top(); y <= text.bottom(); ++y)
                for (int x = text.left(); x <= text.right(); ++x)
                    QVERIFY2(image.pixel(x, y) == background, qPrintable(QString("%1,%2").arg(x).arg(y)));
    }

    void userLine_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("line");
        QTest::newRow("name") << QString("Jeanne Dupré") << QString("Licence accordée à Jeanne Dupré");
        QTest::newRow("none") << QString() << QString();
    }
    void userLine()
    {
        QFETCH(QString, name);
        QFETCH(QString, line);
        platform::setUserFullName(name);
        frmAbout box;
        QCOMPARE(box.lblUser->text(), line);
    }

    // Each link opens its address once; a failure is not reported; the captions open nothing.
    void links_data()
    {
        QTest::addColumn<int>("label"); // the web address, the mail address, the "Web:" caption
        QTest::addColumn<QString>("file");
        QTest::newRow("web address") << 0 << "https://tolvo.example.org";
        QTest::newRow("mail address") << 1 << "mailto: support@tolvo.example.org";
        QTest::newRow("Web: caption") << 2 << "";
    }
    void links()
    {
        QFETCH(int, label);
        QFETCH(QString, file);
        platform::ShellRecorder shell;
        shell.result = 31;
        platform::MessageBoxRecorder messages;
        frmAbout box;
        box.show();
        QWidget *target = QList<QWidget *>{box.lblWeb[1], box.lblMail[1], box.lblWeb[0]}[label];
        QTest::mouseClick(target, Qt::LeftButton);
        QVERIFY(messages.shown.isEmpty());
        QVERIFY(box.isVisible());
        if (file.isEmpty()) {
            QVERIFY(shell.requests.isEmpty());
            return;
        }
        QCOMPARE(shell.requests.size(), 1);
        const platform::ShellRequest &r = shell.requests.first();
        QCOMPARE(r.file, file);
        QCOMPARE(r.operation, QString("open"));
        QVERIFY(r.parameters.isEmpty() && r.directory.isEmpty());
        QCOMPARE(r.showCommand, 10);
        QCOMPARE(r.owner, nullptr);

        // A press that ends outside the label is no click.
        QTest::mousePress(target, Qt::LeftButton);
        QTest::mouseRelease(target, Qt::LeftButton, {}, QPoint(-5, -5));
        QCOMPARE(shell.requests.size(), 1);
    }

    void shellOpen_data()
    {
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("report");
        QTest::addColumn<QString>("message");
        const QString other = "Une erreur est survenue pendant l'ouverture du fichier.";
        QTest::newRow("31 reported") << 31 << true
                                     << "Aucune application n'est associée à ce type de fichier.";
        QTest::newRow("31 not reported") << 31 << false << "";
        QTest::newRow("42 success") << 42 << true << "";
        QTest::newRow("33 success") << 33 << true << "";
        QTest::newRow("32") << 32 << true << "Une DLL requise n'a pas été trouvée.";
        QTest::newRow("30") << 30 << true << "L'application demandée est occupée.";
        QTest::newRow("2") << 2 << true << "Fichier non trouvé.";
        QTest::newRow("0") << 0 << true << "Mémoire insuffisante.";
        QTest::newRow("1") << 1 << true << other;
        QTest::newRow("-1") << -1 << true << other;
    }
    void shellOpen()
    {
        QFETCH(int, result);
        QFETCH(bool, report);
        QFETCH(QString, message);
        platform::ShellRecorder shell;
        shell.result = result;
        platform::MessageBoxRecorder messages;
        QCOMPARE(mShellExecute::ShellOpen("C:/doc.txt", "open", "-p", "/tmp", 10, nullptr, report), result);
        QCOMPARE(shell.requests.size(), 1);
        const platform::ShellRequest &r = shell.requests.first();
        QCOMPARE(QStringList({r.file, r.operation, r.parameters, r.directory}),
                 QStringList({"C:/doc.txt", "open", "-p", "/tmp"}));
        if (message.isEmpty()) {
            QVERIFY(messages.shown.isEmpty());
            return;
        }
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].text, message);
        QCOMPARE(messages.shown[0].icon, platform::MsgIcon::Critical);
    }
};

QTEST_MAIN(TestAbout)
#include "test_about.moc"
