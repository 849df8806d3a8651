// A watcher timer: SetTimer on the main window, with its enabled flag beside it.
#pragma once

#include <windows.h>

class WatcherTimer {
public:
    static constexpr UINT kInterval = 300;  // ms

    explicit WatcherTimer(UINT_PTR id) : id_(id) {}
    void Attach(HWND owner) { owner_ = owner; }

    // An armed timer stays as it is; a disarmed one starts its period afresh. Raises AppError
    // when the system gives no timer, and the timer stays disarmed.
    void Arm();
    // KillTimer leaves ticks that are already queued, so a tick looks at Enabled() first.
    void Disarm();
    bool Enabled() const { return enabled_; }
    UINT_PTR Id() const { return id_; }

private:
    HWND owner_ = nullptr;
    UINT_PTR id_;
    bool enabled_ = false;
};
