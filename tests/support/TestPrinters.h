#pragma once
// Printer collections for tests that print for real.

#include "platform/print/PdfPrinter.h"

namespace testsupport {

// Only the PDF printer, writing into the test's folder.
class PdfOnly : public platform::Printers {
public:
    explicit PdfOnly(const QString &folder) : printer(folder) {}
    platform::PdfPrinter printer;
    int count() const override { return 1; }
    platform::Printer &at(int index) override
    {
        return index ? throw platform::PrinterError("pas d'imprimante") : printer;
    }
    platform::Printer &current() override { return printer; }
    void setCurrent(int index) override { at(index); }
};

} // namespace testsupport
