// Native fuzz target (clang, libFuzzer) for the pure parsers behind the
// dialogs: the "Language" section, guide step tables, tip topics and the
// information table's date format. The first byte picks the parser.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/module/language_entries.h"
#include "graphics/guide_steps.h"
#include "graphics/printer_info_table.h"
#include "graphics/tip_topic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const uint8_t kind = data[0] % 4;
    const char* text = reinterpret_cast<const char*>(data + 1);
    const size_t length = size - 1;
    switch (kind) {
    case 0: {
        auto entries = krx::SplitLanguageEntries(text, length);
        krx::SelectLanguageEntry(entries, length > 0 ? static_cast<unsigned>(data[1]) << 4 : 0);
        break;
    }
    case 1: {
        krx::GuideTable table;
        if (krx::ParseGuideTable(data + 1, length, &table)) {
            for (const krx::GuideStep& step : table.steps) {
                krx::GuideFrameIds(step);
            }
        }
        break;
    }
    case 2:
        krx::ParseTipTopic(text, length);
        krx::ParseDecimalPrefix(text, length);
        break;
    default:
        krx::FormatInfoDate(std::string(text, length), length, length * 7);
        break;
    }
    return 0;
}
