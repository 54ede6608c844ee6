#include "platform/print/Printer.h"

#include "platform/print/SystemPrinters.h"

namespace platform {

namespace {
std::unique_ptr<Printers> &installed()
{
    static std::unique_ptr<Printers> printers;
    return printers;
}
} // namespace

Printers &printers()
{
    auto &p = installed();
    if (!p)
        p = makeSystemPrinters();
    return *p;
}

void setPrinters(std::unique_ptr<Printers> replacement) { installed() = std::move(replacement); }

} // namespace platform
