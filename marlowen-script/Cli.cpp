#include "Cli.h"

#include <cstdio>
#include <optional>
#include <string_view>
#include <utility>

#include "Build.h"
#include "Checker.h"
#include "LayoutListing.h"
#include "Platform.h"

namespace {

constexpr int kClean = 0;
constexpr int kFound = 1;
constexpr int kFailed = 2;

void Print(std::FILE* stream, const ConsoleText& text) {
    // Messages of the window end their lines in CR LF; the console takes LF.
    ConsoleText line;
    for (const ConsoleText::Piece& piece : text.Pieces()) {
        if (piece.path) {
            line += ConsoleText::Path(piece.bytes);
            continue;
        }
        std::string bytes = piece.bytes;
        for (std::size_t at; (at = bytes.find("\r\n")) != std::string::npos;) bytes.erase(at, 1);
        line += bytes;
    }
    line += "\n";
    WriteText(stream, line);
}

int Usage() {
    Print(stderr,
          ConsoleText("使い方: marlowen-script check [--ini PATH]\n"
                      "        marlowen-script build [--ini PATH] [--layouts PATH] [--out PATH] SECTION FILE..."));
    return kFailed;
}

int CannotRead(const std::string& path) {
    ConsoleText text = ConsoleText::Path(path);
    text += " を読めません";
    Print(stderr, text);
    return kFailed;
}

std::optional<std::string> ReadFile(const std::string& path) {
    if (!IsFile(path)) return std::nullopt;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[65536];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return std::nullopt;
    return bytes;
}

int Check(const std::string& path) {
    const std::optional<std::string> bytes = ReadFile(path);
    if (!bytes) return CannotRead(path);
    const std::vector<Finding> findings = CheckSettings(*bytes);
    for (const Finding& finding : findings) {
        ConsoleText line = ConsoleText::Path(path);
        line += ":";
        line += std::to_string(finding.line);
        line += ": ";
        if (!finding.section.empty()) line += finding.section + ": ";
        line += finding.message;
        Print(stdout, line);
    }
    return findings.empty() ? kClean : kFound;
}

// Options come first; "--" ends them.
struct Options {
    std::optional<std::string> ini, layouts, out;
    std::vector<std::string> rest;
};

std::optional<Options> ParseOptions(const std::vector<std::string>& args, bool buildOptions) {
    Options options;
    std::size_t i = 1;
    for (; i < args.size() && args[i].starts_with("--"); ++i) {
        const std::string& name = args[i];
        if (name == "--") {
            ++i;
            break;
        }
        std::optional<std::string>* target = name == "--ini"                       ? &options.ini
                                             : buildOptions && name == "--layouts" ? &options.layouts
                                             : buildOptions && name == "--out"     ? &options.out
                                                                                   : nullptr;
        if (!target || *target || i + 1 >= args.size()) return std::nullopt;
        *target = args[++i];
    }
    options.rest.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
    return options;
}

int Build(const Options& options) {
    if (options.rest.size() < 2) return Usage();
    const std::string& section = options.rest[0];
    if (section.size() != 1 || section[0] < '1' || section[0] > '9') return Usage();
    BuildRequest request;
    request.section = section;
    FolderArguments files = ExpandFolderArguments({options.rest.begin() + 1, options.rest.end()});
    if (files.refusal) {
        Print(stderr, *files.refusal);
        return kFound;
    }
    request.files = std::move(files.files);
    if (options.layouts) {
        const std::optional<std::string> listing = ReadFile(*options.layouts);
        if (!listing) return CannotRead(*options.layouts);
        request.layouts = ParseLayoutListingFile(*listing);
    }
    const IniFile ini(options.ini.value_or(OwnSettingsPath()));
    const BuildResult result = BuildScript(ini, request);
    if (result.refused) {
        Print(stderr, result.refusal);
        return kFound;
    }
    for (const ConsoleText& note : result.notes) Print(stderr, note);

    std::FILE* out = stdout;
    if (options.out) {
        out = std::fopen(options.out->c_str(), "wb");
        if (!out) {
            ConsoleText text = ConsoleText::Path(*options.out);
            text += " に書き込めません";
            Print(stderr, text);
            return kFailed;
        }
    } else {
        UseBinaryOutput(stdout);
    }
    const bool written = std::fwrite(result.script.data(), 1, result.script.size(), out) == result.script.size();
    const bool closed = out == stdout ? std::fflush(out) == 0 : std::fclose(out) == 0;
    if (!written || !closed) {
        ConsoleText text = options.out ? ConsoleText::Path(*options.out) : ConsoleText("標準出力");
        text += " に書き込めません";
        Print(stderr, text);
        return kFailed;
    }
    return kClean;
}

// A file dropped on the program's icon, or a double click: the console closes with the
// program, so what it printed stays until Enter is pressed.
int CheckFromExplorer(const std::string& path) {
    const int status = Check(path);
    if (ConsoleIsOwn()) {
        std::fflush(stdout);
        Print(stderr, ConsoleText("Enter キーを押すと閉じます。"));
        for (int c = std::getchar(); c != '\n' && c != EOF; c = std::getchar()) {
        }
    }
    return status;
}

}  // namespace

int RunMarlowenScript(const std::vector<std::string>& args) {
    if (args.empty()) return CheckFromExplorer(OwnSettingsPath());
    const std::string& verb = args[0];
    if (verb == "check" || verb == "build") {
        const std::optional<Options> options = ParseOptions(args, verb == "build");
        if (!options) return Usage();
        if (verb == "build") return Build(*options);
        if (!options->rest.empty()) return Usage();
        return Check(options->ini.value_or(OwnSettingsPath()));
    }
    if (args.size() == 1 && IsFile(verb)) return CheckFromExplorer(verb);
    return Usage();
}
