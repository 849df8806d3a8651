#include "app/BoxPlacement.h"

#include <gtest/gtest.h>

TEST(BoxPlacement, LeftEdgeHundredLeftOfTheCursorTopFiftyAbove) {
    const BoxOrigin origin = PlaceNearCursor(165, 274, {400, 300});
    EXPECT_EQ(origin.left, 65);
    EXPECT_EQ(origin.top, 224);
}

TEST(BoxPlacement, NegativeCoordinateKeepsTheSystemDefaultInThatDirectionOnly) {
    const BoxOrigin nearLeft = PlaceNearCursor(99, 300, {400, 320});
    EXPECT_EQ(nearLeft.left, 400);
    EXPECT_EQ(nearLeft.top, 250);
    const BoxOrigin nearTop = PlaceNearCursor(300, 49, {400, 320});
    EXPECT_EQ(nearTop.left, 200);
    EXPECT_EQ(nearTop.top, 320);
}

TEST(BoxPlacement, ZeroIsNotNegativeAndIsApplied) {
    const BoxOrigin origin = PlaceNearCursor(100, 50, {400, 320});
    EXPECT_EQ(origin.left, 0);
    EXPECT_EQ(origin.top, 0);
}
