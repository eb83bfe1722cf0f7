// Paper names from the printer's own settings.
#include "ui/status_window/printer_paper.h"

#include <windows.h>

#include <vector>

#include "comm/spooler.h"

namespace krx {

namespace {

constexpr int kPaperNameSize = 64; // one entry of the driver's paper name list

} // namespace

std::string PrinterPaperName(const std::string& printerName, const std::string& portName,
                             unsigned paperSize) {
    const char* device = printerName.c_str();
    const char* port = portName.c_str();
    const int binCount = DeviceCapabilitiesA(device, port, DC_BINS, nullptr, nullptr);
    if (binCount <= 0) {
        return std::string();
    }
    std::vector<WORD> bins(static_cast<size_t>(binCount));
    if (DeviceCapabilitiesA(device, port, DC_BINS, reinterpret_cast<char*>(bins.data()), nullptr) <=
        0) {
        return std::string();
    }
    // A copy of the printer's default settings, to select each source in.
    HANDLE printer = nullptr;
    if (!Spooler().openPrinter(const_cast<char*>(device), &printer, nullptr) || !printer) {
        return std::string();
    }
    const LONG size =
        DocumentPropertiesA(nullptr, printer, const_cast<char*>(device), nullptr, nullptr, 0);
    std::vector<unsigned char> settings;
    if (size >= static_cast<LONG>(sizeof(DEVMODEA))) {
        settings.resize(static_cast<size_t>(size));
        if (DocumentPropertiesA(nullptr, printer, const_cast<char*>(device),
                                reinterpret_cast<DEVMODEA*>(settings.data()), nullptr,
                                DM_OUT_BUFFER) != IDOK) {
            settings.clear();
        }
    }
    Spooler().closePrinter(printer);
    if (settings.empty()) {
        return std::string();
    }
    DEVMODEA* mode = reinterpret_cast<DEVMODEA*>(settings.data());
    for (WORD bin : bins) {
        mode->dmFields |= DM_DEFAULTSOURCE;
        mode->dmDefaultSource = static_cast<short>(bin);
        const int paperCount = DeviceCapabilitiesA(device, port, DC_PAPERS, nullptr, mode);
        const int nameCount = DeviceCapabilitiesA(device, port, DC_PAPERNAMES, nullptr, mode);
        if (paperCount <= 0 || nameCount <= 0) {
            continue;
        }
        std::vector<WORD> papers(static_cast<size_t>(paperCount));
        std::vector<char> names(static_cast<size_t>(nameCount) * kPaperNameSize + 1, 0);
        if (DeviceCapabilitiesA(device, port, DC_PAPERS, reinterpret_cast<char*>(papers.data()),
                                mode) <= 0 ||
            DeviceCapabilitiesA(device, port, DC_PAPERNAMES, names.data(), mode) <= 0) {
            continue;
        }
        const int count = paperCount < nameCount ? paperCount : nameCount;
        for (int i = 0; i < count; ++i) {
            if (papers[static_cast<size_t>(i)] == paperSize) {
                // A name that fills its 64 characters has no terminator.
                const char* name = names.data() + static_cast<size_t>(i) * kPaperNameSize;
                size_t length = 0;
                while (length < static_cast<size_t>(kPaperNameSize) && name[length] != '\0') {
                    ++length;
                }
                return std::string(name, length);
            }
        }
    }
    return std::string();
}

} // namespace krx
