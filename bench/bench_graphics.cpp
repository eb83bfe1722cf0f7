// Costs of the picture control and the fitted label, which do their work on
// every paint and every text change (nothing is cached between paints).
// Prints microseconds per operation; needs a display (run under xvfb-run).
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "entry/module/module_state.h"
#include "graphics/BMP256Ctrl.h"
#include "graphics/fitted_label.h"

namespace {

template <typename F> double MicrosecondsPer(int count, F f) {
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i) {
        f(i);
    }
    std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / count;
}

} // namespace

int main() {
    krx::InitializeModuleState();
    HMODULE pictures = LoadLibraryA("kitpict.dll");
    if (pictures == nullptr) {
        fprintf(stderr, "bench_graphics: kitpict.dll not found\n");
        return 1;
    }
    HWND host = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 400, 200, nullptr, nullptr,
                                nullptr, nullptr);
    HWND pictureItem = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, 0, 0, 120, 100, host,
                                       nullptr, nullptr, nullptr);
    HWND labelItem = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP, 0,
                                     110, 220, 16, host, nullptr, nullptr, nullptr);
    SendMessageA(labelItem, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);

    krx::BMP256Ctrl picture;
    picture.AttachWindow(pictureItem);
    picture.SetResourceModule(pictures);
    picture.SetBitmapSize(109, 86);

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, 120, 100);
    HGDIOBJ old = SelectObject(memory, target);
    ReleaseDC(nullptr, screen);

    const uint32_t ids[] = {510, 523, 536, 589};
    const int paints = 2000;
    double perPaint = MicrosecondsPer(paints, [&](int i) {
        picture.ShowBitmap(ids[i % 4]);
        SendMessageA(pictureItem, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    });
    printf("picture control: %.1f us per paint of a 109 x 86 picture (locate, lock, convert, copy; "
           "%d paints)\n",
           perPaint, paints);

    krx::FittedLabel label;
    label.AttachWindow(labelItem);
    const std::string shortName = "Report.doc";
    std::string longName;
    for (int i = 0; i < 8; ++i) {
        longName += "Minutes of the annual meeting ";
    }
    const int texts = 500;
    printf("fitted label: %.1f us per text that fits (%zu bytes)\n",
           MicrosecondsPer(texts, [&](int) { label.SetFittedText(shortName.c_str()); }),
           shortName.size());
    printf("fitted label: %.1f us per text cut from %zu bytes\n",
           MicrosecondsPer(texts, [&](int) { label.SetFittedText(longName.c_str()); }),
           longName.size());

    SelectObject(memory, old);
    DeleteObject(target);
    DeleteDC(memory);
    picture.Detach();
    label.Detach();
    DestroyWindow(host);
    FreeLibrary(pictures);
    return 0;
}
