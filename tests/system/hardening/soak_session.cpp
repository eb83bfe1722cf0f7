// A long-running monitoring session against the simulated printer and port.
#include "base/registry/registry_paths.h"
#include "soak_session.h"

#include "kit_install.h"
#include "kit_utility.h"
#include "sim_port_script.h"
#include "ui/status_window/status_window.h"
#include "ui/status_window/view_table.h"
#include "ui/status_window/window_exports.h"

namespace hardening {

namespace {

// The printer's states in turn: each holds for kTicksPerState status ticks.
const char* const kPrinterStates[] = {
    "ST:04;IQ:5A4B3C5A463C;",
    "ST:04;WR:10;IQ:0C4B3C5A463C;",
    "ST:00;ER:05;IQ:004B3C5A463C;",
    "ST:00;ER:06;IQ:0C4B3C5A463C;",
};
constexpr int kTicksPerState = 25;
// A new job reaches the meter every kTicksPerJob progress ticks.
constexpr int kTicksPerJob = 40;
// The meter's own job never ends, so that the meter stays open throughout.
constexpr int kMeterJob = 99;
constexpr int kEndlessPolls = 1000000;

// The switch the meter reads when it opens.
void SetMeterPolling(const char* commonKey, bool polls) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, commonKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        const DWORD notSupported = polls ? 0 : 1;
        RegSetValueExA(key, "ERR_OSVERNOTSUPPORT", 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&notSupported), sizeof(notSupported));
        RegCloseKey(key);
    }
}

std::string Reply(const char* fields) {
    return std::string("@BDC ST\r\n") + fields + "\x0C";
}

} // namespace

SoakSession::SoakSession() : messageBoxes_(&AnswerOk, nullptr) {
    jobs_.KnowEvery();
}

SoakSession::~SoakSession() {
    if (detailCall_) {
        detailCall_->CloseWindows();
    }
    if (meterCall_) {
        meterCall_->CloseWindows();
    }
    detailCall_.reset();
    meterCall_.reset();
    kit::DeleteTree(HKEY_CURRENT_USER, kit::kUtilityKey);
    if (installed_) {
        kit::SimPort::Reset();
        kit::RemoveSimulatedSystem();
    }
}

void SoakSession::AddPortJob(int id, int polls) {
    kit::SimPortJob job;
    job.spoolerId = id;
    job.text = "Soak document " + std::to_string(id);
    job.sheets = 2;
    job.polls = polls;
    job.secondsPerPoll = 5;
    kit::SimPort::AddJob(job);
}

bool SoakSession::Open(std::string* error, bool withMeter, bool meterPolls) {
    kit::InstallOptions options;
    options.bxapiPath = kit::ExecutableFolder() + "BXAPI.DLL";
    options.addSpoolerPrinter = true;
    if (!kit::InstallSimulatedSystem(options)) {
        *error = "the simulated system could not be installed";
        return false;
    }
    installed_ = true;
    kit::SimPrinter::ScriptTypicalPrinter();
    kit::SimPrinter::SetNumber("Live", 1);
    kit::SimPrinter::SetStatusReply(Reply(kPrinterStates[0]));
    kit::SimPort::Reset();
    AddPortJob(kMeterJob, kEndlessPolls);
    modelFile_ = kit::ExecutableFolder() + "KX500.ini";
    // The utility counts its loads while its key exists; a count left by an
    // interrupted run starts again.
    kit::DeleteTree(HKEY_CURRENT_USER, kit::kUtilityKey);
    HKEY utilityKey = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kit::kUtilityKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &utilityKey, nullptr) == ERROR_SUCCESS) {
        RegCloseKey(utilityKey);
    }

    const std::string model = modelFile_;
    detailCall_.reset(new krxtest::WindowCall([model] {
        return krx::StartMonitorWindow(krx::kViewDetail, kit::kPrinterName, kit::kPortName,
                                       kit::kModelName, model.c_str(), "krxres_en.dll", 0);
    }));
    detail_ = detailCall_->WaitForWindow(30000);
    if (detail_ == nullptr) {
        *error = "the Detail window did not open";
        return false;
    }
    if (!withMeter) {
        return true;
    }
    const char* const commonKey = krx::regkey::kCommonKey;
    SetMeterPolling(commonKey, meterPolls);
    meterCall_.reset(new krxtest::WindowCall([model] {
        return krx::StartMonitorWindow(krx::kViewProgress, kit::kPrinterName, kit::kPortName,
                                       kit::kModelName, model.c_str(), "krxres_en.dll", kMeterJob);
    }));
    // The meter stays hidden until its first job record: find it by thread.
    meter_ = meterCall_->WaitForWindow(30000);
    SetMeterPolling(commonKey, true);
    if (meter_ == nullptr) {
        *error = "the progress meter did not open";
        return false;
    }
    return true;
}

bool SoakSession::StatusTicks(int count) {
    while (count > 0) {
        const int step = count < kTicksPerState ? count : kTicksPerState;
        const int state = (statusTicks_ / kTicksPerState) % 4;
        kit::SimPrinter::SetStatusReply(Reply(kPrinterStates[state]));
        if (!PostTicks(detail_, krx::kStatusTimerId, step)) {
            return false;
        }
        statusTicks_ += step;
        count -= step;
    }
    return true;
}

bool SoakSession::ProgressTicks(int count) {
    while (count > 0) {
        const int step = count < kTicksPerJob ? count : kTicksPerJob;
        AnnounceJob();
        if (!PostTicks(meter_, krx::kProgressTimerId, step)) {
            return false;
        }
        progressTicks_ += step;
        count -= step;
    }
    return true;
}

void SoakSession::AnnounceJob() {
    const int id = nextJob_++;
    AddPortJob(id, 2);
    PostMessageA(meter_, KRX_MSG_ADD_JOB, 0, id);
}

bool SoakSession::CloseAndCheckLibraries() {
    if (detailCall_) {
        detailCall_->CloseWindows();
    }
    if (meterCall_) {
        meterCall_->CloseWindows();
    }
    detailCall_.reset();
    meterCall_.reset();
    return GetModuleHandleA("kitinkut.dll") == nullptr;
}

int SoakSession::UtilityLoads() const {
    HKEY key = nullptr;
    DWORD count = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kit::kUtilityKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        DWORD size = sizeof(count);
        if (RegQueryValueExA(key, kit::kUtilityLoadsValue, nullptr, nullptr,
                             reinterpret_cast<BYTE*>(&count), &size) != ERROR_SUCCESS) {
            count = 0;
        }
        RegCloseKey(key);
    }
    return static_cast<int>(count);
}

bool SoakSession::DetailOpen() const {
    return detailCall_ && !detailCall_->Ended() && IsWindow(detail_);
}

bool SoakSession::MeterOpen() const {
    return meterCall_ && !meterCall_->Ended() && IsWindow(meter_);
}

} // namespace hardening
