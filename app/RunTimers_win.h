// The run supervisor's timers bound to the window's four watcher timers, and its time of day
// to the local clock.
#pragma once

#include "RunSupervisor.h"
#include "WatcherTimer_win.h"

class FormRunTimers : public RunTimers {
public:
    FormRunTimers(WatcherTimer& startUp, WatcherTimer& surveyEnd, WatcherTimer& drawingClosed, WatcherTimer& run,
                  UINT_PTR soonTimer)
        : startUp_(startUp), surveyEnd_(surveyEnd), drawingClosed_(drawingClosed), run_(run), soonTimer_(soonTimer) {}
    void Attach(HWND window) { window_ = window; }

    void Arm(Watcher watcher) override { Timer(watcher).Arm(); }
    void Disarm(Watcher watcher) override { Timer(watcher).Disarm(); }
    bool Armed(Watcher watcher) const override { return const_cast<FormRunTimers*>(this)->Timer(watcher).Enabled(); }
    LocalTime Now() const override;
    // A timer, not a posted message: a timer's tick comes after the repaints that are due, and
    // CAD has a moment to carry out the last text before it is asked to answer again.
    void Soon() override { SetTimer(window_, soonTimer_, kSoonMs, nullptr); }

private:
    WatcherTimer& Timer(Watcher watcher);

    WatcherTimer& startUp_;
    WatcherTimer& surveyEnd_;
    WatcherTimer& drawingClosed_;
    WatcherTimer& run_;
    static constexpr UINT kSoonMs = 20;
    UINT_PTR soonTimer_;
    HWND window_ = nullptr;
};

// The batch's record as test.csv beside test.scr, in the current folder. Written to a file of
// its own first and then put in place, so that a Marlowen killed while writing leaves the
// record as it last was; a spreadsheet holding it open makes the write fail.
class RecordFileInFolder : public RecordFile {
public:
    bool Write(const std::string& bytes) override;
};
