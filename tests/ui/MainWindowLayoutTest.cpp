#include <gtest/gtest.h>

#include "ui/MainWindowLayout.h"

using dokivo::layoutForClientArea;
using dokivo::MainWindowLayout;

namespace dokivo {
static void PrintTo(const MainWindowLayout& l, std::ostream* os) {
    *os << "{row top " << l.bottomRowTop << ", list " << l.listHeight << " x " << l.listWidth << "}";
}
}  // namespace dokivo

namespace {
// The design placement: bottom row at 2520, list 2265 high and 6015 wide.
const MainWindowLayout kDesign{2520, 2265, 6015};
}  // namespace

TEST(MainWindowLayout, AtTheDesignSizeTheRowMovesTo2470AndTheListTakesTheRest) {
    EXPECT_EQ(layoutForClientArea(3075, 6330, kDesign), (MainWindowLayout{2470, 2075, 6030}));
}

TEST(MainWindowLayout, TheBottomRowFollowsTheLowerEdgeOfALargerWindow) {
    EXPECT_EQ(layoutForClientArea(9000, 15000, kDesign), (MainWindowLayout{8395, 8000, 14700}));
    EXPECT_EQ(layoutForClientArea(1606, 6330, kDesign), (MainWindowLayout{1001, 606, 6030}));
}

TEST(MainWindowLayout, AClientArea1605HighOrLessKeepsTheBottomRowWhereItWas) {
    const MainWindowLayout moved{1500, 1000, 6030};
    EXPECT_EQ(layoutForClientArea(1605, 6330, moved), (MainWindowLayout{1500, 605, 6030}));
    EXPECT_EQ(layoutForClientArea(1200, 6330, moved), (MainWindowLayout{1500, 200, 6030}));
}

TEST(MainWindowLayout, ASizeTheListCannotTakeLeavesThatDimensionAsItWas) {
    EXPECT_EQ(layoutForClientArea(900, 6330, kDesign), (MainWindowLayout{2520, 2265, 6030}));
    EXPECT_EQ(layoutForClientArea(3075, 200, kDesign), (MainWindowLayout{2470, 2075, 6015}));
    EXPECT_EQ(layoutForClientArea(-30, -60, kDesign), kDesign);
    // Exactly the margins: the list may be empty but not negative.
    EXPECT_EQ(layoutForClientArea(1000, 300, kDesign), (MainWindowLayout{2520, 0, 0}));
}
