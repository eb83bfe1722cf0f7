// Status readings: the one place where a reply becomes a status class.
#include "status/status_reading.h"

namespace krx {

namespace {

// The ST code of a printer that offers its extended information.
constexpr uint8_t kStateOffersInformation = 4;

} // namespace

StatusNumbers NumbersOfClass(int statusClass) {
    StatusNumbers numbers = {kStatusNoReply, kItemNoReply};
    MapStatusClass(statusClass, &numbers.statusNumber, &numbers.item);
    return numbers;
}

StatusReading DecodeStatusReading(const unsigned char* reply, size_t length) {
    StatusReading reading;
    ParsedStatusRecord record;
    if (ParseStatusReply(reply, length, &record) != 0) {
        return reading;
    }
    reading.decoded = true;
    reading.record = record;
    reading.statusClass = ClassifyStatus(record);
    reading.numbers = NumbersOfClass(reading.statusClass);
    return reading;
}

bool OffersInformation(const ParsedStatusRecord& record) {
    return record.st == kStateOffersInformation;
}

} // namespace krx
