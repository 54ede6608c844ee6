#include "register/Recording.h"

#include "dialogs/frmMsgBox.h"
#include "platform/forms/MessageBox.h"
#include "register/RegisterList.h"
#include "register/frmCarnets.h"
#include "settings/CINIFile.h"
#include "settings/Settings.h"

#include "platform/Application.h"
#include "platform/UserName.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QSaveFile>
#include <QSet>

namespace registre {

namespace {

// Cheques printed whose record failed wait in a small journal beside Tolvo.ini,
// oldest first, each with the register it belongs to, until they are written: a
// program closed or stopped meanwhile loses none. The journal is replaced whole at
// each change, under a lock shared with any other copy of the program.
struct Waiting {
    QString where; // Register::key()
    Entry entry;
};

QString journalPath()
{
    return platform::settingsFile(QStringLiteral("Registre-en-attente.json"));
}

// What could not be kept in the journal (a read-only folder, a full disk) is kept
// here until the end of the run.
QList<Waiting> &unsaved()
{
    static QList<Waiting> entries;
    return entries;
}

QJsonObject toJson(const Waiting &w)
{
    const Entry &e = w.entry;
    return {{QStringLiteral("registre"), w.where},
            {QStringLiteral("imprimé"), e.printedAt.toString(Qt::ISODateWithMs)},
            {QStringLiteral("date"), e.chequeDate},
            {QStringLiteral("bénéficiaire"), e.beneficiary},
            {QStringLiteral("montant"), e.amount},
            {QStringLiteral("centimes"), QString::number(e.cents)},
            {QStringLiteral("imprimante"), e.printer},
            {QStringLiteral("bac"), int(e.paperBin)},
            {QStringLiteral("orientation"), int(e.orientation)},
            {QStringLiteral("pdf"), e.pdfFile},
            {QStringLiteral("carnet"), e.chequebook},
            {QStringLiteral("impression"), e.printId},
            {QStringLiteral("état"), e.status},
            {QStringLiteral("motif"), e.reason},
            {QStringLiteral("remplace"), QString::number(e.replaces)},
            {QStringLiteral("file"), QString::number(e.queued)},
            {QStringLiteral("feuille"), e.leaf}};
}

Waiting fromJson(const QJsonObject &o)
{
    Waiting w;
    Entry &e = w.entry;
    w.where = o.value(QStringLiteral("registre")).toString();
    e.printedAt = QDateTime::fromString(o.value(QStringLiteral("imprimé")).toString(), Qt::ISODateWithMs);
    e.chequeDate = o.value(QStringLiteral("date")).toString();
    e.beneficiary = o.value(QStringLiteral("bénéficiaire")).toString();
    e.amount = o.value(QStringLiteral("montant")).toString();
    e.cents = o.value(QStringLiteral("centimes")).toString().toLongLong();
    e.printer = o.value(QStringLiteral("imprimante")).toString();
    e.paperBin = qint16(o.value(QStringLiteral("bac")).toInt());
    e.orientation = qint16(o.value(QStringLiteral("orientation")).toInt());
    e.pdfFile = o.value(QStringLiteral("pdf")).toString();
    e.chequebook = o.value(QStringLiteral("carnet")).toString();
    e.printId = o.value(QStringLiteral("impression")).toString();
    e.status = o.value(QStringLiteral("état")).toString(status::Émis);
    e.reason = o.value(QStringLiteral("motif")).toString();
    e.replaces = o.value(QStringLiteral("remplace")).toString().toLongLong();
    // The queued cheque it was: written, it leaves the queue, and is not printed again.
    e.queued = o.value(QStringLiteral("file")).toString().toLongLong();
    e.leaf = o.value(QStringLiteral("feuille")).toString();
    return w;
}

// The journal, read and rewritten under its lock by `change`, which edits the list
// and says whether to write it back. False when the journal could not be written.
bool editJournal(const std::function<bool(QList<Waiting> &)> &change)
{
    QLockFile lock(journalPath() + QStringLiteral(".lock"));
    lock.setStaleLockTime(30000);
    const bool locked = lock.tryLock(10000);
    QList<Waiting> all;
    QFile file(journalPath());
    if (file.open(QIODevice::ReadOnly))
        for (const QJsonValue &v : QJsonDocument::fromJson(file.readAll()).array())
            all << fromJson(v.toObject());
    file.close();
    const qsizetype before = all.size();
    all << unsaved();
    unsaved().clear();
    if (!change(all) && all.size() == before)
        return true;
    if (all.isEmpty()) {
        if (!QFile::exists(journalPath()) || QFile::remove(journalPath()))
            return true;
    } else if (locked) {
        QJsonArray array;
        for (const Waiting &w : all)
            array << toJson(w);
        QSaveFile out(journalPath());
        if (out.open(QIODevice::WriteOnly) && out.write(QJsonDocument(array).toJson()) >= 0 && out.commit())
            return true;
    }
    unsaved() = all;
    return false;
}

// Says why nothing was printed, offering "Carnets de chèques" where it is mended.
void offerChequebooks(QWidget *parent, const QString &message)
{
    frmMsgBox box(parent);
    box.setMessage(message);
    box.setPictureType(2);
    box.setHelpButton(1010);
    box.setFormType(2);
    box.setButtonCaption(1, QStringLiteral("Carnets..."));
    platform::execDialog(box);
    if (box.Tag == QLatin1String("1"))
        showChequebooks(parent);
}

// The chequebook cannot give the next leaf: say so, offer the chequebooks.
void refuseChequebook(QWidget *parent, const Chequebook &book)
{
    offerChequebooks(
        parent,
        (book.closed() ? QStringLiteral("Le carnet « %1 » est clos.").arg(book.name)
                       : QStringLiteral("Le carnet « %1 » est épuisé : son dernier chèque, le n° %2, a déjà "
                                        "été imprimé.")
                             .arg(book.name, book.numberText(book.last))) +
            QStringLiteral(
                "\r\nRien n'a été imprimé. Choisissez un autre carnet dans « Carnets de chèques »."));
}

QString describe(const Entry &e)
{
    return QStringLiteral("%1%2, %3 €, imprimé le %4")
        .arg(e.leaf.isEmpty() ? QString() : QStringLiteral("n° %1 : ").arg(e.leaf),
             e.beneficiary.isEmpty() ? QStringLiteral("sans bénéficiaire") : e.beneficiary, e.amount,
             e.printedAt.toString(QStringLiteral("dd/MM/yyyy à HH:mm")));
}

// The chequebook is in another workstation's printer: say which, offer the chequebooks.
void refuseClaimed(QWidget *parent, const Chequebook &book)
{
    offerChequebooks(parent,
                     book.claimText() +
                         QStringLiteral("\r\nRien n'a été imprimé. Pour imprimer sur ce carnet depuis "
                                        "ce poste, prenez-le dans « Carnets de chèques »."));
}

// Writes the cheques waiting for this register, oldest first, telling the user of
// each; false (told why) when one still cannot be written.
bool writeWaiting(QWidget *parent, Register &reg)
{
    QList<std::pair<Entry, QString>> written; // with the number it took
    QString failure;
    Entry stuck;
    editJournal([&](QList<Waiting> &all) {
        for (auto w = all.begin(); w != all.end();) {
            if (w->where != reg.key()) {
                ++w;
                continue;
            }
            Recorded recorded;
            if (!reg.add(w->entry, &recorded)) {
                failure = reg.error();
                stuck = w->entry;
                break;
            }
            written.append({w->entry, recorded.number < 0 ? QString() : recorded.numberText});
            written.last().first.leaf.clear();
            w = all.erase(w);
        }
        return !written.isEmpty();
    });
    for (const auto &[e, number] : written)
        platform::messageBox(
            parent,
            QStringLiteral("Le chèque %1 est maintenant inscrit au registre%2.")
                .arg(describe(e), number.isEmpty() ? QString() : QStringLiteral(", n° ") + number),
            platform::MsgIcon::Information);
    if (failure.isEmpty())
        return true;
    platform::messageBox(parent,
                         QStringLiteral("Un chèque imprimé plus tôt (%1) n'est toujours pas inscrit au "
                                        "registre : rien n'a été imprimé.\r\n%2\r\n%3")
                             .arg(describe(stuck), failure, reg.where()),
                         platform::MsgIcon::Exclamation);
    return false;
}

} // namespace

QString chequebookInUse()
{
    CINIFile ini;
    ini.setFile(settings::filePath());
    ini.setSection(settings::section::Registre);
    return ini.Value(settings::key::Carnet);
}

void setChequebookInUse(const QString &uid)
{
    CINIFile ini;
    ini.setFile(settings::filePath());
    ini.setSection(settings::section::Registre);
    ini.setValue(settings::key::Carnet, uid);
}

bool readyToRecord(QWidget *parent, Register &reg, std::optional<Chequebook> &chequebook)
{
    chequebook.reset();
    const auto cannotRecord = [&] {
        platform::messageBox(parent,
                             QStringLiteral("Le chèque ne peut pas être inscrit au registre : rien n'a été "
                                            "imprimé.\r\n%1\r\n%2")
                                 .arg(reg.error(), reg.where()),
                             platform::MsgIcon::Exclamation);
        return false;
    };
    const bool opened = reg.open();
    tellSetAside(parent, reg);
    if (!opened)
        return cannotRecord();
    if (!writeWaiting(parent, reg))
        return false;
    const QString uid = chequebookInUse();
    if (uid.isEmpty())
        return true;
    chequebook = reg.chequebook(uid);
    if (!chequebook && !reg.error().isEmpty()) {
        platform::messageBox(parent, reg.error(), platform::MsgIcon::Exclamation);
        return false;
    }
    // A chequebook this register does not know (a register started afresh): no number.
    if (!chequebook)
        return true;
    if (chequebook->closed() || chequebook->left() <= 0) {
        refuseChequebook(parent, *chequebook);
        return false;
    }
    // On a shared register the chequebook is this workstation's, or taken now if free.
    Chequebook now;
    switch (reg.claimChequebook(uid, false, &now)) {
    case Register::Claim::Taken: break;
    case Register::Claim::HeldElsewhere: refuseClaimed(parent, now); return false;
    case Register::Claim::Failed: return cannotRecord();
    }
    return true;
}

bool recordPrinted(QWidget *parent, Register &reg, const Entry &entry, Recorded *recorded)
{
    const QString asideBefore = reg.setAsideAs();
    const bool written = reg.add(entry, recorded);
    if (reg.setAsideAs() != asideBefore)
        tellSetAside(parent, reg);
    if (!written) {
        const bool kept = editJournal([&](QList<Waiting> &all) {
            all.append({reg.key(), entry});
            return true;
        });
        platform::messageBox(
            parent,
            QStringLiteral("Le chèque %1a été imprimé mais n'a pas pu être inscrit au registre. "
                           "Il le sera avant le prochain chèque%2.\r\n%3\r\n%4")
                .arg(entry.leaf.isEmpty() ? QString() : QStringLiteral("n° %1 ").arg(entry.leaf),
                     kept ? QString()
                          : QStringLiteral(
                                " ; ne fermez pas Tolvo d'ici là : le fichier %1 n'a pas pu être écrit")
                                .arg(QDir::toNativeSeparators(journalPath())),
                     reg.error(), reg.where()),
            platform::MsgIcon::Exclamation);
        return false;
    }
    if (recorded && recorded->noLeaf)
        platform::messageBox(parent,
                             QStringLiteral("Le chèque a été imprimé alors que le carnet n'avait plus de "
                                            "numéro : il est inscrit au registre sans numéro."),
                             platform::MsgIcon::Exclamation);
    return true;
}

void tellLeavesLeft(QWidget *parent, const QString &chequebook, const Recorded &recorded)
{
    static QSet<QString> told;
    const QString text = leavesLeftText(recorded.left);
    if (recorded.number < 0 || text.isEmpty() || told.contains(chequebook))
        return;
    told.insert(chequebook);
    platform::messageBox(parent, text, platform::MsgIcon::Information);
}

QString chequebookLine()
{
    const QString none = QStringLiteral("Aucun carnet de chèques en usage : les chèques sont inscrits sans "
                                        "numéro.");
    const QString uid = chequebookInUse();
    if (uid.isEmpty())
        return none;
    Register reg;
    if (!reg.open(Register::Use::Read))
        return QStringLiteral("Registre des chèques indisponible : %1").arg(reg.error());
    const std::optional<Chequebook> book = reg.chequebook(uid);
    if (!book)
        return none;
    if (reg.onServer() && !book->claimedBy.isEmpty() && book->claimedBy != platform::workstationName())
        return QStringLiteral("Le carnet « %1 » est utilisé sur le poste %2 : choisissez-en un autre.")
            .arg(book->name, book->claimedBy);
    if (book->closed())
        return QStringLiteral("Le carnet « %1 » est clos : choisissez-en un autre.").arg(book->name);
    if (book->left() <= 0)
        return QStringLiteral("Le carnet « %1 » est épuisé : choisissez-en un autre.").arg(book->name);
    QString line = QStringLiteral("Chèque n° %1 - %2").arg(book->numberText(book->next), book->name);
    if (book->left() == 1)
        line += QStringLiteral(" (le dernier)");
    else if (book->left() <= fewLeaves)
        line += QStringLiteral(" (%1 restants)").arg(book->left());
    return line;
}

} // namespace registre
