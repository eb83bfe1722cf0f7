/* A file planted in the current folder under the names the plug-in looks
 * for: a library whose loading runs its DllMain, or a program. Either way it
 * writes down that its code ran, so a test can prove it never did. */
#include <windows.h>

static void NoteTouched(HMODULE self) {
    char path[MAX_PATH] = "?";
    GetModuleFileNameA(self, path, MAX_PATH);
    HKEY key = NULL;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\NorvaKit\\Planted", 0, NULL, 0, KEY_SET_VALUE,
                        NULL, &key, NULL) == ERROR_SUCCESS) {
        RegSetValueExA(key, "Touched", 0, REG_SZ, (const BYTE*)path, lstrlenA(path) + 1);
        RegCloseKey(key);
    }
}

#ifdef PLANTED_PROGRAM
int main(void) {
    NoteTouched(NULL);
    return 0;
}
#else
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        NoteTouched(instance);
    }
    return TRUE;
}
#endif
