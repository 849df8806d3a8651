#include "StandInProcess_win.h"

#include <fstream>

#include "Desktop_win.h"
#include "Wait_win.h"

StandInProcess::StandInProcess(const std::string& exePath, const std::string& options)
    : log_(temp_.File("cad.log")),
      process_(Quoted(WindowsPath(exePath)) + " /log:" + Quoted(log_.Path()) + " " + options, temp_.Path()) {}

HWND StandInProcess::WindowOfClass(const char* className) const { return TopLevelWindowOf(process_.Id(), className); }

HWND StandInProcess::MainWindow() const { return WindowOfClass(standin::kMainClass); }

HWND StandInProcess::TextWindow() const { return WindowOfClass(standin::kTextClass); }

HWND StandInProcess::FloatingCommandLine() const { return WindowOfClass(standin::kCommandLineClass); }

bool StandInProcess::WaitForWindows() const {
    return Started() && WaitFor([this] { return MainWindow() && TextWindow(); });
}

void StandInProcess::WriteFile(const std::string& name, const std::string& content) const {
    // Joined as bytes: a path made of a Shift-JIS name does not convert.
    std::ofstream(Folder() + "\\" + name, std::ios::binary) << content;
}
