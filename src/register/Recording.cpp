#include "register/Recording.h"

#include "dialogs/frmMsgBox.h"
#include "platform/forms/MessageBox.h"
#include "register/RegisterList.h"
#include "register/frmCarnets.h"
#include "settings/CINIFile.h"
#include "settings/Settings.h"

#include <QDir>
#include <QSet>

namespace registre {

namespace {

// Cheques printed whose record failed, oldest first, until they are written.
QList<Entry> &unrecorded()
{
    static QList<Entry> entries;
    return entries;
}

// The chequebook cannot give the next leaf: say so, offer the chequebooks.
void refuseChequebook(QWidget *parent, const Chequebook &book)
{
    frmMsgBox box(parent);
    box.setMessage(
        (book.closed() ? QStringLiteral("Le carnet « %1 » est clos.").arg(book.name)
                       : QStringLiteral("Le carnet « %1 » est épuisé : son dernier chèque, le n° %2, a déjà "
                                        "été imprimé.")
                             .arg(book.name, book.numberText(book.last))) +
        QStringLiteral("\r\nRien n'a été imprimé. Choisissez un autre carnet dans « Carnets de chèques »."));
    box.setPictureType(2);
    box.setHelpButton(1010);
    box.setFormType(2);
    box.setButtonCaption(1, QStringLiteral("Carnets..."));
    platform::execDialog(box);
    if (box.Tag == QLatin1String("1"))
        showChequebooks(parent);
}

QString describe(const Entry &e)
{
    return QStringLiteral("%1, %2 €, imprimé le %3")
        .arg(e.beneficiary.isEmpty() ? QStringLiteral("sans bénéficiaire") : e.beneficiary, e.amount,
             e.printedAt.toString(QStringLiteral("dd/MM/yyyy à HH:mm")));
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
    const bool opened = reg.open();
    tellSetAside(parent, reg);
    if (!opened) {
        platform::messageBox(parent,
                             QStringLiteral("Le chèque ne peut pas être inscrit au registre : rien n'a été "
                                            "imprimé.\r\n%1\r\n%2")
                                 .arg(reg.error(), QDir::toNativeSeparators(reg.path())),
                             platform::MsgIcon::Exclamation);
        return false;
    }
    QList<Entry> &waiting = unrecorded();
    while (!waiting.isEmpty()) {
        Recorded recorded;
        if (!reg.add(waiting.first(), &recorded)) {
            platform::messageBox(
                parent,
                QStringLiteral("Un chèque imprimé plus tôt (%1) n'est toujours pas inscrit au "
                               "registre : rien n'a été imprimé.\r\n%2\r\n%3")
                    .arg(describe(waiting.first()), reg.error(), QDir::toNativeSeparators(reg.path())),
                platform::MsgIcon::Exclamation);
            return false;
        }
        platform::messageBox(
            parent,
            QStringLiteral("Le chèque %1 est maintenant inscrit au registre%2.")
                .arg(describe(waiting.first()),
                     recorded.number < 0 ? QString() : QStringLiteral(", n° ") + recorded.numberText),
            platform::MsgIcon::Information);
        waiting.removeFirst();
    }
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
    return true;
}

bool recordPrinted(QWidget *parent, Register &reg, const Entry &entry, Recorded *recorded)
{
    const QString asideBefore = reg.setAsideAs();
    const bool written = reg.add(entry, recorded);
    if (reg.setAsideAs() != asideBefore)
        tellSetAside(parent, reg);
    if (!written) {
        unrecorded().append(entry);
        platform::messageBox(
            parent,
            QStringLiteral("Le chèque a été imprimé mais n'a pas pu être inscrit au registre. "
                           "Il le sera avant le prochain chèque.\r\n%1\r\n%2")
                .arg(reg.error(), QDir::toNativeSeparators(reg.path())),
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
