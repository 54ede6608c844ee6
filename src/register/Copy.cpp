#include "register/Copy.h"

#include "register/Register.h"

#include <QCryptographicHash>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace registre {

namespace {

QSqlQuery prepared(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(sql);
    return q;
}

bool run(QSqlQuery &q, const QVariantList &values)
{
    for (const QVariant &v : values)
        q.addBindValue(v);
    return q.exec();
}

// Cheques recorded before print ids existed get one made of what they are, the same
// at every copy.
QString printIdOf(const QSqlQuery &cheque)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (int column = 0; column < 12; ++column)
        hash.addData(cheque.value(column).toString().toUtf8() + '\x1f');
    return QStringLiteral("copie-") + QString::fromLatin1(hash.result().toHex());
}

QString plural(int n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n > 1 ? many : one));
}

} // namespace

bool copyRegister(Register &from, Register &to, CopyReport *report, QString *error)
{
    const QSqlDatabase source = from.database();
    QSqlDatabase target = to.database();
    CopyReport done;
    const auto failed = [&](const QString &why) {
        target.rollback();
        *error = why;
        return false;
    };
    const auto broken = [&](const QSqlQuery &q) {
        return failed(QStringLiteral("Erreur de la base de données : %1")
                          .arg(q.lastError().databaseText().section(QLatin1Char('\n'), 0, 0).trimmed()));
    };
    if (!target.transaction()) {
        *error = to.onServer() ? QStringLiteral("La connexion au serveur du registre a été perdue.")
                               : target.lastError().text();
        return false;
    }

    // Chequebooks, by their uid; the workstation that will print on one claims it there.
    QHash<qint64, qint64> books;                  // this computer's id -> the server's
    QHash<qint64, std::pair<QString, int>> names; // name and width of the numbers
    QSqlQuery in =
        prepared(source, QStringLiteral("SELECT id, uid, name, account, first_number, last_number,"
                                        " next_number, digits, closed_at FROM chequebooks ORDER BY id"));
    QSqlQuery add =
        prepared(target, QStringLiteral("INSERT INTO chequebooks (uid, name, account, first_number,"
                                        " last_number, next_number, digits, closed_at, claimed_by,"
                                        " claimed_at) VALUES (?, ?, ?, ?, ?, ?, ?, ?, '', '')"
                                        " ON CONFLICT (uid) DO NOTHING"));
    QSqlQuery find = prepared(target, QStringLiteral("SELECT id FROM chequebooks WHERE uid = ?"));
    if (!in.exec())
        return broken(in);
    while (in.next()) {
        QVariantList values;
        for (int column = 1; column <= 8; ++column)
            values << in.value(column);
        if (!run(add, values))
            return broken(add);
        (add.numRowsAffected() == 1 ? done.chequebooks : done.chequebooksThere)++;
        if (!run(find, {in.value(1)}) || !find.next())
            return broken(find);
        books.insert(in.value(0).toLongLong(), find.value(0).toLongLong());
        names.insert(in.value(0).toLongLong(), {in.value(2).toString(), in.value(7).toInt()});
    }
    if (in.lastError().isValid())
        return broken(in);

    // The cheques in the order they were printed, each with its history.
    QSqlQuery cheques =
        prepared(source, QStringLiteral("SELECT printed_at, cheque_date, cheque_day, beneficiary,"
                                        " beneficiary_key, amount, cents, printer, paper_bin,"
                                        " orientation, pdf_file, id, chequebook_id, number, status,"
                                        " status_day, reason, print_id FROM cheques ORDER BY id"));
    QSqlQuery history = prepared(source, QStringLiteral("SELECT changed_at, who, status, status_day, reason"
                                                        " FROM history WHERE cheque_id = ? ORDER BY id"));
    QSqlQuery insert =
        prepared(target, QStringLiteral("INSERT INTO cheques (printed_at, cheque_date, cheque_day,"
                                        " beneficiary, beneficiary_key, amount, cents, printer,"
                                        " paper_bin, orientation, pdf_file, chequebook_id, number,"
                                        " status, status_day, reason, print_id) VALUES (?, ?, ?, ?,"
                                        " ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"
                                        " ON CONFLICT (print_id) DO NOTHING RETURNING id"));
    QSqlQuery line =
        prepared(target, QStringLiteral("INSERT INTO history (cheque_id, changed_at, who, status,"
                                        " status_day, reason) VALUES (?, ?, ?, ?, ?, ?)"));
    if (!cheques.exec())
        return broken(cheques);
    while (cheques.next()) {
        QVariantList values;
        for (int column = 0; column <= 10; ++column)
            values << cheques.value(column);
        const QVariant book = cheques.value(12);
        values << (book.isNull() ? QVariant(QMetaType::fromType<qint64>())
                                 : QVariant(books.value(book.toLongLong())));
        for (int column = 13; column <= 16; ++column)
            values << cheques.value(column);
        values << (cheques.value(17).isNull() ? printIdOf(cheques) : cheques.value(17).toString());
        if (!run(insert, values)) {
            if (insert.lastError().nativeErrorCode() == QLatin1String("23505"))
                return failed(QStringLiteral("Le chèque n° %1 du carnet « %2 » de cet ordinateur porte le "
                                             "numéro d'un autre chèque du même carnet sur le serveur : rien "
                                             "n'a été copié.")
                                  .arg(numberText(cheques.value(13).toLongLong(),
                                                  names.value(book.toLongLong()).second),
                                       names.value(book.toLongLong()).first));
            return broken(insert);
        }
        if (!insert.next()) {
            ++done.chequesThere;
            continue;
        }
        ++done.cheques;
        const qint64 id = insert.value(0).toLongLong();
        if (!run(history, {cheques.value(11)}))
            return broken(history);
        while (history.next()) {
            if (!run(line, {id, history.value(0), history.value(1), history.value(2), history.value(3),
                            history.value(4)}))
                return broken(line);
            ++done.history;
        }
    }
    if (cheques.lastError().isValid())
        return broken(cheques);

    // The cheques waiting to be printed, after those of the server's queue, in their order.
    QSqlQuery last = prepared(target, QStringLiteral("SELECT COALESCE(MAX(position), 0) FROM queue"));
    if (!last.exec() || !last.next())
        return broken(last);
    const qint64 after = last.value(0).toLongLong();
    QSqlQuery queue =
        prepared(source, QStringLiteral("SELECT uid, position, beneficiary, amount, cheque_date,"
                                        " note FROM queue ORDER BY position, id"));
    QSqlQuery enqueue =
        prepared(target, QStringLiteral("INSERT INTO queue (uid, position, beneficiary, amount, cheque_date,"
                                        " note) VALUES (?, ?, ?, ?, ?, ?) ON CONFLICT (uid) DO NOTHING"));
    if (!queue.exec())
        return broken(queue);
    while (queue.next()) {
        if (!run(enqueue, {queue.value(0), after + queue.value(1).toLongLong(), queue.value(2),
                           queue.value(3), queue.value(4), queue.value(5)}))
            return broken(enqueue);
        (enqueue.numRowsAffected() == 1 ? done.queued : done.queuedThere)++;
    }
    if (queue.lastError().isValid())
        return broken(queue);

    // A number copied is never given again by the server.
    QSqlQuery next =
        prepared(target, QStringLiteral("UPDATE chequebooks SET next_number = LEAST(last_number + 1,"
                                        " GREATEST(next_number, (SELECT MAX(number) + 1 FROM cheques"
                                        " WHERE chequebook_id = chequebooks.id))) WHERE id = ?"));
    for (const qint64 id : books)
        if (!run(next, {id}))
            return broken(next);
    if (!target.commit())
        return failed(
            QStringLiteral("La copie n'a pas pu être enregistrée sur le serveur : rien n'a été copié."));
    *report = done;
    return true;
}

QString copyText(const CopyReport &r)
{
    if (r.cheques == 0 && r.chequebooks == 0 && r.queued == 0)
        return QStringLiteral("Rien à copier : %1 et %2 de cet ordinateur sont déjà sur le serveur%3.")
            .arg(plural(r.chequesThere, "chèque", "chèques"), plural(r.chequebooksThere, "carnet", "carnets"),
                 r.queuedThere == 0 ? QString()
                                    : QStringLiteral(", ainsi que %1 à imprimer")
                                          .arg(plural(r.queuedThere, "chèque", "chèques")));
    QString text =
        QStringLiteral("%1, %2 et %3 copiés sur le serveur.")
            .arg(plural(r.cheques, "chèque", "chèques"), plural(r.chequebooks, "carnet", "carnets"),
                 plural(r.history, "ligne d'historique", "lignes d'historique"));
    if (r.queued > 0)
        text += QStringLiteral(" %1 à la file du serveur.")
                    .arg(plural(r.queued, "chèque à imprimer ajouté", "chèques à imprimer ajoutés"));
    if (r.chequesThere > 0 || r.chequebooksThere > 0)
        text += QStringLiteral(" Déjà sur le serveur : %1 et %2.")
                    .arg(plural(r.chequesThere, "chèque", "chèques"),
                         plural(r.chequebooksThere, "carnet", "carnets"));
    return text + QStringLiteral(" Le registre de cet ordinateur est gardé tel quel.");
}

} // namespace registre
