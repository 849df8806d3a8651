#include "app/InfoBox.h"

#include <gtest/gtest.h>

TEST(BoxPlacement, NearTheCursorUnlessACoordinateWouldBeNegative) {
    struct Case {
        const char* name;
        int cursorX, cursorY;
        BoxOrigin systemDefault;
        int left, top;
    };
    const Case cases[] = {
        {"left edge a hundred left of the cursor, top fifty above", 165, 274, {400, 300}, 65, 224},
        {"a negative left keeps the system's left only", 99, 300, {400, 320}, 400, 250},
        {"a negative top keeps the system's top only", 300, 49, {400, 320}, 200, 320},
        {"zero is not negative and is applied", 100, 50, {400, 320}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const BoxOrigin origin = PlaceNearCursor(c.cursorX, c.cursorY, c.systemDefault);
        EXPECT_EQ(origin.left, c.left);
        EXPECT_EQ(origin.top, c.top);
    }
}
