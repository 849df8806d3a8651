// Base fixture of the end-to-end cases: one screen for the test program, a fresh Session
// (files, Wine processes) for every case.
#pragma once

#include <gtest/gtest.h>

#include <optional>

#include "testsupport/Harness_posix.h"

namespace e2e {

class E2eTest : public ::testing::Test {
protected:
    void SetUp() override { session_.emplace(SharedScreen()); }
    void TearDown() override { session_.reset(); }
    Session& S() { return *session_; }

private:
    static const Screen& SharedScreen() {
        static Screen screen;
        return screen;
    }
    std::optional<Session> session_;
};

}  // namespace e2e
