#include "InspectorClient_posix.h"

#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>
#include <utility>

#include "testsupport/InspectorProtocol.h"
#include "testsupport/Wait.h"

namespace e2e {
namespace {

// How long one look at the inspector's output waits for more of the answer.
constexpr int kReadPauseMs = 100;

const std::vector<std::string>& Fields(const std::vector<std::string>& fields, size_t count, const char* what) {
    if (fields.size() != count) {
        std::string line;
        for (const auto& f : fields) line += (line.empty() ? "" : "\t") + f;
        throw HarnessError(std::string("malformed ") + what + " record: '" + line + "'");
    }
    return fields;
}

}  // namespace

std::string Grid::Cell(int col, int row) const {
    if (row < 0 || row >= static_cast<int>(cells.size())) return {};
    const auto& line = cells[static_cast<size_t>(row)];
    if (col < 0 || col >= static_cast<int>(line.size())) return {};
    return line[static_cast<size_t>(col)];
}

Grid ParseGrid(const std::string& dump) {
    Grid grid;
    size_t headerEnd = dump.find("\r\n");
    std::string header = dump.substr(0, headerEnd);
    if (std::sscanf(header.c_str(), "cols=%d rows=%d", &grid.cols, &grid.rows) != 2)
        throw HarnessError("not a grid dump: '" + header + "'");
    if (headerEnd == std::string::npos) return grid;
    std::string body = dump.substr(headerEnd + 2);
    if (body.size() >= 2 && body.compare(body.size() - 2, 2, "\r\n") == 0) body.resize(body.size() - 2);
    if (!body.empty() || grid.rows > 0)
        for (auto& row : inspector::Split(body, '\n')) {
            if (!row.empty() && row.back() == '\r') row.pop_back();
            grid.cells.push_back(inspector::Split(row, '\t'));
        }
    return grid;
}

std::vector<std::string> ParseListBox(const std::string& text) {
    int count = 0;
    if (std::sscanf(text.c_str(), "count=%d", &count) != 1) throw HarnessError("not a list box dump: '" + text + "'");
    std::vector<std::string> items;
    size_t at = text.find("\r\n");
    for (int i = 0; i < count && at != std::string::npos; ++i) {
        size_t end = text.find("\r\n", at + 2);
        items.push_back(text.substr(at + 2, end - at - 2));
        at = end;
    }
    return items;
}

Rect ParseRect(const std::string& text) {
    Rect r;
    std::istringstream in(text);
    if (!(in >> r.left >> r.top >> r.right >> r.bottom)) throw HarnessError("not a rectangle: '" + text + "'");
    return r;
}

Control ParseControl(const std::vector<std::string>& fields) {
    const auto& f = Fields(fields, 6, "control");
    return {.name = f[0],
            .cls = f[1],
            .id = std::stoi(f[2]),
            .rect = ParseRect(f[3]),
            .enabled = f[4].rfind("enabled", 0) == 0,
            .visible = f[4].find("visible") != std::string::npos,
            .text = f[5]};
}

MessageBoxInfo ParseMessageBox(const std::vector<std::string>& fields) {
    const auto& f = Fields(fields, 6, "message box");
    return {.caption = f[0],
            .text = f[1],
            .rect = ParseRect(f[2]),
            .pid = static_cast<unsigned>(std::stoul(f[3])),
            .ownerTitle = f[4],
            .icon = f[5] == "icon"};
}

CpuTime ParseCpuTime(const std::string& text) {
    CpuTime time;
    if (std::sscanf(text.c_str(), "%lld %lld", &time.kernelMs, &time.userMs) != 2)
        throw HarnessError("not a processor time: '" + text + "'");
    return time;
}

InspectorClient::InspectorClient(std::string inspectorExe, std::vector<std::string> env)
    : exe_(std::move(inspectorExe)), env_(std::move(env)) {}

void InspectorClient::Start() {
    Process::Options options;
    options.env = env_;
    options.pipeStdin = true;
    options.captureOutput = true;
    process_.emplace(std::vector<std::string>{"wine", exe_, "serve"}, options);
    received_.clear();
}

void InspectorClient::Release() {
    if (process_) process_->CloseStdin();
}

std::string InspectorClient::Ask(const std::vector<std::string>& args, int timeoutMs) {
    const std::optional<std::string> line = inspector::RequestLine(args);
    if (!line) throw HarnessError("inspector argument with TAB or line break");
    if (!process_ || !process_->Running()) Start();
    if (write(process_->StdinFd(), line->data(), line->size()) != static_cast<ssize_t>(line->size()))
        throw HarnessError("cannot talk to the inspector");

    std::optional<inspector::Answer> answer;
    const auto answered = [&] { return (answer = inspector::TakeAnswer(received_)).has_value(); };
    const auto readMore = [&] {
        pollfd fd{process_->StdoutFd(), POLLIN, 0};
        if (poll(&fd, 1, kReadPauseMs) <= 0) return;
        char buffer[4096];
        const ssize_t n = read(fd.fd, buffer, sizeof buffer);
        if (n > 0) received_.append(buffer, static_cast<size_t>(n));
        if (n == 0) {
            process_.reset();
            throw HarnessError("the inspector ended while answering " + Describe(args));
        }
    };
    if (!PollUntil(answered, timeoutMs, readMore)) {
        process_.reset();
        throw HarnessError("the inspector did not answer " + Describe(args) + " within " + std::to_string(timeoutMs) +
                           " ms");
    }
    if (answer->code != 0) throw HarnessError("inspector " + Describe(args) + ": " + answer->reason);
    return answer->output;
}

}  // namespace e2e
