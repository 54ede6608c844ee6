#include "platform/HelpViewer.h"

#include "platform/MessageBox.h"
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

class TestHelpViewer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void parse();
    void helpFileOfTheProgram();
    void commands_data();
    void commands();
    void topicsDialog();
    void linksAndBack();
    void missing_data();
    void missing();
    void usableAboveModalWindow_data();
    void usableAboveModalWindow();

private:
    QString m_file;
    QTemporaryDir m_dir;
};

void TestHelpViewer::initTestCase()
{
    m_file = testsupport::sourceDir() + "/data/Tolvo.hlp";
    QVERIFY(QFile::exists(m_file));
}

void TestHelpViewer::parse()
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
    QCOMPARE(d.topic("8"), nullptr);
    QCOMPARE(parseHelpDocument("").contents(), nullptr);
    QCOMPARE(foldForSearch("Bénéficiaire ÉTOILES"), QString("beneficiaire etoiles"));
}

// The help delivered with the program: a topic for every help context number, a
// contents topic, index entries everywhere, and links that all lead somewhere.
void TestHelpViewer::helpFileOfTheProgram()
{
    const HelpDocument d = parseHelpDocument(QString::fromUtf8(testsupport::readAll(m_file)));
    QCOMPARE(d.title, QString("Aide de Tolvo"));
    QVERIFY(d.contents());
    QCOMPARE(d.contents()->id, QString("sommaire"));
    for (int id = 1000; id <= 1006; ++id) {
        const HelpTopic *t = d.topic(QString::number(id));
        QVERIFY2(t, qPrintable(QString::number(id)));
        QVERIFY(!t->keywords.isEmpty());
        QVERIFY(t->title != t->id);
        QVERIFY(t->text.size() > 300);
    }
    static const QRegularExpression link(R"re(href="([^"]*)")re");
    for (const HelpTopic &t : d.topics) {
        for (auto it = link.globalMatch(t.html); it.hasNext();) {
            const QString target = it.next().captured(1);
            QVERIFY2(target.startsWith('#') && d.topic(target.mid(1)), qPrintable(t.id + " -> " + target));
        }
    }
    // The contents leads to every numbered topic.
    for (int id = 1000; id <= 1006; ++id)
        QVERIFY(d.contents()->html.contains(QString("href=\"#%1\"").arg(id)));
}

void TestHelpViewer::commands_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("data");
    QTest::addColumn<QString>("topic"); // shown in the help window, or ""
    QTest::addColumn<QString>("popup"); // shown in the pop-up, or ""
    QTest::addColumn<bool>("topicsShown");
    QTest::newRow("topic") << int(HELP_CONTEXT) << 1004 << "1004"
                           << "" << false;
    QTest::newRow("contents") << int(HELP_CONTENTS) << 0 << "sommaire"
                              << "" << false;
    QTest::newRow("pop-up") << int(HELP_CONTEXTPOPUP) << 1006 << ""
                            << "1006" << false;
    QTest::newRow("topics dialog") << int(HELP_FINDER) << 0 << ""
                                   << "" << true;
    QTest::newRow("file only") << int(HELP_FORCEFILE) << 0 << ""
                               << "" << false;
}

void TestHelpViewer::commands()
{
    QFETCH(int, command);
    QFETCH(int, data);
    QFETCH(QString, topic);
    QFETCH(QString, popup);
    QFETCH(bool, topicsShown);

    delete existingHelpViewer();
    MessageBoxRecorder messages;
    openHelp(nullptr, m_file, command, data);
    HelpViewer *viewer = existingHelpViewer();
    QVERIFY(viewer);
    QCOMPARE(viewer->file(), m_file);
    QVERIFY(messages.shown.isEmpty());
    QCOMPARE(viewer->isVisible(), !topic.isEmpty());
    QCOMPARE(viewer->currentTopic(), topic);
    if (!topic.isEmpty())
        QCOMPARE(viewer->browser()->toPlainText().simplified().left(20),
                 viewer->document().topic(topic)->text.left(20));
    QCOMPARE(viewer->popup() && viewer->popup()->isVisible(), !popup.isEmpty());
    if (!popup.isEmpty()) {
        QCOMPARE(viewer->popup()->topicId(), popup);
        QTest::keyClick(viewer->popup(), Qt::Key_Escape);
        QVERIFY(!viewer->popup()->isVisible());
    }
    QCOMPARE(viewer->topicsDialog() && viewer->topicsDialog()->isVisible(), topicsShown);
    delete viewer;
    QCOMPARE(existingHelpViewer(), nullptr);
}

void TestHelpViewer::topicsDialog()
{
    openHelp(nullptr, m_file, HELP_FINDER, 0);
    HelpViewer *viewer = existingHelpViewer();
    HelpTopicsDialog *topics = viewer->topicsDialog();
    QVERIFY(topics && topics->isVisible());
    QCOMPARE(topics->tabs->count(), 3);
    QCOMPARE(topics->contentsList->count(), 8);
    QCOMPARE(topics->contentsList->item(0)->data(Qt::UserRole).toString(), QString("sommaire"));

    // Contents: the chosen topic opens in the help window.
    topics->contentsList->setCurrentRow(3);
    const QString chosen = topics->contentsList->currentItem()->data(Qt::UserRole).toString();
    topics->display();
    QVERIFY(!topics->isVisible());
    QVERIFY(viewer->isVisible());
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
    delete viewer;
}

void TestHelpViewer::linksAndBack()
{
    openHelp(nullptr, m_file, HELP_CONTENTS, 0);
    HelpViewer *viewer = existingHelpViewer();
    emit viewer->browser()->anchorClicked(QUrl("#1003"));
    QCOMPARE(viewer->currentTopic(), QString("1003"));
    emit viewer->browser()->anchorClicked(QUrl("https://ailleurs.example.org/#1004"));
    emit viewer->browser()->anchorClicked(QUrl("#9999"));
    QCOMPARE(viewer->currentTopic(), QString("1003"));
    QPushButton *back = nullptr;
    for (QPushButton *b : viewer->findChildren<QPushButton *>())
        if (b->text() == "&Précédent")
            back = b;
    QVERIFY(back && back->isEnabled());
    back->click();
    QCOMPARE(viewer->currentTopic(), QString("sommaire"));
    QVERIFY(!back->isEnabled());
    delete viewer;
}

void TestHelpViewer::missing_data()
{
    QTest::addColumn<QString>("content"); // "-": no file at all
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("data");
    QTest::addColumn<QString>("message");
    QTest::newRow("no file") << "-" << int(HELP_CONTEXT) << 1001 << "Impossible d'ouvrir le fichier d'aide";
    QTest::newRow("no topic in file")
        << "<html>rien</html>" << int(HELP_FINDER) << 0 << "Le fichier d'aide ne contient aucune rubrique";
    QTest::newRow("unknown topic") << "<section id='1'>un</section>" << int(HELP_CONTEXT) << 1001
                                   << "La rubrique d'aide 1001 est introuvable";
    QTest::newRow("unknown pop-up") << "<section id='1'>un</section>" << int(HELP_CONTEXTPOPUP) << 5
                                    << "La rubrique d'aide 5 est introuvable";
}

void TestHelpViewer::missing()
{
    QFETCH(QString, content);
    QFETCH(int, command);
    QFETCH(int, data);
    QFETCH(QString, message);
    const QString file = m_dir.filePath("essai.hlp");
    QFile::remove(file);
    if (content != "-")
        QVERIFY(testsupport::writeAll(file, content.toUtf8()));

    MessageBoxRecorder messages;
    openHelp(nullptr, file, HELP_FORCEFILE, data);
    openHelp(nullptr, file, command, data);
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY2(messages.shown[0].text.startsWith(message), qPrintable(messages.shown[0].text));
    QVERIFY(!existingHelpViewer()->isVisible());
    delete existingHelpViewer();
}

// Qt tells each window when a modal window blocks it or lets it go.
class BlockWatcher : public QObject {
public:
    QHash<QObject *, bool> blocked;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::WindowBlocked)
            blocked[watched] = true;
        else if (event->type() == QEvent::WindowUnblocked)
            blocked[watched] = false;
        return false;
    }
};

// Help asked from a modal box must not be blocked by it.
void TestHelpViewer::usableAboveModalWindow_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<bool>("openBefore");
    QTest::newRow("topic") << int(HELP_CONTEXT) << false;
    QTest::newRow("topic, viewer already open") << int(HELP_CONTEXT) << true;
    QTest::newRow("topics dialog") << int(HELP_FINDER) << false;
}

void TestHelpViewer::usableAboveModalWindow()
{
    QFETCH(int, command);
    QFETCH(bool, openBefore);
    BlockWatcher watcher;
    qApp->installEventFilter(&watcher);
    if (openBefore)
        openHelp(nullptr, m_file, HELP_CONTENTS, 0);

    QDialog modal;
    modal.setWindowModality(Qt::ApplicationModal);
    modal.show();
    QVERIFY(QTest::qWaitForWindowExposed(&modal));
    if (openBefore)
        QTRY_VERIFY(watcher.blocked.value(existingHelpViewer()));

    openHelp(&modal, m_file, command, 1002);
    HelpViewer *viewer = existingHelpViewer();
    QWidget *shown = command == HELP_FINDER ? static_cast<QWidget *>(viewer->topicsDialog()) : viewer;
    QVERIFY(shown->isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(shown));
    QCoreApplication::processEvents();
    QVERIFY(!watcher.blocked.value(shown));
    QCOMPARE(shown->windowHandle()->transientParent(), modal.windowHandle());
    qApp->removeEventFilter(&watcher);
    modal.hide();
    delete viewer;
}

QTEST_MAIN(TestHelpViewer)
#include "test_helpviewer.moc"
