// The tips area of the status window's meter: the tips button (item 317)
// that shows or hides the area, the tip text (318) and its help button
// (320), the user's "DisplayTips" choice, and the countdown after which the
// next tip is shown while a job prints.
#pragma once

#include <windows.h>

#include <string>

#include "graphics/tip_list.h"
#include "jobs/job_record.h"
#include "ui/icon_button.h"

namespace krx {

class MonitoredPrinter;

class TipsPanel {
  public:
    // Binds the tips button of the window.
    void Attach(HWND window);
    // The button's icon and caption.
    void SetUpButton();
    // False when the item drawn is not the tips button.
    bool DrawButton(const DRAWITEMSTRUCT& item) { return m_Button.DrawItem(item); }

    // The user's choice, from the printer's store key (shown by default).
    void ReadChoice(const MonitoredPrinter& printer);
    bool Enabled() const { return m_bEnabled != 0; }
    // The tips of the language library; the last tip seen is kept per user.
    void Load(const std::string& userKeyPath) { m_List.LoadTips(userKeyPath); }
    TipList& List() { return m_List; }
    const TipList& List() const { return m_List; }

    // The tips button: the area shown or hidden, the choice stored.
    void Toggle(const MonitoredPrinter& printer);
    // A job shown for the first time: the next tip, the countdown anew.
    void StartJob();
    // One progress tick of the same job: the next tip once the countdown has
    // run out, unless the job is about to end.
    void Tick(const JobRecord& job);

    // The help topic of the tip shown, in the model's help file.
    void OpenHelp(const std::string& modelFile) const;

  private:
    void ShowNext();

    HWND m_hWnd = nullptr;
    int m_bEnabled = 1; // "DisplayTips"
    TipList m_List;
    int m_nCountdown = 0; // progress ticks until the next tip
    IconButton m_Button;  // 317
};

} // namespace krx
