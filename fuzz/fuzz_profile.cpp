// Fuzz target: the model profile reader on arbitrary file contents. The
// first line of the input names the section and key to look up.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/profile/profile_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    std::string section = "KX500";
    std::string key = "MaxIC";
    size_t start = 0;
    for (size_t i = 0; i < size && i < 64; ++i) {
        if (text[i] == '\n') {
            std::string head(text, i);
            size_t bar = head.find('|');
            if (bar != std::string::npos) {
                section = head.substr(0, bar);
                key = head.substr(bar + 1);
            }
            start = i + 1;
            break;
        }
    }
    int value = 0;
    std::string out;
    krx::MemoryLineSource ints(text + start, size - start);
    krx::FindProfileInt(ints, section.c_str(), key.c_str(), &value);
    krx::MemoryLineSource strings(text + start, size - start);
    krx::FindProfileString(strings, section.c_str(), key.c_str(), &out);
    krx::MemoryLineSource sections(text + start, size - start);
    krx::HasProfileSection(sections, section.c_str());
    return 0;
}
