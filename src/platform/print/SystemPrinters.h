#pragma once
#include "platform/print/Printer.h"

namespace platform {
// The CUPS queues in the order CUPS lists them, then the built-in "Fichier PDF".
std::unique_ptr<Printers> makeSystemPrinters();
} // namespace platform
