#include <gtest/gtest.h>

#include <string>

#include "text/UnitFunc.h"

using UnitFunc::SplitPath;

namespace {

struct PathCase {
    const char* rule;
    std::string path, fileName, withoutExt, folder;
};

// Every case names the rule it shows; the columns are those of the dropped-file table.
const PathCase kCases[] = {
    {"dropped-file columns", "C:\\Data\\plan.dwg", "plan.dwg", "C:\\Data\\plan", "C:\\Data"},
    {"dropped-file columns", "C:\\plan.dwg", "plan.dwg", "C:\\plan", "C:\\"},
    {"dropped-file columns", "C:\\Ver1.2\\plan", "plan", "C:\\Ver1.2\\plan", "C:\\Ver1.2"},
    {"dropped-file columns", "\\\\srv\\share\\a.b.dwg", "a.b.dwg", "\\\\srv\\share\\a.b", "\\\\srv\\share"},
    {"roots keep their backslash", "\\plan.dwg", "plan.dwg", "\\plan", "\\"},
    {"roots keep their backslash", "\\\\srv", "srv", "\\\\srv", "\\\\"},
    {"roots keep their backslash", "C:plan.dwg", "plan.dwg", "C:plan", "C:"},
    {"roots keep their backslash", "C:\\Data\\", "", "C:\\Data\\", "C:\\Data"},
    {"path without separator", "plan.dwg", "plan.dwg", "plan", ""},
    {"path without separator", "plan", "plan", "plan", ""},
    {"path without separator", ".dwg", ".dwg", "", ""},
    {"path without separator", "", "", "", ""},
    {"trail-byte backslash is no separator", "C:\\表\\plan.dwg", "plan.dwg", "C:\\表\\plan", "C:\\表"},
    {"trail-byte backslash is no separator", "C:\\Data\\表", "表", "C:\\Data\\表", "C:\\Data"},
    {"trail-byte backslash is no separator", "C:\\ソ表.dwg", "ソ表.dwg", "C:\\ソ表", "C:\\"},
    // The backslash after 表 follows a trail byte, not a separator, so it is left off.
    {"trail-byte backslash is no separator", "C:\\表\\", "", "C:\\表\\", "C:\\表"},
    {"extension only after the last separator", "C:\\a.b\\c", "c", "C:\\a.b\\c", "C:\\a.b"},
    {"extension only after the last separator", "C:\\a.b:c", "c", "C:\\a.b:c", "C:\\a.b:"},
    {"extension only after the last separator", "C:\\a\\b.", "b.", "C:\\a\\b", "C:\\a"},
};

}  // namespace

TEST(SplitPath, FileNameWithoutExtensionAndFolder) {
    for (const PathCase& c : kCases) {
        SCOPED_TRACE(std::string(c.rule) + ": " + c.path);
        const UnitFunc::PathParts parts = SplitPath(c.path);
        EXPECT_EQ(parts.fileName, c.fileName);
        EXPECT_EQ(parts.withoutExt, c.withoutExt);
        EXPECT_EQ(parts.folder, c.folder);
    }
}
