#include "platform/help/HelpViewer.h"

#include "platform/forms/MessageBox.h"
#include "support/TestFiles.h"

#include <QLineEdit>
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
        for (const int id : {1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1010}) {
            const HelpTopic *t = d.topic(QString::number(id));
            QVERIFY2(t && !t->keywords.isEmpty() && t->title != t->id && t->text.size() > 300,
                     qPrintable(QString::number(id)));
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
    void commands()
    {
        const struct { QString content; int command, data; QString shown; } rows[] = { // content "-": the program's help; null: no file
            {"-", HELP_CONTEXT, 1004, "window 1004"},
            {"-", HELP_CONTEXTPOPUP, 1006, "pop-up 1006"},
            {"-", HELP_FINDER, 0, "topics"},
            {QString(), HELP_CONTEXT, 1001, "Impossible d'ouvrir le fichier d'aide"},
            {"<section id='1'>un</section>", HELP_CONTEXT, 1001, "La rubrique d'aide 1001 est introuvable dans le fichier"},
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
            QCOMPARE(visible.join(", "), row.shown);
        }
    }
};

QTEST_MAIN(TestHelpViewer)
#include "test_helpviewer.moc"
