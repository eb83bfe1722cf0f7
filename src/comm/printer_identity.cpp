// Device ID read, driver key path, library error flags.
#include "comm/printer_identity.h"

#include <memory>
#include <new>

#include "comm/device_id.h"
#include "comm/spooler.h"
#include "base/registry/registry_key.h"
#include "base/registry/registry_paths.h"
#include "base/trace/debug_trace.h"

namespace krx {

namespace {
using regkey::kCommonKey;
using regkey::kDriverKeyPrefix;
} // namespace

std::string GetModelID(const CBxApi& bx, const char* printerName, const char* portName) {
    const bool byPrinter = printerName != nullptr && *printerName != '\0';
    const int mode = byPrinter ? bx::kModePrinterName : bx::kModePortName;
    const char* name = byPrinter ? printerName : (portName != nullptr ? portName : "");

    DebugTrace("BXGetDeviceID()\n");
    int size = 0;
    int rc = bx.BXGetDeviceID(mode, name, nullptr, &size);
    DebugTrace("BXGetDeviceID() return=%d\n", rc);
    if (rc != bx::kBufferTooSmall || size <= 0 || size > kMaxDeviceIdSize) {
        return {};
    }
    // One byte more, zeroed, so that the text always ends inside the buffer.
    const size_t allocated = static_cast<size_t>(size) + 1;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[allocated]());
    if (!buffer) {
        return {};
    }
    DebugTrace("BXGetDeviceID()\n");
    int length = size;
    rc = bx.BXGetDeviceID(mode, name, buffer.get(), &length);
    DebugTrace("BXGetDeviceID() return=%d\n", rc);
    if (rc < 0) {
        return {};
    }
    std::string model = ExtractModelId(buffer.get(), static_cast<size_t>(size));
    DebugTrace("ModelID=\"%s\"\n", model.c_str());
    return model;
}

std::string GetDriverKeyPath(const char* printerName) {
    std::string driver = ReadPrinterDriverName(printerName);
    return driver.empty() ? std::string() : kDriverKeyPrefix + driver;
}

LibraryErrorFlags ReadLibraryErrorFlags() {
    LibraryErrorFlags flags;
    RegistryKey key(HKEY_LOCAL_MACHINE, kCommonKey);
    if (!key.IsOpen()) {
        return flags;
    }
    flags.keyOpen = true;
    flags.replaced = key.ReadNumber("RST_FREPLACE", 0) == 1;
    flags.inUse = key.ReadNumber("ERR_BXAPIINUSE", 0) == 1;
    flags.otherError = key.ReadNumber("ERR_OTHERS", 0) == 1;
    return flags;
}

} // namespace krx
