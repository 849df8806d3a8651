#include "WatcherTimer.h"

void WatcherTimer::Arm() {
    if (enabled_) return;
    enabled_ = true;
    SetTimer(owner_, id_, kInterval, nullptr);
}

void WatcherTimer::Disarm() {
    enabled_ = false;
    KillTimer(owner_, id_);
}
