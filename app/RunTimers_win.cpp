#include "RunTimers_win.h"

#include <windows.h>

#include "ScriptFile.h"

WatcherTimer& FormRunTimers::Timer(Watcher watcher) {
    switch (watcher) {
    case Watcher::StartUp: return startUp_;
    case Watcher::SurveyEnd: return surveyEnd_;
    case Watcher::DrawingClosed: return drawingClosed_;
    case Watcher::Run: break;
    }
    return run_;
}

LocalTime FormRunTimers::Now() const {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

bool RecordFileInFolder::Write(const std::string& bytes) {
    const std::string next = std::string(kRecordFile) + ".new";
    HANDLE file = CreateFileA(next.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool whole =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(file);
    if (whole && MoveFileExA(next.c_str(), kRecordFile, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(next.c_str());
    return false;
}
