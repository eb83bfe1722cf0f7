// The status window's placement and its remembered position.
#include "ui/status_window/position_memory.h"

#include <cstdint>

#include "entry/registry/registry_key.h"
#include "ui/status_window/monitored_printer.h"
#include "ui/status_window/window_placement.h"

namespace krx {

namespace {

void WritePosition(RegistryKey& store, int x, int y) {
    store.WriteNumber("PopupPOSX", static_cast<DWORD>(x));
    store.WriteNumber("PopupPOSY", static_cast<DWORD>(y));
}

} // namespace

bool PositionMemory::Place(HWND window, int viewType, SIZE size, int forceDefaultPosition,
                           const MonitoredPrinter& printer) const {
    RECT rect = {};
    GetWindowRect(window, &rect);

    PlacementInput in = {};
    in.viewType = viewType;
    in.forceDefault = forceDefaultPosition != 0;
    in.screenWidth = GetSystemMetrics(SM_CXFULLSCREEN);
    in.screenHeight = GetSystemMetrics(SM_CYFULLSCREEN) + GetSystemMetrics(SM_CYCAPTION);
    in.currentWidth = rect.right - rect.left;
    in.currentHeight = rect.bottom - rect.top;
    in.newWidth = size.cx;
    in.newHeight = size.cy;
    in.candidateX = rect.left;
    in.candidateY = rect.top;
    int32_t unusedX = 0;
    int32_t unusedY = 0;
    if (!DefaultPosition(in, &unusedX, &unusedY)) {
        return false;
    }

    RegistryKey store(HKEY_CURRENT_USER, nullptr);
    if (m_bRemember) {
        store = printer.OpenStoreKey();
        if (!store.IsOpen()) {
            return false;
        }
        in.candidateX = store.ReadNumber("PopupPOSX", kUnsetWindowPosition);
        in.candidateY = store.ReadNumber("PopupPOSY", kUnsetWindowPosition);
    }
    const Placement placement = ComputePlacement(in);

    SetWindowPos(window, nullptr, placement.x, placement.y, size.cx, size.cy,
                 SWP_NOACTIVATE | SWP_NOZORDER);

    if (m_bRemember && (placement.xDefault || placement.yDefault)) {
        WritePosition(store, placement.x, placement.y);
    }
    return true;
}

void PositionMemory::SaveCurrent(HWND window, const MonitoredPrinter& printer) const {
    if (!m_bRemember) {
        return;
    }
    RECT rect;
    if (!GetWindowRect(window, &rect)) {
        return;
    }
    Save(printer, rect.left, rect.top);
}

void PositionMemory::Save(const MonitoredPrinter& printer, int x, int y) const {
    if (!m_bRemember) {
        return;
    }
    RegistryKey store = printer.OpenStoreKey();
    if (store.IsOpen()) {
        WritePosition(store, x, y);
    }
}

void PositionMemory::KeepSize(RECT* rect, SIZE size) {
    if (rect == nullptr) {
        return;
    }
    rect->right = rect->left + size.cx;
    rect->bottom = rect->top + size.cy;
}

} // namespace krx
