// Spooler seam and the driver-name lookup shared by the library wrapper,
// the driver key path and the library recovery.
#include "comm/spooler.h"

#include <vector>

#include "common/win_handles.h"

namespace krx {

void PrinterTraits::close(HANDLE h) {
    Spooler().closePrinter(h);
}

const SpoolerApi& DefaultSpooler() {
    static const SpoolerApi api = {OpenPrinterA, GetPrinterA, GetJobA, ClosePrinter};
    return api;
}

SpoolerApi& Spooler() {
    static SpoolerApi api = DefaultSpooler();
    return api;
}

std::string ReadPrinterDriverName(const char* printerName) {
    if (printerName == nullptr || *printerName == '\0') {
        return {};
    }
    // OpenPrinterA takes a non-const name; hand it a copy.
    std::string name(printerName);
    unique_printer printer;
    if (!Spooler().openPrinter(&name[0], printer.put(), nullptr) || !printer) {
        return {};
    }
    DWORD needed = 0;
    Spooler().getPrinter(printer.get(), 2, nullptr, 0, &needed);
    if (needed < sizeof(PRINTER_INFO_2A)) {
        return {};
    }
    std::vector<BYTE> buffer(needed);
    if (!Spooler().getPrinter(printer.get(), 2, buffer.data(), needed, &needed)) {
        return {};
    }
    const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    return info->pDriverName != nullptr ? std::string(info->pDriverName) : std::string();
}

} // namespace krx
