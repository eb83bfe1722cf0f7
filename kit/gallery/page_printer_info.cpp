// Gallery page "printer_info": the printer information dialog asking the
// simulated printer on its information channel and showing its reply.
#include <string>

#include "comm/bxapi.h"
#include "base/module/module_state.h"
#include "gallery.h"
#include "graphics/printer_info_dialog.h"
#include "kit_install.h"
#include "kit_paths.h"

namespace {

std::string KitPrinterDriver(const char* /*printerName*/) {
    return kit::kDriverName;
}

int Run(const gallery::PageContext& /*context*/) {
    kit::InstallOptions options;
    options.addSpoolerPrinter = false;
    options.bxapiPath = kit::ExecutableFolder() + "BXAPI.DLL";
    kit::InstallSimulatedSystem(options);
    kit::SimPrinter::Reset();
    kit::SimPrinter::ScriptTypicalPrinter();
    // The kit's printer is not in the spooler here: the module is told its
    // driver as the spooler would answer.
    krx::RememberPrinterName(kit::kPrinterName);
    krx::RememberedDriverName(kit::kPrinterName, KitPrinterDriver);

    krx::CBxApi bx(kit::kPrinterName);
    if (!bx.IsEnabled()) {
        return 1;
    }
    const int channel = bx.BXOpenChannel(1, kit::kPrinterName, KRX_CHANNEL_INFO_D4);
    krx::PrinterInfoDialog dialog;
    dialog.ShowPrinterInformation(bx, channel);
    bx.BXReceiveCancel(channel);
    bx.BXCloseChannel(channel);
    return 0;
}

gallery::PageRegistration registration("printer_info",
                                       "printer information dialog on the simulated printer", Run);

} // namespace
