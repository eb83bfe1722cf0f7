// The name the printer's driver gives a paper size: the paper lists of
// each paper source, selected in a copy of the printer's default settings.
#pragma once

#include <string>

namespace krx {

// Empty when no source of the printer lists the size.
std::string PrinterPaperName(const std::string& printerName, const std::string& portName,
                             unsigned paperSize);

} // namespace krx
