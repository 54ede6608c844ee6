#pragma once
// "Chèques à imprimer": the queue of cheques waiting to be printed, kept in the
// register as it is typed. Cheques are typed in place with the main window's
// rules, imported from a spreadsheet, reordered and removed, previewed, and printed
// all or chosen ones, each recorded with its number as its page leaves.

#include "register/Recording.h"

#include <QAbstractTableModel>
#include <QSet>
#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class QTableView;

namespace registre {

// The queued cheques as the window shows them; what is typed is written to the
// register at once.
class QueueModel : public QAbstractTableModel {
public:
    enum Column { Beneficiary, Amount, Date, Note, Columns };

    QueueModel(Register &reg, QObject *parent) : QAbstractTableModel(parent), m_register(reg) {}

    // Reads the queue again. False, with the register's error, when it cannot: the
    // rows shown stay (a server out of reach empties no queue).
    bool reload();
    // Takes out the rows of cheques known to have left the queue, without reading it.
    void forget(const QSet<qint64> &ids);
    const QList<QueuedCheque> &cheques() const { return m_cheques; }
    int rowOf(qint64 id) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Writes the text of a cell to the register; `shown` says whether the view
    // hears of it (not while the cell's editor is open and typing).
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    bool write(const QModelIndex &index, const QString &text, bool shown);

    void setEditable(bool editable) { m_editable = editable; }
    // Told when the register refuses what is typed (the text stays on screen), and
    // with an empty text once it takes it again.
    std::function<void(const QString &error)> writeFailed;
    // Told after each change that reached the register.
    std::function<void()> changed;

private:
    Register &m_register;
    QList<QueuedCheque> m_cheques;
    bool m_editable = true;
    QString m_failure;
};

} // namespace registre

class frmÀImprimer : public QDialog {
public:
    // `settings` gives what printing takes from the main window, at the moment it prints.
    frmÀImprimer(QWidget *parent, std::function<registre::PrintSettings()> settings);
    ~frmÀImprimer() override;

    QTableView *grdChèques;
    QPushButton *cmdAjouter;
    QPushButton *cmdSupprimer;
    QPushButton *cmdMonter;
    QPushButton *cmdDescendre;
    QPushButton *cmdImporter;
    QPushButton *cmdAperçu;
    QLabel *lblTotal;
    QLabel *lblImprimante;
    QLabel *lblCarnet;
    QLabel *lblErreur;
    QPushButton *cmdImprimerTout;
    QPushButton *cmdImprimerSélection;
    QPushButton *cmdFermer;

    registre::QueueModel *model() const { return m_model; }

    void cmdAjouter_Click();
    void cmdSupprimer_Click();
    void cmdMonter_Click();
    void cmdDescendre_Click();
    void cmdImporter_Click();
    void cmdAperçu_Click();
    void cmdImprimerTout_Click();
    void cmdImprimerSélection_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Reads the queue again, selecting the cheques given (or keeping the selection).
    // When it cannot be read, says so unless `tell` is false; false then.
    bool refresh(const QList<qint64> &select, bool tell = true);
    void refresh();
    void showState();
    QList<int> chosenRows() const;
    QList<qint64> idsOf(const QList<int> &rows) const;
    void move(int by);
    void print(const QList<qint64> &ids);
    void editCell(int row, int column);

    registre::Register m_register;
    registre::QueueModel *m_model;
    std::function<registre::PrintSettings()> m_settings;
    bool m_writable = true;
};

// Opens "Chèques à imprimer" over the main window.
void showQueue(QWidget *parent, std::function<registre::PrintSettings()> settings);
