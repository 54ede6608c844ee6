#pragma once
// The program's help viewer. The help file (Tolvo.hlp) is an HTML document in UTF-8:
//  - each topic is a <section id="N"> element, N being its help context number;
//    sections are not nested;
//  - the section with id "sommaire" is the contents topic (else the first one);
//  - the text of a topic's first <h1> is its title;
//  - data-index="mot; autre mot" on a section gives its entries in the index;
//  - <a href="#N"> links to topic N; a <style> element styles every topic.
// The file also reads as an ordinary web page.
//
// Requests use the numbering of the old help call (topic, contents, pop-up, file,
// topics dialog). Tests install a recorder instead of opening windows.

#include <QHash>
#include <array>
#include <QList>
#include <QString>
#include <QStringList>
#include <QDialog>
#include <QFrame>
#include <QWidget>

class QKeyEvent;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTextBrowser;
class QUrl;

namespace platform {

enum HelpCommand : int {
    HELP_CONTEXT = 1,      // topic `data` in the help window
    HELP_CONTENTS = 3,     // the contents topic
    HELP_CONTEXTPOPUP = 8, // topic `data` in a pop-up window
    HELP_FORCEFILE = 9,    // make sure the viewer holds this file
    HELP_FINDER = 11       // the topics dialog: contents, index, search
};

// One request to the viewer; `owner` is the window asking, or nullptr.
void openHelp(QWidget *owner, const QString &file, int command, int data);

struct HelpRequest {
    int command = 0;
    QString file;
    int data = 0;
    bool operator==(const HelpRequest &) const = default;
};

// While a recorder exists no window opens: each request is recorded.
class HelpRecorder {
public:
    HelpRecorder();
    ~HelpRecorder();
    HelpRecorder(const HelpRecorder &) = delete;
    HelpRecorder &operator=(const HelpRecorder &) = delete;

    QList<HelpRequest> requests;
};

// A help file read into topics.
struct HelpTopic {
    QString id;
    QString title;
    QString html;
    QStringList keywords;
};

// A topic's text without its markup, for the search: made when asked, as reading a
// large file must stay quick.
QString topicText(const HelpTopic &topic);

struct HelpDocument {
    QString title;
    QString style;
    QList<HelpTopic> topics;
    QHash<QString, qsizetype> positions; // topic id -> index in topics

    const HelpTopic *topic(const QString &id) const;
    const HelpTopic *contents() const;
};

HelpDocument parseHelpDocument(const QString &html);

// Text folded for searching: lower case, without accents.
QString foldForSearch(const QString &text);

class HelpViewer;

// The help topics dialog: contents, index and full-text search of the file.
class HelpTopicsDialog : public QDialog {
public:
    explicit HelpTopicsDialog(HelpViewer *viewer);

    // Fills the three pages from the viewer's document.
    void fill();
    // Shows the topic chosen on the current page in the help window.
    void display();
    void search();

    QTabWidget *tabs = nullptr;
    QListWidget *contentsList = nullptr;
    QLineEdit *indexEdit = nullptr;
    QListWidget *indexList = nullptr;
    QLineEdit *searchEdit = nullptr;
    QListWidget *searchList = nullptr;
    QPushButton *displayButton = nullptr;

private:
    void findInIndex(const QString &start);
    HelpViewer *m_viewer;
    // Folded once, when first needed: each topic's title and text for the search, each
    // index line for the index.
    QStringList m_searchTexts;
    QStringList m_indexTexts;
    std::array<QStringList, 3> m_ids; // the topic of each row of the three lists
};

// A topic shown in a small window that closes with the next click or key.
class HelpPopup : public QFrame {
public:
    explicit HelpPopup(HelpViewer *viewer);
    void showTopic(const HelpTopic &topic, const QString &style, const QPoint &at);
    QString topicId() const { return m_id; }
    QTextBrowser *browser = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QString m_id;
};

// The help window. One exists at most; it hides when closed.
class HelpViewer : public QWidget {
public:
    HelpViewer();
    ~HelpViewer() override;

    void request(QWidget *owner, const QString &file, int command, int data);

    const HelpDocument &document() const { return m_document; }
    QString file() const { return m_file; }
    QString currentTopic() const { return m_current; }
    QTextBrowser *browser() const { return m_browser; }
    HelpPopup *popup() const { return m_popup; }
    HelpTopicsDialog *topicsDialog() const { return m_topics; }

    void showTopic(const QString &id);
    void showTopics();

protected:
    // Esc closes the window, as it does a dialog.
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool load(QWidget *owner, const QString &file, bool report);
    void showPopup(QWidget *owner, const QString &id);
    void goBack();
    void followLink(const QUrl &url);

    HelpDocument m_document;
    QString m_file;
    qint64 m_stamp = -1;
    QString m_current;
    QStringList m_history;
    QTextBrowser *m_browser = nullptr;
    QPushButton *m_back = nullptr;
    HelpPopup *m_popup = nullptr;
    HelpTopicsDialog *m_topics = nullptr;
};

// The viewer if one was opened, else nullptr.
HelpViewer *existingHelpViewer();

} // namespace platform
