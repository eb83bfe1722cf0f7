// Both language libraries carry every resource the plug-in loads by number,
// in their own language, and the texts the plug-in interprets (numbers,
// formats, tip topics, guide tables) have the shape it expects.
#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "language_library.h"
#include "common/resource_ids.h"
#include "status/status_classes.h"
#include "status/status_messages.h"

namespace krxtest {
namespace {

struct HeaderId {
    const char* name;
    UINT id;
};

// Every IDS_, IDD_, IDI_ and IDR_ define of resource_ids.h and
// status_messages.h, generated from the headers at configure time. (IDB_ bitmaps are the picture
// library's; the guide frames of the language libraries are checked with the guides.)
#define KRX_RESOURCE_ID(name) {#name, name},
constexpr HeaderId kHeaderIds[] = {
#include "resource_id_list.inc"
};
#undef KRX_RESOURCE_ID

class LanguageLibraryTest : public ::testing::TestWithParam<LanguageLibrary> {
  protected:
    void SetUp() override {
        module_ = LoadLibraryA(GetParam().file);
        ASSERT_NE(module_, nullptr) << GetParam().file << " error " << GetLastError();
    }
    void TearDown() override {
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
    }
    std::string Text(UINT id) const { return LoadText(module_, id); }

    HMODULE module_ = nullptr;
};

bool StartsWith(const char* name, const char* prefix) {
    return strncmp(name, prefix, strlen(prefix)) == 0;
}

TEST_P(LanguageLibraryTest, CarriesEveryIdOfTheSharedHeaderInItsLanguage) {
    const WORD language = GetParam().language;
    for (const HeaderId& entry : kHeaderIds) {
        SCOPED_TRACE(std::string(entry.name) + " = " + std::to_string(entry.id));
        if (StartsWith(entry.name, "IDS_")) {
            EXPECT_TRUE(HasText(module_, entry.id));
            EXPECT_NE(FindResourceExA(module_, MAKEINTRESOURCEA(6),
                                      MAKEINTRESOURCEA(entry.id / 16 + 1), language),
                      nullptr)
                << "string block not in language " << std::hex << language;
        } else if (StartsWith(entry.name, "IDD_")) {
            EXPECT_NE(
                FindResourceExA(module_, MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(entry.id), language),
                nullptr);
        } else if (StartsWith(entry.name, "IDR_")) {
            EXPECT_NE(FindResourceExA(module_, MAKEINTRESOURCEA(10), MAKEINTRESOURCEA(entry.id),
                                      language),
                      nullptr);
        } else if (StartsWith(entry.name, "IDI_")) {
            EXPECT_NE(FindResourceA(module_, MAKEINTRESOURCEA(entry.id), MAKEINTRESOURCEA(14)),
                      nullptr);
        }
    }
}

TEST_P(LanguageLibraryTest, NumberedTextRangesHaveNoGaps) {
    struct Range {
        const char* what;
        UINT first;
        UINT last;
    };
    const Range ranges[] = {
        {"status messages", IDS_STATUS_FIRST, IDS_STATUS_LAST},
        {"media type names", IDS_MEDIA_OTHER, IDS_MEDIA_LAST},
    };
    for (const Range& range : ranges) {
        for (UINT id = range.first; id <= range.last; ++id) {
            EXPECT_TRUE(HasText(module_, id)) << range.what << ": string " << id;
        }
    }
}

TEST_P(LanguageLibraryTest, EveryStatusClassHasItsMessage) {
    for (int c = -1; c < krx::kStatusClassCount; ++c) {
        const int id = krx::StatusClassRowFor(c).messageId;
        EXPECT_TRUE(HasText(module_, static_cast<UINT>(id))) << "class " << c << ": string " << id;
    }
}

// Counts the printf conversions of a text ("%%" is none); -1 for one the
// plug-in must never be handed (strings, pointers, lengths).
int ConversionsOf(const std::string& text, std::string& kinds) {
    kinds.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            continue;
        }
        ++i;
        if (i < text.size() && text[i] == '%') {
            continue;
        }
        while (i < text.size() && (isdigit(static_cast<unsigned char>(text[i])) ||
                                   strchr("-+ #0.", text[i]) != nullptr)) {
            ++i;
        }
        if (i >= text.size() || strchr("dui", text[i]) == nullptr) {
            return -1;
        }
        kinds.push_back(text[i]);
    }
    return static_cast<int>(kinds.size());
}

TEST_P(LanguageLibraryTest, FormatTextsTakeExactlyTheNumbersTheyAreGiven) {
    struct Format {
        UINT id;
        int numbers;
    };
    // Sheet and sheets; minutes; seconds; pages left; year and month.
    const Format formats[] = {{IDS_JOB_SHEETS, 2},
                              {IDS_JOB_MINUTES_LEFT, 1},
                              {IDS_JOB_SECONDS_LEFT, 1},
                              {IDS_REMOTE_COUNT_SOME, 1},
                              {IDS_INFO_DATE_FORMAT, 2}};
    for (const Format& format : formats) {
        std::string kinds;
        std::string text = Text(format.id);
        EXPECT_EQ(ConversionsOf(text, kinds), format.numbers)
            << "string " << format.id << " \"" << text << "\"";
    }
    // Texts shown as they are must not look like formats.
    for (UINT id : {IDS_STATUS_CHECKING, IDS_STATUS_NO_ANSWER, IDS_TIPS_BUTTON, IDS_JOB_PAUSE}) {
        EXPECT_EQ(Text(id).find('%'), std::string::npos) << "string " << id;
    }
}

TEST_P(LanguageLibraryTest, StatusIntervalIsASecondCountThePluginAccepts) {
    std::string text = Text(IDS_STATUS_INTERVAL);
    int seconds = LeadingNumber(text);
    EXPECT_EQ(std::to_string(seconds), text);
    EXPECT_GE(seconds, 2);
    EXPECT_LE(seconds, 60);
}

bool IsTopicNumber(const std::string& text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        for (size_t i = 2; i < text.size(); ++i) {
            if (!isxdigit(static_cast<unsigned char>(text[i]))) {
                return false;
            }
        }
        return true;
    }
    if (text.empty()) {
        return false;
    }
    for (char c : text) {
        if (!isdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

TEST_P(LanguageLibraryTest, EveryCountedTipHasATextAndANumericTopic) {
    int count = LeadingNumber(Text(IDS_TIP_COUNT));
    ASSERT_GT(count, 1);
    ASSERT_TRUE(HasText(module_, IDS_TIP_SPECIAL_TEXT));
    EXPECT_TRUE(IsTopicNumber(Text(IDS_TIP_SPECIAL_TOPIC))) << Text(IDS_TIP_SPECIAL_TOPIC);
    // The count includes the ink-low tip.
    for (int k = 0; k < count - 1; ++k) {
        EXPECT_TRUE(HasText(module_, IDS_TIP_TEXT_BASE + k)) << "tip " << k;
        std::string topic = Text(IDS_TIP_TOPIC_BASE + k);
        EXPECT_TRUE(IsTopicNumber(topic)) << "tip " << k << " topic \"" << topic << "\"";
    }
    EXPECT_FALSE(HasText(module_, IDS_TIP_TEXT_BASE + count - 1)) << "a tip beyond the count";
}

TEST_P(LanguageLibraryTest, IconsComeInTheSizesTheWindowDrawsThem) {
    struct Icon {
        UINT id;
        int size;
    };
    // Window icon (small and large), blinking paused mark, tips button icon.
    const Icon icons[] = {
        {IDI_STATUS_WINDOW, 16}, {IDI_STATUS_WINDOW, 32}, {IDI_JOB_PAUSED, 32}, {IDI_TIPS, 18}};
    for (const Icon& icon : icons) {
        HANDLE loaded =
            LoadImageA(module_, MAKEINTRESOURCEA(icon.id), IMAGE_ICON, icon.size, icon.size, 0);
        ASSERT_NE(loaded, nullptr) << "icon " << icon.id << " at " << icon.size;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(static_cast<HICON>(loaded), &info));
        BITMAP bitmap = {};
        GetObjectA(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof(bitmap),
                   &bitmap);
        EXPECT_EQ(bitmap.bmWidth, icon.size) << "icon " << icon.id;
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(static_cast<HICON>(loaded));
    }
}

// One step of a guide table as the guide dialog reads it.
struct GuideStep {
    WORD text;
    WORD frames;
    WORD firstFrame;
    WORD flags;
};

TEST_P(LanguageLibraryTest, EveryTroubleCategoryHasAGuideThatCanBeWalkedToTheEnd) {
    std::set<UINT> guides;
    for (int c = 0; c < krx::kStatusClassCount; ++c) {
        const int category = krx::StatusClassRowFor(c).troubleCategory;
        if (category != krx::kTroubleNone) {
            guides.insert(static_cast<UINT>(KRX_GUIDE_RESOURCE_BASE + category));
        }
    }
    EXPECT_EQ(guides, std::set<UINT>({IDR_GUIDE_INK, IDR_GUIDE_PAPER}));
    for (UINT id : guides) {
        SCOPED_TRACE("guide " + std::to_string(id));
        DWORD size = 0;
        const BYTE* data = ResourceBytes(module_, MAKEINTRESOURCEA(10), id, &size);
        ASSERT_NE(data, nullptr);
        ASSERT_GE(size, 2u);
        WORD count = 0;
        memcpy(&count, data, 2);
        ASSERT_GE(count, 1);
        const DWORD titleAt = 2 + 8u * count;
        ASSERT_LT(titleAt, size) << "no room for the title";
        const BYTE* end = static_cast<const BYTE*>(memchr(data + titleAt, 0, size - titleAt));
        ASSERT_NE(end, nullptr) << "title not terminated inside the resource";
        EXPECT_GT(end - (data + titleAt), 0) << "empty title";

        for (WORD k = 0; k < count; ++k) {
            SCOPED_TRACE("step " + std::to_string(k));
            GuideStep step = {};
            memcpy(&step, data + 2 + 8 * k, sizeof(step));
            EXPECT_TRUE(HasText(module_, step.text)) << "text " << step.text;
            for (WORD f = 0; f < step.frames; ++f) {
                UINT frame = step.firstFrame + f;
                DWORD bitmapSize = 0;
                const BYTE* bitmap =
                    ResourceBytes(module_, MAKEINTRESOURCEA(2), frame, &bitmapSize);
                ASSERT_NE(bitmap, nullptr) << "frame bitmap " << frame;
                ASSERT_GE(bitmapSize, sizeof(BITMAPINFOHEADER));
                BITMAPINFOHEADER header = {};
                memcpy(&header, bitmap, sizeof(header));
                // 256-colour pictures at the size the guide draws them.
                EXPECT_EQ(header.biWidth, 160) << "frame " << frame;
                EXPECT_EQ(header.biHeight, 120) << "frame " << frame;
                EXPECT_EQ(header.biBitCount, 8) << "frame " << frame;
            }
            const bool last = k + 1 == count;
            if (last) {
                EXPECT_NE(step.flags & (0x1 | 0x8), 0) << "last step offers neither OK nor Finish";
            } else {
                EXPECT_NE(step.flags & 0x2, 0) << "a step before the last offers no Next";
            }
            if (k == 0) {
                EXPECT_EQ(step.flags & 0x4, 0) << "Back enabled on the first step";
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, LanguageLibraryTest, ::testing::ValuesIn(kLanguageLibraries),
                         [](const ::testing::TestParamInfo<LanguageLibrary>& info) {
                             return std::string(info.param.file).substr(7, 2);
                         });

TEST(LanguageLibraries, JapaneseTextsAreStoredAsJapanese) {
    // A Shift-JIS file compiled without its code page gives mojibake, which
    // still "exists"; the window title text must come out as real kana.
    HMODULE ja = LoadLibraryA(kJapaneseLibrary.file);
    ASSERT_NE(ja, nullptr);
    const wchar_t* text = nullptr;
    int length = LoadStringW(ja, IDS_TIPS_BUTTON, reinterpret_cast<wchar_t*>(&text), 0);
    ASSERT_GE(length, 3);
    EXPECT_EQ(std::wstring(text, 3), std::wstring(L"\x30D2\x30F3\x30C8")); // "tips" in katakana
    FreeLibrary(ja);
}

TEST(LanguageLibraries, JapaneseReadyAndPrintingTextsSaySo) {
    HMODULE ja = LoadLibraryA(kJapaneseLibrary.file);
    ASSERT_NE(ja, nullptr);
    auto text = [ja](UINT id) {
        const wchar_t* chars = nullptr;
        int length = LoadStringW(ja, id, reinterpret_cast<wchar_t*>(&chars), 0);
        return std::wstring(chars, length > 0 ? length : 0);
    };
    const std::wstring printing = L"\x5370\x5237\x4E2D";       // "printing"
    const std::wstring canPrint = L"\x5370\x5237\x3067\x304D"; // "can print"
    EXPECT_NE(std::wstring::npos, text(3004).find(canPrint)) << "a ready printer";
    EXPECT_EQ(std::wstring::npos, text(3004).find(printing)) << "a ready printer";
    EXPECT_NE(std::wstring::npos, text(3002).find(printing)) << "a printer at work";
    FreeLibrary(ja);
}

} // namespace
} // namespace krxtest
