// The mouse cycle on the visible graphs: press zones and cursors, vertical drags near the axes,
// horizontal pans that keep the four windows together, and sampling held while pressed.
#include "GraphSetFixture.h"

namespace {

constexpr int kWindowWidth = 850; // outer width of the main window
constexpr int kWindowLeft = 200;  // its screen left edge

class MouseCycleTest : public GraphSetTest {
protected:
    void SetUp() override {
        // No event loop to run in these tests; record where the release would run it.
        graphs.mouseCycle().SetRestoreCursor([this] { steps << QStringLiteral("cursor"); });
        graphs.mouseCycle().SetProcessPendingMessages(
            [this] { steps << QStringLiteral("messages"); });
    }

    // What the engine does while the left button is held: shifts both ends of an axis.
    static void pan(ChartAxis& axis, double delta) {
        place(axis, axis.minimum() + delta, axis.maximum() + delta);
    }

    QStringList steps;
};

TEST_F(MouseCycleTest, PressZonesChooseCursorAndPanning) {
    struct Case {
        int x;
        bool shift;
        PanningMode before;
        const char* cursor;
        PanningMode during;
    };
    const Case table[] = {
        {55, false, PanningMode::Vertical, "cursorN", PanningMode::Vertical},
        {55, true, PanningMode::Both, "cursorNS", PanningMode::Vertical},
        {kWindowWidth - 95, false, PanningMode::Both, "cursorN", PanningMode::Vertical},
        {kWindowWidth - 95, true, PanningMode::Vertical, "cursorNS", PanningMode::Vertical},
        {40, false, PanningMode::Vertical, "cursorNO", PanningMode::None},
        {70, true, PanningMode::Both, "cursorEW", PanningMode::Horizontal},
        {400, false, PanningMode::Both, "cursorEW", PanningMode::Horizontal},
        {400, false, PanningMode::Vertical, "cursorNO", PanningMode::None},
        {kWindowWidth - 80, false, PanningMode::Vertical, "cursorNO", PanningMode::None},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.x);
        ChartModel& chart = graphs.chart(GraphSet::Chart3);
        chart.setPanningMode(c.before);
        EXPECT_EQ(graphs.chartMouseDown(GraphSet::Chart3, Qt::LeftButton, c.shift, false, c.x, 100,
                                        kWindowWidth),
                  QString::fromLatin1(c.cursor));
        EXPECT_EQ(chart.panningMode(), c.during);
        graphs.chartMouseUp(GraphSet::Chart3);
        EXPECT_EQ(chart.panningMode(), c.before);
    }
}

TEST_F(MouseCycleTest, OnlyALeftPressHoldsSampling) {
    // A right press opens the chart menu, which keeps the release for as long as it stays open;
    // it saves the drag state like any press but must leave the sample timer alone.
    struct Case {
        Qt::MouseButton button;
        QStringList atPress, atRelease;
    };
    const QStringList none;
    const QString suspend = QStringLiteral("suspend"), resume = QStringLiteral("resume");
    const Case table[] = {
        {Qt::LeftButton, {suspend}, {suspend, resume}},
        {Qt::RightButton, none, none},
        {Qt::MiddleButton, none, none},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.button);
        sampling.calls.clear();
        const QString cursor =
            graphs.chartMouseDown(GraphSet::Chart1, c.button, true, true, 55, 100, kWindowWidth);
        EXPECT_EQ(cursor.isEmpty(), c.button == Qt::RightButton);
        EXPECT_TRUE(graphs.mouseCycle().DragShift);
        EXPECT_TRUE(graphs.mouseCycle().DragCtrl);
        EXPECT_EQ(sampling.calls, c.atPress);
        graphs.chartMouseUp(GraphSet::Chart1);
        EXPECT_EQ(sampling.calls, c.atRelease);
        EXPECT_FALSE(graphs.mouseCycle().DragShift);
        EXPECT_FALSE(graphs.mouseCycle().DragCtrl);
    }
}

TEST_F(MouseCycleTest, PressAndReleaseWithoutMoveCopiesChart1VerticalRangesToTheWebChart) {
    place(graphs.chart(GraphSet::Chart1).leftAxis(), -5, 30);
    place(graphs.chart(GraphSet::Chart1).rightAxis(), 12, 14);
    place(graphs.chart(GraphSet::Chart2).leftAxis(), 100, 26000);
    const Window bottomBefore = bottom(GraphSet::Chart2);

    graphs.chartMouseDown(GraphSet::Chart2, Qt::LeftButton, false, false, 55, 100, kWindowWidth);
    EXPECT_EQ(sampling.calls, QStringList{QStringLiteral("suspend")});
    graphs.chartMouseUp(GraphSet::Chart2);

    EXPECT_EQ(sampling.calls, (QStringList{QStringLiteral("suspend"), QStringLiteral("resume")}));
    EXPECT_EQ(left(GraphSet::Chart2), Window(100, 26000));
    EXPECT_EQ(bottom(GraphSet::Chart2), bottomBefore);
    EXPECT_EQ(left(GraphSet::Chart5), Window(-5, 30));
    EXPECT_EQ(right(GraphSet::Chart5), Window(12, 14));
    EXPECT_EQ(steps, (QStringList{QStringLiteral("cursor"), QStringLiteral("messages")}));
}

TEST_F(MouseCycleTest, WebChartTakesTheRangesAfterPendingMessagesRan) {
    // A sample plotted inside the release (a page that completed meanwhile) widens Chart1; the
    // web chart copies the ranges as they are after it.
    graphs.mouseCycle().SetProcessPendingMessages([this] {
        LineSample s;
        s.NoiseMarginUp = 20;
        s.NoiseMarginDown = 30;
        graphs.AppendSample(QStringLiteral(" 12:00:00 "), QStringLiteral(" 12:00:00 "), s);
        place(graphs.chart(GraphSet::Chart1).leftAxis(), -1, 45);
    });
    graphs.chartMouseDown(GraphSet::Chart1, Qt::LeftButton, false, false, 400, 100, kWindowWidth);
    graphs.chartMouseUp(GraphSet::Chart1);
    EXPECT_EQ(left(GraphSet::Chart5), Window(-1, 45));
    EXPECT_EQ(right(GraphSet::Chart5), right(GraphSet::Chart1));
}

TEST_F(MouseCycleTest, HorizontalPanMovesAllFourWindowsTogether) {
    append(600); // windows [119, 599], panning Both
    for (const int pressed : {GraphSet::Chart1, GraphSet::Chart4}) {
        SCOPED_TRACE(pressed);
        ASSERT_EQ(
            graphs.chartMouseDown(pressed, Qt::LeftButton, false, false, 400, 100, kWindowWidth),
            QStringLiteral("cursorEW"));
        ChartAxis& axis = graphs.chart(pressed).bottomAxis();
        const double target = pressed == GraphSet::Chart1 ? -300 : 700; // back, then past the end
        for (int move = 0; move < 4; ++move) {
            pan(axis, (target - axis.minimum()) / (4 - move));
            graphs.chartScroll(pressed, kWindowLeft + 400, kWindowLeft, kWindowWidth);
        }
        graphs.chartMouseUp(pressed);
        for (int chart = GraphSet::Chart1; chart <= GraphSet::Chart4; ++chart)
            EXPECT_EQ(bottom(chart), Window(target, target + 480)) << "chart " << chart + 1;
        EXPECT_EQ(bottom(GraphSet::Chart5), Window(119, 599));
        EXPECT_EQ(graphs.chart(pressed).panningMode(), PanningMode::Both);
        EXPECT_FALSE(graphs.mouseCycle().ChartScrolled);
    }
    // The vertical axes of a horizontal pan stay as they were (the pointer was in the middle).
    EXPECT_EQ(left(GraphSet::Chart4), Window(0, 20));
}

TEST_F(MouseCycleTest, VerticalDragsNearTheAxes) {
    struct Case {
        const char* name;
        int chart;
        bool shift, ctrl;
        int pointerX; // relative to the main window's left edge
        double delta; // the engine's shift of both vertical axes
        Window leftAfter, rightAfter;
    };
    // Every chart starts at left [0, 20] and right [0, 20] (Chart1 at [-2, 20] on both).
    const Case table[] = {
        // Near the left axis: only the left axis changes; without Shift its minimum stays.
        {"Chart2LeftStretch", GraphSet::Chart2, false, false, 60, -4, {0, 16}, {0, 20}},
        {"Chart2LeftShiftHeldAtZero", GraphSet::Chart2, true, false, 60, -4, {0, 16}, {0, 20}},
        {"Chart2LeftShiftUp", GraphSet::Chart2, true, false, 60, 3, {3, 23}, {0, 20}},
        {"Chart1LeftShiftMayGoNegative", GraphSet::Chart1, true, false, 60, -4, {-6, 16}, {-2, 20}},
        {"Chart1LeftStretch", GraphSet::Chart1, false, false, 60, 5, {-2, 25}, {-2, 20}},
        // Near the right axis: only the right axis changes; Chart2 keeps its minima at 0.
        {"Chart2RightShift", GraphSet::Chart2, true, false, 800, -4, {0, 20}, {0, 16}},
        {"Chart3RightShiftMayGoNegative",
         GraphSet::Chart3,
         true,
         false,
         800,
         -4,
         {0, 20},
         {-4, 16}},
        {"Chart3RightStretch", GraphSet::Chart3, false, false, 800, 6, {0, 20}, {0, 26}},
        // In between, nothing is put back; with Ctrl, everything is.
        {"MiddleKeepsThePan", GraphSet::Chart3, false, false, 400, 2, {2, 22}, {2, 22}},
        {"CtrlRestoresBoth", GraphSet::Chart2, true, true, 60, 7, {0, 20}, {0, 20}},
        {"CtrlRestoresAfterLargePan", GraphSet::Chart3, false, true, 800, -50, {0, 20}, {0, 20}},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.name);
        for (int chart = GraphSet::Chart1; chart <= GraphSet::Chart4; ++chart) {
            const double min = chart == GraphSet::Chart1 ? -2 : 0;
            place(graphs.chart(chart).leftAxis(), min, 20);
            place(graphs.chart(chart).rightAxis(), min, 20);
        }
        ChartModel& chart = graphs.chart(c.chart);
        graphs.chartMouseDown(c.chart, Qt::LeftButton, c.shift, c.ctrl, 55, 100, kWindowWidth);
        // Two moves of half the distance each, as the engine reports them.
        for (int move = 0; move < 2; ++move) {
            pan(chart.leftAxis(), c.delta / 2);
            pan(chart.rightAxis(), c.delta / 2);
            graphs.chartScroll(c.chart, kWindowLeft + c.pointerX, kWindowLeft, kWindowWidth);
        }
        graphs.chartMouseUp(c.chart);
        EXPECT_EQ(left(c.chart), c.leftAfter);
        EXPECT_EQ(right(c.chart), c.rightAfter);
    }
}

TEST_F(MouseCycleTest, PanJumpLargerThanTheAxisNeverInvertsIt) {
    ChartModel& chart = graphs.chart(GraphSet::Chart2);
    graphs.chartMouseDown(GraphSet::Chart2, Qt::LeftButton, false, false, 55, 100, kWindowWidth);
    pan(chart.leftAxis(), -25); // [-25, -5]: its minimum cannot go back to 0
    pan(chart.rightAxis(), -25);
    ASSERT_NO_THROW(
        graphs.chartScroll(GraphSet::Chart2, kWindowLeft + 60, kWindowLeft, kWindowWidth));
    EXPECT_LE(chart.leftAxis().minimum(), chart.leftAxis().maximum());
    EXPECT_EQ(right(GraphSet::Chart2), Window(0, 20));
    graphs.chartMouseUp(GraphSet::Chart2);
}

} // namespace
