// Faults at every boundary of the plug-in, walked through the DLL as the
// host calls it: the simulated printer failing at each of its calls, the
// registry holding values of the wrong type or size, and the port monitor
// failing or going away. Every export must return its code, no window may
// hang, no output may be written past its end, and the store's last good
// reply must survive a read that fails.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/registry/registry_paths.h"
#include "hardening_support.h"
#include "krxstat.h"
#include "sim_port_script.h"
#include "test_support.h"

using kit::SimPrinter;
using krxtest::StatusReply;

namespace hardening {
namespace {

constexpr int kKind4 = 0x00000004;
constexpr char kPrinterStore[] = "software\\NORVA\\KRX3\\KRXData\\NRLTarget\\Printer01";
constexpr const char* kUserSettings = krx::regkey::kKrx3Key;
constexpr int kUntouched = -99;
constexpr unsigned char kGuard = 0xA5;

// Output integers with guard bytes on both sides of each.
struct GuardedOutputs {
    struct Slot {
        unsigned char before[8];
        int value;
        unsigned char after[8];
    };
    Slot slots[5];
    GuardedOutputs() {
        std::memset(this, kGuard, sizeof(*this));
        for (Slot& s : slots) {
            s.value = kUntouched;
        }
    }
    bool Intact() const {
        for (const Slot& s : slots) {
            for (unsigned char b : s.before) {
                if (b != kGuard) {
                    return false;
                }
            }
            for (unsigned char b : s.after) {
                if (b != kGuard) {
                    return false;
                }
            }
        }
        return true;
    }
};

class FaultWalkTest : public krxtest::CleanRegistryTest {
  protected:
    void SetUp() override {
        CleanRegistryTest::SetUp();
        ASSERT_TRUE(InstallTypicalPrinter());
        kit::SimPort::Reset();
        modelFile_ = kit::ExecutableFolder() + "KX500.ini";
        plugin_.reset(new Plugin);
        ASSERT_TRUE(plugin_->Loaded());
        getStatus_ = plugin_->Get<PFN_PrGetStatusB>("PrGetStatusB");
        startS_ = plugin_->Get<PFN_PrStartKRX_S>("PrStartKRX_S");
        startD_ = plugin_->Get<PFN_PrStartKRX_D>("PrStartKRX_D");
        startPM_ = plugin_->Get<PFN_PrStartKRX_PM>("PrStartKRX_PM");
        ASSERT_TRUE(getStatus_ && startS_ && startD_ && startPM_);
    }
    void TearDown() override {
        plugin_.reset();
        kit::SimPort::Reset();
        kit::RemoveSimulatedSystem();
        CleanRegistryTest::TearDown();
    }

    // One status query on a library channel; outputs 4 to 7 and 12.
    int Query(GuardedOutputs* out) {
        return getStatus_(0, kKind4, 5, &out->slots[0].value, &out->slots[1].value,
                          &out->slots[2].value, &out->slots[3].value, kit::kPrinterName,
                          kit::kPortName, 0, kit::kModelName, &out->slots[4].value);
    }

    // Runs one window export on a thread: when the window appears, drives
    // a few of its status and progress ticks and closes it. The export's
    // result, or krxtest::WindowCall::kStillRunning when it hung.
    int RunWindow(int which, const char* resources = "krxres_en.dll", bool* opened = nullptr) {
        const std::string model = modelFile_;
        const std::string res = resources != nullptr ? resources : "";
        const char* resPath = resources != nullptr ? res.c_str() : nullptr;
        krxtest::WindowCall call([=] {
            if (which == 0) {
                return startS_(kit::kPrinterName, kit::kPortName, kit::kModelName, model.c_str(),
                               resPath);
            }
            if (which == 1) {
                return startD_(kit::kPrinterName, kit::kPortName, kit::kModelName, model.c_str(),
                               resPath);
            }
            return startPM_(kit::kPrinterName, kit::kPortName, kit::kModelName, model.c_str(),
                            resPath, 7);
        });
        HWND hwnd = call.WaitForWindow(3000);
        if (opened != nullptr) {
            *opened = hwnd != nullptr;
        }
        if (hwnd != nullptr) {
            PostTicks(hwnd, 8, 4);
            PostTicks(hwnd, 9, 3);
        }
        // Close the window and any message box or dialog it opened, as a
        // user would, until the call returns or the time is up.
        for (int round = 0; round < 75 && !call.Ended(); ++round) {
            call.CloseWindows();
            call.Wait(200);
        }
        return call.Wait(0);
    }

    static std::string StoredStatus() {
        return krxtest::ReadBinary(HKEY_CURRENT_USER, kPrinterStore, "Status");
    }

    std::unique_ptr<Plugin> plugin_;
    PFN_PrGetStatusB getStatus_ = nullptr;
    PFN_PrStartKRX_S startS_ = nullptr;
    PFN_PrStartKRX_D startD_ = nullptr;
    PFN_PrStartKRX_PM startPM_ = nullptr;
    std::string modelFile_;
};

// One fault of the simulated printer: script values on top of a good reply.
struct LibraryFault {
    const char* label;
    std::vector<std::pair<const char*, int>> numbers;
    int queryResult;    // PrGetStatusB's result
    bool replyReplaced; // a reply was still decoded and stored
};

const std::string kGoodReply = StatusReply("ST:04;IQ:5A4B3C5A463C;");
const std::string kNewReply = StatusReply("ST:04;WR:10;IQ:0C4B3C5A463C;");

std::vector<LibraryFault> LibraryFaults() {
    std::vector<LibraryFault> faults;
    for (int rc : {-1, -2, -3, -5, -10, -20, 7}) {
        faults.push_back({"size read fails", {{"StatusFirstResult", rc}}, 1, false});
    }
    faults.push_back({"size read: nothing yet", {{"StatusFirstResult", 0}}, 0, false});
    faults.push_back({"size read: busy", {{"StatusFirstResult", -17}}, -1, false});
    for (int rc : {-1, -2, -4, -5, -10}) {
        faults.push_back({"data read fails", {{"StatusSecondResult", rc}}, 1, false});
    }
    faults.push_back({"data read: nothing", {{"StatusSecondResult", 0}}, 0, false});
    faults.push_back({"data read: busy", {{"StatusSecondResult", -17}}, -1, false});
    faults.push_back({"size 0", {{"StatusAnnouncedSize", 0}}, 1, false});
    faults.push_back({"size negative", {{"StatusAnnouncedSize", -8}}, 1, false});
    faults.push_back({"size shrinks to 5 bytes", {{"StatusAnnouncedSize", 5}}, 1, false});
    faults.push_back({"size grows between the calls",
                      {{"StatusSecondResult", -4}, {"StatusReturnedLength", 4096}},
                      1,
                      false});
    faults.push_back({"reply longer than the buffer", {{"StatusReturnedLength", 100000}}, 1, true});
    faults.push_back({"returned length negative", {{"StatusReturnedLength", -50}}, 1, false});
    return faults;
}

void ScriptFault(const LibraryFault& fault) {
    SimPrinter::Reset();
    SimPrinter::ScriptTypicalPrinter();
    SimPrinter::SetNumber("Live", 1);
    SimPrinter::SetNumber("Misbehave", 1); // short buffers get part of the reply
    SimPrinter::SetStatusReply(kNewReply);
    for (const auto& n : fault.numbers) {
        SimPrinter::SetNumber(n.first, n.second);
    }
}

TEST_F(FaultWalkTest, StatusQueryKeepsTheLastGoodReplyThroughEveryLibraryFault) {
    for (const LibraryFault& fault : LibraryFaults()) {
        // A good read first: that reply is what the store must keep.
        SimPrinter::Reset();
        SimPrinter::SetStatusReply(kGoodReply);
        GuardedOutputs good;
        ASSERT_EQ(1, Query(&good)) << fault.label;
        ASSERT_EQ(kGoodReply, StoredStatus()) << fault.label;

        ScriptFault(fault);
        GuardedOutputs out;
        EXPECT_EQ(fault.queryResult, Query(&out)) << fault.label;
        EXPECT_TRUE(out.Intact()) << fault.label << ": an output was written past its end";
        EXPECT_EQ(fault.replyReplaced ? kNewReply : kGoodReply, StoredStatus()) << fault.label;
    }
}

// A library that announces a status of nearly 2 GB: the query reports that
// it has no memory, the window goes on without that reply.
const LibraryFault kHugeSize = {"size near 2 GB", {{"StatusAnnouncedSize", 0x7FFFFFF0}}, -1, false};

TEST_F(FaultWalkTest, HugeAnnouncedStatusSize) {
    SimPrinter::SetStatusReply(kGoodReply);
    GuardedOutputs good;
    ASSERT_EQ(1, Query(&good));
    ScriptFault(kHugeSize);
    GuardedOutputs out;
    EXPECT_EQ(kHugeSize.queryResult, Query(&out));
    EXPECT_TRUE(out.Intact());
    EXPECT_EQ(kGoodReply, StoredStatus());
    for (int which = 0; which < 3; ++which) {
        EXPECT_EQ(0, RunWindow(which)) << "export " << which;
    }
    EXPECT_EQ(kGoodReply, StoredStatus());
}

TEST_F(FaultWalkTest, DetailWindowRunsThroughEveryLibraryFaultAndCloses) {
    // One fault of each kind: the window takes the same paths for the
    // other result codes of a kind.
    const char* const kinds[] = {
        "size read fails",         "size read: nothing yet",       "data read: busy",
        "size shrinks to 5 bytes", "size grows between the calls", "reply longer than the buffer",
        "returned length negative"};
    for (const LibraryFault& fault : LibraryFaults()) {
        bool wanted = false;
        for (const char* kind : kinds) {
            wanted = wanted || std::string(kind) == fault.label;
        }
        if (!wanted || (fault.numbers[0].second != -5 && std::string(fault.label) == kinds[0])) {
            continue;
        }
        krxtest::WriteBinary(HKEY_CURRENT_USER, kPrinterStore, "Status", kGoodReply);
        ScriptFault(fault);
        bool opened = false;
        EXPECT_EQ(0, RunWindow(1, "krxres_en.dll", &opened)) << fault.label;
        EXPECT_TRUE(opened) << fault.label;
        // The window's own reads never write the store.
        EXPECT_EQ(kGoodReply, StoredStatus()) << fault.label;
    }
}

TEST_F(FaultWalkTest, WindowsOverFailingChannelsAndIdentity) {
    struct Fault {
        const char* label;
        std::function<void()> script;
        int result; // of all three exports
    };
    const Fault faults[] = {
        {"library does not start", [] { SimPrinter::SetNumber("InitResult", -1); }, 1},
        {"no channel list", [] { SimPrinter::SetNumber("ChannelFirstResult", -5); }, 0},
        {"channel list size huge",
         [] { SimPrinter::SetNumber("ChannelAnnouncedSize", 0x7FFFFFF8); }, 0},
        {"channel list size odd", [] { SimPrinter::SetNumber("ChannelAnnouncedSize", 13); }, 0},
        {"channel count larger than sent",
         [] { SimPrinter::SetNumber("ChannelSecondResult", 5000); }, 0},
        {"no channel opens",
         [] {
             SimPrinter::SetOpenFailIds({0x00000004, 0x10000005, 0x10010003, 0x02000001});
         },
         0},
        {"no device ID", [] { SimPrinter::Remove("DeviceID"); }, 0},
        {"device ID size huge", [] { SimPrinter::SetNumber("DeviceIDAnnouncedSize", 0x7FFFFFF0); },
         0},
        {"device ID without terminator or model",
         [] { SimPrinter::SetBytes("DeviceID", std::string(300, 'M')); }, 0},
        {"information reads fail", [] { SimPrinter::SetNumber("ReceiveFirstResult", -5); }, 0},
        {"information size huge", [] { SimPrinter::SetNumber("ReceiveAnnouncedSize", 0x7FFFFFF0); },
         0},
        {"information reply longer than the buffer",
         [] { SimPrinter::SetNumber("ReceiveReturnedLength", 100000); }, 0},
        {"information reply of garbage",
         [] { SimPrinter::SetBytes("InfoReply", std::string(5000, '\xFF')); }, 0},
    };
    for (const Fault& f : faults) {
        // All three exports where the result decides; the Detail window,
        // which reads the most, elsewhere.
        for (int which = f.result != 0 ? 0 : 1; which < (f.result != 0 ? 3 : 2); ++which) {
            SimPrinter::Reset();
            SimPrinter::ScriptTypicalPrinter();
            SimPrinter::SetNumber("Misbehave", 1);
            SimPrinter::SetStatusReply(kGoodReply);
            f.script();
            EXPECT_EQ(f.result, RunWindow(which)) << f.label << ", export " << which;
        }
    }
}

TEST_F(FaultWalkTest, StoredValuesOfTheWrongTypeOrSize) {
    const std::string store = kPrinterStore;
    struct Fault {
        const char* label;
        std::function<void()> write;
    };
    const Fault faults[] = {
        {"Status as a string",
         [&] { krxtest::WriteString(HKEY_CURRENT_USER, store, "Status", kGoodReply); }},
        {"Status of 64 KB",
         [&] {
             krxtest::WriteBinary(HKEY_CURRENT_USER, store, "Status", std::string(65536, 'S'));
         }},
        {"ComStatus of one byte",
         [&] { krxtest::WriteBinary(HKEY_CURRENT_USER, store, "ComStatus", "\x01"); }},
        {"ComStatus as a string",
         [&] { krxtest::WriteString(HKEY_CURRENT_USER, store, "ComStatus", "1"); }},
        {"PopupPOSX as a string",
         [&] { krxtest::WriteString(HKEY_CURRENT_USER, kUserSettings, "PopupPOSX", "100"); }},
        {"PopupPOSY of two bytes",
         [&] { krxtest::WriteBinary(HKEY_CURRENT_USER, kUserSettings, "PopupPOSY", "\x10\x00"); }},
        {"DisplayTips of eight bytes",
         [&] {
             krxtest::WriteBinary(HKEY_CURRENT_USER, kUserSettings, "DisplayTips",
                                  std::string("\x01\0\0\0\0\0\0\0", 8));
             krxtest::WriteBinary(HKEY_CURRENT_USER, store, "DisplayTips",
                                  std::string("\x01\0\0\0\0\0\0\0", 8));
         }},
        {"notify settings as strings",
         [&] {
             krxtest::WriteString(HKEY_CURRENT_USER, store + "\\Notify", "009", "1");
             krxtest::WriteString(HKEY_CURRENT_USER, store, "SoundNotifyEnable", "yes");
         }},
        {"debug Status longer than a reply",
         [&] {
             krxtest::WriteString(HKEY_LOCAL_MACHINE, krx::regkey::kDebugKey, "Status",
                                  std::string(4000, 'D'));
         }},
    };
    for (const Fault& f : faults) {
        SimPrinter::Reset();
        SimPrinter::ScriptTypicalPrinter();
        SimPrinter::SetStatusReply(kGoodReply);
        f.write();
        GuardedOutputs out;
        EXPECT_EQ(1, Query(&out)) << f.label;
        EXPECT_TRUE(out.Intact()) << f.label;
        // The pop-up for its position memory, the Detail window elsewhere.
        const int which = std::string(f.label).find("Popup") == 0 ? 0 : 1;
        EXPECT_EQ(0, RunWindow(which)) << f.label << ", export " << which;
    }
}

// Without a readable model profile there is no ink library, so the status
// window's ink gauges cannot be made: the exports report 1 instead of
// hanging or crashing, and the status query still answers.
TEST_F(FaultWalkTest, ProfilePathsTooLongOrMissing) {
    const std::string longPath = "c:\\" + std::string(600, 'p') + ".ini";
    const char* const models[] = {"", "c:\\no\\such\\profile.ini", nullptr};
    std::vector<std::string> paths = {longPath};
    for (const char* m : models) {
        if (m != nullptr) {
            paths.push_back(m);
        }
    }
    // The profile path the registry names for the model, too long for any
    // buffer: the status query must still answer.
    krxtest::WriteString(HKEY_LOCAL_MACHINE, krx::regkey::kProfileKey, kit::kModelName, longPath);
    SimPrinter::SetStatusReply(kGoodReply);
    GuardedOutputs out;
    EXPECT_EQ(1, Query(&out));
    EXPECT_TRUE(out.Intact());
    for (const std::string& path : paths) {
        modelFile_ = path;
        for (int which = 0; which < 3; ++which) {
            EXPECT_EQ(1, RunWindow(which))
                << "model file of " << path.size() << " chars, export " << which;
        }
    }
}

TEST_F(FaultWalkTest, PortMonitorFailures) {
    struct Fault {
        const char* label;
        std::function<void()> script;
    };
    const Fault faults[] = {
        {"port does not open", [] { kit::SimPort::SetNumber("OpenPortResult", 0); }},
        {"port inactive", [] { kit::SimPort::SetNumber("PortInactive", 1); }},
        {"every job property fails",
         [] { kit::SimPort::SetText("FailProps", "1,2,3,4,5,6,7,8,9,10,11,12,21,101"); }},
        {"requests fail", [] { kit::SimPort::SetNumber("FailSet", 1); }},
        {"job text without its end",
         [] {
             kit::SimPortJob job;
             job.spoolerId = 7;
             job.text = std::string(2000, 'T');
             job.terminated = false;
             job.textNeeded = 0x7FFFFFF0;
             kit::SimPort::AddJob(job);
         }},
    };
    for (const Fault& f : faults) {
        kit::SimPort::Reset();
        kit::SimPortJob job;
        job.spoolerId = 7;
        job.polls = 100000;
        kit::SimPort::AddJob(job);
        f.script();
        SimPrinter::SetStatusReply(kGoodReply);
        // The meter follows job 7; the window must still close when asked.
        EXPECT_EQ(0, RunWindow(2)) << f.label;
        EXPECT_EQ(0, RunWindow(1)) << f.label;
    }
}

} // namespace
} // namespace hardening
