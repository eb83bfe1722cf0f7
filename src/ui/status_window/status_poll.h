// The status a window follows: the tick that checks the printer, the read
// of its reply (from the library, the store or the debug value), the class
// it gives, the message, picture, trouble help, sound and ink gauges that
// show it, the information extras of a Detail window, and the repair of the
// library when the exchange fails. What the window does with its views
// (switch, hide, close) it decides from the StatusOutcome.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "comm/status_channels.h"
#include "graphics/tip_list.h"
#include "status/status_reply.h"
#include "ui/status_window/ink_gauges.h"
#include "ui/status_window/monitored_printer.h"
#include "ui/status_window/status_sound.h"
#include "ui/status_window/status_view.h"
#include "ui/status_window/status_window_recovery.h"
#include "ui/status_window/trouble_help.h"

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

// What a status tick or the library's news leaves for the window's view
// decisions.
enum class StatusOutcome : int {
    kNotShown,    // nothing was read: a repair of the library is under way, or no news
    kPrintToFile, // the meter of a print-to-file port: nothing answers behind it
    kShown,       // the status class (StatusClass) is shown
};

class StatusPoll {
  public:
    // The window's printer, status display, ink gauges, trouble help and
    // resource path (handed to the external program); they outlive the poll.
    StatusPoll(const MonitoredPrinter& printer, StatusView& display, InkGauges& gauges,
               TroubleHelp& help, const std::string& resourcePath)
        : m_Printer(printer), m_Display(display), m_InkGauges(gauges), m_Help(help),
          m_strResourcePath(resourcePath) {}

    // The window is set up: its controls, the call's library and channels,
    // the model's debug switch and sounds and the status interval.
    void Open(HWND window, CBxApi* library, StatusChannels* channels);
    void StopSound() { m_Sound.Stop(); }

    // One status tick in the view shown: checks the printer, selects its
    // channel, reads and shows its status, and repairs the library when the
    // exchange failed.
    StatusOutcome Tick(int viewType, TipList& tips);
    // The library's news on a channel: the status is read and shown when it
    // is the status channel's.
    StatusOutcome OnStatusNews(LPARAM channel, int viewType, TipList& tips);
    // The status of a pop-up before its first tick, from the store.
    void ShowInitialStatus(int viewType);
    // The library's answer on the remote information channel.
    void OnInformationReply(LPARAM channel);

    // Whether the user wants the status class to bring the window up.
    bool PopsUp(int statusClass) const;
    // The wait until the next status tick.
    UINT NextPeriodMs() const;

    int StatusClass() const { return m_nStatusClass; }
    const ParsedStatusRecord& Status() const { return m_Status; }
    int Printing() const { return m_bPrinting; }
    int DebugStatus() const { return m_bDebugStatus; }
    int Interval() const { return m_nStatusInterval; }
    LibraryRecovery& Recovery() { return m_Recovery; }
    const LibraryRecovery& Recovery() const { return m_Recovery; }

  private:
    // What the tick found (kTick...), and with the channel it selects.
    int TickResult();
    int SelectChannel(int result);
    void ShowTickResult(int result, int viewType, TipList& tips);
    // Reads and shows a status: from the store while another process
    // sends a job (fromRegistry), else from the channel.
    void ReadStatus(int fromRegistry, int viewType, TipList& tips);
    // Shows the current class's message, picture, trouble help and sound;
    // readResult < 0: the read failed.
    void ShowStatus(int readResult, int viewType);
    // No status can be told: the message says so.
    void ShowNotAvailable(int viewType);
    int ReadReply(int fromRegistry, std::vector<unsigned char>* reply);
    void StartExternalProgram(int viewType);
    void UpdateDetailExtras(int readResult, int viewType);
    void ReceiveRemoteCount();
    void UpdateInkDisplay(int noInformation, int viewType, TipList& tips);
    int NotifySettings(int statusClass, int* sound, int* soundNumber) const;

    const MonitoredPrinter& m_Printer;
    StatusView& m_Display;
    InkGauges& m_InkGauges;
    TroubleHelp& m_Help;
    const std::string& m_strResourcePath;
    HWND m_hWnd = nullptr;
    CBxApi* m_pBxApi = nullptr;
    StatusChannels* m_pChannels = nullptr;

    int m_nStatusInterval = 10; // seconds, from the module-wide interval
    int m_bPrinting = 0;        // a job is being sent: poll every second
    int m_bStatusSkip = 0;
    int m_nStatusClass = -1;     // current class 0..27
    int m_bDebugStatus = 0;      // status reply read from the registry
    int m_bRemoteRequest = 0;    // remote information request pending
    ParsedStatusRecord m_Status; // last decoded reply
    int m_bModelVerified = 0;
    int m_bExternalStarted = 0; // "CSICEXE" program started
    StatusSound m_Sound;
    LibraryRecovery m_Recovery; // repairs the library after failed exchanges
};

} // namespace krx
