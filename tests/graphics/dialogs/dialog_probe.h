// Helpers for driving the plug-in's dialogs in tests: a dialog subclass that
// runs a probe inside the modal loop once the dialog is up, item queries,
// and a fixture that makes a resource library the current resource module.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "base/module/module_state.h"
#include "test_support.h"

namespace dlgtest {

constexpr UINT kProbeMessage = WM_APP + 77;

// Runs `probe` from the dialog's own loop after initialisation; the probe
// ends the dialog (or leaves it to end itself).
template <typename D> class Probed : public D {
  public:
    template <typename... A> explicit Probed(A&&... args) : D(std::forward<A>(args)...) {}
    std::function<void(Probed&)> probe;
    bool probed = false;

  protected:
    BOOL OnInitDialog() override {
        BOOL result = D::OnInitDialog();
        PostMessageA(this->Hwnd(), kProbeMessage, 0, 0);
        return result;
    }
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override {
        if (message == kProbeMessage) {
            probed = true;
            if (probe) {
                probe(*this);
            }
            *result = 0;
            return true;
        }
        return D::HandleMessage(message, wParam, lParam, result);
    }
};

inline void Click(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

inline std::string ItemText(HWND dialog, int id) {
    char text[1024] = {};
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

inline std::string WindowText(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

// The item's own visibility flag (the dialog may be hidden).
inline bool IsShown(HWND dialog, int id) {
    return (GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

inline bool IsEnabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != 0;
}

inline bool IsDefaultButton(HWND dialog, int id) {
    return (GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
}

// A clean registry and one resource library as the current resource module.
class ResourceLibraryTest : public krxtest::CleanRegistryTest {
  protected:
    explicit ResourceLibraryTest(const char* library) : library_(library) {}
    void SetUp() override {
        CleanRegistryTest::SetUp();
        module_ = LoadLibraryA(library_);
        ASSERT_NE(module_, nullptr) << library_ << " error " << GetLastError();
        krx::ThisCall().resourceModule = module_;
    }
    void TearDown() override {
        krx::ThisCall().resourceModule = nullptr;
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
        CleanRegistryTest::TearDown();
    }
    HMODULE Library() const { return module_; }

  private:
    const char* library_;
    HMODULE module_ = nullptr;
};

// Writes a text file (for profiles and placeholder installed files).
inline void WriteFile(const std::string& path, const std::string& text) {
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    fwrite(text.data(), 1, text.size(), file);
    fclose(file);
}

} // namespace dlgtest
