// Costs of the picture control and the fitted label, which do their work on
// every paint and every text change (nothing is cached between paints).
// The picture's floor is a plain copy of a bitmap of the same size; the
// label's floor is setting a text that fits (font copy, one measurement,
// the text set). Prints microseconds per operation; needs a display.
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench_stats.h"
#include "base/module/module_state.h"
#include "graphics/BMP256Ctrl.h"
#include "graphics/fitted_label.h"

namespace {

template <typename F> bench::Figure MicrosecondsPer(int count, F f) {
    return bench::Runs([&] {
        const double start = bench::Now();
        for (int i = 0; i < count; ++i) {
            f(i);
        }
        return (bench::Now() - start) * 1e6 / count;
    });
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
    const int paints = 400;
    const bench::Figure perPaint = MicrosecondsPer(paints, [&](int i) {
        picture.ShowBitmap(ids[i % 4]);
        SendMessageA(pictureItem, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    });
    HDC source = CreateCompatibleDC(memory);
    HBITMAP plain = CreateCompatibleBitmap(memory, 109, 86);
    HGDIOBJ oldSource = SelectObject(source, plain);
    const bench::Figure copy =
        MicrosecondsPer(paints, [&](int) { BitBlt(memory, 0, 0, 109, 86, source, 0, 0, SRCCOPY); });
    SelectObject(source, oldSource);
    DeleteObject(plain);
    DeleteDC(source);
    bench::Print("picture control, paint of a 109 x 86 picture", perPaint, "(copy of 109 x 86)",
                 copy, "us");

    krx::FittedLabel label;
    label.AttachWindow(labelItem);
    const std::string shortName = "Report.doc";
    std::string longName;
    for (int i = 0; i < 8; ++i) {
        longName += "Minutes of the annual meeting ";
    }
    const int texts = 200;
    const bench::Figure fits =
        MicrosecondsPer(texts, [&](int) { label.SetFittedText(shortName.c_str()); });
    for (size_t length : {size_t{63}, size_t{240}}) {
        const std::string text = longName.substr(0, length);
        const bench::Figure cut =
            MicrosecondsPer(texts, [&](int) { label.SetFittedText(text.c_str()); });
        char name[64];
        snprintf(name, sizeof(name), "fitted label, text of %zu characters cut", length);
        bench::Print(name, cut, "(a 10-character text that fits)", fits, "us");
    }

    SelectObject(memory, old);
    DeleteObject(target);
    DeleteDC(memory);
    picture.Detach();
    label.Detach();
    DestroyWindow(host);
    FreeLibrary(pictures);
    return 0;
}
