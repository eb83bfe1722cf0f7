// Writers of the simulated port's script and a starter of the simulated RPC
// server, for the tests and the host commands.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <string>

#include "kit_paths.h"
#include "sim_port_paths.h"

// The spooler's AddJob macro would rename SimPort::AddJob.
#undef AddJob

namespace kit {

struct SimPortJob {
    int spoolerId = 0;
    std::string text = "Document"; // the job text the port monitor reports
    bool terminated = true;        // false: the text goes out without its zero
    int textNeeded = kUnset;       // a size answer for the text that differs from it
    unsigned short paper[3] = {};  // property 21: paper word 0, media type, paper size
    int status = 0;                // property 101 (0x10 is added while paused)
    int sheets = 1;
    int polls = 3; // the job ends after this many polls
    int secondsPerPoll = 10;
    bool paused = false;
};

class SimPort {
  public:
    static void Reset(); // removes the whole script
    static void AddJob(const SimPortJob& job);
    static void SetNumber(const char* name, int value);
    static void SetText(const char* name, const std::string& text);
    static void Remove(const char* name);
};

// A job in the spooler of this process (Wine keeps jobs in the process that
// started them): started on construction, ended by End or destruction.
class SpoolerJob {
  public:
    // outputFile: where the spooler writes the job's data.
    SpoolerJob(const char* printerName, const std::string& outputFile);
    ~SpoolerJob();
    SpoolerJob(const SpoolerJob&) = delete;
    SpoolerJob& operator=(const SpoolerJob&) = delete;

    int Id() const { return id_; } // 0 when the job could not be started
    void End();

  private:
    HANDLE printer_ = nullptr;
    int id_ = 0;
};

// The simulated port monitor's RPC server, started as a child process with
// its own endpoint. It ends with its starter's process at the latest.
class PortMonitorServer {
  public:
    // What the server does with its pipe: serves RPC on it, holds its only
    // instance busy (clients wait "HoldPipeWaitMs" of the script), or
    // accepts connections and never answers the bind.
    enum class Pipe { kServe, kHoldBusy, kSilentBind };

    explicit PortMonitorServer(std::string endpoint, Pipe pipe = Pipe::kServe);
    ~PortMonitorServer(); // kills the server if it still runs
    PortMonitorServer(const PortMonitorServer&) = delete;
    PortMonitorServer& operator=(const PortMonitorServer&) = delete;

    // Starts the server and waits until it listens; false when it did not.
    bool Start(DWORD timeoutMs = 15000);
    // Asks the server to stop and waits for it.
    bool Stop(DWORD timeoutMs = 15000);
    // Ends the server at once, as a print server that goes away.
    void Kill();
    bool Running() const;
    const std::string& Endpoint() const { return endpoint_; }

  private:
    std::string endpoint_;
    Pipe pipe_;
    HANDLE process_ = nullptr;
    HANDLE stop_ = nullptr;
};

} // namespace kit
