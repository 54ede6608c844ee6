#include "platform/help/HelpViewer.h"

#include "platform/forms/MessageBox.h"
#include "platform/forms/WindowFrame.h"
#include "support/TestFiles.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

using namespace platform;

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
        for (const int id :
             {1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010, 1011, 1012, 1013}) {
            const HelpTopic *t = d.topic(QString::number(id));
            QVERIFY2(t && !t->keywords.isEmpty() && t->title != t->id && topicText(*t).size() > 300,
                     qPrintable(QString::number(id)));
            QVERIFY(d.contents()->html.contains(QString("href=\"#%1\"").arg(id)));
        }
        static const QRegularExpression link("href=\"([^\"]*)\"");
        for (const HelpTopic &t : d.topics)
            for (auto it = link.globalMatch(t.html); it.hasNext();) {
                const QString target = it.next().captured(1);
                QVERIFY2(target.startsWith('#') && d.topic(target.mid(1)),
                         qPrintable(t.id + " -> " + target));
            }
    }

    // What shows: the help window, the pop-up, the topics dialog, or a message.
    void commands()
    {
        const struct {
            QString content;
            int command, data;
            QString shown;
        } rows[] = {
            // content "-": the program's help; null: no file
            {"-", HELP_CONTEXT, 1004, "window 1004"},
            {"-", HELP_CONTEXTPOPUP, 1006, "pop-up 1006"},
            {"-", HELP_FINDER, 0, "topics"},
            {QString(), HELP_CONTEXT, 1001, "Impossible d'ouvrir le fichier d'aide"},
            {"<section id='1'>un</section>", HELP_CONTEXT, 1001,
             "La rubrique d'aide 1001 est introuvable dans le fichier"},
        };
        for (const auto &row : rows) {
            const QString file = row.content == "-" ? m_file : m_dir.filePath("essai.hlp");
            QFile::remove(m_dir.filePath("essai.hlp"));
            if (row.content != "-" && !row.content.isNull())
                QVERIFY(testsupport::writeAll(file, row.content.toUtf8()));
            MessageBoxRecorder messages;
            openHelp(nullptr, file, HELP_FORCEFILE, 0);
            openHelp(nullptr, file, row.command, row.data);
            std::unique_ptr<HelpViewer> viewer(existingHelpViewer());
            QVERIFY(viewer && (row.content != "-" || viewer->file() == file));
            QStringList visible;
            for (const ShownMessage &box : messages.shown)
                visible << box.text.section('\n', 0, 0).section(':', 0, 0).trimmed();
            if (viewer->isVisible()) {
                visible << "window " + viewer->currentTopic();
                QCOMPARE(viewer->browser()->toPlainText().simplified().left(20),
                         topicText(*viewer->document().topic(viewer->currentTopic())).left(20));
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
            QCOMPARE(visible.join(", "), row.shown);
        }
    }

    // The help window opens inside the screen's free area, frame included, comes back
    // into it when it was left partly outside, and Esc closes it. Asked from a modal box,
    // it stays usable above that box, even when it was open before.
    void placedOnScreen()
    {
        setWindowFrameFunction([](const QWidget *) { return FrameSizes{8, 8, 24}; });
        const auto inside = [](const QWidget *w) {
            return w->screen()->availableGeometry().contains(QRect(w->pos(), w->size() + QSize(8, 32)));
        };
        openHelp(nullptr, m_file, HELP_CONTEXT, 1001);
        std::unique_ptr<HelpViewer> viewer(existingHelpViewer());
        QVERIFY(viewer->isVisible() && inside(viewer.get()));
        viewer->setGeometry(300, 200, 1000, 900); // moved and grown by the user
        QTest::keyClick(viewer->browser(), Qt::Key_Escape);
        QVERIFY(!viewer->isVisible());
        openHelp(nullptr, m_file, HELP_CONTEXT, 1002);
        QVERIFY(viewer->isVisible() && inside(viewer.get()));
        setWindowFrameFunction({});

        QDialog modal; // asked from it, the help is its own transient: not blocked by it
        modal.setWindowModality(Qt::ApplicationModal);
        modal.show();
        openHelp(&modal, m_file, HELP_CONTEXT, 1006);
        QVERIFY(viewer->isVisible() && viewer->windowHandle()->transientParent() == modal.windowHandle());
    }

    // A help file of 60 000 topics (6 MB): a topic shows in well under a second, the
    // topics dialog and its search in a few.
    void largeFile()
    {
        QString html = "<html><head><title>Grande aide</title></head><body>\n";
        for (int i = 0; i < 60000; ++i)
            html += QString("<section id=\"%1\" data-index=\"mot %2; clé %3\"><h1>Rubrique %2</h1>"
                            "<p>Texte de la rubrique %2, chèque n° %1.</p></section>\n")
                        .arg(1000 + i)
                        .arg(i)
                        .arg(i % 500);
        const QString file = m_dir.filePath("grande.hlp");
        QVERIFY(testsupport::writeAll(file, (html + "</body></html>").toUtf8()));
        QVERIFY(QFileInfo(file).size() > 6'000'000);

        QElapsedTimer clock;
        clock.start();
        openHelp(nullptr, file, HELP_FORCEFILE, 0);
        openHelp(nullptr, file, HELP_CONTEXT, 60999);
        const qint64 topic = clock.restart();
        std::unique_ptr<HelpViewer> viewer(existingHelpViewer());
        QCOMPARE(viewer->currentTopic(), QString("60999"));
        openHelp(nullptr, file, HELP_FINDER, 0);
        HelpTopicsDialog *dialog = viewer->topicsDialog();
        QTest::keyClicks(dialog->indexEdit, "mot 5999");
        dialog->tabs->setCurrentIndex(2);
        QTest::keyClicks(dialog->searchEdit, "59999 60999");
        const qint64 topics = clock.elapsed();
        qInfo("topic %lld ms, topics dialog, index and search %lld ms", topic, topics);
        QCOMPARE(dialog->searchList->count(), 1);
        QCOMPARE(dialog->indexList->currentItem()->text(), QString("mot 5999"));
        QVERIFY(topic < 5000 && topics < 30000); // generous: sanitizers slow every step
    }
};

QTEST_MAIN(TestHelpViewer)
#include "test_helpviewer.moc"
