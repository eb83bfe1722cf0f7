// Call log writer shared by the kit's stand-ins.
#include "call_log.h"

#include <cstdio>

namespace kit {

void AppendCallLogLine(const std::string& path, const char* format, va_list args) {
    if (path.empty()) {
        return;
    }
    FILE* file = fopen(path.c_str(), "ab");
    if (file == nullptr) {
        return;
    }
    vfprintf(file, format, args);
    fputc('\n', file);
    fclose(file);
}

} // namespace kit
