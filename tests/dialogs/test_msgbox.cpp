#include "dialogs/MsgBoxLayout.h"
#include "dialogs/frmMsgBox.h"
#include "platform/Application.h"
#include "platform/HelpContext.h"
#include "platform/HelpViewer.h"
#include "platform/WindowFrame.h"

#include <QLabel>
#include <QTimer>
#include <QtTest>

using platform::HelpRequest;

class TestMsgBox : public QObject {
    Q_OBJECT

private slots:
    void init() { platform::setHelpFile(QStringLiteral("/opt/tolvo/Tolvo.hlp")); }

    void buttonSets_data();
    void buttonSets();
    void helpButtonOrder();
    void formTypeRewriteAndClear();
    void captionAndFocusBounds();
    void title();
    void pictures();
    void keys_data();
    void keys();
    void helpButtonKeepsBoxOpen();
    void closedWithoutButton();
    void focusedButton();
    void layoutNumbers_data();
    void layoutNumbers();
    void layoutFrameAndCentre();
    void layoutOnScreen_data();
    void layoutOnScreen();
};

// Captions of a set, then its default and cancel positions (0: none).
void TestMsgBox::buttonSets_data()
{
    QTest::addColumn<int>("formType");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<int>("defaultButton");
    QTest::addColumn<int>("cancelButton");
    QTest::newRow("1 OK") << 1 << QStringList{"OK"} << 0 << 0;
    QTest::newRow("2 OK Annuler") << 2 << QStringList{"OK", "Annuler"} << 1 << 2;
    QTest::newRow("3 Oui Non") << 3 << QStringList{"&Oui", "&Non"} << 1 << 2;
    QTest::newRow("4 Oui Non Annuler") << 4 << QStringList{"&Oui", "&Non", "Annuler"} << 1 << 3;
    QTest::newRow("5 Réessayer Annuler") << 5 << QStringList{"&Réessayer", "Annuler"} << 1 << 2;
    QTest::newRow("6 Abandon Réessayer Ignorer")
        << 6 << QStringList{"&Abandon", "&Réessayer", "&Ignorer"} << 1 << 3;
    QTest::newRow("0 none") << 0 << QStringList{} << 0 << 0;
    QTest::newRow("7 none") << 7 << QStringList{} << 0 << 0;
}

void TestMsgBox::buttonSets()
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
        QStringList expected = captions;
        if (withHelp)
            expected << "Aide";
        QCOMPARE(box.buttonCount(), expected.size());
        QCOMPARE(int(box.cmdAction.size()), expected.size() + 1);
        for (int i = 1; i <= expected.size(); ++i) {
            QCOMPARE(box.ButtonCaption(i), expected[i - 1]);
            const bool isHelp = withHelp && i == expected.size();
            QCOMPARE(box.cmdAction[i]->Tag, isHelp ? QString() : QString::number(i));
            QCOMPARE(box.cmdAction[i]->isDefault(), i == defaultButton);
        }
        QCOMPARE(platform::helpContextID(&box), withHelp ? 1006 : 0);

        // The cancel role: Esc presses that button and nothing else.
        box.show();
        QTest::keyClick(&box, Qt::Key_Escape);
        QCOMPARE(box.Tag, cancelButton ? QString::number(cancelButton) : QString());
        QCOMPARE(box.isVisible(), cancelButton == 0);
    }
}

void TestMsgBox::helpButtonOrder()
{
    frmMsgBox late;
    late.setFormType(2);
    late.setHelpButton(1006);
    QCOMPARE(late.buttonCount(), 2);
    QCOMPARE(late.ButtonCaption(3), QString());
    late.setFormType(2);
    QCOMPARE(late.buttonCount(), 3);
    QCOMPARE(late.ButtonCaption(3), QString("Aide"));
}

void TestMsgBox::formTypeRewriteAndClear()
{
    frmMsgBox box;
    box.setFormType(6);
    box.setButtonCaption(1, "Stop");
    box.setFormType(3);
    QCOMPARE(box.buttonCount(), 2);
    QCOMPARE(box.ButtonCaption(1), QString("&Oui"));
    QCOMPARE(box.findChildren<CommandButton *>().size(), 3); // template + 2
    box.ClearAllButtons();
    QCOMPARE(box.FormType(), 0);
    QCOMPARE(box.buttonCount(), 0);
    QCOMPARE(box.findChildren<CommandButton *>().size(), 1);
}

void TestMsgBox::captionAndFocusBounds()
{
    frmMsgBox box;
    box.setHelpButton(1006);
    box.setFormType(2);
    box.setButtonCaption(1, "Imprimer");
    QCOMPARE(box.ButtonCaption(1), QString("Imprimer"));
    QCOMPARE(box.cmdAction[1]->Tag, QString("1"));
    QVERIFY(box.cmdAction[1]->isDefault());
    for (const qint16 outside : {qint16(0), qint16(4), qint16(-1)}) {
        box.setButtonCaption(outside, "X");
        QCOMPARE(box.ButtonCaption(outside), QString());
    }
    QCOMPARE(box.ButtonCaption(2), QString("Annuler"));
    QCOMPARE(box.ButtonCaption(3), QString("Aide"));
}

void TestMsgBox::title()
{
    frmMsgBox box;
    QCOMPARE(box.Title(), QString("Tolvo"));
    QCOMPARE(box.windowTitle(), QString("Tolvo"));
    box.setTitle("Confirmation");
    QCOMPARE(box.windowTitle(), QString("Confirmation"));
    QVERIFY(!(box.windowFlags() & Qt::WindowCloseButtonHint));
}

void TestMsgBox::pictures()
{
    frmMsgBox box;
    for (int type = 1; type <= 4; ++type) {
        box.setPictureType(type);
        QCOMPARE(box.PictureType(), type);
        QCOMPARE(box.imaIcon->pixmap().size(), QSize(32, 32));
        QCOMPARE(box.imaIcon->size(), QSize(32, 32));
        // Each picture is drawn and differs from the others.
        const QImage image = box.imaIcon->pixmap().toImage();
        QVERIFY(image.pixelColor(16, 16).alpha() > 0);
        for (int other = 1; other < type; ++other)
            QVERIFY(stockPicture(other).toImage() != image);
    }
    QPixmap custom(48, 40);
    custom.fill(Qt::green);
    box.setCustomPicture(custom);
    QCOMPARE(box.PictureType(), 4);
    QCOMPARE(box.imaIcon->size(), QSize(48, 40));
    box.setPictureType(0);
    QVERIFY(box.imaIcon->pixmap().isNull());
    QCOMPARE(box.imaIcon->size(), QSize(48, 40));
}

// Keys on the modal box: Enter presses the default (or focused) button, Esc the
// cancel button, Alt+letter the button of that access key.
void TestMsgBox::keys_data()
{
    QTest::addColumn<int>("formType");
    QTest::addColumn<int>("focused");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("tag");
    QTest::newRow("2 Enter") << 2 << 0 << int(Qt::Key_Return) << 0 << "1";
    QTest::newRow("2 Esc") << 2 << 0 << int(Qt::Key_Escape) << 0 << "2";
    QTest::newRow("2 Enter on focused Annuler") << 2 << 2 << int(Qt::Key_Return) << 0 << "2";
    QTest::newRow("1 Enter on the only button") << 1 << 0 << int(Qt::Key_Return) << 0 << "1";
    QTest::newRow("3 Esc") << 3 << 0 << int(Qt::Key_Escape) << 0 << "2";
    QTest::newRow("4 Esc") << 4 << 0 << int(Qt::Key_Escape) << 0 << "3";
    QTest::newRow("4 Alt+N") << 4 << 0 << int(Qt::Key_N) << int(Qt::AltModifier) << "2";
    QTest::newRow("6 Enter") << 6 << 0 << int(Qt::Key_Enter) << 0 << "1";
    QTest::newRow("6 Esc") << 6 << 0 << int(Qt::Key_Escape) << 0 << "3";
    QTest::newRow("6 Alt+R") << 6 << 0 << int(Qt::Key_R) << int(Qt::AltModifier) << "2";
    QTest::newRow("5 Enter on focused Annuler") << 5 << 2 << int(Qt::Key_Enter) << 0 << "2";
}

void TestMsgBox::keys()
{
    QFETCH(int, formType);
    QFETCH(int, focused);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, tag);

    frmMsgBox box;
    box.setMessage("Continuer ?");
    box.setFormType(formType);
    box.setFocusedButton(focused);
    bool pressed = false;
    QTimer::singleShot(0, &box, [&] {
        QVERIFY(QTest::qWaitForWindowActive(&box));
        QWidget *target = QApplication::focusWidget();
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        pressed = true;
        // An access key presses its button after a short animation.
        if (modifiers)
            QTest::qWait(400);
        if (box.isVisible())
            box.reject(); // let the test end when the key did nothing
    });
    box.exec();
    QVERIFY(pressed);
    QCOMPARE(box.Tag, tag);
}

void TestMsgBox::helpButtonKeepsBoxOpen()
{
    platform::HelpRecorder recorder;
    frmMsgBox box;
    box.setMessage("Ceci imprimera un spécimen de chèque");
    box.setPictureType(3);
    box.setHelpButton(1006);
    box.setFormType(2);
    box.setButtonCaption(1, "Imprimer");
    QStringList seen;
    QTimer::singleShot(0, &box, [&] {
        box.cmdAction[3]->click();
        seen << (box.isVisible() ? "open" : "closed") << box.Tag;
        box.cmdAction[3]->click();
        seen << (box.isVisible() ? "open" : "closed");
        QTest::keyClick(&box, Qt::Key_Return);
    });
    box.exec();
    QCOMPARE(seen, (QStringList{"open", "", "open"}));
    QCOMPARE(box.Tag, QString("1"));
    const HelpRequest force{platform::HELP_FORCEFILE, "/opt/tolvo/Tolvo.hlp", 1006};
    const HelpRequest topic{platform::HELP_CONTEXT, "/opt/tolvo/Tolvo.hlp", 1006};
    QCOMPARE(recorder.requests, (QList<HelpRequest>{force, topic, force, topic}));
}

void TestMsgBox::closedWithoutButton()
{
    frmMsgBox box;
    box.setFormType(2);
    QTimer::singleShot(0, &box, [&] { box.close(); });
    box.exec();
    QVERIFY(!box.isVisible());
    QCOMPARE(box.Tag, QString());
}

void TestMsgBox::focusedButton()
{
    frmMsgBox box;
    box.setFocusedButton(1); // no buttons yet: ignored
    box.setFormType(3);
    box.setFocusedButton(3); // beyond the two buttons: ignored
    box.show();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    QCOMPARE(box.focusWidget(), box.cmdAction[1]);
    box.hide();

    box.setFocusedButton(2);
    box.show();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    QCOMPARE(box.focusWidget(), box.cmdAction[2]);
    box.hide();

    box.setFocusedButton(0); // none: the focus follows the tab order
    box.cmdAction[1]->setFocus();
    box.show();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    QCOMPARE(box.focusWidget(), box.cmdAction[1]);
}

void TestMsgBox::layoutNumbers_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("messageWidth");
    QTest::addColumn<int>("rowTop");
    QTest::addColumn<int>("clientWidth");
    QTest::addColumn<int>("clientHeight");
    QTest::addColumn<QList<int>>("lefts");
    QTest::newRow("form 2") << 2 << 1 << 3915 << 800 << 4695 << 1345 << QList<int>{1082, 2397};
    QTest::newRow("form 2 + Aide") << 3 << 1 << 3915 << 800 << 4695 << 1345 << QList<int>{425, 1740, 3055};
    QTest::newRow("four lines") << 2 << 4 << 4515 << 1220 << 5295 << 1765 << QList<int>{1382, 2697};
    QTest::newRow("form 4 + Aide") << 4 << 1 << 4380 << 800 << 5160 << 1345
                                   << QList<int>{0, 1315, 2630, 3945};
}

void TestMsgBox::layoutNumbers()
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
    QCOMPARE(out.messageHeight, lines * 195);
    QCOMPARE(out.rowTop, rowTop);
    QCOMPARE(out.clientWidth, clientWidth);
    QCOMPARE(out.clientHeight, clientHeight);
    QCOMPARE(QList<int>(out.buttonLefts.begin(), out.buttonLefts.end()), lefts);
    QCOMPARE(out.outerWidth, clientWidth + 90);
    QCOMPARE(out.outerHeight, clientHeight + 360);
    QVERIFY(3 * out.clientHeight <= out.clientWidth);
}

void TestMsgBox::layoutFrameAndCentre()
{
    // A message that wraps: the box widens until it is three times as wide as
    // high; the measure is asked at the width the message finally gets.
    MsgBoxLayoutInput in;
    in.buttonWidths = {1215, 1215};
    in.horizontalFrame = 120;
    in.verticalFrame = 120;
    in.caption = 300;
    in.screenWidth = 15 * 1024;
    in.screenHeight = 15 * 768;
    QList<int> widths;
    in.messageHeight = [&](int width) {
        widths << width;
        return ((20000 + width - 1) / width) * 195;
    };
    const MsgBoxLayout out = layOutMsgBox(in);
    QCOMPARE(widths.last(), out.messageWidth);
    QCOMPARE(out.messageHeight, ((20000 + out.messageWidth - 1) / out.messageWidth) * 195);
    QVERIFY(3 * out.clientHeight <= out.clientWidth);
    QCOMPARE(out.windowLeft, (in.screenWidth - out.clientWidth - 120) / 2);
    QCOMPARE(out.windowTop, (in.screenHeight - out.clientHeight - 420) / 2);

    // A picture so wide that no room is left widens the box first.
    MsgBoxLayoutInput wide;
    wide.picture = QRect(100, 120, 6000, 480);
    wide.buttonWidths = {1215};
    wide.messageHeight = [](int) { return 195; };
    const MsgBoxLayout w = layOutMsgBox(wide);
    QVERIFY(w.messageWidth > 0);
    QCOMPARE(w.messageLeft, 6200);
}

// The real box, with the fonts of the machine: every button and the message lie
// inside the window and do not overlap, whatever the set and message.
void TestMsgBox::layoutOnScreen_data()
{
    QTest::addColumn<int>("formType");
    QTest::addColumn<bool>("help");
    QTest::addColumn<QString>("text");
    const QString specimen = "Ceci imprimera un spécimen de chèque\r\n   sur l'imprimante: Fichier PDF\r\n"
                             "   Bac par défaut\r\n   Orientation Paysage";
    const QString config = "Dans la fenêtre qui va suivre, choisissez l'imprimante à configurer, le bac "
                           "d'alimentation et l'orientation (Portrait ou Paysage) à utiliser.";
    QTest::newRow("specimen") << 2 << true << specimen;
    QTest::newRow("configuration") << 2 << false << config;
    QTest::newRow("6 + Aide") << 6 << true << config;
    QTest::newRow("1 short") << 1 << false << "OK";
    QTest::newRow("4 long") << 4 << false << config + " " + config + " " + config;
}

void TestMsgBox::layoutOnScreen()
{
    QFETCH(int, formType);
    QFETCH(bool, help);
    QFETCH(QString, text);

    platform::setWindowFrameFunction([](const QWidget *) { return platform::FrameSizes{8, 8, 24}; });
    frmMsgBox box;
    box.setMessage(text);
    box.setPictureType(3);
    if (help)
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
        QVERIFY(!button.intersects(message));
        QVERIFY(!button.intersects(box.imaIcon->geometry()));
        QVERIFY(!previous.isValid() || button.left() > previous.right());
        QCOMPARE(button.top(), box.cmdAction[1]->y());
        previous = button;
    }
    // Centred on the screen, frame included.
    const QRect screen = box.screen()->geometry();
    QVERIFY(qAbs(box.x() + (box.width() + 8) / 2 - screen.center().x()) <= 2);
}

QTEST_MAIN(TestMsgBox)
#include "test_msgbox.moc"
