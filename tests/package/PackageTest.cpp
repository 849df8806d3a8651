// The release zip as a Windows user gets it (made by tools/package.sh, the fixture before this
// test): what it holds, the guide's pictures, and Marlowen.exe started from the folder it was
// unpacked into, with the shipped data.ini, looked at from outside.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/E2eTest.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

constexpr int kWaitMs = 20000;

// The Label values of the sample, in section order.
const std::vector<std::string> kLabels = {
    "印刷+既定の出力先",        "PDF 出力+全レイアウト", "写しを保存+同じ場所へ",  "監査と+名前削除",
    "ﾚｲｱｳﾄ毎印刷+先に名前取得", "全体表示で+上書き保存", "2004 形式で+写しを保存", "DXF 書き出し",
    "C:\\出力へ+写しを保存"};

struct ZipEntry {
    std::string name;
    bool utf8Name = false;  // general purpose flag bit 11: the name is UTF-8
    std::uint32_t size = 0;
};

std::uint32_t Le(const std::string& bytes, std::size_t at, int width) {
    if (at + static_cast<std::size_t>(width) > bytes.size())
        throw HarnessError("zip cut short at byte " + std::to_string(at));
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

// The entries of the zip's central directory.
std::vector<ZipEntry> ZipEntries(const std::string& zip) {
    const std::size_t end = zip.rfind(std::string("PK\x05\x06", 4));
    if (end == std::string::npos) throw HarnessError("no end of central directory in the zip");
    const std::uint32_t count = Le(zip, end + 10, 2);
    std::size_t at = Le(zip, end + 16, 4);
    std::vector<ZipEntry> entries;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (zip.compare(at, 4, std::string("PK\x01\x02", 4)) != 0) throw HarnessError("broken central directory");
        ZipEntry entry;
        entry.utf8Name = (Le(zip, at + 8, 2) & 0x800) != 0;
        entry.size = Le(zip, at + 24, 4);
        const std::uint32_t nameLength = Le(zip, at + 28, 2);
        entry.name = zip.substr(at + 46, nameLength);
        entries.push_back(entry);
        at += 46 + nameLength + Le(zip, at + 30, 2) + Le(zip, at + 32, 2);
    }
    return entries;
}

// Unpacks the zip into a folder made anew; gives the unpacked Marlowen folder.
std::string Unpack(const std::string& folder) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    const RunResult result =
        Run({"cmake", "-E", "tar", "xf", PACKAGE_ZIP}, {"LC_ALL=C.UTF-8", "PATH=/usr/bin:/bin"}, 60000, folder);
    if (result.exitCode != 0) throw HarnessError("cannot unpack " PACKAGE_ZIP ": " + result.err);
    return folder + "/Marlowen";
}

// The pictures the guide shows: the src of every img element.
std::vector<std::string> PictureSources(const std::string& html) {
    std::vector<std::string> sources;
    for (std::size_t at = html.find("<img"); at != std::string::npos; at = html.find("<img", at + 1)) {
        const std::size_t src = html.find("src=\"", at);
        if (src == std::string::npos || src > html.find('>', at)) throw HarnessError("an img without src in the guide");
        sources.push_back(html.substr(src + 5, html.find('"', src + 5) - src - 5));
    }
    return sources;
}

// The caption rule: the first "+" becomes a line break.
std::string Caption(std::string label) {
    const std::size_t plus = label.find('+');
    if (plus != std::string::npos) label.replace(plus, 1, "\r\n");
    return label;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + 1)
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

using ShippedPackage = E2eTest;

TEST_F(ShippedPackage, HoldsOneFolderWithTheProgramTheSampleTheGuideAndItsPictures) {
    const std::string zip = ReadBytes(PACKAGE_ZIP);
    std::vector<std::string> names;
    for (const ZipEntry& entry : ZipEntries(zip)) {
        names.push_back(entry.name);
        if (entry.name == "Marlowen/使い方.html") {
            EXPECT_TRUE(entry.utf8Name) << "Explorer shows the name right only so";
        }
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{
                         "Marlowen/", "Marlowen/Marlowen.exe", "Marlowen/data.ini", "Marlowen/images/",
                         "Marlowen/images/after-message.png", "Marlowen/images/busy.png",
                         "Marlowen/images/cad-ended.png", "Marlowen/images/cannot-process.png",
                         "Marlowen/images/cannot-start.png", "Marlowen/images/ended-early.png",
                         "Marlowen/images/folder.png", "Marlowen/images/info.png", "Marlowen/images/record.png",
                         "Marlowen/images/start.png", "Marlowen/images/status.png", "Marlowen/images/survey-again.png",
                         "Marlowen/images/survey.png", "Marlowen/marlowen-script.exe", "Marlowen/使い方.html"}));

    const std::string folder = Unpack(S().DriveC() + "/展開");
    EXPECT_EQ(ReadBytes(folder + "/data.ini"), ReadBytes(RELEASE_DIR "/data.ini")) << "the sample ships byte for byte";
    const std::string guide = ReadBytes(folder + "/使い方.html");
    EXPECT_NE(guide.find("<meta charset=\"utf-8\">"), std::string::npos);
    const std::vector<std::string> pictures = PictureSources(guide);
    EXPECT_EQ(pictures.size(), 13u);
    for (const std::string& src : pictures) {
        ASSERT_TRUE(fs::exists(folder + "/" + src)) << src << " is shown by the guide but not in the zip";
        EXPECT_EQ(ReadBytes(folder + "/" + src).substr(0, 8), "\x89PNG\r\n\x1A\n") << src;
    }
}

TEST_F(ShippedPackage, StartsFromItsFolderWithTheSampleAndWritesTheButtonsScript) {
    const std::string folder = Unpack(S().DriveC() + "/配布");
    const std::string exe = "C:\\配布\\Marlowen\\Marlowen.exe";
    // Double-clicked in Explorer, a program runs in its own folder: test.scr goes there.
    S().Start(exe, folder);

    EXPECT_EQ(S().GetControl("Edit1").text, "");
    for (std::size_t n = 1; n <= kLabels.size(); ++n)
        EXPECT_EQ(S().GetControl("Button" + std::to_string(n)).text, Caption(kLabels[n - 1])) << "Button" << n;
    EXPECT_EQ(Split(S().Inspect({"version", exe}), '\t'),
              (std::vector<std::string>{"0.2.0.0", "0.2.0.0", "0.2.0.0", "1.0.0.0", "041103A4\n"}));

    const std::string plan = S().MakeFile("図面/平面図.dwg"), elevation = S().MakeFile("図面/立面 図.dwg");
    S().Drop("Button3", {plan, elevation});
    // What the template of Section3 makes of the two drawings; with the path box empty no CAD
    // starts.
    const std::string expected = Utf8ToSjis(
        "open \"C:\\d\\図面\\平面図.dwg\"\r\nsaveas\r\n\r\n\"C:\\d\\図面\\平面図_copy.dwg\"\r\nclose\r\n"
        "open \"C:\\d\\図面\\立面 図.dwg\"\r\nsaveas\r\n\r\n\"C:\\d\\図面\\立面 図_copy.dwg\"\r\nclose\r\n"
        "new \r\nfiledia\r\n1\r\ncmddia\r\n1\r\nquit\r\n");
    const std::string script = folder + "/test.scr";
    std::string written;
    try {
        WaitUntil([&] { return fs::exists(script) && (written = ReadBytes(script)) == expected; }, kWaitMs,
                  "test.scr beside the unpacked Marlowen.exe");
    } catch (const HarnessError&) {
    }
    EXPECT_EQ(SjisToUtf8(written), SjisToUtf8(expected));
    EXPECT_TRUE(S().MessageBoxes().empty());

    // The shipped checker finds nothing in the shipped sample and previews the very same bytes.
    const std::string checker = "C:\\配布\\Marlowen\\marlowen-script.exe";
    const RunResult checked = S().RunProgram({checker, "check"}, kWaitMs);
    EXPECT_EQ(checked.exitCode, 0) << SjisToUtf8(checked.out + checked.err);
    EXPECT_EQ(checked.out + checked.err, "");
    const RunResult built =
        S().RunProgram({checker, "build", "3", "C:\\d\\図面\\平面図.dwg", "C:\\d\\図面\\立面 図.dwg"}, kWaitMs);
    EXPECT_EQ(built.exitCode, 0) << SjisToUtf8(built.err);
    EXPECT_EQ(built.out, written);
}

}  // namespace
}  // namespace e2e
