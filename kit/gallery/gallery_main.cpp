// kitgallery.exe: shows one gallery page, or lists them.
//
//   kitgallery --list
//   kitgallery --page NAME                 (until the window is closed)
//   kitgallery --page NAME --capture DIR   (for scripts/screenshots.sh)
//
// In capture mode, once the page's window has been shown for a moment the
// gallery writes DIR\NAME.ready holding the window rectangle on the screen
// ("left top width height"), waits for DIR\NAME.done, and closes the page.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/module/module_state.h"
#include "gallery.h"

namespace gallery {

namespace {

std::vector<Page>& Pages() {
    static std::vector<Page> pages;
    return pages;
}

constexpr UINT kCapturePollMs = 100;
constexpr DWORD kSettleMs = 1500;     // animations and late paints have happened
constexpr DWORD kCloseGraceMs = 3000; // a page that ignores WM_CLOSE is ended
constexpr DWORD kGiveUpMs = 60000;

enum class CaptureState { Settling, Reported, Closing };

struct CaptureSession {
    std::string dir;
    std::string page;
    DWORD started = 0;
    DWORD closing = 0;
    HWND window = nullptr;
    CaptureState state = CaptureState::Settling;
};
CaptureSession g_capture;

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

BOOL CALLBACK FirstShownWindow(HWND hwnd, LPARAM found) {
    if (IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND PageWindow() {
    HWND active = GetActiveWindow();
    if (active != nullptr && IsWindowVisible(active)) {
        return active;
    }
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FirstShownWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

void Report(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    std::string path = g_capture.dir + "\\" + g_capture.page + ".ready";
    FILE* f = fopen(path.c_str(), "w");
    if (f != nullptr) {
        fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        fclose(f);
    }
}

void CALLBACK CaptureTick(HWND, UINT, UINT_PTR, DWORD) {
    DWORD now = GetTickCount();
    if (now - g_capture.started > kGiveUpMs) {
        ExitProcess(3);
    }
    switch (g_capture.state) {
    case CaptureState::Settling:
        if (now - g_capture.started >= kSettleMs) {
            g_capture.window = PageWindow();
            if (g_capture.window != nullptr) {
                // Photographed as the user sees a window in use: active.
                // Without a window manager on the virtual display the X focus
                // may stay elsewhere, so the caption is asked to draw active.
                SetForegroundWindow(g_capture.window);
                SendMessageA(g_capture.window, WM_NCACTIVATE, TRUE, 0);
                RedrawWindow(g_capture.window, nullptr, nullptr,
                             RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
                Report(g_capture.window);
                g_capture.state = CaptureState::Reported;
            }
        }
        break;
    case CaptureState::Reported:
        if (FileExists(g_capture.dir + "\\" + g_capture.page + ".done")) {
            PostMessageA(g_capture.window, WM_CLOSE, 0, 0);
            g_capture.closing = now;
            g_capture.state = CaptureState::Closing;
        }
        break;
    case CaptureState::Closing:
        if (IsWindow(g_capture.window) && now - g_capture.closing > kCloseGraceMs) {
            EndDialog(g_capture.window, IDCANCEL);
        }
        if (IsWindow(g_capture.window) && now - g_capture.closing > 2 * kCloseGraceMs) {
            ExitProcess(4);
        }
        break;
    }
}

HMODULE LoadKitLibrary(const char* name) {
    HMODULE module = LoadLibraryA(name);
    if (module == nullptr) {
        fprintf(stderr, "kitgallery: cannot load %s (error %lu)\n", name, GetLastError());
    }
    return module;
}

} // namespace

PageRegistration::PageRegistration(const char* name, const char* description, PageFn run) {
    Pages().push_back({name, description, run});
}

const Page* FindPage(const char* name) {
    for (const Page& p : Pages()) {
        if (strcmp(p.name, name) == 0) {
            return &p;
        }
    }
    return nullptr;
}

} // namespace gallery

int main(int argc, char** argv) {
    const char* pageName = nullptr;
    const char* captureDir = nullptr;
    bool list = false;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--list") == 0) {
            list = true;
        } else if (strcmp(argv[i], "--page") == 0 && i + 1 < argc) {
            pageName = argv[++i];
        } else if (strcmp(argv[i], "--capture") == 0 && i + 1 < argc) {
            captureDir = argv[++i];
        } else {
            pageName = nullptr;
            list = false;
            break;
        }
    }
    if (list) {
        for (const gallery::Page& p : gallery::Pages()) {
            printf("%s\t%s\n", p.name, p.description);
        }
        return 0;
    }
    const gallery::Page* page = pageName != nullptr ? gallery::FindPage(pageName) : nullptr;
    if (page == nullptr) {
        fprintf(stderr, "usage: kitgallery --list | --page NAME [--capture DIR]\n");
        return 2;
    }

    krx::InitializeModuleState();
    krx::SetSelfModule(GetModuleHandleA(nullptr));
    gallery::PageContext context{};
    context.gallery = GetModuleHandleA(nullptr);
    context.language = gallery::LoadKitLibrary("krxres_en.dll");
    context.pictures = gallery::LoadKitLibrary("kitpict.dll");
    context.ink = gallery::LoadKitLibrary("kitink.dll");
    krx::ThisCall().resourceModule = context.language;

    UINT_PTR timer = 0;
    if (captureDir != nullptr) {
        gallery::g_capture.dir = captureDir;
        gallery::g_capture.page = page->name;
        gallery::g_capture.started = GetTickCount();
        timer = SetTimer(nullptr, 0, gallery::kCapturePollMs, gallery::CaptureTick);
    }
    int result = page->run(context);
    if (timer != 0) {
        KillTimer(nullptr, timer);
    }
    krx::ThisCall().resourceModule = nullptr;
    for (HMODULE m : {context.ink, context.pictures, context.language}) {
        if (m != nullptr) {
            FreeLibrary(m);
        }
    }
    return result;
}
