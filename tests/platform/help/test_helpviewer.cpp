#include "platform/help/HelpViewer.h"

#include "platform/forms/MessageBox.h"
#include "support/TestFiles.h"

#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
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

    const QString m_file = testsupport::sourceDir() + "/data/Tolvo.hlp";
    QTemporaryDir m_dir;

private slots:
    // The help delivered with the program: a topic for every help context number, all
    // reached from the contents, and links that all lead somewhere.
    void helpFileOfTheProgram()
    {
        const HelpDocument d = parseHelpDocument(QString::fromUtf8(testsupport::readAll(m_file)));
        QCOMPARE(d.title, QString("Aide de Tolvo"));
        QVERIFY(d.contents() && d.contents()->id == "sommaire");
        for (int id = 1000; id <= 1008; ++id) {
            const HelpTopic *t = d.topic(QString::number(id));
            QVERIFY2(t && !t->keywords.isEmpty() && t->title != t->id && t->text.size() > 300, qPrintable(t->id));
            QVERIFY(d.contents()->html.contains(QString("href=\"#%1\"").arg(id)));
        }
        static const QRegularExpression link("href=\"([^\"]*)\"");
        for (const HelpTopic &t : d.topics)
            for (auto it = link.globalMatch(t.html); it.hasNext();) {
                const QString target = it.next().captured(1);
                QVERIFY2(target.startsWith('#') && d.topic(target.mid(1)), qPrintable(t.id + " -> " + target));
            }
    }

    // What shows: the help window, the pop-up, the topics dialog, or a message.
    void commands_data()
    {
        QTest::addColumn<QString>("content"); // the file's text; "-": the program's help; null: no file
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("data");
        QTest::addColumn<QString>("shown");
        QTest::newRow("topic") << "-" << int(HELP_CONTEXT) << 1004 << "window 1004";
        QTest::newRow("contents") << "-" << int(HELP_CONTENTS) << 0 << "window sommaire";
        QTest::newRow("pop-up") << "-" << int(HELP_CONTEXTPOPUP) << 1006 << "pop-up 1006";
        QTest::newRow("topics dialog") << "-" << int(HELP_FINDER) << 0 << "topics";
        QTest::newRow("no file") << QString() << int(HELP_CONTEXT) << 1001 << "Impossible d'ouvrir le fichier d'aide";
        QTest::newRow("no topic in file") << "<html>rien</html>" << int(HELP_FINDER) << 0
                                          << "Le fichier d'aide ne contient aucune rubrique";
        QTest::newRow("unknown topic") << "<section id='1'>un</section>" << int(HELP_CONTEXT) << 1001
                                       << "La rubrique d'aide 1001 est introuvable dans le fichier";
    }
    void commands()
    {
        QFETCH(QString, content);
        QFETCH(int, command);
        QFETCH(int, data);
        QFETCH(QString, shown);
        QString file = m_file;
        if (content != "-") {
            file = m_dir.filePath("essai.hlp");
            QFile::remove(file);
            if (!content.isNull())
                QVERIFY(testsupport::writeAll(file, content.toUtf8()));
        }
        MessageBoxRecorder messages;
        openHelp(nullptr, file, HELP_FORCEFILE, 0);
        openHelp(nullptr, file, command, data);
        std::unique_ptr<HelpViewer> viewer(existingHelpViewer());
        QVERIFY(viewer && (content != "-" || viewer->file() == file));
        QStringList visible;
        for (const ShownMessage &box : messages.shown)
            visible << box.text.section('\n', 0, 0).section(':', 0, 0).trimmed();
        if (viewer->isVisible()) {
            visible << "window " + viewer->currentTopic();
            QCOMPARE(viewer->browser()->toPlainText().simplified().left(20),
                     viewer->document().topic(viewer->currentTopic())->text.left(20));
        }
        if (viewer->popup() && viewer->popup()->isVisible())
            visible << "pop-up " + viewer->popup()->topicId();
        if (HelpTopicsDialog *topics = viewer->topicsDialog(); topics && topics->isVisible()) {
            visible << "topics";
            // The index finds the first entry, accents and case aside, and opens its topic.
            topics->tabs->setCurrentIndex(1);
            QTest::keyClicks(topics->indexEdit, "SPECI");
            topics->display();
            QCOMPARE(viewer->currentTopic(), QString("1006"));
        }
        QCOMPARE(visible.join(", "), shown);
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
};

QTEST_MAIN(TestHelpViewer)
#include "test_helpviewer.moc"
