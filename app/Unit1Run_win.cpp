// TForm1's batch run: the template expanded for the dropped files, written to test.scr, and
// the CAD program started, with the start-up watcher armed to make it run the script.
#include <algorithm>
#include <string>

#include "InfoBox_win.h"
#include "ScriptFile.h"
#include "SectionDrop.h"
#include "TemplateExpansion.h"
#include "Unit1_win.h"
#include "text/AppError.h"
#include "text/UnitFunc.h"

namespace {

std::string FullPathOf(const char* name) {
    char path[MAX_PATH * 4] = {};
    const DWORD length = GetFullPathNameA(name, sizeof path, path, nullptr);
    return length > 0 && length < sizeof path ? std::string(path, length) : std::string(name);
}

[[noreturn]] void ThrowFileError(const char* pattern, DWORD error) {
    throw AppError(UnitFunc::Format(pattern, FullPathOf(kScriptFile)) + " (" + SystemReason(error) + ")");
}

// Closes the script file on every road.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

}  // namespace

void TForm1::RunTemplateScript(std::int32_t lineCount) {
    const Expansion expansion =
        ExpandTemplate({FDropCount, ListBox3.Lines(), lineCount, ListBox4.Lines(), StringGrid2.Cells(),
                        ListBox1.Lines(), StringGrid1.Cells(), runLayoutRows_});
    switch (expansion.outcome) {
    case Expansion::Outcome::NeedSurvey: ShowInfoBox(hwnd_, kNeedSurveyMessage); return;
    case Expansion::Outcome::NotInteger:
        throw AppError(UnitFunc::Format("'%s' は整数ではありません", expansion.badNumber));
    case Expansion::Outcome::Lines: break;
    }
    WriteScriptFile(expansion.lines);
    PaintNow();
    supervisor_->StartBatch(ControlText(Edit1), ListBox1.Lines(), expansion.marks, ControlText(FButtons[runSection_]),
                            runContinues_);
    ShowStatus();
}

void TForm1::WriteScriptFile(const LineList& lines) {
    const std::string bytes = ScriptFileBytes(lines);
    // Created anew (or emptied) in the current folder and held exclusively while written.
    const FileHandle file(
        CreateFileA(kScriptFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) ThrowFileError("%s を作成できません", GetLastError());
    std::size_t written = 0;
    while (written < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1u << 30));
        DWORD done = 0;
        if (!WriteFile(file.Get(), bytes.data() + written, chunk, &done, nullptr) || done == 0)
            ThrowFileError("%s に書き込めません", GetLastError());
        written += done;
    }
}
