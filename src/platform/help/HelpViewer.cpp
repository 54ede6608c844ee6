#include "platform/help/HelpViewer.h"

#include "platform/forms/MessageBox.h"
#include "platform/forms/WindowFrame.h"

#include <QApplication>
#include <QCollator>
#include <QCursor>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QtMath>
#include <memory>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

namespace platform {

namespace {

HelpRecorder *g_recorder = nullptr;
HelpViewer *g_viewer = nullptr;

const QString kContentsId = QStringLiteral("sommaire");

void destroyViewer()
{
    delete g_viewer;
    g_viewer = nullptr;
}

// The id and the index words of a section's attributes, in one pass.
struct SectionAttributes {
    QString id;
    QString index;
};
SectionAttributes sectionAttributes(QStringView attributes)
{
    static const QRegularExpression pattern(QStringLiteral(R"re(([\w-]+)\s*=\s*(?:"([^"]*)"|'([^']*)'))re"));
    SectionAttributes found;
    for (auto it = pattern.globalMatch(attributes); it.hasNext();) {
        const auto match = it.next();
        const QStringView name = match.capturedView(1);
        QString *into = name.compare(QLatin1String("id"), Qt::CaseInsensitive) == 0           ? &found.id
                        : name.compare(QLatin1String("data-index"), Qt::CaseInsensitive) == 0 ? &found.index
                                                                                              : nullptr;
        if (into && into->isNull())
            *into = match.captured(2).isNull() ? match.captured(3) : match.captured(2);
    }
    return found;
}

QString plainText(const QString &html)
{
    // Most titles are plain words: no need for a document to read them.
    if (!html.contains(u'<') && !html.contains(u'&'))
        return html.simplified();
    return QTextDocumentFragment::fromHtml(html).toPlainText().simplified();
}

// A modal window blocks every other window but its own transients: the help shown
// from a modal dialog must stay usable, as a separate help program would be.
void keepUsable(QWidget *window)
{
    window->winId();
    if (QWindow *handle = window->windowHandle()) {
        QWidget *modal = QApplication::activeModalWidget();
        QWindow *parent = modal && modal != window ? modal->windowHandle() : nullptr;
        if (handle->transientParent() != parent)
            handle->setTransientParent(parent);
    }
}

// Inside the available area of the screen, frame included: centred there the first
// time, moved back in (and made smaller when the area is) when shown again.
void keepOnScreen(QWidget *window)
{
    QWidget *active = QApplication::activeWindow();
    QScreen *screen = active && active != window ? active->screen() : window->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const FrameSizes frame = windowFrame(window);
    const QSize border(frame.horizontal, frame.vertical + frame.caption);
    window->resize(window->size().boundedTo(area.size() - border));
    const QSize outer = window->size() + border;
    QPoint corner = window->testAttribute(Qt::WA_Moved)
                        ? window->pos()
                        : area.center() - QPoint(outer.width() / 2, outer.height() / 2);
    corner.setX(qBound(area.left(), corner.x(), area.right() + 1 - outer.width()));
    corner.setY(qBound(area.top(), corner.y(), area.bottom() + 1 - outer.height()));
    window->move(corner);
}

void bringUp(QWidget *window)
{
    keepUsable(window);
    keepOnScreen(window);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

// ---- The file --------------------------------------------------------------

const HelpTopic *HelpDocument::topic(const QString &id) const
{
    const auto at = positions.constFind(id);
    return at == positions.cend() ? nullptr : &topics[*at];
}

const HelpTopic *HelpDocument::contents() const
{
    if (const HelpTopic *t = topic(kContentsId))
        return t;
    return topics.isEmpty() ? nullptr : &topics.first();
}

HelpDocument parseHelpDocument(const QString &html)
{
    const auto options =
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption;
    static const QRegularExpression sectionPattern(QStringLiteral(R"(<section\b([^>]*)>(.*?)</section\s*>)"),
                                                   options);
    static const QRegularExpression titlePattern(QStringLiteral(R"(<title[^>]*>(.*?)</title\s*>)"), options);
    static const QRegularExpression stylePattern(QStringLiteral(R"(<style[^>]*>(.*?)</style\s*>)"), options);
    static const QRegularExpression headingPattern(QStringLiteral(R"(<h1\b[^>]*>(.*?)</h1\s*>)"), options);

    HelpDocument document;
    document.title = plainText(titlePattern.match(html).captured(1));
    document.style = stylePattern.match(html).captured(1);
    for (auto it = sectionPattern.globalMatch(html); it.hasNext();) {
        const auto match = it.next();
        const SectionAttributes attributes = sectionAttributes(match.capturedView(1));
        HelpTopic topic;
        topic.id = attributes.id.trimmed();
        if (topic.id.isEmpty() || document.positions.contains(topic.id))
            continue;
        topic.html = match.captured(2);
        topic.title = plainText(headingPattern.match(topic.html).captured(1));
        if (topic.title.isEmpty())
            topic.title = topic.id;
        for (const QString &word : attributes.index.split(QLatin1Char(';')))
            if (!word.trimmed().isEmpty())
                topic.keywords.append(word.trimmed());
        document.positions.insert(topic.id, document.topics.size());
        document.topics.append(topic);
    }
    return document;
}

QString topicText(const HelpTopic &topic)
{
    return plainText(topic.html);
}

QString foldForSearch(const QString &text)
{
    QString folded;
    for (const QChar c : text.normalized(QString::NormalizationForm_D))
        if (c.category() != QChar::Mark_NonSpacing)
            folded.append(c);
    return folded.toCaseFolded();
}

// ---- Requests --------------------------------------------------------------

HelpRecorder::HelpRecorder()
{
    g_recorder = this;
}

HelpRecorder::~HelpRecorder()
{
    if (g_recorder == this)
        g_recorder = nullptr;
}

void openHelp(QWidget *owner, const QString &file, int command, int data)
{
    if (g_recorder) {
        g_recorder->requests.append({command, file, data});
        return;
    }
    if (!g_viewer) {
        g_viewer = new HelpViewer;
        qAddPostRoutine(destroyViewer);
    }
    g_viewer->request(owner, file, command, data);
}

HelpViewer *existingHelpViewer()
{
    return g_viewer;
}

// ---- The help window -------------------------------------------------------

HelpViewer::HelpViewer() : QWidget(nullptr, Qt::Window)
{
    setWindowTitle(QStringLiteral("Aide"));
    auto *contents = new QPushButton(QStringLiteral("&Sommaire"), this);
    auto *topics = new QPushButton(QStringLiteral("&Rubriques..."), this);
    m_back = new QPushButton(QStringLiteral("&Précédent"), this);
    m_back->setEnabled(false);
    for (QPushButton *b : {contents, topics, m_back})
        b->setAutoDefault(false);
    m_browser = new QTextBrowser(this);
    m_browser->setOpenLinks(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(topics);
    buttons->addWidget(m_back);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser);
    resize(560, 520);

    connect(contents, &QPushButton::clicked, this, [this] {
        if (const HelpTopic *t = m_document.contents())
            showTopic(t->id);
    });
    connect(topics, &QPushButton::clicked, this, &HelpViewer::showTopics);
    connect(m_back, &QPushButton::clicked, this, &HelpViewer::goBack);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &HelpViewer::followLink);
}

HelpViewer::~HelpViewer()
{
    if (g_viewer == this)
        g_viewer = nullptr;
    delete m_popup;
    delete m_topics;
}

bool HelpViewer::load(QWidget *owner, const QString &file, bool report)
{
    const QFileInfo info(file);
    const qint64 stamp = info.exists() ? info.lastModified().toMSecsSinceEpoch() : -1;
    if (file == m_file && stamp == m_stamp && !m_document.topics.isEmpty())
        return true;

    QFile in(file);
    HelpDocument document;
    if (!file.isEmpty() && in.open(QIODevice::ReadOnly))
        document = parseHelpDocument(QString::fromUtf8(in.readAll()));
    if (document.topics.isEmpty()) {
        if (report) {
            const QString text =
                in.isOpen() ? QStringLiteral("Le fichier d'aide ne contient aucune rubrique :\n%1").arg(file)
                            : QStringLiteral("Impossible d'ouvrir le fichier d'aide :\n%1").arg(file);
            messageBox(owner, text, MsgIcon::Exclamation);
        }
        return false;
    }
    m_document = document;
    m_file = file;
    m_stamp = stamp;
    m_current.clear();
    m_history.clear();
    m_back->setEnabled(false);
    m_browser->document()->setDefaultStyleSheet(m_document.style);
    setWindowTitle(m_document.title.isEmpty() ? QStringLiteral("Aide") : m_document.title);
    if (m_topics)
        m_topics->fill();
    return true;
}

void HelpViewer::request(QWidget *owner, const QString &file, int command, int data)
{
    const QString before = m_file;
    if (command == HELP_FORCEFILE) {
        // Quietly: the request that follows says what is wrong, once.
        if (load(owner, file, false) && isVisible() && before != m_file)
            showTopic(m_document.contents()->id);
        return;
    }
    if (!load(owner, file, true))
        return;
    const QString id = QString::number(data);
    switch (command) {
    case HELP_CONTEXT:
    case HELP_CONTEXTPOPUP:
        if (!m_document.topic(id)) {
            messageBox(
                owner,
                QStringLiteral("La rubrique d'aide %1 est introuvable dans le fichier :\n%2").arg(id, file),
                MsgIcon::Exclamation);
            return;
        }
        if (command == HELP_CONTEXTPOPUP)
            showPopup(owner, id);
        else
            showTopic(id);
        break;
    case HELP_CONTENTS: showTopic(m_document.contents()->id); break;
    case HELP_FINDER: showTopics(); break;
    default: break;
    }
}

void HelpViewer::showTopic(const QString &id)
{
    const HelpTopic *topic = m_document.topic(id);
    if (!topic)
        return;
    if (!m_current.isEmpty() && m_current != id) {
        m_history.append(m_current);
        m_back->setEnabled(true);
    }
    m_current = id;
    m_browser->setHtml(topic->html);
    bringUp(this);
}

void HelpViewer::showTopics()
{
    if (!m_topics) {
        m_topics = new HelpTopicsDialog(this);
        m_topics->fill();
    }
    bringUp(m_topics);
}

void HelpViewer::showPopup(QWidget *owner, const QString &id)
{
    if (!m_popup)
        m_popup = new HelpPopup(this);
    QPoint at = QCursor::pos();
    if (owner && !owner->window()->geometry().contains(at))
        at = owner->window()->geometry().center();
    m_popup->showTopic(*m_document.topic(id), m_document.style, at);
}

void HelpViewer::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        close();
    else
        QWidget::keyPressEvent(event);
}

void HelpViewer::goBack()
{
    if (m_history.isEmpty())
        return;
    m_current = m_history.takeLast();
    if (const HelpTopic *topic = m_document.topic(m_current))
        m_browser->setHtml(topic->html);
    m_back->setEnabled(!m_history.isEmpty());
}

void HelpViewer::followLink(const QUrl &url)
{
    // Only links between topics: the help never sends the user elsewhere.
    if (url.scheme().isEmpty() && url.path().isEmpty() && m_document.topic(url.fragment()))
        showTopic(url.fragment());
}

// ---- The pop-up ------------------------------------------------------------

HelpPopup::HelpPopup(HelpViewer *viewer) : QFrame(nullptr, Qt::Popup)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    browser = new QTextBrowser(this);
    browser->setOpenLinks(false);
    browser->setFrameStyle(QFrame::NoFrame);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(browser);
    connect(browser, &QTextBrowser::anchorClicked, this, [this, viewer](const QUrl &url) {
        hide();
        if (url.scheme().isEmpty() && url.path().isEmpty())
            viewer->showTopic(url.fragment());
    });
}

void HelpPopup::showTopic(const HelpTopic &topic, const QString &style, const QPoint &at)
{
    m_id = topic.id;
    browser->document()->setDefaultStyleSheet(style);
    browser->setHtml(topic.html);
    // Sized to its text: measured on a copy, the browser lays out at its own width.
    const int width = 380;
    const std::unique_ptr<QTextDocument> copy(browser->document()->clone());
    copy->setTextWidth(width);
    QScreen *screen = QGuiApplication::screenAt(at);
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const int height = qMin(qCeil(copy->size().height()) + 4, area.height() * 2 / 3);
    resize(width + 2, height + 2);
    QPoint corner = at - QPoint(width / 2, 0);
    corner.setX(qBound(area.left(), corner.x(), qMax(area.left(), area.right() - this->width())));
    corner.setY(qBound(area.top(), corner.y(), qMax(area.top(), area.bottom() - this->height())));
    move(corner);
    keepUsable(this);
    show();
}

void HelpPopup::keyPressEvent(QKeyEvent *event)
{
    hide();
    event->accept();
}

// ---- The topics dialog -----------------------------------------------------

HelpTopicsDialog::HelpTopicsDialog(HelpViewer *viewer) : QDialog(nullptr), m_viewer(viewer)
{
    tabs = new QTabWidget(this);

    contentsList = new QListWidget;
    tabs->addTab(contentsList, QStringLiteral("Sommaire"));

    auto *indexPage = new QWidget;
    indexEdit = new QLineEdit;
    indexList = new QListWidget;
    auto *indexLabel = new QLabel(QStringLiteral("&Tapez les premières lettres du mot recherché :"));
    indexLabel->setBuddy(indexEdit);
    auto *indexLayout = new QVBoxLayout(indexPage);
    indexLayout->addWidget(indexLabel);
    indexLayout->addWidget(indexEdit);
    indexLayout->addWidget(indexList);
    tabs->addTab(indexPage, QStringLiteral("Index"));

    auto *searchPage = new QWidget;
    searchEdit = new QLineEdit;
    searchList = new QListWidget;
    auto *searchLabel = new QLabel(QStringLiteral("Tapez les &mots à rechercher :"));
    searchLabel->setBuddy(searchEdit);
    auto *searchLayout = new QVBoxLayout(searchPage);
    searchLayout->addWidget(searchLabel);
    searchLayout->addWidget(searchEdit);
    searchLayout->addWidget(new QLabel(QStringLiteral("Rubriques trouvées :")));
    searchLayout->addWidget(searchList);
    tabs->addTab(searchPage, QStringLiteral("Rechercher"));

    auto *box = new QDialogButtonBox;
    displayButton = box->addButton(QStringLiteral("&Afficher"), QDialogButtonBox::AcceptRole);
    box->addButton(QStringLiteral("Annuler"), QDialogButtonBox::RejectRole);
    displayButton->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(box);
    resize(420, 460);

    connect(box, &QDialogButtonBox::accepted, this, &HelpTopicsDialog::display);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QListWidget *list : {contentsList, indexList, searchList}) {
        list->setUniformItemSizes(true);
        connect(list, &QListWidget::itemActivated, this, &HelpTopicsDialog::display);
    }
    connect(indexEdit, &QLineEdit::textEdited, this, &HelpTopicsDialog::findInIndex);
    connect(searchEdit, &QLineEdit::textChanged, this, &HelpTopicsDialog::search);
}

void HelpTopicsDialog::fill()
{
    const HelpDocument &document = m_viewer->document();
    setWindowTitle(QStringLiteral("Rubriques de l'aide : %1").arg(document.title));
    m_searchTexts.clear();
    m_indexTexts.clear();

    // Each list is filled in one go, its topics kept beside it by row: item by item,
    // a file of many topics would take seconds.
    QStringList titles;
    m_ids[0].clear();
    const HelpTopic *contents = document.contents();
    if (contents) {
        titles << contents->title;
        m_ids[0] << contents->id;
    }
    for (const HelpTopic &topic : document.topics) {
        if (&topic == contents)
            continue;
        titles << topic.title;
        m_ids[0] << topic.id;
    }
    contentsList->clear();
    contentsList->addItems(titles);
    contentsList->setCurrentRow(0);

    // Sorted on keys made once per word: a collator comparing the words themselves
    // would take seconds on a large file.
    QCollator collator(QLocale(QLocale::French, QLocale::France));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    struct Entry {
        QString text;
        const HelpTopic *topic;
        QCollatorSortKey key;
    };
    QList<Entry> entries;
    for (const HelpTopic &topic : document.topics)
        for (const QString &word : topic.keywords)
            entries.append({word, &topic, collator.sortKey(word)});
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry &a, const Entry &b) { return a.key.compare(b.key) < 0; });
    QStringList words;
    m_ids[1].clear();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        // A word found in several topics says which topic each line leads to.
        const bool shared = (i > 0 && entries[i - 1].text == entries[i].text) ||
                            (i + 1 < entries.size() && entries[i + 1].text == entries[i].text);
        words << (shared ? QStringLiteral("%1 : %2").arg(entries[i].text, entries[i].topic->title)
                         : entries[i].text);
        m_ids[1] << entries[i].topic->id;
    }
    indexList->clear();
    indexList->addItems(words);
    indexList->setCurrentRow(0);
    search();
}

void HelpTopicsDialog::findInIndex(const QString &start)
{
    const QString wanted = foldForSearch(start.trimmed());
    if (m_indexTexts.size() != indexList->count()) {
        m_indexTexts.clear();
        for (int row = 0; row < indexList->count(); ++row)
            m_indexTexts << foldForSearch(indexList->item(row)->text());
    }
    for (int row = 0; row < indexList->count(); ++row) {
        if (m_indexTexts[row].startsWith(wanted)) {
            indexList->setCurrentRow(row);
            indexList->scrollToItem(indexList->item(row), QAbstractItemView::PositionAtTop);
            return;
        }
    }
}

void HelpTopicsDialog::search()
{
    searchList->clear();
    m_ids[2].clear();
    const QStringList words = foldForSearch(searchEdit->text()).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return;
    const QList<HelpTopic> &topics = m_viewer->document().topics;
    if (m_searchTexts.isEmpty())
        for (const HelpTopic &topic : topics)
            m_searchTexts << foldForSearch(topic.title + QLatin1Char(' ') + topicText(topic));
    QStringList titles;
    for (qsizetype i = 0; i < topics.size(); ++i) {
        const QString &text = m_searchTexts[i];
        if (std::all_of(words.begin(), words.end(), [&](const QString &w) { return text.contains(w); })) {
            titles << topics[i].title;
            m_ids[2] << topics[i].id;
        }
    }
    searchList->addItems(titles);
    searchList->setCurrentRow(0);
}

void HelpTopicsDialog::display()
{
    const int page = qBound(0, tabs->currentIndex(), 2);
    QListWidget *lists[] = {contentsList, indexList, searchList};
    const int row = lists[page]->currentRow();
    if (row < 0 || row >= m_ids[size_t(page)].size())
        return;
    hide();
    m_viewer->showTopic(m_ids[size_t(page)][row]);
}

} // namespace platform
