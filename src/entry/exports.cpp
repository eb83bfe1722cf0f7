// The plug-in's exported functions: thin shims that keep every error
// inside the module and hand the work to the subsystem that owns it.
#include "krxstat.h"

#include "entry/export_guard.h"
#include "entry/status_query.h"

extern "C" int KRX_API PrGetStatusB(int /*reserved1*/, int channelKind, int channelHandle,
                                    int* statusNumber, int* stCode, int* soundFlag, int* notifyFlag,
                                    const char* printerName, const char* portName,
                                    int /*reserved2*/, const char* modelName, int* replyKind) {
    return krx::GuardExport(-1, [&] {
        krx::StatusQueryOutputs out{statusNumber, stCode, soundFlag, notifyFlag, replyKind};
        return krx::QueryPrinterStatus(channelKind, channelHandle, out, printerName, portName,
                                       modelName);
    });
}
