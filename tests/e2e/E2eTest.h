// Base fixture of the end-to-end cases: one screen for the test program, a fresh Session
// (files, Wine processes) for every case.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "testsupport/Harness_posix.h"
#include "testsupport/StandInLog.h"

namespace e2e {

class E2eTest : public ::testing::Test {
protected:
    void SetUp() override { session_.emplace(SharedScreen()); }
    void TearDown() override { session_.reset(); }
    Session& S() { return *session_; }

private:
    static const Screen& SharedScreen() {
        static Screen screen;
        return screen;
    }
    std::optional<Session> session_;
};

// The stand-in CAD's log in C:\run, Marlowen's current folder, decoded to UTF-8.
inline StandInLog CadLog(Session& s, const std::string& name = "cad.log") {
    return StandInLog(s.RunFolder() + "/" + name, SjisToUtf8);
}

inline void WaitForEvents(const StandInLog& log, const std::string& prefix, int count, const std::string& what,
                          int timeoutMs = 20000) {
    WaitUntil([&] { return log.Count(prefix) >= count; }, timeoutMs, what);
}

// CAD has quit when its process is gone, a moment after it logs its exit; until then a drop is
// refused.
inline void WaitForCadToQuit(Session& s, const StandInLog& log, int count, const std::string& what) {
    WaitForEvents(log, "exit ", count, what);
    WaitUntil([&] { return !s.ProcessRunning("StandInCad.exe"); }, 20000, "the stand-in's process to end");
}

// Until the status line above the path box begins with start.
inline void WaitForStatus(Session& s, const std::string& start, int timeoutMs = 30000) {
    WaitUntil([&] { return s.GetControl("Label1").text.starts_with(start); }, timeoutMs,
              "the status line to say '" + start + "'");
}

inline std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Script lines as test.scr holds them: Shift-JIS, each line ending in CR LF.
inline std::string ScriptBytes(const std::vector<std::string>& utf8Lines) {
    std::string text;
    for (const auto& line : utf8Lines) text += line + "\r\n";
    return Utf8ToSjis(text);
}

// The lines every batch script ends with.
inline const std::vector<std::string> kTail = {"new ", "filedia", "1", "cmddia", "1", "quit"};

// A path as the survey script writes it.
inline std::string InQuotes(const std::string& path) { return "\"" + path + "\""; }

// The tree's roots, without their children.
inline std::vector<std::string> TreeRoots(const std::string& tree) {
    std::vector<std::string> roots;
    size_t start = 0;
    for (size_t end; (end = tree.find('\n', start)) != std::string::npos; start = end + 1)
        if (tree[start] != ' ') roots.push_back(tree.substr(start, tree.find('\t', start) - start));
    return roots;
}

}  // namespace e2e
