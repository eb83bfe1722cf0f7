// FittedLabel: a static text item that shows a text shortened with "..."
// until it fits the item's width, used for document names. Cuts never split
// a double-byte character.
#pragma once

#include <windows.h>

#include "common/dialog.h"
#include "graphics/fitted_text.h"

namespace krx {

class FittedLabel : public SubclassedControl {
  public:
    FittedLabel();

    // Sets the window text to `text` or to its shortened form; null is an
    // empty text.
    void SetFittedText(const char* text);

    // Which bytes begin a double-byte character; the system's code page
    // unless set (tests give a fixed code page).
    void SetLeadBytePredicate(LeadBytePredicate isLead) { m_pIsLead = std::move(isLead); }

  private:
    LeadBytePredicate m_pIsLead;
};

} // namespace krx
