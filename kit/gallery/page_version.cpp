// Gallery page "version": the version information dialog on the simulated
// installation, with the kit's host module, companion program and library
// versions.
#include <string>

#include "base/module/module_state.h"
#include "gallery.h"
#include "graphics/version_dialog.h"
#include "kit_install.h"
#include "kit_paths.h"

namespace {

int Run(const gallery::PageContext& /*context*/) {
    kit::InstallOptions options;
    options.addSpoolerPrinter = false;
    options.bxapiPath = kit::ExecutableFolder() + "BXAPI.DLL";
    kit::InstallSimulatedSystem(options);
    krx::ThisCall().driverKey = std::string("software\\NORVA\\KRX3\\Driver\\") + kit::kDriverName;

    // The plug-in's own version comes from krxstat.dll, not from this program.
    HMODULE plugin = LoadLibraryA("krxstat.dll");
    if (plugin != nullptr) {
        krx::SetSelfModule(plugin);
    }
    krx::VersionDialog dialog;
    dialog.Show(nullptr);
    krx::SetSelfModule(GetModuleHandleA(nullptr));
    if (plugin != nullptr) {
        FreeLibrary(plugin);
    }
    return 0;
}

gallery::PageRegistration registration("version", "version information dialog", Run);

} // namespace
