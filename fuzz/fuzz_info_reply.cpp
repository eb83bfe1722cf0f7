// Fuzz target: the information reply parsers (printer information and the
// "IR:" count) on any bytes.
#include <cstddef>
#include <cstdint>

#include "status/info_reply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    krx::PrinterInfoRecord record;
    krx::ParsePrinterInfoReply(data, size, &record);
    uint16_t value = 0xFFFF;
    krx::ParseIRReply(data, size, &value);
    return 0;
}
