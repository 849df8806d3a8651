#include <gtest/gtest.h>

#include "app/CadCommands.h"

namespace {

TEST(CommandPrompt, EitherJapaneseFormOfTheReadyLineWholeAndExact) {
    EXPECT_TRUE(IsCommandPrompt("コマンド: COMMANDLINE"));
    EXPECT_TRUE(IsCommandPrompt("ｺﾏﾝﾄﾞ: COMMANDLINE"));
    // The same two lines as Shift-JIS bytes: the full-width and the half-width katakana form.
    EXPECT_TRUE(IsCommandPrompt("\x83\x52\x83\x7D\x83\x93\x83\x68: COMMANDLINE"));
    EXPECT_TRUE(IsCommandPrompt("\xBA\xCF\xDD\xC4\xDE: COMMANDLINE"));
}

TEST(CommandPrompt, NearMissesAreNoPrompt) {
    const char* const nearMisses[] = {
        "",
        "コマンド:",
        "コマンド: ",
        "コマンド: COMMANDLINE ",
        " コマンド: COMMANDLINE",
        "コマンド: commandline",
        "コマンド:COMMANDLINE",
        "Command: COMMANDLINE",
        "コマンド: COMMANDLINE\r",
        "ｺﾏﾝﾄﾞ: COMMANDLIN",
    };
    for (const char* line : nearMisses) {
        SCOPED_TRACE(line);
        EXPECT_FALSE(IsCommandPrompt(line));
    }
}

TEST(TypedCommands, SequencesByteForByte) {
    EXPECT_EQ(kRunScriptCommands, (LineList{"filedia\r", "0\r", "cmddia\r", "0\r", "script\r", "test.scr\r"}));
    EXPECT_EQ(kRestoreAndQuitCommands, (LineList{"filedia\r", "1\r", "cmddia\r", "1\r", "quit\r"}));
    EXPECT_STREQ(kCloseDrawingCommand, "close\r");
}

}  // namespace
