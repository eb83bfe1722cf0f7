// Locates a model's profile file through the Profile key.
#pragma once

#include <string>

namespace krx {

// 0 and the path when HKLM "software\NORVA\KRX3\Profile" names an existing
// file for the model and that file holds the model's section; else 1.
int FindProfileFile(const char* modelName, std::string* path);

} // namespace krx
