#include "platform/help/HelpViewer.h"

#include "platform/forms/MessageBox.h"
#include "support/TestFiles.h"

#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

using namespace platform;

// Qt tells each window when a modal window blocks it or lets it go.
class BlockWatcher : public QObject {
public:
    QHash<QObject *, bool> blocked;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::WindowBlocked || event->type() == QEvent::WindowUnblocked)
            blocked[watched] = event->type() == QEvent::WindowBlocked;
        return false;
    }
};

class TestHelpViewer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_file = testsupport::sourceDir() + "/data/Tolvo.hlp";
        QVERIFY(QFile::exists(m_file));
    }

    void parse()
    {
        const HelpDocument d = parseHelpDocument(
            "<html><head><title>Aide &amp; essai</title><style>h1 { color: red; }</style></head><body>"
            "<section id='7' data-index='un; deux ;;'><h1>Sept <i>titres</i></h1><p>Texte é</p></section>"
            "<section><h1>Sans numéro</h1></section>"
            "<SECTION ID=\"sommaire\" class=\"x\">\n<p>Sans titre</p>\n</SECTION>"
            "<section id=\"7\"><h1>Doublon</h1></section></body></html>");
        QCOMPARE(d.title, QString("Aide & essai"));
        QCOMPARE(d.style, QString("h1 { color: red; }"));
        QCOMPARE(d.topics.size(), 2);
        QCOMPARE(d.topics[0].id, QString("7"));
        QCOMPARE(d.topics[0].title, QString("Sept titres"));
        QCOMPARE(d.topics[0].keywords, (QStringList{"un", "deux"}));
        QVERIFY(d.topics[0].text.contains("Texte é"));
        QCOMPARE(d.topics[1].title, QString("sommaire"));
        QCOMPARE(d.contents(), &d.topics[1]);
        QCOMPARE(parseHelpDocument("").contents(), nullptr);
        QCOMPARE(foldForSearch("Bénéficiaire ÉTOILES"), QString("beneficiaire etoiles"));
    }

    // The help delivered with the program: a topic for every help context number, all
    // reached from the contents, and links that all lead somewhere.
    void helpFileOfTheProgram()
    {
        const HelpDocument d = parseHelpDocument(QString::fromUtf8(testsupport::readAll(m_file)));
        QCOMPARE(d.title, QString("Aide de Tolvo"));
        QVERIFY(d.contents());
        QCOMPARE(d.contents()->id, QString("sommaire"));
        for (int id = 1000; id <= 1008; ++id) {
            const HelpTopic *t = d.topic(QString::number(id));
            QVERIFY2(t, qPrintable(QString::number(id)));
            QVERIFY(!t->keywords.isEmpty());
            QVERIFY(t->title != t->id);
            QVERIFY(t->text.size() > 300);
            QVERIFY(d.contents()->html.contains(QString("href=\"#%1\"").arg(id)));
        }
        static const QRegularExpression link("href=\"([^\"]*)\"");
        for (const HelpTopic &t : d.topics) {
            for (auto it = link.globalMatch(t.html); it.hasNext();) {
                const QString target = it.next().captured(1);
                QVERIFY2(target.startsWith('#') && d.topic(target.mid(1)),
                         qPrintable(t.id + " -> " + target));
            }
        }
    }

    // What shows afterwards: the help window, the pop-up, the topics dialog.
    void commands_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("data");
        QTest::addColumn<QString>("shown");
        QTest::newRow("topic") << int(HELP_CONTEXT) << 1004 << "window 1004";
        QTest::newRow("contents") << int(HELP_CONTENTS) << 0 << "window sommaire";
        QTest::newRow("pop-up") << int(HELP_CONTEXTPOPUP) << 1006 << "pop-up 1006";
        QTest::newRow("topics dialog") << int(HELP_FINDER) << 0 << "topics";
        QTest::newRow("file only") << int(HELP_FORCEFILE) << 0 << "";
    }
    void commands()
    {
        QFETCH(int, command);
        QFETCH(int, data);
        QFETCH(QString, shown);
        MessageBoxRecorder messages;
        openHelp(nullptr, m_file, command, data);
        std::unique_ptr<HelpViewer> viewer(existingHelpViewer());
        QVERIFY(viewer);
        QCOMPARE(viewer->file(), m_file);
        QVERIFY(messages.shown.isEmpty());
        QStringList visible;
        if (viewer->isVisible()) {
            visible << "window " + viewer->currentTopic();
            QCOMPARE(viewer->browser()->toPlainText().simplified().left(20),
                     viewer->document().topic(viewer->currentTopic())->text.left(20));
        }
        if (viewer->popup() && viewer->popup()->isVisible()) {
            visible << "pop-up " + viewer->popup()->topicId();
            QTest::keyClick(viewer->popup(), Qt::Key_Escape);
            QVERIFY(!viewer->popup()->isVisible());
        }
        if (viewer->topicsDialog() && viewer->topicsDialog()->isVisible())
            visible << "topics";
        QCOMPARE(visible.join(", "), shown);
        viewer.reset();
        QCOMPARE(existingHelpViewer(), nullptr);
    }

    void topicsDialog()
    {
        openHelp(nullptr, m_file, HELP_FINDER, 0);
        std::unique_ptr<HelpViewer> viewer(existingHelpViewer());
        HelpTopicsDialog *topics = viewer->topicsDialog();
        QVERIFY(topics && topics->isVisible());
        QCOMPARE(topics->contentsList->count(), 10);
        QCOMPARE(topics->contentsList->item(0)->data(Qt::UserRole).toString(), QString("sommaire"));

        // Contents: the chosen topic opens in the help window.
        topics->contentsList->setCurrentRow(3);
        const QString chosen = topics->contentsList->currentItem()->data(Qt::UserRole).toString();
        topics->display();
        QVERIFY(!topics->isVisible() && viewer->isVisible());
        QCOMPARE(viewer->currentTopic(), chosen);

        // Index: typing finds the first entry, accents and case aside.
        viewer->showTopics();
        topics->tabs->setCurrentIndex(1);
        QTest::keyClicks(topics->indexEdit, "SPECI");
        QVERIFY(topics->indexList->currentItem()->text().startsWith("spécimen"));
        topics->display();
        QCOMPARE(viewer->currentTopic(), QString("1006"));

        // Search: topics holding every word typed.
        viewer->showTopics();
        topics->tabs->setCurrentIndex(2);
        topics->searchEdit->setText("millimetres horizontal");
        QCOMPARE(topics->searchList->count(), 1);
        QCOMPARE(topics->searchList->item(0)->data(Qt::UserRole).toString(), QString("1003"));
        topics->searchEdit->setText("zzzz introuvable");
        QCOMPARE(topics->searchList->count(), 0);
        topics->display(); // nothing chosen: nothing happens
        QVERIFY(topics->isVisible());
    }

    void linksAndBack()
    {
        openHelp(nullptr, m_file, HELP_CONTENTS, 0);
        std::unique_ptr<HelpViewer> viewer(existingHelpViewer());
        emit viewer->browser()->anchorClicked(QUrl("#1003"));
        QCOMPARE(viewer->currentTopic(), QString("1003"));
        emit viewer->browser()->anchorClicked(QUrl("https://ailleurs.example.org/#1004"));
        emit viewer->browser()->anchorClicked(QUrl("#9999"));
        QCOMPARE(viewer->currentTopic(), QString("1003"));
        QPushButton *back = viewer->findChildren<QPushButton *>().value(2);
        QVERIFY(back && back->text() == "&Précédent" && back->isEnabled());
        back->click();
        QCOMPARE(viewer->currentTopic(), QString("sommaire"));
        QVERIFY(!back->isEnabled());
    }

    void missing_data()
    {
        QTest::addColumn<QString>("content"); // "-": no file at all
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("message");
        QTest::newRow("no file") << "-" << int(HELP_CONTEXT) << "Impossible d'ouvrir le fichier d'aide";
        QTest::newRow("no topic in file")
            << "<html>rien</html>" << int(HELP_FINDER) << "Le fichier d'aide ne contient aucune rubrique";
        QTest::newRow("unknown topic") << "<section id='1'>un</section>" << int(HELP_CONTEXT)
                                       << "La rubrique d'aide 1001 est introuvable";
    }
    void missing()
    {
        QFETCH(QString, content);
        QFETCH(int, command);
        QFETCH(QString, message);
        const QString file = m_dir.filePath("essai.hlp");
        QFile::remove(file);
        if (content != "-")
            QVERIFY(testsupport::writeAll(file, content.toUtf8()));

        MessageBoxRecorder messages;
        openHelp(nullptr, file, HELP_FORCEFILE, 1001);
        openHelp(nullptr, file, command, 1001);
        std::unique_ptr<HelpViewer> viewer(existingHelpViewer());
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY2(messages.shown[0].text.startsWith(message), qPrintable(messages.shown[0].text));
        QVERIFY(!viewer->isVisible());
    }

    // Help asked from a modal box must not be blocked by it, even when it was open before.
    void usableAboveModalWindow()
    {
        BlockWatcher watcher;
        qApp->installEventFilter(&watcher);
        openHelp(nullptr, m_file, HELP_CONTENTS, 0);
        std::unique_ptr<HelpViewer> viewer(existingHelpViewer());

        QDialog modal;
        modal.setWindowModality(Qt::ApplicationModal);
        modal.show();
        QVERIFY(QTest::qWaitForWindowExposed(&modal));
        QTRY_VERIFY(watcher.blocked.value(viewer.get()));

        openHelp(&modal, m_file, HELP_CONTEXT, 1002);
        QVERIFY(QTest::qWaitForWindowExposed(viewer.get()));
        QCoreApplication::processEvents();
        QVERIFY(!watcher.blocked.value(viewer.get()));
        qApp->removeEventFilter(&watcher);
    }

private:
    QString m_file;
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestHelpViewer)
#include "test_helpviewer.moc"
