#include "platform/SystemPrinters.h"

namespace platform {

namespace {
// Until the CUPS and PDF backends are in place the program sees no printer.
class NoPrinters : public Printers {
public:
    int count() const override { return 0; }
    Printer &at(int) override { throw PrinterError(QStringLiteral("Pas d'imprimante disponible")); }
    Printer &current() override { throw PrinterError(QStringLiteral("Pas d'imprimante disponible")); }
    void setCurrent(int) override { throw PrinterError(QStringLiteral("Pas d'imprimante disponible")); }
};
} // namespace

std::unique_ptr<Printers> makeSystemPrinters() { return std::make_unique<NoPrinters>(); }

} // namespace platform
