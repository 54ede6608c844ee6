// The program's message box and its About box.

#include "dialogs/frmAbout.h"
#include "dialogs/frmMsgBox.h"
#include "platform/Application.h"
#include "platform/Shell.h"
#include "platform/UserName.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/WindowFrame.h"
#include "platform/help/HelpViewer.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using platform::HelpRequest;

class TestDialogs : public QObject {
    Q_OBJECT

private slots:
    // Each button set shown modally with the machine's fonts: its captions laid out
    // inside the window apart from the text; "Aide" opens the box's topic and leaves
    // it open; the key then gives the result.
    void buttons()
    {
        const struct {
            int formType;
            bool help;
            int focused;
            QKeyCombination key;
            QString captions, tag;
        } rows[] = {
            {1, false, 0, Qt::Key_Return, "OK", "1"},
            {2, true, 0, Qt::Key_Escape, "OK Annuler Aide", "2"},
            {3, true, 0, Qt::Key_Return, "&Oui &Non Aide", "1"}, // after Aide
            {4, false, 0, Qt::ALT | Qt::Key_N, "&Oui &Non Annuler", "2"},
            {4, false, 0, Qt::Key_Escape, "&Oui &Non Annuler", "3"},
            {5, false, 2, Qt::Key_Enter, "&Réessayer Annuler", "2"}, // on the focused Annuler
            {6, true, 0, Qt::Key_Escape, "&Abandon &Réessayer &Ignorer Aide", "3"},
        };
        platform::setHelpFile("/opt/tolvo/Tolvo.hlp");
        const HelpRequest force{platform::HELP_FORCEFILE, "/opt/tolvo/Tolvo.hlp", 1006};
        const HelpRequest topic{platform::HELP_CONTEXT, "/opt/tolvo/Tolvo.hlp", 1006};
        const QString text = "Dans la fenêtre qui va suivre, choisissez l'imprimante à configurer, le bac "
                             "d'alimentation et l'orientation (Portrait ou Paysage) à utiliser. ";
        for (const auto &row : rows) {
            platform::setWindowFrameFunction([](const QWidget *) { return platform::FrameSizes{8, 8, 24}; });
            platform::HelpRecorder recorder;
            frmMsgBox box;
            box.setMessage(row.formType == 6 ? text + text + text : text);
            box.setPictureType(3);
            if (row.help)
                box.setHelpButton(1006);
            box.setFormType(row.formType);
            box.setFocusedButton(row.focused);
            QStringList captions;
            QTimer::singleShot(0, &box, [&] {
                QVERIFY(QTest::qWaitForWindowActive(&box));
                const QRect message = box.lblMessage->geometry();
                QVERIFY(box.rect().contains(message));
                QVERIFY(message.height() >= box.lblMessage->heightForWidth(message.width()));
                QRect previous;
                for (int i = 1; i <= box.buttonCount(); ++i) {
                    const QRect button = box.cmdAction[i]->geometry();
                    captions << box.ButtonCaption(i);
                    QVERIFY(box.rect().contains(button) && !button.intersects(message));
                    QVERIFY(!previous.isValid() ||
                            (button.left() > previous.right() && button.top() == previous.top()));
                    previous = button;
                }
                if (row.help)
                    box.cmdAction[box.buttonCount()]->click();
                QTest::keyClick(QApplication::focusWidget(), row.key.key(), row.key.keyboardModifiers());
                if (row.key.keyboardModifiers())
                    QTest::qWait(400); // an access key presses its button after an animation
                if (box.isVisible())
                    box.reject();
            });
            box.exec();
            platform::setWindowFrameFunction({});
            QCOMPARE(captions.join(' '), row.captions);
            QCOMPARE(box.Tag, row.tag);
            QCOMPARE(recorder.requests, (row.help ? QList<HelpRequest>{force, topic} : QList<HelpRequest>()));
        }
    }

    // The About box centred with its frame, its texts shown whole, the watermark only where
    // no text is drawn; each address opened once by a click, a failure not reported, the
    // captions opening nothing.
    void about()
    {
        platform::setUserFullName(QString("Jeanne Dupré"));
        platform::setWindowFrameFunction([](const QWidget *) { return platform::FrameSizes{8, 8, 24}; });
        platform::ShellRecorder shell;
        shell.result = 31;
        platform::MessageBoxRecorder messages;
        frmAbout box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        platform::setWindowFrameFunction({});
        platform::setUserFullName(std::nullopt);
        const QPoint centre = box.screen()->geometry().center();
        QVERIFY(qAbs(box.x() + (box.width() + 8) / 2 - centre.x()) <= 1);
        QVERIFY(qAbs(box.y() + (box.height() + 8 + 24) / 2 - centre.y()) <= 1);
        QCOMPARE(box.lblVersion->text(), QString("Version 1.3.1"));
        QCOMPARE(box.lblUser->text(), QString("Licence accordée à Jeanne Dupré"));
        for (QLabel *link : {box.lblWeb[1], box.lblMail[1]})
            QVERIFY(link->width() >= link->sizeHint().width() && link->geometry().right() < box.cmdOK->x());
        for (QWidget *label : QList<QWidget *>{box.lblWeb[0], box.lblMail[0], box.lblWeb[1], box.lblMail[1]})
            QTest::mouseClick(label, Qt::LeftButton);
        QStringList opened;
        for (const platform::ShellRequest &r : shell.requests)
            opened << r.operation + " " + r.file + QString::number(r.showCommand);
        QCOMPARE(opened, QStringList({"open https://tolvo.example.org10",
                                      "open mailto: support@tolvo.example.org10"}));
        QVERIFY(messages.shown.isEmpty());

        QList<QRect> texts;
        for (QLabel *l : box.findChildren<QLabel *>()) {
            const QRect inside = l->contentsRect().translated(l->pos());
            texts.append(
                l->fontMetrics().boundingRect(inside, int(l->alignment()) | Qt::TextWordWrap, l->text()));
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

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
