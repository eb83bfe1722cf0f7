// The status window's placement and its remembered position.
#include "ui/status_window/position_memory.h"

#include <cstdint>

#include "base/registry/registry_key.h"
#include "ui/status_window/monitored_printer.h"
#include "ui/status_window/window_placement.h"

namespace krx {

namespace {

void WritePosition(RegistryKey& store, int x, int y) {
    store.WriteNumber("PopupPOSX", static_cast<DWORD>(x));
    store.WriteNumber("PopupPOSY", static_cast<DWORD>(y));
}

// A rectangle of that size at x, y, its far edges kept inside the 32-bit
// range (a stored coordinate may lie near the limit).
RECT RectAt(int32_t x, int32_t y, int32_t width, int32_t height) {
    auto farEdge = [](int32_t start, int32_t size) {
        const int64_t end = static_cast<int64_t>(start) + size;
        return static_cast<LONG>(end > INT32_MAX ? INT32_MAX : end < INT32_MIN ? INT32_MIN : end);
    };
    return RECT{x, y, farEdge(x, width), farEdge(y, height)};
}

// The work area of the monitor nearest the rectangle (the taskbar left
// out, wherever it stands); the primary monitor's when that cannot be told.
WorkArea WorkAreaNear(const RECT& rect) {
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    HMONITOR monitor = MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST);
    if (monitor == nullptr || !GetMonitorInfoA(monitor, &info)) {
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    }
    return WorkArea{info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
}

} // namespace

bool PositionMemory::Place(HWND window, int viewType, SIZE size, int forceDefaultPosition,
                           const MonitoredPrinter& printer) const {
    RECT rect = {};
    GetWindowRect(window, &rect);

    PlacementInput in = {};
    in.viewType = viewType;
    in.forceDefault = forceDefaultPosition != 0;
    // The default lies on the monitor the window stands on now.
    in.work = WorkAreaNear(rect);
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
        // A remembered position on another monitor stays on that monitor.
        const WorkArea there = WorkAreaNear(RectAt(in.candidateX, in.candidateY, size.cx, size.cy));
        if (ReachesWorkArea(there, in.candidateX, in.candidateY, size.cx, size.cy)) {
            in.work = there;
        }
    }
    const Placement placement = ComputePlacement(in);

    SetWindowPos(window, nullptr, placement.x, placement.y, size.cx, size.cy,
                 SWP_NOACTIVATE | SWP_NOZORDER);

    if (m_bRemember && (placement.xDefault || placement.yDefault || placement.clamped)) {
        WritePosition(store, placement.x, placement.y);
    }
    return true;
}

void PositionMemory::Resize(HWND window, SIZE size, const MonitoredPrinter& printer) const {
    RECT rect;
    if (!GetWindowRect(window, &rect)) {
        return;
    }
    int32_t x = rect.left;
    int32_t y = rect.top;
    const WorkArea work = WorkAreaNear(RectAt(x, y, size.cx, size.cy));
    const bool moved = ClampIntoWorkArea(work, size.cx, size.cy, &x, &y);
    SetWindowPos(window, nullptr, x, y, size.cx, size.cy, SWP_NOACTIVATE | SWP_NOZORDER);
    if (moved) {
        Save(printer, x, y);
    }
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
