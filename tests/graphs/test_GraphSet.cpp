// Appending samples, the page window that follows them, page size and time per page, point
// labels, 3-D flags, saved axes and the user graphs' names.
#include "GraphSetFixture.h"

#include "charting/AxisRangeError.h"

namespace {

TEST_F(GraphSetTest, AppendSampleAddsEachValueToItsSeriesWithItsLabelAndColour) {
    LineSample s;
    s.NoiseMarginUp = 6.1;
    s.NoiseMarginDown = 7.2;
    s.DataRateUp = 1001;
    s.DataRateDown = 20002;
    s.User1Up = 1003;
    s.User1Down = 24004;
    s.User2Up = 15.5;
    s.User2Down = 31.5;
    graphs.AppendSample(QStringLiteral(" Tue 08 \r 14:23:05 "), QStringLiteral(" 14:23:06 "), s);

    struct Expect {
        int chart;
        double up, down;
    };
    const Expect table[] = {{GraphSet::Chart1, 6.1, 7.2},
                            {GraphSet::Chart2, 1001, 20002},
                            {GraphSet::Chart3, 1003, 24004},
                            {GraphSet::Chart4, 15.5, 31.5},
                            {GraphSet::Chart5, 6.1, 7.2}};
    for (const Expect& e : table) {
        SCOPED_TRACE(e.chart);
        const LineSeries& up = graphs.upstream(e.chart);
        const LineSeries& down = graphs.downstream(e.chart);
        ASSERT_EQ(up.count(), 1);
        ASSERT_EQ(down.count(), 1);
        EXPECT_EQ(up.verticalAxis(), VerticalAxis::Left);
        EXPECT_EQ(down.verticalAxis(), VerticalAxis::Right);
        EXPECT_EQ(up.y(0), e.up);
        EXPECT_EQ(down.y(0), e.down);
        EXPECT_EQ(up.colour(0), QColor(0, 0, 255));
        EXPECT_EQ(down.colour(0), QColor(128, 0, 0));
        const QString label = e.chart == GraphSet::Chart5 ? QStringLiteral(" 14:23:06 ")
                                                          : QStringLiteral(" Tue 08 \r 14:23:05 ");
        EXPECT_EQ(up.label(0), label);
        EXPECT_EQ(down.label(0), label);
    }
    EXPECT_EQ(graphs.PointCount(), 1);
    // One label per sample in each store, however many series share it.
    EXPECT_EQ(graphs.labels().size(), 1);
    EXPECT_EQ(graphs.webLabels().size(), 1);
}

TEST_F(GraphSetTest, PageWindowFollowsTheNewestSampleOnceAPageIsFull) {
    struct Case {
        int samples;
        Window window;
        PanningMode panning;
    };
    const Case table[] = {
        {475, {0, 480}, PanningMode::Vertical}, {476, {0, 480}, PanningMode::Both},
        {479, {0, 480}, PanningMode::Both},     {480, {-1, 479}, PanningMode::Both},
        {481, {0, 480}, PanningMode::Both},     {1000, {519, 999}, PanningMode::Both},
    };
    int appended = 0;
    for (const Case& c : table) {
        SCOPED_TRACE(c.samples);
        append(c.samples - appended);
        appended = c.samples;
        EXPECT_EQ(graphs.PointCount(), c.samples);
        for (int chart = 0; chart < GraphSet::ChartCount; ++chart)
            EXPECT_EQ(bottom(chart), c.window) << "chart " << chart + 1;
        for (int chart = GraphSet::Chart1; chart <= GraphSet::Chart4; ++chart)
            EXPECT_EQ(graphs.chart(chart).panningMode(), c.panning) << "chart " << chart + 1;
        EXPECT_EQ(graphs.chart(GraphSet::Chart5).panningMode(), PanningMode::None);
    }
    EXPECT_TRUE(messages.informed.isEmpty());
}

TEST_F(GraphSetTest, NextSampleBringsPannedWindowsBackToTheNewestPage) {
    append(1000);
    // Windows panned past either end of the history, or paged back; the web chart stays on the
    // newest page throughout.
    const Window moved[] = {{1100, 1580}, {2000, 2480}, {-700, -220}, {300, 780}};
    for (const Window& w : moved) {
        SCOPED_TRACE(w.first);
        placeVisibleWindows(w.first, w.second);
        append(1);
        const double newest = graphs.PointCount() - 1;
        for (int chart = 0; chart < GraphSet::ChartCount; ++chart)
            EXPECT_EQ(bottom(chart), Window(newest - 480, newest)) << "chart " << chart + 1;
    }
    EXPECT_TRUE(messages.informed.isEmpty());
}

TEST_F(GraphSetTest, RefusedWindowShowsTheMessageAndKeepsThePoints) {
    append(10);
    // A negative page size typed into the field: the window would be inverted.
    settings.PointsperPage = -5;
    append(1);
    EXPECT_EQ(messages.informed, QStringList{QStringLiteral("Error incrementing chart")});
    EXPECT_EQ(graphs.PointCount(), 11);
    EXPECT_EQ(graphs.upstream(GraphSet::Chart4).count(), 11);
    for (int chart = 0; chart < GraphSet::ChartCount; ++chart)
        EXPECT_EQ(bottom(chart), Window(0, 480)) << "chart " << chart + 1;
    append(1);
    EXPECT_EQ(messages.informed.size(), 2);
}

TEST_F(GraphSetTest, ApplyPageSizeWidensEveryWindowFromItsMinimum) {
    append(600); // windows [119, 599]
    settings.PointsperPage = 5;
    EXPECT_EQ(graphs.ApplyPageSize(), QStringLiteral("(0 hr : 2 min per page)"));
    for (int chart = 0; chart < GraphSet::ChartCount; ++chart)
        EXPECT_EQ(bottom(chart), Window(119, 124)) << "chart " << chart + 1;

    // A width the engine refuses ends the loop and leaves the text as it was.
    settings.PointsperPage = -1;
    EXPECT_EQ(graphs.ApplyPageSize(), std::nullopt);
    for (int chart = 0; chart < GraphSet::ChartCount; ++chart)
        EXPECT_EQ(bottom(chart), Window(119, 124)) << "chart " << chart + 1;
}

TEST(GraphSetText, TimePerPageRoundsHalfMinutesToEven) {
    struct Case {
        int points, seconds;
        const char* text;
    };
    const Case table[] = {
        {480, 30, "(4 hr : 0 min per page)"}, {250, 15, "(1 hr : 2 min per page)"},
        {254, 15, "(1 hr : 4 min per page)"}, {252, 30, "(2 hr : 6 min per page)"},
        {9, 10, "(0 hr : 2 min per page)"},   {15, 10, "(0 hr : 2 min per page)"},
        {10, 10, "(0 hr : 2 min per page)"},  {7, 10, "(0 hr : 1 min per page)"},
        {0, 30, "(0 hr : 0 min per page)"},   {8640, 300, "(720 hr : 0 min per page)"},
    };
    for (const Case& c : table)
        EXPECT_EQ(GraphSet::TimePerPageText(c.points, c.seconds), QString::fromLatin1(c.text))
            << c.points << " x " << c.seconds;
}

TEST(GraphSetText, PointLabelWithAndWithoutTheDay) {
    const QDateTime t(QDate(2026, 12, 8), QTime(4, 3, 5));
    EXPECT_EQ(GraphSet::PointLabel(t, false), QStringLiteral(" 04:03:05 "));
    EXPECT_EQ(GraphSet::PointLabel(t, true), QStringLiteral(" Tue 08 \r 04:03:05 "));
    EXPECT_EQ(GraphSet::WebLabel(t), QStringLiteral(" 04:03:05 "));
}

TEST_F(GraphSetTest, LabelSpacingFollowsTheDateStampOnTheVisibleCharts) {
    graphs.SetLabelSpacing(false);
    for (int chart = GraphSet::Chart1; chart <= GraphSet::Chart4; ++chart)
        EXPECT_EQ(graphs.chart(chart).bottomAxis().minLabelSpacingPercent, 100);
    graphs.SetLabelSpacing(true);
    for (int chart = GraphSet::Chart1; chart <= GraphSet::Chart4; ++chart)
        EXPECT_EQ(graphs.chart(chart).bottomAxis().minLabelSpacingPercent, 30);
    EXPECT_EQ(graphs.chart(GraphSet::Chart5).bottomAxis().minLabelSpacingPercent, 90);
}

// Which charts are drawn in 3-D, Chart1..Chart5.
std::array<bool, 5> views3D(const GraphSet& graphs) {
    std::array<bool, 5> out{};
    for (int chart = 0; chart < GraphSet::ChartCount; ++chart)
        out[size_t(chart)] = graphs.chart(chart).view3D();
    return out;
}

TEST_F(GraphSetTest, ThreeDFlagsPerTab) {
    struct Case {
        const char* flags;
        int tab;
        bool checkedBefore;
        const char* flagsAfter;
        std::array<bool, 5> after;
    };
    const Case table[] = {
        {"01000", 2, true, "00000", {false, false, false, false, false}},
        {"00000", 1, false, "10000", {true, false, false, false, true}},
        {"1", 3, false, "101", {true, false, true, false, true}},
        {"", 4, false, "0001", {false, false, false, true, false}},
        {"x1x1x", 1, false, "11x1x", {true, true, false, true, true}},
    };
    for (const Case& c : table) {
        SCOPED_TRACE(c.flags);
        settings.ThreeD = QString::fromLatin1(c.flags);
        graphs.Apply3D(settings.ThreeD);
        EXPECT_EQ(graphs.shows3D(c.tab), c.checkedBefore);
        EXPECT_EQ(graphs.toggle3D(c.tab), !c.checkedBefore);
        EXPECT_EQ(settings.ThreeD, QString::fromLatin1(c.flagsAfter));
        EXPECT_EQ(views3D(graphs), c.after);
        EXPECT_EQ(graphs.shows3D(c.tab), !c.checkedBefore);
    }
}

TEST_F(GraphSetTest, SingleFlagDrawsNoiseMarginAndWebChartIn3D) {
    graphs.Apply3D(QStringLiteral("1"));
    EXPECT_EQ(views3D(graphs), (std::array<bool, 5>{true, false, false, false, true}));
}

TEST_F(GraphSetTest, SavedAxesAppliedOnlyWhenSaveAxesIsOn) {
    Settings stored;
    stored.Axes = {{{12, 14, -3, -1},
                    {26000, 24000, 100, 200},
                    {30, 31, 1, 2},
                    {40, 41, 5, 6},
                    {11, 13, -4, -5}}};
    stored.SaveAxes = false;
    graphs.ApplySavedAxes(stored);
    const Window defaults[] = {{-2, 10}, {0, 20}, {0, 20}, {0, 20}, {-2, 10}};
    for (int chart = 0; chart < GraphSet::ChartCount; ++chart) {
        EXPECT_EQ(left(chart), defaults[chart]) << "chart " << chart + 1;
        EXPECT_EQ(right(chart), defaults[chart]) << "chart " << chart + 1;
    }

    stored.SaveAxes = true;
    graphs.ApplySavedAxes(stored);
    for (int chart = 0; chart < GraphSet::ChartCount; ++chart) {
        const Settings::ChartAxes& a = stored.Axes[size_t(chart)];
        EXPECT_EQ(left(chart), Window(a.leftMin, a.leftMax)) << "chart " << chart + 1;
        EXPECT_EQ(right(chart), Window(a.rightMin, a.rightMax)) << "chart " << chart + 1;
    }
}

TEST_F(GraphSetTest, HandEditedAxesNeverStopStartUp) {
    Settings stored;
    stored.SaveAxes = true;
    // Chart1: a maximum below the default minimum; Chart2: an inverted pair; Chart3: a pair
    // entirely below the defaults; the rest ordinary.
    stored.Axes = {
        {{-5, 10, -8, -2}, {5, 20, 9, 0}, {-10, 20, -20, 0}, {40, 41, 5, 6}, {11, 13, -4, -5}}};
    ASSERT_NO_THROW(graphs.ApplySavedAxes(stored));
    EXPECT_EQ(left(GraphSet::Chart1), Window(-8, -5));
    // The inverted pair keeps the end that fits in the order maxima, then minima.
    EXPECT_EQ(left(GraphSet::Chart2), Window(0, 5));
    EXPECT_EQ(left(GraphSet::Chart3), Window(-20, -10));
    EXPECT_EQ(left(GraphSet::Chart4), Window(5, 40));
    EXPECT_EQ(right(GraphSet::Chart4), Window(6, 41));
    EXPECT_EQ(left(GraphSet::Chart5), Window(-4, 11));
    EXPECT_EQ(right(GraphSet::Chart5), Window(-5, 13));
}

TEST_F(GraphSetTest, StoredAxesAreTruncatedTowardZero) {
    place(graphs.chart(GraphSet::Chart1).leftAxis(), -2.7, 12.9);
    place(graphs.chart(GraphSet::Chart5).rightAxis(), -1.5, 9.9);
    place(graphs.chart(GraphSet::Chart2).rightAxis(), 0.4, 22000.6);
    settings.SaveAxes = true;
    graphs.StoreAxes(settings);
    EXPECT_EQ(settings.Axes[0].leftMax, 12);
    EXPECT_EQ(settings.Axes[0].leftMin, -2);
    EXPECT_EQ(settings.Axes[4].rightMax, 9);
    EXPECT_EQ(settings.Axes[4].rightMin, -1);
    EXPECT_EQ(settings.Axes[1].rightMax, 22000);
    EXPECT_EQ(settings.Axes[1].rightMin, 0);
    EXPECT_EQ(settings.Axes[3].leftMax, 20);

    // Without SaveAxes the stored keys stay as they were.
    Settings untouched;
    untouched.Axes[0].leftMax = 33;
    graphs.StoreAxes(untouched);
    EXPECT_EQ(untouched.Axes[0].leftMax, 33);
}

TEST_F(GraphSetTest, UserGraphNamesTitleTheirAxes) {
    graphs.RefreshUserGraphNames(QStringLiteral("Max Data Rate"),
                                 QStringLiteral("Signal Sttenuation"));
    EXPECT_EQ(graphs.chart(GraphSet::Chart3).leftAxis().title,
              QStringLiteral("Upstream Max Data Rate"));
    EXPECT_EQ(graphs.chart(GraphSet::Chart3).rightAxis().title,
              QStringLiteral("Downstream Max Data Rate"));
    EXPECT_EQ(graphs.chart(GraphSet::Chart4).leftAxis().title,
              QStringLiteral("Upstream Signal Sttenuation"));
    EXPECT_EQ(graphs.chart(GraphSet::Chart4).rightAxis().title,
              QStringLiteral("Downstream Signal Sttenuation"));
    EXPECT_EQ(graphs.chart(GraphSet::Chart1).leftAxis().title,
              QStringLiteral("Upstream Noise Margin (dB)"));
}

} // namespace
