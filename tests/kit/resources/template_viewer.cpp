// Opens the status window template of a language library in one of its
// views, filled with sample texts, pictures and ink levels, and writes a
// screenshot of the window as a 24-bit BMP. A tool for looking at the
// layout under Xvfb, not a test:
//
//     template_viewer.exe krxres_en.dll 1|2|3 out.bmp [notips] [noink]
//
// The items are shown and hidden as the status window's views do; the
// product's own picture, meter and icon-button controls are stood in for by
// simple painting here.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "resource_ids.h"

namespace {

HMODULE g_language = nullptr;
HMODULE g_pictures = nullptr;
int g_view = 1;
bool g_tips = true;
bool g_ink = true;
WNDPROC g_staticProc = nullptr;

std::string Text(UINT id, const char* fallback = "") {
    char buffer[1024] = {};
    return LoadStringA(g_language, id, buffer, sizeof(buffer)) > 0 ? buffer : fallback;
}

// Placeholder of the ink library's gauge class when kitink.dll is missing.
LRESULT CALLBACK PlaceholderGaugeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r;
        GetClientRect(hwnd, &r);
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// Pictures and meter: painted here in place of the product's controls.
LRESULT CALLBACK PaintedStaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) {
        return CallWindowProcA(g_staticProc, hwnd, message, wParam, lParam);
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    int id = GetDlgCtrlID(hwnd);
    if (id == IDC_JOB_METER) {
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        RECT bar = r;
        bar.right = r.left + (r.right - r.left) * 2 / 5;
        HBRUSH brush = CreateSolidBrush(GetSysColor(COLOR_ACTIVECAPTION));
        FillRect(dc, &bar, brush);
        DeleteObject(brush);
    } else {
        int bitmap = id == IDC_JOB_ANIMATION ? 589 : 536;
        HBITMAP picture = g_pictures != nullptr
                              ? static_cast<HBITMAP>(LoadImageA(
                                    g_pictures, MAKEINTRESOURCEA(bitmap), IMAGE_BITMAP, 0, 0, 0))
                              : nullptr;
        if (picture != nullptr) {
            HDC memory = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(memory, picture);
            BitBlt(dc, 0, 0, r.right, r.bottom, memory, 0, 0, SRCCOPY);
            SelectObject(memory, old);
            DeleteDC(memory);
            DeleteObject(picture);
        } else {
            FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
        }
    }
    EndPaint(hwnd, &ps);
    return 0;
}

void Show(HWND dialog, int id, bool shown) {
    HWND item = GetDlgItem(dialog, id);
    if (item != nullptr) {
        ShowWindow(item, shown ? SW_SHOW : SW_HIDE);
    }
}

RECT ItemRect(HWND dialog, int id) {
    RECT r = {};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    return r;
}

// Moves an item by dy pixels in the dialog's client coordinates.
void MoveItem(HWND dialog, int id, int dy) {
    HWND item = GetDlgItem(dialog, id);
    RECT r = ItemRect(dialog, id);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(item, nullptr, r.left, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void ApplyView(HWND dialog) {
    const bool popup = g_view == 1, detail = g_view == 2, progress = g_view == 3;
    for (int id : {IDC_STATUS_PICTURE, IDC_STATUS_TEXT, IDC_TROUBLE_LABEL, IDC_TROUBLE_HELP}) {
        Show(dialog, id, !progress);
    }
    Show(dialog, IDC_POPUP_JOB_NAME, popup);
    Show(dialog, IDC_CANCEL_PRINTING, popup);
    Show(dialog, IDOK, detail);
    for (int id :
         {IDC_JOB_DOCUMENT, IDC_JOB_SHEETS, IDC_JOB_TIME, IDC_JOB_FRAME, IDC_JOB_METER,
          IDC_JOB_DETAILS, IDC_JOB_ANIMATION, IDC_JOB_CANCEL, IDC_JOB_PAUSE, IDC_TIPS_BUTTON}) {
        Show(dialog, id, progress);
    }
    Show(dialog, IDC_INK_FRAME, !detail);
    Show(dialog, IDC_DETAIL_INK_FRAME, detail);
    Show(dialog, IDC_INFO_BUTTON, detail);
    Show(dialog, IDC_INFO_LINE, detail);
    Show(dialog, IDC_POPUP_MARKER, !detail);
    Show(dialog, IDC_DETAIL_MARKER, detail);

    // Detail: the status text reaches up to the picture's top.
    if (detail) {
        RECT text = ItemRect(dialog, IDC_STATUS_TEXT);
        RECT picture = ItemRect(dialog, IDC_STATUS_PICTURE);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&text), 2);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&picture), 2);
        SetWindowPos(GetDlgItem(dialog, IDC_STATUS_TEXT), nullptr, text.left, picture.top,
                     text.right - text.left, text.bottom - picture.top, SWP_NOZORDER);
    }
    // Progress without ink: the ink area collapses and the tips move up.
    int collapse = 0;
    if (progress && !g_ink) {
        RECT frame = ItemRect(dialog, IDC_INK_FRAME);
        RECT marker = ItemRect(dialog, IDC_POPUP_MARKER);
        collapse = marker.top - frame.top;
        for (int id : {IDC_INK_FRAME, IDC_INK_BLACK_LABEL, IDC_INK_COLOR_LABEL, IDC_INK_BLACK,
                       IDC_INK_COLOR}) {
            Show(dialog, id, false);
        }
        for (int id : {IDC_TIPS_BUTTON, IDC_TIP_TEXT, IDC_TIP_HEADING, IDC_TIP_HELP}) {
            MoveItem(dialog, id, -collapse);
        }
    }

    RECT window;
    GetWindowRect(dialog, &window);
    int height = window.bottom - window.top;
    if (popup) {
        height = ItemRect(dialog, IDC_POPUP_MARKER).bottom - window.top;
    } else if (detail) {
        height = ItemRect(dialog, IDC_DETAIL_MARKER).bottom - window.top;
    } else if (!g_tips) {
        height = ItemRect(dialog, IDC_TIP_TEXT).top - window.top;
    } else {
        RECT frame = ItemRect(dialog, IDC_INK_FRAME);
        height -= g_ink ? 0 : frame.bottom - frame.top;
    }
    SetWindowPos(dialog, nullptr, 40, 40, window.right - window.left, height, SWP_NOZORDER);
}

void FillSamples(HWND dialog) {
    std::string printer = "Kit Printer KX500";
    if (g_view == 3) {
        SetWindowTextA(dialog, (printer + " - KITPORT1:").c_str());
    } else {
        SetWindowTextA(dialog, (Text(1100, "Printer Status") + " : " + printer).c_str());
    }
    HICON icon = LoadIconA(g_language, MAKEINTRESOURCEA(IDI_STATUS_WINDOW));
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));

    SetDlgItemTextA(dialog, IDC_STATUS_TEXT, Text(g_view == 1 ? 3021 : 3019).c_str());
    SetDlgItemTextA(dialog, IDC_POPUP_JOB_NAME, "Quarterly report - Sales.doc");
    SetDlgItemTextA(dialog, IDC_INFO_LINE, "Ink absorber: 35 % used");
    SetDlgItemTextA(dialog, IDC_JOB_DOCUMENT, "Quarterly report - Sales.doc");
    char line[256];
    snprintf(line, sizeof(line), Text(IDS_JOB_SHEETS).c_str(), 2, 5);
    SetDlgItemTextA(dialog, IDC_JOB_SHEETS, line);
    snprintf(line, sizeof(line), Text(IDS_JOB_MINUTES_LEFT).c_str(), 3u);
    SetDlgItemTextA(dialog, IDC_JOB_TIME, line);
    std::string details = Text(IDS_JOB_MEDIA_TYPE) + " : " + Text(1562) + "\r\n" +
                          Text(IDS_JOB_PAPER_SIZE) + " : A4\r\n";
    SetDlgItemTextA(dialog, IDC_JOB_DETAILS, details.c_str());
    SetDlgItemTextA(dialog, IDC_JOB_PAUSE, Text(IDS_JOB_PAUSE).c_str());
    SetDlgItemTextA(dialog, IDC_TIP_TEXT, Text(IDS_TIP_TEXT_BASE).c_str());
    SetDlgItemTextA(dialog, IDC_TIPS_BUTTON, Text(IDS_TIPS_BUTTON).c_str());

    // Ink levels through the gauges' own protocol.
    SendDlgItemMessageA(dialog, IDC_INK_BLACK, WM_USER, 0, 6);
    SendDlgItemMessageA(dialog, IDC_INK_COLOR, WM_USER, 5, 6);
    LONG black[7] = {6, 12, 0, 0, 0, 0, 0};
    LONG colour[7] = {6, 12, 80, 45, 65, 30, 90};
    SendDlgItemMessageA(dialog, IDC_INK_BLACK, WM_USER, 1, reinterpret_cast<LPARAM>(black));
    SendDlgItemMessageA(dialog, IDC_INK_COLOR, WM_USER, 6, reinterpret_cast<LPARAM>(colour));
    SendDlgItemMessageA(dialog, IDC_INK_BLACK, WM_USER, 2, 0);

    for (int id : {IDC_STATUS_PICTURE, IDC_JOB_ANIMATION, IDC_JOB_METER}) {
        HWND item = GetDlgItem(dialog, id);
        g_staticProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(item, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PaintedStaticProc)));
    }
    RECT r = {0, 0, 109, 86};
    SetWindowPos(GetDlgItem(dialog, IDC_STATUS_PICTURE), nullptr, 0, 0, r.right, r.bottom,
                 SWP_NOMOVE | SWP_NOZORDER);
    SetWindowPos(GetDlgItem(dialog, IDC_JOB_ANIMATION), nullptr, 0, 0, 100, 85,
                 SWP_NOMOVE | SWP_NOZORDER);
}

// The tips button, drawn like the product's icon button.
void DrawTipsButton(const DRAWITEMSTRUCT* item) {
    RECT r = item->rcItem;
    DrawFrameControl(item->hDC, &r, DFC_BUTTON, DFCS_BUTTONPUSH);
    HICON icon = static_cast<HICON>(
        LoadImageA(g_language, MAKEINTRESOURCEA(IDI_TIPS), IMAGE_ICON, 18, 18, 0));
    int y = (r.bottom - 18 - r.top) / 2;
    DrawIconEx(item->hDC, r.left + 3 + 2, y, icon, 18, 18, 0, nullptr, DI_NORMAL);
    RECT caption = {r.left + 3 + 18, r.top, r.right - 3, r.bottom};
    char text[64] = {};
    GetWindowTextA(item->hwndItem, text, sizeof(text));
    SetBkMode(item->hDC, TRANSPARENT);
    DrawTextA(item->hDC, text, -1, &caption, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    DestroyIcon(icon);
}

INT_PTR CALLBACK ViewerProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        FillSamples(dialog);
        ApplyView(dialog);
        return TRUE;
    case WM_DRAWITEM:
        if (reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->CtlID == IDC_TIPS_BUTTON) {
            DrawTipsButton(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

bool WriteScreenshot(HWND window, const char* path) {
    RECT r;
    GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP shot = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, shot);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    GdiFlush();
    const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
    file.bfSize = file.bfOffBits + stride * h;
    FILE* out = fopen(path, "wb");
    bool ok = out != nullptr;
    if (ok) {
        fwrite(&file, sizeof(file), 1, out);
        fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out);
        fwrite(bits, stride, h, out);
        fclose(out);
    }
    DeleteObject(shot);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: template_viewer LANGDLL 1|2|3 OUT.bmp [notips] [noink]\n");
        return 2;
    }
    g_view = atoi(argv[2]);
    for (int i = 4; i < argc; ++i) {
        g_tips = g_tips && strcmp(argv[i], "notips") != 0;
        g_ink = g_ink && strcmp(argv[i], "noink") != 0;
    }
    g_language = LoadLibraryA(argv[1]);
    if (g_language == nullptr) {
        fprintf(stderr, "cannot load %s\n", argv[1]);
        return 1;
    }
    g_pictures = LoadLibraryA("kitpict.dll");
    if (LoadLibraryA("kitink.dll") == nullptr) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = PlaceholderGaugeProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = KRX_INK_GAUGE_CLASS;
        wc.style = CS_GLOBALCLASS;
        RegisterClassA(&wc);
    }
    HWND dialog =
        CreateDialogParamA(g_language, MAKEINTRESOURCEA(IDD_STATUS_WINDOW), nullptr, ViewerProc, 0);
    if (dialog == nullptr) {
        fprintf(stderr, "cannot open template 102 (error %lu)\n", GetLastError());
        return 1;
    }
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    DWORD until = GetTickCount() + 1500;
    MSG msg;
    while (GetTickCount() < until) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsDialogMessageA(dialog, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        Sleep(20);
    }
    bool ok = WriteScreenshot(dialog, argv[3]);
    DestroyWindow(dialog);
    return ok ? 0 : 1;
}
