// Guide step table reader.
#include "graphics/guide_steps.h"

namespace krx {

namespace {
constexpr size_t kCountSize = 2;
constexpr size_t kStepSize = 8;

uint16_t Word(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | (static_cast<unsigned>(p[1]) << 8));
}
} // namespace

bool ParseGuideTable(const unsigned char* data, size_t size, GuideTable* table) {
    if (table == nullptr) {
        return false;
    }
    *table = GuideTable{};
    if (data == nullptr || size < kCountSize) {
        return false;
    }
    table->declaredSteps = Word(data);
    size_t fitting = (size - kCountSize) / kStepSize;
    size_t count = table->declaredSteps < fitting ? table->declaredSteps : fitting;
    if (count == 0) {
        return false;
    }
    table->steps.reserve(count);
    for (size_t k = 0; k < count; ++k) {
        const unsigned char* p = data + kCountSize + kStepSize * k;
        table->steps.push_back({Word(p), Word(p + 2), Word(p + 4), Word(p + 6)});
    }
    if (count == table->declaredSteps) {
        size_t start = kCountSize + kStepSize * count;
        size_t end = start;
        while (end < size && data[end] != 0) {
            ++end;
        }
        table->title.assign(reinterpret_cast<const char*>(data + start), end - start);
    }
    return true;
}

std::vector<unsigned> GuideFrameIds(const GuideStep& step) {
    std::vector<unsigned> ids;
    ids.reserve(step.frameCount);
    for (unsigned i = 0; i < step.frameCount; ++i) {
        ids.push_back(static_cast<unsigned>(step.firstBitmap) + i);
    }
    return ids;
}

} // namespace krx
