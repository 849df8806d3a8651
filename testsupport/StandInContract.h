// What another program sees of the stand-in CAD: its window classes and titles, the captions
// of its panes, the command and record ids it answers, and its exit codes. The stand-in
// builds its windows from these, and the tests and benchmarks that drive it from outside find
// them by the same names. The CAD link keeps patterns of its own: it is checked against the
// stand-in, not built from it.
#pragma once

#include <cstdint>

namespace standin {

inline constexpr char kMainClass[] = "Afx:00400000:8:10011:0:1f0a3";
inline constexpr char kTextClass[] = "Afx:00400000:b:10011:6:1f0a3";
inline constexpr char kCommandLineClass[] = "Afx:00400000:8:10011:0:0";
// The splash screen while the windows are delayed: titled as the main window, but of a class
// that is not the main window's.
inline constexpr char kSplashClass[] = "StandInSplash";

// Titles with no drawing open; an open drawing's name follows " - [NAME]" on the main window
// and " - NAME" on the text window.
inline constexpr char kMainTitle[] = "AutoCAD 2000i";
inline constexpr char kTextTitle[] = "AutoCAD テキスト ウィンドウ";
inline constexpr char kCommandLineTitle[] = "コマンド ライン";
inline constexpr char kMessageTitle[] = "AutoCAD メッセージ";
inline constexpr char kFileDialogTitle[] = "ファイルを選択";

inline constexpr char kHistoryPaneCaption[] = "Headlands";
inline constexpr char kCommandPaneCaption[] = "MountTam";

// WM_COMMAND to the text window: the active drawing's history onto the clipboard.
inline constexpr std::uint16_t kCopyHistoryCommand = 32781;
// WM_COPYDATA's dwData of typed input; a record with any other is logged and ignored.
inline constexpr std::uintptr_t kTypedInputRecord = 1;

inline constexpr unsigned kQuitExitCode = 0;
inline constexpr unsigned kLaunchFailedExitCode = 1;
// Told to end like a crash (/exitafter, /exitat).
inline constexpr unsigned kAbruptExitCode = 3;
// A fault of the stand-in itself, logged as "failure".
inline constexpr unsigned kFailureExitCode = 4;

}  // namespace standin
