// A host built from the public header alone: loads krxstat.dll, resolves
// every export through the header's function types and calls each with
// arguments that make it answer without opening a window. Prints
// "N passed, N failed".
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "krxstat.h"

static_assert(sizeof(KrxChannelEntry) == 8, "channel entries are 8 bytes");

namespace {

int g_passed = 0;
int g_failed = 0;

void Check(bool ok, const char* what, int value) {
    if (ok) {
        ++g_passed;
    } else {
        ++g_failed;
        printf("FAILED: %s (got %d)\n", what, value);
    }
}

template <typename Fn> Fn Resolve(HMODULE module, const char* name) {
    Fn fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    Check(fn != nullptr, name, 0);
    return fn;
}

} // namespace

int main() {
    HMODULE plugin = LoadLibraryA("krxstat.dll");
    if (plugin == nullptr) {
        printf("FAILED: krxstat.dll does not load\n0 passed, 1 failed\n");
        return 1;
    }
    auto getStatus = Resolve<PFN_PrGetStatusB>(plugin, "PrGetStatusB");
    auto enumItem = Resolve<PFN_PrEnumItem>(plugin, "PrEnumItem");
    auto setDefaults = Resolve<PFN_SetRegDefaultValue>(plugin, "SetRegDefaultValue");
    auto selectChan = Resolve<PFN_PrSelectChan>(plugin, "PrSelectChan");
    auto getData = Resolve<PFN_PrGetPrnData>(plugin, "PrGetPrnData");
    auto sendData = Resolve<PFN_PrSendPrnData>(plugin, "PrSendPrnData");
    auto releaseReg = Resolve<PFN_PrReleaseReg>(plugin, "PrReleaseReg");
    auto startS = Resolve<PFN_PrStartKRX_S>(plugin, "PrStartKRX_S");
    auto startD = Resolve<PFN_PrStartKRX_D>(plugin, "PrStartKRX_D");
    auto startPM = Resolve<PFN_PrStartKRX_PM>(plugin, "PrStartKRX_PM");
    if (g_failed != 0) {
        printf("%d passed, %d failed\n", g_passed, g_failed);
        return 1;
    }

    int status = -99, st = -99, sound = -99, notify = -99, kind = -99;
    int rc = getStatus(0, 0x10000004, 1, &status, &st, &sound, &notify, "No Printer", "", 0,
                       "NoModel", &kind);
    // With the library loaded the unknown kind falls back to status 11;
    // without it the plug-in answers 1 and leaves the outputs alone.
    Check(rc == 1, "PrGetStatusB answers 1", rc);

    int index = 99;
    char name[260] = "unchanged";
    int item = -1;
    rc = enumItem(plugin, &index, name, &item); // the plug-in has no item strings
    Check(rc == 1 && index == 0, "PrEnumItem outside the list", rc);

    rc = setDefaults("c:\\no\\such.ini", "NoModel", "software\\NORVA\\NoSuchStore");
    Check(rc == 1, "SetRegDefaultValue without a store key", rc);

    KrxChannelEntry entries[1] = {{KRX_CHANNEL_STATUS_FIRST, KRX_CHANNEL_ATTR_STATUS, 0}};
    int channel = 0, out5 = 7, out6 = 7;
    rc = selectChan(0, entries, 0, &channel, &out5, &out6);
    Check(rc == 1, "PrSelectChan with no entries", rc);
    rc = selectChan(0, entries, 1, &channel, &out5, &out6);
    Check(rc == 0 && channel == 4 && out5 == 0 && out6 == 0, "PrSelectChan picks 0x00000004", rc);

    int out4 = 5;
    void* buffer = nullptr;
    rc = getData(0, 0, 0, &out4, &buffer);
    Check(rc == -1 || rc == 1, "PrGetPrnData with handle 0", rc);

    Check(sendData(0, 0, 5) == 0, "PrSendPrnData handle 5", 0);
    Check(sendData(0, 0, 0) == -1, "PrSendPrnData handle 0", 0);
    Check(releaseReg() == 0, "PrReleaseReg", 0);

    // A resource library that does not exist: no window can open.
    rc = startS("No Printer", "", "NoModel", "c:\\no\\such.ini", "c:\\no\\res.dll");
    Check(rc == 1, "PrStartKRX_S without its resources", rc);
    rc = startD("No Printer", "", "NoModel", "c:\\no\\such.ini", "c:\\no\\res.dll");
    Check(rc == 1, "PrStartKRX_D without its resources", rc);
    rc = startPM("No Printer", "", "NoModel", "c:\\no\\such.ini", "c:\\no\\res.dll", 1);
    Check(rc == 1, "PrStartKRX_PM without its resources", rc);

    FreeLibrary(plugin);
    printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed == 0 ? 0 : 1;
}
