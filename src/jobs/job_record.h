// JobRecord: the progress of the print job being followed, as the job-monitor
// worker stores it and the progress meter copies it whole. The layout is
// fixed (104 bytes); the status window keeps a copy of the same shape. Pure
// code (no Windows headers).
#pragma once

#include <cstddef>
#include <cstdint>

namespace krx {

constexpr size_t kJobTextSize = 64; // at most 63 characters and the terminator

// Job status flags (property 101).
constexpr uint32_t kJobStatusNoPauseResume = 0x08; // takes no pause or resume request
constexpr uint32_t kJobStatusPaused = 0x10;

struct JobRecord {
    uint32_t jobId;             // spooler job id being followed
    char jobText[kJobTextSize]; // property 1, always terminated
    uint16_t paperWord0;        // property 21, bytes 0-1
    uint16_t mediaType;         // property 21, bytes 2-3
    uint16_t paperSize;         // property 21, bytes 4-5
    uint32_t jobStatus;         // property 101
    uint32_t sheet;             // property 102, bytes 0-3
    uint32_t sheets;            // property 102, bytes 4-7
    uint32_t progress;          // property 103, bytes 0-3
    uint32_t progressRange;     // property 103, bytes 4-7
    uint32_t timeKnown;         // result of reading property 104
    uint32_t time;              // property 104, seconds; 0 when not known
};

static_assert(sizeof(JobRecord) == 104, "the status window copies the record whole");
static_assert(offsetof(JobRecord, jobText) == 4, "JobRecord layout");
static_assert(offsetof(JobRecord, paperWord0) == 68, "JobRecord layout");
static_assert(offsetof(JobRecord, mediaType) == 70, "JobRecord layout");
static_assert(offsetof(JobRecord, paperSize) == 72, "JobRecord layout");
static_assert(offsetof(JobRecord, jobStatus) == 76, "JobRecord layout");
static_assert(offsetof(JobRecord, sheet) == 80, "JobRecord layout");
static_assert(offsetof(JobRecord, sheets) == 84, "JobRecord layout");
static_assert(offsetof(JobRecord, progress) == 88, "JobRecord layout");
static_assert(offsetof(JobRecord, progressRange) == 92, "JobRecord layout");
static_assert(offsetof(JobRecord, timeKnown) == 96, "JobRecord layout");
static_assert(offsetof(JobRecord, time) == 100, "JobRecord layout");

// Stores a job text as the port monitor delivered it: the bytes up to the
// first zero or the end of the delivered size, whichever comes first, cut to
// 63 characters, always terminated. A null text stores an empty one.
void StoreJobText(char (&jobText)[kJobTextSize], const char* text, size_t size);

// The three 16-bit paper words of property 21 (6 bytes, native order).
void StorePaperWords(JobRecord& record, const unsigned char (&paper)[6]);

} // namespace krx
