// The end-to-end harness's side of tools/inspector: its serve mode kept running under Wine,
// and its records read into types. Texts are UTF-8, as the inspector writes them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "testsupport/HarnessBasics.h"
#include "testsupport/Process_posix.h"

namespace e2e {

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

// The records of the commands rect and client, controls and control, msgboxes and
// wait-msgbox, cputime; throw on a malformed one.
Rect ParseRect(const std::string& text);
Control ParseControl(const std::vector<std::string>& fields);
MessageBoxInfo ParseMessageBox(const std::vector<std::string>& fields);
CpuTime ParseCpuTime(const std::string& text);

// inspector.exe serve under Wine, started at the first question and again when it has ended.
class InspectorClient {
public:
    InspectorClient(std::string inspectorExe, std::vector<std::string> env);

    // The command's output; throws with the inspector's reason when it failed, and when no
    // answer has come within timeoutMs (the inspector is then ended).
    std::string Ask(const std::vector<std::string>& args, int timeoutMs);
    // Lets the inspector end by itself: it gets no more questions.
    void Release();

private:
    void Start();

    std::string exe_;
    std::vector<std::string> env_;
    std::optional<Process> process_;
    std::string received_;
};

}  // namespace e2e
