// Status evaluation: a decoded reply to a status class (0..27), the class to
// the host's status number and notification item, and the ink state mask.
// Pure code (no Windows headers).
#pragma once

#include <cstdint>

#include "status/status_classes.h"
#include "status/status_reply.h"

namespace krx {

// Ink state mask flags.
constexpr uint16_t kInkBlackLow = 0x0001;
constexpr uint16_t kInkBlackOut = 0x0010;
constexpr uint16_t kInkColourLow = 0x0100;
constexpr uint16_t kInkColourOut = 0x1000;

uint16_t ClassifyStatus(const ParsedStatusRecord& record);
// The class's status number and item number (either pointer may be null).
void MapStatusClass(int statusClass, int* statusNumber, int* itemNumber);
uint16_t InkStateMask(const ParsedStatusRecord& record, int statusClass);

} // namespace krx
