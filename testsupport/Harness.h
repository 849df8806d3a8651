// End-to-end harness: Marlowen.exe runs under Wine on a screen of the display that
// tools/wine-env.sh set, in a prefix that script made; files are dropped on it through a real
// XDND drag (xdnd-drop) and its windows are read from outside (inspector.exe, kept running
// as a server for the whole case).
//
// Texts in this API are UTF-8, like the file names, the X display and the inspector's
// output; the harness converts to and from Shift-JIS only where bytes of the program's own
// files are concerned (WriteDataIni, ReadText). Every wait is bounded; a failure throws
// HarnessError with a message that says what was awaited.
//
// A case (see E2eTest.h) reads:
//     S().WriteDataIni("[Section1]\nLabel=印刷\n");
//     std::string plan = S().MakeFile("表/plan.dwg");      // C:\d\表\plan.dwg
//     S().Start();
//     S().Drop("Button1", {plan});
//     MessageBoxInfo box = S().WaitMessageBox("情報");
//     Grid dropped = ParseGrid(S().GetControl("StringGrid2").text);
// A drop returns when the target has taken it, before the program has handled it: wait
// for its effect (WaitMessageBox, WaitUntil) before reading state.
#pragma once

#include <sys/types.h>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace e2e {

struct HarnessError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Polls done() until it holds; throws, naming what was awaited, when timeoutMs pass first.
void WaitUntil(const std::function<bool()>& done, int timeoutMs, const std::string& what);

std::string Utf8ToSjis(const std::string& utf8);
std::string SjisToUtf8(const std::string& sjis);

std::string ReadBytes(const std::string& unixPath);
void WriteBytes(const std::string& unixPath, const std::string& bytes);

struct Point {
    int x = 0, y = 0;
};

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    Point Center() const { return {(left + right) / 2, (top + bottom) / 2}; }
};

// One child window of the main window, as the inspector reports it.
struct Control {
    std::string name;  // designer name, empty when the window has none
    std::string cls;   // window class
    int id = 0;
    Rect rect;  // screen coordinates
    bool enabled = false, visible = false;
    std::string text;  // caption; list box: "count=N\r\n" + items; grid: its dump; tree: nodes
};

// Processor time a process has used so far, from its own counters.
struct CpuTime {
    long long kernelMs = 0, userMs = 0;
    long long TotalMs() const { return kernelMs + userMs; }
};

struct MessageBoxInfo {
    std::string caption, text;
    Rect rect;
    unsigned pid = 0;
    std::string ownerTitle;
    bool icon = false;
};

// A string grid's answer to WM_GETTEXT: "cols=C rows=R\r\n", then one TAB-separated line per row.
struct Grid {
    int cols = 0, rows = 0;
    std::vector<std::vector<std::string>> cells;  // cells[row][col]
    std::string Cell(int col, int row) const;     // empty outside the dump
};

Grid ParseGrid(const std::string& dump);
std::vector<std::string> ParseListBox(const std::string& text);

// A child process in its own process group, so that a kill reaches whatever it started.
class Process {
public:
    struct Options {
        std::vector<std::string> env;  // full environment, "NAME=value"
        std::string cwd;
        bool pipeStdin = false;
        bool captureOutput = false;  // stdout and stderr into pipes
    };
    Process(const std::vector<std::string>& argv, const Options& options);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    pid_t Pid() const { return pid_; }
    // The exit status (128 + signal when killed), or nothing when still running at the deadline.
    std::optional<int> Wait(int timeoutMs);
    bool Running();
    void Kill();
    int StdinFd() const { return stdin_; }
    int StdoutFd() const { return stdout_; }
    int StderrFd() const { return stderr_; }
    void CloseStdin();

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
    int stdin_ = -1, stdout_ = -1, stderr_ = -1;
};

struct RunResult {
    int exitCode = -1;
    std::string out, err;
};

// Runs a program to its end; throws when it is still running after timeoutMs (it is killed).
RunResult Run(const std::vector<std::string>& argv, const std::vector<std::string>& env, int timeoutMs,
              const std::string& cwd = {});

// Where the programs under test and the shared Wine prefix are.
struct Locations {
    std::string marlowenExe, standInExe, inspectorExe, xdndDrop, prefix;
    static Locations FromBuild();  // from the build's compile definitions
    // The same programs in a prefix of their own whose screen density is dpi; at 96 dpi
    // the shared prefix.
    Locations AtDensity(int dpi) const;
};

// The environment for Wine programs: tools/wine-env.sh's (throws when the program does not
// run inside it) with that display and prefix.
std::vector<std::string> WineEnv(const std::string& prefix, const std::string& display);

// Makes where.prefix through tools/wine-env.sh unless it is there.
void MakePrefix(const Locations& where);

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

// One case: fresh C:\m (Marlowen.exe, StandInCad.exe when built, data.ini), C:\run as the
// current folder, C:\d for files to drop. The destructor ends every Wine process of the prefix.
class Session {
public:
    explicit Session(const Screen& screen);
    Session(const Screen& screen, Locations where);  // programs or a prefix of one's own
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Files.
    std::string DriveC() const;                                  // unix path of C:\ .
    std::string UnixPath(const std::string& windowsPath) const;  // C:\x\y -> <prefix>/drive_c/x/y
    std::string DataIniPath() const;                             // unix path of C:\m\data.ini
    std::string RunFolder() const;                               // unix path of C:\run (test.scr)
    void WriteDataIni(const std::string& utf8Text);              // written as Shift-JIS, LF -> CR LF
    // Creates <C:\d>\relative (folders too) with the content; returns its unix path.
    std::string MakeFile(const std::string& relative, const std::string& content = {});
    std::string ReadText(const std::string& unixPath) const;  // Shift-JIS file -> UTF-8
    // Makes a file unwritable for Wine although we are root (chattr +i; a read-only
    // attribute or mode does not stop root). False when the file system cannot do it.
    bool MakeImmutable(const std::string& unixPath);
    const Locations& Where() const { return where_; }

    // The program.
    void Start();  // starts Marlowen.exe and waits for its window
    // Starts that Marlowen.exe in that current folder (as Explorer starts a program it is
    // double-clicked on: in the program's folder) and waits for its window.
    void Start(const std::string& windowsExe, const std::string& unixCwd);
    bool Running();
    std::optional<int> WaitExit(int timeoutMs);
    pid_t MarlowenPid() const;  // the unix process that runs Marlowen.exe (wine execs in place)
    // Starts another Windows program in the prefix (wine ARGS...), current folder C:\run; it
    // ends with the session.
    void StartProgram(const std::vector<std::string>& args);
    // Runs a Windows program of the prefix to its end (wine ARGS...), current folder C:\run.
    RunResult RunProgram(const std::vector<std::string>& args, int timeoutMs);

    // Looking from outside.
    std::string Inspect(const std::vector<std::string>& args, int timeoutMs = 30000);
    Rect WindowRect();
    Rect ClientRect();  // the main window's client area, screen coordinates
    std::vector<Control> Controls();
    Control GetControl(const std::string& name);
    std::vector<MessageBoxInfo> MessageBoxes();
    MessageBoxInfo WaitMessageBox(const std::string& caption, int timeoutMs = 10000);
    CpuTime ProcessCpuTime(const std::string& windowTitle = kTitle);  // of the window's process
    std::vector<std::string> ProcessNames();                          // executable file names of the prefix's processes
    bool ProcessRunning(const std::string& exeName);                  // letter case ignored

    // Acting like a user.
    void Drop(const std::string& controlName, const std::vector<std::string>& unixPaths);
    void DropAt(Point screen, const std::vector<std::string>& unixPaths);
    void Click(const std::string& controlName);
    void SetText(const std::string& controlName, const std::string& text);
    void PressOk(const std::string& caption);
    void ChooseFile(const std::string& windowsPath);
    void CancelFileDialog();
    void Close();

    static constexpr const char* kTitle = "Marlowen";

private:
    std::vector<std::string> Env() const;
    void StartInspector();
    void EndAll();

    Locations where_;
    std::string display_;
    std::optional<Process> marlowen_;
    std::optional<Process> inspector_;
    std::vector<std::unique_ptr<Process>> programs_;
    std::string inspectorBuffer_;
};

}  // namespace e2e
