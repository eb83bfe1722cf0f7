// The three window-opening exports: each builds a status window with the
// library wrapper and job monitor it leans on, loads the language resource
// library, runs the window modally and tears everything down in reverse
// order before it returns.
#pragma once

#include <windows.h>

#include "ui/status_window/view_table.h"

namespace krx {

// What the progress-meter system check asks of the system; tests swap it
// and restore it.
struct WindowSystemApi {
    DWORD (*majorVersion)();
};
WindowSystemApi& WindowSystem();
const WindowSystemApi& DefaultWindowSystem();

// Status interval in seconds from the resource library's text; 10 unless
// it is a number from 2 to 60.
int StatusIntervalFromText(const char* text);

// Opens the window of the view type (Popup, Detail, Progress) and returns
// the export's result: 0 after the window closed, 1 when it cannot open.
int StartMonitorWindow(int viewType, const char* printerName, const char* portName,
                       const char* modelSection, const char* modelFile, const char* resourcePath,
                       int jobId);

} // namespace krx
