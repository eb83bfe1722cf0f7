// Helpers of the window tests.
#include "window_fixture.h"

#include "base/store/status_store.h"
#include "kit_install.h"

namespace windowtest {

namespace {

INT_PTR CALLBACK PlainDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

} // namespace

MessageBoxRecorder::MessageBoxRecorder() : hook_(Hook, this) {}

int MessageBoxRecorder::Hook(const krx::MessageBoxRequest& request, void* self) {
    auto* recorder = static_cast<MessageBoxRecorder*>(self);
    std::lock_guard<std::mutex> guard(recorder->lock_);
    recorder->requests_.push_back(request);
    return IDOK;
}

std::vector<int> MessageBoxRecorder::TextIds() {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<int> ids;
    for (const auto& r : requests_) {
        ids.push_back(r.textId);
    }
    return ids;
}

std::vector<std::string> MessageBoxRecorder::Texts() {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<std::string> texts;
    for (const auto& r : requests_) {
        texts.push_back(r.text);
    }
    return texts;
}

void WindowTest::SetUp() {
    CleanRegistryTest::SetUp();
    bin_ = kit::ExecutableFolder();
    modelFile_ = bin_ + "KX500.ini";
    resources_ = bin_ + "krxres_en.dll";
    kit::DeleteTree(HKEY_CURRENT_USER, "Software\\NorvaKit\\BxapiSet");
}

void WindowTest::TearDown() {
    kit::RemoveSimulatedSystem();
    kit::DeleteTree(HKEY_CURRENT_USER, "Software\\NorvaKit\\BxapiSet");
    CleanRegistryTest::TearDown();
}

void WindowTest::Install(bool withLibrary) {
    kit::InstallOptions options;
    options.bxapiPath = bin_ + "BXAPI.DLL";
    options.addSpoolerPrinter = true;
    ASSERT_TRUE(kit::InstallSimulatedSystem(options));
    kit::SimPrinter::ScriptTypicalPrinter();
    if (!withLibrary) {
        // The library loads but refuses to start: the wrapper is disabled.
        kit::SimPrinter::SetNumber("InitResult", -1);
    }
}

RECT WorkArea() {
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

POINT CentredIn(const RECT& work, SIZE size) {
    return {work.left + (work.right - work.left - size.cx) / 2,
            work.top + (work.bottom - work.top - size.cy) / 2};
}

testing::AssertionResult InsideWorkArea(const RECT& r, const RECT& work) {
    if (r.left >= work.left && r.top >= work.top && r.right <= work.right &&
        r.bottom <= work.bottom) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure()
           << "window " << r.left << "," << r.top << " to " << r.right << "," << r.bottom
           << " leaves the work area " << work.left << "," << work.top << " to " << work.right
           << "," << work.bottom;
}

RECT WindowRect(HWND hwnd) {
    RECT r = {};
    GetWindowRect(hwnd, &r);
    return r;
}

SIZE TemplateSize(const std::string& resources) {
    SIZE size = {0, 0};
    HMODULE ink = LoadLibraryA("kitink.dll");
    HMODULE module = LoadLibraryA(resources.c_str());
    if (module != nullptr) {
        HWND hwnd = CreateDialogParamA(module, MAKEINTRESOURCEA(102), nullptr, PlainDialog, 0);
        if (hwnd != nullptr) {
            RECT r = WindowRect(hwnd);
            size = {r.right - r.left, r.bottom - r.top};
            DestroyWindow(hwnd);
        }
        FreeLibrary(module);
    }
    if (ink != nullptr) {
        FreeLibrary(ink);
    }
    return size;
}

std::string ResourceString(const std::string& resources, UINT id) {
    std::string text;
    HMODULE module = LoadLibraryA(resources.c_str());
    if (module != nullptr) {
        char buffer[1024] = {};
        LoadStringA(module, id, buffer, sizeof(buffer));
        text = buffer;
        FreeLibrary(module);
    }
    return text;
}

std::string StoreKeyPath() {
    std::string path;
    krx::FindStoreKey(kit::kPrinterName, krx::kStoreByPrinterName, &path);
    return path;
}

bool ItemVisible(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    return item != nullptr && (GetWindowLongA(item, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool ItemEnabled(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    return item != nullptr && IsWindowEnabled(item);
}

} // namespace windowtest
