#include "dialogs/frmMsgBox.h"
#include "platform/Application.h"
#include "platform/help/HelpViewer.h"
#include "platform/forms/WindowFrame.h"

#include <QLabel>
#include <QTimer>
#include <QtTest>

using platform::HelpRequest;

class TestMsgBox : public QObject {
    Q_OBJECT

private slots:
    // Each button set shown modally with the machine's fonts: its captions laid out
    // inside the window apart from the text; "Aide" opens the box's topic and leaves
    // it open; the key then gives the result.
    void buttons_data()
    {
        QTest::addColumn<int>("formType");
        QTest::addColumn<bool>("help");
        QTest::addColumn<int>("focused");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("captions");
        QTest::addColumn<QString>("tag");
        const int altN = QKeyCombination(Qt::ALT, Qt::Key_N).toCombined();
        // clang-format off
        QTest::newRow("1 Enter")       << 1 << false << 0 << int(Qt::Key_Return) << "OK" << "1";
        QTest::newRow("2 Esc")         << 2 << true  << 0 << int(Qt::Key_Escape) << "OK Annuler Aide" << "2";
        QTest::newRow("3 Aide, Enter") << 3 << true  << 0 << int(Qt::Key_Return) << "&Oui &Non Aide" << "1";
        QTest::newRow("4 Alt+N")       << 4 << false << 0 << altN << "&Oui &Non Annuler" << "2";
        QTest::newRow("5 Enter on focused Annuler") << 5 << false << 2 << int(Qt::Key_Enter) << "&Réessayer Annuler" << "2";
        QTest::newRow("6 Esc")         << 6 << true  << 0 << int(Qt::Key_Escape) << "&Abandon &Réessayer &Ignorer Aide" << "3";
        // clang-format on
    }
    void buttons()
    {
        QFETCH(int, formType);
        QFETCH(bool, help);
        QFETCH(int, key);
        platform::setHelpFile("/opt/tolvo/Tolvo.hlp");
        platform::setWindowFrameFunction([](const QWidget *) { return platform::FrameSizes{8, 8, 24}; });
        platform::HelpRecorder recorder;
        const QString text = "Dans la fenêtre qui va suivre, choisissez l'imprimante à configurer, le bac "
                             "d'alimentation et l'orientation (Portrait ou Paysage) à utiliser. ";
        frmMsgBox box;
        box.setMessage(formType == 6 ? text + text + text : text);
        box.setPictureType(3);
        if (help)
            box.setHelpButton(1006);
        box.setFormType(formType);
        QFETCH(int, focused);
        box.setFocusedButton(focused);
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
            if (help)
                box.cmdAction[box.buttonCount()]->click();
            const QKeyCombination combination = QKeyCombination::fromCombined(key);
            QTest::keyClick(QApplication::focusWidget(), combination.key(), combination.keyboardModifiers());
            if (combination.keyboardModifiers())
                QTest::qWait(400); // an access key presses its button after an animation
            if (box.isVisible())
                box.reject();
        });
        box.exec();
        platform::setWindowFrameFunction({});
        QTEST(captions.join(' '), "captions");
        QTEST(box.Tag, "tag");
        const HelpRequest force{platform::HELP_FORCEFILE, "/opt/tolvo/Tolvo.hlp", 1006};
        const HelpRequest topic{platform::HELP_CONTEXT, "/opt/tolvo/Tolvo.hlp", 1006};
        QCOMPARE(recorder.requests, (help ? QList<HelpRequest>{force, topic} : QList<HelpRequest>()));
    }
};

QTEST_MAIN(TestMsgBox)
#include "test_msgbox.moc"
