#include "app/SectionDrop.h"

#include <gtest/gtest.h>

namespace {

SectionTemplate Template(std::int32_t count, LineList lines, bool tooLong = false) {
    SectionTemplate t;
    t.count = count;
    t.lines = std::move(lines);
    t.tooLong = tooLong;
    return t;
}

using Outcome = SectionDropPlan::Outcome;

TEST(SectionDropOrder, ButtonWithoutCaptionRefusesWhateverTheTemplate) {
    EXPECT_EQ(PlanSectionDrop(Template(2, {"a", "b"}), false).outcome, Outcome::NoCaption);
    EXPECT_EQ(PlanSectionDrop(Template(2147483647, {}, true), false).outcome, Outcome::NoCaption);
    const SectionDropPlan malformed = PlanSectionDrop(Template(2, {"[LAYOUTLOOP]", "x"}), false);
    EXPECT_EQ(malformed.outcome, Outcome::NoCaption);
    EXPECT_EQ(RefusalMessage(malformed.outcome), "INIファイルが見つかりません。");
}

TEST(SectionDropOrder, CaptionedButtonRefusesAnOverlongTemplateThenAMalformedBlock) {
    const SectionDropPlan tooLong = PlanSectionDrop(Template(10001, {}, true), true);
    EXPECT_EQ(tooLong.outcome, Outcome::TooLong);
    EXPECT_EQ(RefusalMessage(tooLong.outcome),
              "テンプレートの行数 (TextCount) が多すぎます。10000 行までにしてください。");
    EXPECT_TRUE(tooLong.cut.templateLines.empty());
    EXPECT_TRUE(tooLong.cut.loopBody.empty());

    // [LOOPEND] above [LAYOUTLOOP]: nothing is moved, the count stays.
    const SectionDropPlan malformed = PlanSectionDrop(Template(3, {"[LOOPEND]", "[LAYOUTLOOP]", "x"}), true);
    EXPECT_EQ(malformed.outcome, Outcome::Malformed);
    EXPECT_EQ(malformed.lineCount, 3);
    EXPECT_EQ(malformed.cut.templateLines, (LineList{"[LOOPEND]", "[LAYOUTLOOP]", "x"}));
    EXPECT_EQ(RefusalMessage(malformed.outcome), "テンプレートの [LAYOUTLOOP] に対応する [LOOPEND] がありません。");
}

TEST(SectionDropOrder, RunTakesTheCountLessTheCutLines) {
    const SectionDropPlan plan =
        PlanSectionDrop(Template(7, {"top", "[LAYOUTLOOP]", "x", "y", "[LAYOUTNAME]", "[LOOPEND]", "end"}), true);
    EXPECT_EQ(plan.outcome, Outcome::Run);
    EXPECT_EQ(plan.lineCount, 3);
    EXPECT_EQ(plan.cut.templateLines, (LineList{"top", "[LAYOUTLOOP]", "end"}));
    EXPECT_EQ(plan.cut.loopBody, (LineList{"x", "y", "[LAYOUTNAME]"}));
    EXPECT_EQ(RefusalMessage(plan.outcome), "");
}

TEST(SectionDropOrder, CountOfZeroOrLessRunsAnEmptyTemplateWithItsCount) {
    const SectionDropPlan zero = PlanSectionDrop(Template(0, {}), true);
    EXPECT_EQ(zero.outcome, Outcome::Run);
    EXPECT_EQ(zero.lineCount, 0);
    EXPECT_EQ(PlanSectionDrop(Template(-5, {}), true).lineCount, -5);
}

}  // namespace
