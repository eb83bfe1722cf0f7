// The status window's template: every item the window binds exists with the
// kind the window treats it as, each view's area holds exactly that view's
// items without overlaps, the markers sit where the window's resizing
// arithmetic needs them, both languages share one layout, and the template
// really opens.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "dialog_template.h"
#include "language_library.h"
#include "common/resource_ids.h"

namespace krxtest {
namespace {

enum class Kind { PushButton, GroupBox, OwnerDrawButton, ReadOnlyEdit, Static, InkGauge };

struct RequiredItem {
    DWORD id;
    Kind kind;
};

const RequiredItem kRequiredItems[] = {
    {IDOK, Kind::PushButton},
    {IDC_STATUS_PICTURE, Kind::Static},
    {IDC_STATUS_TEXT, Kind::ReadOnlyEdit},
    {IDC_TROUBLE_HELP, Kind::PushButton},
    {IDC_POPUP_MARKER, Kind::Static},
    {IDC_DETAIL_MARKER, Kind::Static},
    {IDC_TROUBLE_LABEL, Kind::Static},
    {IDC_INFO_LINE, Kind::Static},
    {IDC_JOB_DOCUMENT, Kind::Static},
    {IDC_JOB_SHEETS, Kind::Static},
    {IDC_JOB_TIME, Kind::Static},
    {IDC_JOB_FRAME, Kind::GroupBox},
    {IDC_JOB_ANIMATION, Kind::Static},
    {IDC_JOB_METER, Kind::Static},
    {IDC_JOB_DETAILS, Kind::ReadOnlyEdit},
    {IDC_POPUP_JOB_NAME, Kind::Static},
    {IDC_JOB_CANCEL, Kind::PushButton},
    {IDC_JOB_PAUSE, Kind::PushButton},
    {IDC_CANCEL_PRINTING, Kind::PushButton},
    {IDC_INK_FRAME, Kind::GroupBox},
    {IDC_INK_BLACK_LABEL, Kind::Static},
    {IDC_INK_COLOR_LABEL, Kind::Static},
    {IDC_INK_BLACK, Kind::InkGauge},
    {IDC_INK_COLOR, Kind::InkGauge},
    {IDC_TIPS_BUTTON, Kind::OwnerDrawButton},
    {IDC_TIP_TEXT, Kind::ReadOnlyEdit},
    {IDC_TIP_HEADING, Kind::Static},
    {IDC_TIP_HELP, Kind::PushButton},
    {IDC_INFO_BUTTON, Kind::PushButton},
    {IDC_DETAIL_INK_FRAME, Kind::GroupBox},
};

// What each view shows (the window's view table with the ink area expanded
// and the trouble help offered), and the template items the view leaves
// visible although they are not its own (disabled or untouched).
struct View {
    const char* name;
    std::vector<DWORD> shown;
    std::vector<DWORD> strays;
};

const std::vector<DWORD> kInkItems = {IDC_INK_BLACK_LABEL, IDC_INK_COLOR_LABEL, IDC_INK_BLACK,
                                      IDC_INK_COLOR};
const std::vector<DWORD> kTipItems = {IDC_TIPS_BUTTON, IDC_TIP_TEXT, IDC_TIP_HEADING, IDC_TIP_HELP};

std::vector<DWORD> Join(std::vector<DWORD> a, const std::vector<DWORD>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

View PopupView() {
    return {"Popup",
            Join({IDC_STATUS_PICTURE, IDC_STATUS_TEXT, IDC_POPUP_JOB_NAME, IDC_CANCEL_PRINTING,
                  IDC_INK_FRAME, IDC_TROUBLE_LABEL, IDC_TROUBLE_HELP, IDC_POPUP_MARKER},
                 kInkItems),
            {IDC_TIP_TEXT, IDC_TIP_HEADING, IDC_TIP_HELP}};
}

View DetailView() {
    return {"Detail",
            Join({IDC_STATUS_PICTURE, IDC_STATUS_TEXT, IDOK, IDC_DETAIL_INK_FRAME, IDC_INFO_BUTTON,
                  IDC_INFO_LINE, IDC_TROUBLE_LABEL, IDC_TROUBLE_HELP, IDC_DETAIL_MARKER},
                 kInkItems),
            {IDC_TIP_TEXT, IDC_TIP_HEADING, IDC_TIP_HELP}};
}

View ProgressView() {
    return {"Progress",
            Join(Join({IDC_JOB_DOCUMENT, IDC_JOB_SHEETS, IDC_JOB_TIME, IDC_JOB_FRAME, IDC_JOB_METER,
                       IDC_JOB_DETAILS, IDC_JOB_ANIMATION, IDC_JOB_CANCEL, IDC_JOB_PAUSE,
                       IDC_INK_FRAME, IDC_POPUP_MARKER},
                      kInkItems),
                 kTipItems),
            {}};
}

bool IsFrame(DWORD id) {
    return id == IDC_JOB_FRAME || id == IDC_INK_FRAME || id == IDC_DETAIL_INK_FRAME;
}

// Window class names compare without regard to case (the resource compiler
// may store them in capitals).
bool SameClass(const std::string& a, const char* b) {
    return lstrcmpiA(a.c_str(), b) == 0;
}

bool Intersect(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}

std::string Show(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

class StatusTemplateTest : public ::testing::TestWithParam<LanguageLibrary> {
  protected:
    void SetUp() override {
        module_ = LoadLibraryA(GetParam().file);
        ASSERT_NE(module_, nullptr) << GetParam().file;
        ASSERT_TRUE(LoadDialogTemplate(module_, IDD_STATUS_WINDOW, dialog_));
    }
    void TearDown() override {
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
    }
    RECT Rect(DWORD id) const {
        const TemplateItem* item = dialog_.Find(id);
        return item != nullptr ? item->rect : RECT{};
    }
    // Height of each view in dialog units, from the template's top edge.
    LONG ViewBottom(const View& view) const {
        if (strcmp(view.name, "Popup") == 0) {
            return Rect(IDC_POPUP_MARKER).bottom;
        }
        if (strcmp(view.name, "Detail") == 0) {
            return Rect(IDC_DETAIL_MARKER).bottom;
        }
        return dialog_.rect.bottom - dialog_.rect.top;
    }
    // The status text reaches up to the picture's top in the Detail view.
    RECT ShownRect(const View& view, DWORD id) const {
        RECT r = Rect(id);
        if (id == IDC_STATUS_TEXT && strcmp(view.name, "Detail") == 0) {
            r.top = Rect(IDC_STATUS_PICTURE).top;
        }
        return r;
    }

    HMODULE module_ = nullptr;
    DialogTemplate dialog_;
};

TEST_P(StatusTemplateTest, HasEveryItemTheWindowBindsWithItsKind) {
    EXPECT_TRUE(dialog_.style & WS_CAPTION);
    EXPECT_TRUE(dialog_.style & WS_SYSMENU);
    EXPECT_FALSE(dialog_.style & WS_VISIBLE) << "the progress meter starts hidden";
    for (const RequiredItem& required : kRequiredItems) {
        SCOPED_TRACE("item " + std::to_string(required.id));
        const TemplateItem* item = dialog_.Find(required.id);
        ASSERT_NE(item, nullptr);
        const DWORD type = item->style & 0x0F;
        switch (required.kind) {
        case Kind::PushButton:
            EXPECT_TRUE(SameClass(item->className, "Button")) << item->className;
            EXPECT_TRUE(type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) << std::hex << type;
            break;
        case Kind::GroupBox:
            EXPECT_TRUE(SameClass(item->className, "Button")) << item->className;
            EXPECT_EQ(type, static_cast<DWORD>(BS_GROUPBOX));
            break;
        case Kind::OwnerDrawButton:
            EXPECT_TRUE(SameClass(item->className, "Button")) << item->className;
            EXPECT_EQ(type, static_cast<DWORD>(BS_OWNERDRAW));
            break;
        case Kind::ReadOnlyEdit:
            EXPECT_TRUE(SameClass(item->className, "Edit")) << item->className;
            EXPECT_TRUE(item->style & ES_READONLY);
            EXPECT_TRUE(item->style & ES_MULTILINE);
            break;
        case Kind::Static:
            EXPECT_TRUE(SameClass(item->className, "Static")) << item->className;
            break;
        case Kind::InkGauge:
            EXPECT_TRUE(SameClass(item->className, KRX_INK_GAUGE_CLASS)) << item->className;
            break;
        }
    }
    std::set<DWORD> ids;
    for (const TemplateItem& item : dialog_.items) {
        if (item.id != static_cast<DWORD>(-1) && item.id != 0xFFFF) {
            EXPECT_TRUE(ids.insert(item.id).second) << "item " << item.id << " twice";
        }
    }
}

TEST_P(StatusTemplateTest, EachViewAreaHoldsItsOwnItemsAndNoOthers) {
    for (const View& view : {PopupView(), DetailView(), ProgressView()}) {
        SCOPED_TRACE(view.name);
        const LONG bottom = ViewBottom(view);
        const LONG width = dialog_.rect.right - dialog_.rect.left;
        for (DWORD id : view.shown) {
            RECT r = ShownRect(view, id);
            EXPECT_TRUE(r.bottom <= bottom && r.right <= width && r.left >= 0 && r.top >= 0)
                << "item " << id << " " << Show(r) << " outside the view's " << width << " x "
                << bottom;
        }
        for (DWORD id : view.strays) {
            EXPECT_GE(Rect(id).top, bottom) << "item " << id << " shows in the view";
        }
    }
}

TEST_P(StatusTemplateTest, ItemsShownTogetherDoNotOverlapAndFramesHoldTheirItems) {
    for (const View& view : {PopupView(), DetailView(), ProgressView()}) {
        SCOPED_TRACE(view.name);
        for (size_t i = 0; i < view.shown.size(); ++i) {
            for (size_t j = i + 1; j < view.shown.size(); ++j) {
                DWORD a = view.shown[i], b = view.shown[j];
                if (IsFrame(a) || IsFrame(b)) {
                    continue;
                }
                EXPECT_FALSE(Intersect(ShownRect(view, a), ShownRect(view, b)))
                    << "items " << a << " " << Show(ShownRect(view, a)) << " and " << b << " "
                    << Show(ShownRect(view, b));
            }
        }
    }
    for (DWORD frame : {IDC_INK_FRAME, IDC_DETAIL_INK_FRAME}) {
        for (DWORD id : kInkItems) {
            EXPECT_TRUE(Inside(Rect(id), Rect(frame)))
                << "item " << id << " outside frame " << frame;
        }
    }
    for (DWORD id : {IDC_JOB_DOCUMENT, IDC_JOB_SHEETS, IDC_JOB_TIME, IDC_JOB_METER, IDC_JOB_DETAILS,
                     IDC_JOB_ANIMATION}) {
        EXPECT_TRUE(Inside(Rect(id), Rect(IDC_JOB_FRAME))) << "item " << id;
    }
}

// The keyboard reaches each button a view shows by its own letter.
TEST_P(StatusTemplateTest, EveryButtonOfAViewHasItsOwnMnemonic) {
    for (const View& view : {PopupView(), DetailView(), ProgressView()}) {
        SCOPED_TRACE(view.name);
        std::set<std::string> letters;
        for (DWORD id : view.shown) {
            const TemplateItem* item = dialog_.Find(id);
            ASSERT_NE(item, nullptr) << "item " << id;
            const DWORD type = item->style & 0x0F;
            if (!SameClass(item->className, "Button") || type == BS_GROUPBOX) {
                continue;
            }
            const size_t mark = item->title.find('&');
            ASSERT_NE(mark, std::string::npos) << "item " << id << " \"" << item->title << "\"";
            std::string letter = item->title.substr(mark + 1, 1);
            CharLowerA(&letter[0]);
            EXPECT_TRUE(letters.insert(letter).second) << "item " << id << " repeats &" << letter;
        }
    }
}

TEST_P(StatusTemplateTest, MarkersAndTipsFitTheResizingArithmetic) {
    const RECT ink = Rect(IDC_INK_FRAME);
    const RECT marker = Rect(IDC_POPUP_MARKER);
    const LONG inkHeight = ink.bottom - ink.top;
    // Collapsing the ink area moves the tips up by (marker top - ink top) and
    // shrinks the meter by the ink frame's height: the two must agree.
    EXPECT_EQ(marker.top - ink.top, inkHeight) << "marker " << Show(marker) << " ink " << Show(ink);

    // With tips off the meter ends at the tip text's top: the tips button and
    // heading stay above it, the text and its help button go.
    const LONG tipTop = Rect(IDC_TIP_TEXT).top;
    EXPECT_LE(Rect(IDC_TIPS_BUTTON).bottom, tipTop);
    EXPECT_LE(Rect(IDC_TIP_HEADING).bottom, tipTop);
    EXPECT_GE(Rect(IDC_TIP_HELP).top, tipTop);

    // Moved up, the tips must clear the job items and buttons above the ink.
    LONG aboveInk = 0;
    for (DWORD id : ProgressView().shown) {
        const RECT r = Rect(id);
        if (r.bottom <= ink.top) {
            aboveInk = std::max(aboveInk, r.bottom);
        }
    }
    for (DWORD id : kTipItems) {
        EXPECT_GE(Rect(id).top - inkHeight, aboveInk) << "item " << id << " when the ink collapses";
    }
}

TEST_P(StatusTemplateTest, OpensForRealWithEveryItem) {
    // The ink library registers the gauge class while it is loaded.
    HMODULE ink = LoadLibraryA("kitink.dll");
    ASSERT_NE(ink, nullptr) << "kitink.dll error " << GetLastError();
    HWND window = CreateDialogParamA(module_, MAKEINTRESOURCEA(IDD_STATUS_WINDOW), nullptr,
                                     PlainDialogProc, 0);
    ASSERT_NE(window, nullptr) << "error " << GetLastError();
    for (const RequiredItem& required : kRequiredItems) {
        EXPECT_NE(GetDlgItem(window, static_cast<int>(required.id)), nullptr)
            << "item " << required.id;
    }
    // The picture must fit its 109 x 86 pixel printer picture.
    RECT picture = {};
    GetWindowRect(GetDlgItem(window, IDC_STATUS_PICTURE), &picture);
    EXPECT_GE(picture.right - picture.left, 100) << "width in pixels";
    DestroyWindow(window);
    FreeLibrary(ink);
}

TEST(StatusTemplateLanguages, ShareOneLayout) {
    HMODULE en = LoadLibraryA(kEnglishLibrary.file);
    HMODULE ja = LoadLibraryA(kJapaneseLibrary.file);
    ASSERT_NE(en, nullptr);
    ASSERT_NE(ja, nullptr);
    DialogTemplate english, japanese;
    ASSERT_TRUE(LoadDialogTemplate(en, IDD_STATUS_WINDOW, english));
    ASSERT_TRUE(LoadDialogTemplate(ja, IDD_STATUS_WINDOW, japanese));
    EXPECT_EQ(english.rect.right, japanese.rect.right);
    EXPECT_EQ(english.rect.bottom, japanese.rect.bottom);
    ASSERT_EQ(english.items.size(), japanese.items.size());
    for (size_t i = 0; i < english.items.size(); ++i) {
        const TemplateItem& a = english.items[i];
        const TemplateItem& b = japanese.items[i];
        EXPECT_EQ(a.id, b.id) << "item #" << i;
        EXPECT_EQ(a.className, b.className) << "item " << a.id;
        EXPECT_EQ(a.style, b.style) << "item " << a.id;
        EXPECT_EQ(Show(a.rect), Show(b.rect)) << "item " << a.id;
    }
    FreeLibrary(en);
    FreeLibrary(ja);
}

INSTANTIATE_TEST_SUITE_P(Languages, StatusTemplateTest, ::testing::ValuesIn(kLanguageLibraries),
                         [](const ::testing::TestParamInfo<LanguageLibrary>& info) {
                             return std::string(info.param.file).substr(7, 2);
                         });

} // namespace
} // namespace krxtest
