#include "register/frmRegistre.h"

#include "cheque/frmImpression.h"
#include "dialogs/frmMsgBox.h"
#include "platform/Application.h"
#include "platform/Shell.h"
#include "platform/forms/FileDialog.h"
#include "platform/forms/Forms.h"
#include "platform/forms/MessageBox.h"
#include "platform/help/HelpContext.h"
#include "platform/print/PdfPrinter.h"
#include "platform/print/Printer.h"
#include "register/Recording.h"
#include "register/frmCarnets.h"
#include "register/frmEmplacement.h"
#include "register/frmStatut.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QTableView>
#include <QVBoxLayout>

namespace registre {

QVariant RegisterModel::data(const QModelIndex &index, int role) const
{
    const auto raw = [&](int column) { return QSqlQueryModel::data(index.siblingAtColumn(column)); };
    if (role == Qt::TextAlignmentRole && (index.column() == Amount || index.column() == Number))
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::DisplayRole && index.column() == PrintedAt)
        return printedAtText(QSqlQueryModel::data(index, role).toString());
    if (role == Qt::DisplayRole && index.column() == Number)
        return numberCell(raw(Number), raw(Digits));
    if (role == Qt::DisplayRole && index.column() == Status)
        return statusText(raw(Status).toString(), raw(StatusDay).toString());
    if (role == Qt::ToolTipRole && (index.column() == Status || index.column() == Number)) {
        // Where the cheque comes from and what happened to it.
        QStringList lines;
        if (!raw(ChequebookName).toString().isEmpty())
            lines << QStringLiteral("Carnet « %1 »").arg(raw(ChequebookName).toString());
        lines << m_register.history(raw(Id).toLongLong());
        return lines.join(QLatin1Char('\n'));
    }
    if (role == Qt::ToolTipRole) {
        const QString file = QSqlQueryModel::data(index.siblingAtColumn(PdfFile)).toString();
        return file.isEmpty() ? QVariant()
                              : QStringLiteral("Entrée ou double-clic : ouvrir le fichier\n%1")
                                    .arg(QDir::toNativeSeparators(file));
    }
    return QSqlQueryModel::data(index, role);
}

} // namespace registre

namespace {

QDateEdit *makeDate(QWidget *parent)
{
    auto *edit = new QDateEdit(platform::today(), parent);
    edit->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    edit->setCalendarPopup(true);
    edit->setEnabled(false);
    return edit;
}

} // namespace

frmRegistre::frmRegistre(QWidget *parent, std::function<registre::PrintSettings()> print)
    : QDialog(parent), m_print(std::move(print))
{
    setWindowTitle(QStringLiteral("Registre des chèques"));
    setFont(platform::uiFont());
    platform::setHelpContextID(this, 1007);

    auto *lblFiltre = new QLabel(QStringLiteral("&Bénéficiaire :"), this);
    txtBénéficiaire = new QLineEdit(this);
    txtBénéficiaire->setClearButtonEnabled(true);
    lblFiltre->setBuddy(txtBénéficiaire);
    chkDu = new QCheckBox(QStringLiteral("&Du"), this);
    dtpDu = makeDate(this);
    dtpDu->setDate(QDate(platform::today().year(), 1, 1));
    chkAu = new QCheckBox(QStringLiteral("&au"), this);
    dtpAu = makeDate(this);
    auto *lblCarnet = new QLabel(QStringLiteral("&Carnet :"), this);
    cboCarnet = new QComboBox(this);
    cboCarnet->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    lblCarnet->setBuddy(cboCarnet);
    auto *lblÉtat = new QLabel(QStringLiteral("É&tat :"), this);
    cboÉtat = new QComboBox(this);
    // In the order of StatusFilter.
    cboÉtat->addItems({QStringLiteral("Tous"), QStringLiteral("À débiter (émis ou hors Tolvo)"),
                       registre::status::Émis, registre::status::Débité, registre::status::Annulé,
                       registre::status::HorsTolvo});
    lblÉtat->setBuddy(cboÉtat);

    lblLectureSeule = new QLabel(this);
    lblLectureSeule->setWordWrap(true);
    lblLectureSeule->hide();
    grdChèques = new QTableView(this);
    m_model = new registre::RegisterModel(m_register, this);
    grdChèques->setModel(m_model);
    grdChèques->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdChèques->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grdChèques->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdChèques->verticalHeader()->hide();
    grdChèques->verticalHeader()->setDefaultSectionSize(grdChèques->fontMetrics().height() + 6);
    grdChèques->horizontalHeader()->setStretchLastSection(true);
    // Sorted by the database, not by the view, which would fetch every row first.
    grdChèques->horizontalHeader()->setSectionsClickable(true);
    grdChèques->horizontalHeader()->setSortIndicatorShown(true);
    grdChèques->horizontalHeader()->setSortIndicator(registre::PrintedAt, Qt::DescendingOrder);
    grdChèques->installEventFilter(this);

    cmdDébité = new QPushButton(QStringLiteral("&Marquer comme débité..."), this);
    cmdAnnuler = new QPushButton(QStringLiteral("A&nnuler le chèque..."), this);
    cmdRéimprimer = new QPushButton(QStringLiteral("&Réimprimer"), this);
    cmdRéimprimer->setVisible(bool(m_print));
    cmdSauter = new QPushButton(QStringLiteral("&Sauter ce numéro..."), this);
    cmdCarnets = new QPushButton(QStringLiteral("Carnets de chè&ques..."), this);
    cmdEmplacement = new QPushButton(QStringLiteral("&Emplacement du registre..."), this);
    lblTotal = new QLabel(this);
    lblADébiter = new QLabel(this);
    cmdExporter = new QPushButton(QStringLiteral("E&xporter (CSV)..."), this);
    cmdImprimer = new QPushButton(QStringLiteral("&Imprimer la liste"), this);
    auto *menu = new QMenu(cmdImprimer);
    QString current;
    try {
        current = platform::printers().current().DeviceName();
    } catch (const platform::PrinterError &) {
    }
    mnuImprimante = menu->addAction(QStringLiteral("Sur l'imprimante « %1 »").arg(current));
    mnuImprimante->setEnabled(!current.isEmpty());
    mnuFichierPdf = menu->addAction(QStringLiteral("Dans un fichier PDF"));
    cmdImprimer->setMenu(menu);
    cmdFermer = new QPushButton(QStringLiteral("&Fermer"), this);
    // Enter in the search box, or on a row, is no request to export.
    for (QPushButton *button : {cmdDébité, cmdAnnuler, cmdRéimprimer, cmdSauter, cmdCarnets, cmdEmplacement,
                                cmdExporter, cmdImprimer, cmdFermer})
        button->setAutoDefault(false);

    auto *filters = new QHBoxLayout;
    filters->addWidget(lblFiltre);
    filters->addWidget(txtBénéficiaire, 1);
    filters->addSpacing(12);
    filters->addWidget(chkDu);
    filters->addWidget(dtpDu);
    filters->addWidget(chkAu);
    filters->addWidget(dtpAu);
    auto *filters2 = new QHBoxLayout;
    filters2->addWidget(lblCarnet);
    filters2->addWidget(cboCarnet, 1);
    filters2->addSpacing(12);
    filters2->addWidget(lblÉtat);
    filters2->addWidget(cboÉtat, 1);
    auto *actions = new QHBoxLayout;
    for (QPushButton *button : {cmdDébité, cmdAnnuler, cmdRéimprimer, cmdSauter})
        actions->addWidget(button);
    actions->addStretch(1);
    actions->addWidget(cmdCarnets);
    actions->addWidget(cmdEmplacement);
    auto *buttons = new QHBoxLayout;
    auto *totals = new QVBoxLayout;
    totals->addWidget(lblTotal);
    totals->addWidget(lblADébiter);
    buttons->addLayout(totals, 1);
    buttons->addWidget(cmdExporter);
    buttons->addWidget(cmdImprimer);
    buttons->addWidget(cmdFermer);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addLayout(filters2);
    layout->addWidget(lblLectureSeule);
    layout->addWidget(grdChèques, 1);
    layout->addLayout(actions);
    layout->addLayout(buttons);
    resize(940, 520);

    connect(txtBénéficiaire, &QLineEdit::textChanged, this, [this] { refresh(); });
    connect(chkDu, &QCheckBox::toggled, dtpDu, &QWidget::setEnabled);
    connect(chkAu, &QCheckBox::toggled, dtpAu, &QWidget::setEnabled);
    for (QCheckBox *box : {chkDu, chkAu})
        connect(box, &QCheckBox::toggled, this, [this] { refresh(); });
    for (QDateEdit *edit : {dtpDu, dtpAu})
        connect(edit, &QDateEdit::dateChanged, this, [this] { refresh(); });
    for (QComboBox *box : {cboCarnet, cboÉtat})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    connect(grdChèques->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this, [this] { refresh(); });
    connect(grdChèques, &QTableView::doubleClicked, this,
            [this](const QModelIndex &i) { grdChèques_Open(i); });
    connect(cmdDébité, &QPushButton::clicked, this, [this] { cmdDébité_Click(); });
    connect(cmdAnnuler, &QPushButton::clicked, this, [this] { cmdAnnuler_Click(); });
    connect(cmdRéimprimer, &QPushButton::clicked, this, [this] { cmdRéimprimer_Click(); });
    connect(cmdSauter, &QPushButton::clicked, this, [this] { cmdSauter_Click(); });
    connect(cmdCarnets, &QPushButton::clicked, this, [this] { cmdCarnets_Click(); });
    connect(cmdEmplacement, &QPushButton::clicked, this, [this] { cmdEmplacement_Click(); });
    connect(cmdExporter, &QPushButton::clicked, this, [this] { cmdExporter_Click(); });
    connect(mnuImprimante, &QAction::triggered, this, [this] { printList(false); });
    connect(mnuFichierPdf, &QAction::triggered, this, [this] { printList(true); });
    connect(cmdFermer, &QPushButton::clicked, this, &QDialog::close);

    openRegister();
}

void frmRegistre::openRegister()
{
    m_model->clear();
    const bool opened = m_register.open(registre::Register::Use::Read);
    registre::tellSetAside(this, m_register);
    setWindowTitle(m_register.onServer() ? QStringLiteral("Registre des chèques - ") + m_register.where()
                                         : QStringLiteral("Registre des chèques"));
    lblLectureSeule->setVisible(m_register.access() != registre::Access::Writable);
    if (m_register.access() != registre::Access::Writable)
        lblLectureSeule->setText(registre::accessText(m_register.access()) +
                                 QStringLiteral(" Les chèques imprimés ne peuvent pas y être inscrits."));
    // What writes to the register is not offered where it cannot.
    const bool writable = opened && m_register.access() == registre::Access::Writable;
    for (QPushButton *button : {cmdDébité, cmdAnnuler, cmdRéimprimer, cmdSauter, cmdCarnets})
        button->setEnabled(writable);
    for (QWidget *w : {static_cast<QWidget *>(cmdExporter), static_cast<QWidget *>(cmdImprimer),
                       static_cast<QWidget *>(cboCarnet), static_cast<QWidget *>(cboÉtat)})
        w->setEnabled(opened);
    if (!opened) {
        lblTotal->setText(QStringLiteral("Le registre ne peut pas être lu : %1").arg(m_register.error()));
        lblADébiter->clear();
        return;
    }
    fillChequebooks();
    refresh();
    const int widths[] = {115, 70, 95, 230, 90, 140};
    for (int i = 0; i < int(std::size(widths)); ++i)
        grdChèques->setColumnWidth(i, widths[i]);
}

frmRegistre::~frmRegistre()
{
    // The rows' query goes before the register's connection closes.
    m_model->clear();
}

// "Tous les carnets", each chequebook, "Sans carnet"; the choice kept when it is still there.
void frmRegistre::fillChequebooks()
{
    const qint64 chosen =
        cboCarnet->currentData().isValid() ? cboCarnet->currentData().toLongLong() : registre::allChequebooks;
    const QSignalBlocker quiet(cboCarnet);
    cboCarnet->clear();
    cboCarnet->addItem(QStringLiteral("Tous les carnets"), registre::allChequebooks);
    for (const registre::Chequebook &b : m_register.chequebooks())
        cboCarnet->addItem(b.closed() ? b.name + QStringLiteral(" (clos)") : b.name, b.id);
    cboCarnet->addItem(QStringLiteral("Sans carnet"), registre::noChequebook);
    cboCarnet->setCurrentIndex(std::max(0, cboCarnet->findData(chosen)));
}

registre::Filter frmRegistre::filter() const
{
    registre::Filter f;
    f.beneficiary = txtBénéficiaire->text().trimmed();
    if (chkDu->isChecked())
        f.from = dtpDu->date();
    if (chkAu->isChecked())
        f.to = dtpAu->date();
    if (cboCarnet->currentData().isValid())
        f.chequebook = cboCarnet->currentData().toLongLong();
    f.status = registre::StatusFilter(std::max(0, cboÉtat->currentIndex()));
    f.sortColumn = grdChèques->horizontalHeader()->sortIndicatorSection();
    f.order = grdChèques->horizontalHeader()->sortIndicatorOrder();
    return f;
}

void frmRegistre::refresh()
{
    // A server that went away and came back is reached again; one that is still away
    // is said, never shown as an empty register.
    // (The rows' query goes first: reaching the server again opens a new connection.)
    if (m_register.onServer())
        m_model->clear();
    if (m_register.onServer() && !m_register.reachable()) {
        lblTotal->setText(QStringLiteral("Le registre ne peut pas être lu : %1").arg(m_register.error()));
        lblADébiter->clear();
        return;
    }
    const QSqlDatabase db = m_register.database();
    if (!db.isOpen())
        return;
    const registre::Filter f = filter();
    m_model->setQuery(registre::selectRows(db, f, false));
    static const char *const headers[] = {"Imprimé le", "N°",   "Date du chèque", "Bénéficiaire",
                                          "Montant",    "État", "Imprimante"};
    static_assert(std::size(headers) == registre::ShownColumns);
    for (int i = 0; i < registre::ShownColumns; ++i)
        m_model->setHeaderData(i, Qt::Horizontal, QString::fromUtf8(headers[i]));
    for (int i = registre::ShownColumns; i < m_model->columnCount(); ++i)
        grdChèques->setColumnHidden(i, true);
    const registre::Totals t = registre::totals(db, f);
    lblTotal->setText(registre::totalsText(t));
    lblADébiter->setText(registre::pendingText(t));
}

bool frmRegistre::eventFilter(QObject *watched, QEvent *event)
{
    // Enter opens the row's file; it never reaches the buttons, on any row.
    if (watched == grdChèques && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            grdChèques_Open(grdChèques->currentIndex());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmRegistre::grdChèques_Open(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    const QString file = m_model->data(index.siblingAtColumn(registre::PdfFile)).toString();
    if (file.isEmpty())
        return;
    QString problem;
    if (!QFile::exists(file))
        problem = QStringLiteral("Le fichier %1 n'existe plus.");
    else if (platform::shellExecute(this, QStringLiteral("open"), file, QString(), QString(), 1) <= 32)
        problem = QStringLiteral("Le fichier %1 n'a pas pu être ouvert.");
    if (!problem.isEmpty())
        platform::messageBox(this, problem.arg(QDir::toNativeSeparators(file)),
                             platform::MsgIcon::Exclamation);
}

QModelIndexList frmRegistre::chosenRows() const
{
    QModelIndexList rows = grdChèques->selectionModel()->selectedRows();
    // The row the keyboard is on counts as chosen when nothing is selected.
    if (rows.isEmpty() && grdChèques->currentIndex().isValid())
        rows << grdChèques->currentIndex().siblingAtColumn(0);
    std::sort(rows.begin(), rows.end());
    return rows;
}

QList<qint64> frmRegistre::selection(QString *what) const
{
    QList<qint64> ids;
    qint64 cents = 0;
    const QModelIndexList rows = chosenRows();
    for (const QModelIndex &row : rows) {
        const QSqlRecord r = m_model->record(row.row());
        ids << r.value(registre::Id).toLongLong();
        cents += r.value(registre::Cents).toLongLong();
    }
    if (ids.size() == 1) {
        const QSqlRecord r = m_model->record(rows[0].row());
        const QString number = registre::numberCell(r.value(registre::Number), r.value(registre::Digits));
        *what = QStringLiteral("Chèque %1%2, %3 €")
                    .arg(number.isEmpty() ? QString() : QStringLiteral("n° %1 ").arg(number),
                         r.value(registre::Beneficiary).toString(), registre::euros(cents));
    } else {
        *what = QStringLiteral("%1 chèques, %2 €").arg(ids.size()).arg(registre::euros(cents));
    }
    return ids;
}

void frmRegistre::changeStatus(const QList<qint64> &ids, const QString &status, const QDate &day,
                               const QString &reason)
{
    const int changed = m_register.setStatus(ids, status, day, reason);
    refresh();
    if (changed < 0)
        platform::messageBox(
            this, QStringLiteral("Le registre n'a pas pu être modifié.\r\n%1").arg(m_register.error()),
            platform::MsgIcon::Exclamation);
    else if (changed < ids.size())
        platform::messageBox(this,
                             (ids.size() == 1 ? QStringLiteral("Le chèque n'a pas changé")
                                              : QStringLiteral("%1 des %2 chèques choisis n'ont pas changé")
                                                    .arg(ids.size() - changed)
                                                    .arg(ids.size())) +
                                 QStringLiteral(" : un chèque annulé le reste, un chèque débité ne peut plus "
                                                "être annulé."),
                             platform::MsgIcon::Information);
}

void frmRegistre::cmdDébité_Click()
{
    QString what;
    const QList<qint64> ids = selection(&what);
    if (ids.isEmpty()) {
        platform::messageBox(this, QStringLiteral("Choisissez d'abord les chèques débités."),
                             platform::MsgIcon::Information);
        return;
    }
    frmDébit ask(what, this);
    if (platform::execDialog(ask) == QDialog::Accepted)
        changeStatus(ids, registre::status::Débité, ask.dtpDate->date(), QString());
}

void frmRegistre::cmdAnnuler_Click()
{
    QString what;
    const QList<qint64> ids = selection(&what);
    if (ids.isEmpty()) {
        platform::messageBox(this, QStringLiteral("Choisissez d'abord les chèques à annuler."),
                             platform::MsgIcon::Information);
        return;
    }
    frmAnnulation ask(what, this);
    if (platform::execDialog(ask) == QDialog::Accepted)
        changeStatus(ids, registre::status::Annulé, platform::today(), ask.txtMotif->text().trimmed());
}

void frmRegistre::cmdRéimprimer_Click()
{
    const QModelIndexList rows = chosenRows();
    if (rows.size() != 1) {
        platform::messageBox(this, QStringLiteral("Choisissez le chèque à réimprimer, un seul."),
                             platform::MsgIcon::Information);
        return;
    }
    const QSqlRecord old = m_model->record(rows[0].row());
    if (old.value(registre::Status).toString() != registre::status::Émis) {
        platform::messageBox(this,
                             QStringLiteral("Ce chèque est %1 : seul un chèque émis peut être réimprimé.")
                                 .arg(old.value(registre::Status).toString()),
                             platform::MsgIcon::Information);
        return;
    }
    registre::Register reg;
    std::optional<registre::Chequebook> book;
    if (!registre::readyToRecord(this, reg, book)) {
        refresh();
        return;
    }
    const QString oldNumber = registre::numberCell(old.value(registre::Number), old.value(registre::Digits));
    {
        frmMsgBox box(this);
        box.setMessage(QStringLiteral("Réimprimer le chèque %1de %2 € à %3, daté du %4, %5 ?\r\n")
                           .arg(oldNumber.isEmpty() ? QString() : QStringLiteral("n° %1 ").arg(oldNumber),
                                registre::euros(old.value(registre::Cents).toLongLong()),
                                old.value(registre::Beneficiary).toString(),
                                old.value(registre::ChequeDate).toString(),
                                book ? QStringLiteral("sur le chèque n° %1 du carnet « %2 »")
                                           .arg(book->numberText(book->next), book->name)
                                     : QStringLiteral("sans numéro (aucun carnet en usage)")) +
                       QStringLiteral("L'ancien chèque sera marqué comme annulé."));
        box.setPictureType(4);
        box.setHelpButton(1007);
        box.setFormType(2);
        box.setButtonCaption(1, QStringLiteral("Réimprimer"));
        platform::execDialog(box);
        if (box.Tag != QLatin1String("1"))
            return;
    }

    // The same job as F5, with what the main window prints with.
    const registre::PrintSettings settings = m_print();
    cheque::ChequeInput input = settings.input;
    input.amount = registre::centsText(old.value(registre::Cents).toLongLong());
    input.beneficiary = old.value(registre::Beneficiary).toString();
    input.date = old.value(registre::ChequeDate).toString();
    frmImpression *printing = frmImpression::ShowOver(this);
    platform::setMousePointer(11);
    const cheque::PrintReport report = cheque::PrintCheque(input);
    registre::Recorded recorded;
    if (report.handedOver) {
        registre::Entry entry = registre::entryFor(
            input, settings.printer, report.file, QDateTime::currentDateTime(), book ? book->uid : QString());
        entry.replaces = old.value(registre::Id).toLongLong();
        if (book)
            entry.leaf = book->numberText(book->next);
        registre::recordPrinted(this, reg, entry, &recorded);
    }
    frmImpression::Unload(printing);
    platform::setMousePointer(0);
    refresh();
    if (!report.notHandedOver.isEmpty())
        cheque::ReportNotPrinted(this, QStringLiteral("Le chèque n'a pas été imprimé."),
                                 report.notHandedOver);
    else if (book)
        registre::tellLeavesLeft(this, book->uid, recorded);
}

void frmRegistre::cmdSauter_Click()
{
    QList<registre::Chequebook> usable;
    for (const registre::Chequebook &b : m_register.chequebooks())
        if (!b.closed() && b.left() > 0)
            usable << b;
    if (usable.isEmpty()) {
        platform::messageBox(
            this,
            QStringLiteral("Aucun carnet en service n'a de chèque à sauter. Ajoutez-en un dans "
                           "« Carnets de chèques »."),
            platform::MsgIcon::Information);
        return;
    }
    frmSaut ask(usable, registre::chequebookInUse(), this);
    if (platform::execDialog(ask) != QDialog::Accepted)
        return;
    registre::Recorded recorded;
    const bool written = m_register.add(ask.entry(), &recorded);
    refresh();
    if (!written)
        platform::messageBox(this,
                             QStringLiteral("Le numéro n'a pas pu être sauté.\r\n%1").arg(m_register.error()),
                             platform::MsgIcon::Exclamation);
}

void frmRegistre::cmdCarnets_Click()
{
    showChequebooks(this);
    fillChequebooks();
    refresh();
}

void frmRegistre::cmdEmplacement_Click()
{
    frmEmplacement dialog(this);
    if (platform::execDialog(dialog) != QDialog::Accepted)
        return;
    m_register.relocate(registre::location());
    openRegister();
}

void frmRegistre::cmdExporter_Click()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString suggested = QDir(folder).filePath(
        QStringLiteral("registre-%1.csv").arg(platform::today().toString(QStringLiteral("yyyyMMdd"))));
    const QString path = platform::saveFileName(this, QStringLiteral("Exporter le registre"), suggested,
                                                QStringLiteral("Fichiers CSV (*.csv)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!registre::writeCsv(m_register.database(), filter(), path, &error))
        platform::messageBox(this,
                             QStringLiteral("Le fichier %1 n'a pas pu être écrit.\r\n%2")
                                 .arg(QDir::toNativeSeparators(path), error),
                             platform::MsgIcon::Exclamation);
}

void frmRegistre::printList(bool toPdf)
{
    platform::setMousePointer(11);
    QString message;
    platform::MsgIcon icon = platform::MsgIcon::Information;
    try {
        platform::Printers &all = platform::printers();
        platform::Printer *device = &all.current();
        if (toPdf)
            for (int i = 0; i < all.count(); ++i)
                if (dynamic_cast<platform::PdfPrinter *>(&all.at(i)))
                    device = &all.at(i);
        const auto *pdf = dynamic_cast<platform::PdfPrinter *>(device);
        if (toPdf && !pdf)
            throw platform::PrinterError(
                QStringLiteral("L'imprimante « Fichier PDF » n'est pas disponible."));
        const int rows = registre::printList(*device, m_register.database(), filter());
        const QString count = QStringLiteral("%1 chèque%2").arg(rows).arg(rows > 1 ? "s" : "");
        message = pdf ? QStringLiteral("La liste (%1) a été enregistrée dans le fichier\r\n%2")
                            .arg(count, QDir::toNativeSeparators(pdf->lastFile()))
                      : QStringLiteral("La liste (%1) a été envoyée à l'imprimante « %2 ».")
                            .arg(count, device->DeviceName());
    } catch (const std::exception &e) {
        message =
            QStringLiteral("La liste n'a pas été imprimée.\r\n%1").arg(QString::fromStdString(e.what()));
        icon = platform::MsgIcon::Exclamation;
    }
    platform::setMousePointer(0);
    platform::messageBox(this, message, icon);
}

void showRegister(QWidget *parent, std::function<registre::PrintSettings()> print)
{
    frmRegistre window(parent, std::move(print));
    window.exec();
}
