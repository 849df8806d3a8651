// The processes of a run bound to kernel32.
#pragma once

#include "CadRun.h"

class Win32Processes : public Processes {
public:
    bool Start(const std::string& commandLine, Started& started, std::string& reason) override;
    Handle Open(std::uint32_t id) override;
    bool Ended(Handle process) override;
    void Close(Handle process) override;
    std::int64_t NowMs() override;
    bool IsFile(const std::string& path) override;
    std::vector<std::uint32_t> RunningIds() override;
    std::uint32_t ParentId(std::uint32_t id) override;
};

// The system's text for an error code, without its closing line break.
std::string SystemReason(unsigned long error);
