#include "WatcherTimer_win.h"

#include <string>

#include "text/AppError.h"
#include "text/UnitFunc.h"

void WatcherTimer::Arm() {
    if (enabled_) return;
    // A flag set without a timer would never drop: a timer wait on it would block for ever.
    if (!SetTimer(owner_, id_, kInterval, nullptr))
        throw AppError(UnitFunc::Format("監視タイマーを開始できません (エラー %s)", std::to_string(GetLastError())));
    enabled_ = true;
}

void WatcherTimer::Disarm() {
    enabled_ = false;
    KillTimer(owner_, id_);
}
