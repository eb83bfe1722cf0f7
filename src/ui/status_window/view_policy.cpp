// The status window's view decisions.
#include "ui/status_window/view_policy.h"

namespace krx {

namespace {

// A window whose status shown may end it.
bool PopupLike(const ViewSituation& s) {
    if (s.statusClass == -1) {
        return false;
    }
    return s.baseView == kViewPopup || s.view == kViewPopup ||
           (s.view == kViewDetail && s.baseView == kViewProgress);
}

// A status that needs no attention ends a pop-up, unless jobs are still
// followed: then the window goes on as the meter, shown with the job it
// follows or hidden until the next one.
void CloseWhenQuiet(const ViewSituation& s, ViewDecision* d) {
    if (!ViewPolicy::ClosesWhenQuiet(s)) {
        return;
    }
    if (s.jobCount <= 0) {
        d->close = true;
        return;
    }
    if (s.printing) {
        d->show = WindowShow::kShowJob;
    } else {
        d->show = WindowShow::kHide;
        d->clearJobs = true;
        d->meter = MeterStatus::kForget;
    }
    d->nextView = kViewProgress;
}

// The meter brings the window up for a status the user wants shown: as the
// pop-up while a job prints, else as a Detail window unless the meter was
// put away with this very status. Its ink area shows unless there is no
// answer to show.
void MeterFollowsStatus(const ViewSituation& s, ViewDecision* d) {
    if (s.printToFile) {
        d->ink = InkArea::kHide;
        return;
    }
    d->ink = !s.popsUp && s.statusClass == 0 ? InkArea::kHide : InkArea::kShow;
    if (!s.popsUp) {
        return;
    }
    if (s.printing) {
        d->nextView = kViewPopup;
    } else if (s.statusClass != s.meterStatusClass) {
        d->nextView = kViewDetail;
    }
    d->troubleHelp = true;
}

} // namespace

bool ViewPolicy::ClosesWhenQuiet(const ViewSituation& s) {
    return PopupLike(s) && !s.popsUp;
}

bool ViewPolicy::NeedsPopsUp(ViewEvent event, const ViewSituation& s) {
    switch (event) {
    case ViewEvent::kStatusTick:
        return (s.view == kViewProgress && !s.printToFile) || PopupLike(s);
    case ViewEvent::kStatusNews:
        return PopupLike(s);
    case ViewEvent::kJobStarted:
        return s.view == kViewDetail && s.printing;
    default:
        return false;
    }
}

ViewDecision ViewPolicy::Decide(ViewEvent event, const ViewSituation& s) {
    ViewDecision d;
    switch (event) {
    case ViewEvent::kStatusTick:
        if (s.view == kViewProgress) {
            MeterFollowsStatus(s, &d);
            if (s.printToFile) {
                break; // nothing was read
            }
        }
        CloseWhenQuiet(s, &d);
        break;
    case ViewEvent::kStatusNews:
        CloseWhenQuiet(s, &d);
        break;
    case ViewEvent::kJobStarted:
        // A condition that calls for the user keeps a pop-up, anything else
        // makes the window a meter.
        if (s.view == kViewDetail && s.printing) {
            d.nextView = s.popsUp ? kViewPopup : kViewProgress;
            d.troubleHelp = s.popsUp;
        }
        break;
    case ViewEvent::kPopupJobTick:
        if (s.view != kViewPopup) {
            break;
        }
        if (!s.printing) {
            d.nextView = kViewDetail;
        } else if (s.meterTakesOver) {
            d.nextView = kViewProgress;
        }
        break;
    case ViewEvent::kJobsEnded:
        if (s.baseView != kViewProgress) {
            d.nextView = s.baseView;
            d.troubleHelp = true;
        } else if (s.jobCount > 0) {
            d.show = WindowShow::kHide;
            if (s.visible) {
                d.meter = MeterStatus::kForget;
            }
        } else {
            d.close = true;
        }
        break;
    case ViewEvent::kCloseButton:
        if (s.jobCount <= 0) {
            d.close = true;
            break;
        }
        // Jobs are still followed: a hidden meter until the next one.
        d.baseView = kViewProgress;
        d.remember = Remember::kOn;
        d.show = WindowShow::kHide;
        d.clearJobs = true;
        d.meter = MeterStatus::kNote;
        d.nextView = kViewProgress;
        break;
    case ViewEvent::kOpenAsDetail:
        if (s.view == kViewPopup) {
            d.baseView = kViewDetail;
        } else if (s.view == kViewProgress) {
            d.baseView = kViewDetail;
            // A meter on the screen becomes a Detail window when its jobs end.
            if (!s.visible) {
                d.freshStatus = true;
                d.remember = Remember::kOff;
                d.nextView = kViewDetail;
                d.defaultPosition = true;
            }
        }
        break;
    }
    return d;
}

} // namespace krx
