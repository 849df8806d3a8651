#include "app/RunSupervisor.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "FakeProcesses.h"
#include "tests/cadlink/FakeDesktop.h"
#include "text/AppError.h"

namespace {

using Watcher = RunTimers::Watcher;
using Kind = RunReport::Kind;

class FakeTimers : public RunTimers {
public:
    void Arm(Watcher w) override { armed.insert(w); }
    void Disarm(Watcher w) override { armed.erase(w); }
    bool Armed(Watcher w) const override { return armed.count(w) > 0; }
    LocalTime Now() const override { return now; }
    // As the window's message loop: what was asked for soon runs once the tick is over.
    void Soon() override {
        ++soonAsked;
        if (!soon || running) return;
        running = true;
        for (int turn = 0; turn < 50 && soonAsked != ran; ++turn) {
            ran = soonAsked;
            soon();
        }
        running = false;
    }

    std::set<Watcher> armed;
    std::function<void()> soon;  // what the window's message loop would do next
    int soonAsked = 0;
    int ran = 0;
    bool running = false;
    LocalTime now{2026, 12, 10, 9, 0, 0};
};

class FakeRecordFile : public RecordFile {
public:
    bool Write(const std::string& bytes) override {
        ++writes;
        if (!writable) return false;
        text = bytes;
        return true;
    }
    std::string text;
    bool writable = true;
    int writes = 0;
};

// A CAD on the fake desktop: its main and text windows with their panes, the active drawing's
// history as its copy-history command gives it, and the titles that name the active drawing.
struct FakeCad {
    FakeCad(FakeDesktop& d, std::uint32_t process) : desktop(d), processId(process) {
        main = desktop.AddTopLevel("AutoCAD 2000i", "Afx:00400000:8:10011:0:1f0a3", process);
        text = desktop.AddTopLevel("AutoCAD テキスト ウィンドウ", "Afx:00400000:b:10011:6:1f0a3", process);
        desktop.AddChild(text, "Headlands");
        pane = desktop.AddChild(text, "MountTam");
        desktop.At(text).onCommand = [this](FakeDesktop& on) { on.clipboard.Copies({{kCfText, history}}, processId); };
        Lines({"コマンド: COMMANDLINE"});
    }
    void Lines(const std::vector<std::string>& lines) {
        history.clear();
        for (const std::string& line : lines) history += line + "\r\n";
    }
    void Add(const std::vector<std::string>& lines) {
        for (const std::string& line : lines) history += line + "\r\n";
    }
    void Active(const std::string& name) {
        desktop.At(main).title = "AutoCAD 2000i - [" + name + "]";
        desktop.At(text).title = "AutoCAD テキスト ウィンドウ - " + name;
    }
    void ShowMessage() { message = desktop.AddTopLevel("AutoCAD メッセージ", "StandInDialog", processId); }
    std::vector<SentMessage> Typed() const {
        std::vector<SentMessage> typed;
        for (const SentMessage& m : desktop.SentTo(main))
            if (m.kind == SentMessage::Kind::CopyData) typed.push_back(m);
        return typed;
    }

    FakeDesktop& desktop;
    std::uint32_t processId;
    WindowHandle main, text, pane, message = 0;
    std::string history;
};

const std::vector<std::string> kPaths = {"C:\\d\\a.dwg", "C:\\d\\b.dwg", "C:\\d\\c.dwg"};

std::vector<FollowMark> PathMarks(const std::vector<std::string>& paths) {
    std::vector<FollowMark> marks;
    for (std::size_t k = 0; k < paths.size(); ++k) marks.push_back({static_cast<int>(k) + 1, paths[k]});
    return marks;
}

const std::vector<std::string> kTail = {"コマンド: filedia", "新しい FILEDIA の値を入力 <0>: 1", "コマンド: cmddia",
                                        "新しい CMDDIA の値を入力 <0>: 1", "コマンド: quit"};

class RunSupervisorTest : public ::testing::Test {
protected:
    static constexpr std::uint32_t kStarted = 100;  // the first process FakeProcesses starts
    static constexpr std::uint32_t kOperators = 50;

    FakeDesktop desktop;
    Acad8Ctrl link{desktop, desktop.clipboard};
    FakeProcesses processes;
    CadRun run{processes};
    FakeTimers timers;
    FakeRecordFile file;
    RunSupervisor supervisor{link, run, processes, timers, file};
    RunSupervisorTest() {
        timers.soon = [this] { supervisor.SoonTick(); };
    }

    // The run's CAD ends: its windows go with its process.
    void End(FakeCad& cad) {
        if (cad.message) desktop.Destroy(cad.message);
        desktop.Destroy(cad.main);
        desktop.Destroy(cad.text);
        processes.ended.insert(cad.processId);
    }
    // A batch of kPaths whose CAD is at the prompt and has been told to run the script.
    void StartedBatch(FakeCad& cad, std::vector<FollowMark> marks = PathMarks(kPaths)) {
        supervisor.StartBatch("cad.exe", kPaths, std::move(marks), "印刷", false);
        ASSERT_EQ(supervisor.StartUpTick().kind, Kind::None);
        ASSERT_EQ(cad.Typed().size(), 6u);
        ASSERT_FALSE(timers.Armed(Watcher::StartUp));
    }
    std::string Row(int drawing) const {
        std::size_t at = 0;
        for (int line = 0; line < drawing; ++line) at = file.text.find("\r\n", at) + 2;
        return file.text.substr(at, file.text.find("\r\n", at) - at);
    }
};

// ---- The run's CAD only ----

TEST_F(RunSupervisorTest, OperatorsCadOpenBeforeTheRunGetsNoCommandNoReadNoQuit) {
    processes.running = {kOperators};
    FakeCad operators(desktop, kOperators);  // on top of the walk, at its prompt
    supervisor.StartBatch("cad.exe", kPaths, PathMarks(kPaths), "印刷", false);
    EXPECT_TRUE(timers.Armed(Watcher::StartUp));
    EXPECT_TRUE(timers.Armed(Watcher::Run));
    for (int tick = 0; tick < 3; ++tick) supervisor.StartUpTick();
    EXPECT_TRUE(timers.Armed(Watcher::StartUp)) << "the operator's prompt was taken for the run's";
    FakeCad runs(desktop, kStarted);
    supervisor.StartUpTick();
    EXPECT_EQ(runs.Typed().size(), 6u);
    supervisor.Type({"quit\r"});
    EXPECT_TRUE(desktop.SentTo(operators.main).empty());
    EXPECT_TRUE(desktop.SentTo(operators.text).empty()) << "the operator's history was read";
}

TEST_F(RunSupervisorTest, CadBehindALauncherIsOneStartedSinceTheRunBegan) {
    processes.running = {kOperators};
    FakeCad operators(desktop, kOperators);
    supervisor.StartBatch("launch.exe", kPaths, PathMarks(kPaths), "印刷", false);
    processes.ended.insert(kStarted);  // the launcher, without a window of its own
    supervisor.StartUpTick();
    EXPECT_TRUE(supervisor.Lasts());
    FakeCad launched(desktop, 777);
    supervisor.StartUpTick();
    EXPECT_EQ(launched.Typed().size(), 6u);
    EXPECT_TRUE(desktop.SentTo(operators.main).empty());
}

TEST_F(RunSupervisorTest, BusyCadIsNotYetThenGetsItsCommands) {
    FakeCad cad(desktop, kStarted);
    desktop.At(cad.text).busy = true;
    supervisor.StartBatch("cad.exe", kPaths, PathMarks(kPaths), "印刷", false);
    EXPECT_EQ(supervisor.StartUpTick().kind, Kind::None);
    EXPECT_TRUE(timers.Armed(Watcher::StartUp));
    EXPECT_EQ(supervisor.StatusText().find("CAD は作業中"), std::string::npos) << "a moment's work is said";
    processes.now += RunSupervisor::kBusyShownMs;
    supervisor.StartUpTick();
    EXPECT_NE(supervisor.StatusText().find("CAD は作業中"), std::string::npos) << supervisor.StatusText();
    desktop.FinishWork(cad.text);
    // The late copy is put back to the user's content; the read that follows is answered.
    supervisor.StartUpTick();
    EXPECT_EQ(cad.Typed().size(), 6u);
}

TEST_F(RunSupervisorTest, TextsGoOneAtATimeWithTheWindowsMessagesBetween) {
    FakeCad cad(desktop, kStarted);
    timers.soon = nullptr;
    supervisor.StartBatch("cad.exe", kPaths, PathMarks(kPaths), "印刷", false);
    supervisor.StartUpTick();
    EXPECT_EQ(cad.Typed().size(), 1u) << "six sends in one go hold the window while CAD carries each out";
    EXPECT_EQ(timers.soonAsked, 1);
    for (int turn = 0; turn < 5; ++turn) supervisor.SoonTick();
    EXPECT_EQ(cad.Typed().size(), 6u);
    EXPECT_EQ(timers.soonAsked, 5);
}

TEST_F(RunSupervisorTest, CloseCadWithNoRunTypesItsTextsOneAtATimeToo) {
    FakeCad cad(desktop, kStarted);
    timers.soon = nullptr;
    supervisor.Type({"filedia\r", "1\r", "cmddia\r", "1\r", "quit\r"});
    EXPECT_EQ(cad.Typed().size(), 1u) << "texts sent back to back are lost when CAD takes one late";
    for (int turn = 0; turn < 4; ++turn) supervisor.SoonTick();
    EXPECT_EQ(cad.Typed().size(), 5u);
}

TEST_F(RunSupervisorTest, CadsCopyLeftOnTheClipboardIsReplacedSoonAfterCadAnswers) {
    FakeCad cad(desktop, kStarted);
    StartedBatch(cad);
    desktop.clipboard.Copies({{kCfText, "利用者"}});
    // CAD answers the copy, then turns to its next line before its copy is read.
    desktop.At(cad.text).onCommand = [&](FakeDesktop& d) {
        d.clipboard.Copies({{kCfText, "history"}}, kStarted);
        d.clipboard.ownerBusy = true;
    };
    timers.soon = nullptr;
    supervisor.RunTick();
    EXPECT_EQ(desktop.clipboard.CurrentText(), "history");
    const int asked = timers.soonAsked;
    EXPECT_GT(asked, 0) << "CAD's copy waits for the next tick";
    desktop.clipboard.ownerBusy = false;
    supervisor.SoonTick();
    EXPECT_EQ(desktop.clipboard.CurrentText(), "利用者");
    EXPECT_EQ(timers.soonAsked, asked) << "asked for again though put back";
}

TEST_F(RunSupervisorTest, TextsTypedWhileCadIsAtWorkWaitForItsAnswerInOrder) {
    FakeCad cad(desktop, kStarted);
    StartedBatch(cad);
    desktop.At(cad.main).busy = true;
    supervisor.Type({"close\r", "quit\r"});
    EXPECT_EQ(cad.Typed().size(), 6u) << "a busy CAD was sent what could hold the window";
    supervisor.RunTick();
    EXPECT_EQ(cad.Typed().size(), 6u);
    desktop.At(cad.main).busy = false;
    supervisor.RunTick();
    const std::vector<SentMessage> typed = cad.Typed();
    ASSERT_EQ(typed.size(), 8u);
    EXPECT_EQ(typed[6].bytes, (std::vector<std::uint8_t>{'c', 'l', 'o', 's', 'e', '\r', 0}));
    EXPECT_EQ(typed[7].bytes, (std::vector<std::uint8_t>{'q', 'u', 'i', 't', '\r', 0}));
}

TEST_F(RunSupervisorTest, ClipboardHeldForAMomentIsWaitedForAndHeldLongerIsSaid) {
    FakeCad cad(desktop, kStarted);
    supervisor.StartBatch("cad.exe", kPaths, PathMarks(kPaths), "印刷", false);
    desktop.clipboard.opener = kUserProcess;
    for (int tick = 0; tick < 6; ++tick) {
        EXPECT_NO_THROW(supervisor.StartUpTick());
        processes.now += 300;
    }
    try {
        supervisor.StartUpTick();
        processes.now += 300;
        supervisor.StartUpTick();
        FAIL() << "a clipboard held for over two seconds went unsaid";
    } catch (const AppError& e) {
        EXPECT_STREQ(e.what(), "クリップボードを開くことができません");
    }
    EXPECT_TRUE(timers.Armed(Watcher::StartUp)) << "the wait goes on";
    desktop.clipboard.opener = 0;
    supervisor.StartUpTick();
    EXPECT_EQ(cad.Typed().size(), 6u);
}

TEST_F(RunSupervisorTest, CadGoneBeforeItsPromptEndsTheRunWithTheError) {
    FakeCad cad(desktop, kStarted);
    cad.Lines({"ロード中"});
    supervisor.StartBatch("cad.exe", kPaths, PathMarks(kPaths), "印刷", false);
    EXPECT_NE(supervisor.StatusText().find("CAD の起動を待っています 0 秒"), std::string::npos);
    processes.now += 12500;
    supervisor.StartUpTick();
    EXPECT_EQ(supervisor.StatusText(), "CAD の起動を待っています 12 秒");
    End(cad);
    EXPECT_EQ(supervisor.StartUpTick().kind, Kind::CadEndedAtStartUp);
    EXPECT_FALSE(supervisor.Lasts());
    EXPECT_TRUE(timers.armed.empty());
}

// ---- A batch followed to its end ----

TEST_F(RunSupervisorTest, BatchFollowedToItsTailIsCompleteAndRecordedAsItGoes) {
    FakeCad cad(desktop, kStarted);
    StartedBatch(cad);
    EXPECT_EQ(file.text,
              "開始,2026/12/10 09:00:00,ボタン,印刷,図面数,3\r\n1,C:\\d\\a.dwg,未実行,\r\n"
              "2,C:\\d\\b.dwg,未実行,\r\n3,C:\\d\\c.dwg,未実行,\r\n");
    cad.Add({"コマンド: open", "開く図面ファイル名を入力: C:\\d\\a.dwg"});
    timers.now.minute = 1;
    EXPECT_EQ(supervisor.RunTick().kind, Kind::None);
    EXPECT_EQ(Row(1), "1,C:\\d\\a.dwg,実行中,2026/12/10 09:01:00");
    cad.Active("b.dwg");
    processes.now += 65000;
    supervisor.RunTick();
    EXPECT_EQ(supervisor.StatusText(), "実行中 2 / 3 (1 分 05 秒) b.dwg");
    EXPECT_EQ(Row(1), "1,C:\\d\\a.dwg,完了,2026/12/10 09:01:00");
    EXPECT_EQ(Row(2), "2,C:\\d\\b.dwg,実行中,2026/12/10 09:01:00");
    cad.Active("Drawing2.dwg");
    cad.Lines(kTail);
    supervisor.RunTick();
    End(cad);
    EXPECT_EQ(supervisor.RunTick().kind, Kind::Ended);
    EXPECT_FALSE(supervisor.Lasts());
    EXPECT_EQ(supervisor.StatusText(), "完了: 3 図面 (1 分 05 秒)");
    for (int d = 1; d <= 3; ++d) EXPECT_NE(Row(d).find(",完了,2026/12/10"), std::string::npos) << Row(d);
}

TEST_F(RunSupervisorTest, CadsMessageStopsTheBatchLeavesCadAloneThenAsksForTheDrawingsAfterIt) {
    FakeCad cad(desktop, kStarted);
    StartedBatch(cad);
    cad.Add({"コマンド: open", "開く図面ファイル名を入力: C:\\d\\a.dwg", "コマンド: open",
             "開く図面ファイル名を入力: C:\\d\\b.dwg", "図面ファイル \"C:\\d\\b.dwg\" を開けません。"});
    cad.ShowMessage();
    const RunReport stopped = supervisor.RunTick();
    EXPECT_EQ(stopped.kind, Kind::Stopped);
    EXPECT_EQ(stopped.drawing, 2);
    EXPECT_EQ(stopped.path, "C:\\d\\b.dwg");
    EXPECT_EQ(supervisor.StatusText(), "CAD のメッセージで停止: 2 / 3 C:\\d\\b.dwg");
    EXPECT_EQ(Row(2), "2,C:\\d\\b.dwg,停止 (CAD のメッセージ),2026/12/10 09:00:00");
    const std::size_t sent = desktop.messages.size();
    for (int tick = 0; tick < 3; ++tick) EXPECT_EQ(supervisor.RunTick().kind, Kind::None);
    EXPECT_EQ(desktop.messages.size(), sent) << "CAD showing its message was sent more";
    EXPECT_TRUE(supervisor.Lasts());

    End(cad);
    const RunReport ask = supervisor.RunTick();
    EXPECT_EQ(ask.kind, Kind::AskAfterMessage);
    EXPECT_EQ(ask.drawing, 2);
    EXPECT_TRUE(supervisor.Lasts()) << "a drop while the question is open is refused";
    EXPECT_EQ(supervisor.Answer(3), std::vector<std::string>{"C:\\d\\c.dwg"});
    EXPECT_FALSE(supervisor.Lasts());

    // The rest goes on in the same record.
    FakeCad next(desktop, kStarted + 1);
    supervisor.StartBatch("cad.exe", {"C:\\d\\c.dwg"}, {{1, "C:\\d\\c.dwg"}}, "印刷", true);
    supervisor.StartUpTick();
    next.Active("c.dwg");
    supervisor.RunTick();
    EXPECT_EQ(Row(1), "1,C:\\d\\a.dwg,完了,2026/12/10 09:00:00");
    EXPECT_EQ(Row(2), "2,C:\\d\\b.dwg,停止 (CAD のメッセージ),2026/12/10 09:00:00");
    EXPECT_EQ(Row(3), "3,C:\\d\\c.dwg,実行中,2026/12/10 09:00:00");
}

TEST_F(RunSupervisorTest, CadEndedEarlyAsksToRunTheRestFromItsDrawingOrAfterIt) {
    struct Answer {
        std::optional<int> from;
        std::vector<std::string> rest;
    };
    const Answer answers[] = {{2, {"C:\\d\\b.dwg", "C:\\d\\c.dwg"}}, {3, {"C:\\d\\c.dwg"}}, {std::nullopt, {}}};
    for (const Answer& answer : answers) {
        FakeDesktop d;
        Acad8Ctrl l(d, d.clipboard);
        FakeProcesses p;
        CadRun r(p);
        FakeTimers t;
        FakeRecordFile f;
        RunSupervisor s(l, r, p, t, f);
        t.soon = [&] { s.SoonTick(); };
        FakeCad cad(d, kStarted);
        s.StartBatch("cad.exe", kPaths, PathMarks(kPaths), "印刷", false);
        s.StartUpTick();
        cad.Active("b.dwg");
        s.RunTick();
        d.Destroy(cad.main);
        d.Destroy(cad.text);
        p.ended.insert(kStarted);
        const RunReport ask = s.RunTick();
        EXPECT_EQ(ask.kind, Kind::AskAfterEnd);
        EXPECT_EQ(ask.drawing, 2);
        EXPECT_EQ(s.StatusText(), "CAD が途中で終了: 2 / 3 C:\\d\\b.dwg");
        EXPECT_NE(f.text.find("2,C:\\d\\b.dwg,CAD 終了,"), std::string::npos) << f.text;
        EXPECT_NE(f.text.find("3,C:\\d\\c.dwg,未実行,\r\n"), std::string::npos) << f.text;
        EXPECT_EQ(s.Answer(answer.from), answer.rest);
    }
}

TEST_F(RunSupervisorTest, CloseCadDuringTheBatchIsAnEarlyEndThoughItsEchoLooksLikeTheTail) {
    FakeCad cad(desktop, kStarted);
    StartedBatch(cad);
    cad.Active("a.dwg");
    supervisor.RunTick();
    supervisor.CloseRequested();
    supervisor.Type({"filedia\r", "1\r", "cmddia\r", "1\r", "quit\r"});
    cad.Add(kTail);
    supervisor.RunTick();
    End(cad);
    EXPECT_EQ(supervisor.RunTick().kind, Kind::AskAfterEnd);
}

TEST_F(RunSupervisorTest, TemplateWithoutPlaceholdersRunsAsBeforeAndSaysItCannotTell) {
    FakeCad cad(desktop, kStarted);
    StartedBatch(cad, {});
    EXPECT_NE(supervisor.StatusText().find("進み具合はわかりません"), std::string::npos) << supervisor.StatusText();
    EXPECT_NE(file.text.find("1,C:\\d\\a.dwg,不明,"), std::string::npos);
    End(cad);
    EXPECT_EQ(supervisor.RunTick().kind, Kind::Ended);
    EXPECT_NE(supervisor.StatusText().find("進み具合はわかりません"), std::string::npos);
}

TEST_F(RunSupervisorTest, RecordThatCannotBeWrittenIsSaidAndTheRunGoesOn) {
    file.writable = false;
    FakeCad cad(desktop, kStarted);
    StartedBatch(cad);
    cad.Active("b.dwg");
    supervisor.RunTick();
    EXPECT_NE(supervisor.StatusText().find("記録 (test.csv) を書けません"), std::string::npos);
    EXPECT_TRUE(supervisor.Lasts());
    EXPECT_NE(supervisor.StatusText().find("実行中 2 / 3"), std::string::npos);
}

// ---- The survey ----

TEST_F(RunSupervisorTest, SurveyStoppedByCadsMessageNamesTheDrawingAndOffersTheOthers) {
    FakeCad cad(desktop, kStarted);
    supervisor.StartSurvey("cad.exe", kPaths);
    timers.Arm(Watcher::SurveyEnd);
    supervisor.StartUpTick();
    cad.Add({"コマンド: open", "開く図面ファイル名を入力: \"C:\\d\\a.dwg\"", "コマンド: open",
             "開く図面ファイル名を入力: \"C:\\d\\b.dwg\""});
    cad.ShowMessage();
    const RunReport cannot = supervisor.SurveyEndTick();
    EXPECT_EQ(cannot.kind, Kind::CannotProcess);
    EXPECT_EQ(cannot.drawing, 2);
    EXPECT_EQ(supervisor.LastWaitEnd(), RunSupervisor::WaitEnd::CadMessage);
    EXPECT_FALSE(timers.Armed(Watcher::SurveyEnd));
    End(cad);
    const RunReport ask = supervisor.RunTick();
    EXPECT_EQ(ask.kind, Kind::AskSurveyAgain);
    EXPECT_EQ(ask.path, "C:\\d\\b.dwg");
    EXPECT_EQ(supervisor.Answer(2), (std::vector<std::string>{"C:\\d\\a.dwg", "C:\\d\\c.dwg"}));
}

TEST_F(RunSupervisorTest, SurveyWaitsEndWithTheEndMarkerAndTheListingReadThenCadGoneEndsTheRest) {
    FakeCad cad(desktop, kStarted);
    supervisor.StartSurvey("cad.exe", kPaths);
    timers.Arm(Watcher::SurveyEnd);
    // Both watchers tick together while CAD starts: its history is read once a tick, not twice.
    supervisor.SurveyEndTick();
    EXPECT_TRUE(desktop.SentTo(cad.text).empty()) << "the survey-end watcher read CAD's history before its script ran";
    supervisor.StartUpTick();
    cad.Add({"コマンド: OWARI"});
    desktop.At(cad.pane).content = "アクティブなレイアウト: Model";
    desktop.At(cad.pane).busy = true;
    supervisor.SurveyEndTick();
    EXPECT_TRUE(timers.Armed(Watcher::SurveyEnd)) << "a pane that did not answer was taken as read";
    desktop.At(cad.pane).busy = false;
    supervisor.SurveyEndTick();
    EXPECT_FALSE(timers.Armed(Watcher::SurveyEnd));
    EXPECT_EQ(supervisor.PaneText(), "アクティブなレイアウト: Model");
    supervisor.SurveyReading(1);
    EXPECT_EQ(supervisor.StatusText(), "レイアウト名を読んでいます 1 / 3");
    supervisor.SurveyClosing(1);
    timers.Arm(Watcher::DrawingClosed);
    End(cad);
    supervisor.DrawingClosedTick();
    EXPECT_EQ(supervisor.LastWaitEnd(), RunSupervisor::WaitEnd::CadEnded);
    EXPECT_TRUE(timers.armed.empty());
    // The survey's next wait ends at once.
    supervisor.SurveyClosing(2);
    timers.Arm(Watcher::DrawingClosed);
    supervisor.DrawingClosedTick();
    EXPECT_FALSE(timers.Armed(Watcher::DrawingClosed));
    EXPECT_FALSE(supervisor.Lasts());
}

TEST(DurationText, SecondsMinutesHours) {
    EXPECT_EQ(DurationText(0), "0 秒");
    EXPECT_EQ(DurationText(59999), "59 秒");
    EXPECT_EQ(DurationText(65000), "1 分 05 秒");
    EXPECT_EQ(DurationText(3600000 + 120000), "1 時間 02 分");
}

}  // namespace
