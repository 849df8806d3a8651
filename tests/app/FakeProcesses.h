// Processes for the tests of a run: a list the test sets, and a record of every start and handle.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/CadRun.h"

// Processes as a list the test sets: which have ended, which can be opened, what the clock
// says, which files exist, which others run; and a record of every start and handle.
class FakeProcesses : public Processes {
public:
    bool Start(const std::string& commandLine, Started& started, std::string& reason) override {
        startedLines.push_back(commandLine);
        if (!startError.empty()) {
            reason = startError;
            return false;
        }
        started = {Handle{0x10} + startedLines.size(), nextId++};
        open.insert(started.handle);
        ids[started.handle] = started.id;
        return true;
    }
    Handle Open(std::uint32_t id) override {
        if (unopenable.count(id)) return 0;
        const Handle h = 0x1000 + id;
        open.insert(h);
        ids[h] = id;
        return h;
    }
    bool Ended(Handle process) override {
        EXPECT_TRUE(open.count(process)) << "asked about a closed handle";
        return ended.count(ids[process]) > 0;
    }
    void Close(Handle process) override { EXPECT_EQ(open.erase(process), 1u) << "closed twice"; }
    std::int64_t NowMs() override { return now; }
    bool IsFile(const std::string& path) override { return files.count(path) > 0; }
    std::vector<std::uint32_t> RunningIds() override { return {running.begin(), running.end()}; }
    std::uint32_t ParentId(std::uint32_t id) override {
        ++parentAsks;
        const auto found = parents.find(id);
        return found == parents.end() ? 0 : found->second;
    }

    std::vector<std::string> startedLines;
    std::string startError;
    std::uint32_t nextId = 100;
    std::set<std::uint32_t> ended, unopenable;
    std::set<Handle> open;
    std::map<Handle, std::uint32_t> ids;
    std::int64_t now = 5000;
    std::set<std::string> files;
    std::set<std::uint32_t> running;  // besides what was started
    std::map<std::uint32_t, std::uint32_t> parents;
    int parentAsks = 0;
};
