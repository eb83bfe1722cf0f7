// Private memory of the process after loading the plug-in (its private
// regions and the plug-in's image, which Wine holds as a private copy),
// against the process before the load: the plug-in as shipped (stripped, its debug
// information in a file of its own) and, for reference, as built with its
// debug information inside. Each load is measured in a fresh process.
// "bench_load one PATH" measures one load.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_stats.h"
#include "process_memory.h"

namespace {

double PrivateKib() {
    return static_cast<double>(krxtest::PrivateBytes()) / 1024;
}

// Committed memory of a loaded module's image in KiB. Wine reads an image
// whose sections are not page-aligned in the file (as the toolchain lays
// them out) into memory of the process's own, debug sections included.
double ImageKib(HMODULE module) {
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        reinterpret_cast<const char*>(module) + dos->e_lfanew);
    const char* begin = reinterpret_cast<const char*>(module);
    const char* end = begin + nt->OptionalHeader.SizeOfImage;
    SIZE_T bytes = 0;
    MEMORY_BASIC_INFORMATION info = {};
    for (const char* address = begin;
         address < end && VirtualQuery(address, &info, sizeof(info)) == sizeof(info);
         address = static_cast<const char*>(info.BaseAddress) + info.RegionSize) {
        if (info.State == MEM_COMMIT) {
            bytes += info.RegionSize;
        }
    }
    return static_cast<double>(bytes) / 1024;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 2 && std::string(argv[1]) == "one") {
        const double before = PrivateKib();
        HMODULE plugin = LoadLibraryA(argv[2]);
        const double after = plugin != nullptr ? PrivateKib() + ImageKib(plugin) : -1.0;
        std::printf("%.0f %.0f\n", before, after);
        return 0;
    }
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string folder(self);
    folder.erase(folder.find_last_of('\\') + 1);
    const struct {
        const char* label;
        std::string path;
    } files[] = {
        {"private memory after loading krxstat.dll as shipped",
         folder + "..\\shipped\\krxstat.dll"},
        {"  for reference: as built, debug information inside", folder + "krxstat.dll"},
    };
    for (const auto& file : files) {
        std::vector<double> before, after;
        for (int r = 0; r < bench::kRuns; ++r) {
            const std::string out = bench::RunSelf("one \"" + file.path + "\"");
            double b = 0, a = -1;
            if (std::sscanf(out.c_str(), "%lf %lf", &b, &a) != 2 || a < 0) {
                std::printf("load: %s could not be loaded\n", file.path.c_str());
                return 1;
            }
            before.push_back(b);
            after.push_back(a);
        }
        bench::Print(file.label, bench::Summarise(after), "(the process before the load)",
                     bench::Summarise(before), "KiB");
    }
    return 0;
}
