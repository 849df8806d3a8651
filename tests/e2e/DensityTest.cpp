// The window at another screen density: its outer sizes follow the density like its
// controls, so the left column is in view at both heights and the working tables are not.
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "testsupport/Harness_posix.h"

namespace e2e {
namespace {

constexpr int kWaitMs = 10000;

// What the user works with: in view at both heights.
const char* const kLeftColumn[] = {"Label1",  "Edit1",    "btnAutoFile", "Button1", "Button2", "Button3",
                                   "Button4", "Button5",  "Button6",     "Button7", "Button8", "Button9",
                                   "Panel1",  "Button10", "Button11",    "Button12"};
const char* const kWorkingTables[] = {"StringGrid1", "ListBox1", "ListBox2",   "ListBox3",
                                      "ListBox4",    "Memo1",    "StringGrid2"};

struct Density {
    int dpi;
    int width, compactHeight, surveyHeight;  // outer
    int buttonWidth, buttonHeight;           // Button1: 81 x 50 at 96 dpi
};

void PrintTo(const Density& d, std::ostream* out) { *out << d.dpi << " dpi"; }

bool Inside(const Rect& inner, const Rect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool Overlaps(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

std::string Describe(const Rect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " - " + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

const Control& Find(const std::vector<Control>& controls, const std::string& name) {
    for (const auto& c : controls)
        if (c.name == name) return c;
    throw HarnessError("no control named " + name);
}

class WindowAtDensity : public ::testing::TestWithParam<Density> {
protected:
    // A screen large enough for the survey height at 192 dpi, shared by the cases.
    static const Screen& LargeScreen() {
        static Screen screen("1600x1200");
        return screen;
    }

    // The left column lies inside the client area, the working tables outside it; the tree
    // view is in full view at the survey height and below the panel at the compact one.
    static void ExpectOnlyTheLeftColumnInView(Session& s, bool surveyHeight) {
        const Rect client = s.ClientRect();
        const auto controls = s.Controls();
        SCOPED_TRACE("client area " + Describe(client) +
                     (surveyHeight ? " at the survey height" : " at the compact height"));
        for (const char* name : kLeftColumn) {
            const Control& c = Find(controls, name);
            EXPECT_TRUE(c.visible) << name;
            EXPECT_TRUE(Inside(c.rect, client)) << name << " at " << Describe(c.rect);
        }
        const Control& tree = Find(controls, "TreeView1");
        if (surveyHeight) EXPECT_TRUE(Inside(tree.rect, client)) << "TreeView1 at " << Describe(tree.rect);
        else EXPECT_GE(tree.rect.top, Find(controls, "Panel1").rect.bottom) << "TreeView1 at " << Describe(tree.rect);
        for (const char* name : kWorkingTables) {
            const Control& c = Find(controls, name);
            EXPECT_FALSE(Overlaps(c.rect, client)) << name << " at " << Describe(c.rect);
        }
    }
};

TEST_P(WindowAtDensity, ShowsTheLeftColumnAndHidesTheWorkingTablesAtBothHeights) {
    const Density d = GetParam();
    Session s(LargeScreen(), Locations::FromBuild().AtDensity(d.dpi));
    s.WriteDataIni("[Section1]\nLabel=図面+印刷\n[Section9]\nLabel=ﾚｲｱｳﾄ+表示\n");
    const std::string drawing = s.MakeFile("a.dwg");
    s.Start();

    Rect window = s.WindowRect();
    EXPECT_EQ(window.left, 100);
    EXPECT_EQ(window.top, 100);
    EXPECT_EQ(window.Width(), d.width);
    EXPECT_EQ(window.Height(), d.compactHeight);
    const Rect button1 = s.GetControl("Button1").rect;
    EXPECT_EQ(button1.Width(), d.buttonWidth);
    EXPECT_EQ(button1.Height(), d.buttonHeight);
    ExpectOnlyTheLeftColumnInView(s, false);

    // With no CAD program the survey waits for ever, at its height, until the table is cleared.
    s.Drop("Button10", {drawing});
    WaitUntil([&] { return !s.GetControl("Button10").enabled; }, kWaitMs, "the survey to start");
    window = s.WindowRect();
    EXPECT_EQ(window.Width(), d.width);
    EXPECT_EQ(window.Height(), d.surveyHeight);
    ExpectOnlyTheLeftColumnInView(s, true);

    s.Click("Button11");
    WaitUntil([&] { return s.WindowRect().Height() == d.compactHeight; }, kWaitMs, "the window to shrink");
    EXPECT_EQ(s.WindowRect().Width(), d.width);
    ExpectOnlyTheLeftColumnInView(s, false);

    s.Close();
    EXPECT_EQ(s.WaitExit(kWaitMs), 0);
}

// 144 dpi is 150 %, the usual laptop setting; 96 dpi keeps the designed sizes.
INSTANTIATE_TEST_SUITE_P(Densities, WindowAtDensity,
                         ::testing::Values(Density{96, 325, 345, 460, 81, 50}, Density{144, 488, 518, 690, 122, 75}),
                         [](const auto& info) { return std::to_string(info.param.dpi) + "dpi"; });

}  // namespace
}  // namespace e2e
