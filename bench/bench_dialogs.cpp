// Costs a status window pays at set-up in this area: reading the sound
// table (999 profile keys through the system's profile functions) and
// registering the window in the shared printer table (one view mapped per
// record examined). Prints the median time of each.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "comm/shared_table.h"
#include "entry/module/module_state.h"
#include "graphics/sound.h"
#include "kit_install.h"

namespace {

constexpr int kRounds = 7;
constexpr char kDriverKey[] = "software\\NORVA\\KRX3\\Driver\\Bench Driver";

double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

template <typename F> double MedianMilliseconds(int calls, F call) {
    std::vector<double> rounds;
    for (int r = 0; r < kRounds; ++r) {
        double start = Now();
        for (int i = 0; i < calls; ++i) {
            call();
        }
        rounds.push_back((Now() - start) * 1e3 / calls);
    }
    std::sort(rounds.begin(), rounds.end());
    return rounds[rounds.size() / 2];
}

void SetString(const char* path, const char* name, const std::string& value) {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

} // namespace

int main() {
    const std::string folder = kit::ExecutableFolder() + "benchdialogs";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string profile = folder + "\\bench.ini";
    const std::string resDll = folder + "\\res_en.dll";
    std::string text = "[Language]\r\nEnglish=9,1\r\n[English]\r\nResDll=res_en.dll\r\n";
    for (int i = 1; i <= 40; ++i) {
        char line[64];
        snprintf(line, sizeof(line), "WVV%03d=sound%03d.wav\r\n", i * 20, i);
        text += line;
    }
    FILE* f = fopen(profile.c_str(), "wb");
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
    fclose(fopen(resDll.c_str(), "wb"));
    SetString(kDriverKey, "InstallPath", folder);
    SetString("software\\NORVA\\KRX3\\Profile", "KX-Bench", profile);

    krx::InitializeModuleState();
    krx::Module().commonKey = kDriverKey;
    double sound = MedianMilliseconds(5, [] { krx::SoundTable table("KX-Bench"); });
    printf("sound table, 999 keys (40 set): %.1f ms per window\n", sound);

    // A table of 500 claimed records; the window's printer in the first,
    // the middle and the last one.
    const size_t size = krx::kShortSharedTable.recordSize * krx::kSharedTableRecords;
    HANDLE mapping =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                           static_cast<DWORD>(size), krx::kShortSharedTable.mappingName);
    auto* view = static_cast<unsigned char*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    memset(view, 0, size);
    for (size_t i = 0; i < krx::kSharedTableRecords; ++i) {
        snprintf(reinterpret_cast<char*>(view + i * krx::kShortSharedTable.recordSize), 260,
                 "Printer %03u", static_cast<unsigned>(i));
    }
    for (unsigned index : {0u, 249u, 499u}) {
        char name[32];
        snprintf(name, sizeof(name), "printer %03u", index);
        double ms = MedianMilliseconds(
            20, [&] { krx::RegisterStatusWindow(name, "", 0x1234, krx::kSlotStatusWindow); });
        printf("shared table registration, record %u of 500: %.3f ms\n", index + 1, ms);
    }
    UnmapViewOfFile(view);
    CloseHandle(mapping);

    kit::DeleteTree(HKEY_LOCAL_MACHINE, "software\\NORVA");
    DeleteFileA(profile.c_str());
    DeleteFileA(resDll.c_str());
    RemoveDirectoryA(folder.c_str());
    return 0;
}
