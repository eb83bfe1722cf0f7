// What the port-monitor client decides before it talks to anyone: which
// server a printer name points at, how the binding to it is made, what a
// printer name looks like on the server, and how many bytes each job
// property carries. Pure code (no Windows headers): names come from the host
// and from the spooler.
#pragma once

#include <cstddef>
#include <string>

namespace krx {
namespace pm {

// Sent in place of data that is missing or empty: an empty array cannot be
// sent over the wire.
constexpr char kDummyData[] = "NVMA_DUMMY_DATA";
constexpr int kDummyDataLength = 15;

// Name of the port monitor's pipe on a print server ("\pipe\" + name).
constexpr char kPipeName[] = "NORVA_PM_RPC_05";

// Longest a remote call may take: a print server that accepted a call and
// then stopped answering must not hold the job monitor (and with it the
// window's export) for ever. Ample for a busy server, which answers in
// about a millisecond.
constexpr unsigned long kCallLimitMs = 10000;
// Once the job monitor is being destroyed: enough for a server that works,
// short enough that a slow one cannot hold the window's export.
constexpr unsigned long kStoppingCallLimitMs = 1000;

constexpr char kProtocolPipe[] = "ncacn_np";
constexpr char kProtocolLocal[] = "ncalrpc";

// Whether an RPC failure means that the session's connection is gone: the
// server is unreachable, busy, gone in the middle of a call or restarted
// (it no longer knows the session's context), or the call was cancelled at
// its limit. Other failures (a reply that does not fit, a fault the server
// sent) leave the connection as it was.
bool MeansConnectionGone(unsigned long failure);

// Longest server name that is still used.
constexpr size_t kMaxServerName = 259;

// Job properties the plug-in reads and writes.
enum JobProperty : int {
    kPropertyJobText = 1,
    kPropertySpoolerJobId = 3,
    kPropertyPaper = 21,
    kPropertyJobStatus = 101,
    kPropertySheets = 102,
    kPropertyProgress = 103,
    kPropertyTime = 104,
    kPropertyCommand = 201,
};

// Bytes that go out with SetJobProperty: for the string properties 0 and 1
// the text's length plus its terminator (0 without a text), a fixed size for
// the others, 0 for properties without data.
int JobPropertyDataSize(int property, const char* text);

// The server of a printer named "\\server\printer"; empty when the name
// does not begin with two backslashes, when no backslash follows the server
// part, when the server part is empty, or when it is longer than
// kMaxServerName characters.
std::string ServerNameOf(const char* printerName);

// The printer's name as the port monitor on the server knows it: the text
// after the first backslash that follows the leading two. A name that has no
// such backslash is sent as it is; a null name as an empty one.
const char* WithoutServerPart(const char* printerName);

struct BindingParts {
    std::string protocol;
    std::string networkAddress;
    std::string endpoint;
};

// "\pipe\" + pipe name.
std::string PipeEndpoint(const std::string& pipeName);

// The binding for a server: "." or this computer's own name (or none) mean
// this computer, reached over ncalrpc without an endpoint; another server is
// reached with the requested protocol (ncacn_np when none) at the requested
// endpoint (the pipe endpoint for ncacn_np when none).
BindingParts ChooseBinding(const std::string& server, const std::string& computerName,
                           const std::string& protocol, const std::string& endpoint,
                           const std::string& pipeName = kPipeName);

} // namespace pm
} // namespace krx
