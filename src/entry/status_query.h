// The status query behind PrGetStatusB.
#pragma once

namespace krx {

struct StatusQueryOutputs {
    int* statusNumber; // not cleared on entry
    int* stCode;
    int* sound;
    int* notify;
    int* replyKind; // 2 for ST code 3, else 1; 0 when nothing was decoded
};

int QueryPrinterStatus(int channelKind, int channelHandle, const StatusQueryOutputs& out,
                       const char* printerName, const char* portName, const char* modelName);

} // namespace krx
