// Loading and freeing the plug-in and each of the kit's libraries a thousand
// times leaves the process's handle count where it was.
#include <gtest/gtest.h>

#include <cstdio>

#include "hardening_support.h"
#include "kit_install.h"

namespace hardening {
namespace {

constexpr long kHandleSlack = 8;

// A host may load and free the plug-in at every call, and the plug-in loads
// and frees the kit's libraries as often: nothing may stay behind.
TEST(LoadCycles, LoadingAndFreeingLeavesNoHandles) {
    constexpr int kCycles = 1000;
    // A host keeps the system's multimedia and spooler libraries loaded;
    // loaded and freed with the plug-in each time, Wine's own audio codec
    // manager would leave its registry keys behind.
    HMODULE keep[] = {LoadLibraryA("winmm.dll"), LoadLibraryA("winspool.drv")};
    for (const char* name :
         {"krxstat.dll", "BXAPI.DLL", "nvnetq10.dll", "kitink.dll", "kitinkut.dll", "kitpict.dll",
          "krxres_en.dll", "krxres_ja.dll", "N_QHUB05.DLL"}) {
        const std::string path = kit::ExecutableFolder() + name;
        // The first load may set up what the process keeps anyway.
        HMODULE first = LoadLibraryA(path.c_str());
        ASSERT_NE(nullptr, first) << name;
        FreeLibrary(first);
        const DWORD before = MeasureResources().handles;
        for (int cycle = 0; cycle < kCycles; ++cycle) {
            HMODULE module = LoadLibraryA(path.c_str());
            ASSERT_NE(nullptr, module) << name << " cycle " << cycle;
            FreeLibrary(module);
        }
        const DWORD after = MeasureResources().handles;
        std::printf("%d load cycles of %s: handles %lu -> %lu\n", kCycles, name,
                    static_cast<unsigned long>(before), static_cast<unsigned long>(after));
        EXPECT_LE(static_cast<long>(after) - static_cast<long>(before), kHandleSlack)
            << name << ": " << DescribeHandleKinds();
    }
    for (HMODULE module : keep) {
        FreeLibrary(module);
    }
}

} // namespace
} // namespace hardening
