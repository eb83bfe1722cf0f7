// Language-dependent values of the model profile: the section that serves
// the user's language (with fallbacks to English and to any installed
// language), chosen once per process and kept module-wide (ChosenLanguageSection),
// and readers of strings and integers from that section.
#pragma once

#include <string>

namespace krx {

// Results of the choice besides success (0 or more).
constexpr int kLanguageOutOfMemory = -3;
constexpr int kLanguageBufferTooSmall = -4;

// Size of the section-name buffers the readers use.
constexpr int kLanguageSectionSize = 260;

// Chooses the section for the user's default language. `length` holds the
// room of `out` on entry and the name's length on success; on -4 it holds
// the room needed (name length + 1). A choice kept from earlier is copied
// cut to the room (and `length` is what was copied) rather than refused.
// The output is always terminated.
int ChooseLanguageSection(char* out, int* length, const char* modelFile);

// The same for a given language id (what the user's language would be).
int ChooseLanguageSectionFor(unsigned languageId, char* out, int* length, const char* modelFile);

// 0 when the key has a non-empty value in the chosen section (copied to
// `out`, cut to `length` - 1 characters); -1 when the choice failed or the
// value is missing or empty.
int ReadLanguageString(const char* key, char* out, int length, const char* modelFile);
// The same with the room passed by reference; on success it holds the
// value's length.
int ReadLanguageString(const char* key, char* out, int* length, const char* modelFile);
// Convenience form: the value, or empty text.
std::string ReadLanguageText(const char* key, const char* modelFile,
                             int bufferSize = kLanguageSectionSize);

// -1 when the choice failed; otherwise the key's integer value in the chosen
// section, the default when it is missing (or no section was chosen).
int ReadLanguageInt(const char* key, int defaultValue, const char* modelFile);

} // namespace krx
