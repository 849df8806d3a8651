// The native marlowen-script program as a user runs it: verbs, exit statuses, what goes to
// standard output and error (UTF-8 on this system), and the file given alone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "testsupport/TempFolder.h"

namespace {

// The expected console text is UTF-8; the build's other literals are Shift-JIS.
std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

struct Outcome {
    int status = -1;
    std::string out, err;
};

std::string Quoted(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

class CliTest : public ::testing::Test {
protected:
    Outcome Start(const std::vector<std::string>& args, const std::string& program = MARLOWEN_SCRIPT_EXE) {
        std::string command = Quoted(program);
        for (const std::string& arg : args) command += " " + Quoted(arg);
        command += " >" + Quoted(folder_.File("out")) + " 2>" + Quoted(folder_.File("err")) + " </dev/null";
        Outcome run;
        const int status = std::system(command.c_str());
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = ReadFileBytes(folder_.File("out"));
        run.err = ReadFileBytes(folder_.File("err"));
        return run;
    }
    std::string Ini(const std::string& name, const std::string& bytes) {
        const std::string path = folder_.File(name);
        WriteFileBytes(path, bytes);
        return path;
    }

    TempFolder folder_;
};

const std::string kFaulty = "[Section1]\r\nLabel=印刷\r\nTextCount=2\r\n1=open\r\n2=\"[FULLFILEPATH]\"\r\n";
const std::string kPathFinding = Utf8(
    u8":5: Section1: [FULLFILEPATH] が二重引用符で囲まれていません。CAD のスクリプトでは空白が Enter になり、"
    u8"空白を含むパスは 2 つの答えに分かれます。値全体を囲む引用符は読み取りで外れます "
    u8"(2=\"[FULLFILEPATH]\" は [FULLFILEPATH] と読まれます)。2=\"\"[FULLFILEPATH]\"\" のように書いてください\n");

TEST_F(CliTest, CheckPrintsFindingsLikeACompilerAndExitsOne) {
    const std::string path = Ini("data.ini", kFaulty);
    const Outcome run = Start({"check", "--ini", path});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, path + kPathFinding);
    EXPECT_EQ(run.err, "");

    // A path is printed as it was given, here a UTF-8 file name.
    const std::string named = Ini(Utf8(u8"設定.ini"), kFaulty);
    EXPECT_EQ(Start({"check", "--ini", named}).out, named + kPathFinding);
}

TEST_F(CliTest, CheckOfACleanFileIsSilentAndAnUnreadableOneExitsTwo) {
    const Outcome clean = Start({"check", "--ini", Ini("data.ini", "[Section1]\r\nLabel=A\r\nTextCount=0\r\n")});
    EXPECT_EQ(clean.status, 0);
    EXPECT_EQ(clean.out + clean.err, "");

    const Outcome missing = Start({"check", "--ini", folder_.File("none.ini")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, folder_.File("none.ini") + Utf8(u8" を読めません\n"));
    EXPECT_EQ(Start({"check", "--ini", folder_.File("")}).status, 2) << "a folder";
}

TEST_F(CliTest, WrongCallsExitTwoWithTheUsage) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"chek"},
                                                 {"check", "--ini"},
                                                 {"check", "extra"},
                                                 {"check", "--layouts", "x"},
                                                 {"build", "1"},
                                                 {"build", "0", "C:\\a.dwg"},
                                                 {"build", "10", "C:\\a.dwg"},
                                                 {"build", "--out"}}) {
        const Outcome run = Start(args);
        EXPECT_EQ(run.status, 2) << args[0];
        EXPECT_EQ(run.err.rfind(Utf8(u8"使い方: marlowen-script check [--ini PATH]\n"), 0), 0u) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

TEST_F(CliTest, AFileGivenAloneOrNoArgumentAtAllIsChecked) {
    const std::string path = Ini("dropped.ini", kFaulty);
    const Outcome dropped = Start({path});
    EXPECT_EQ(dropped.status, 1);
    EXPECT_EQ(dropped.out, path + kPathFinding);

    // No argument: the data.ini beside the program.
    const std::string program = folder_.File("marlowen-script");
    std::filesystem::copy_file(MARLOWEN_SCRIPT_EXE, program);
    const std::string beside = Ini("data.ini", kFaulty);
    const Outcome alone = Start({}, program);
    EXPECT_EQ(alone.status, 1);
    EXPECT_EQ(alone.out, beside + kPathFinding);
}

TEST_F(CliTest, BuildWritesTheScriptBytesOrTheRefusalAndNotes) {
    const std::string ini = Ini("data.ini",
                                "[Section2]\r\nLabel=開く\r\nTextCount=3\r\n1=open\r\n2=[FULLFILEPATH]\r\n"
                                "3=[LAYOUTLOOP]\r\n[Section3]\r\nLabel=x\r\n1=x [LAYOUTLOOP]\r\n");
    const std::string script = "open\r\nC:\\表 1.dwg\r\nnew \r\nfiledia\r\n1\r\ncmddia\r\n1\r\nquit\r\n";
    Outcome run = Start({"build", "--ini", ini, "2", "C:\\表 1.dwg"});
    EXPECT_EQ(run.status, 1) << "the unmatched [LAYOUTLOOP] is refused";
    EXPECT_EQ(run.err, Utf8(u8"テンプレートの [LAYOUTLOOP] に対応する [LOOPEND] がありません。\n"));
    EXPECT_EQ(run.out, "");

    WriteFileBytes(ini, "[Section2]\r\nLabel=開く\r\nTextCount=2\r\n1=open\r\n2=[FULLFILEPATH]\r\n");
    run = Start({"build", "--ini", ini, "2", "C:\\表 1.dwg"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, script);
    // The Shift-JIS path of the script is shown readable, like the text.
    EXPECT_EQ(run.err, Utf8(u8"C:\\表 1.dwg: 空白を含むパスが二重引用符の外に入る行があります ('[FULLFILEPATH]')。"
                            u8"CAD のスクリプトでは空白が Enter になり、2 つの答えに分かれます\n"));

    const std::string out = folder_.File("test.scr");
    run = Start({"build", "--ini", ini, "--out", out, "2", "C:\\表 1.dwg"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(ReadFileBytes(out), script);

    // A refusal writes nothing, not even an empty file.
    const std::string refusedOut = folder_.File("refused.scr");
    run = Start({"build", "--ini", ini, "--out", refusedOut, "5", "C:\\a.dwg"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, Utf8(u8"INIファイルが見つかりません。\n"));
    EXPECT_FALSE(std::filesystem::exists(refusedOut));

    run = Start({"build", "--ini", ini, "--layouts", folder_.File("none.txt"), "2", "C:\\a.dwg"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, folder_.File("none.txt") + Utf8(u8" を読めません\n"));
}

TEST_F(CliTest, BuildExpandsAFolderArgumentInNaturalOrderLeavingOutDotFilesAndLinks) {
    const std::string ini = Ini("data.ini", "[Section1]\r\nLabel=開く\r\nTextCount=1\r\n1=[FULLFILEPATH]\r\n");
    const std::string root = folder_.File("p");
    for (const char* dir : {"/10F", "/2F", "/.hidden", "/empty"}) std::filesystem::create_directories(root + dir);
    for (const char* file :
         {"/10F/x10.dwg", "/10F/x9.DWG", "/2F/a.dwg", "/2F/.a.dwg", "/.hidden/h.dwg", "/plan.dwg", "/plan.bak"})
        WriteFileBytes(root + file, "");
    // Followed, the link back to the folder would never end.
    std::filesystem::create_directory_symlink(root, root + "/loop");
    const std::string beside = folder_.File("beside.txt");
    Outcome run = Start({"build", "--ini", ini, "1", root, beside});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, root + "/2F/a.dwg\r\n" + root + "/10F/x9.DWG\r\n" + root + "/10F/x10.dwg\r\n" + root +
                           "/plan.dwg\r\n" + beside + "\r\nnew \r\nfiledia\r\n1\r\ncmddia\r\n1\r\nquit\r\n");

    run = Start({"build", "--ini", ini, "1", root + "/empty"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(
        run.err,
        Utf8(
            u8"次のフォルダーには図面 (名前が .dwg で終わるファイル) がないため、このドロップでは何もしませんでした。\n"
            u8"・サブフォルダーの中も探します。\n"
            u8"・隠しファイルとシステム ファイル、リンクとジャンクションの先は探しません。\n\n") +
            root + "/empty\n");
}

}  // namespace
