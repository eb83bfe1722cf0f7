// TipList: the tips the status window shows one at a time (string pairs of
// the language resource library: a text and a help-topic number), the index
// of the last one shown per user ("TipIndex"), and the special ink tip that
// the window adds while the printer warns about ink.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace krx {

struct TipEntry {
    unsigned textId;
    unsigned topicId;
};

class TipList {
  public:
    // Flag bit 0: the special tip is in the list.
    static constexpr int kSpecialTipFlag = 0x1;
    // The resource texts number their tips in blocks of this many ids.
    static constexpr int kMaxRegularTips = 100;

    // Reads the tips of the current resource module and remembers the
    // per-user key (under HKEY_CURRENT_USER) that holds "TipIndex". 1 when
    // the resource gives a tip count, else 0 and nothing is added.
    int LoadTips(const std::string& userKeyPath);

    int TipFlags() const { return m_nFlags; }
    // Bit 0 of `wanted` says whether the special tip is wanted; always 1.
    int SetTipFlags(int wanted);

    // Moves to the next tip, wrapping to the first, and remembers it for the
    // user. The first call continues after the index the user saw last.
    int AdvanceTip();

    // The current tip's text and topic number; empty text and -1 while the
    // index is outside the list (before the first AdvanceTip, or after the
    // special tip was taken away while shown).
    std::string CurrentTipText() const;
    int32_t CurrentTipTopic() const;

    const std::vector<TipEntry>& Entries() const { return m_Entries; }
    int CurrentIndex() const { return m_nCurrent; }

  private:
    bool CurrentInList() const;
    int WrappedIndex(int index) const;

    std::vector<TipEntry> m_Entries;
    unsigned m_nSpecialTextId = 0;
    unsigned m_nSpecialTopicId = 0;
    int m_nFlags = 0;
    int m_nCurrent = -1;
    std::string m_strUserKeyPath;
};

} // namespace krx
