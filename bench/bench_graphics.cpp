// Costs of the picture control and the fitted label. The picture keeps a
// device copy of what it shows: a repaint, and a paint of a picture shown
// before, is one copy, and only a change of the display makes the copies
// again. The picture's floor is a plain copy of a bitmap of the same size;
// the label's floor is setting a text that fits (font copy, one
// measurement, the text set). Prints microseconds per operation; needs a
// display.
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

    // Each run ends with a read-back of the target, so that its time covers
    // the drawing and not only the calls that queued it.
    auto readBack = [&] {
        GdiFlush();
        return GetPixel(memory, 1, 1);
    };
    const int paints = 400;
    auto paint = [&] {
        SendMessageA(pictureItem, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    };
    auto paintRun = [&](auto before) {
        return MicrosecondsPer(paints, [&](int i) {
            before(i);
            paint();
            if (i == paints - 1) {
                readBack();
            }
        });
    };
    // The status pictures of one size, each shown in turn; the first round
    // makes their device copies.
    const uint32_t ids[] = {510, 523, 536};
    picture.ShowBitmap(ids[0]);
    paint();
    const bench::Figure repaint = paintRun([](int) {});
    const bench::Figure shown = paintRun([&](int i) { picture.ShowBitmap(ids[i % 3]); });
    const bench::Figure showOnly =
        MicrosecondsPer(paints, [&](int i) { picture.ShowBitmap(ids[i % 3]); });
    // A change of the display makes every copy again.
    const bench::Figure remade = paintRun(
        [&](int) { SendMessageA(pictureItem, WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768)); });

    HDC source = CreateCompatibleDC(memory);
    HBITMAP plain = CreateCompatibleBitmap(memory, 109, 86);
    HGDIOBJ oldSource = SelectObject(source, plain);
    const bench::Figure copy = MicrosecondsPer(paints, [&](int i) {
        BitBlt(memory, 0, 0, 109, 86, source, 0, 0, SRCCOPY);
        if (i == paints - 1) {
            readBack();
        }
    });
    SelectObject(source, oldSource);
    DeleteObject(plain);
    DeleteDC(source);
    bench::Print("picture control, repaint of a 109 x 86 picture", repaint, "(copy of 109 x 86)",
                 copy, "us");
    bench::Print("picture control, 3 pictures shown and painted in turn", shown,
                 "(shown, not painted)", showOnly, "us");
    bench::Print("picture control, paint after a display change", remade, "(copy of 109 x 86)",
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
