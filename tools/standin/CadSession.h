// The stand-in CAD's command interpreter: the open drawings (a stack, the active one on top),
// each with its own command history and command-line prompt, the FILEDIA and CMDDIA values,
// and the queue of input lines, typed or read from a script. It knows no windows: the window
// side feeds it typed text, steps it line by line, shows what it holds and carries out what
// it asks for (a message window, a file dialog, the end of the program). All texts are
// Shift-JIS bytes.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct Drawing {
    std::string name;                  // file name shown in the titles; empty: no drawing open
    std::vector<std::string> layouts;  // in file order, the model first
    std::vector<std::string> history;  // finished lines, the newest last
    std::string prompt;                // the command line's prompt, not yet part of the history
    bool historyFull = false;          // its oldest lines have begun to go
};

// Abort: the process ends like a crash at the line taken (the word it was told to end at, or
// the first line taken in the drawing it was told to crash in); the line is not carried out.
enum class SessionRequest { None, MessageWindow, FileDialog, Quit, Abort };

// CAD keeps this many lines of each drawing's history unless set otherwise.
inline constexpr std::size_t kDefaultHistoryLines = 400;

class CadSession {
public:
    // The whole content of a file named as typed (relative to the current folder), or
    // nothing when it cannot be read.
    using FileReader = std::function<std::optional<std::string>(const std::string& path)>;
    using EventLog = std::function<void(const std::string& line)>;

    // A drawing's history drops its oldest lines beyond historyLines (at least 1).
    CadSession(bool halfWidth, FileReader readFile, EventLog log, std::size_t historyLines = kDefaultHistoryLines);

    // Start-up ends with the echo of COMMANDLINE and the first prompt; no input is taken before.
    void FinishStartup();

    // Typed text; a carriage return ends a line, line feeds are dropped.
    void Type(std::string_view text);

    // An input line whose trimmed text equals word (ASCII letters in either case) is not
    // carried out: TakeLine asks to end instead. Empty: no such word.
    void SetExitWord(std::string word) { exitWord_ = std::move(word); }
    // TakeLine also asks to end at the first line taken while the active drawing's name is
    // name (ASCII letters in either case). Empty: none.
    void SetCrashDrawing(std::string name) { crashDrawing_ = std::move(name); }
    // Opening a drawing whose file name part is name (ASCII letters in either case) fails as
    // a drawing that cannot be read, even when the file is there. Empty: none.
    void SetUnreadableDrawing(std::string name) { unreadableDrawing_ = std::move(name); }
    // The first input line whose trimmed text, without surrounding double quotes, or whose
    // file name part is text (ASCII letters in either case) keeps CAD busy for ms before it is
    // carried out. Empty: no such line.
    void SetBusyLine(std::string text, unsigned ms) {
        busyText_ = std::move(text);
        busyMs_ = ms;
    }

    // One input line is handled in two steps: TakeLine echoes it onto the prompt, Execute
    // carries it out. The window side may let time pass between the two.
    bool CanTakeLine() const;
    SessionRequest TakeLine();
    // How long the taken line keeps CAD busy before Execute, logged as "busy ms=N"; 0 for any
    // line but the first that matches SetBusyLine.
    unsigned BusyBeforeExecute();
    SessionRequest Execute();

    // The message window or file dialog asked for has been closed.
    void DialogClosed();

    const Drawing& Active() const { return drawings_.back(); }
    std::string History() const;   // the active drawing's finished lines, each ending in CR LF
    std::string PaneText() const;  // History() followed by the prompt
    const std::string& MessageText() const { return message_; }

private:
    enum class Mode { Starting, Command, FileDia, CmdDia, ScriptName, OpenName, LayoutOption, Dialog };
    struct Line {
        std::string text;
        bool fromScript;
    };

    Drawing& ActiveDrawing() { return drawings_.back(); }
    void AddToHistory(Drawing& drawing, std::string line);
    void Print(std::string line);
    void Ask(Mode mode, std::string prompt);
    void ToCommandPrompt();
    SessionRequest RunCommand(const std::string& line);
    void SetVariable(int& variable, const char* name, const std::string& answer);
    // The file's content; none for no name, a file that cannot be read or one that is not to be
    // read (unreadable), logged as failedEvent.
    std::optional<std::string> ReadNamedFile(const std::string& name, const std::string& failedEvent,
                                             bool unreadable = false);
    void RunScript(const std::string& name);
    // CAD drops the rest of a running script when a command in it fails; typed input stays.
    void StopScript();
    SessionRequest OpenDrawing(const std::string& path);
    void AnswerLayoutOption(const std::string& answer);
    void CloseDrawing();
    void NewDrawing();
    SessionRequest ShowFileDialog();

    const std::string commandPrompt_;
    const std::size_t historyLines_;
    FileReader readFile_;
    EventLog log_;
    std::vector<Drawing> drawings_;  // [0] is the state with no drawing open, never closed
    std::deque<Line> queue_;
    std::string partial_;  // typed text not yet ended by a carriage return
    std::optional<std::string> taken_;
    bool takenFromScript_ = false;
    std::string exitWord_;
    std::string crashDrawing_;
    std::string unreadableDrawing_;
    std::string busyText_;
    unsigned busyMs_ = 0;
    std::string takenPrompt_;  // the prompt the taken line answered
    Mode mode_ = Mode::Starting;
    bool fileDialogShown_ = false;
    int fileDia_ = 1;
    int cmdDia_ = 1;
    int drawingCounter_ = 1;
    std::string message_;
};

// The input lines one script line gives, as CAD reads a script: every blank (0x20) outside
// double quotes is an Enter, and so is the line's end. The quotes stay in their piece. 0x20
// and 0x22 are never the second byte of a Shift-JIS character, so bytes are scanned alone.
std::vector<std::string> SplitScriptLine(std::string_view line);

// Layout names of a stand-in drawing file: one per line, blanks at both ends and empty lines
// dropped.
std::vector<std::string> ParseDrawingFile(std::string_view content);

// The file name part of a path; a 0x5C that is the second byte of a Shift-JIS character is
// no separator.
std::string FileNamePart(std::string_view path);

// Equal but for the case of ASCII letters; the second byte of a Shift-JIS character is compared
// as it is, though it may look like a letter.
bool SameIgnoringAsciiCase(std::string_view a, std::string_view b);
