// Installer of the simulated system.
#include "kit_install.h"

#include <windows.h>
#include <shlwapi.h>
#include <winspool.h>

#include <cstdio>

#include "comm/bxapi_abi.h"

namespace kit {

namespace {

constexpr char kProfileKey[] = "software\\NORVA\\KRX3\\Profile";
constexpr char kDriverKeyPrefix[] = "software\\NORVA\\KRX3\\Driver\\";
constexpr char kDebugKey[] = "software\\NORVA\\KRX3\\Debug";
constexpr char kCommonFlagsKey[] = "software\\NORVA\\KRX3\\KRXCommon";
constexpr char kBxapiInfoKey[] = "software\\NORVA\\BXAPIInfo";
constexpr char kPrinterStore[] = "software\\NORVA\\KRX3\\KRXData\\NRLTarget\\Printer01";
constexpr char kPortStore[] = "software\\NORVA\\KRX3\\KRXData\\NRNTarget\\Port01";

bool SetString(HKEY root, const char* path, const char* name, const std::string& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    LONG rc = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

bool SetDword(HKEY root, const char* path, const char* name, DWORD value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    LONG rc = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                             sizeof(value));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

bool CreateKey(HKEY root, const char* path) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

void DeleteValue(HKEY root, const char* path, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
}

} // namespace

std::string ExecutableFolder() {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n);
    size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".\\") : folder.substr(0, slash + 1);
}

void DeleteTree(void* root, const char* path) {
    SHDeleteKeyA(static_cast<HKEY>(root), path);
}

namespace {

constexpr char kPrinterDescription[] = "krxkit.ppd";

// Wine's PostScript driver lists the papers of the PPD file named as the
// driver's data file, looked for in the printer driver folder; without one
// the printer has no papers, and a job's paper size has no name. False when
// the file could not be put there.
bool InstallPrinterDescription() {
    char folder[MAX_PATH] = {};
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(folder),
                                    sizeof(folder), &needed)) {
        return false;
    }
    const std::string source = ExecutableFolder() + kPrinterDescription;
    const std::string target = std::string(folder) + "\\" + kPrinterDescription;
    return CopyFileA(source.c_str(), target.c_str(), FALSE) != FALSE;
}

} // namespace

bool AddSpoolerPrinter(const char* printerName, const char* driverName) {
    DRIVER_INFO_3A driver = {};
    driver.cVersion = 3;
    driver.pName = const_cast<char*>(driverName);
    driver.pDriverPath = const_cast<char*>("wineps.drv");
    driver.pDataFile =
        const_cast<char*>(InstallPrinterDescription() ? kPrinterDescription : "wineps.drv");
    driver.pConfigFile = const_cast<char*>("wineps.drv");
    AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&driver));

    PRINTER_INFO_2A info = {};
    info.pPrinterName = const_cast<char*>(printerName);
    info.pPortName = const_cast<char*>("FILE:");
    info.pDriverName = const_cast<char*>(driverName);
    info.pPrintProcessor = const_cast<char*>("WinPrint");
    info.pDatatype = const_cast<char*>("RAW");
    HANDLE printer = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (printer != nullptr) {
        ClosePrinter(printer);
        return true;
    }
    HANDLE existing = nullptr;
    if (OpenPrinterA(const_cast<char*>(printerName), &existing, nullptr) && existing != nullptr) {
        ClosePrinter(existing);
        return true;
    }
    return false;
}

void RemoveSpoolerPrinter(const char* printerName) {
    PRINTER_DEFAULTSA defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE printer = nullptr;
    if (OpenPrinterA(const_cast<char*>(printerName), &printer, &defaults) && printer != nullptr) {
        DeletePrinter(printer);
        ClosePrinter(printer);
    }
}

bool InstallSimulatedSystem(const InstallOptions& options) {
    std::string bin = options.binFolder.empty() ? ExecutableFolder() : options.binFolder;
    std::string driverKey = std::string(kDriverKeyPrefix) + kDriverName;
    bool ok = true;
    ok &= SetString(HKEY_LOCAL_MACHINE, kProfileKey, kModelName, bin + "KX500.ini");
    ok &= SetString(HKEY_LOCAL_MACHINE, driverKey.c_str(), "InstallPath",
                    bin.substr(0, bin.size() - 1));
    ok &= SetString(HKEY_LOCAL_MACHINE, driverKey.c_str(), "ModelID", kModelName);
    if (!options.bxapiPath.empty()) {
        ok &= SetString(HKEY_LOCAL_MACHINE, driverKey.c_str(), "BXAPI32", options.bxapiPath);
    }
    ok &= CreateKey(HKEY_LOCAL_MACHINE, kDebugKey);
    // The host module is found through InstallPath; a fixed "N_QHUB" path
    // would override that.
    DeleteValue(HKEY_LOCAL_MACHINE, driverKey.c_str(), "N_QHUB");
    ok &= SetString(HKEY_LOCAL_MACHINE, driverKey.c_str(), "HTMLInstallPath", bin + "help");
    ok &= SetString(HKEY_LOCAL_MACHINE, kBxapiInfoKey, "BXAPIVersion", "3.00");
    ok &= SetString(HKEY_LOCAL_MACHINE, kBxapiInfoKey, "InstallDir", bin.substr(0, bin.size() - 1));
    // No library error flagged, recovery not offered, every system supported.
    for (const char* flag :
         {"ERR_OSVERNOTSUPPORT", "BXAPIRECOVER", "RST_FREPLACE", "ERR_BXAPIINUSE", "ERR_OTHERS"}) {
        ok &= SetDword(HKEY_LOCAL_MACHINE, kCommonFlagsKey, flag, 0);
    }
    if (options.addStoreKeys) {
        ok &= SetString(HKEY_CURRENT_USER, kPrinterStore, "Name", kPrinterName);
        ok &= SetString(HKEY_CURRENT_USER, kPortStore, "Name", kPortName);
        for (const char* store : {kPrinterStore, kPortStore}) {
            std::string notify = std::string(store) + "\\Notify";
            ok &= SetDword(HKEY_CURRENT_USER, store, "SoundNotifyEnable", 1);
            ok &= SetDword(HKEY_CURRENT_USER, notify.c_str(), "009", 1);
            ok &= SetDword(HKEY_CURRENT_USER, notify.c_str(), "011", 0);
            ok &= SetDword(HKEY_CURRENT_USER, notify.c_str(), "012", 1);
        }
    }
    if (options.addSpoolerPrinter) {
        ok &= AddSpoolerPrinter(kPrinterName, kDriverName);
    }
    return ok;
}

void RemoveSimulatedSystem() {
    DeleteTree(HKEY_LOCAL_MACHINE, "software\\NORVA");
    DeleteTree(HKEY_CURRENT_USER, "software\\NORVA");
    DeleteTree(HKEY_CURRENT_USER, kSimPrinterKey);
    RemoveSpoolerPrinter(kPrinterName);
}

void SimPrinter::Reset() {
    DeleteTree(HKEY_CURRENT_USER, kSimPrinterKey);
}

void SimPrinter::SetStatusReply(const std::string& reply) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSimPrinterKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    RegSetValueExA(key, "StatusReply", 0, REG_BINARY, reinterpret_cast<const BYTE*>(reply.data()),
                   static_cast<DWORD>(reply.size()));
    RegCloseKey(key);
}

void SimPrinter::SetNumber(const char* name, int value) {
    SetDword(HKEY_CURRENT_USER, kSimPrinterKey, name, static_cast<DWORD>(value));
}

void SimPrinter::SetText(const char* name, const std::string& text) {
    SetString(HKEY_CURRENT_USER, kSimPrinterKey, name, text);
}

void SimPrinter::SetBytes(const char* name, const std::string& bytes) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSimPrinterKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    RegSetValueExA(key, name, 0, REG_BINARY, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

void SimPrinter::SetChannels(const std::vector<SimChannelEntry>& entries) {
    std::string bytes;
    for (const SimChannelEntry& e : entries) {
        const unsigned char raw[8] = {
            static_cast<unsigned char>(e.id),         static_cast<unsigned char>(e.id >> 8),
            static_cast<unsigned char>(e.id >> 16),   static_cast<unsigned char>(e.id >> 24),
            static_cast<unsigned char>(e.attributes), static_cast<unsigned char>(e.attributes >> 8),
            static_cast<unsigned char>(e.parameter),  static_cast<unsigned char>(e.parameter >> 8)};
        bytes.append(reinterpret_cast<const char*>(raw), sizeof(raw));
    }
    SetBytes("Channels", bytes);
}

void SimPrinter::SetOpenFailIds(const std::vector<unsigned>& ids) {
    std::string bytes;
    for (unsigned id : ids) {
        bytes.append(reinterpret_cast<const char*>(&id), sizeof(id));
    }
    SetBytes("OpenFailIds", bytes);
}

std::string TypicalInfoReply() {
    return std::string("@BDC PS\r\nII:02;TSH:01F4;PDY:18;PDM:06;IC1:0102;IC2:0001;IK1:01;"
                       "IK2:02;TOV:00;TVU:01;LOG:A1B2;TSH:0032;PDY:19;PDM:0B;IC1:0103;IC2:0002;"
                       "IK1:00;IK2:01;TOV:01;TVU:00;LOG:C3;") +
           "\x0C";
}

void SimPrinter::ScriptTypicalPrinter() {
    // Status on the D4 status channel, information on the D4 information
    // channel and over the remote path.
    SetChannels({{KRX_CHANNEL_STATUS_FIRST, KRX_CHANNEL_ATTR_STATUS, 0x0010},
                 {KRX_CHANNEL_INFO_D4, KRX_CHANNEL_ATTR_INFO, 0x0020},
                 {KRX_CHANNEL_PREFERRED, KRX_CHANNEL_ATTR_INFO, 0x0030}});
    SetBytes("DeviceID", std::string("MFG:Kit;MDL:") + kModelName + ";CMD:BDC;CLS:PRINTER;");
    SetBytes("InfoReply", TypicalInfoReply());
    SetBytes("IRReply", "@BDC PS\r\nIR:00C8;\x0C");
}

std::vector<SimRegistration> SimRegistrations() {
    std::vector<SimRegistration> registrations;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSimWindowsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return registrations;
    }
    // Each value is "<handle>-<option>" = the window, as a DWORD.
    for (DWORD i = 0;; ++i) {
        char name[64];
        DWORD nameLength = sizeof(name);
        DWORD window = 0;
        DWORD size = sizeof(window);
        if (RegEnumValueA(key, i, name, &nameLength, nullptr, nullptr,
                          reinterpret_cast<BYTE*>(&window), &size) != ERROR_SUCCESS) {
            break;
        }
        SimRegistration r;
        if (sscanf(name, "%d-%d", &r.handle, &r.option) == 2) {
            r.window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(window));
            registrations.push_back(r);
        }
    }
    RegCloseKey(key);
    return registrations;
}

int SimRegisteredHandle(HWND window, int option) {
    for (const SimRegistration& r : SimRegistrations()) {
        if (r.window == window && r.option == option) {
            return r.handle;
        }
    }
    return 0;
}

HWND SimRegisteredWindow(int handle, int option) {
    for (const SimRegistration& r : SimRegistrations()) {
        if (r.handle == handle && r.option == option) {
            return r.window;
        }
    }
    return nullptr;
}

int PostSimNotification(int option) {
    const UINT message =
        option == bx::kOptionNotifyStatus ? KRX_MSG_STATUS_CHANGED : KRX_MSG_INFO_DATA;
    int posted = 0;
    for (const SimRegistration& r : SimRegistrations()) {
        if (r.option == option &&
            PostMessageA(r.window, message, 0, static_cast<LPARAM>(r.handle))) {
            ++posted;
        }
    }
    return posted;
}

void SimPrinter::Remove(const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSimPrinterKey, 0, KEY_ALL_ACCESS, &key) ==
        ERROR_SUCCESS) {
        RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
}

std::string ReadTextFile(const std::string& path) {
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return {};
    }
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), file)) > 0) {
        text.append(buffer, n);
    }
    fclose(file);
    return text;
}

} // namespace kit
