#include "CadCommands.h"

bool IsCommandPrompt(std::string_view lastHistoryLine) {
    return lastHistoryLine == "コマンド: COMMANDLINE" || lastHistoryLine == "ｺﾏﾝﾄﾞ: COMMANDLINE";
}
