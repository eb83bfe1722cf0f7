// What the status window does with its views when a status has been shown,
// a job has progressed or the user or the host asks: which view comes next,
// whether the window hides, closes or turns into a progress meter. Decided
// from the window's base view and current view, the status class, whether
// the user wants that class to bring the window up, and the job state.
// Pure code (no Windows headers): the window carries the decision out.
#pragma once

#include "ui/status_window/view_table.h"

namespace krx {

// When a decision is asked for.
enum class ViewEvent : int {
    kStatusTick,   // the status tick has shown (or, for a print-to-file meter, skipped) a status
    kStatusNews,   // the library's news on the status channel has shown a status
    kJobStarted,   // the progress tick of a Detail window that finds a job
    kPopupJobTick, // the progress tick of a pop-up
    kJobsEnded,    // the meter's last job has been shown complete and none follows
    kCloseButton,  // the user closes the window (its close button, or Enter)
    kOpenAsDetail, // the host asks for the Detail view
};

struct ViewSituation {
    int baseView = kViewNone;    // view the window was opened for (or has become)
    int view = kViewNone;        // view shown now
    int statusClass = -1;        // status class shown; -1 before the first
    bool popsUp = false;         // the user wants the class to bring the window up
    int meterStatusClass = -1;   // class shown when the meter was last put away
    bool visible = false;        // the window is on the screen
    int jobCount = 0;            // jobs the job monitor lists
    bool printing = false;       // the job monitor knows a job's progress
    bool meterTakesOver = false; // pop-up: printing was cancelled there and a further job began
    bool printToFile = false;    // the port prints to a file: nothing answers behind it
};

enum class InkArea : int { kKeep, kShow, kHide };
// kHide: the window waits hidden for the next job; kShowJob: it shows the
// job the monitor follows (and stops keeping itself hidden).
enum class WindowShow : int { kKeep, kHide, kShowJob };
// The class the meter showed when it was put away: noted, so that the same
// status does not bring the window back; forgotten, so that it does.
enum class MeterStatus : int { kKeep, kNote, kForget };
// Whether the window remembers where the user put it.
enum class Remember : int { kKeep, kOn, kOff };

// The decision, carried out in the order of its fields.
struct ViewDecision {
    int baseView = kViewNone; // the new base view; none: unchanged
    Remember remember = Remember::kKeep;
    bool freshStatus = false; // the status display starts again ("checking")
    InkArea ink = InkArea::kKeep;
    WindowShow show = WindowShow::kKeep;
    bool clearJobs = false; // the job display empties
    MeterStatus meter = MeterStatus::kKeep;
    int nextView = kViewNone;     // the view to switch to; none: the view stays
    bool defaultPosition = false; // the next view takes its default position
    bool troubleHelp = false;     // the trouble help of the class, in the view then shown
    bool close = false;           // nothing is left to show
};

class ViewPolicy {
  public:
    static ViewDecision Decide(ViewEvent event, const ViewSituation& situation);

    // Whether the decision depends on popsUp: the window looks the user's
    // notify setting up only then (a Detail window on its own never does).
    static bool NeedsPopsUp(ViewEvent event, const ViewSituation& situation);

    // A pop-up in the wide sense (opened as one, shown as one, or a Detail
    // window that came from the meter) closes once its status needs no
    // attention.
    static bool ClosesWhenQuiet(const ViewSituation& situation);
};

} // namespace krx
