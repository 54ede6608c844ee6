#include "dialogs/frmAbout.h"
#include "platform/Shell.h"
#include "platform/UserName.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/WindowFrame.h"

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

    // Centred with its frame; the watermark shows only where no text is drawn.
    void watermarkAndPlace()
    {
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
            texts.append(l->fontMetrics().boundingRect(inside, int(l->alignment()) | Qt::TextWordWrap, l->text()));
            l->setText(QString());
        }
        const QImage image = box.grab().toImage();
        const QRgb background = image.pixel(image.width() - 3, 3);
        for (const QRect &text : texts)
            for (int y = text.top(); y <= text.bottom(); ++y)
                for (int x = text.left(); x <= text.right(); ++x)
                    QVERIFY2(image.pixel(x, y) == background, qPrintable(QString("%1,%2").arg(x).arg(y)));
    }
};

QTEST_MAIN(TestAbout)
#include "test_about.moc"
