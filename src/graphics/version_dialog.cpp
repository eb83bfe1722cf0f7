// Version dialog: each control keeps its template text when its version
// cannot be found.
#include "graphics/version_dialog.h"

#include <string>

#include "common/resource_ids.h"
#include "base/module/install_paths.h"
#include "base/module/module_state.h"
#include "base/profile/profile_reader.h"
#include "base/registry/registry_key.h"
#include "base/registry/registry_paths.h"

namespace krx {

namespace {

using regkey::kLibraryInfoKey;
using regkey::kProfileKey;

std::string DriverVersion() {
    if (ThisCall().driverKey.empty()) {
        return {};
    }
    std::string model =
        RegistryKey(HKEY_LOCAL_MACHINE, ThisCall().driverKey.c_str()).ReadText("ModelID", "");
    if (model.empty()) {
        return {};
    }
    std::string profile = RegistryKey(HKEY_LOCAL_MACHINE, kProfileKey).ReadText(model.c_str(), "");
    std::string version;
    if (profile.empty() ||
        ReadProfileString(profile.c_str(), model.c_str(), "NVAVER", &version) != kProfileFound) {
        return {};
    }
    return version;
}

std::string FileVersion(const std::string& path) {
    std::string version;
    ReadFileVersionString(path.c_str(), &version);
    return version;
}

std::string OwnFileVersion() {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(SelfModule(), path, sizeof(path));
    if (length == 0 || length >= sizeof(path)) {
        return {};
    }
    return FileVersion(path);
}

std::string LibraryVersion() {
    RegistryKey key(HKEY_LOCAL_MACHINE, kLibraryInfoKey);
    std::string version = key.ReadText("BXAPIVersion", "");
    if (version.empty()) {
        version = key.ReadText("Version", "");
    }
    return version;
}

} // namespace

VersionDialog::VersionDialog() : Dialog(IDD_VERSION) {}

INT_PTR VersionDialog::Show(HWND parent) {
    return DoModal(parent, ThisCall().resourceModule);
}

void VersionDialog::SetVersion(int item, const std::string& version) {
    if (!version.empty()) {
        SetDlgItemTextA(Hwnd(), item, ("Ver. " + version).c_str());
    }
}

BOOL VersionDialog::OnInitDialog() {
    SetVersion(IDC_VERSION_DRIVER, DriverVersion());
    SetVersion(IDC_VERSION_HOST, FileVersion(FindHostModule()));
    SetVersion(IDC_VERSION_PLUGIN, OwnFileVersion());
    SetVersion(IDC_VERSION_BXAPI, LibraryVersion());
    SetVersion(IDC_VERSION_COMPANION, FileVersion(FindCompanionProgram()));
    return TRUE;
}

} // namespace krx
