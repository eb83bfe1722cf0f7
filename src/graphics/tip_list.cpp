// Tips list.
#include "graphics/tip_list.h"

#include <windows.h>

#include <algorithm>

#include "common/resource_ids.h"
#include "entry/registry/registry_key.h"
#include "graphics/resource_text.h"
#include "graphics/tip_topic.h"

namespace krx {

namespace {
constexpr char kTipIndexValue[] = "TipIndex";

bool HasString(UINT id) {
    std::string text;
    return LoadResourceString(id, &text);
}
} // namespace

int TipList::LoadTips(const std::string& userKeyPath) {
    userKeyPath_ = userKeyPath;
    std::string countText;
    if (!LoadResourceString(IDS_TIP_COUNT, &countText)) {
        return 0;
    }
    int count = ParseDecimalPrefix(countText.c_str(), countText.size());
    if (count <= 0) {
        return 0;
    }
    specialTextId_ = 0;
    specialTopicId_ = 0;
    if (HasString(IDS_TIP_SPECIAL_TEXT)) {
        if (HasString(IDS_TIP_SPECIAL_TOPIC)) {
            specialTextId_ = IDS_TIP_SPECIAL_TEXT;
            specialTopicId_ = IDS_TIP_SPECIAL_TOPIC;
            --count;
        }
    }
    // Past the block size a tip's text id would run into the topic ids.
    count = std::min(count, kMaxRegularTips);
    for (int k = 0; k < count; ++k) {
        unsigned textId = IDS_TIP_TEXT_BASE + static_cast<unsigned>(k);
        unsigned topicId = IDS_TIP_TOPIC_BASE + static_cast<unsigned>(k);
        if (HasString(textId) && HasString(topicId)) {
            entries_.push_back({textId, topicId});
        }
    }
    return 1;
}

int TipList::SetTipFlags(int wanted) {
    const bool want = (wanted & kSpecialTipFlag) != 0;
    const bool present = (flags_ & kSpecialTipFlag) != 0;
    if (want && !present) {
        if (specialTextId_ != 0 && specialTopicId_ != 0) {
            entries_.push_back({specialTextId_, specialTopicId_});
        }
        flags_ |= kSpecialTipFlag;
    } else if (!want && present) {
        auto special = std::find_if(entries_.begin(), entries_.end(), [](const TipEntry& e) {
            return e.textId == IDS_TIP_SPECIAL_TEXT;
        });
        if (special != entries_.end()) {
            entries_.erase(special);
        }
        flags_ &= ~kSpecialTipFlag;
    }
    return 1;
}

int TipList::WrappedIndex(int index) const {
    // A saved index from a longer list (or a damaged value) starts over.
    if (index < 0 || index >= static_cast<int>(entries_.size())) {
        return 0;
    }
    return index;
}

int TipList::AdvanceTip() {
    if (current_ == -1) {
        current_ = 0;
        if (!userKeyPath_.empty()) {
            RegistryKey key(HKEY_CURRENT_USER, userKeyPath_.c_str(), false,
                            RegistryKey::kAllAccess);
            if (key.IsOpen()) {
                int saved = key.ReadNumber(kTipIndexValue, -1);
                current_ = WrappedIndex(saved == INT32_MAX ? -1 : saved + 1);
            }
        }
    } else {
        current_ = WrappedIndex(current_ + 1);
    }
    if (!userKeyPath_.empty()) {
        RegistryKey key(HKEY_CURRENT_USER, userKeyPath_.c_str(), false, RegistryKey::kAllAccess);
        if (key.IsOpen()) {
            key.WriteNumber(kTipIndexValue, static_cast<DWORD>(current_));
        }
    }
    return 1;
}

bool TipList::CurrentInList() const {
    return current_ >= 0 && current_ < static_cast<int>(entries_.size());
}

std::string TipList::CurrentTipText() const {
    std::string text;
    if (CurrentInList()) {
        LoadResourceString(entries_[static_cast<size_t>(current_)].textId, &text);
    }
    return text;
}

int32_t TipList::CurrentTipTopic() const {
    if (!CurrentInList()) {
        return -1;
    }
    ResourceText topic;
    if (!topic.LoadText(entries_[static_cast<size_t>(current_)].topicId)) {
        return 0;
    }
    return ParseTipTopic(topic.Text(), topic.String().size());
}

} // namespace krx
