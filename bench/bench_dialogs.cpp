// Costs a status window pays at set-up in this area: reading the sound
// table, against the floor of one read of the profile section it comes
// from (and, for reference, the 999 single-key reads it once took), and
// registering the window in the shared printer table, against the floor of
// opening and mapping the table once.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/registry/registry_paths.h"
#include "bench_stats.h"
#include "comm/shared_table.h"
#include "base/module/module_state.h"
#include "graphics/sound.h"
#include "graphics/sound_names.h"
#include "kit_install.h"

namespace {

constexpr char kDriverKey[] = "software\\NORVA\\KRX3\\Driver\\Bench Driver";

template <typename F> bench::Figure MillisecondsPerCall(int calls, F call) {
    return bench::Runs([&] {
        const double start = bench::Now();
        for (int i = 0; i < calls; ++i) {
            call();
        }
        return (bench::Now() - start) * 1e3 / calls;
    });
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
    SetString(krx::regkey::kProfileKey, "KX-Bench", profile);

    krx::InitializeModuleState();
    krx::ThisCall().driverKey = kDriverKey;
    const bench::Figure sound = MillisecondsPerCall(5, [] { krx::SoundTable table("KX-Bench"); });
    const bench::Figure section = MillisecondsPerCall(5, [&] {
        std::vector<char> buffer(32 * 1024);
        GetPrivateProfileSectionA("English", buffer.data(), static_cast<DWORD>(buffer.size()),
                                  profile.c_str());
    });
    const bench::Figure keys = MillisecondsPerCall(1, [] {
        krx::SoundProfileReader reader("KX-Bench", 1);
        for (int i = krx::kFirstSoundNumber; i <= krx::kLastSoundNumber; ++i) {
            reader.ReadString(krx::WaveKeyName(i).c_str(), "", krx::kWaveNameSize);
        }
    });
    bench::Print("sound table (40 of 999 sounds set)", sound, "(one section read)", section, "ms");
    bench::Print("  for reference: 999 single-key reads", keys, "(one section read)", section,
                 "ms");

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
    const bench::Figure mapOnce = MillisecondsPerCall(20, [&] {
        HANDLE m = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, krx::kShortSharedTable.mappingName);
        void* v = MapViewOfFile(m, FILE_MAP_ALL_ACCESS, 0, 0, size);
        UnmapViewOfFile(v);
        CloseHandle(m);
    });
    for (unsigned index : {0u, 249u, 499u}) {
        char name[32];
        snprintf(name, sizeof(name), "printer %03u", index);
        const bench::Figure ms = MillisecondsPerCall(
            20, [&] { krx::RegisterStatusWindow(name, "", 0x1234, krx::kSlotStatusWindow); });
        char label[64];
        snprintf(label, sizeof(label), "shared table registration, record %u of 500", index + 1);
        bench::Print(label, ms, "(open and map the table once)", mapOnce, "ms");
    }
    UnmapViewOfFile(view);
    CloseHandle(mapping);

    kit::DeleteTree(HKEY_LOCAL_MACHINE, "software\\NORVA");
    DeleteFileA(profile.c_str());
    DeleteFileA(resDll.c_str());
    RemoveDirectoryA(folder.c_str());
    return 0;
}
