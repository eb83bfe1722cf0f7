// Filling the job record from property data.
#include "jobs/job_record.h"

#include <cstring>

namespace krx {

void StoreJobText(char (&jobText)[kJobTextSize], const char* text, size_t size) {
    memset(jobText, 0, sizeof(jobText));
    if (text == nullptr) {
        return;
    }
    size_t length = 0;
    while (length < size && length < kJobTextSize - 1 && text[length] != '\0') {
        ++length;
    }
    memcpy(jobText, text, length);
}

void StorePaperWords(JobRecord& record, const unsigned char (&paper)[6]) {
    memcpy(&record.paperWord0, paper + 0, 2);
    memcpy(&record.mediaType, paper + 2, 2);
    memcpy(&record.paperSize, paper + 4, 2);
}

} // namespace krx
