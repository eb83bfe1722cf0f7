// Model id, job-activity name and remote count text choice.
#include "comm/device_id.h"

#include <cstring>

namespace krx {

std::string ExtractModelId(const char* deviceId, size_t length) {
    static const char kTag[] = "MDL:";
    const size_t tagLength = sizeof(kTag) - 1;
    if (deviceId == nullptr || length < tagLength) {
        return {};
    }
    for (size_t p = 0; p + tagLength <= length; ++p) {
        if (memcmp(deviceId + p, kTag, tagLength) != 0) {
            continue;
        }
        for (size_t q = p + tagLength; q < length; ++q) {
            if (deviceId[q] == ';') {
                return std::string(deviceId + p + tagLength, q - p - tagLength);
            }
            if (deviceId[q] == '\0') {
                break;
            }
        }
        return {};
    }
    return {};
}

std::string JobActivityName(const char* printerName, const char* portName) {
    const char* name = printerName != nullptr && *printerName != '\0' ? printerName : portName;
    std::string result = "N_KRXS_";
    if (name != nullptr) {
        result += name;
    }
    for (char& c : result) {
        if (c == '\\') {
            c = '/';
        }
    }
    return result;
}

int SelectRemoteCountString(const uint8_t (&inkLevels)[6], unsigned count) {
    bool anyLow = false;
    for (uint8_t level : inkLevels) {
        anyLow = anyLow || level <= kRemoteCountInkThreshold;
    }
    if (!anyLow || count == kRemoteCountUnknown) {
        return 0;
    }
    if (count == 0) {
        return IDS_REMOTE_COUNT_NONE;
    }
    return count < 100 ? IDS_REMOTE_COUNT_SOME : IDS_REMOTE_COUNT_MANY;
}

} // namespace krx
