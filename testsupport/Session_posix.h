// One end-to-end case: its Wine prefix and files, Marlowen.exe under Wine, the inspector
// that reads its windows and the XDND source that drops on them.
#pragma once

#include <sys/types.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "testsupport/HarnessBasics.h"
#include "testsupport/InspectorClient_posix.h"
#include "testsupport/Process_posix.h"
#include "testsupport/Screen_posix.h"

namespace e2e {

// Where the programs under test and the shared Wine prefix are.
struct Locations {
    std::string marlowenExe, standInExe, inspectorExe, xdndDrop, prefix;
    // From the build's compile definitions; the prefix from MARLOWEN_E2E_PREFIX when it is set.
    static Locations FromBuild();
    // The same programs in a prefix of their own whose screen density is dpi; at 96 dpi
    // the shared prefix.
    Locations AtDensity(int dpi) const;
};

// The environment for Wine programs: tools/wine-env.sh's (throws when the program does not
// run inside it) with that display and prefix.
std::vector<std::string> WineEnv(const std::string& prefix, const std::string& display);

// Makes where.prefix through tools/wine-env.sh unless it is there.
void MakePrefix(const Locations& where);

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
    std::string Title();  // the main window's whole title
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
    void Press(const std::string& caption, const std::string& button);  // ok, cancel, yes, no
    void ChooseFile(const std::string& windowsPath);
    void CancelFileDialog();
    void Close();

    static constexpr const char* kTitle = "Marlowen";

private:
    std::vector<std::string> Env() const;
    // The records of the command's output, their fields unescaped.
    std::vector<std::vector<std::string>> InspectRecords(const std::vector<std::string>& args, int timeoutMs = 30000);
    void EndAll();

    Locations where_;
    std::string display_;
    std::optional<Process> marlowen_;
    std::optional<InspectorClient> inspector_;
    std::vector<std::unique_ptr<Process>> programs_;
};

}  // namespace e2e
