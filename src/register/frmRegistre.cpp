#include "register/frmRegistre.h"

#include "platform/Application.h"
#include "platform/Shell.h"
#include "platform/forms/FileDialog.h"
#include "platform/forms/Forms.h"
#include "platform/forms/MessageBox.h"
#include "platform/help/HelpContext.h"
#include "platform/print/PdfPrinter.h"
#include "platform/print/Printer.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QVBoxLayout>

namespace registre {

QVariant RegisterModel::data(const QModelIndex &index, int role) const
{
    if (role == Qt::TextAlignmentRole && index.column() == Amount)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::DisplayRole && index.column() == PrintedAt)
        return printedAtText(QSqlQueryModel::data(index, role).toString());
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

frmRegistre::frmRegistre(QWidget *parent) : QDialog(parent)
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

    lblLectureSeule = new QLabel(this);
    lblLectureSeule->setWordWrap(true);
    lblLectureSeule->hide();
    grdChèques = new QTableView(this);
    m_model = new registre::RegisterModel(this);
    grdChèques->setModel(m_model);
    grdChèques->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdChèques->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdChèques->verticalHeader()->hide();
    grdChèques->verticalHeader()->setDefaultSectionSize(grdChèques->fontMetrics().height() + 6);
    grdChèques->horizontalHeader()->setStretchLastSection(true);
    // Sorted by the database, not by the view, which would fetch every row first.
    grdChèques->horizontalHeader()->setSectionsClickable(true);
    grdChèques->horizontalHeader()->setSortIndicatorShown(true);
    grdChèques->horizontalHeader()->setSortIndicator(registre::PrintedAt, Qt::DescendingOrder);
    grdChèques->installEventFilter(this);

    lblTotal = new QLabel(this);
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
    for (QPushButton *button : {cmdExporter, cmdImprimer, cmdFermer})
        button->setAutoDefault(false);

    auto *filters = new QHBoxLayout;
    filters->addWidget(lblFiltre);
    filters->addWidget(txtBénéficiaire, 1);
    filters->addSpacing(12);
    filters->addWidget(chkDu);
    filters->addWidget(dtpDu);
    filters->addWidget(chkAu);
    filters->addWidget(dtpAu);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(lblTotal, 1);
    buttons->addWidget(cmdExporter);
    buttons->addWidget(cmdImprimer);
    buttons->addWidget(cmdFermer);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(lblLectureSeule);
    layout->addWidget(grdChèques, 1);
    layout->addLayout(buttons);
    resize(820, 480);

    connect(txtBénéficiaire, &QLineEdit::textChanged, this, [this] { refresh(); });
    connect(chkDu, &QCheckBox::toggled, dtpDu, &QWidget::setEnabled);
    connect(chkAu, &QCheckBox::toggled, dtpAu, &QWidget::setEnabled);
    for (QCheckBox *box : {chkDu, chkAu})
        connect(box, &QCheckBox::toggled, this, [this] { refresh(); });
    for (QDateEdit *edit : {dtpDu, dtpAu})
        connect(edit, &QDateEdit::dateChanged, this, [this] { refresh(); });
    connect(grdChèques->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this, [this] { refresh(); });
    connect(grdChèques, &QTableView::doubleClicked, this,
            [this](const QModelIndex &i) { grdChèques_Open(i); });
    connect(cmdExporter, &QPushButton::clicked, this, [this] { cmdExporter_Click(); });
    connect(mnuImprimante, &QAction::triggered, this, [this] { printList(false); });
    connect(mnuFichierPdf, &QAction::triggered, this, [this] { printList(true); });
    connect(cmdFermer, &QPushButton::clicked, this, &QDialog::close);

    const bool opened = m_register.open(registre::Register::Use::Read);
    registre::tellSetAside(this, m_register);
    if (m_register.access() != registre::Access::Writable) {
        lblLectureSeule->setText(registre::accessText(m_register.access()) +
                                 QStringLiteral(" Les chèques imprimés ne peuvent pas y être inscrits."));
        lblLectureSeule->show();
    }
    if (!opened) {
        lblTotal->setText(QStringLiteral("Le registre ne peut pas être lu : %1").arg(m_register.error()));
        for (QWidget *w : {static_cast<QWidget *>(cmdExporter), static_cast<QWidget *>(cmdImprimer)})
            w->setEnabled(false);
        return;
    }
    refresh();
    grdChèques->setColumnWidth(0, 130);
    grdChèques->setColumnWidth(1, 110);
    grdChèques->setColumnWidth(2, 260);
    grdChèques->setColumnWidth(3, 110);
}

frmRegistre::~frmRegistre()
{
    // The rows' query goes before the register's connection closes.
    m_model->clear();
}

registre::Filter frmRegistre::filter() const
{
    registre::Filter f;
    f.beneficiary = txtBénéficiaire->text().trimmed();
    if (chkDu->isChecked())
        f.from = dtpDu->date();
    if (chkAu->isChecked())
        f.to = dtpAu->date();
    f.sortColumn = grdChèques->horizontalHeader()->sortIndicatorSection();
    f.order = grdChèques->horizontalHeader()->sortIndicatorOrder();
    return f;
}

void frmRegistre::refresh()
{
    const QSqlDatabase db = m_register.database();
    if (!db.isOpen())
        return;
    const registre::Filter f = filter();
    m_model->setQuery(registre::selectRows(db, f, false));
    static const char *const headers[] = {"Imprimé le", "Date du chèque", "Bénéficiaire", "Montant",
                                          "Imprimante"};
    static_assert(std::size(headers) == registre::ShownColumns);
    for (int i = 0; i < registre::ShownColumns; ++i)
        m_model->setHeaderData(i, Qt::Horizontal, QString::fromUtf8(headers[i]));
    for (int i = registre::ShownColumns; i < m_model->columnCount(); ++i)
        grdChèques->setColumnHidden(i, true);
    lblTotal->setText(registre::totalsText(registre::totals(db, f)));
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

void showRegister(QWidget *parent)
{
    frmRegistre window(parent);
    window.exec();
}
