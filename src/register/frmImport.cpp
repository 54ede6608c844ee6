#include "register/frmImport.h"

#include "platform/forms/FileDialog.h"
#include "platform/forms/Forms.h"
#include "platform/forms/MessageBox.h"
#include "platform/help/HelpContext.h"
#include "register/RegisterList.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace registre {

// The rows of the file as a table: good rows as they will be queued, the others
// as read, with their problems.
class ImportModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setReport(const ImportReport *report)
    {
        beginResetModel();
        m_report = report;
        endResetModel();
    }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() || !m_report ? 0 : int(m_report->rows.size());
    }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 6; }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        static const char *const titles[] = {"Ligne", "Bénéficiaire", "Montant", "Date", "Note", "Problèmes"};
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 6)
            return QString::fromUtf8(titles[section]);
        return {};
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!m_report || !index.isValid())
            return {};
        const ImportRow &row = m_report->rows[index.row()];
        const bool good = row.problems.isEmpty();
        switch (role) {
        case Qt::DisplayRole:
            switch (index.column()) {
            case 0: return row.line;
            case 1: return row.cheque.beneficiary;
            case 2: return row.cheque.amount;
            case 3:
                return good && row.cheque.date.isEmpty() ? QStringLiteral("à l'impression") : row.cheque.date;
            case 4: return row.cheque.note;
            default: return row.problems.join(QStringLiteral(" ; "));
            }
        case Qt::TextAlignmentRole:
            return index.column() == 0 || index.column() == 2 ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                              : QVariant();
        case Qt::ForegroundRole:
            if (!good)
                return QColor(170, 0, 0);
            return index.column() == 3 && row.cheque.date.isEmpty() ? QVariant(QColor(Qt::gray)) : QVariant();
        default: return {};
        }
    }

private:
    const ImportReport *m_report = nullptr;
};

} // namespace registre

namespace {

// Spreadsheet column names: A to Z, then AA, AB...
QString columnLetters(int column)
{
    QString letters;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar('A' + (n - 1) % 26));
    return letters;
}

// "%1" is the count, "%2" the plural's "s": "%1 ligne%2 lue%2".
QString plural(qsizetype n, const QString &pattern)
{
    return pattern.arg(n).arg(n > 1 ? QStringLiteral("s") : QString());
}

} // namespace

frmImport::frmImport(const QString &path, registre::CsvTable table, QWidget *parent)
    : QDialog(parent), m_path(path), m_table(std::move(table))
{
    setWindowTitle(QStringLiteral("Importer des chèques"));
    setFont(platform::uiFont());
    platform::setHelpContextID(this, 1012);

    lblFichier = new QLabel(this);
    lblFichier->setWordWrap(true);
    m_steps = new QStackedWidget(this);
    cmdColonnes = new QPushButton(QStringLiteral("< &Colonnes"), this);
    cmdSuivant = new QPushButton(QStringLiteral("&Suivant >"), this);
    cmdAjouter = new QPushButton(this);
    cmdAnnuler = new QPushButton(QStringLiteral("Annuler"), this);

    const registre::ImportColumns found = registre::findColumns(m_table.records);
    buildColumnsStep(found);
    buildRowsStep();

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdColonnes);
    buttons->addStretch(1);
    buttons->addWidget(cmdSuivant);
    buttons->addWidget(cmdAjouter);
    buttons->addWidget(cmdAnnuler);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblFichier);
    layout->addWidget(m_steps, 1);
    layout->addLayout(buttons);
    resize(820, 520);

    connect(chkEnTête, &QCheckBox::toggled, this, [this] { chkEnTête_Click(); });
    connect(cmdSuivant, &QPushButton::clicked, this, [this] { cmdSuivant_Click(); });
    connect(cmdColonnes, &QPushButton::clicked, this, [this] { cmdColonnes_Click(); });
    connect(cmdAjouter, &QPushButton::clicked, this, [this] { cmdAjouter_Click(); });
    connect(cmdAnnuler, &QPushButton::clicked, this, &QDialog::reject);

    // A file that names its beneficiary and amount columns goes straight to its rows.
    if (found.named)
        cmdSuivant_Click();
    else
        showStep(fraColonnes);
}

void frmImport::buildColumnsStep(const registre::ImportColumns &found)
{
    fraColonnes = new QWidget(m_steps);
    auto *lblAide = new QLabel(
        QStringLiteral("Indiquez quelle colonne du fichier contient chaque donnée (le montant au moins) :"),
        fraColonnes);
    lblAide->setWordWrap(true);
    chkEnTête =
        new QCheckBox(QStringLiteral("La première ligne contient les &titres des colonnes"), fraColonnes);
    chkEnTête->setChecked(found.header);
    static const char *const captions[] = {"&Bénéficiaire :", "&Montant :", "&Date :", "&Note :"};
    auto *form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    for (int f = 0; f < registre::FieldCount; ++f) {
        cboColonne[size_t(f)] = new QComboBox(fraColonnes);
        cboColonne[size_t(f)]->setMinimumContentsLength(28);
        form->addRow(QString::fromUtf8(captions[f]), cboColonne[size_t(f)]);
    }
    lblMontantRequis = new QLabel(QStringLiteral("Choisissez la colonne du montant."), fraColonnes);
    grdAperçu = new QTableWidget(fraColonnes);
    grdAperçu->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdAperçu->verticalHeader()->setDefaultSectionSize(grdAperçu->fontMetrics().height() + 6);

    for (const registre::CsvRecord &r : m_table.records)
        m_width = std::max(m_width, int(r.fields.size()));
    chkEnTête_Click(); // fills the lists and the preview
    for (int f = 0; f < registre::FieldCount; ++f) {
        cboColonne[size_t(f)]->setCurrentIndex(found.column[size_t(f)] + 1);
        connect(cboColonne[size_t(f)], &QComboBox::currentIndexChanged, this, [this] {
            const bool amount = cboColonne[registre::FieldAmount]->currentIndex() > 0;
            cmdSuivant->setEnabled(amount);
            lblMontantRequis->setVisible(!amount);
        });
    }
    cmdSuivant->setEnabled(found.column[registre::FieldAmount] >= 0);
    lblMontantRequis->setVisible(found.column[registre::FieldAmount] < 0);

    auto *layout = new QVBoxLayout(fraColonnes);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lblAide);
    layout->addWidget(chkEnTête);
    layout->addLayout(form);
    layout->addWidget(lblMontantRequis);
    layout->addWidget(grdAperçu, 1);
    m_steps->addWidget(fraColonnes);
}

void frmImport::buildRowsStep()
{
    fraLignes = new QWidget(m_steps);
    lblRésumé = new QLabel(fraLignes);
    lblRésumé->setWordWrap(true);
    auto *lblLignes = new QLabel(QStringLiteral("&Lignes du fichier :"), fraLignes);
    grdLignes = new QTableView(fraLignes);
    m_model = new registre::ImportModel(this);
    grdLignes->setModel(m_model);
    grdLignes->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdLignes->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdLignes->verticalHeader()->hide();
    grdLignes->verticalHeader()->setDefaultSectionSize(grdLignes->fontMetrics().height() + 6);
    grdLignes->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {50, 220, 90, 90, 140};
    for (int c = 0; c < 5; ++c)
        grdLignes->setColumnWidth(c, widths[c]);
    lblLignes->setBuddy(grdLignes);
    lblProblèmes = new QLabel(QStringLiteral("&Problèmes :"), fraLignes);
    lstProblèmes = new QListWidget(fraLignes);
    lblProblèmes->setBuddy(lstProblèmes);
    // Going through the problems shows each one's row.
    connect(lstProblèmes, &QListWidget::currentRowChanged, this, [this](int i) {
        int problem = 0;
        for (int r = 0; i >= 0 && r < m_report.rows.size(); ++r) {
            problem += int(m_report.rows[r].problems.size());
            if (problem > i) {
                grdLignes->selectRow(r);
                grdLignes->scrollTo(m_model->index(r, 0));
                return;
            }
        }
    });

    auto *layout = new QVBoxLayout(fraLignes);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lblRésumé);
    layout->addWidget(lblLignes);
    layout->addWidget(grdLignes, 3);
    layout->addWidget(lblProblèmes);
    layout->addWidget(lstProblèmes, 1);
    m_steps->addWidget(fraLignes);
}

QString frmImport::fileText() const
{
    const QChar s = m_table.separator;
    const QString separator = s == QLatin1Char(';')    ? QStringLiteral("point-virgule")
                              : s == QLatin1Char(',')  ? QStringLiteral("virgule")
                              : s == QLatin1Char('\t') ? QStringLiteral("tabulation")
                                                       : QStringLiteral("« %1 »").arg(s);
    return QStringLiteral("Fichier %1 : %2, séparateur %3")
        .arg(QDir::toNativeSeparators(m_path), m_table.encoding, separator);
}

void frmImport::showStep(QWidget *step)
{
    const bool columns = step == fraColonnes;
    m_steps->setCurrentWidget(step);
    cmdColonnes->setVisible(!columns);
    cmdSuivant->setVisible(columns);
    cmdAjouter->setVisible(!columns && m_report.goodCount() > 0);
    (columns ? cmdSuivant : cmdAjouter)->setDefault(true);
    (columns ? cmdAjouter : cmdSuivant)->setDefault(false);
    lblFichier->setText(columns ? fileText() + QLatin1Char('.')
                                : fileText() + (m_report.decimal == QLatin1Char('.')
                                                    ? QStringLiteral(", point décimal.")
                                                    : QStringLiteral(", virgule décimale.")));
    if (columns)
        cboColonne[0]->setFocus();
    else
        grdLignes->setFocus();
}

void frmImport::chkEnTête_Click()
{
    const bool header = chkEnTête->isChecked();
    QList<const registre::CsvRecord *> rows;
    for (const registre::CsvRecord &r : m_table.records) {
        if (rows.size() == 9)
            break;
        if (!QStringList(r.fields).join(QString()).trimmed().isEmpty())
            rows << &r;
    }
    const QStringList names = header && !rows.isEmpty() ? rows.takeFirst()->fields : QStringList();

    QStringList titles;
    for (int c = 0; c < m_width; ++c) {
        const QString name = names.value(c).simplified();
        titles << (name.isEmpty() ? columnLetters(c) : QStringLiteral("%1 : %2").arg(columnLetters(c), name));
    }
    for (QComboBox *box : cboColonne) {
        const int current = box->currentIndex();
        box->clear();
        box->addItem(QStringLiteral("(aucune)"));
        for (const QString &t : titles)
            box->addItem(QStringLiteral("Colonne ") + t);
        box->setCurrentIndex(std::max(current, 0));
    }

    grdAperçu->clear();
    grdAperçu->setColumnCount(m_width);
    grdAperçu->setRowCount(int(std::min<qsizetype>(rows.size(), 8)));
    grdAperçu->setHorizontalHeaderLabels(titles);
    for (int r = 0; r < grdAperçu->rowCount(); ++r) {
        grdAperçu->setVerticalHeaderItem(r, new QTableWidgetItem(QString::number(rows[r]->line)));
        for (int c = 0; c < rows[r]->fields.size(); ++c)
            grdAperçu->setItem(r, c, new QTableWidgetItem(rows[r]->fields[c].simplified()));
    }
}

void frmImport::cmdSuivant_Click()
{
    registre::ImportColumns columns;
    for (int f = 0; f < registre::FieldCount; ++f)
        columns.column[size_t(f)] = cboColonne[size_t(f)]->currentIndex() - 1;
    columns.header = chkEnTête->isChecked();
    m_report = registre::checkRows(m_table.records, columns);
    m_model->setReport(&m_report);

    const qsizetype rows = m_report.rows.size(), good = m_report.goodCount(), bad = rows - good;
    const QStringList problems = m_report.problems();
    lstProblèmes->clear();
    lstProblèmes->addItems(problems);
    lblProblèmes->setVisible(bad > 0);
    lstProblèmes->setVisible(bad > 0);

    QString summary;
    if (rows == 0)
        summary = QStringLiteral("Le fichier ne contient aucune ligne de chèque.");
    else if (good == 0)
        summary = QStringLiteral("%1, aucune n'est correcte : aucun chèque ne peut être ajouté. Corrigez le "
                                 "fichier puis importez-le de nouveau.")
                      .arg(plural(rows, QStringLiteral("%1 ligne%2 lue%2")));
    else
        summary = QStringLiteral("%1. À ajouter : %2.%3")
                      .arg(plural(rows, QStringLiteral("%1 ligne%2 lue%2")),
                           registre::totalsText({.count = good, .cents = m_report.goodCents(), .ok = true}),
                           bad == 0 ? QString()
                                    : QStringLiteral(" Refusées, à corriger dans le fichier : %1.")
                                          .arg(plural(bad, QStringLiteral("%1 ligne%2"))));
    lblRésumé->setText(summary);
    if (good == 1)
        cmdAjouter->setText(bad == 0 ? QStringLiteral("&Ajouter le chèque")
                                     : QStringLiteral("&Ajouter le chèque correct"));
    else
        cmdAjouter->setText(bad == 0 ? QStringLiteral("&Ajouter les %1 chèques").arg(good)
                                     : QStringLiteral("&Ajouter les %1 chèques corrects").arg(good));
    showStep(fraLignes);
}

void frmImport::cmdColonnes_Click()
{
    showStep(fraColonnes);
}

void frmImport::cmdAjouter_Click()
{
    m_accepted = m_report.goodCheques();
    accept();
}

QList<registre::ImportedCheque> importFile(QWidget *parent, const QString &path)
{
    registre::CsvTable table;
    QString error;
    if (!registre::readCsvFile(path, table, &error)) {
        platform::messageBox(parent, error, platform::MsgIcon::Exclamation);
        return {};
    }
    if (registre::checkRows(table.records, {}).rows.isEmpty()) {
        platform::messageBox(
            parent,
            QStringLiteral("Le fichier %1 ne contient aucune ligne.").arg(QDir::toNativeSeparators(path)),
            platform::MsgIcon::Exclamation);
        return {};
    }
    frmImport dialog(path, std::move(table), parent);
    if (platform::execDialog(dialog) != QDialog::Accepted)
        return {};
    return dialog.accepted();
}

QList<registre::ImportedCheque> importCheques(QWidget *parent)
{
    const QString path =
        platform::openFileName(parent, QStringLiteral("Importer des chèques"),
                               QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                               QStringLiteral("Fichiers CSV (*.csv *.txt);;Tous les fichiers (*)"));
    return path.isEmpty() ? QList<registre::ImportedCheque>() : importFile(parent, path);
}
