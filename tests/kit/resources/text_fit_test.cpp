// Every text that the status window and its secondary dialogs put into a
// static, an edit or a button fits that control with the dialog's own font,
// in both languages: a static that wraps keeps all its lines inside its
// height, a one-line control keeps the text inside its width, and an edit
// keeps every line that has text inside its formatting rectangle. A text
// that does not fit is cut without any sign, so the user never reads its end.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cwctype>
#include <string>
#include <vector>

#include "language_library.h"
#include "common/resource_ids.h"
#include "status/status_messages.h"

namespace krxtest {
namespace {

// Push buttons draw their label inside the 3-D edge and the focus frame; a
// group box starts its caption a few pixels in from the frame's corner.
constexpr int kButtonInset = 3;
constexpr int kGroupBoxInset = 7;

// How a text is filled in before it is shown: the numbers are the widest
// the window formats into it.
enum class Fill { kNone, kCount, kSheets, kMinutes, kSeconds, kJobDetails, kInfoDate, kVersion };

struct DynamicText {
    int dialog;
    int item;
    std::vector<UINT> strings;
    Fill fill;
};

std::vector<UINT> Range(UINT first, UINT last) {
    std::vector<UINT> ids;
    for (UINT id = first; id <= last; ++id) {
        ids.push_back(id);
    }
    return ids;
}

std::vector<UINT> StatusMessages() {
    std::vector<UINT> ids = Range(IDS_STATUS_FIRST, IDS_STATUS_LAST);
    ids.insert(ids.end(), {IDS_STATUS_CHECKING, IDS_STATUS_NO_ANSWER, IDS_STATUS_BLANK,
                           IDS_STATUS_NOT_AVAILABLE, IDS_STATUS_UNDEFINED});
    return ids;
}

// The texts the plug-in writes into the controls at run time (the controls'
// own template texts are checked as they are).
std::vector<DynamicText> DynamicTexts() {
    std::vector<UINT> tips = Range(IDS_TIP_TEXT_BASE, IDS_TIP_TEXT_BASE + 99);
    tips.push_back(IDS_TIP_SPECIAL_TEXT);
    return {
        {IDD_STATUS_WINDOW, IDC_STATUS_TEXT, StatusMessages(), Fill::kNone},
        {IDD_STATUS_WINDOW,
         IDC_INFO_LINE,
         {IDS_REMOTE_COUNT_MANY, IDS_REMOTE_COUNT_NONE},
         Fill::kNone},
        {IDD_STATUS_WINDOW, IDC_INFO_LINE, {IDS_REMOTE_COUNT_SOME}, Fill::kCount},
        {IDD_STATUS_WINDOW, IDC_JOB_SHEETS, {IDS_JOB_SHEETS}, Fill::kSheets},
        {IDD_STATUS_WINDOW, IDC_JOB_TIME, {IDS_JOB_MINUTES_LEFT}, Fill::kMinutes},
        {IDD_STATUS_WINDOW, IDC_JOB_TIME, {IDS_JOB_SECONDS_LEFT}, Fill::kSeconds},
        {IDD_STATUS_WINDOW, IDC_JOB_DETAILS, Range(IDS_MEDIA_OTHER, IDS_MEDIA_LAST),
         Fill::kJobDetails},
        {IDD_STATUS_WINDOW, IDC_JOB_PAUSE, {IDS_JOB_PAUSE, IDS_JOB_RESUME}, Fill::kNone},
        {IDD_STATUS_WINDOW, IDC_TIP_TEXT, tips, Fill::kNone},
        {IDD_GUIDE, IDC_GUIDE_TEXT, Range(IDS_GUIDE_TEXT_FIRST, IDS_GUIDE_TEXT_FIRST + 29),
         Fill::kNone},
        {IDD_VERSION, IDC_VERSION_DRIVER, {0}, Fill::kVersion},
        {IDD_VERSION, IDC_VERSION_HOST, {0}, Fill::kVersion},
        {IDD_VERSION, IDC_VERSION_PLUGIN, {0}, Fill::kVersion},
        {IDD_VERSION, IDC_VERSION_BXAPI, {0}, Fill::kVersion},
        {IDD_VERSION, IDC_VERSION_COMPANION, {0}, Fill::kVersion},
        {IDD_PRINTER_INFO, IDC_INFO_ROW0_FIRST, {IDS_INFO_DATE_FORMAT}, Fill::kInfoDate},
        {IDD_PRINTER_INFO, IDC_INFO_ROW0_FIRST, {IDS_INFO_NONE}, Fill::kNone},
        {IDD_PRINTER_INFO,
         IDC_INFO_ROW0_FIRST + 1,
         {3130, 3131, 3134, 3135, 3138, 3139},
         Fill::kNone},
        {IDD_PRINTER_INFO, IDC_INFO_ROW0_FIRST + 2, {3132, 3136, 3140}, Fill::kNone},
        {IDD_PRINTER_INFO,
         IDC_INFO_ROW0_FIRST + 3,
         {IDS_INFO_STATE_1, IDS_INFO_STATE_2, IDS_INFO_NONE},
         Fill::kNone},
    };
}

std::wstring Wide(HMODULE module, UINT id) {
    const wchar_t* text = nullptr;
    const int length = LoadStringW(module, id, reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 && text != nullptr ? std::wstring(text, static_cast<size_t>(length))
                                         : std::wstring();
}

std::string Utf8(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n,
                        nullptr, nullptr);
    return out;
}

// Replaces the format's %d / %u fields in turn by the numbers.
std::wstring Format(const std::wstring& format, std::vector<int> numbers) {
    std::wstring out;
    size_t next = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == L'%' && i + 1 < format.size()) {
            size_t j = i + 1;
            while (j < format.size() && iswdigit(format[j])) {
                ++j;
            }
            if (j < format.size() && (format[j] == L'd' || format[j] == L'u') &&
                next < numbers.size()) {
                wchar_t digits[16];
                swprintf(digits, 16, (L"%" + format.substr(i + 1, j - i - 1) + L"d").c_str(),
                         numbers[next++]);
                out += digits;
                i = j;
                continue;
            }
        }
        out += format[i];
    }
    return out;
}

std::vector<std::wstring> Texts(HMODULE module, const DynamicText& row) {
    std::vector<std::wstring> texts;
    for (UINT id : row.strings) {
        const std::wstring text = Wide(module, id);
        switch (row.fill) {
        case Fill::kNone:
            if (!text.empty()) {
                texts.push_back(text);
            }
            break;
        case Fill::kCount:
            texts.push_back(Format(text, {99}));
            break;
        case Fill::kSheets:
            texts.push_back(Format(text, {999, 999}));
            break;
        case Fill::kMinutes:
            texts.push_back(Format(text, {999}));
            break;
        case Fill::kSeconds:
            texts.push_back(Format(text, {59}));
            break;
        case Fill::kInfoDate:
            texts.push_back(Format(text, {99, 12}));
            break;
        case Fill::kVersion:
            texts.push_back(L"Ver. 10.20.300.4000");
            break;
        case Fill::kJobDetails:
            if (!text.empty()) {
                texts.push_back(Wide(module, IDS_JOB_MEDIA_TYPE) + L" : " + text + L"\r\n" +
                                Wide(module, IDS_JOB_PAPER_SIZE) + L" : Letter\r\n");
            }
            break;
        }
    }
    return texts;
}

// Whether `text` shows whole in `control`; `how` tells what was measured.
bool Fits(HWND control, const std::wstring& text, std::string* how) {
    wchar_t className[32] = {};
    GetClassNameW(control, className, 32);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    RECT client = {};
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    bool fits = true;
    char buffer[128];
    if (lstrcmpiW(className, L"Edit") == 0 && (style & ES_MULTILINE) != 0) {
        SetWindowTextW(control, text.c_str());
        RECT format = {};
        SendMessageW(control, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
        const int visible = (format.bottom - format.top) / metrics.tmHeight;
        const int count = static_cast<int>(SendMessageW(control, EM_GETLINECOUNT, 0, 0));
        int used = 0;
        for (int line = 0; line < count; ++line) {
            const LRESULT start = SendMessageW(control, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
            if (SendMessageW(control, EM_LINELENGTH, static_cast<WPARAM>(start), 0) > 0) {
                used = line + 1;
            }
        }
        fits = used <= visible;
        snprintf(buffer, sizeof(buffer), "edit: %d lines with text, %d visible", used, visible);
    } else {
        UINT flags = DT_CALCRECT | DT_EXPANDTABS;
        int width = client.right;
        bool wraps = false;
        if (lstrcmpiW(className, L"Static") == 0) {
            const LONG type = style & SS_TYPEMASK;
            wraps = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
            if ((style & SS_NOPREFIX) != 0) {
                flags |= DT_NOPREFIX;
            }
        } else {
            width -= (style & 0x0F) == BS_GROUPBOX ? 2 * kGroupBoxInset : 2 * kButtonInset;
            wraps = (style & BS_MULTILINE) != 0;
        }
        RECT r = {0, 0, width, 0};
        DrawTextW(dc, text.c_str(), -1, &r, flags | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
        fits = r.right <= width && r.bottom <= client.bottom;
        snprintf(buffer, sizeof(buffer), "%s text %ld x %ld in %d x %ld",
                 wraps ? "wrapped" : "one-line", r.right, r.bottom, width, client.bottom);
    }
    *how = buffer;
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return fits;
}

bool Measured(HWND control) {
    wchar_t className[32] = {};
    GetClassNameW(control, className, 32);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    if (lstrcmpiW(className, L"Static") == 0) {
        const LONG type = style & SS_TYPEMASK;
        return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT ||
               type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE;
    }
    if (lstrcmpiW(className, L"Button") == 0) {
        return (style & 0x0F) != BS_OWNERDRAW;
    }
    return lstrcmpiW(className, L"Edit") == 0;
}

// The family of the font file that really draws (a face name asked for
// may be answered by a substitute under its own name).
std::string FamilyName(HDC dc) {
    std::vector<BYTE> buffer(GetOutlineTextMetricsW(dc, 0, nullptr));
    if (buffer.size() < sizeof(OUTLINETEXTMETRICW)) {
        return {};
    }
    auto* metrics = reinterpret_cast<OUTLINETEXTMETRICW*>(buffer.data());
    GetOutlineTextMetricsW(dc, static_cast<UINT>(buffer.size()), metrics);
    return Utf8(reinterpret_cast<const wchar_t*>(
        buffer.data() + reinterpret_cast<size_t>(metrics->otmpFamilyName)));
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

class TextFitTest : public ::testing::TestWithParam<LanguageLibrary> {
  protected:
    void SetUp() override {
        // The status window's template names the ink library's gauge class.
        ink_ = LoadLibraryA("kitink.dll");
        module_ = LoadLibraryA(GetParam().file);
        ASSERT_NE(module_, nullptr) << GetParam().file;
    }
    void TearDown() override {
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
        if (ink_ != nullptr) {
            FreeLibrary(ink_);
        }
    }

    // Checks one text in one control; counts it.
    void Check(int dialog, HWND control, const std::wstring& text) {
        ++measured_;
        std::string how;
        if (!Fits(control, text, &how)) {
            ++cut_;
            ADD_FAILURE() << "dialog " << dialog << " item " << GetDlgCtrlID(control) << ": \""
                          << Utf8(text) << "\" is cut (" << how << ")";
        }
    }

    HMODULE ink_ = nullptr;
    HMODULE module_ = nullptr;
    int measured_ = 0;
    int cut_ = 0;
};

// The texts are measured with the fonts a user's system has: the dialog
// font of the English library is Tahoma, the Japanese one has the kana and
// kanji glyphs, and the caption buttons have their symbol font.
TEST_P(TextFitTest, DialogsHaveTheFontsOfAUsersSystem) {
    HWND window =
        CreateDialogParamW(module_, MAKEINTRESOURCEW(IDD_VERSION), nullptr, PlainDialogProc, 0);
    ASSERT_NE(window, nullptr) << "error " << GetLastError();
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
    if (GetParam().language == kEnglishLibrary.language) {
        EXPECT_EQ(FamilyName(dc), "Tahoma");
    } else {
        WORD glyphs[2] = {};
        GetGlyphIndicesW(dc, L"\x3042\x6f22", 2, glyphs, GGI_MARK_NONEXISTING_GLYPHS);
        EXPECT_TRUE(glyphs[0] != 0xFFFF && glyphs[1] != 0xFFFF) << "font " << FamilyName(dc);
    }
    HFONT marlett =
        CreateFontW(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, SYMBOL_CHARSET, 0, 0, 0, 0, L"Marlett");
    SelectObject(dc, marlett);
    EXPECT_EQ(FamilyName(dc), "Marlett");
    SelectObject(dc, old);
    DeleteObject(marlett);
    ReleaseDC(window, dc);
    DestroyWindow(window);
}

TEST_P(TextFitTest, EveryTextFitsItsControl) {
    const std::vector<DynamicText> dynamic = DynamicTexts();
    for (int dialog : {IDD_STATUS_WINDOW, IDD_GUIDE, IDD_VERSION, IDD_PRINTER_INFO}) {
        HWND window =
            CreateDialogParamW(module_, MAKEINTRESOURCEW(dialog), nullptr, PlainDialogProc, 0);
        ASSERT_NE(window, nullptr) << "dialog " << dialog << " error " << GetLastError();
        // The controls' own texts first, before anything is written into them.
        for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t text[512] = {};
            GetWindowTextW(child, text, 512);
            if (text[0] != L'\0' && Measured(child)) {
                Check(dialog, child, text);
            }
        }
        for (const DynamicText& row : dynamic) {
            if (row.dialog != dialog) {
                continue;
            }
            HWND control = GetDlgItem(window, row.item);
            ASSERT_NE(control, nullptr) << "dialog " << dialog << " item " << row.item;
            const std::vector<std::wstring> texts = Texts(module_, row);
            EXPECT_FALSE(texts.empty()) << "dialog " << dialog << " item " << row.item;
            for (const std::wstring& text : texts) {
                Check(dialog, control, text);
            }
        }
        DestroyWindow(window);
    }
    printf("%s: %d texts measured, %d cut\n", GetParam().file, measured_, cut_);
}

INSTANTIATE_TEST_SUITE_P(Languages, TextFitTest, ::testing::ValuesIn(kLanguageLibraries),
                         [](const ::testing::TestParamInfo<LanguageLibrary>& info) {
                             return std::string(info.param.file).substr(7, 2);
                         });

} // namespace
} // namespace krxtest
