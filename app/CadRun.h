// A run, from CAD's start until CAD has quit. It owns the process it started or, behind a
// launcher that starts CAD and exits at once, the process of a CAD that was not running when
// the run began, once its main window is found. Only the run's CAD is ever driven: a CAD the
// operator had open before stays theirs. The platform's processes come through the Processes
// seam.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The program's texts about runs, broken into short lines: a message box wraps a long line of
// Japanese anywhere, words and all.
inline constexpr char kCadAtWorkMessage[] =
    "CAD がまだ前の実行を続けているため、\r\n"
    "このドロップでは何もしませんでした。\r\n"
    "CAD が終了するまで待つか、\r\n"
    "「Close CAD」で CAD を終了させてから、\r\n"
    "もう一度ドロップしてください。";
inline constexpr char kCadEndedBeforeScriptMessage[] =
    "CAD が実行の途中で終了しました。\r\n(スクリプトは実行されていません)";
inline constexpr char kCadEndedDuringSurveyMessage[] =
    "CAD が実行の途中で終了しました。\r\n(レイアウト名は取得していません)";
// Shown when CAD's message window comes during a survey; its first line is the one the
// program has always shown.
inline constexpr char kCannotProcessMessage[] =
    "処理できません\r\n"
    "CAD が図面を開けなかったため、\r\n"
    "レイアウト名は取得していません。\r\n"
    "CAD のメッセージを読んでから、\r\n"
    "「Close CAD」で CAD を閉じてください。\r\n"
    "CAD が示した図面を除いて、\r\n"
    "もう一度取得してください。";

// What a run needs of the platform's processes; CadRun_win.cpp binds it to kernel32, tests to
// a fake.
class Processes {
public:
    using Handle = std::uintptr_t;  // 0: none
    struct Started {
        Handle handle = 0;
        std::uint32_t id = 0;
    };

    virtual ~Processes() = default;
    // Starts the command line, shown, in the current folder; nothing and the system's reason
    // when it cannot be started.
    virtual bool Start(const std::string& commandLine, Started& started, std::string& reason) = 0;
    virtual Handle Open(std::uint32_t id) = 0;  // 0 when the process cannot be followed
    virtual bool Ended(Handle process) = 0;
    virtual void Close(Handle process) = 0;
    virtual std::int64_t NowMs() = 0;  // a steady clock
    virtual bool IsFile(const std::string& path) = 0;
    virtual std::vector<std::uint32_t> RunningIds() = 0;   // every process running now
    virtual std::uint32_t ParentId(std::uint32_t id) = 0;  // the process that started it; 0 when unknown
};

// The command line that starts the path box's program. When the whole text, outer blanks
// trimmed, is an unquoted name of an existing file with a blank in it, that file in quotes: as
// it stands, Windows would first try the program named by the part before the blank. Otherwise
// the text as it stands, arguments and all.
std::string CadCommandLine(const std::string& pathBox, const std::function<bool(const std::string&)>& isFile);

class CadRun {
public:
    // How long CAD's windows may take to come after a launcher has ended.
    static constexpr std::int64_t kLauncherWaitMs = 60000;

    explicit CadRun(Processes& processes) : processes_(processes) {}
    ~CadRun() { Close(); }
    CadRun(const CadRun&) = delete;
    CadRun& operator=(const CadRun&) = delete;

    // Starts the path box's program for a new run. Raises AppError, naming the command line and
    // the system's reason, when it cannot be started; no run lasts then.
    void Start(const std::string& pathBox);
    // Whether a CAD window of this process is the run's: the process started, or one it started
    // (a launcher's CAD); once the started process has ended without a CAD window of its own,
    // any CAD started since the run began; once one is followed, that one alone. A CAD the
    // operator starts meanwhile is none of these. False when no run lasts.
    bool IsRunsCad(std::uint32_t processId);
    // The last discovery found CAD's main window, of this process, which IsRunsCad took.
    void SawCadWindow(std::uint32_t processId);
    // Whether the run still lasts, its CAD not yet gone; looks at the process now.
    bool Lasts();

private:
    enum class State { None, Started, Launched, Following };
    void Follow(std::uint32_t processId);
    void Close();

    Processes& processes_;
    State state_ = State::None;
    Processes::Handle process_ = 0;
    std::uint32_t processId_ = 0;
    bool ownWindowSeen_ = false;
    std::uint32_t otherCad_ = 0;  // CAD's window of another process, seen while ours lived
    std::int64_t launcherDeadline_ = 0;
    std::vector<std::uint32_t> runningBefore_;  // sorted: the processes running at the start
    std::vector<std::uint32_t> children_;       // processes known to be the started one's
    std::vector<std::uint32_t> strangers_;      // and known not to be
};
