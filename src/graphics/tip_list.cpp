// Tips list.
#include "graphics/tip_list.h"

#include <windows.h>

#include <algorithm>

#include "common/resource_ids.h"
#include "base/registry/registry_key.h"
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
    m_strUserKeyPath = userKeyPath;
    std::string countText;
    if (!LoadResourceString(IDS_TIP_COUNT, &countText)) {
        return 0;
    }
    int count = ParseDecimalPrefix(countText.c_str(), countText.size());
    if (count <= 0) {
        return 0;
    }
    m_nSpecialTextId = 0;
    m_nSpecialTopicId = 0;
    if (HasString(IDS_TIP_SPECIAL_TEXT)) {
        if (HasString(IDS_TIP_SPECIAL_TOPIC)) {
            m_nSpecialTextId = IDS_TIP_SPECIAL_TEXT;
            m_nSpecialTopicId = IDS_TIP_SPECIAL_TOPIC;
            --count;
        }
    }
    // Past the block size a tip's text id would run into the topic ids.
    count = std::min(count, kMaxRegularTips);
    for (int k = 0; k < count; ++k) {
        unsigned textId = IDS_TIP_TEXT_BASE + static_cast<unsigned>(k);
        unsigned topicId = IDS_TIP_TOPIC_BASE + static_cast<unsigned>(k);
        if (HasString(textId) && HasString(topicId)) {
            m_Entries.push_back({textId, topicId});
        }
    }
    return 1;
}

int TipList::SetTipFlags(int wanted) {
    const bool want = (wanted & kSpecialTipFlag) != 0;
    const bool present = (m_nFlags & kSpecialTipFlag) != 0;
    if (want && !present) {
        if (m_nSpecialTextId != 0 && m_nSpecialTopicId != 0) {
            m_Entries.push_back({m_nSpecialTextId, m_nSpecialTopicId});
        }
        m_nFlags |= kSpecialTipFlag;
    } else if (!want && present) {
        auto special = std::find_if(m_Entries.begin(), m_Entries.end(), [](const TipEntry& e) {
            return e.textId == IDS_TIP_SPECIAL_TEXT;
        });
        if (special != m_Entries.end()) {
            m_Entries.erase(special);
        }
        m_nFlags &= ~kSpecialTipFlag;
    }
    return 1;
}

int TipList::WrappedIndex(int index) const {
    // A saved index from a longer list (or a damaged value) starts over.
    if (index < 0 || index >= static_cast<int>(m_Entries.size())) {
        return 0;
    }
    return index;
}

int TipList::AdvanceTip() {
    if (m_nCurrent == -1) {
        m_nCurrent = 0;
        if (!m_strUserKeyPath.empty()) {
            RegistryKey key(HKEY_CURRENT_USER, m_strUserKeyPath.c_str(), false,
                            RegistryKey::kAllAccess);
            if (key.IsOpen()) {
                int saved = key.ReadNumber(kTipIndexValue, -1);
                m_nCurrent = WrappedIndex(saved == INT32_MAX ? -1 : saved + 1);
            }
        }
    } else {
        m_nCurrent = WrappedIndex(m_nCurrent + 1);
    }
    if (!m_strUserKeyPath.empty()) {
        RegistryKey key(HKEY_CURRENT_USER, m_strUserKeyPath.c_str(), false,
                        RegistryKey::kAllAccess);
        if (key.IsOpen()) {
            key.WriteNumber(kTipIndexValue, static_cast<DWORD>(m_nCurrent));
        }
    }
    return 1;
}

bool TipList::CurrentInList() const {
    return m_nCurrent >= 0 && m_nCurrent < static_cast<int>(m_Entries.size());
}

std::string TipList::CurrentTipText() const {
    std::string text;
    if (CurrentInList()) {
        LoadResourceString(m_Entries[static_cast<size_t>(m_nCurrent)].textId, &text);
    }
    return text;
}

int32_t TipList::CurrentTipTopic() const {
    if (!CurrentInList()) {
        return -1;
    }
    ResourceText topic;
    if (!topic.LoadText(m_Entries[static_cast<size_t>(m_nCurrent)].topicId)) {
        return 0;
    }
    return ParseTipTopic(topic.Text(), topic.String().size());
}

} // namespace krx
