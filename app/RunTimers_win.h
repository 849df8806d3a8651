// The run supervisor's timers bound to the window's four watcher timers, and its time of day
// to the local clock.
#pragma once

#include "RunSupervisor.h"
#include "WatcherTimer_win.h"

class FormRunTimers : public RunTimers {
public:
    FormRunTimers(WatcherTimer& startUp, WatcherTimer& surveyEnd, WatcherTimer& drawingClosed, WatcherTimer& run)
        : startUp_(startUp), surveyEnd_(surveyEnd), drawingClosed_(drawingClosed), run_(run) {}

    void Arm(Watcher watcher) override { Timer(watcher).Arm(); }
    void Disarm(Watcher watcher) override { Timer(watcher).Disarm(); }
    bool Armed(Watcher watcher) const override { return const_cast<FormRunTimers*>(this)->Timer(watcher).Enabled(); }
    LocalTime Now() const override;

private:
    WatcherTimer& Timer(Watcher watcher);

    WatcherTimer& startUp_;
    WatcherTimer& surveyEnd_;
    WatcherTimer& drawingClosed_;
    WatcherTimer& run_;
};

// The batch's record as test.csv beside test.scr, in the current folder. Written to a file of
// its own first and then put in place, so that a Marlowen killed while writing leaves the
// record as it last was; a spreadsheet holding it open makes the write fail.
class RecordFileInFolder : public RecordFile {
public:
    bool Write(const std::string& bytes) override;
};
