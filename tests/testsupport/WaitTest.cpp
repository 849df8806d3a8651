// The one polling loop: how often it asks, and that the ask after the deadline counts.
#include "testsupport/Wait.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

TEST(PollUntil, AnswersAtTheFirstAskThatHoldsWithAPauseBetweenAsks) {
    int asks = 0;
    int pauses = 0;
    EXPECT_TRUE(PollUntil([&] { return ++asks == 3; }, 10000, [&] { ++pauses; }));
    EXPECT_EQ(asks, 3);
    EXPECT_EQ(pauses, 2);
}

TEST(PollUntil, GivesUpAfterTheTimeoutYetTheLastAskCounts) {
    const auto sleep = [] { std::this_thread::sleep_for(std::chrono::milliseconds(5)); };
    int asks = 0;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(PollUntil([&] { return ++asks < 0; }, 30, sleep));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
    EXPECT_GE(asks, 2);

    // The pause outlasts the deadline, and what it changed is still seen.
    bool late = false;
    int lateAsks = 0;
    EXPECT_TRUE(PollUntil([&] { return ++lateAsks, late; }, 20,
                          [&] {
                              std::this_thread::sleep_for(std::chrono::milliseconds(40));
                              late = true;
                          }));
    EXPECT_EQ(lateAsks, 2);
}

TEST(PollUntil, NoTimeAsksOnceWithoutPausing) {
    int pauses = 0;
    EXPECT_TRUE(PollUntil([] { return true; }, 0, [&] { ++pauses; }));
    EXPECT_FALSE(PollUntil([] { return false; }, 0, [&] { ++pauses; }));
    EXPECT_EQ(pauses, 0);
}

}  // namespace
