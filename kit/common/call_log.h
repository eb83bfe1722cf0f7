// One line per call in a stand-in's call log, so tests can see what the
// plug-in asked of it.
#pragma once

#include <cstdarg>
#include <string>

namespace kit {

// Appends the formatted text and a line end to the file; nothing when the
// path is empty or the file cannot be opened.
void AppendCallLogLine(const std::string& path, const char* format, va_list args);

} // namespace kit
