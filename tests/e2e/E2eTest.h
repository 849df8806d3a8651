// Base fixture of the end-to-end cases: one Xvfb for the test program, a fresh Session
// (files, Wine processes) for every case.
#pragma once

#include <gtest/gtest.h>

#include <optional>

#include "tests/e2e/Harness.h"

namespace e2e {

class E2eTest : public ::testing::Test {
protected:
    void SetUp() override { session_.emplace(SharedDisplay()); }
    void TearDown() override { session_.reset(); }
    Session& S() { return *session_; }

private:
    static const Xvfb& SharedDisplay() {
        static Xvfb display;
        return display;
    }
    std::optional<Session> session_;
};

}  // namespace e2e
