#include "register/frmAImprimer.h"

#include "cheque/frmApercu.h"
#include "cheque/frmImpression.h"
#include "cheque/mAmount.h"
#include "dialogs/frmMsgBox.h"
#include "platform/Conversions.h"
#include "platform/forms/Forms.h"
#include "platform/forms/MessageBox.h"
#include "platform/help/HelpContext.h"
#include "platform/print/PdfPrinter.h"
#include "register/RegisterList.h"
#include "register/frmImport.h"
#include "settings/CINIFile.h"
#include "settings/Settings.h"

#include <QCompleter>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace registre {

namespace {

QString &field(QueuedCheque &c, int column)
{
    switch (column) {
    case QueueModel::Beneficiary: return c.beneficiary;
    case QueueModel::Amount: return c.amount;
    case QueueModel::Date: return c.date;
    default: return c.note;
    }
}

// A date left as the date field would print it ("05/12/26" gives "05/12/2026"); a
// date that is none stays as typed, for the user to correct.
QString leftDate(const QString &typed)
{
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return text;
    const auto date = platform::CDate(text);
    return date ? platform::ShortDate(*date) : typed;
}

// What keeps one cell from printing; empty when nothing does.
QString cellProblem(const QueuedCheque &c, int column)
{
    if (column == QueueModel::Amount)
        return cheque::CheckAmount(mAmount::NormaliseAmount(c.amount)).message;
    // A cheque without a date takes the date field's when it prints.
    if (column == QueueModel::Date && !c.date.isEmpty())
        return cheque::CheckCheque(QStringLiteral("1,00"), c.date).message;
    return {};
}

qint64 centsOf(const QString &amount)
{
    const auto euros = cheque::AmountParts(amount);
    return euros ? qint64(euros->whole) * 100 + euros->cents : 0;
}

} // namespace

bool QueueModel::reload()
{
    QList<QueuedCheque> cheques;
    if (!m_register.queue(cheques))
        return false;
    beginResetModel();
    m_cheques = cheques;
    endResetModel();
    return true;
}

void QueueModel::forget(const QSet<qint64> &ids)
{
    beginResetModel();
    m_cheques.removeIf([&](const QueuedCheque &c) { return ids.contains(c.id); });
    endResetModel();
}

int QueueModel::rowOf(qint64 id) const
{
    for (int r = 0; r < m_cheques.size(); ++r)
        if (m_cheques[r].id == id)
            return r;
    return -1;
}

int QueueModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_cheques.size());
}

int QueueModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Columns;
}

QVariant QueueModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_cheques.size())
        return {};
    QueuedCheque c = m_cheques[index.row()];
    const int column = index.column();
    const QString text = field(c, column);
    switch (role) {
    case Qt::EditRole: return text;
    case Qt::DisplayRole:
        if (column == Amount && cellProblem(c, column).isEmpty())
            return euros(centsOf(mAmount::NormaliseAmount(text)));
        if (column == Date && text.isEmpty())
            return QStringLiteral("à l'impression");
        return text;
    case Qt::TextAlignmentRole:
        return column == Amount ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    case Qt::ForegroundRole:
        if (!cellProblem(c, column).isEmpty())
            return QColor(170, 0, 0);
        return column == Date && text.isEmpty() ? QVariant(QColor(Qt::gray)) : QVariant();
    case Qt::ToolTipRole: {
        const QString problem = cellProblem(c, column);
        return problem.isEmpty() ? QVariant() : QVariant(problem);
    }
    default: return {};
    }
}

QVariant QueueModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char *const titles[] = {"Bénéficiaire", "Montant", "Date", "Note (non imprimée)"};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < Columns)
        return QString::fromUtf8(titles[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags QueueModel::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags base = QAbstractTableModel::flags(index);
    return m_editable && index.isValid() ? base | Qt::ItemIsEditable : base;
}

bool QueueModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole)
        return false;
    // The field left takes the form the main window gives it.
    QString text = value.toString();
    if (index.column() == Amount)
        text = mAmount::NormaliseAmount(text);
    else if (index.column() == Date)
        text = leftDate(text);
    return write(index, text, true);
}

bool QueueModel::write(const QModelIndex &index, const QString &text, bool shown)
{
    if (!index.isValid() || index.row() >= m_cheques.size())
        return false;
    QueuedCheque &c = m_cheques[index.row()];
    QString &stored = field(c, index.column());
    if (stored == text && m_failure.isEmpty())
        return true;
    // The text stays on screen even when the register refuses it.
    stored = text;
    const bool written = m_register.updateQueued(c);
    if (shown)
        emit dataChanged(index, index);
    const QString failure = written ? QString() : m_register.error();
    if (failure != m_failure) {
        m_failure = failure;
        if (writeFailed)
            writeFailed(failure);
    }
    if (written && changed)
        changed();
    return written;
}

} // namespace registre

using registre::QueueModel;

namespace {

// The editor of a cell: which cell, and its text before, given back by Escape.
class CellEditor : public QLineEdit {
public:
    CellEditor(QWidget *parent, const QModelIndex &cell)
        : QLineEdit(parent), cell(cell), original(cell.data(Qt::EditRole).toString())
    {
    }
    QPersistentModelIndex cell;
    QString original;
};

int amountKey(const QLineEdit *edit, int keyAscii)
{
    return mAmount::FilterAmountKey(edit->text(), keyAscii);
}

// The beneficiaries the main window offers, to complete what is typed.
QStringList knownBeneficiaries()
{
    CINIFile ini;
    ini.setFile(settings::filePath());
    ini.setSection(settings::section::Bénéficiaires);
    QStringList values;
    ini.enumSectionValues(values);
    return values;
}

// Cells typed as the main window's fields are: the amount through its key filter
// and its paste rule, normalised with the date once left; every change written at once.
class QueueDelegate : public QStyledItemDelegate {
public:
    QueueDelegate(QueueModel *model, QObject *parent)
        : QStyledItemDelegate(parent), m_model(model), m_beneficiaries(knownBeneficiaries())
    {
    }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &index) const override
    {
        auto *edit = new CellEditor(parent, index);
        edit->setFrame(false);
        if (index.column() == QueueModel::Amount)
            platform::filterPastes(edit, [edit](int key) { return amountKey(edit, key); });
        if (index.column() == QueueModel::Beneficiary && !m_beneficiaries.isEmpty()) {
            auto *completer = new QCompleter(m_beneficiaries, edit);
            completer->setCaseSensitivity(Qt::CaseInsensitive);
            edit->setCompleter(completer);
        }
        // Nothing typed is lost, whatever ends the program before the cell is left.
        connect(edit, &QLineEdit::textChanged, edit, [model = m_model, edit](const QString &text) {
            if (edit->cell.isValid())
                model->write(edit->cell, text, false);
        });
        return edit;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        static_cast<QLineEdit *>(editor)->setText(index.data(Qt::EditRole).toString());
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        model->setData(index, static_cast<QLineEdit *>(editor)->text());
    }

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        auto *edit = dynamic_cast<CellEditor *>(object);
        if (edit && event->type() == QEvent::KeyPress) {
            auto *key = static_cast<QKeyEvent *>(event);
            switch (key->key()) {
            case Qt::Key_Escape: m_model->write(edit->cell, edit->original, true); break;
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Tab:
            case Qt::Key_Backtab: break;
            default:
                if (edit->cell.column() == QueueModel::Amount &&
                    platform::filterKeyPress(key, edit, [edit](int k) { return amountKey(edit, k); }))
                    return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    QueueModel *m_model;
    QStringList m_beneficiaries;
};

QString plural(qsizetype n, const QString &word)
{
    return QStringLiteral("%1 %2%3").arg(n).arg(word, n > 1 ? QStringLiteral("s") : QString());
}

QString nameOf(const registre::QueuedCheque &c)
{
    return c.beneficiary.isEmpty() ? QStringLiteral("(sans bénéficiaire)") : c.beneficiary;
}

// "n° 0001230 à 0001235" for numbers that follow each other, else "n° 0001230, 0001232".
QString numbersText(const QList<registre::Recorded> &records)
{
    QStringList numbers;
    bool following = true;
    for (int i = 0; i < records.size(); ++i) {
        if (records[i].number < 0)
            continue;
        following = following && (numbers.isEmpty() || records[i].number == records[i - 1].number + 1);
        numbers << records[i].numberText;
    }
    if (numbers.size() > 2 && following)
        return QStringLiteral("n° %1 à %2").arg(numbers.first(), numbers.last());
    return numbers.isEmpty() ? QString() : QStringLiteral("n° ") + numbers.join(QStringLiteral(", "));
}

} // namespace

frmÀImprimer::frmÀImprimer(QWidget *parent, std::function<registre::PrintSettings()> settings)
    : QDialog(parent), m_settings(std::move(settings))
{
    setWindowTitle(QStringLiteral("Chèques à imprimer"));
    setFont(platform::uiFont());
    platform::setHelpContextID(this, 1011);

    auto *lblChèques = new QLabel(QStringLiteral("C&hèques en attente, imprimés dans cet ordre :"), this);
    grdChèques = new QTableView(this);
    lblChèques->setBuddy(grdChèques);
    m_model = new registre::QueueModel(m_register, this);
    grdChèques->setModel(m_model);
    grdChèques->setItemDelegate(new QueueDelegate(m_model, grdChèques));
    grdChèques->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdChèques->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grdChèques->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::AnyKeyPressed);
    grdChèques->verticalHeader()->setDefaultSectionSize(grdChèques->fontMetrics().height() + 8);
    grdChèques->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {250, 100, 100};
    for (int c = 0; c < int(std::size(widths)); ++c)
        grdChèques->setColumnWidth(c, widths[c]);
    grdChèques->installEventFilter(this);

    cmdAjouter = new QPushButton(QStringLiteral("&Ajouter"), this);
    cmdSupprimer = new QPushButton(QStringLiteral("&Supprimer..."), this);
    cmdMonter = new QPushButton(QStringLiteral("&Monter"), this);
    cmdDescendre = new QPushButton(QStringLiteral("&Descendre"), this);
    cmdImporter = new QPushButton(QStringLiteral("&Importer..."), this);
    cmdAperçu = new QPushButton(QStringLiteral("A&perçu..."), this);
    lblErreur = new QLabel(this);
    lblErreur->setWordWrap(true);
    lblErreur->setStyleSheet(QStringLiteral("color: #aa0000;"));
    lblErreur->hide();
    lblTotal = new QLabel(this);
    lblImprimante = new QLabel(this);
    lblCarnet = new QLabel(this);
    cmdImprimerTout = new QPushButton(QStringLiteral("Imprimer &tout..."), this);
    cmdImprimerSélection = new QPushButton(QStringLiteral("Imprimer la sé&lection..."), this);
    cmdFermer = new QPushButton(QStringLiteral("&Fermer"), this);

    auto *side = new QVBoxLayout;
    for (QPushButton *button : {cmdAjouter, cmdSupprimer, cmdMonter, cmdDescendre})
        side->addWidget(button);
    side->addStretch(1);
    side->addWidget(cmdImporter);
    side->addWidget(cmdAperçu);
    auto *middle = new QHBoxLayout;
    middle->addWidget(grdChèques, 1);
    middle->addLayout(side);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(cmdImprimerTout);
    bottom->addWidget(cmdImprimerSélection);
    bottom->addStretch(1);
    bottom->addWidget(cmdFermer);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblChèques);
    layout->addLayout(middle, 1);
    layout->addWidget(lblErreur);
    layout->addWidget(lblTotal);
    layout->addWidget(lblImprimante);
    layout->addWidget(lblCarnet);
    layout->addLayout(bottom);
    resize(760, 480);
    // Enter belongs to the cells: it presses a button only when that button has the focus.
    platform::pressFocusedButtonOnEnter(this);

    connect(cmdAjouter, &QPushButton::clicked, this, [this] { cmdAjouter_Click(); });
    connect(cmdSupprimer, &QPushButton::clicked, this, [this] { cmdSupprimer_Click(); });
    connect(cmdMonter, &QPushButton::clicked, this, [this] { cmdMonter_Click(); });
    connect(cmdDescendre, &QPushButton::clicked, this, [this] { cmdDescendre_Click(); });
    connect(cmdImporter, &QPushButton::clicked, this, [this] { cmdImporter_Click(); });
    connect(cmdAperçu, &QPushButton::clicked, this, [this] { cmdAperçu_Click(); });
    connect(cmdImprimerTout, &QPushButton::clicked, this, [this] { cmdImprimerTout_Click(); });
    connect(cmdImprimerSélection, &QPushButton::clicked, this, [this] { cmdImprimerSélection_Click(); });
    connect(cmdFermer, &QPushButton::clicked, this, &QDialog::accept);
    connect(grdChèques->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { showState(); });
    m_model->writeFailed = [this](const QString &error) {
        lblErreur->setText(error.isEmpty() ? QString()
                                           : QStringLiteral("Ce qui est tapé n'a pas pu être enregistré dans "
                                                            "le registre : %1")
                                                 .arg(error));
        lblErreur->setVisible(!error.isEmpty());
    };
    m_model->changed = [this] { showState(); };

    const bool opened = m_register.open();
    registre::tellSetAside(this, m_register);
    if (!opened) {
        // A register that can only be read still shows its queue; nothing changes it.
        const QString why = m_register.error();
        const bool read = m_register.open(registre::Register::Use::Read);
        lblErreur->setText(read ? QStringLiteral("%1 La file ne peut être ni changée ni imprimée.").arg(why)
                                : QStringLiteral("La file des chèques à imprimer ne peut pas être lue : %1")
                                      .arg(m_register.error()));
        lblErreur->show();
        m_writable = false;
        m_model->setEditable(false);
    }
    refresh();
    grdChèques->setFocus();
    if (m_model->rowCount() > 0)
        grdChèques->setCurrentIndex(m_model->index(0, 0));
}

frmÀImprimer::~frmÀImprimer() = default;

void frmÀImprimer::refresh()
{
    refresh(idsOf(chosenRows()));
}

bool frmÀImprimer::refresh(const QList<qint64> &select, bool tell)
{
    const int current = std::max(0, grdChèques->currentIndex().row());
    const bool read = !m_register.database().isOpen() || m_model->reload();
    if (!read && tell)
        platform::messageBox(this,
                             QStringLiteral("La file des chèques à imprimer ne peut pas être lue.\r\n%1")
                                 .arg(m_register.error()),
                             platform::MsgIcon::Exclamation);
    QItemSelection selection;
    for (const qint64 id : select)
        if (const int row = m_model->rowOf(id); row >= 0)
            selection.select(m_model->index(row, 0), m_model->index(row, QueueModel::Columns - 1));
    if (!selection.isEmpty()) {
        grdChèques->selectionModel()->setCurrentIndex(selection.first().topLeft(),
                                                      QItemSelectionModel::NoUpdate);
        grdChèques->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
        grdChèques->scrollTo(selection.first().topLeft());
    } else if (m_model->rowCount() > 0) {
        grdChèques->setCurrentIndex(m_model->index(std::min(current, m_model->rowCount() - 1), 0));
    }
    showState();
    const registre::PrintSettings s = m_settings();
    lblImprimante->setText(
        QStringLiteral("Imprimante : %1 - %2 - %3").arg(s.printer, s.paperBin, s.orientation));
    lblCarnet->setText(registre::chequebookLine());
    return read;
}

void frmÀImprimer::showState()
{
    qint64 cents = 0;
    int wrong = 0;
    for (const registre::QueuedCheque &c : m_model->cheques()) {
        if (registre::cellProblem(c, QueueModel::Amount).isEmpty() &&
            registre::cellProblem(c, QueueModel::Date).isEmpty())
            cents += registre::centsOf(mAmount::NormaliseAmount(c.amount));
        else
            ++wrong;
    }
    const qsizetype count = m_model->rowCount();
    lblTotal->setText(
        count == 0   ? QStringLiteral("Aucun chèque en attente.")
        : wrong == 0 ? registre::totalsText({.count = count, .cents = cents, .ok = true})
                     : QStringLiteral("%1 chèque%2, dont %3 à corriger (en rouge) ; total des autres : %4 €")
                           .arg(count)
                           .arg(count > 1 ? "s" : "")
                           .arg(wrong)
                           .arg(registre::euros(cents)));
    const bool any = count > 0, chosen = !chosenRows().isEmpty();
    for (QPushButton *button : {cmdSupprimer, cmdMonter, cmdDescendre, cmdImprimerSélection})
        button->setEnabled(m_writable && chosen);
    cmdAjouter->setEnabled(m_writable);
    cmdImporter->setEnabled(m_writable);
    cmdImprimerTout->setEnabled(m_writable && any);
    cmdAperçu->setEnabled(chosen);
}

QList<int> frmÀImprimer::chosenRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : grdChèques->selectionModel()->selectedRows())
        rows << index.row();
    // The row the keyboard is on counts as chosen when nothing is selected.
    if (rows.isEmpty() && grdChèques->currentIndex().isValid())
        rows << grdChèques->currentIndex().row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

QList<qint64> frmÀImprimer::idsOf(const QList<int> &rows) const
{
    QList<qint64> ids;
    for (const int row : rows)
        if (row >= 0 && row < m_model->rowCount())
            ids << m_model->cheques()[row].id;
    return ids;
}

void frmÀImprimer::editCell(int row, int column)
{
    const QModelIndex index = m_model->index(row, column);
    grdChèques->setFocus();
    grdChèques->setCurrentIndex(index);
    grdChèques->edit(index);
}

bool frmÀImprimer::eventFilter(QObject *watched, QEvent *event)
{
    // Keys for the grid itself, not those a cell's editor passes on.
    if (watched == grdChèques && event->type() == QEvent::KeyPress && grdChèques->hasFocus()) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Delete && cmdSupprimer->isEnabled()) {
            cmdSupprimer_Click();
            return true;
        }
        // Enter types in the cell, as in a spreadsheet.
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            grdChèques->currentIndex().isValid()) {
            grdChèques->edit(grdChèques->currentIndex());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmÀImprimer::cmdAjouter_Click()
{
    QList<qint64> ids;
    if (!m_register.enqueue({registre::ImportedCheque()}, &ids)) {
        platform::messageBox(
            this, QStringLiteral("Le chèque n'a pas pu être ajouté à la file.\r\n%1").arg(m_register.error()),
            platform::MsgIcon::Exclamation);
        return;
    }
    refresh(ids);
    editCell(m_model->rowOf(ids.value(0)), QueueModel::Beneficiary);
}

void frmÀImprimer::cmdSupprimer_Click()
{
    const QList<int> rows = chosenRows();
    if (rows.isEmpty())
        return;
    const registre::QueuedCheque &first = m_model->cheques()[rows[0]];
    const QString question =
        rows.size() == 1 ? QStringLiteral("Retirer de la file le chèque de %1 à %2 ?")
                               .arg(first.amount.isEmpty()
                                        ? QStringLiteral("montant non indiqué")
                                        : m_model->index(rows[0], QueueModel::Amount).data().toString() +
                                              QStringLiteral(" €"),
                                    nameOf(first))
                         : QStringLiteral("Retirer de la file les %1 chèques choisis ?").arg(rows.size());
    if (platform::messageBox(this, question, platform::MsgIcon::Question,
                             QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    if (!m_register.removeQueued(idsOf(rows)))
        platform::messageBox(
            this, QStringLiteral("La file n'a pas pu être modifiée.\r\n%1").arg(m_register.error()),
            platform::MsgIcon::Exclamation);
    refresh({});
}

void frmÀImprimer::cmdMonter_Click()
{
    move(-1);
}

void frmÀImprimer::cmdDescendre_Click()
{
    move(1);
}

// The chosen cheques one place up (-1) or down (1); those already at the end of the
// queue stay, with the chosen ones right behind them.
void frmÀImprimer::move(int by)
{
    QList<int> rows = chosenRows();
    if (by > 0)
        std::reverse(rows.begin(), rows.end());
    QList<qint64> order;
    for (const registre::QueuedCheque &c : m_model->cheques())
        order << c.id;
    const QList<qint64> moved = idsOf(rows);
    QSet<int> stuck;
    for (const int row : rows) {
        const int to = row + by;
        if (to < 0 || to >= order.size() || stuck.contains(to)) {
            stuck.insert(row);
            continue;
        }
        if (!m_register.swapQueued(order[row], order[to])) {
            platform::messageBox(
                this, QStringLiteral("La file n'a pas pu être modifiée.\r\n%1").arg(m_register.error()),
                platform::MsgIcon::Exclamation);
            break;
        }
        order.swapItemsAt(row, to);
    }
    refresh(moved);
}

void frmÀImprimer::cmdImporter_Click()
{
    const QList<registre::ImportedCheque> cheques = importCheques(this);
    if (cheques.isEmpty())
        return;
    QList<qint64> ids;
    if (!m_register.enqueue(cheques, &ids)) {
        platform::messageBox(this,
                             QStringLiteral("Les chèques n'ont pas pu être ajoutés à la file : aucun ne l'a "
                                            "été.\r\n%1")
                                 .arg(m_register.error()),
                             platform::MsgIcon::Exclamation);
        return;
    }
    refresh(ids);
}

void frmÀImprimer::cmdAperçu_Click()
{
    const QList<int> rows = chosenRows();
    if (rows.isEmpty())
        return;
    const registre::QueuedCheque c = m_model->cheques()[rows[0]];
    const registre::PrintSettings settings = m_settings();
    const QString amount = mAmount::NormaliseAmount(c.amount);
    const cheque::CheckResult check = cheque::CheckCheque(amount, c.date.isEmpty() ? settings.date : c.date);
    if (!check.ok()) {
        platform::messageBox(this, check.message, check.icon);
        editCell(rows[0], check.focus == cheque::ChequeField::Date ? QueueModel::Date : QueueModel::Amount);
        return;
    }
    cheque::ChequeInput input = settings.input;
    input.amount = amount;
    input.beneficiary = c.beneficiary;
    input.date = check.date;
    frmAperçu preview(input, this);
    platform::execDialog(preview);
}

void frmÀImprimer::cmdImprimerTout_Click()
{
    QList<qint64> all;
    for (const registre::QueuedCheque &c : m_model->cheques())
        all << c.id;
    print(all);
}

void frmÀImprimer::cmdImprimerSélection_Click()
{
    print(idsOf(chosenRows()));
}

void frmÀImprimer::print(const QList<qint64> &ids)
{
    if (ids.isEmpty())
        return;
    const registre::PrintSettings settings = m_settings();
    // Cheques printed earlier whose record had to wait are written first: those of
    // the queue leave it then, and are not printed again.
    std::optional<registre::Chequebook> book;
    const bool ready = registre::readyToRecord(this, m_register, book);
    refresh();
    if (!ready)
        return;

    // Every cheque passes the checks of F5 before any is printed.
    const QSet<qint64> chosen(ids.begin(), ids.end());
    QList<registre::QueuedCheque> cheques;
    qint64 cents = 0;
    for (const registre::QueuedCheque &queued : m_model->cheques()) {
        if (!chosen.contains(queued.id))
            continue;
        registre::QueuedCheque c = queued;
        const cheque::CheckResult check = cheque::CheckCheque(mAmount::NormaliseAmount(c.amount),
                                                              c.date.isEmpty() ? settings.date : c.date);
        if (!check.ok()) {
            const int row = m_model->rowOf(c.id);
            const QString why =
                check.focus == cheque::ChequeField::Date && c.date.isEmpty()
                    ? QStringLiteral("Il prend la date de la fenêtre principale, « %1 », qui n'est pas une "
                                     "date valide.")
                          .arg(settings.date)
                    : check.message;
            platform::messageBox(
                this,
                QStringLiteral("Le chèque de la ligne %1 (%2) ne peut pas être imprimé :\r\n%3"
                               "\r\nRien n'a été imprimé.")
                    .arg(row + 1)
                    .arg(nameOf(c), why),
                check.icon);
            grdChèques->setFocus();
            grdChèques->setCurrentIndex(m_model->index(
                row, check.focus == cheque::ChequeField::Date ? QueueModel::Date : QueueModel::Amount));
            return;
        }
        c.amount = mAmount::NormaliseAmount(c.amount);
        c.date = check.date;
        cents += registre::centsOf(c.amount);
        cheques << c;
    }
    const qsizetype count = cheques.size();
    if (count == 0)
        return;
    if (book && book->left() < count) {
        platform::messageBox(
            this,
            QStringLiteral("Le carnet « %1 » n'a plus que %2 (n° %3 à %4) pour %5.\r\nRien n'a été imprimé. "
                           "Imprimez une sélection de %6 au plus, ou passez au carnet suivant dans « Carnets "
                           "de chèques ».")
                .arg(book->name, plural(book->left(), QStringLiteral("chèque")), book->numberText(book->next),
                     book->numberText(book->last), plural(count, QStringLiteral("chèque")),
                     plural(book->left(), QStringLiteral("chèque"))),
            platform::MsgIcon::Exclamation);
        return;
    }
    {
        const QString numbers = !book ? QStringLiteral("Sans numéro : aucun carnet n'est en usage.")
                                : count == 1
                                    ? QStringLiteral("Il prendra le n° %1 du carnet « %2 ».")
                                          .arg(book->numberText(book->next), book->name)
                                    : QStringLiteral("Ils prendront les n° %1 à %2 du carnet « %3 ».")
                                          .arg(book->numberText(book->next),
                                               book->numberText(book->next + count - 1), book->name);
        frmMsgBox box(this);
        box.setMessage(
            QStringLiteral("Imprimer %1, total %2 €,\r\n   sur l'imprimante : %3\r\n   %4\r\n   %5\r\n%6")
                .arg(plural(count, QStringLiteral("chèque")), registre::euros(cents), settings.printer,
                     settings.paperBin, settings.orientation, numbers));
        box.setPictureType(4);
        box.setHelpButton(1011);
        box.setFormType(2);
        box.setButtonCaption(1, QStringLiteral("Imprimer"));
        platform::execDialog(box);
        if (box.Tag != QLatin1String("1"))
            return;
    }

    if (!m_register.takeQueue()) {
        platform::messageBox(this, m_register.error() + QStringLiteral("\r\nRien n'a été imprimé."),
                             platform::MsgIcon::Exclamation);
        return;
    }

    // Each cheque is a document of its own, so that each page handed over is known
    // and recorded, leaving the queue, before the next one prints.
    // No hourglass: the printing window's stop button is there to be pressed.
    frmImpression *printing = frmImpression::ShowBatch(this, int(count));
    QList<registre::Recorded> records;
    QSet<qint64> printed;
    QString failure, file;
    bool stopped = false;
    for (const registre::QueuedCheque &c : cheques) {
        if (!printing->StartCheque(int(records.size()) + 1)) {
            stopped = true;
            break;
        }
        // The server may have gone since the last page, or the cheque been printed
        // elsewhere: the batch stops before this page prints.
        if (!m_register.stillQueued(c.id)) {
            failure = QStringLiteral("Le chèque de %1 € à %2 n'a pas été imprimé :\r\n%3\r\n%4")
                          .arg(registre::euros(registre::centsOf(c.amount)), nameOf(c), m_register.error(),
                               m_register.where());
            break;
        }
        cheque::ChequeInput input = settings.input;
        input.amount = c.amount;
        input.beneficiary = c.beneficiary;
        input.date = c.date;
        const cheque::PrintReport report = cheque::PrintCheque(input);
        if (!report.handedOver) {
            failure =
                QStringLiteral("Le chèque de %1 € à %2 n'a pas été imprimé :\r\n%3")
                    .arg(registre::euros(registre::centsOf(c.amount)), nameOf(c),
                         report.notHandedOver.isEmpty()
                             ? QStringLiteral("L'imprimante « %1 » n'a rien reçu.").arg(settings.printer)
                             : report.notHandedOver);
            break;
        }
        file = report.file;
        registre::Entry entry = registre::entryFor(
            input, settings.printer, report.file, QDateTime::currentDateTime(), book ? book->uid : QString());
        entry.queued = c.id;
        // The leaf it takes, told if its record has to wait.
        if (book)
            entry.leaf = book->numberText(records.isEmpty() ? book->next : records.last().number + 1);
        registre::Recorded recorded;
        // The user was told what went wrong; the cheque leaves the queue once written.
        if (!registre::recordPrinted(this, m_register, entry, &recorded)) {
            failure = QStringLiteral("Le chèque de %1 € à %2 a été imprimé, mais il n'est pas encore inscrit "
                                     "au registre : il reste dans la file jusque-là.")
                          .arg(registre::euros(registre::centsOf(c.amount)), nameOf(c));
            break;
        }
        records << recorded;
        printed << c.id;
        if (recorded.noLeaf) {
            failure = QStringLiteral("Le carnet n'avait plus de numéro.");
            break;
        }
    }
    m_register.releaseQueue();
    // The printing window had the activation; it comes back here.
    frmImpression::Unload(printing);
    activateWindow();
    // The cheques printed have left the queue, even when it cannot be read again now.
    m_model->forget(printed);
    const bool read = refresh(idsOf(chosenRows()), false);

    QStringList left;
    for (const registre::QueuedCheque &c : m_model->cheques())
        if (chosen.contains(c.id))
            left << nameOf(c);
    QStringList lines;
    if (!failure.isEmpty())
        lines << failure;
    else if (stopped)
        lines << QStringLiteral("Impression arrêtée.");
    const QString numbers = numbersText(records);
    lines << (records.isEmpty() ? QStringLiteral("Aucun chèque n'a été imprimé.")
              : records.size() == 1
                  ? QStringLiteral("1 chèque imprimé et inscrit au registre%1.")
                        .arg(numbers.isEmpty() ? QString() : QStringLiteral(", ") + numbers)
                  : QStringLiteral("%1 chèques imprimés et inscrits au registre%2.")
                        .arg(records.size())
                        .arg(numbers.isEmpty() ? QString() : QStringLiteral(", ") + numbers));
    if (!left.isEmpty()) {
        constexpr int named = 5;
        QString names = QStringList(left.mid(0, named)).join(QStringLiteral(", "));
        if (left.size() > named)
            names += QStringLiteral(" et %1").arg(plural(left.size() - named, QStringLiteral("autre")));
        lines << (left.size() == 1
                      ? QStringLiteral("1 chèque reste dans la file : %1.").arg(names)
                      : QStringLiteral("%1 chèques restent dans la file : %2.").arg(left.size()).arg(names));
    }
    if (!read)
        lines << QStringLiteral("La file n'a pas pu être relue : elle reste telle qu'avant, sans les chèques "
                                "imprimés.\r\n%1")
                     .arg(m_register.error());
    if (!file.isEmpty())
        lines << QStringLiteral("Les fichiers PDF sont dans le dossier %1.")
                     .arg(QDir::toNativeSeparators(QFileInfo(file).absolutePath()));
    platform::messageBox(this, lines.join(QStringLiteral("\r\n")),
                         failure.isEmpty() ? platform::MsgIcon::Information : platform::MsgIcon::Exclamation);
    if (book && !records.isEmpty())
        registre::tellLeavesLeft(this, book->uid, records.last());
}

void showQueue(QWidget *parent, std::function<registre::PrintSettings()> settings)
{
    frmÀImprimer window(parent, std::move(settings));
    platform::execDialog(window);
}
