#include "CadSession.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "testsupport/StandInLogCodec.h"
#include "text/ShiftJis.h"

namespace {

const char kLayoutOptionPrompt[] =
    "レイアウト オプションを入力 [コピー(C)/削除(D)/新規作成(N)/テンプレート(T)/名前変更(R)/"
    "名前を付けて保存(SA)/設定(S)/?] <設定>: ";

std::string Trim(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= 0x20) ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 0x20) --end;
    return std::string(text.substr(begin, end - begin));
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Only ASCII letters are folded; the result is compared with ASCII command names alone, and
// a Japanese word keeps its lead bytes, so it can never equal one.
std::string AsciiLower(std::string text) {
    for (char& c : text) c = AsciiLower(c);
    return text;
}

// CAD takes a file name with blanks in double quotes, and opens the name without them.
std::string Unquote(std::string text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
    return text;
}

std::vector<std::string> SplitLines(std::string_view content) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string_view::npos) end = content.size();
        std::string_view line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        start = end + 1;
    }
    return lines;
}

// The block names CAD gives: the model space, then the paper spaces numbered from the second.
std::string BlockName(std::size_t index) {
    if (index == 0) return "*Model_Space";
    if (index == 1) return "*Paper_Space";
    return "*Paper_Space" + std::to_string(index - 2);
}

std::string ActiveLayoutName(const std::vector<std::string>& layouts) {
    if (layouts.size() > 1) return layouts[1];
    return layouts.empty() ? std::string() : layouts[0];
}

}  // namespace

std::vector<std::string> ParseDrawingFile(std::string_view content) {
    std::vector<std::string> layouts;
    for (const std::string& line : SplitLines(content)) {
        std::string name = Trim(line);
        if (!name.empty()) layouts.push_back(std::move(name));
    }
    return layouts;
}

std::vector<std::string> SplitScriptLine(std::string_view line) {
    std::vector<std::string> pieces(1);
    bool quoted = false;
    for (char c : line) {
        if (c == '"') quoted = !quoted;
        if (c == ' ' && !quoted) pieces.emplace_back();
        else pieces.back() += c;
    }
    return pieces;
}

std::string FileNamePart(std::string_view path) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const auto b = static_cast<unsigned char>(path[i]);
        if (IsShiftJisLead(b) && i + 1 < path.size()) {
            ++i;
        } else if (b == '\\' || b == '/' || b == ':') {
            start = i + 1;
        }
    }
    return std::string(path.substr(start));
}

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (IsShiftJisLead(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
        } else if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

CadSession::CadSession(bool halfWidth, FileReader readFile, EventLog log, std::size_t historyLines)
    : commandPrompt_(halfWidth ? "ｺﾏﾝﾄﾞ: " : "コマンド: "),
      historyLines_(std::max<std::size_t>(historyLines, 1)),
      readFile_(std::move(readFile)),
      log_(std::move(log)) {
    drawings_.push_back(Drawing{});
    Drawing first;
    first.name = "Drawing1.dwg";
    first.layouts = {"Model", "Layout1", "Layout2"};
    drawings_.push_back(std::move(first));
    Print("AutoCAD 2000i (スタンドイン) を起動しています。");
    Print("AutoCAD メニュー ユーティリティ をロードしました。");
}

void CadSession::FinishStartup() {
    if (mode_ != Mode::Starting) return;
    Print(commandPrompt_ + "COMMANDLINE");
    ToCommandPrompt();
}

void CadSession::Type(std::string_view text) {
    for (char c : text) {
        if (c == '\r') {
            queue_.push_back(Line{std::move(partial_), false});
            partial_.clear();
        } else if (c != '\n') {
            partial_ += c;
        }
    }
}

bool CadSession::CanTakeLine() const {
    return mode_ != Mode::Starting && mode_ != Mode::Dialog && !taken_ && !queue_.empty();
}

SessionRequest CadSession::TakeLine() {
    if (!CanTakeLine()) return SessionRequest::None;
    Line line = std::move(queue_.front());
    queue_.pop_front();
    log_((line.fromScript ? "script-line " : "input ") + QuoteForLog(line.text));
    if (!exitWord_.empty() && SameIgnoringAsciiCase(Trim(line.text), exitWord_)) return SessionRequest::Abort;
    if (!crashDrawing_.empty() && SameIgnoringAsciiCase(Active().name, crashDrawing_)) {
        log_("crash " + QuoteForLog(Active().name));
        return SessionRequest::Abort;
    }
    takenFromScript_ = line.fromScript;
    Drawing& active = ActiveDrawing();
    AddToHistory(active, active.prompt + line.text);
    takenPrompt_ = std::move(active.prompt);
    active.prompt.clear();
    taken_ = std::move(line.text);
    return SessionRequest::None;
}

unsigned CadSession::BusyBeforeExecute() {
    if (!taken_ || busyText_.empty()) return 0;
    const std::string text = Unquote(Trim(*taken_));
    if (!SameIgnoringAsciiCase(text, busyText_) && !SameIgnoringAsciiCase(FileNamePart(text), busyText_)) return 0;
    busyText_.clear();  // only the first such line
    log_("busy ms=" + std::to_string(busyMs_));
    return busyMs_;
}

SessionRequest CadSession::Execute() {
    if (!taken_) return SessionRequest::None;
    const std::string line = std::move(*taken_);
    taken_.reset();
    switch (mode_) {
    case Mode::Command: return RunCommand(line);
    case Mode::FileDia: SetVariable(fileDia_, "filedia", line); break;
    case Mode::CmdDia: SetVariable(cmdDia_, "cmddia", line); break;
    case Mode::ScriptName: RunScript(Unquote(Trim(line))); break;
    case Mode::OpenName: return OpenDrawing(Unquote(Trim(line)));
    case Mode::LayoutOption: AnswerLayoutOption(Trim(line)); break;
    case Mode::Starting:
    case Mode::Dialog: break;
    }
    return SessionRequest::None;
}

void CadSession::DialogClosed() {
    if (mode_ != Mode::Dialog) return;
    log_("dialog-closed");
    if (fileDialogShown_) Print("*キャンセル*");
    ToCommandPrompt();
}

std::string CadSession::History() const {
    std::string text;
    for (const std::string& line : Active().history) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::string CadSession::PaneText() const { return History() + Active().prompt; }

void CadSession::AddToHistory(Drawing& drawing, std::string line) {
    drawing.history.push_back(std::move(line));
    if (drawing.history.size() <= historyLines_) return;
    drawing.history.erase(drawing.history.begin(), drawing.history.end() - static_cast<std::ptrdiff_t>(historyLines_));
    if (drawing.historyFull) return;
    drawing.historyFull = true;
    log_("history-full " + QuoteForLog(drawing.name) + " lines=" + std::to_string(historyLines_));
}

void CadSession::Print(std::string line) { AddToHistory(ActiveDrawing(), std::move(line)); }

void CadSession::Ask(Mode mode, std::string prompt) {
    mode_ = mode;
    ActiveDrawing().prompt = std::move(prompt);
}

void CadSession::ToCommandPrompt() { Ask(Mode::Command, commandPrompt_); }

SessionRequest CadSession::RunCommand(const std::string& line) {
    const std::string word = AsciiLower(Trim(line));
    if (word.empty()) {
        ToCommandPrompt();
        return SessionRequest::None;
    }
    const bool known = word == "filedia" || word == "cmddia" || word == "script" || word == "open" ||
                       word == "layout" || word == "close" || word == "new" || word == "quit" || word == "commandline";
    if (!known) {
        const std::string typed = Trim(line);
        log_("unknown " + QuoteForLog(typed));
        Print("不明なコマンド \"" + typed + "\"。F1 キーを押すとヘルプを表示します。");
        ToCommandPrompt();
        return SessionRequest::None;
    }
    log_("command " + word);
    if (word == "filedia") {
        Ask(Mode::FileDia, "新しい FILEDIA の値を入力 <" + std::to_string(fileDia_) + ">: ");
    } else if (word == "cmddia") {
        Ask(Mode::CmdDia, "新しい CMDDIA の値を入力 <" + std::to_string(cmdDia_) + ">: ");
    } else if (word == "script") {
        if (fileDia_ != 0) return ShowFileDialog();
        Ask(Mode::ScriptName, "スクリプト ファイル名を入力: ");
    } else if (word == "open") {
        if (fileDia_ != 0) return ShowFileDialog();
        Ask(Mode::OpenName, "開く図面ファイル名を入力: ");
    } else if (word == "layout") {
        if (Active().name.empty()) {
            Print("図面が開かれていないため、このコマンドは使用できません。");
            ToCommandPrompt();
        } else {
            Ask(Mode::LayoutOption, kLayoutOptionPrompt);
        }
    } else if (word == "close") {
        CloseDrawing();
    } else if (word == "new") {
        NewDrawing();
    } else if (word == "quit") {
        return SessionRequest::Quit;
    } else {
        ToCommandPrompt();
    }
    return SessionRequest::None;
}

void CadSession::SetVariable(int& variable, const char* name, const std::string& answer) {
    const std::string value = Trim(answer);
    if (value == "0" || value == "1") {
        variable = value == "1" ? 1 : 0;
        log_(std::string("set ") + name + "=" + value);
    } else if (!value.empty()) {
        // CAD insists on a valid value and asks again.
        Print("0 から 1 までの整数を入力してください。");
        Ask(mode_, takenPrompt_);
        return;
    }
    ToCommandPrompt();
}

std::optional<std::string> CadSession::ReadNamedFile(const std::string& name, const std::string& failedEvent,
                                                     bool unreadable) {
    std::optional<std::string> content = name.empty() || unreadable ? std::nullopt : readFile_(name);
    if (!content) log_(failedEvent + " " + QuoteForLog(name));
    return content;
}

void CadSession::RunScript(const std::string& name) {
    const std::optional<std::string> content = ReadNamedFile(name, "script-failed");
    if (!content) {
        Print("スクリプト ファイル \"" + name + "\" を読み込めません。");
        ToCommandPrompt();
        return;
    }
    const std::vector<std::string> lines = SplitLines(*content);
    log_("script " + QuoteForLog(name) + " lines=" + std::to_string(lines.size()));
    // The script's lines come before any input typed meanwhile, as if typed at once.
    std::vector<Line> pieces;
    for (const std::string& line : lines) {
        for (std::string& piece : SplitScriptLine(line)) pieces.push_back(Line{std::move(piece), true});
    }
    queue_.insert(queue_.begin(), std::make_move_iterator(pieces.begin()), std::make_move_iterator(pieces.end()));
    ToCommandPrompt();
}

void CadSession::StopScript() {
    const auto dropped = std::erase_if(queue_, [](const Line& line) { return line.fromScript; });
    if (dropped > 0 || takenFromScript_) log_("script-stopped lines=" + std::to_string(dropped));
}

SessionRequest CadSession::OpenDrawing(const std::string& path) {
    const bool unreadable =
        !unreadableDrawing_.empty() && SameIgnoringAsciiCase(FileNamePart(path), unreadableDrawing_);
    const std::optional<std::string> content = ReadNamedFile(path, "open-failed", unreadable);
    if (!content) {
        Print("図面ファイル \"" + path + "\" を開けません。");
        message_ = "図面ファイルを開けません。\r\n" + path;
        log_("message-window " + QuoteForLog(message_));
        StopScript();
        fileDialogShown_ = false;
        mode_ = Mode::Dialog;
        return SessionRequest::MessageWindow;
    }
    ToCommandPrompt();  // the drawing left behind waits at its command prompt
    Drawing opened;
    opened.name = FileNamePart(path);
    opened.layouts = ParseDrawingFile(*content);
    opened.history = {"図面 \"" + path + "\" を開きました。"};
    log_("open " + QuoteForLog(path) + " name=" + QuoteForLog(opened.name) +
         " layouts=" + std::to_string(opened.layouts.size()));
    drawings_.push_back(std::move(opened));
    ToCommandPrompt();
    return SessionRequest::None;
}

// The listing puts a "." before the first "レイアウト:" line, so that a reader who skips what
// lies between the option prompt's ">:" and the first "." after it still sees every layout.
void CadSession::AnswerLayoutOption(const std::string& answer) {
    if (answer != "?") {
        Print("無効なオプションです。");
        ToCommandPrompt();
        return;
    }
    const std::vector<std::string>& layouts = Active().layouts;
    log_("layout-list " + QuoteForLog(Active().name) + " count=" + std::to_string(layouts.size()));
    Print("アクティブなレイアウト: " + ActiveLayoutName(layouts));
    Print("レイアウト数 " + std::to_string(layouts.size()) + ".");
    for (std::size_t i = 0; i < layouts.size(); ++i) {
        Print("レイアウト: " + layouts[i] + "  ブロック名: " + BlockName(i) + ".");
    }
    ToCommandPrompt();
}

// The drawing opened before becomes active again. Its history gets a line with "open" in it,
// as CAD re-shows the command line there; a watcher of the history learns from it that the
// close is done.
void CadSession::CloseDrawing() {
    if (drawings_.size() == 1) {
        Print("閉じる図面がありません。");
        ToCommandPrompt();
        return;
    }
    const std::string closed = Active().name;
    drawings_.pop_back();
    log_("close " + QuoteForLog(closed) + " active=" + QuoteForLog(Active().name));
    Print("図面 " + closed + " を閉じました。");
    Print(commandPrompt_ + "_open");
    ToCommandPrompt();
}

void CadSession::NewDrawing() {
    ToCommandPrompt();  // the drawing left behind waits at its command prompt
    Drawing created;
    created.name = "Drawing" + std::to_string(++drawingCounter_) + ".dwg";
    created.layouts = {"Model", "Layout1", "Layout2"};
    created.history = {"新しい図面 " + created.name + " を作成しました。"};
    log_("new " + QuoteForLog(created.name));
    drawings_.push_back(std::move(created));
    ToCommandPrompt();
}

// With FILEDIA 1, CAD asks for files in a dialog instead of on the command line; the stand-in
// shows one that can only be cancelled.
SessionRequest CadSession::ShowFileDialog() {
    log_("file-dialog");
    fileDialogShown_ = true;
    mode_ = Mode::Dialog;
    return SessionRequest::FileDialog;
}
