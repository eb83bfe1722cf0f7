// Profile lookups: first matching section and first matching key win;
// keys and section names compare case-sensitively.
#include "base/profile/profile_reader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace krx {

namespace {

class FileLineSource : public LineSource {
  public:
    explicit FileLineSource(FILE* file) : m_pFile(file) {}
    bool NextLine(std::string& line) override {
        char buffer[kProfileLineMax + 1];
        if (fgets(buffer, sizeof(buffer), m_pFile) == nullptr) {
            return false;
        }
        line.assign(buffer);
        return true;
    }

  private:
    FILE* m_pFile;
};

struct FileCloser {
    void operator()(FILE* f) const { fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

FilePtr OpenText(const char* path) {
    if (path == nullptr || *path == '\0') {
        return FilePtr();
    }
    return FilePtr(fopen(path, "r"));
}

bool IsSectionLine(const std::string& line, const char* section) {
    size_t n = strlen(section);
    return line.size() >= n + 2 && line[0] == '[' && line.compare(1, n, section) == 0 &&
           line[n + 1] == ']';
}

// Skips to the line after the section header; false when there is none.
bool SeekSection(LineSource& source, const char* section) {
    std::string line;
    while (source.NextLine(line)) {
        if (IsSectionLine(line, section)) {
            return true;
        }
    }
    return false;
}

// Finds the key's line inside the current section; on success value_pos
// is the index just after "=".
int SeekKey(LineSource& source, const char* key, std::string& line, size_t& value_pos) {
    size_t n = strlen(key);
    while (source.NextLine(line)) {
        if (!line.empty() && line[0] == '[') {
            return kProfileNoKey;
        }
        if (line.size() > n && line.compare(0, n, key) == 0 && line[n] == '=') {
            value_pos = n + 1;
            return kProfileFound;
        }
    }
    return kProfileNoKey;
}

// The line of the key inside the section, as both lookups need it.
int SeekSetting(LineSource& source, const char* section, const char* key, std::string& line,
                size_t& valuePos) {
    if (section == nullptr || key == nullptr || !SeekSection(source, section)) {
        return kProfileNoSection;
    }
    return SeekKey(source, key, line, valuePos);
}

int ParseLeadingInt(const std::string& token) {
    // Leading sign and digits only; saturates instead of overflowing.
    size_t i = 0;
    bool negative = false;
    if (i < token.size() && (token[i] == '-' || token[i] == '+')) {
        negative = token[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < token.size() && token[i] >= '0' && token[i] <= '9'; ++i) {
        if (value < 0x80000000LL) {
            value = value * 10 + (token[i] - '0');
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > 0x7FFFFFFFLL) {
        value = 0x7FFFFFFFLL;
    }
    if (value < -0x80000000LL) {
        value = -0x80000000LL;
    }
    return static_cast<int>(value);
}

} // namespace

bool MemoryLineSource::NextLine(std::string& line) {
    if (m_pData == nullptr || m_nPos >= m_nSize) {
        return false;
    }
    size_t start = m_nPos;
    while (m_nPos < m_nSize && m_nPos - start < kProfileLineMax) {
        char c = m_pData[m_nPos++];
        if (c == '\n') {
            break;
        }
    }
    line.assign(m_pData + start, m_nPos - start);
    // A line is a C text as far as the reader is concerned.
    size_t nul = line.find('\0');
    if (nul != std::string::npos) {
        line.resize(nul);
    }
    return true;
}

int FindProfileInt(LineSource& source, const char* section, const char* key, int* out) {
    std::string line;
    size_t pos = 0;
    int rc = SeekSetting(source, section, key, line, pos);
    if (rc != kProfileFound) {
        return rc;
    }
    std::string token;
    for (size_t i = pos; i < line.size() && token.size() < kProfileValueMax; ++i) {
        unsigned char c = static_cast<unsigned char>(line[i]);
        if (c == ' ' || c < 0x20 || c == 0x7F || c >= 0x80) {
            break;
        }
        token.push_back(static_cast<char>(c));
    }
    if (out != nullptr) {
        *out = ParseLeadingInt(token);
    }
    return kProfileFound;
}

int FindProfileString(LineSource& source, const char* section, const char* key, std::string* out) {
    std::string line;
    size_t pos = 0;
    int rc = SeekSetting(source, section, key, line, pos);
    if (rc != kProfileFound) {
        return rc;
    }
    size_t open = line.find('"', pos);
    if (open == std::string::npos) {
        return kProfileNoKey;
    }
    size_t close = line.find('"', open + 1);
    if (close == std::string::npos) {
        return kProfileNoKey;
    }
    std::string value = line.substr(open + 1, close - open - 1);
    if (value.size() > kProfileValueMax) {
        value.resize(kProfileValueMax);
    }
    if (out != nullptr) {
        *out = value;
    }
    return kProfileFound;
}

bool HasProfileSection(LineSource& source, const char* section) {
    return section != nullptr && SeekSection(source, section);
}

int ReadProfileInt(const char* path, const char* section, const char* key, int* out) {
    FilePtr file = OpenText(path);
    if (!file) {
        return kProfileNoSection;
    }
    FileLineSource source(file.get());
    return FindProfileInt(source, section, key, out);
}

int ReadProfileString(const char* path, const char* section, const char* key, std::string* out) {
    FilePtr file = OpenText(path);
    if (!file) {
        return kProfileNoSection;
    }
    FileLineSource source(file.get());
    return FindProfileString(source, section, key, out);
}

bool ProfileHasSection(const char* path, const char* section) {
    FilePtr file = OpenText(path);
    if (!file) {
        return false;
    }
    FileLineSource source(file.get());
    return HasProfileSection(source, section);
}

} // namespace krx
