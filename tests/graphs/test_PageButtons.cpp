// The page buttons under the visible graphs and when their panels show.
#include "GraphSetFixture.h"

#include "charting/AxisRangeError.h"

namespace {

enum class Button { Home, Back, Forward, ForwardHome };

struct PageCase {
    const char* name;
    int points;
    Window before; // the four visible windows before the click
    Button button;
    Window after;
    bool started; // the monitor was started or resumed
};

void PrintTo(const PageCase& c, std::ostream* os) {
    *os << c.name;
}

class PageButtonsTest : public GraphSetTest, public ::testing::WithParamInterface<PageCase> {};

TEST_P(PageButtonsTest, MovesTheFourVisibleWindowsTogether) {
    const PageCase& c = GetParam();
    int starts = 0;
    graphs.SetStartHandler([&] { ++starts; });
    append(c.points);
    const Window web = bottom(GraphSet::Chart5);
    placeVisibleWindows(c.before.first, c.before.second);
    switch (c.button) {
    case Button::Home:
        graphs.btnHomeClick();
        break;
    case Button::Back:
        graphs.btnChartBack1Click();
        break;
    case Button::Forward:
        graphs.btnChartForwardClick();
        break;
    case Button::ForwardHome:
        graphs.btnForwardHomeClick();
        break;
    }
    for (int chart = GraphSet::Chart1; chart <= GraphSet::Chart4; ++chart)
        EXPECT_EQ(bottom(chart), c.after) << "chart " << chart + 1;
    EXPECT_EQ(bottom(GraphSet::Chart5), web);
    EXPECT_EQ(starts, c.started ? 1 : 0);
}

const PageCase kPageCases[] = {
    {"HomeFewPoints", 100, {0, 480}, Button::Home, {0, 480}, false},
    {"HomeFromNewestPage", 2000, {1519, 1999}, Button::Home, {0, 480}, false},
    {"HomeFromPannedLeft", 2000, {-900, -420}, Button::Home, {0, 480}, false},
    {"BackOnePage", 2000, {1519, 1999}, Button::Back, {1039, 1519}, false},
    {"BackToTheStart", 2000, {300, 780}, Button::Back, {0, 480}, false},
    {"BackFromMinimumEqualToPage", 2000, {480, 960}, Button::Back, {0, 480}, false},
    {"BackFromPannedLeft", 2000, {-900, -420}, Button::Back, {0, 480}, false},
    {"ForwardOnePage", 2000, {0, 480}, Button::Forward, {480, 960}, false},
    {"ForwardOneMorePage", 2000, {1000, 1480}, Button::Forward, {1480, 1960}, false},
    // Less than a further page beyond the window: as ">|".
    {"ForwardActsAsForwardHome", 2000, {1100, 1580}, Button::Forward, {1520, 2000}, true},
    {"ForwardFewPointsOnlyStarts", 300, {0, 480}, Button::Forward, {0, 480}, true},
    {"ForwardHome", 2000, {0, 480}, Button::ForwardHome, {1520, 2000}, true},
    {"ForwardHomeFromPannedRight", 2000, {2500, 2980}, Button::ForwardHome, {1520, 2000}, true},
    {"ForwardHomeFullPageOnlyStarts", 480, {0, 480}, Button::ForwardHome, {0, 480}, true},
};

INSTANTIATE_TEST_SUITE_P(Clicks, PageButtonsTest, ::testing::ValuesIn(kPageCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A drop shown from the Line Drops window: the four windows move as the page buttons move them,
// around the drop's points, never beyond the history. A page is 480 points.
TEST_F(GraphSetTest, ShowPointsPutsThemOnThePage) {
    struct Case {
        const char* name;
        int points;
        qsizetype first, last;
        Window after;
    };
    // In order of points: one history grows through them.
    const Case cases[] = {
        {"fewer points than a page", 300, 200, 210, {0, 480}},
        {"at the start", 2000, 0, 3, {0, 480}},
        {"in the middle, centred", 2000, 1000, 1010, {765, 1245}},
        {"at the end", 2000, 1995, 1999, {1520, 2000}},
        {"longer than a page: from a quarter page before", 2000, 600, 1500, {480, 960}},
    };
    int points = 0;
    for (const Case& c : cases) {
        append(c.points - points);
        points = c.points;
        placeVisibleWindows(100, 580);
        const Window web = bottom(GraphSet::Chart5);
        graphs.showPoints(c.first, c.last);
        for (int chart = GraphSet::Chart1; chart <= GraphSet::Chart4; ++chart)
            EXPECT_EQ(bottom(chart), c.after) << c.name << ", chart " << chart + 1;
        EXPECT_EQ(bottom(GraphSet::Chart5), web) << c.name;
    }
}

TEST_F(GraphSetTest, ForwardHomeReadsThePointCountAfterStarting) {
    append(1000);
    placeVisibleWindows(0, 480);
    // A start that plots a sample at once.
    graphs.SetStartHandler([this] { append(1); });
    graphs.btnForwardHomeClick();
    EXPECT_EQ(bottom(GraphSet::Chart1), Window(521, 1001));
}

TEST_F(GraphSetTest, PageButtonRefusalReachesTheCaller) {
    append(100);
    settings.PointsperPage = -5;
    EXPECT_THROW(graphs.btnHomeClick(), AxisRangeError);
    EXPECT_EQ(bottom(GraphSet::Chart1), Window(0, 480));
    EXPECT_TRUE(messages.informed.isEmpty());
}

TEST(PageButtonPanels, ShowInTheirZoneOnly) {
    struct Case {
        int x, y;
        bool visible;
    };
    // A chart at left 0, 800 wide, 400 high: the zone is 50 < x < 750 and 250 < y < 370.
    const Case table[] = {
        {400, 300, true},  {51, 251, true},   {749, 369, true},  {50, 300, false},
        {750, 300, false}, {400, 250, false}, {400, 370, false}, {400, 100, false},
    };
    for (const Case& c : table)
        EXPECT_EQ(GraphSet::PageButtonsVisible(c.x, c.y, 0, 800, 400), c.visible)
            << c.x << "," << c.y;
    // The chart's left edge narrows the zone on the left only.
    EXPECT_FALSE(GraphSet::PageButtonsVisible(60, 300, 20, 800, 400));
    EXPECT_TRUE(GraphSet::PageButtonsVisible(71, 300, 20, 800, 400));
}

} // namespace
