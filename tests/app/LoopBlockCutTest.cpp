#include <gtest/gtest.h>

#include "app/TemplateExpansion.h"

namespace {

TEST(LoopBlockCut, MovesTheBodyAndKeepsTheLoopLine) {
    const LoopCut cut = CutLoopBlock({"top", "[LAYOUTLOOP]", "x", "y", "[LAYOUTNAME]", "[LOOPEND]", "end"});
    EXPECT_EQ(cut.templateLines, (LineList{"top", "[LAYOUTLOOP]", "end"}));
    EXPECT_EQ(cut.loopBody, (LineList{"x", "y", "[LAYOUTNAME]"}));
    EXPECT_FALSE(cut.malformed);
}

TEST(LoopBlockCut, BlockWithoutBodyDropsOnlyTheEndMarker) {
    const LoopCut cut = CutLoopBlock({"[LAYOUTLOOP]", "[LOOPEND]", "end"});
    EXPECT_EQ(cut.templateLines, (LineList{"[LAYOUTLOOP]", "end"}));
    EXPECT_TRUE(cut.loopBody.empty());
    EXPECT_FALSE(cut.malformed);
}

TEST(LoopBlockCut, MarkersAreFoundWhateverTheirLetterCase) {
    const LoopCut cut = CutLoopBlock({"a", "[layoutloop]", "x", "[LoopEnd]", "b"});
    EXPECT_EQ(cut.templateLines, (LineList{"a", "[layoutloop]", "b"}));
    EXPECT_EQ(cut.loopBody, (LineList{"x"}));
    EXPECT_FALSE(cut.malformed);
}

TEST(LoopBlockCut, MarkerWithABlankIsNoMarker) {
    const LineList lines{"a", "[LAYOUTLOOP] ", "x", "[LOOPEND]", "b"};
    const LoopCut cut = CutLoopBlock(lines);
    EXPECT_EQ(cut.templateLines, lines);
    EXPECT_TRUE(cut.loopBody.empty());
    EXPECT_FALSE(cut.malformed);

    EXPECT_EQ(CutLoopBlock({" [LAYOUTLOOP]", "[LOOPEND]"}).templateLines, (LineList{" [LAYOUTLOOP]", "[LOOPEND]"}));
}

TEST(LoopBlockCut, OnlyTheFirstBlockIsCut) {
    const LoopCut cut =
        CutLoopBlock({"[LAYOUTLOOP]", "x", "[LOOPEND]", "mid", "[LAYOUTLOOP]", "y", "[LOOPEND]", "end"});
    EXPECT_EQ(cut.templateLines, (LineList{"[LAYOUTLOOP]", "mid", "[LAYOUTLOOP]", "y", "[LOOPEND]", "end"}));
    EXPECT_EQ(cut.loopBody, (LineList{"x"}));
    EXPECT_FALSE(cut.malformed);
}

TEST(LoopBlockCut, LoopLineWithoutEndAfterItIsMalformedAndMovesNothing) {
    const LineList noEnd{"a", "[LAYOUTLOOP]", "x"};
    const LoopCut first = CutLoopBlock(noEnd);
    EXPECT_TRUE(first.malformed);
    EXPECT_EQ(first.templateLines, noEnd);
    EXPECT_TRUE(first.loopBody.empty());

    // The first end marker decides, even when another one follows the loop line.
    const LineList endAbove{"[LOOPEND]", "[LAYOUTLOOP]", "x", "[LOOPEND]"};
    const LoopCut second = CutLoopBlock(endAbove);
    EXPECT_TRUE(second.malformed);
    EXPECT_EQ(second.templateLines, endAbove);
    EXPECT_TRUE(second.loopBody.empty());
}

TEST(LoopBlockCut, TemplateWithoutLoopLineIsLeftAlone) {
    const LineList lines{"open", "[LOOPEND]", "close"};
    const LoopCut cut = CutLoopBlock(lines);
    EXPECT_EQ(cut.templateLines, lines);
    EXPECT_TRUE(cut.loopBody.empty());
    EXPECT_FALSE(cut.malformed);

    const LoopCut empty = CutLoopBlock({});
    EXPECT_TRUE(empty.templateLines.empty());
    EXPECT_FALSE(empty.malformed);
}

}  // namespace
