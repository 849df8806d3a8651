// ClipboardHolder READY RELEASE: another program on the desktop that has the clipboard open.
// Opens it, sets the named event READY, and closes it when the named event RELEASE is set or
// after a minute, whichever comes first. Exit code 0; 1 when the clipboard could not be opened
// or the events do not exist.
#include <windows.h>

namespace {

constexpr DWORD kLongestHoldMs = 60000;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 1;
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[1]);
    HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, argv[2]);
    if (!ready || !release || !OpenClipboard(nullptr)) return 1;
    SetEvent(ready);
    WaitForSingleObject(release, kLongestHoldMs);
    CloseClipboard();
    CloseHandle(ready);
    CloseHandle(release);
    return 0;
}
