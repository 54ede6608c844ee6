#include "platform/print/SystemPrinters.h"

#include "platform/print/CupsPrinters.h"
#include "platform/print/PdfPrinter.h"

#include <future>
#include <vector>

namespace platform {

namespace {

// The queues asked for ahead of time by preparePrinters(), if it was called.
std::future<CupsQueues> &pendingQueues()
{
    static std::future<CupsQueues> queues;
    return queues;
}

class SystemPrinters : public Printers {
public:
    SystemPrinters()
    {
        CupsQueues queues = pendingQueues().valid() ? pendingQueues().get() : cupsQueues();
        for (auto &queue : queues.printers)
            m_list.push_back(std::move(queue));
        m_list.push_back(std::make_unique<PdfPrinter>());
        // Without a default queue the PDF printer, always there, is the default.
        m_current = queues.defaultIndex >= 0 ? queues.defaultIndex : int(m_list.size()) - 1;
    }

    int count() const override { return int(m_list.size()); }

    Printer &at(int index) override
    {
        if (index < 0 || index >= count())
            throw PrinterError(QStringLiteral("Pas d'imprimante numéro %1").arg(index));
        return *m_list[size_t(index)];
    }

    Printer &current() override { return at(m_current); }

    void setCurrent(int index) override
    {
        at(index);
        m_current = index;
    }

private:
    std::vector<std::unique_ptr<Printer>> m_list;
    int m_current = 0;
};

} // namespace

void preparePrinters()
{
    pendingQueues() = std::async(std::launch::async, cupsQueues);
}

std::unique_ptr<Printers> makeSystemPrinters()
{
    return std::make_unique<SystemPrinters>();
}

} // namespace platform
