#include "app/DroppedFolders.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/app/NameOrderCases.h"

namespace {

using Paths = std::vector<std::wstring>;
using Entry = FolderEntry<wchar_t>;
using Outcome = FolderDropOutcome;

Entry File(const wchar_t* name) { return {name, false, false, false}; }
Entry Folder(const wchar_t* name) { return {name, true, false, false}; }
Entry Hidden(Entry entry) {
    entry.hidden = true;
    return entry;
}
Entry Link(Entry entry) {
    entry.link = true;
    return entry;
}

// Folders by their full path, in the listing's own (unsorted) order; a generated folder holds
// that many drawings, made as they are listed.
class FakeListing : public FolderListing<wchar_t> {
public:
    std::map<std::wstring, std::vector<Entry>> folders;
    std::map<std::wstring, std::size_t> generated;
    std::set<std::wstring> unreadable;
    std::vector<std::wstring> listed;

    bool IsFolder(const std::wstring& path) override {
        return folders.count(path) || generated.count(path) || unreadable.count(path);
    }
    bool List(const std::wstring& folder, const Take& take) override {
        listed.push_back(folder);
        if (unreadable.count(folder)) return false;
        if (const auto count = generated.find(folder); count != generated.end()) {
            for (std::size_t i = 0; i < count->second; ++i)
                if (!take(File((L"n" + std::to_wstring(i) + L".dwg").c_str()))) break;
            return true;
        }
        for (const Entry& entry : folders.at(folder))
            if (!take(entry)) break;
        return true;
    }
    int CompareNames(const std::wstring& a, const std::wstring& b) const override {
        return CompareNamesNaturally<wchar_t>(a, b);
    }
    wchar_t Separator() const override { return L'\\'; }
};

TEST(FolderDrop, SubfoldersInNameOrderComeFirstThenTheFolderOwnDrawingsAllInDropOrder) {
    FakeListing listing;
    listing.folders[L"C:\\p"] = {File(L"x10.dwg"),  Folder(L"詳細図"), File(L"notes.txt"), File(L"B.DWG"),
                                 Folder(L"10F"),    File(L"plan.bak"), Folder(L"2F"),      File(L"x9.dwg"),
                                 File(L"plan.dxf"), Folder(L"1F"),     File(L"a.dwg")};
    listing.folders[L"C:\\p\\1F"] = {File(L"1F.dwg")};
    listing.folders[L"C:\\p\\2F"] = {File(L"2F.Dwg"), Folder(L"b")};
    listing.folders[L"C:\\p\\2F\\b"] = {File(L"b.dwg")};
    listing.folders[L"C:\\p\\10F"] = {File(L"10F.dwg")};
    listing.folders[L"C:\\p\\詳細図"] = {File(L"d.dwg")};
    listing.folders[L"C:\\"] = {File(L"root.dwg")};

    const DropExpansion<wchar_t> drop =
        ExpandDroppedFolders<wchar_t>({L"C:\\before.txt", L"C:\\p", L"C:\\after.DWG", L"C:\\"}, listing);
    EXPECT_EQ(drop.outcome, Outcome::Drawings);
    EXPECT_EQ(drop.paths, (Paths{L"C:\\before.txt", L"C:\\p\\1F\\1F.dwg", L"C:\\p\\2F\\b\\b.dwg", L"C:\\p\\2F\\2F.Dwg",
                                 L"C:\\p\\10F\\10F.dwg", L"C:\\p\\詳細図\\d.dwg", L"C:\\p\\a.dwg", L"C:\\p\\B.DWG",
                                 L"C:\\p\\x9.dwg", L"C:\\p\\x10.dwg", L"C:\\after.DWG", L"C:\\root.dwg"}));
    EXPECT_EQ(drop.found, 12u);
}

TEST(FolderDrop, LeavesOutHiddenSystemAndLinkedEntriesAndNeverListsWhatALinkLeadsTo) {
    FakeListing listing;
    listing.folders[L"C:\\p"] = {Hidden(File(L"hidden.dwg")), Hidden(Folder(L"sys")), Link(Folder(L"loop")),
                                 Link(File(L"link.dwg")),     Folder(L"x.dwg"),       File(L"dwg"),
                                 File(L"a.dwg.bak"),          File(L"kept.dwg")};
    listing.folders[L"C:\\p\\sys"] = {File(L"s.dwg")};
    listing.folders[L"C:\\p\\loop"] = {File(L"l.dwg")};
    listing.folders[L"C:\\p\\x.dwg"] = {File(L"inner.dwg")};

    const DropExpansion<wchar_t> drop = ExpandDroppedFolders<wchar_t>({L"C:\\p"}, listing);
    EXPECT_EQ(drop.paths, (Paths{L"C:\\p\\x.dwg\\inner.dwg", L"C:\\p\\kept.dwg"}));
    EXPECT_EQ(listing.listed, (Paths{L"C:\\p", L"C:\\p\\x.dwg"}));
}

TEST(FolderDrop, ADropOfFoldersWithoutDrawingsIsRefusedNamingThem) {
    FakeListing listing;
    listing.folders[L"C:\\a"] = {File(L"a.bak"), Folder(L"sub")};
    listing.folders[L"C:\\a\\sub"] = {File(L"a.txt")};
    listing.folders[L"C:\\b"] = {Hidden(File(L"h.dwg"))};
    const DropExpansion<wchar_t> empty = ExpandDroppedFolders<wchar_t>({L"C:\\a", L"C:\\b"}, listing);
    EXPECT_EQ(empty.outcome, Outcome::NoDrawing);
    EXPECT_EQ(empty.folders, (Paths{L"C:\\a", L"C:\\b"}));
    EXPECT_TRUE(empty.paths.empty());

    // A dropped file counts, whatever its extension.
    const DropExpansion<wchar_t> withFile = ExpandDroppedFolders<wchar_t>({L"C:\\a", L"C:\\memo.txt"}, listing);
    EXPECT_EQ(withFile.outcome, Outcome::Drawings);
    EXPECT_EQ(withFile.paths, (Paths{L"C:\\memo.txt"}));
}

TEST(FolderDrop, AFolderThatCannotBeReadRefusesTheDropNamingIt) {
    FakeListing listing;
    listing.folders[L"C:\\p"] = {Folder(L"locked"), File(L"a.dwg"), Folder(L"open")};
    listing.folders[L"C:\\p\\open"] = {File(L"o.dwg")};
    listing.unreadable = {L"C:\\p\\locked", L"C:\\q"};
    const DropExpansion<wchar_t> drop = ExpandDroppedFolders<wchar_t>({L"C:\\p", L"C:\\q"}, listing);
    EXPECT_EQ(drop.outcome, Outcome::Unreadable);
    EXPECT_EQ(drop.folders, (Paths{L"C:\\p\\locked", L"C:\\q"}));
    EXPECT_TRUE(drop.paths.empty());
}

TEST(FolderDrop, MoreThanTheLimitIsRefusedWithTheWholeCount) {
    FakeListing listing;
    listing.generated[L"C:\\all"] = kMaxDropDrawings;
    const DropExpansion<wchar_t> full = ExpandDroppedFolders<wchar_t>({L"C:\\all"}, listing);
    EXPECT_EQ(full.outcome, Outcome::Drawings);
    EXPECT_EQ(full.paths.size(), kMaxDropDrawings);

    listing.generated[L"C:\\more"] = 2;
    const DropExpansion<wchar_t> over = ExpandDroppedFolders<wchar_t>({L"C:\\x.dwg", L"C:\\all", L"C:\\more"}, listing);
    EXPECT_EQ(over.outcome, Outcome::TooMany);
    EXPECT_EQ(over.found, kMaxDropDrawings + 3);
    EXPECT_TRUE(over.paths.empty());
}

TEST(FolderDrop, ProgressHearsTheCountGrowAndFalseStopsTheRead) {
    FakeListing listing;
    listing.generated[L"C:\\big"] = 1000;
    std::vector<std::size_t> heard;
    const DropExpansion<wchar_t> read = ExpandDroppedFolders<wchar_t>({L"C:\\big"}, listing, [&](std::size_t found) {
        heard.push_back(found);
        return true;
    });
    EXPECT_EQ(read.outcome, Outcome::Drawings);
    ASSERT_GE(heard.size(), 10u);
    EXPECT_TRUE(std::is_sorted(heard.begin(), heard.end()));

    int calls = 0;
    const DropExpansion<wchar_t> stopped =
        ExpandDroppedFolders<wchar_t>({L"C:\\big", L"C:\\a.dwg"}, listing, [&](std::size_t) { return ++calls < 2; });
    EXPECT_EQ(stopped.outcome, Outcome::Stopped);
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(stopped.paths.empty());
}

TEST(FolderDropRefusal, TextsNameTheFoldersOrGiveTheCount) {
    const PathRefusalText empty = DescribeFolderRefusal(Outcome::NoDrawing, 0, 12);
    EXPECT_EQ(
        empty.intro,
        "次のフォルダーには図面 (名前が .dwg で終わるファイル) がないため、このドロップでは何もしませんでした。\r\n"
        "・サブフォルダーの中も探します。\r\n"
        "・隠しファイルとシステム ファイル、リンクとジャンクションの先は探しません。\r\n");
    EXPECT_EQ(empty.listed, 10u);
    EXPECT_EQ(empty.more, "ほか 2 件");

    const PathRefusalText unreadable = DescribeFolderRefusal(Outcome::Unreadable, 5, 1);
    EXPECT_EQ(unreadable.intro,
              "次のフォルダーを読めないため、このドロップでは何もしませんでした。\r\n"
              "フォルダーを開けるか確かめてから、もう一度ドロップしてください。\r\n");
    EXPECT_EQ(unreadable.listed, 1u);

    const PathRefusalText many = DescribeFolderRefusal(Outcome::TooMany, 1234567, 0);
    EXPECT_EQ(many.intro,
              "このドロップの図面は 1,234,567 件あり、一度に扱える 100,000 件を超えるため、何もしませんでした。\r\n"
              "フォルダーを分けて、何回かに分けてドロップしてください。");
    EXPECT_EQ(many.listed, 0u);

    EXPECT_EQ(FolderReadCountText(999), "図面を探しています: 999 件");
    EXPECT_EQ(FolderReadCountText(100000), "図面を探しています: 100,000 件");
}

TEST(NaturalNameOrder, DigitRunsByValueAndLettersWithoutCaseAsTheShellOrders) {
    for (const NameOrderCase& c : kNameOrderCases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.a)) + " vs " + testing::PrintToString(std::wstring(c.b)));
        EXPECT_EQ(Sign(CompareNamesNaturally<wchar_t>(c.a, c.b)), c.sign);
    }
    // Bytes of a POSIX name compare the same way.
    EXPECT_LT(CompareNamesNaturally<char>("x9.dwg", "X10.DWG"), 0);
    EXPECT_EQ(CompareNamesNaturally<char>("Plan", "pLAN"), 0);
}

}  // namespace
