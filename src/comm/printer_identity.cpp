// Device ID read, driver key path, library error flags, remote count text.
#include "comm/printer_identity.h"

#include <memory>
#include <new>

#include "comm/device_id.h"
#include "comm/spooler.h"
#include "common/resource_ids.h"
#include "entry/module/message_box.h"
#include "entry/registry/registry_key.h"
#include "entry/registry/registry_paths.h"
#include "entry/trace/debug_trace.h"

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
    if (rc != bx::kBufferTooSmall || size <= 0) {
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

int CheckLibraryErrorFlags(HWND owner) {
    RegistryKey key(HKEY_LOCAL_MACHINE, kCommonKey);
    if (!key.IsOpen()) {
        return 0;
    }
    const struct {
        const char* value;
        int textId;
    } flags[] = {
        {"RST_FREPLACE", IDS_LIBRARY_REPLACED},
        {"ERR_BXAPIINUSE", IDS_LIBRARY_IN_USE},
        {"ERR_OTHERS", IDS_LIBRARY_OTHER_ERROR},
    };
    int result = 1;
    for (const auto& flag : flags) {
        if (key.ReadNumber(flag.value, 0) == 1) {
            ShowResourceMessageBox(owner, flag.textId, IDS_MONITOR_CAPTION, MB_OK);
            result = 0;
        }
    }
    return result;
}

std::string RemoteCountText(const uint8_t (&inkLevels)[6], unsigned count) {
    int id = SelectRemoteCountString(inkLevels, count);
    if (id == 0) {
        return {};
    }
    std::string text = LoadResourceString(id);
    return id == IDS_REMOTE_COUNT_SOME ? FormatCountText(text, count) : text;
}

} // namespace krx
