#include <gtest/gtest.h>

#include <string>

#include "text/UnitFunc.h"

using UnitFunc::SplitPath;

namespace {

void ExpectParts(const std::string& path, const std::string& fileName, const std::string& withoutExt,
                 const std::string& folder)
{
    const UnitFunc::PathParts parts = SplitPath(path);
    EXPECT_EQ(parts.fileName, fileName) << path;
    EXPECT_EQ(parts.withoutExt, withoutExt) << path;
    EXPECT_EQ(parts.folder, folder) << path;
}

} // namespace

TEST(SplitPath, DroppedFileColumns)
{
    ExpectParts("C:\\Data\\plan.dwg", "plan.dwg", "C:\\Data\\plan", "C:\\Data");
    ExpectParts("C:\\plan.dwg", "plan.dwg", "C:\\plan", "C:\\");
    ExpectParts("C:\\Ver1.2\\plan", "plan", "C:\\Ver1.2\\plan", "C:\\Ver1.2");
    ExpectParts("\\\\srv\\share\\a.b.dwg", "a.b.dwg", "\\\\srv\\share\\a.b", "\\\\srv\\share");
}

TEST(SplitPath, RootsKeepTheirBackslash)
{
    ExpectParts("\\plan.dwg", "plan.dwg", "\\plan", "\\");
    ExpectParts("\\\\srv", "srv", "\\\\srv", "\\\\");
    ExpectParts("C:plan.dwg", "plan.dwg", "C:plan", "C:");
    ExpectParts("C:\\Data\\", "", "C:\\Data\\", "C:\\Data");
}

TEST(SplitPath, PathWithoutSeparator)
{
    ExpectParts("plan.dwg", "plan.dwg", "plan", "");
    ExpectParts("plan", "plan", "plan", "");
    ExpectParts(".dwg", ".dwg", "", "");
    ExpectParts("", "", "", "");
}

TEST(SplitPath, TrailByteBackslashIsNoSeparator)
{
    ExpectParts("C:\\表\\plan.dwg", "plan.dwg", "C:\\表\\plan", "C:\\表");
    ExpectParts("C:\\Data\\表", "表", "C:\\Data\\表", "C:\\Data");
    ExpectParts("C:\\ソ表.dwg", "ソ表.dwg", "C:\\ソ表", "C:\\");
    // The backslash after 表 follows a trail byte, not a separator, so it is left off.
    ExpectParts("C:\\表\\", "", "C:\\表\\", "C:\\表");
}

TEST(SplitPath, ExtensionOnlyAfterTheLastSeparator)
{
    ExpectParts("C:\\a.b\\c", "c", "C:\\a.b\\c", "C:\\a.b");
    ExpectParts("C:\\a.b:c", "c", "C:\\a.b:c", "C:\\a.b:");
    ExpectParts("C:\\a\\b.", "b.", "C:\\a\\b", "C:\\a");
}
