#include "Checker.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <utility>

#include "app/CadScriptLine.h"
#include "SettingsScan.h"
#include "app/SectionDrop.h"
#include "app/SectionTemplate.h"
#include "app/TemplateExpansion.h"
#include "app/TemplateVocabulary.h"
#include "text/UnitFunc.h"

namespace {

// The full-width blank, written as its bytes so that every build compares the same two.
constexpr std::string_view kFullWidthBlank = "\x81\x40";

std::string Num(std::int64_t n) { return std::to_string(n); }

// Whether a character starts at byte index at (a trail byte may look like anything).
bool StartsCharacter(std::string_view text, std::size_t at) {
    std::size_t i = 0;
    while (i < at) i += UnitFunc::IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
    return i == at;
}

// Half-width and full-width blanks at both ends removed.
std::string_view StripBlanks(std::string_view text) {
    for (;;) {
        if (text.starts_with(' ') || text.starts_with('\t')) text.remove_prefix(1);
        else if (text.starts_with(kFullWidthBlank)) text.remove_prefix(2);
        else break;
    }
    for (;;) {
        if (text.ends_with(' ') || text.ends_with('\t')) text.remove_suffix(1);
        else if (text.ends_with(kFullWidthBlank) && StartsCharacter(text, text.size() - 2)) text.remove_suffix(2);
        else break;
    }
    return text;
}

// Byte indices of the marks in the line written in other letter case, searched at character
// starts only (a trail byte may be a letter or a bracket).
std::vector<std::pair<std::size_t, std::string_view>> OtherCaseMarks(std::string_view line) {
    std::vector<std::pair<std::size_t, std::string_view>> found;
    for (std::size_t i = 0; i < line.size(); i += UnitFunc::IsLeadByte(static_cast<unsigned char>(line[i])) ? 2 : 1) {
        if (line[i] != '[') continue;
        for (std::string_view mark : kTemplateMarks) {
            const std::string_view here = line.substr(i, mark.size());
            if (here != mark && SameAsMark(here, mark)) found.emplace_back(i, mark);
        }
    }
    return found;
}

std::size_t CountOf(std::string_view line, std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = line.find(text); at != std::string_view::npos; at = line.find(text, at + text.size()))
        ++count;
    return count;
}

// How a value must stand in the file to be read as value: whole quotes and blanks at its ends
// would be taken off, so such a value gets a pair of quotes of its own.
std::string FileFormOf(std::string_view value) {
    const bool quotedWhole =
        value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
    const bool edgeBlank = !value.empty() && (IniLine::Trim(value).size() != value.size());
    return quotedWhole || edgeBlank ? "\"" + std::string(value) + "\"" : std::string(value);
}

// The line with the blank-free word around the placeholder put in double quotes.
std::string QuotedAround(std::string_view line, std::size_t at, std::size_t length) {
    const std::size_t before = line.rfind(' ', at);
    const std::size_t start = before == std::string_view::npos ? 0 : before + 1;
    const std::size_t after = line.find(' ', at + length);
    const std::size_t end = after == std::string_view::npos ? line.size() : after;
    return std::string(line.substr(0, start)) + "\"" + std::string(line.substr(start, end - start)) + "\"" +
           std::string(line.substr(end));
}

// A read returns the first 2047 bytes of a longer value.
std::optional<std::string> LongValue(const ScannedKey* key) {
    if (!key || key->UncutSize() <= IniLine::kMaxValue) return std::nullopt;
    return "値が " + Num(static_cast<std::int64_t>(key->UncutSize())) + " バイトあり、読み取りでは先頭の " +
           Num(IniLine::kMaxValue) + " バイトで切れます";
}

// One template line as the drop loads it: the value of its key, or empty when the key is missing.
struct TemplateLine {
    std::string text;
    const ScannedKey* key = nullptr;
};

class SectionChecker {
public:
    SectionChecker(const ScannedSection& section, std::vector<Finding>& findings)
        : section_(section), findings_(findings) {}
    void Run();

private:
    void Add(int line, std::string message) { findings_.push_back({line, section_.name, std::move(message)}); }
    void AddAt(const ScannedKey* key, std::string message) {
        Add(key ? key->line : section_.headerLine, std::move(message));
    }
    std::optional<std::int32_t> ReadCount();
    void CheckLineKeys(std::int32_t count);
    void CheckLongValue(const ScannedKey* key);
    void CheckTemplate(std::vector<TemplateLine> lines, bool hasCaption);
    void CheckFollowable(const LoopCut& cut, const TemplateLine& first);
    void CheckTemplateLine(const TemplateLine& line);
    void CheckBodyLine(const TemplateLine& line);
    void CheckScriptBlanks(const TemplateLine& line);
    void CheckOtherCase(const TemplateLine& line);

    const ScannedSection& section_;
    std::vector<Finding>& findings_;
    const ScannedKey* textCount_ = nullptr;
    std::string countReason_;  // why the count is what it is, when TextCount does not say it
    std::unordered_map<std::uint64_t, const ScannedKey*> lineKeys_;
};

void SectionChecker::Run() {
    textCount_ = section_.Find("TextCount");
    const std::optional<std::int32_t> read = ReadCount();
    const std::int32_t count = read.value_or(1);
    CheckLineKeys(count);

    bool hasTemplate = textCount_ != nullptr;
    for (const ScannedKey& key : section_.keys) hasTemplate = hasTemplate || key.IsNumbered();
    const ScannedKey* label = section_.Find("Label");
    CheckLongValue(label);
    const bool hasCaption = label && !label->Value().empty();
    if (!hasTemplate) {
        if (hasCaption)
            Add(section_.headerLine,
                "テンプレート (TextCount と行のキー) がありません。ドロップすると、ファイルごとに空の行 "
                "(CAD では Enter) が 1 行書かれます");
        return;
    }
    if (!hasCaption)
        AddAt(label, "Label がないため、このボタンには名前がなく、どのドロップも「" + std::string(kNoCaptionMessage) +
                         "」と断られます");

    if (count < 1 || count > kMaxTemplateLines) return;
    std::vector<TemplateLine> lines;
    for (std::int32_t k = 1; k <= count; ++k) {
        const auto it = lineKeys_.find(static_cast<std::uint64_t>(k));
        const ScannedKey* key = it == lineKeys_.end() ? nullptr : it->second;
        CheckLongValue(key);
        lines.push_back({key ? key->Value() : std::string(), key});
    }
    // Missing keys in runs, so that a large TextCount over few keys gives few findings.
    for (std::int32_t k = 1; k <= count;) {
        if (lines[k - 1].key) {
            ++k;
            continue;
        }
        std::int32_t last = k;
        while (last < count && !lines[last].key) ++last;
        if (last == k) Add(section_.headerLine, "キー " + Num(k) + " がありません。空の行 (CAD では Enter) になります");
        else
            Add(section_.headerLine, "キー " + Num(k) + "〜" + Num(last) +
                                         " がありません。空の行 (CAD では Enter) が " + Num(last - k + 1) +
                                         " 行入ります");
        k = last + 1;
    }
    CheckTemplate(std::move(lines), hasCaption);
}

// TextCount as the drop reads it; nothing when it is no number (the drop then reads 1 line).
std::optional<std::int32_t> SectionChecker::ReadCount() {
    if (!textCount_) {
        countReason_ = " (TextCount がないので 1 行)";
        return 1;
    }
    CheckLongValue(textCount_);
    const std::string value = textCount_->Value();
    // A text that converts gives the same number whatever the default.
    const std::int32_t count = UnitFunc::IntFromSetting(value, 1);
    if (count != UnitFunc::IntFromSetting(value, 2)) {
        Add(textCount_->line, "TextCount '" + value + "' は数値ではないため、1 行だけ読まれます");
        countReason_ = " (TextCount が数値でないので 1 行)";
        return std::nullopt;
    }
    if (count > kMaxTemplateLines)
        Add(textCount_->line, "TextCount " + Num(count) + " はプログラムの上限を超えているため、ボタンはドロップを「" +
                                  TemplateTooLongMessage() + "」と断ります");
    countReason_ = " (TextCount " + Num(count) + ")";
    return count;
}

void SectionChecker::CheckLineKeys(std::int32_t count) {
    bool anyNumbered = false;
    for (const ScannedKey& key : section_.keys) {
        if (!key.IsNumbered()) continue;
        anyNumbered = true;
        const std::string_view name = IniLine::Trim(key.name);
        const std::uint64_t number = key.Number();
        if (name.size() > 1 && name.front() == '0') {
            Add(key.line,
                number == 0 ? "キー '" + std::string(name) + "' は行のキーではないため読まれません (行のキーは 1 から)"
                            : "キー '" + std::string(name) + "' は " + Num(static_cast<std::int64_t>(number)) +
                                  " 行目のキーではないため読まれません。先頭の 0 を付けずに '" +
                                  Num(static_cast<std::int64_t>(number)) + "' と書いてください");
            continue;
        }
        if (number == 0) {
            Add(key.line, "キー '0' は行のキーではないため読まれません (行のキーは 1 から)");
            continue;
        }
        lineKeys_.emplace(number, &key);
        if (count >= 1 && count <= kMaxTemplateLines && number > static_cast<std::uint64_t>(count))
            Add(key.line,
                "キー " + std::string(name) + " は読まれる行の数" + countReason_ + "を超えているため読まれません");
    }
    if (count < 1 && anyNumbered && textCount_)
        Add(textCount_->line,
            "TextCount が " + Num(count) + " のため、行のキーは 1 つも読まれません (テンプレートは空です)");
}

void SectionChecker::CheckLongValue(const ScannedKey* key) {
    if (std::optional<std::string> message = LongValue(key)) Add(key->line, std::move(*message));
}

void SectionChecker::CheckTemplate(std::vector<TemplateLine> lines, bool hasCaption) {
    // The cut's own result, beside the marker indices that tell where it happened.
    LineList texts;
    for (const TemplateLine& line : lines) texts.push_back(line.text);
    const std::ptrdiff_t a = FindMarkerLine(texts, kLoopMarker);
    const std::ptrdiff_t b = FindMarkerLine(texts, kLoopEndMarker);
    const LoopCut cut = CutLoopBlock(std::move(texts));
    const bool cutMade = a >= 0 && !cut.malformed;

    bool secondBlockOpen = false;
    for (std::ptrdiff_t i = 0; i < static_cast<std::ptrdiff_t>(lines.size()); ++i) {
        const TemplateLine& line = lines[i];
        if (!line.key) continue;
        if (cutMade && i > a && i < b) {
            CheckBodyLine(line);
            continue;
        }
        if (cutMade && i == b) continue;
        if (SameAsMark(line.text, kLoopMarker)) {
            if (i == a && cut.malformed)
                AddAt(line.key, "[LAYOUTLOOP] の後に [LOOPEND] がないため、ボタンはドロップを「" +
                                    std::string(kMalformedLoopMessage) + "」と断ります");
            else if (i == a && line.text != kLoopMarker)
                AddAt(line.key, "'" + line.text +
                                    "' は大文字でないため、ループは切り出されますが展開されません。"
                                    "この行がそのまま書かれ、ループの中の行は書かれません");
            else if (i != a) {
                AddAt(line.key,
                      "2 つ目のループは切り出されません。この行は最初のループの中身で展開され、"
                      "この後の行と [LOOPEND] はそのまま書かれます");
                secondBlockOpen = true;
            }
            CheckScriptBlanks(line);
            continue;
        }
        if (SameAsMark(line.text, kLoopEndMarker)) {
            if (!secondBlockOpen && (a < 0 || i < a || cutMade))
                AddAt(line.key, "[LOOPEND] の前に対応する [LAYOUTLOOP] がないため、この行はそのまま書かれます");
            secondBlockOpen = false;
            continue;
        }
        CheckTemplateLine(line);
    }
    // A button refused on every drop has its own finding and never runs to be followed.
    if (hasCaption && !cut.malformed) CheckFollowable(cut, lines.front());
}

// The run follows CAD drawing by drawing by the texts that the replaced placeholders put into
// the script; the loop body's placeholders are never replaced and give it nothing.
void SectionChecker::CheckFollowable(const LoopCut& cut, const TemplateLine& first) {
    const bool replaces = std::any_of(cut.templateLines.begin(), cut.templateLines.end(), [](const std::string& line) {
        return RoleOfTemplateLine(line).kind == TemplateLineRole::Kind::Placeholder;
    });
    if (!replaces)
        AddAt(first.key,
              "テンプレートの行にファイルの置き換え文字 ([FULLFILEPATH] など) がないため、実行中にどの図面まで"
              "進んだかがわかりません。ステータス行と記録 (test.csv) に進み具合が出ません");
}

void SectionChecker::CheckTemplateLine(const TemplateLine& line) {
    const std::string& text = line.text;
    const TemplateLineRole role = RoleOfTemplateLine(text);
    const std::string_view bare = StripBlanks(text);
    if (SameAsMark(bare, kLoopMarker) || SameAsMark(bare, kLoopEndMarker)) {
        AddAt(line.key, "'" + text + "' は前後の空白のためループの印になりません" +
                            std::string(role.kind == TemplateLineRole::Kind::Loop
                                            ? "。ループは切り出されず、この行はループの行として扱われます"
                                            : "。この行はそのまま書かれます"));
        return;
    }
    CheckOtherCase(line);
    CheckScriptBlanks(line);
    if (role.kind == TemplateLineRole::Kind::Loop) {
        AddAt(line.key,
              "[LAYOUTLOOP] の前後に他の文字があるためループの印になりません。ループは切り出されず、"
              "この行はループの行として扱われ、行の他の文字は書かれません");
        return;
    }
    if (HoldsLayoutName(text))
        AddAt(line.key, "[LAYOUTNAME] がループ ([LAYOUTLOOP] 〜 [LOOPEND]) の外にあるため、そのまま書かれます");
    if (role.kind != TemplateLineRole::Kind::Placeholder) return;

    std::size_t total = 0;
    for (const FilePlaceholder& placeholder : kFilePlaceholders) total += CountOf(text, placeholder.text);
    const std::string replaced(role.placeholder->text);
    const std::size_t length = role.placeholder->text.size();
    if (total > 1)
        AddAt(line.key, "この行には置き換えの印が " + Num(static_cast<std::int64_t>(total)) +
                            " つあります。置き換えられるのは最初の " + replaced +
                            " 1 つだけで、ほかはそのまま書かれます");

    // The file name alone is no path; the three path forms need quotes for CAD's blanks.
    if (role.placeholder->column == 1 || InsideDoubleQuotes(text, role.at, length)) return;
    std::string message = replaced +
                          " が二重引用符で囲まれていません。CAD のスクリプトでは空白が Enter になり、"
                          "空白を含むパスは 2 つの答えに分かれます。";
    const std::string keyName(IniLine::Trim(line.key->name));
    const std::string raw(line.key->RawValue());
    std::string suggestion = FileFormOf(QuotedAround(text, role.at, length));
    if (line.key->QuotedWhole()) {
        message +=
            "値全体を囲む引用符は読み取りで外れます (" + keyName + "=" + raw + " は " + text + " と読まれます)。";
        // The writer's own quotes, kept by a pair around them, when they enclose the path.
        if (InsideDoubleQuotes(raw, role.at + 1, length)) suggestion = "\"" + raw + "\"";
    }
    message += keyName + "=" + suggestion + " のように書いてください";
    AddAt(line.key, message);
}

void SectionChecker::CheckBodyLine(const TemplateLine& line) {
    const std::string& text = line.text;
    CheckOtherCase(line);
    CheckScriptBlanks(line);
    if (SameAsMark(StripBlanks(text), kLoopMarker) || text.find(kLoopMarker) != std::string::npos) {
        AddAt(line.key, "ループの中の [LAYOUTLOOP] は印にならず、そのまま書かれます");
        return;
    }
    if (HoldsLayoutName(text)) {
        if (text != kLayoutNameMark)
            AddAt(line.key,
                  "[LAYOUTNAME] のある行は、行全体がレイアウト名 1 つに置き換わります。"
                  "この行の [LAYOUTNAME] 以外の文字は書かれません");
        return;
    }
    if (const TemplateLineRole role = RoleOfTemplateLine(text); role.placeholder)
        AddAt(line.key,
              "ループの中では " + std::string(role.placeholder->text) + " は置き換えられず、そのまま書かれます");
}

// CAD's script reader takes a blank as Enter.
void SectionChecker::CheckScriptBlanks(const TemplateLine& line) {
    const std::string& text = line.text;
    if (text.ends_with(' '))
        AddAt(line.key, "行末に空白があります。CAD のスクリプトでは空白が Enter になり、Enter が余分に入ります");
    else if (text.starts_with(' '))
        AddAt(line.key,
              "行頭に空白があります。CAD のスクリプトでは空白が Enter になり、直前のコマンドが繰り返されます");
}

void SectionChecker::CheckOtherCase(const TemplateLine& line) {
    for (const auto& [at, mark] : OtherCaseMarks(line.text)) {
        std::string message = "'";
        message.append(line.text, at, mark.size());
        message.append("' は大文字で書かれていないため ").append(mark).append(" として扱われず、そのまま書かれます");
        AddAt(line.key, std::move(message));
    }
}

void CheckProgram(const ScannedSection& section, std::vector<Finding>& findings) {
    const ScannedKey* file = section.Find("File");
    if (std::optional<std::string> message = LongValue(file))
        findings.push_back({file->line, section.name, std::move(*message)});
}

}  // namespace

std::vector<Finding> CheckSettings(std::string_view bytes) {
    std::vector<Finding> findings;
    const SettingsScan scan = ScanSettings(bytes);
    for (const ScanNote& note : scan.notes) findings.push_back({note.line, note.section, note.message});
    for (const ScannedSection& section : scan.sections) {
        if (section.name == "Program") CheckProgram(section, findings);
        else SectionChecker(section, findings).Run();
    }
    std::stable_sort(findings.begin(), findings.end(),
                     [](const Finding& x, const Finding& y) { return x.line < y.line; });
    return findings;
}
