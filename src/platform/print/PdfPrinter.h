#pragma once
// The built-in printer "Fichier PDF": each document becomes one PDF file in a
// folder (the user's documents, sub-folder Tolvo), without any dialog. It lets a
// machine without a printer run the whole job.

#include "platform/print/PaintedPrinter.h"

#include <QDateTime>
#include <functional>

namespace platform {

class PdfPrinter : public PaintedPrinter {
public:
    // An empty folder means the user's documents folder + "/Tolvo".
    explicit PdfPrinter(const QString &folder = QString());

    static QString defaultFolder();
    QString folder() const { return m_folder; }
    // The clock that names the files (tests fix it).
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }
    // The file the last document went to.
    QString lastFile() const { return m_lastFile; }

    QString DeviceName() const override;
    QString Port() const override;
    qint16 PaperBin() const override;
    void setPaperBin(qint16 code) override;
    int LandscapeRotation() const override;
    QList<PaperSource> PaperSources() const override;

protected:
    Sheet sheet(qint16 orientation) const override;
    void deliver(const QByteArray &pdf) override;

private:
    QString m_folder;
    QString m_lastFile;
    std::function<QDateTime()> m_clock;
};

// The file the last document of `printer` was written to when it writes files
// ("Fichier PDF"); empty for any other printer.
QString writtenFile(const Printer &printer);

} // namespace platform
