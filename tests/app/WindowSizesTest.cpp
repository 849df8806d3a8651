#include "app/WindowSizes.h"

#include <gtest/gtest.h>

namespace {

void ExpectOuterSizes(int dpi, int width, int compactHeight, int surveyHeight) {
    const OuterSizes sizes = OuterSizesForDpi(dpi);
    EXPECT_EQ(sizes.width, width) << dpi << " dpi";
    EXPECT_EQ(sizes.compactHeight, compactHeight) << dpi << " dpi";
    EXPECT_EQ(sizes.surveyHeight, surveyHeight) << dpi << " dpi";
}

}  // namespace

TEST(OuterSizes, AtTheDesignDensityTheyAreTheDesignedOnes) { ExpectOuterSizes(96, 325, 345, 460); }

TEST(OuterSizes, FollowTheDensityRoundedToTheNearestPixel) {
    ExpectOuterSizes(120, 406, 431, 575);  // 406.25, 431.25
    ExpectOuterSizes(144, 488, 518, 690);  // 487.5 and 517.5 round up
    ExpectOuterSizes(192, 650, 690, 920);
}

TEST(OuterSizes, NeverReachTheWorkingTablesAtAnyDensity) {
    // The outer size holds the client area, so the tables stay out of view when it does.
    for (int dpi = 72; dpi <= 480; ++dpi) {
        const OuterSizes sizes = OuterSizesForDpi(dpi);
        EXPECT_LT(sizes.width, ScaleForDpi(344, dpi)) << dpi << " dpi: StringGrid1, ListBox1 … ListBox4, Memo1";
        EXPECT_LT(sizes.surveyHeight, ScaleForDpi(466, dpi)) << dpi << " dpi: StringGrid2";
        EXPECT_LT(sizes.compactHeight, sizes.surveyHeight) << dpi << " dpi";
    }
}

TEST(ScaleForDpi, RoundsHalvesAwayFromZeroLikeMulDiv) {
    EXPECT_EQ(ScaleForDpi(81, 144), 122);  // 121.5
    EXPECT_EQ(ScaleForDpi(13, 120), 16);   // 16.25
    EXPECT_EQ(ScaleForDpi(1, 120), 1);     // 1.25
    EXPECT_EQ(ScaleForDpi(0, 192), 0);
    // The font's height is negative: -16.5 becomes -17, -13.75 becomes -14.
    EXPECT_EQ(ScaleForDpi(-11, 144), -17);
    EXPECT_EQ(ScaleForDpi(-11, 120), -14);
    EXPECT_EQ(ScaleForDpi(-11, 96), -11);
}
