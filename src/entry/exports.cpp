// The plug-in's exported functions: thin shims that keep every error
// inside the module and hand the work to the subsystem that owns it.
#include "krxstat.h"

#include "entry/data_exports.h"
#include "entry/default_settings.h"
#include "entry/export_guard.h"
#include "entry/status_query.h"
#include "ui/status_window/window_exports.h"

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

extern "C" int KRX_API PrEnumItem(HMODULE module, int* index, char* name, int* itemNumber) {
    return krx::GuardExport(
        1, [&] { return krx::EnumNotificationItem(module, index, name, itemNumber); });
}

extern "C" int KRX_API SetRegDefaultValue(const char* profilePath, const char* modelName,
                                          const char* storeKeyPath) {
    return krx::GuardExport(
        1, [&] { return krx::WriteDefaultSettings(profilePath, modelName, storeKeyPath); });
}

extern "C" int KRX_API PrSelectChan(DWORD /*reserved*/, const void* entries, int count,
                                    int* channelId, int* out5, int* out6) {
    return krx::GuardExport(
        1, [&] { return krx::SelectStatusChannel(entries, count, channelId, out5, out6); });
}

extern "C" int KRX_API PrGetPrnData(DWORD /*reserved1*/, DWORD /*reserved2*/, int channelHandle,
                                    int* out4, void** buffer) {
    return krx::GuardExport(1,
                            [&] { return krx::CollectPrinterData(channelHandle, out4, buffer); });
}

// Nothing is sent: the plug-in has no data of its own for the printer.
extern "C" int KRX_API PrSendPrnData(DWORD /*reserved1*/, DWORD /*reserved2*/, int channelHandle) {
    return channelHandle > 0 ? 0 : -1;
}

extern "C" int KRX_API PrReleaseReg(void) {
    return 0;
}

extern "C" int KRX_API PrStartKRX_S(const char* printerName, const char* portName,
                                    const char* modelSection, const char* modelFile,
                                    const char* resourcePath) {
    return krx::GuardExport(1, [&] {
        return krx::StartMonitorWindow(krx::kViewPopup, printerName, portName, modelSection,
                                       modelFile, resourcePath, 0);
    });
}

extern "C" int KRX_API PrStartKRX_D(const char* printerName, const char* portName,
                                    const char* modelSection, const char* modelFile,
                                    const char* resourcePath) {
    return krx::GuardExport(1, [&] {
        return krx::StartMonitorWindow(krx::kViewDetail, printerName, portName, modelSection,
                                       modelFile, resourcePath, 0);
    });
}

extern "C" int KRX_API PrStartKRX_PM(const char* printerName, const char* portName,
                                     const char* modelSection, const char* modelFile,
                                     const char* resourcePath, int jobId) {
    return krx::GuardExport(1, [&] {
        return krx::StartMonitorWindow(krx::kViewProgress, printerName, portName, modelSection,
                                       modelFile, resourcePath, jobId);
    });
}
