// The template's words as the drop and the batch run read them: the loop cut, and the role
// of each line left in the template.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

#include "app/TemplateExpansion.h"
#include "app/TemplateVocabulary.h"
#include "tests/text/CaseTable.h"

namespace {

using Cut = std::tuple<LineList, LineList, bool>;  // template lines, loop body, malformed
using Cases = std::initializer_list<std::pair<LineList, Cut>>;

void ExpectCuts(Cases cases) {
    ExpectCases<LineList, Cut>(
        [](const LineList& lines) {
            LoopCut cut = CutLoopBlock(lines);
            return Cut{std::move(cut.templateLines), std::move(cut.loopBody), cut.malformed};
        },
        cases);
}

TEST(LoopBlockCut, MovesTheBodyAndKeepsTheLoopLineWhateverTheMarkersLetterCase) {
    ExpectCuts({
        {{"top", "[LAYOUTLOOP]", "x", "y", "[LAYOUTNAME]", "[LOOPEND]", "end"},
         {{"top", "[LAYOUTLOOP]", "end"}, {"x", "y", "[LAYOUTNAME]"}, false}},
        {{"[LAYOUTLOOP]", "[LOOPEND]", "end"}, {{"[LAYOUTLOOP]", "end"}, {}, false}},
        {{"a", "[layoutloop]", "x", "[LoopEnd]", "b"}, {{"a", "[layoutloop]", "b"}, {"x"}, false}},
    });
}

TEST(LoopBlockCut, MarkerWithABlankIsNoMarker) {
    ExpectCuts({
        {{"a", "[LAYOUTLOOP] ", "x", "[LOOPEND]", "b"}, {{"a", "[LAYOUTLOOP] ", "x", "[LOOPEND]", "b"}, {}, false}},
        {{" [LAYOUTLOOP]", "[LOOPEND]"}, {{" [LAYOUTLOOP]", "[LOOPEND]"}, {}, false}},
    });
}

TEST(LoopBlockCut, OnlyTheFirstBlockIsCut) {
    ExpectCuts({{{"[LAYOUTLOOP]", "x", "[LOOPEND]", "mid", "[LAYOUTLOOP]", "y", "[LOOPEND]", "end"},
                 {{"[LAYOUTLOOP]", "mid", "[LAYOUTLOOP]", "y", "[LOOPEND]", "end"}, {"x"}, false}}});
}

TEST(LoopBlockCut, LoopLineWithoutEndAfterItIsMalformedAndMovesNothing) {
    ExpectCuts({
        {{"a", "[LAYOUTLOOP]", "x"}, {{"a", "[LAYOUTLOOP]", "x"}, {}, true}},
        // The first end marker decides, even when another one follows the loop line.
        {{"[LOOPEND]", "[LAYOUTLOOP]", "x", "[LOOPEND]"}, {{"[LOOPEND]", "[LAYOUTLOOP]", "x", "[LOOPEND]"}, {}, true}},
    });
}

TEST(LoopBlockCut, TemplateWithoutLoopLineIsLeftAlone) {
    ExpectCuts({
        {{"open", "[LOOPEND]", "close"}, {{"open", "[LOOPEND]", "close"}, {}, false}},
        {{}, {{}, {}, false}},
    });
}

// Kind, the replaced placeholder ("" for none) and its byte index.
using Role = std::tuple<TemplateLineRole::Kind, std::string_view, std::size_t>;

Role RoleOf(const std::string& line) {
    const TemplateLineRole role = RoleOfTemplateLine(line);
    return {role.kind, role.placeholder ? role.placeholder->text : std::string_view(), role.at};
}

TEST(TemplateLineRole, LoopBeatsPlaceholdersAndTheFirstPlaceholderInOrderIsFoundInBytes) {
    using Kind = TemplateLineRole::Kind;
    ExpectCases<std::string, Role>(RoleOf, {
                                               {"open", {Kind::Plain, "", 0}},
                                               {"[FULLFILEPATH] x [LAYOUTLOOP]", {Kind::Loop, "", 0}},
                                               {"[layoutloop] [Folder]", {Kind::Plain, "", 0}},
                                               {"[FOLDER]\\[FULLFILEPATH]", {Kind::Placeholder, "[FULLFILEPATH]", 9}},
                                               {"a [FILENAME] [FILENAME]", {Kind::Placeholder, "[FILENAME]", 2}},
                                               {"[FULLFILENAME].pdf", {Kind::Placeholder, "[FULLFILENAME]", 0}},
                                               {"表\\[FOLDER]", {Kind::Placeholder, "[FOLDER]", 3}},
                                           });
}

}  // namespace
