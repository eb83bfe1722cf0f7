// Library error boxes and the remote count text.
#include "ui/printer_messages.h"

#include "comm/device_id.h"
#include "comm/printer_identity.h"
#include "common/resource_ids.h"
#include "base/module/message_box.h"
#include "base/module/resource_string.h"
#include "ui/status_tables.h"

namespace krx {

int CheckLibraryErrorFlags(HWND owner) {
    const LibraryErrorFlags flags = ReadLibraryErrorFlags();
    if (!flags.keyOpen) {
        return 0;
    }
    const struct {
        bool set;
        int textId;
    } boxes[] = {
        {flags.replaced, IDS_LIBRARY_REPLACED},
        {flags.inUse, IDS_LIBRARY_IN_USE},
        {flags.otherError, IDS_LIBRARY_OTHER_ERROR},
    };
    int result = 1;
    for (const auto& box : boxes) {
        if (box.set) {
            ShowResourceMessageBox(owner, box.textId, IDS_MONITOR_CAPTION, MB_OK);
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
    std::string text = ResourceString(static_cast<UINT>(id));
    return id == IDS_REMOTE_COUNT_SOME ? FormatResourceNumbers(text, {static_cast<long>(count)})
                                       : text;
}

} // namespace krx
