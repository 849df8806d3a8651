#include "PathRefusal.h"

#include <algorithm>
#include <utility>

#include "text/UnitFunc.h"

PathFault ClassifyDroppedPath(std::size_t ansiBytes, bool lostCharacter) {
    if (lostCharacter) return PathFault::LostCharacter;
    if (ansiBytes > kMaxDroppedPathBytes) return PathFault::TooLong;
    return PathFault::None;
}

PathFault ClassifyAnsiPath(const std::string& path) {
    // 0x3F is never the second byte of a Shift-JIS character, so a plain search is safe.
    return ClassifyDroppedPath(path.size(), path.find('?') != std::string::npos);
}

PathRefusalText DescribeRefusedPaths(const std::vector<PathFault>& faults) {
    const auto has = [&](PathFault fault) { return std::find(faults.begin(), faults.end(), fault) != faults.end(); };
    std::string intro =
        "次のファイルはパスをスクリプトに正しく書き込めないため、このドロップでは何もしませんでした。\r\n";
    if (has(PathFault::LostCharacter))
        intro += "・ANSI コードページ (Shift-JIS) にない文字を含むパスは、その文字が「?」に変わります。\r\n";
    if (has(PathFault::TooLong)) intro += "・260 バイト (全角でおよそ 130 文字) を超えるパスは途中で切れます。\r\n";
    intro += "ファイルかフォルダーの名前を変えるか、短いパスの場所へ移してから、もう一度ドロップしてください。\r\n";
    return ListedRefusal(std::move(intro), faults.size());
}

PathRefusalText ListedRefusal(std::string intro, std::size_t names) {
    PathRefusalText text;
    text.intro = std::move(intro);
    text.listed = std::min(names, kListedRefusedPaths);
    if (names > kListedRefusedPaths)
        text.more = UnitFunc::Format("ほか %s 件", std::to_string(names - kListedRefusedPaths));
    return text;
}
