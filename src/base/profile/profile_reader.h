// Model profile file reader: bracketed sections and key=value lines, read
// with the plug-in's own line reader. Pure code (no Windows headers) so that
// it can be fuzzed natively.
#pragma once

#include <cstddef>
#include <string>

namespace krx {

// Longest line piece the reader takes at once; longer lines are read in
// pieces that count as separate lines.
constexpr size_t kProfileLineMax = 309;
// Longest value text the reader returns.
constexpr size_t kProfileValueMax = 259;

// Supplies lines (each at most kProfileLineMax characters, line end kept).
class LineSource {
  public:
    virtual ~LineSource() = default;
    // False at the end of the input.
    virtual bool NextLine(std::string& line) = 0;
};

// Lines from an in-memory text (used for fuzzing and by the file source).
class MemoryLineSource : public LineSource {
  public:
    MemoryLineSource(const char* data, size_t size) : m_pData(data), m_nSize(size) {}
    bool NextLine(std::string& line) override;

  private:
    const char* m_pData;
    size_t m_nSize;
    size_t m_nPos = 0;
};

// Result codes shared by the profile lookups.
enum ProfileResult : int {
    kProfileFound = 0,
    kProfileNoSection = 1, // no file or no such section
    kProfileNoKey = -1,    // no such key (or a text value without its quotes)
};

// Lookups on one source; the source is consumed.
int FindProfileInt(LineSource& source, const char* section, const char* key, int* out);
int FindProfileString(LineSource& source, const char* section, const char* key, std::string* out);
// True when the source holds the header line of the section.
bool HasProfileSection(LineSource& source, const char* section);

// The same on a file path; the file is opened and closed in every case.
int ReadProfileInt(const char* path, const char* section, const char* key, int* out);
int ReadProfileString(const char* path, const char* section, const char* key, std::string* out);
bool ProfileHasSection(const char* path, const char* section);

} // namespace krx
