// Fuzz target: what the job monitor keeps of the port monitor's job property
// replies (the job text, the paper words) and the sizes it sends with each
// property. The delivered bytes are copied into a buffer of exactly their
// size, as the monitor's own reply buffer is, so that reading past it is an
// address-sanitizer error.
//
// Input: four bytes of property number, then the reply.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "jobs/job_record.h"
#include "jobs/port_monitor_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) {
        return 0;
    }
    int32_t property;
    memcpy(&property, data, sizeof(property));
    data += 4;
    size -= 4;
    std::unique_ptr<char[]> reply(new char[size ? size : 1]);
    if (size != 0) {
        memcpy(reply.get(), data, size);
    }

    // The job text: the delivered bytes up to the first zero, at most 63 of
    // them, always terminated.
    char text[krx::kJobTextSize];
    memset(text, 'x', sizeof(text));
    krx::StoreJobText(text, reply.get(), size);
    size_t kept = strnlen(reply.get(), size);
    kept = kept < krx::kJobTextSize - 1 ? kept : krx::kJobTextSize - 1;
    if (strnlen(text, sizeof(text)) != kept || memcmp(text, reply.get(), kept) != 0) {
        __builtin_trap();
    }

    // The paper words, in the order they come.
    if (size >= 6) {
        krx::JobRecord record = {};
        unsigned char paper[6];
        memcpy(paper, data, sizeof(paper));
        krx::StorePaperWords(record, paper);
        if (memcmp(&record.paperWord0, data, 2) != 0 ||
            memcmp(&record.mediaType, data + 2, 2) != 0 ||
            memcmp(&record.paperSize, data + 4, 2) != 0) {
            __builtin_trap();
        }
    }

    // What goes out with the property: the text and its terminator for the
    // string properties, never more than a fixed 16 bytes for the others.
    std::string sent(reply.get(), size);
    int bytes = krx::pm::JobPropertyDataSize(property, sent.c_str());
    bool textProperty = property == 0 || property == 1;
    if (bytes < 0 || (textProperty && static_cast<size_t>(bytes) != strlen(sent.c_str()) + 1) ||
        (!textProperty && bytes > 16)) {
        __builtin_trap();
    }
    if (krx::pm::JobPropertyDataSize(property, nullptr) > (textProperty ? 0 : 16)) {
        __builtin_trap();
    }
    return 0;
}
