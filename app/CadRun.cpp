#include "CadRun.h"

#include <algorithm>

#include "text/AppError.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string CadCommandLine(const std::string& pathBox, const std::function<bool(const std::string&)>& isFile) {
    std::size_t begin = 0;
    std::size_t end = pathBox.size();
    while (begin < end && IsBlank(pathBox[begin])) ++begin;
    while (end > begin && IsBlank(pathBox[end - 1])) --end;
    const std::string whole = pathBox.substr(begin, end - begin);
    // Neither blanks nor quotes are ever part of a Shift-JIS character's second byte.
    const bool hasBlank = whole.find_first_of(" \t") != std::string::npos;
    if (!hasBlank || whole.front() == '"' || !isFile(whole)) return pathBox;
    return '"' + whole + '"';
}

void CadRun::Start(const std::string& pathBox) {
    Close();
    const std::string commandLine =
        CadCommandLine(pathBox, [this](const std::string& path) { return processes_.IsFile(path); });
    // Taken before the start: whatever runs then is not the run's CAD, whatever it shows later.
    runningBefore_ = processes_.RunningIds();
    std::sort(runningBefore_.begin(), runningBefore_.end());
    Processes::Started started;
    std::string reason;
    if (!processes_.Start(commandLine, started, reason))
        throw AppError("CAD のプログラムを起動できません:\r\n" + commandLine + "\r\n(" + reason + ")");
    state_ = State::Started;
    process_ = started.handle;
    processId_ = started.id;
}

bool CadRun::IsRunsCad(std::uint32_t processId) {
    const auto startedSince = [&] {
        return !std::binary_search(runningBefore_.begin(), runningBefore_.end(), processId);
    };
    // Asked of the system once per process: a process's parent stays what it was.
    const auto startedByOurs = [&] {
        if (std::find(children_.begin(), children_.end(), processId) != children_.end()) return true;
        if (std::find(strangers_.begin(), strangers_.end(), processId) != strangers_.end()) return false;
        const bool child = processes_.ParentId(processId) == processId_;
        (child ? children_ : strangers_).push_back(processId);
        return child;
    };
    switch (state_) {
    case State::None: return false;
    case State::Started: return processId == processId_ || (!ownWindowSeen_ && startedSince() && startedByOurs());
    case State::Launched: return startedSince();
    case State::Following: return processId == processId_;
    }
    return false;
}

void CadRun::SawCadWindow(std::uint32_t processId) {
    if (processId == 0) return;
    switch (state_) {
    case State::Started:
        if (processId == processId_) ownWindowSeen_ = true;
        else otherCad_ = processId;
        return;
    case State::Launched: Follow(processId); return;
    case State::None:
    case State::Following: return;
    }
}

bool CadRun::Lasts() {
    switch (state_) {
    case State::None: return false;
    case State::Started:
        if (!processes_.Ended(process_)) return true;
        if (ownWindowSeen_) break;
        // Ended before its windows came: a launcher, whose CAD may still be starting.
        processes_.Close(process_);
        process_ = 0;
        state_ = State::Launched;
        launcherDeadline_ = processes_.NowMs() + kLauncherWaitMs;
        if (otherCad_ != 0) Follow(otherCad_);
        return state_ != State::None;
    case State::Launched:
        if (processes_.NowMs() < launcherDeadline_) return true;
        break;
    case State::Following:
        if (!processes_.Ended(process_)) return true;
        break;
    }
    Close();
    return false;
}

void CadRun::Follow(std::uint32_t processId) {
    process_ = processes_.Open(processId);
    processId_ = processId;
    // A CAD that cannot be followed cannot hold the next drop back either.
    state_ = process_ != 0 ? State::Following : State::None;
}

void CadRun::Close() {
    if (process_ != 0) processes_.Close(process_);
    process_ = 0;
    processId_ = 0;
    ownWindowSeen_ = false;
    otherCad_ = 0;
    runningBefore_.clear();
    children_.clear();
    strangers_.clear();
    state_ = State::None;
}
