// Module load and unload: the module-wide values are created empty and the
// trace switch is read once; nothing else happens at load.
#include <windows.h>

#include "base/module/module_state.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        krx::SetSelfModule(instance);
        krx::InitializeModuleState();
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Unloaded by FreeLibrary: give back the store watches and the
        // thread slot. At process exit the system takes them back.
        krx::ReleaseModuleState();
    }
    return TRUE;
}
