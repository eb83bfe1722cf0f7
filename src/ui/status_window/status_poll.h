// The status a window follows: the tick that checks the printer, the read
// of its reply (from the library, the store or the debug value), the class
// it gives, the message, picture, sound and ink gauges that show it, and
// the information extras of a Detail window. What only the window can do
// (offer trouble help, repair the library, switch or close) comes back to
// it as a StatusShown.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "comm/status_channels.h"
#include "graphics/tip_list.h"
#include "status/status_reply.h"
#include "ui/status_window/information_dialog.h"
#include "ui/status_window/ink_gauges.h"
#include "ui/status_window/monitored_printer.h"
#include "ui/status_window/status_sound.h"
#include "ui/status_window/status_view.h"

namespace krx {

class CBxApi;

// Results of one status tick.
constexpr int kTickRead = 1;
constexpr int kTickNothing = 0;
constexpr int kTickFailure = -1;
constexpr int kTickOtherPrinter = -2;

// Status classes the tick shows for its own failures.
constexpr int kClassNoAnswer = 0;
constexpr int kClassOtherPrinter = 16;

// What the window does after a status was shown.
struct StatusShown {
    enum Trouble : int {
        kTroubleKept,    // the trouble help stays as it is
        kTroubleOfClass, // the help for troubleClass
        kTroubleNone,    // no trouble help
    };
    enum Read : int {
        kNotRead,
        kStatusRead, // the library answered: it needs no repair
        kReadFailed, // the exchange failed: a repair may help
    };
    Trouble trouble = kTroubleKept;
    int troubleClass = -1;
    Read read = kNotRead;
};

class StatusPoll {
  public:
    // The window's printer, status display, ink gauges and resource path
    // (handed to the external program); they outlive the poll.
    StatusPoll(const MonitoredPrinter& printer, StatusView& display, InkGauges& gauges,
               const std::string& resourcePath)
        : m_Printer(printer), m_Display(display), m_InkGauges(gauges),
          m_strResourcePath(resourcePath) {}

    // The window is set up: its controls, the call's library and channels,
    // the model's debug switch and sounds and the status interval.
    void Open(HWND window, CBxApi* library, StatusChannels* channels);
    void StopSound() { m_Sound.Stop(); }

    // One status tick: what the tick found (kTick...), the channel it
    // selects on the way, and then the status it shows or reads.
    int TickResult();
    int SelectChannel(int result);
    StatusShown ShowTickResult(int result, int viewType, TipList& tips);
    // Reads and shows a status: from the store while another process
    // sends a job (fromRegistry), else from the channel.
    StatusShown ReadStatus(int fromRegistry, int viewType, TipList& tips);
    // The status of a pop-up before its first tick, from the store.
    StatusShown ShowInitialStatus();
    // The library's answer on the remote information channel.
    void OnInformationReply(LPARAM channel);

    // Whether the user wants the status class to bring the window up.
    bool PopsUp(int statusClass) const;
    // A pop-up (or a Detail window that came from the meter) closes once
    // the status needs no attention.
    bool ShouldClose(int baseViewType, int viewType) const;
    // The wait until the next status tick.
    UINT NextPeriodMs() const;

    int StatusClass() const { return m_nStatusClass; }
    const ParsedStatusRecord& Status() const { return m_Status; }
    int Printing() const { return m_bPrinting; }
    int DebugStatus() const { return m_bDebugStatus; }
    int Interval() const { return m_nStatusInterval; }
    // The class the hidden meter showed when it was last put away.
    int MeterStatusClass() const { return m_nMeterStatusClass; }
    void NoteMeterStatus() { m_nMeterStatusClass = m_nStatusClass; }
    void ForgetMeterStatus() { m_nMeterStatusClass = -1; }
    InformationDialog& Information() { return m_Information; }

  private:
    // Shows the current class's message, picture and sound; readResult < 0:
    // the read failed.
    StatusShown ShowStatus(int readResult);
    int ReadReply(int fromRegistry, std::vector<unsigned char>* reply);
    void StartExternalProgram(int viewType);
    void UpdateDetailExtras(int readResult, int viewType);
    void ReceiveRemoteCount();
    void UpdateInkDisplay(int noInformation, int viewType, TipList& tips);
    int NotifySettings(int statusClass, int* sound, int* soundNumber) const;

    const MonitoredPrinter& m_Printer;
    StatusView& m_Display;
    InkGauges& m_InkGauges;
    const std::string& m_strResourcePath;
    HWND m_hWnd = nullptr;
    CBxApi* m_pBxApi = nullptr;
    StatusChannels* m_pChannels = nullptr;

    int m_nStatusInterval = 10; // seconds, from the module-wide interval
    int m_bPrinting = 0;        // a job is being sent: poll every second
    int m_bStatusSkip = 0;
    int m_nStatusClass = -1;      // current class 0..27
    int m_nMeterStatusClass = -1; // class shown by the meter
    int m_bDebugStatus = 0;       // status reply read from the registry
    int m_bRemoteRequest = 0;     // remote information request pending
    ParsedStatusRecord m_Status;  // last decoded reply
    int m_bModelVerified = 0;
    int m_bExternalStarted = 0; // "CSICEXE" program started
    StatusSound m_Sound;
    InformationDialog m_Information;
};

} // namespace krx
