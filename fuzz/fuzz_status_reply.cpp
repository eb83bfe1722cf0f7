// Fuzz target: the status reply parser and the evaluation of what it decodes.
#include <cstddef>
#include <cstdint>

#include "status/status_eval.h"
#include "status/status_reply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    krx::ParsedStatusRecord record;
    if (krx::ParseStatusReply(data, size, &record) == 0) {
        int statusClass = krx::ClassifyStatus(record);
        int status = 0;
        int item = 0;
        krx::MapStatusClass(statusClass, &status, &item);
        krx::InkStateMask(record, statusClass);
    }
    return 0;
}
