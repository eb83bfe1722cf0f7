// The status window's view decisions, one row per situation that matters.
#include <gtest/gtest.h>

#include <string>

#include "ui/status_window/view_policy.h"

namespace {

using krx::ViewDecision;
using krx::ViewEvent;
using krx::ViewSituation;

const char* ViewName(int view) {
    switch (view) {
    case krx::kViewPopup:
        return "Popup";
    case krx::kViewDetail:
        return "Detail";
    case krx::kViewProgress:
        return "Progress";
    default:
        return "none";
    }
}

// The decision in words, in the order the window carries it out.
std::string Describe(const ViewDecision& d) {
    std::string text;
    auto add = [&text](const std::string& part) { text += (text.empty() ? "" : ", ") + part; };
    if (d.baseView != krx::kViewNone) {
        add(std::string("base ") + ViewName(d.baseView));
    }
    if (d.remember != krx::Remember::kKeep) {
        add(d.remember == krx::Remember::kOn ? "remember" : "forget position");
    }
    if (d.freshStatus) {
        add("fresh status");
    }
    if (d.ink != krx::InkArea::kKeep) {
        add(d.ink == krx::InkArea::kShow ? "ink shown" : "ink folded");
    }
    if (d.show != krx::WindowShow::kKeep) {
        add(d.show == krx::WindowShow::kHide ? "hide" : "show job");
    }
    if (d.clearJobs) {
        add("clear jobs");
    }
    if (d.meter != krx::MeterStatus::kKeep) {
        add(d.meter == krx::MeterStatus::kNote ? "note meter status" : "forget meter status");
    }
    if (d.nextView != krx::kViewNone) {
        add(std::string("to ") + ViewName(d.nextView) + (d.defaultPosition ? " at default" : ""));
    }
    if (d.troubleHelp) {
        add("trouble help");
    }
    if (d.close) {
        add("close");
    }
    return text;
}

// A situation from its base view, view and status class; the rest by flags.
struct Given {
    int base;
    int view;
    int statusClass;
    bool popsUp;
    int jobs;
    bool printing;
};

constexpr int P = krx::kViewPopup;
constexpr int D = krx::kViewDetail;
constexpr int M = krx::kViewProgress;

ViewSituation Situation(const Given& g) {
    ViewSituation s;
    s.baseView = g.base;
    s.view = g.view;
    s.statusClass = g.statusClass;
    s.popsUp = g.popsUp;
    s.jobCount = g.jobs;
    s.printing = g.printing;
    s.visible = true;
    return s;
}

struct Row {
    const char* label;
    ViewEvent event;
    Given given;
    const char* expected;
    void (*adjust)(ViewSituation&);
};

void Hidden(ViewSituation& s) {
    s.visible = false;
}
void MeterPutAwayWithClass5(ViewSituation& s) {
    s.meterStatusClass = 5;
}
void PrintToFile(ViewSituation& s) {
    s.printToFile = true;
}
void MeterTakesOver(ViewSituation& s) {
    s.meterTakesOver = true;
}

TEST(ViewPolicy, Decisions) {
    const ViewEvent tick = ViewEvent::kStatusTick;
    const ViewEvent news = ViewEvent::kStatusNews;
    const Row rows[] = {
        // A pop-up lives while its status wants attention.
        {"quiet pop-up", tick, {P, P, 14, false, 0, false}, "close", nullptr},
        {"quiet pop-up, a job prints",
         tick,
         {P, P, 14, false, 1, true},
         "show job, to Progress",
         nullptr},
        {"quiet pop-up, jobs wait",
         tick,
         {P, P, 14, false, 1, false},
         "hide, clear jobs, forget meter status, to Progress",
         nullptr},
        {"pop-up wanted", tick, {P, P, 5, true, 0, false}, "", nullptr},
        {"nothing shown yet", tick, {P, P, -1, false, 0, false}, "", nullptr},
        {"Detail stays", tick, {D, D, 14, false, 0, false}, "", nullptr},
        {"Detail from the meter", tick, {M, D, 14, false, 0, false}, "close", nullptr},
        {"news: quiet pop-up", news, {P, P, 14, false, 0, false}, "close", nullptr},
        // The meter comes up for a status the user wants.
        {"meter, wanted while printing",
         tick,
         {M, M, 5, true, 1, true},
         "ink shown, to Popup, trouble help",
         nullptr},
        {"meter, wanted, no job",
         tick,
         {M, M, 5, true, 1, false},
         "ink shown, to Detail, trouble help",
         nullptr},
        {"meter put away with it",
         tick,
         {M, M, 5, true, 1, false},
         "ink shown, trouble help",
         MeterPutAwayWithClass5},
        {"meter, no answer", tick, {M, M, 0, false, 1, true}, "ink folded", nullptr},
        {"meter, quiet", tick, {M, M, 14, false, 1, true}, "ink shown", nullptr},
        {"meter of a pop-up, quiet",
         tick,
         {P, M, 14, false, 0, false},
         "ink shown, close",
         nullptr},
        {"meter printing to a file", tick, {P, M, 14, false, 0, false}, "ink folded", PrintToFile},
        {"news to the meter", news, {M, M, 5, true, 1, true}, "", nullptr},
        // The progress tick.
        {"job under Detail, wanted",
         ViewEvent::kJobStarted,
         {D, D, 5, true, 1, true},
         "to Popup, trouble help",
         nullptr},
        {"job under Detail",
         ViewEvent::kJobStarted,
         {D, D, 14, false, 1, true},
         "to Progress",
         nullptr},
        {"Detail without a job", ViewEvent::kJobStarted, {D, D, 14, false, 0, false}, "", nullptr},
        {"pop-up without a job",
         ViewEvent::kPopupJobTick,
         {P, P, 5, true, 0, false},
         "to Detail",
         nullptr},
        {"pop-up, cancelled, next job",
         ViewEvent::kPopupJobTick,
         {P, P, 5, true, 2, true},
         "to Progress",
         MeterTakesOver},
        {"pop-up with its job", ViewEvent::kPopupJobTick, {P, P, 5, true, 1, true}, "", nullptr},
        {"jobs end, pop-up base",
         ViewEvent::kJobsEnded,
         {P, M, 5, true, 0, false},
         "to Popup, trouble help",
         nullptr},
        {"jobs end, more listed",
         ViewEvent::kJobsEnded,
         {M, M, 14, false, 1, false},
         "hide, forget meter status",
         nullptr},
        {"jobs end, more listed, hidden",
         ViewEvent::kJobsEnded,
         {M, M, 14, false, 1, false},
         "hide",
         Hidden},
        {"jobs end, none listed",
         ViewEvent::kJobsEnded,
         {M, M, 14, false, 0, false},
         "close",
         nullptr},
        // The user and the host.
        {"close, no jobs", ViewEvent::kCloseButton, {D, D, 14, false, 0, false}, "close", nullptr},
        {"close, jobs listed",
         ViewEvent::kCloseButton,
         {D, D, 14, false, 2, false},
         "base Progress, remember, hide, clear jobs, note meter status, to Progress",
         nullptr},
        {"detail asked of a pop-up",
         ViewEvent::kOpenAsDetail,
         {P, P, 5, true, 1, true},
         "base Detail",
         nullptr},
        {"detail asked of a shown meter",
         ViewEvent::kOpenAsDetail,
         {M, M, 14, false, 1, true},
         "base Detail",
         nullptr},
        {"detail asked of a hidden meter",
         ViewEvent::kOpenAsDetail,
         {M, M, 14, false, 1, false},
         "base Detail, forget position, fresh status, to Detail at default",
         Hidden},
        {"detail asked of Detail",
         ViewEvent::kOpenAsDetail,
         {D, D, 14, false, 0, false},
         "",
         nullptr},
    };
    for (const Row& row : rows) {
        ViewSituation s = Situation(row.given);
        if (row.adjust != nullptr) {
            row.adjust(s);
        }
        EXPECT_EQ(Describe(krx::ViewPolicy::Decide(row.event, s)), row.expected) << row.label;
    }
}

// The notify lookup behind popsUp is made only where a decision turns on it.
TEST(ViewPolicy, NeedsPopsUp) {
    struct Case {
        const char* label;
        ViewEvent event;
        Given given;
        bool needed;
        void (*adjust)(ViewSituation&);
    };
    const Case cases[] = {
        {"Detail window alone",
         ViewEvent::kStatusTick,
         {D, D, 14, false, 0, false},
         false,
         nullptr},
        {"pop-up", ViewEvent::kStatusTick, {P, P, 14, false, 0, false}, true, nullptr},
        {"pop-up, nothing shown yet",
         ViewEvent::kStatusNews,
         {P, P, -1, false, 0, false},
         false,
         nullptr},
        {"meter's tick", ViewEvent::kStatusTick, {M, M, -1, false, 0, false}, true, nullptr},
        {"meter's news", ViewEvent::kStatusNews, {M, M, 5, false, 0, false}, false, nullptr},
        {"meter printing to a file",
         ViewEvent::kStatusTick,
         {M, M, 5, false, 0, false},
         false,
         PrintToFile},
        {"job under Detail", ViewEvent::kJobStarted, {D, D, 5, false, 1, true}, true, nullptr},
        {"close button", ViewEvent::kCloseButton, {P, P, 5, false, 1, true}, false, nullptr},
    };
    for (const Case& c : cases) {
        ViewSituation s = Situation(c.given);
        if (c.adjust != nullptr) {
            c.adjust(s);
        }
        EXPECT_EQ(krx::ViewPolicy::NeedsPopsUp(c.event, s), c.needed) << c.label;
    }
}

} // namespace
