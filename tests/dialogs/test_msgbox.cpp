#include "dialogs/MsgBoxLayout.h"
#include "dialogs/frmMsgBox.h"
#include "platform/Application.h"
#include "platform/help/HelpContext.h"
#include "platform/help/HelpViewer.h"
#include "platform/forms/WindowFrame.h"

#include <QLabel>
#include <QTimer>
#include <QtTest>

using platform::HelpRequest;

class TestMsgBox : public QObject {
    Q_OBJECT

private slots:
    void init() { platform::setHelpFile(QStringLiteral("/opt/tolvo/Tolvo.hlp")); }

    // Captions of a set, then its default and cancel positions (0: none).
    void buttonSets_data()
    {
        QTest::addColumn<int>("formType");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<int>("defaultButton");
        QTest::addColumn<int>("cancelButton");
        QTest::newRow("1") << 1 << QStringList{"OK"} << 0 << 0;
        QTest::newRow("2") << 2 << QStringList{"OK", "Annuler"} << 1 << 2;
        QTest::newRow("3") << 3 << QStringList{"&Oui", "&Non"} << 1 << 2;
        QTest::newRow("4") << 4 << QStringList{"&Oui", "&Non", "Annuler"} << 1 << 3;
        QTest::newRow("5") << 5 << QStringList{"&Réessayer", "Annuler"} << 1 << 2;
        QTest::newRow("6") << 6 << QStringList{"&Abandon", "&Réessayer", "&Ignorer"} << 1 << 3;
        QTest::newRow("0 none") << 0 << QStringList{} << 0 << 0;
        QTest::newRow("7 none") << 7 << QStringList{} << 0 << 0;
    }
    void buttonSets()
    {
        QFETCH(int, formType);
        QFETCH(QStringList, captions);
        QFETCH(int, defaultButton);
        QFETCH(int, cancelButton);
        for (const bool withHelp : {false, true}) {
            frmMsgBox box;
            if (withHelp)
                box.setHelpButton(1006);
            box.setFormType(formType);
            QCOMPARE(box.FormType(), formType);
            const QStringList expected = withHelp ? captions + QStringList{"Aide"} : captions;
            QCOMPARE(box.buttonCount(), expected.size());
            for (int i = 1; i <= expected.size(); ++i) {
                QCOMPARE(box.ButtonCaption(i), expected[i - 1]);
                const bool isHelp = withHelp && i == expected.size();
                QCOMPARE(box.cmdAction[i]->Tag, isHelp ? QString() : QString::number(i));
                QCOMPARE(box.cmdAction[i]->isDefault(), i == defaultButton);
            }
            QCOMPARE(platform::helpContextID(&box), withHelp ? 1006 : 0);
            // Esc presses the cancel button and nothing else.
            box.show();
            QTest::keyClick(&box, Qt::Key_Escape);
            QCOMPARE(box.Tag, cancelButton ? QString::number(cancelButton) : QString());
            QCOMPARE(box.isVisible(), cancelButton == 0);
        }
    }

    void helpButtonCaptionsAndRebuild()
    {
        frmMsgBox box;
        box.setFormType(6);
        box.setButtonCaption(1, "Stop");
        box.setHelpButton(1006); // after FormType: waits for the next one
        QCOMPARE(box.buttonCount(), 3);
        QCOMPARE(box.ButtonCaption(4), QString());
        box.setFormType(2);
        QCOMPARE(box.ButtonCaption(1), QString("OK"));
        QCOMPARE(box.ButtonCaption(3), QString("Aide"));
        QCOMPARE(box.findChildren<CommandButton *>().size(), 4); // the template + 3

        box.setButtonCaption(1, "Imprimer");
        for (const qint16 outside : {qint16(0), qint16(4), qint16(-1)}) {
            box.setButtonCaption(outside, "X");
            QCOMPARE(box.ButtonCaption(outside), QString());
        }
        QCOMPARE(box.ButtonCaption(1), QString("Imprimer"));
        QCOMPARE(box.cmdAction[0]->text(), QString()); // the template

        box.ClearAllButtons();
        QCOMPARE(box.FormType(), 0);
        QCOMPARE(box.buttonCount(), 0);
        QCOMPARE(box.findChildren<CommandButton *>().size(), 1);
    }

    void focusedButton()
    {
        frmMsgBox box;
        const auto focusOnShow = [&box] {
            box.show();
            QWidget *focus = QTest::qWaitForWindowActive(&box) ? box.focusWidget() : nullptr;
            box.hide();
            return focus;
        };
        box.setFocusedButton(2); // no buttons yet: ignored
        box.setFormType(3);
        box.setFocusedButton(3); // beyond the two buttons: ignored
        box.setFormType(4);
        QCOMPARE(focusOnShow(), box.cmdAction[1]);
        box.setFocusedButton(2);
        QCOMPARE(focusOnShow(), box.cmdAction[2]);
        box.setFocusedButton(0); // none: the focus stays where it is
        box.cmdAction[1]->setFocus();
        QCOMPARE(focusOnShow(), box.cmdAction[1]);
    }

    void pictures()
    {
        frmMsgBox box;
        for (int type = 1; type <= 4; ++type) {
            box.setPictureType(type);
            const QImage image = box.imaIcon->pixmap().toImage();
            QCOMPARE(image.size(), QSize(32, 32));
            QVERIFY(image.pixelColor(16, 16).alpha() > 0);
            for (int other = 1; other < type; ++other)
                QVERIFY(stockPicture(other).toImage() != image);
        }
        QPixmap custom(48, 40);
        custom.fill(Qt::green);
        box.setCustomPicture(custom);
        box.setPictureType(0); // no picture; its room stays
        QVERIFY(box.imaIcon->pixmap().isNull());
        QCOMPARE(box.imaIcon->size(), QSize(48, 40));
    }

    // On the modal box, after pressing "Aide" when there is one; key 0 closes the window.
    void keys_data()
    {
        QTest::addColumn<int>("formType");
        QTest::addColumn<bool>("help");
        QTest::addColumn<int>("focused");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("tag");
        QTest::newRow("2 Enter") << 2 << false << 0 << int(Qt::Key_Return) << "1";
        QTest::newRow("1 Enter on the only button") << 1 << false << 0 << int(Qt::Key_Return) << "1";
        QTest::newRow("5 Enter on focused Annuler") << 5 << false << 2 << int(Qt::Key_Enter) << "2";
        QTest::newRow("4 Alt+N") << 4 << false << 0 << QKeyCombination(Qt::ALT, Qt::Key_N).toCombined()
                                 << "2";
        QTest::newRow("2 closed") << 2 << false << 0 << 0 << "";
        QTest::newRow("2 Aide, Enter") << 2 << true << 0 << int(Qt::Key_Return) << "1";
        QTest::newRow("3 Aide, Esc") << 3 << true << 0 << int(Qt::Key_Escape) << "2";
    }
    void keys()
    {
        QFETCH(int, formType);
        QFETCH(bool, help);
        QFETCH(int, focused);
        QFETCH(int, key);
        QFETCH(QString, tag);
        platform::HelpRecorder recorder;
        frmMsgBox box;
        box.setMessage("Continuer ?");
        if (help)
            box.setHelpButton(1006);
        box.setFormType(formType);
        box.setFocusedButton(focused);
        bool pressed = false;
        QTimer::singleShot(0, &box, [&] {
            QVERIFY(QTest::qWaitForWindowActive(&box));
            pressed = true;
            if (help)
                box.cmdAction[box.buttonCount()]->click(); // the box stays open, without result
            if (!key) {
                box.close();
                return;
            }
            const QKeyCombination combination = QKeyCombination::fromCombined(key);
            QTest::keyClick(QApplication::focusWidget(), combination.key(), combination.keyboardModifiers());
            if (combination.keyboardModifiers())
                QTest::qWait(400); // an access key presses its button after an animation
            if (box.isVisible())
                box.reject();
        });
        box.exec();
        QVERIFY(pressed);
        QCOMPARE(box.Tag, tag);
        const HelpRequest force{platform::HELP_FORCEFILE, "/opt/tolvo/Tolvo.hlp", 1006};
        const HelpRequest topic{platform::HELP_CONTEXT, "/opt/tolvo/Tolvo.hlp", 1006};
        QCOMPARE(recorder.requests, (help ? QList<HelpRequest>{force, topic} : QList<HelpRequest>()));
    }

    // Twips, for 1215-twip buttons and 195-twip lines.
    void layoutNumbers_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("messageWidth");
        QTest::addColumn<int>("rowTop");
        QTest::addColumn<int>("clientWidth");
        QTest::addColumn<int>("clientHeight");
        QTest::addColumn<QList<int>>("lefts");
        QTest::newRow("form 2") << 2 << 1 << 3915 << 800 << 4695 << 1345 << QList<int>{1082, 2397};
        QTest::newRow("form 2 + Aide")
            << 3 << 1 << 3915 << 800 << 4695 << 1345 << QList<int>{425, 1740, 3055};
        QTest::newRow("four lines") << 2 << 4 << 4515 << 1220 << 5295 << 1765 << QList<int>{1382, 2697};
        QTest::newRow("form 4 + Aide")
            << 4 << 1 << 4380 << 800 << 5160 << 1345 << QList<int>{0, 1315, 2630, 3945};
    }
    void layoutNumbers()
    {
        QFETCH(int, buttons);
        QFETCH(int, lines);
        QFETCH(int, messageWidth);
        QFETCH(int, rowTop);
        QFETCH(int, clientWidth);
        QFETCH(int, clientHeight);
        QFETCH(QList<int>, lefts);
        MsgBoxLayoutInput in;
        in.buttonWidths.assign(buttons, 1215);
        in.messageHeight = [lines](int) { return lines * 195; };
        in.horizontalFrame = 90;
        in.verticalFrame = 90;
        in.caption = 270;
        const MsgBoxLayout out = layOutMsgBox(in);
        QCOMPARE(out.messageLeft, 680);
        QCOMPARE(out.messageWidth, messageWidth);
        QCOMPARE(out.rowTop, rowTop);
        QCOMPARE(out.clientWidth, clientWidth);
        QCOMPARE(out.clientHeight, clientHeight);
        QCOMPARE(QList<int>(out.buttonLefts.begin(), out.buttonLefts.end()), lefts);
        QCOMPARE(out.outerWidth, clientWidth + 90);
        QCOMPARE(out.outerHeight, clientHeight + 360);
    }

    void layoutWrapsAndCentres()
    {
        // 20000 twips of text: the box widens until it is three times as wide as
        // high, the text measured at the width it finally gets.
        MsgBoxLayoutInput in;
        in.buttonWidths = {1215, 1215};
        in.horizontalFrame = 120;
        in.verticalFrame = 120;
        in.caption = 300;
        in.screenWidth = 15360;
        in.screenHeight = 11520;
        QList<int> widths;
        in.messageHeight = [&](int width) {
            widths << width;
            return ((20000 + width - 1) / width) * 195;
        };
        const MsgBoxLayout out = layOutMsgBox(in);
        QCOMPARE(out.messageWidth, 5015);
        QCOMPARE(widths.last(), 5015);
        QCOMPARE(out.messageHeight, 4 * 195);
        QCOMPARE(out.clientWidth, 5795);
        QCOMPARE(out.clientHeight, 1765);
        QCOMPARE(out.windowLeft, 4722);
        QCOMPARE(out.windowTop, 4667);

        // A picture that leaves no room widens the box first.
        in.picture = QRect(100, 120, 6000, 480);
        const MsgBoxLayout wide = layOutMsgBox(in);
        QCOMPARE(wide.messageLeft, 6200);
        QVERIFY(wide.messageWidth > 0);
    }

    // The real box with the machine's fonts: buttons and message inside the
    // window, apart from each other.
    void layoutOnScreen_data()
    {
        QTest::addColumn<int>("formType");
        QTest::addColumn<QString>("text");
        const QString config = "Dans la fenêtre qui va suivre, choisissez l'imprimante à configurer, le bac "
                               "d'alimentation et l'orientation (Portrait ou Paysage) à utiliser.";
        QTest::newRow("specimen") << 2
                                  << "Ceci imprimera un spécimen de chèque\r\n   sur l'imprimante: "
                                     "Fichier PDF\r\n   Bac par défaut\r\n   Orientation Paysage";
        QTest::newRow("1 short") << 1 << "OK";
        QTest::newRow("6, long") << 6 << config + " " + config + " " + config;
    }
    void layoutOnScreen()
    {
        QFETCH(int, formType);
        QFETCH(QString, text);
        platform::setWindowFrameFunction([](const QWidget *) { return platform::FrameSizes{8, 8, 24}; });
        frmMsgBox box;
        box.setMessage(text);
        box.setPictureType(3);
        if (formType != 1)
            box.setHelpButton(1006);
        box.setFormType(formType);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        platform::setWindowFrameFunction({});

        QVERIFY(box.width() >= 313);
        QVERIFY(3 * box.height() <= box.width() + 7);
        const QRect message = box.lblMessage->geometry();
        QVERIFY(box.rect().contains(message));
        QVERIFY(message.height() >= box.lblMessage->heightForWidth(message.width()));
        QRect previous;
        for (int i = 1; i <= box.buttonCount(); ++i) {
            const QRect button = box.cmdAction[i]->geometry();
            QVERIFY2(box.rect().contains(button), qPrintable(QString::number(i)));
            QVERIFY(!button.intersects(message) && !button.intersects(box.imaIcon->geometry()));
            QVERIFY(!previous.isValid() || button.left() > previous.right());
            QCOMPARE(button.top(), box.cmdAction[1]->y());
            previous = button;
        }
        // Centred on the screen, frame included.
        QVERIFY(qAbs(box.x() + (box.width() + 8) / 2 - box.screen()->geometry().center().x()) <= 2);
    }
};

QTEST_MAIN(TestMsgBox)
#include "test_msgbox.moc"
