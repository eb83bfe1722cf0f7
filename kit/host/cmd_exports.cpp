// Host commands for the plug-in's settings, channel and data exports: the
// notification item list, the defaults of a model, the status channel
// chosen from the simulated printer's list, and a printer-information reply
// collected over the information channel. "demo-exports" runs them all.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "comm/bxapi_abi.h"
#include "host_commands.h"
#include "host_plugin.h"
#include "kit_install.h"
#include "status/info_reply.h"

namespace {

using host::Plugin;

constexpr char kStoreKey[] = "software\\NORVA\\KRX3\\KRXData\\NRLTarget\\Printer01";

const char* const kSettingNames[] = {
    "SoundNotifyEnable", "TrayIconEnable", "TrayIconSelected", "InkNearEndB", "InkNearEndC",
    "SizeUnitH",         "SlipMax",        "MaxCaset",         "MaxIC",       "PaperNearEnd"};

// The host's own connection to the bidirectional library, as the status
// monitor keeps one to list channels and open them.
class HostLibrary {
  public:
    HostLibrary() : module_(LoadLibraryA("BXAPI.DLL")) {
        if (module_ == nullptr) {
            return;
        }
        init_ = Get<bx::PfnInitialize>("BXInitialize");
        release_ = Get<bx::PfnRelease>("BXRelease");
        channels = Get<bx::PfnGetAvailableChannel>("BXGetAvailableChannel");
        open = Get<bx::PfnOpenChannel>("BXOpenChannel");
        close = Get<bx::PfnCloseChannel>("BXCloseChannel");
        cancel = Get<bx::PfnReceiveCancel>("BXReceiveCancel");
        send = Get<bx::PfnSend>("BXSend");
        ready_ = init_ && release_ && channels && open && close && cancel && send && init_() == 0;
    }
    ~HostLibrary() {
        if (ready_) {
            release_();
        }
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
    }
    HostLibrary(const HostLibrary&) = delete;
    HostLibrary& operator=(const HostLibrary&) = delete;

    bool Ready() const { return ready_; }

    // The printer's channel entries (two-call read); empty when it has none.
    std::vector<unsigned char> ChannelEntries(int* count) {
        *count = 0;
        int size = 0;
        int rc = channels(bx::kModePrinterName, kit::kPrinterName, nullptr, &size);
        if (rc != bx::kBufferTooSmall || size <= 0) {
            return {};
        }
        std::vector<unsigned char> entries(static_cast<size_t>(size) + 1);
        rc = channels(bx::kModePrinterName, kit::kPrinterName, entries.data(), &size);
        *count = rc > 0 ? rc : 0;
        return entries;
    }

    bx::PfnGetAvailableChannel channels = nullptr;
    bx::PfnOpenChannel open = nullptr;
    bx::PfnCloseChannel close = nullptr;
    bx::PfnReceiveCancel cancel = nullptr;
    bx::PfnSend send = nullptr;

  private:
    template <typename Fn> Fn Get(const char* name) const {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }
    HMODULE module_;
    bx::PfnInitialize init_ = nullptr;
    bx::PfnRelease release_ = nullptr;
    bool ready_ = false;
};

template <typename Fn> Fn Need(const Plugin& plugin, const char* name) {
    Fn fn = plugin.Export<Fn>(name);
    if (fn == nullptr) {
        fprintf(stderr, "krxhost: krxstat.dll lacks %s\n", name);
    }
    return fn;
}

std::string Printable(const unsigned char* bytes, size_t length) {
    std::string text;
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = bytes[i];
        char part[8];
        if (c == '\r') {
            text += "\\r";
        } else if (c == '\n') {
            text += "\\n";
        } else if (c < 0x20 || c >= 0x7F) {
            snprintf(part, sizeof(part), "<%02X>", c);
            text += part;
        } else {
            text += static_cast<char>(c);
        }
    }
    return text;
}

int EnumItems(int argc, char** argv) {
    Plugin plugin;
    if (!plugin.Load()) {
        return 1;
    }
    auto enumItem = Need<PFN_PrEnumItem>(plugin, "PrEnumItem");
    const char* library = argc > 1 ? argv[1] : "krxres_en.dll";
    HMODULE resources = LoadLibraryA(library);
    if (enumItem == nullptr || resources == nullptr) {
        fprintf(stderr, "krxhost: cannot list items from %s\n", library);
        return 1;
    }
    printf("notification items of %s:\n", library);
    int index = 0;
    for (int guard = 0; guard < 1000; ++guard) {
        char name[260] = {};
        int item = -1;
        int before = index;
        int rc = enumItem(resources, &index, name, &item);
        if (rc != 0) {
            printf("  index %d: result %d, index reset to %d\n", before, rc, index);
            break;
        }
        printf("  index %d: item %03d  \"%s\"\n", before, item, name);
    }
    FreeLibrary(resources);
    return 0;
}

void PrintStoreValues(const char* storeKey) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, storeKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        printf("  (no store key)\n");
        return;
    }
    for (const char* name : kSettingNames) {
        DWORD value = 0;
        DWORD size = sizeof(value);
        if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) ==
            ERROR_SUCCESS) {
            printf("  %-18s %lu\n", name, value);
        } else {
            printf("  %-18s (not set)\n", name);
        }
    }
    HKEY notify = nullptr;
    if (RegOpenKeyExA(key, "Notify", 0, KEY_READ, &notify) == ERROR_SUCCESS) {
        printf("  Notify:");
        for (DWORD i = 0;; ++i) {
            char name[16];
            DWORD nameLength = sizeof(name);
            DWORD value = 0;
            DWORD size = sizeof(value);
            if (RegEnumValueA(notify, i, name, &nameLength, nullptr, nullptr,
                              reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS) {
                break;
            }
            printf(" %s=%lu", name, value);
        }
        printf("\n");
        RegCloseKey(notify);
    }
    RegCloseKey(key);
}

const char* DefaultsMeaning(int rc) {
    switch (rc) {
    case 0:
        return "all values and items written";
    case 1:
        return "no store key, nothing written";
    case 3:
        return "Notify existed, items left as they were";
    case 4:
        return "no ITEMNUM, Notify created empty";
    case 5:
        return "fewer items found than ITEMNUM";
    default:
        return "unexpected";
    }
}

int SetDefaults(int argc, char** argv) {
    Plugin plugin;
    if (!plugin.Load()) {
        return 1;
    }
    auto setDefaults = Need<PFN_SetRegDefaultValue>(plugin, "SetRegDefaultValue");
    if (setDefaults == nullptr) {
        return 1;
    }
    std::string profile = argc > 1 ? argv[1] : kit::ExecutableFolder() + "KX500.ini";
    const char* model = argc > 2 ? argv[2] : kit::kModelName;
    const char* storeKey = argc > 3 ? argv[3] : kStoreKey;
    int rc = setDefaults(profile.c_str(), model, storeKey);
    printf("SetRegDefaultValue(%s, %s) = %d (%s)\n", model, storeKey, rc, DefaultsMeaning(rc));
    PrintStoreValues(storeKey);
    return 0;
}

int SelectChannel(int, char**) {
    Plugin plugin;
    HostLibrary library;
    if (!plugin.Load() || !library.Ready()) {
        fprintf(stderr, "krxhost: the plug-in or the library is not ready\n");
        return 1;
    }
    auto selectChan = Need<PFN_PrSelectChan>(plugin, "PrSelectChan");
    if (selectChan == nullptr) {
        return 1;
    }
    int count = 0;
    std::vector<unsigned char> entries = library.ChannelEntries(&count);
    printf("channels offered by \"%s\": %d\n", kit::kPrinterName, count);
    for (int i = 0; i < count && static_cast<size_t>(i + 1) * 8 <= entries.size(); ++i) {
        const unsigned char* e = entries.data() + i * 8;
        unsigned id = e[0] | e[1] << 8 | e[2] << 16 | static_cast<unsigned>(e[3]) << 24;
        printf("  id %08X  attributes %04X  parameter %04X\n", id, e[4] | e[5] << 8,
               e[6] | e[7] << 8);
    }
    int chosen = 0;
    int out5 = -1;
    int out6 = -1;
    int rc = selectChan(0, entries.data(), count, &chosen, &out5, &out6);
    if (chosen != 0) {
        printf("PrSelectChan = %d: status channel %08X (outputs 5, 6: %d, %d)\n", rc,
               static_cast<unsigned>(chosen), out5, out6);
    } else {
        printf("PrSelectChan = %d: no status channel chosen\n", rc);
    }
    return 0;
}

void PrintEntry(int n, const krx::PrinterInfoEntry& e) {
    printf("  entry %d: TSH=%u PDY=%02X PDM=%02X IC1=%04X IC2=%04X IK1=%02X IK2=%02X TOV=%02X "
           "TVU=%02X LOG=\"%s\"\n",
           n, e.tsh, e.pdy, e.pdm, e.ic1, e.ic2, e.ik1, e.ik2, e.tov, e.tvu, e.log.c_str());
}

int GetInfo(int, char**) {
    Plugin plugin;
    HostLibrary library;
    if (!plugin.Load() || !library.Ready()) {
        fprintf(stderr, "krxhost: the plug-in or the library is not ready\n");
        return 1;
    }
    auto getData = Need<PFN_PrGetPrnData>(plugin, "PrGetPrnData");
    auto sendData = Need<PFN_PrSendPrnData>(plugin, "PrSendPrnData");
    auto releaseReg = Need<PFN_PrReleaseReg>(plugin, "PrReleaseReg");
    if (getData == nullptr || sendData == nullptr || releaseReg == nullptr) {
        return 1;
    }
    int handle = library.open(bx::kModePrinterName, kit::kPrinterName, KRX_CHANNEL_INFO_D4);
    printf("information channel %08X opened: handle %d\n", KRX_CHANNEL_INFO_D4, handle);
    if (handle == 0) {
        return 1;
    }
    // Nothing asked yet: the plug-in finds no data and leaves the buffer alone.
    void* buffer = nullptr;
    int out4 = -1;
    int rc = getData(0, 0, handle, &out4, &buffer);
    printf("PrGetPrnData before a request = %d, buffer %s, output 4 = %d\n", rc,
           buffer != nullptr ? "set" : "untouched", out4);

    static const unsigned char kRequest[] = {'i', 'i', 0x01, 0x00, 0x01};
    library.send(handle, kRequest, sizeof(kRequest));
    printf("host sent the information request \"ii\" 01 00 01\n");
    rc = getData(0, 0, handle, &out4, &buffer);
    printf("PrGetPrnData = %d, output 4 = %d\n", rc, out4);
    if (buffer != nullptr) {
        const auto* bytes = static_cast<const unsigned char*>(buffer);
        const size_t length = strlen(static_cast<const char*>(buffer));
        printf("  reply: %s\n", Printable(bytes, length).c_str());
        krx::PrinterInfoRecord record;
        int parsed = krx::ParsePrinterInfoReply(bytes, length, &record);
        printf("  decoded (ParsePrinterInfoReply = %d):\n", parsed);
        PrintEntry(0, record.entry[0]);
        PrintEntry(1, record.entry[1]);
        LocalFree(buffer);
    }
    printf("PrSendPrnData(handle %d) = %d, PrSendPrnData(handle 0) = %d, PrReleaseReg = %d\n",
           handle, sendData(0, 0, handle), sendData(0, 0, 0), releaseReg());
    library.cancel(handle);
    library.close(handle);
    return 0;
}

int SimNotify(int argc, char** argv) {
    int option =
        argc > 1 && strcmp(argv[1], "info") == 0 ? bx::kOptionNotifyInfo : bx::kOptionNotifyStatus;
    int posted = kit::PostSimNotification(option);
    printf("posted %s to %d window(s)\n", option == bx::kOptionNotifyInfo ? "1025" : "1026",
           posted);
    return 0;
}

int DemoExports(int, char**) {
    kit::InstallOptions options;
    options.bxapiPath = kit::ExecutableFolder() + "BXAPI.DLL";
    if (!kit::InstallSimulatedSystem(options)) {
        fprintf(stderr, "krxhost: the simulated installation is incomplete\n");
        return 1;
    }
    kit::SimPrinter::Reset();
    kit::SimPrinter::ScriptTypicalPrinter();
    printf("\n== settings exports\n");
    int rc = EnumItems(1, nullptr);
    // A newly installed printer: its store key without the notification items.
    HKEY store = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kStoreKey, 0, KEY_ALL_ACCESS, &store) == ERROR_SUCCESS) {
        RegDeleteKeyA(store, "Notify");
        RegCloseKey(store);
    }
    rc |= SetDefaults(1, nullptr);
    // The user switches item 012 off; a later call must keep that choice.
    HKEY notify = nullptr;
    std::string notifyKey = std::string(kStoreKey) + "\\Notify";
    if (RegOpenKeyExA(HKEY_CURRENT_USER, notifyKey.c_str(), 0, KEY_ALL_ACCESS, &notify) ==
        ERROR_SUCCESS) {
        DWORD off = 0;
        RegSetValueExA(notify, "012", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off),
                       sizeof(off));
        RegCloseKey(notify);
    }
    printf("-- the user switches item 012 off; a second call keeps that choice:\n");
    rc |= SetDefaults(1, nullptr);
    printf("\n== channel export\n");
    rc |= SelectChannel(1, nullptr);
    printf("\n== data exports\n");
    rc |= GetInfo(1, nullptr);
    kit::SimPrinter::Reset();
    return rc;
}

const host::HostCommandRegistration
    kEnumItems("enum-items", "enum-items [RESDLL]   PrEnumItem over a resource library", EnumItems);
const host::HostCommandRegistration
    kSetDefaults("set-defaults", "set-defaults [PROFILE [MODEL [STOREKEY]]]  SetRegDefaultValue",
                 SetDefaults);
const host::HostCommandRegistration
    kSelectChan("select-chan", "select-chan           PrSelectChan over the printer's channels",
                SelectChannel);
const host::HostCommandRegistration
    kGetInfo("get-info", "get-info              printer information through PrGetPrnData", GetInfo);
const host::HostCommandRegistration
    kSimNotify("sim-notify", "sim-notify status|info  post the simulated printer's notification",
               SimNotify);
const host::HostCommandRegistration
    kDemoExports("demo-exports", "demo-exports          the settings, channel and data exports",
                 DemoExports);

} // namespace
