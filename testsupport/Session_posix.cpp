#include "Session_posix.h"

#include <signal.h>
#include <strings.h>

#include <cstdlib>
#include <filesystem>
#include <utility>

#include "testsupport/InspectorProtocol.h"
#include "testsupport/Wait.h"

namespace e2e {
namespace fs = std::filesystem;

namespace {

constexpr int kStartTimeoutMs = 30000;
constexpr int kDropTimeoutMs = 10000;
// A drop of thousands of files takes the receiver a while per file (Wine turns every URI into
// a DOS path); the XDND source must wait for its end.
constexpr int kDropMsPerFile = 20;

void RemoveTree(const std::string& path) {
    if (!fs::exists(path)) return;
    // A case may have made a file immutable to make it unwritable even for root.
    Run({"chattr", "-R", "-i", path}, CurrentEnv(), 10000);
    fs::remove_all(path);
}

}  // namespace

Locations Locations::FromBuild() {
    // A program of another lane of the end-to-end tests runs in a prefix of its own.
    const char* lane = std::getenv("MARLOWEN_E2E_PREFIX");
    return {TESTSUPPORT_WIN_BUILD "/app/Marlowen.exe", TESTSUPPORT_WIN_BUILD "/tools/standin/StandInCad.exe",
            TESTSUPPORT_WIN_BUILD "/tools/inspector/inspector.exe", TESTSUPPORT_XDND_DROP,
            lane ? lane : TESTSUPPORT_E2E_PREFIX};
}

Locations Locations::AtDensity(int dpi) const {
    Locations at = *this;
    if (dpi != 96) at.prefix += "-" + std::to_string(dpi) + "dpi";
    return at;
}

std::vector<std::string> WineEnv(const std::string& prefix, const std::string& display) {
    if (!std::getenv("MARLOWEN_WINE_ENV")) throw HarnessError("no Wine environment: run under tools/wine-env.sh");
    std::vector<std::string> env;
    for (const std::string& entry : CurrentEnv()) {
        std::string name = entry.substr(0, entry.find('='));
        if (name == "DISPLAY" || name == "WINEPREFIX" || name == "WINESERVER") continue;
        env.push_back(entry);
    }
    env.push_back("DISPLAY=" + display);
    env.push_back("WINEPREFIX=" + prefix);
    return env;
}

void MakePrefix(const Locations& where) {
    auto made = Run({TESTSUPPORT_WINE_ENV, "make-prefix", where.prefix}, CurrentEnv(), 600000);
    if (made.exitCode != 0) throw HarnessError("no Wine prefix in " + where.prefix + ": " + made.out + made.err);
}

// ---- Session

Session::Session(const Screen& screen) : Session(screen, Locations::FromBuild()) {}

Session::Session(const Screen& screen, Locations where) : where_(std::move(where)), display_(screen.Display()) {
    // A dead inspector must show as a failed write, not end the test program.
    signal(SIGPIPE, SIG_IGN);
    // The session ends its prefix's wineserver, so it must not be one the caller works in.
    if (const char* callers = std::getenv("WINEPREFIX"); callers && fs::path(callers) == fs::path(where_.prefix))
        throw HarnessError("the prefix " + where_.prefix +
                           " is the caller's WINEPREFIX; the harness needs one of its own");
    if (!fs::exists(where_.prefix + "/system.reg"))
        throw HarnessError("no Wine prefix in " + where_.prefix + " (made by the test e2e_prefix)");
    if (!fs::exists(where_.marlowenExe)) throw HarnessError("not built: " + where_.marlowenExe);
    if (!fs::exists(where_.inspectorExe)) throw HarnessError("not built: " + where_.inspectorExe);
    for (const char* folder : {"m", "run", "d"}) {
        RemoveTree(DriveC() + "/" + folder);
        fs::create_directories(DriveC() + "/" + folder);
    }
    fs::copy_file(where_.marlowenExe, DriveC() + "/m/Marlowen.exe");
    if (fs::exists(where_.standInExe)) fs::copy_file(where_.standInExe, DriveC() + "/m/StandInCad.exe");
}

Session::~Session() {
    try {
        EndAll();
    } catch (const std::exception&) {
        // Nothing more can be done for a server that will not end; the next case kills it again.
    }
}

void Session::EndAll() {
    if (inspector_) inspector_->Release();
    Run({"wineserver", "-k"}, Env(), 10000);
    Run({"wineserver", "-w"}, Env(), 10000);
    marlowen_.reset();
    inspector_.reset();
    programs_.clear();
}

std::vector<std::string> Session::Env() const { return WineEnv(where_.prefix, display_); }

std::string Session::DriveC() const { return where_.prefix + "/drive_c"; }

std::string Session::UnixPath(const std::string& windowsPath) const {
    if (windowsPath.size() < 3 || (windowsPath[0] != 'C' && windowsPath[0] != 'c') ||
        windowsPath.compare(1, 2, ":\\") != 0)
        throw HarnessError("not a path on C:: " + windowsPath);
    std::string rest = windowsPath.substr(3);
    for (auto& c : rest)
        if (c == '\\') c = '/';
    return DriveC() + "/" + rest;
}

std::string Session::DataIniPath() const { return DriveC() + "/m/data.ini"; }

std::string Session::RunFolder() const { return DriveC() + "/run"; }

void Session::WriteDataIni(const std::string& utf8Text) {
    std::string crlf;
    for (char c : utf8Text) {
        if (c == '\n' && (crlf.empty() || crlf.back() != '\r')) crlf += '\r';
        crlf += c;
    }
    WriteBytes(DataIniPath(), Utf8ToSjis(crlf));
}

std::string Session::MakeFile(const std::string& relative, const std::string& content) {
    std::string path = DriveC() + "/d/" + relative;
    WriteBytes(path, content);
    return path;
}

std::string Session::ReadText(const std::string& unixPath) const { return SjisToUtf8(ReadBytes(unixPath)); }

bool Session::MakeImmutable(const std::string& unixPath) {
    return Run({"chattr", "+i", unixPath}, CurrentEnv(), 10000).exitCode == 0;
}

void Session::Start() { Start("C:\\m\\Marlowen.exe", RunFolder()); }

void Session::Start(const std::string& windowsExe, const std::string& unixCwd) {
    if (marlowen_) throw HarnessError("Marlowen was started already");
    Process::Options options;
    options.env = Env();
    options.cwd = unixCwd;
    marlowen_.emplace(std::vector<std::string>{"wine", windowsExe}, options);
    // Each ask waits a second itself, and looks between whether the program has ended.
    const auto shown = [&] {
        try {
            Inspect({"wait-window", kTitle, "1000"});
            return true;
        } catch (const HarnessError&) {
            if (auto status = marlowen_->Wait(0))
                throw HarnessError("Marlowen.exe ended with " + std::to_string(*status) + " before its window showed");
            return false;
        }
    };
    if (!PollUntil(shown, kStartTimeoutMs, [] {})) throw HarnessError("Marlowen's window did not show within 30 s");
}

bool Session::Running() { return marlowen_ && marlowen_->Running(); }

std::optional<int> Session::WaitExit(int timeoutMs) {
    if (!marlowen_) throw HarnessError("Marlowen was not started");
    return marlowen_->Wait(timeoutMs);
}

void Session::StartProgram(const std::vector<std::string>& args) {
    Process::Options options;
    options.env = Env();
    options.cwd = RunFolder();
    std::vector<std::string> argv = {"wine"};
    argv.insert(argv.end(), args.begin(), args.end());
    programs_.push_back(std::make_unique<Process>(argv, options));
}

RunResult Session::RunProgram(const std::vector<std::string>& args, int timeoutMs) {
    std::vector<std::string> argv = {"wine"};
    argv.insert(argv.end(), args.begin(), args.end());
    return Run(argv, Env(), timeoutMs, RunFolder());
}

pid_t Session::MarlowenPid() const {
    if (!marlowen_) throw HarnessError("Marlowen was not started");
    return marlowen_->Pid();
}

std::string Session::Inspect(const std::vector<std::string>& args, int timeoutMs) {
    if (!inspector_) inspector_.emplace(where_.inspectorExe, Env());
    return inspector_->Ask(args, timeoutMs);
}

std::vector<std::vector<std::string>> Session::InspectRecords(const std::vector<std::string>& args, int timeoutMs) {
    return inspector::ParseRecords(Inspect(args, timeoutMs));
}

Rect Session::WindowRect() { return ParseRect(Inspect({"rect", kTitle})); }

std::string Session::Title() {
    const auto records = InspectRecords({"title", kTitle});
    if (records.size() != 1 || records[0].size() != 1) throw HarnessError("inspector gave no title record");
    return records[0][0];
}

Rect Session::ClientRect() { return ParseRect(Inspect({"client", kTitle})); }

std::vector<Control> Session::Controls() {
    std::vector<Control> controls;
    for (const auto& record : InspectRecords({"controls", kTitle})) controls.push_back(ParseControl(record));
    return controls;
}

Control Session::GetControl(const std::string& name) {
    auto records = InspectRecords({"control", kTitle, name});
    if (records.size() != 1) throw HarnessError("inspector gave no single record for " + name);
    return ParseControl(records[0]);
}

std::vector<MessageBoxInfo> Session::MessageBoxes() {
    std::vector<MessageBoxInfo> boxes;
    for (const auto& record : InspectRecords({"msgboxes"})) boxes.push_back(ParseMessageBox(record));
    return boxes;
}

MessageBoxInfo Session::WaitMessageBox(const std::string& caption, int timeoutMs) {
    auto records = InspectRecords({"wait-msgbox", caption, std::to_string(timeoutMs)}, timeoutMs + 10000);
    if (records.size() != 1) throw HarnessError("inspector gave no single message box record");
    return ParseMessageBox(records[0]);
}

CpuTime Session::ProcessCpuTime(const std::string& windowTitle) {
    return ParseCpuTime(Inspect({"cputime", windowTitle}));
}

std::vector<std::string> Session::ProcessNames() {
    std::vector<std::string> names;
    for (const auto& record : InspectRecords({"processes"})) {
        if (record.size() != 2) throw HarnessError("malformed process record: '" + record[0] + "'");
        names.push_back(record[1]);
    }
    return names;
}

bool Session::ProcessRunning(const std::string& exeName) {
    for (const auto& name : ProcessNames())
        if (strcasecmp(name.c_str(), exeName.c_str()) == 0) return true;
    return false;
}

void Session::Drop(const std::string& controlName, const std::vector<std::string>& unixPaths) {
    DropAt(GetControl(controlName).rect.Center(), unixPaths);
}

void Session::DropAt(Point screen, const std::vector<std::string>& unixPaths) {
    const int timeoutMs = kDropTimeoutMs + kDropMsPerFile * static_cast<int>(unixPaths.size());
    std::vector<std::string> argv = {where_.xdndDrop,
                                     "--display",
                                     display_,
                                     "--timeout",
                                     std::to_string(timeoutMs),
                                     std::to_string(screen.x),
                                     std::to_string(screen.y)};
    argv.insert(argv.end(), unixPaths.begin(), unixPaths.end());
    auto result = Run(argv, Env(), timeoutMs + 10000);
    if (result.exitCode != 0)
        throw HarnessError("drop at " + std::to_string(screen.x) + "," + std::to_string(screen.y) +
                           " failed: " + result.err);
}

void Session::Click(const std::string& controlName) { Inspect({"click", kTitle, controlName}); }

void Session::SetText(const std::string& controlName, const std::string& text) {
    Inspect({"set-text", kTitle, controlName, text});
}

void Session::PressOk(const std::string& caption) { Inspect({"press-ok", caption}); }

void Session::Press(const std::string& caption, const std::string& button) { Inspect({"press", caption, button}); }

void Session::ChooseFile(const std::string& windowsPath) { Inspect({"filedialog-choose", windowsPath}); }

void Session::CancelFileDialog() { Inspect({"filedialog-cancel"}); }

void Session::Close() { Inspect({"close", kTitle}); }

}  // namespace e2e
