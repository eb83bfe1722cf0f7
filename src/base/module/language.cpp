// Choice of the language section and the readers on top of it. The profile
// is read here through the system's private-profile functions.
#include "base/module/language.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "common/safe_load.h"
#include "base/module/install_paths.h"
#include "base/module/language_entries.h"
#include "base/module/module_state.h"
#include "base/registry/registry_key.h"

namespace krx {

namespace {

constexpr char kLanguageListSection[] = "Language";
constexpr char kResDllKey[] = "ResDll";
constexpr unsigned kEnglishUnitedStates = 0x0409;
constexpr DWORD kSectionStep = 260;
// A section beyond this is taken as read so far rather than grown forever.
constexpr DWORD kSectionLimit = 1024 * 1024;

bool HasText(const char* text) {
    return text != nullptr && text[0] != '\0';
}

std::vector<LanguageEntry> ReadLanguageEntries(const char* modelFile) {
    if (!HasText(modelFile)) {
        return {};
    }
    std::vector<char> buffer;
    DWORD read = 0;
    for (DWORD size = kSectionStep;; size += kSectionStep) {
        buffer.assign(size, '\0');
        read = GetPrivateProfileSectionA(kLanguageListSection, buffer.data(), size, modelFile);
        // size - 2 is how the profile functions report a section that did
        // not fit.
        if (read != size - 2 || size >= kSectionLimit) {
            break;
        }
    }
    return SplitLanguageEntries(buffer.data(), read);
}

std::string SelectedName(const std::vector<LanguageEntry>& entries, unsigned languageId) {
    int index = SelectLanguageEntry(entries, languageId);
    return index >= 0 ? entries[static_cast<size_t>(index)].name : std::string();
}

// The section's resource library counts as installed when it lies in the
// driver's installation folder.
bool IsResourceLibraryInstalled(const char* modelFile, const std::string& section) {
    if (section.empty() || ThisCall().driverKey.empty()) {
        return false;
    }
    char resDll[kLanguageSectionSize] = {};
    GetPrivateProfileStringA(section.c_str(), kResDllKey, "", resDll, sizeof(resDll), modelFile);
    if (resDll[0] == '\0') {
        return false;
    }
    const std::string folder = DriverInstallFolder();
    return !folder.empty() && FileExists(folder + resDll);
}

int CopyName(const std::string& name, char* out, int* length) {
    int room = length != nullptr ? *length : 0;
    int needed = static_cast<int>(name.size()) + 1;
    if (out == nullptr || room < needed) {
        if (length != nullptr) {
            *length = needed;
        }
        return kLanguageBufferTooSmall;
    }
    memcpy(out, name.c_str(), name.size() + 1);
    *length = static_cast<int>(name.size());
    return 0;
}

// The kept choice goes out as far as the buffer holds, always terminated;
// `length` then holds the length of what was copied. Without room for even
// the terminator it is -4 with the room needed, like a fresh choice.
int CopyNameCut(const std::string& name, char* out, int* length) {
    const int room = length != nullptr ? *length : 0;
    if (out == nullptr || room < 1) {
        return CopyName(name, out, length);
    }
    const size_t copied = std::min(name.size(), static_cast<size_t>(room - 1));
    memcpy(out, name.data(), copied);
    out[copied] = '\0';
    *length = static_cast<int>(copied);
    return 0;
}

} // namespace

int ChooseLanguageSectionFor(unsigned languageId, char* out, int* length, const char* modelFile) {
    try {
        const std::string chosen = ChosenLanguageSection();
        if (!chosen.empty()) {
            return CopyNameCut(chosen, out, length);
        }
        std::vector<LanguageEntry> entries = ReadLanguageEntries(modelFile);
        std::string name = SelectedName(entries, languageId);
        if (!IsResourceLibraryInstalled(modelFile, name)) {
            name = SelectedName(entries, kEnglishUnitedStates);
            if (!IsResourceLibraryInstalled(modelFile, name)) {
                name.clear();
                for (const LanguageEntry& entry : entries) {
                    if (IsResourceLibraryInstalled(modelFile, entry.name)) {
                        name = entry.name;
                        break;
                    }
                }
            }
        }
        int result = CopyName(name, out, length);
        if (result < 0) {
            return result;
        }
        // An empty name is kept empty, so that the next read chooses again.
        // Calls on other threads may choose at the same time: the first
        // choice stays.
        SetChosenLanguageSection(name);
        return 0;
    } catch (const std::bad_alloc&) {
        return kLanguageOutOfMemory;
    }
}

int ChooseLanguageSection(char* out, int* length, const char* modelFile) {
    return ChooseLanguageSectionFor(GetUserDefaultLangID(), out, length, modelFile);
}

int ReadLanguageString(const char* key, char* out, int* length, const char* modelFile) {
    if (out == nullptr || length == nullptr || *length <= 0) {
        return -1;
    }
    out[0] = '\0';
    char section[kLanguageSectionSize];
    int sectionLength = sizeof(section);
    if (ChooseLanguageSection(section, &sectionLength, modelFile) < 0 || section[0] == '\0' ||
        !HasText(key) || !HasText(modelFile)) {
        return -1;
    }
    DWORD read =
        GetPrivateProfileStringA(section, key, "", out, static_cast<DWORD>(*length), modelFile);
    if (read == 0 || out[0] == '\0') {
        return -1;
    }
    *length = static_cast<int>(strlen(out));
    return 0;
}

int ReadLanguageString(const char* key, char* out, int length, const char* modelFile) {
    return ReadLanguageString(key, out, &length, modelFile);
}

std::string ReadLanguageText(const char* key, const char* modelFile, int bufferSize) {
    if (bufferSize <= 0) {
        return {};
    }
    std::vector<char> buffer(static_cast<size_t>(bufferSize), '\0');
    int length = bufferSize;
    if (ReadLanguageString(key, buffer.data(), &length, modelFile) != 0) {
        return {};
    }
    return std::string(buffer.data());
}

int ReadLanguageInt(const char* key, int defaultValue, const char* modelFile) {
    char section[kLanguageSectionSize];
    int sectionLength = sizeof(section);
    if (ChooseLanguageSection(section, &sectionLength, modelFile) < 0) {
        return -1;
    }
    if (section[0] == '\0' || !HasText(key) || !HasText(modelFile)) {
        return defaultValue;
    }
    return static_cast<int>(GetPrivateProfileIntA(section, key, defaultValue, modelFile));
}

} // namespace krx
