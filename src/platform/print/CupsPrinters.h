#pragma once
// Printers that are CUPS queues. The queue's PPD gives its paper sources (the
// InputSlot choices), its hardware margins and the way it turns landscape pages;
// documents are sent as one-page PDF jobs.

#include "platform/print/PaintedPrinter.h"

#include <QStringList>
#include <optional>
#include <vector>

namespace platform {

// Paper-bin codes for InputSlot choice names, in the PPD's order: the usual names
// get the code of the matching bin, the others (and a second choice for a code
// already given) get 256, 257, ... in order.
QList<qint16> paperBinCodes(const QStringList &inputSlots);

// What the program needs of a queue's PPD.
struct QueueDescription {
    QStringList slotChoices;    // InputSlot choice keywords, PPD order
    QList<PaperSource> sources; // the same, with their codes and names
    QString defaultSlot;        // empty when the queue has no InputSlot
    int landscapeRotation = 90; // 270 for *LandscapeOrientation: Minus90
    // The driver's own options that fit pages to the paper, with their "off" choice.
    QList<std::pair<QString, QString>> noScaling;
    // Printable area of an A4 sheet in portrait, in millimetres from each edge.
    double left = 0, top = 0, right = 0, bottom = 0;
};

class CupsPrinter : public PaintedPrinter {
public:
    CupsPrinter(const QString &queue, const QString &deviceUri);

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
    // Asks the server afresh; hasPpd is false for a queue without PPD (raw queue).
    QueueDescription describe(bool *hasPpd = nullptr) const;

    QString m_queue;
    QString m_deviceUri;
    std::optional<qint16> m_paperBin; // as set; unset means the queue's default
};

// The queues of the CUPS server in use, in the order CUPS lists them, and the
// position of the default queue among them (-1 when there is none). No server
// gives no queue.
struct CupsQueues {
    std::vector<std::unique_ptr<CupsPrinter>> printers;
    int defaultIndex = -1;
};
CupsQueues cupsQueues();

} // namespace platform
