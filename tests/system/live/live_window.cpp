// Harness of the live window tests.
#include "live_window.h"

#include "comm/spooler.h"
#include "common/resource_ids.h"
#include "base/module/message_box.h"
#include "base/module/module_state.h"
#include "base/module/resource_string.h"
#include "base/store/status_store.h"
#include "kit_install.h"
#include "sim_port_script.h"
#include "ui/status_window/monitor_session.h"

namespace krx {

void StatusWindowProbe::StopTimers() {
    KillTimer(Hwnd(), kStatusTimerId);
    KillTimer(Hwnd(), kProgressTimerId);
}

void StatusWindowProbe::Tick(UINT_PTR timerId) {
    SendMessageA(Hwnd(), WM_TIMER, timerId, 0);
    // The tick started its timer again; the test decides when the next one comes.
    if (Hwnd() != nullptr) {
        StopTimers();
    }
}

std::string StatusWindowProbe::Text(int id) const {
    char text[1024] = {};
    GetDlgItemTextA(Hwnd(), id, text, sizeof(text));
    return text;
}

} // namespace krx

namespace livetest {

namespace {

InkRecorder* g_recorder = nullptr;

struct RunContext {
    krx::StatusWindow* window;
    const Scenario* scenario;
    InkRecorder* recorder;
    bool* ran;
};
RunContext* g_run = nullptr;

void CALLBACK RunScenario(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    RunContext* run = g_run;
    if (run == nullptr || run->window->Hwnd() == nullptr) {
        return;
    }
    krx::StatusWindowProbe probe(*run->window);
    // The test drives every tick itself.
    probe.StopTimers();
    run->recorder->Attach(probe.Hwnd());
    *run->ran = true;
    (*run->scenario)(probe, *run->recorder);
}

void CALLBACK Watchdog(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (g_run != nullptr && g_run->window->Hwnd() != nullptr) {
        ADD_FAILURE() << "the window was still open after the scenario";
        krx::StatusWindowProbe(*g_run->window).End();
    }
}

} // namespace

void InkRecorder::Attach(HWND window) {
    g_recorder = this;
    for (int id : {IDC_INK_BLACK, IDC_INK_COLOR}) {
        HWND item = GetDlgItem(window, id);
        if (item != nullptr && original_.find(item) == original_.end()) {
            original_[item] = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(item, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
        }
    }
}

const std::vector<InkCommand>& InkRecorder::Sent(int item) const {
    static const std::vector<InkCommand> none;
    auto found = sent_.find(item);
    return found == sent_.end() ? none : found->second;
}

LRESULT CALLBACK InkRecorder::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    InkRecorder* self = g_recorder;
    WNDPROC original = self->original_[hwnd];
    if (message == KRX_INK_MESSAGE) {
        InkCommand command{wParam, {}};
        if ((wParam == 1 || wParam == 6) && lParam != 0) {
            const int32_t* block = reinterpret_cast<const int32_t*>(lParam);
            command.block.assign(block, block + 7);
        }
        self->sent_[GetDlgCtrlID(hwnd)].push_back(command);
    }
    return CallWindowProcA(original, hwnd, message, wParam, lParam);
}

void LiveWindowTest::SetUp() {
    CleanRegistryTest::SetUp();
    options_.bxapiPath = kit::ExecutableFolder() + "BXAPI.DLL";
    options_.addSpoolerPrinter = true;
    ASSERT_TRUE(kit::InstallSimulatedSystem(options_));
    kit::SimPrinter::ScriptTypicalPrinter();
    kit::SimPrinter::SetNumber("Live", 1);
    simLog_ = kit::ExecutableFolder() + "live_sim_calls.log";
    DeleteFileA(simLog_.c_str());
    kit::SimPort::Reset();
    resources_ = LoadLibraryA("krxres_en.dll");
    ASSERT_NE(resources_, nullptr) << GetLastError();
    ink_ = LoadLibraryA("kitink.dll");
    ASSERT_NE(ink_, nullptr) << GetLastError();
    krx::ThisCall().resourceModule = resources_;
    knownJobs_.reset(new krxtest::SpoolerJobs);
}

void LiveWindowTest::TearDown() {
    knownJobs_.reset();
    krx::ThisCall().resourceModule = nullptr;
    if (ink_ != nullptr) {
        FreeLibrary(ink_);
    }
    if (resources_ != nullptr) {
        FreeLibrary(resources_);
    }
    kit::SimPort::Reset();
    DeleteFileA(simLog_.c_str());
    kit::RemoveSimulatedSystem();
    CleanRegistryTest::TearDown();
}

std::string LiveWindowTest::ModelFile() const {
    return kit::ExecutableFolder() + "KX500.ini";
}

std::string LiveWindowTest::StoreKey() const {
    std::string key;
    krx::FindStoreKeyFor(kit::kPrinterName, kit::kPortName, &key);
    return key;
}

void LiveWindowTest::SetReply(const std::string& fields) {
    kit::SimPrinter::SetStatusReply(krxtest::StatusReply(fields));
}

std::string LiveWindowTest::Text(int id) {
    return krx::ResourceString(static_cast<UINT>(id));
}

std::string LiveWindowTest::SimCallLog() const {
    return kit::ReadTextFile(simLog_);
}

bool LiveWindowTest::WaitForRecord(
    const std::function<bool(const krx::JobRecord&, bool)>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        krx::JobRecord record = {};
        const bool valid = monitor_ != nullptr && monitor_->GetJobRecord(&record) != 0;
        if (condition(record, valid)) {
            return true;
        }
        Sleep(5);
    }
    return false;
}

INT_PTR LiveWindowTest::RunWindow(int viewType, const Scenario& scenario, const char* portName,
                                  const std::string& modelFile) {
    krx::JobMonitorSettings settings;
    settings.pollInterval = 20;
    const std::string model = modelFile.empty() ? ModelFile() : modelFile;
    krx::MonitorRequest request;
    request.viewType = viewType;
    request.printerName = kit::kPrinterName;
    request.portName = portName != nullptr ? portName : kit::kPortName;
    request.modelSection = kit::kModelName;
    request.modelFile = model.c_str();
    request.resourcePath = "krxres_en.dll";
    // The window-opening exports' own session, with a faster job monitor.
    krx::MonitorSession session(request, settings);
    if (!session.Prepare()) {
        ADD_FAILURE() << "the session refused to open the window";
        return -1;
    }
    monitor_ = &session.Monitor();
    InkRecorder recorder;
    scenarioRan_ = false;
    RunContext run{&session.Window(), &scenario, &recorder, &scenarioRan_};
    g_run = &run;
    SetTimer(nullptr, 0, 50, &RunScenario);
    const UINT_PTR watchdog = SetTimer(nullptr, 0, 60000, &Watchdog);
    const INT_PTR result = session.RunWindow();
    KillTimer(nullptr, watchdog);
    g_run = nullptr;
    monitor_ = nullptr;
    return result;
}

} // namespace livetest
