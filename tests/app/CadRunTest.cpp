#include "app/CadRun.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "FakeProcesses.h"
#include "text/AppError.h"

namespace {

TEST(CadCommandLine, WholePathWithABlankIsQuotedOtherwiseTheTextStands) {
    const std::set<std::string> files = {"C:\\Program Files\\CAD\\acad.exe", "C:\\CAD\\acad.exe"};
    const auto isFile = [&](const std::string& path) { return files.count(path) > 0; };
    struct Case {
        const char* pathBox;
        const char* commandLine;
        const char* why;
    };
    const Case cases[] = {
        {"C:\\Program Files\\CAD\\acad.exe", "\"C:\\Program Files\\CAD\\acad.exe\"", "C:\\Program.exe would start"},
        {"  C:\\Program Files\\CAD\\acad.exe ", "\"C:\\Program Files\\CAD\\acad.exe\"", "outer blanks are no part"},
        {"C:\\CAD\\acad.exe", "C:\\CAD\\acad.exe", "no blank: the same program either way"},
        {"\"C:\\Program Files\\CAD\\acad.exe\"", "\"C:\\Program Files\\CAD\\acad.exe\"", "quoted already"},
        {"C:\\Program Files\\CAD\\acad.exe /p 図面", "C:\\Program Files\\CAD\\acad.exe /p 図面", "arguments"},
        {"C:\\Program Files\\CAD\\nothere.exe", "C:\\Program Files\\CAD\\nothere.exe", "names no file"},
        {"", "", "empty"},
        {"   ", "   ", "blanks only"},
    };
    for (const Case& c : cases) EXPECT_EQ(CadCommandLine(c.pathBox, isFile), c.commandLine) << c.why;
}

class CadRunTest : public ::testing::Test {
protected:
    FakeProcesses processes;
    CadRun run{processes};
    static constexpr std::uint32_t kStarted = 100;
    static constexpr std::uint32_t kCad = 777;
};

TEST_F(CadRunTest, NoRunBeforeAStart) { EXPECT_FALSE(run.Lasts()); }

TEST_F(CadRunTest, LastsUntilTheStartedProcessEndsWithItsWindowsSeen) {
    processes.files = {"C:\\My CAD\\cad.exe"};
    run.Start("C:\\My CAD\\cad.exe");
    EXPECT_EQ(processes.startedLines, std::vector<std::string>{"\"C:\\My CAD\\cad.exe\""});
    EXPECT_TRUE(run.Lasts());
    run.SawCadWindow(kStarted);
    processes.now += 600000;
    EXPECT_TRUE(run.Lasts()) << "a run has no time-out while its CAD lives";
    processes.ended.insert(kStarted);
    EXPECT_FALSE(run.Lasts());
    EXPECT_TRUE(processes.open.empty()) << "the process handle leaks";
    EXPECT_FALSE(run.Lasts());
}

TEST_F(CadRunTest, CommandLineThatCannotStartRaisesWithItAndTheReasonAndNoRunLasts) {
    processes.startError = "指定されたファイルが見つかりません。";
    try {
        run.Start("C:\\CAD\\acadd.exe");
        FAIL() << "a start that failed went unreported";
    } catch (const AppError& e) {
        EXPECT_STREQ(
            e.what(),
            "CAD のプログラムを起動できません:\r\nC:\\CAD\\acadd.exe\r\n(指定されたファイルが見つかりません。)");
    }
    EXPECT_FALSE(run.Lasts());
}

TEST_F(CadRunTest, LauncherEndingBeforeAnyWindowIsFollowedByTheProcessOfCadsWindow) {
    run.Start("launch.exe");
    processes.ended.insert(kStarted);
    EXPECT_TRUE(run.Lasts()) << "a launcher's end is not CAD's";
    processes.now += 20000;
    EXPECT_TRUE(run.Lasts());
    run.SawCadWindow(kCad);
    processes.now += 120000;
    EXPECT_TRUE(run.Lasts()) << "the CAD found is followed without a deadline";
    processes.ended.insert(kCad);
    EXPECT_FALSE(run.Lasts());
    EXPECT_TRUE(processes.open.empty());
}

TEST_F(CadRunTest, LauncherWhoseCadNeverShowsEndsTheRunAfterAMinute) {
    run.Start("launch.exe");
    processes.ended.insert(kStarted);
    EXPECT_TRUE(run.Lasts());
    processes.now += CadRun::kLauncherWaitMs - 1;
    EXPECT_TRUE(run.Lasts());
    processes.now += 1;
    EXPECT_FALSE(run.Lasts()) << "a CAD that is not there holds the next drop back for ever";
    run.SawCadWindow(kCad);
    EXPECT_FALSE(run.Lasts()) << "a window seen after the run ended starts no run";
}

TEST_F(CadRunTest, CadWindowSeenWhileTheLauncherLivedIsFollowedWhenItEnds) {
    run.Start("launch.exe");
    run.SawCadWindow(kCad);
    processes.ended.insert(kStarted);
    EXPECT_TRUE(run.Lasts());
    processes.now += CadRun::kLauncherWaitMs * 2;
    EXPECT_TRUE(run.Lasts()) << "CAD, running its script, was let go";
    processes.ended.insert(kCad);
    EXPECT_FALSE(run.Lasts());
}

TEST_F(CadRunTest, CadOpenBeforeTheRunOrStartedBesideItIsNeverTheRuns) {
    constexpr std::uint32_t kOperators = 50;
    constexpr std::uint32_t kOperatorsLater = 51;
    processes.running = {kOperators};
    run.Start("cad.exe");
    EXPECT_FALSE(run.IsRunsCad(kOperators)) << "the operator's CAD would take the batch";
    EXPECT_TRUE(run.IsRunsCad(kStarted));
    // Before the started process shows a window, a CAD it started is a launcher's; one the
    // operator starts meanwhile, on top of the run's, is not.
    processes.parents = {{kCad, kStarted}, {kOperatorsLater, 4}};
    EXPECT_TRUE(run.IsRunsCad(kCad));
    EXPECT_FALSE(run.IsRunsCad(kOperatorsLater)) << "the operator's CAD started during the run takes the batch";
    EXPECT_FALSE(run.IsRunsCad(kOperatorsLater));
    EXPECT_EQ(processes.parentAsks, 2) << "the system asked again about a process";
    run.SawCadWindow(kStarted);
    EXPECT_FALSE(run.IsRunsCad(kCad)) << "a CAD started during the run is not the run's once its own showed";
    processes.ended.insert(kStarted);
    EXPECT_FALSE(run.Lasts());
    EXPECT_FALSE(run.IsRunsCad(kStarted)) << "no run lasts";
}

TEST_F(CadRunTest, LauncherHandingTheWorkToACadOpenBeforeEndsTheRunAfterAMinute) {
    constexpr std::uint32_t kOperators = 50;
    processes.running = {kOperators};
    run.Start("launch.exe");
    processes.ended.insert(kStarted);
    EXPECT_TRUE(run.Lasts());
    EXPECT_FALSE(run.IsRunsCad(kOperators));
    EXPECT_TRUE(run.IsRunsCad(kCad)) << "behind a launcher, a CAD started since is the run's";
    processes.now += CadRun::kLauncherWaitMs;
    EXPECT_FALSE(run.Lasts());
}

TEST_F(CadRunTest, FollowedCadAloneIsTheRuns) {
    run.Start("launch.exe");
    processes.ended.insert(kStarted);
    ASSERT_TRUE(run.Lasts());
    run.SawCadWindow(kCad);
    EXPECT_TRUE(run.IsRunsCad(kCad));
    EXPECT_FALSE(run.IsRunsCad(kCad + 1)) << "a second CAD started since";
}

TEST_F(CadRunTest, CadThatCannotBeFollowedHoldsNothingBack) {
    processes.unopenable.insert(kCad);
    run.Start("launch.exe");
    processes.ended.insert(kStarted);
    EXPECT_TRUE(run.Lasts());
    run.SawCadWindow(kCad);
    EXPECT_FALSE(run.Lasts());
}

TEST_F(CadRunTest, ANewStartLetsTheOldProcessGo) {
    run.Start("cad.exe");
    run.Start("cad.exe");
    EXPECT_EQ(processes.open.size(), 1u);
    processes.ended.insert(kStarted);
    EXPECT_TRUE(run.Lasts()) << "the first run's end taken for the second's";
}

}  // namespace
