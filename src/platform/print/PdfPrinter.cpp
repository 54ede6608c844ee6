#include "platform/print/PdfPrinter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace platform {

namespace {
constexpr qint16 automaticBin = 7;
}

PdfPrinter::PdfPrinter(const QString &folder)
    : m_folder(folder.isEmpty() ? defaultFolder() : folder), m_clock(&QDateTime::currentDateTime)
{
}

QString PdfPrinter::defaultFolder()
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    return documents + QStringLiteral("/Tolvo");
}

QString PdfPrinter::DeviceName() const
{
    return QStringLiteral("Fichier PDF");
}

QString PdfPrinter::Port() const
{
    return QUrl::fromLocalFile(m_folder).toString();
}

qint16 PdfPrinter::PaperBin() const
{
    return automaticBin;
}

void PdfPrinter::setPaperBin(qint16 code)
{
    if (code != automaticBin)
        throw PrinterError(
            QStringLiteral("Bac d'alimentation inconnu de l'imprimante Fichier PDF : %1").arg(code));
}

int PdfPrinter::LandscapeRotation() const
{
    return 90;
}

QList<PaperSource> PdfPrinter::PaperSources() const
{
    return {{automaticBin, QStringLiteral("Automatique")}};
}

PaintedPrinter::Sheet PdfPrinter::sheet(qint16) const
{
    // A file has no hardware margins, and a landscape page stays a landscape page.
    return Sheet();
}

void PdfPrinter::deliver(const QByteArray &pdf)
{
    if (!QDir().mkpath(m_folder))
        throw PrinterError(
            QStringLiteral("Impossible de créer le dossier %1").arg(QDir::toNativeSeparators(m_folder)));

    const QString stem =
        m_folder + QStringLiteral("/cheque-") + m_clock().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    // Never overwrite an earlier cheque: the first free name wins, claimed atomically.
    for (int n = 1;; ++n) {
        const QString path =
            stem + (n == 1 ? QString() : QStringLiteral("-%1").arg(n)) + QStringLiteral(".pdf");
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            const bool written = file.write(pdf) == pdf.size() && file.flush();
            file.close();
            if (!written || file.error() != QFileDevice::NoError) {
                file.remove();
                throw PrinterError(
                    QStringLiteral("Impossible d'écrire le fichier %1 : le disque est peut-être plein")
                        .arg(QDir::toNativeSeparators(path)));
            }
            m_lastFile = path;
            return;
        }
        if (!file.exists())
            throw PrinterError(QStringLiteral("Impossible de créer le fichier %1 dans le dossier %2")
                                   .arg(QFileInfo(path).fileName(), QDir::toNativeSeparators(m_folder)));
    }
}

QString writtenFile(const Printer &printer)
{
    const auto *pdf = dynamic_cast<const PdfPrinter *>(&printer);
    return pdf ? pdf->lastFile() : QString();
}

} // namespace platform
