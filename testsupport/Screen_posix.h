// The screens of the display that end-to-end cases run on.
#pragma once

#include <string>

#include "testsupport/HarnessBasics.h"

namespace e2e {

// A screen of the display for this object's life. Under tools/wine-env.sh's Xvfb the
// smallest free screen of at least that size, locked so that no other program drops at
// screen coordinates on it meanwhile; on a display of the caller's own, that display.
class Screen {
public:
    explicit Screen(const std::string& size = "1024x768");
    ~Screen();
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;
    const std::string& Display() const { return display_; }

private:
    std::string display_;
    int lock_ = -1;
};

}  // namespace e2e
